// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Start-up and close of the form: window placement, the creation of every
// private picture, the picture loads and masks, the first composition.
#include "shell/Velmiaunit1.h"

#include <chrono>

using vcl::Rect;
using vcl::TBitmap;

namespace {

TBitmap* NewBitmap(int width, int height, vcl::TPixelFormat format = vcl::pfDevice)
{
    return new TBitmap(width, height, format);
}

void Free(TBitmap*& bitmap)
{
    delete bitmap;
    bitmap = nullptr;
}

// Writes down the time since the last step under the name of the step that
// has just ended.
class StepClock {
public:
    explicit StepClock(std::vector<TSvelmia::StartupStep>& steps) : steps_(steps) { steps_.clear(); }
    void operator()(const char* name)
    {
        const auto now = std::chrono::steady_clock::now();
        steps_.push_back({name, std::chrono::duration<double, std::micro>(now - last_).count()});
        last_ = now;
    }

private:
    std::vector<TSvelmia::StartupStep>& steps_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

} // namespace

// Borderless on screens up to 600 pixels high, a captioned window centred
// with room for its caption bar on larger ones.
void TSvelmia::PlaceWindow()
{
    ScreenHeight = vcl::Screen->GetHeight();
    ScreenWidth = vcl::Screen->GetWidth();
    if (ScreenHeight <= 600) {
        SetBorderStyle(vcl::TBorderStyle::bsNone);
        SetLeft((ScreenWidth - 800) / 2);
        SetTop((ScreenHeight - 600) / 2);
    } else {
        SetWindowState(vcl::TWindowState::wsNormal);
        SetCaption("VelmiaAlive");
        SetBorderStyle(vcl::TBorderStyle::bsSingle);
        SetLeft((ScreenWidth - 800) / 2);
        SetTop((ScreenHeight - 620) / 2);
        CaptionOffset = 25;
    }
    SetClientHeight(600);
    SetClientWidth(800);
}

void TSvelmia::FillBlackWhitePalette()
{
    BlackWhitePalette.palVersion = 0x300;
    BlackWhitePalette.palNumEntries = 2;
    BlackWhitePalette.palPalEntry[0] = {0, 0, 0, 0};
    BlackWhitePalette.palPalEntry[1] = {255, 255, 255, 0};
}

// Every step runs in this order: the masks need the pictures, the first
// composition needs the masks. A required picture that cannot be read throws
// out of here, and nothing after it runs (Timer1 stays disabled).
void TSvelmia::FormCreate(vcl::TObject* /*Sender*/)
{
    StepClock step(StartupSteps);
    // 1. Window placement.
    PlaceWindow();
    step("placement");

    // 2. The palette of every mask bitmap.
    FillBlackWhitePalette();

    // 3. The two halves of the window and the blink overlay.
    Mainpict->SetHeight(300);
    Mainpict->SetWidth(800);
    Mainpict->SetLeft(0);
    Mainpict->SetTop(0);
    CloseEye_disp->SetLeft(EyeLeft);
    CloseEye_disp->SetTop(0);
    mySubcanvas->SetLeft(0);
    mySubcanvas->SetTop(layout::kHalfHeight);
    step("palette and halves");

    // 4. Body frames.
    for (TBitmap*& frame : FrameBmp)
        frame = NewBitmap(800, 300, vcl::pf24bit);
    for (int k = 0; k < 3; ++k)
        FrameBmp[k]->GetCanvas()->CopyMode = vcl::SRCCOPY;

    // 5. Work pictures held in image controls.
    MainPictList->SetWidth(800);
    MainPictList->SetHeight(600);
    SceneStrawberry_Main->SetWidth(800);
    SceneStrawberry_Main->SetHeight(600);
    SceneStrawberry_Sub->SetWidth(800);
    SceneStrawberry_Sub->SetHeight(600);
    SceneList->SetWidth(75);
    SceneList->SetHeight(750);
    SubPictList->SetWidth(800);
    SubPictList->SetHeight(900);
    BraceletList->SetWidth(130);
    BraceletList->SetHeight(240);
    mySubcanvas->SetWidth(800);
    mySubcanvas->SetHeight(300);
    EarringListPict->SetWidth(330);
    EarringListPict->SetHeight(600);

    // 6. Upper picture and the close-up's work picture.
    UpperBmp = NewBitmap(800, 300, vcl::pf24bit);
    ZoomBmp = NewBitmap(880, 660, vcl::pf24bit);

    // 7. The four small closed-eye overlays: upper pair and lower pair.
    SmallClosedPict0->SetTop(0);
    SmallClosedPict01->SetTop(0);
    SmallClosedPict1->SetTop(layout::kHalfHeight);
    SmallClosedPict11->SetTop(layout::kHalfHeight);
    step("frames and work pictures");

    // 8. Required pictures, each at the size the program reads it at (a file
    // of another size is padded with white or cut, as a part file is).
    // The scenes and the string patterns are only copied: they keep the
    // format stored in their files (a saved scene list is read back as it was,
    // in its own size).
    LoadRequiredPicture(SceneStrawberry_Main, "vlm_scene_strawberry_upper.bmp", {800, 600}, false);
    LoadRequiredPicture(SceneStrawberry_Sub, "vlm_scene_strawberry_lower.bmp", {800, 600}, false);
    LoadRequiredPicture(SceneList, "vlm_scene_list.bmp", false);
    LoadRequiredPicture(HairMain, "vlm_0_main_hair.bmp", {HairMainSrcRect.Right, HairMainSrcRect.Bottom});
    LoadRequiredPicture(HairSub, "vlm_0_hair_sub_up.bmp", {HairSubSrcRect.Right, HairSubSrcRect.Bottom});
    // The costume is kept as its file holds it (a save writes it back so);
    // the composition reads its 530 x 300 cell.
    CostumePicture = new TBitmap();
    LoadRequiredBitmap(CostumePicture, "vlm_co.bmp", false);
    Costume->GetBitmap()->SetPixelFormat(vcl::pf24bit);
    RedrawCostumeCell(Costume->GetBitmap(), CostumePicture);
    LoadRequiredPicture(Camisole, "vlm_ca.bmp", {CamisoleWidth, CamisoleHeight});
    LoadRequiredPicture(EarringListPict, "vlm_earring_list.bmp", {EarringWidth, layout::kCells * EarringCellHeight});
    LoadRequiredPicture(StringPattern, "vlm_string_pattern_list.bmp", {280, 630}, false);
    LoadRequiredPicture(ThickStringPattern, "vlm_thickstring_pattern.bmp", {290, 630}, false);
    LoadRequiredPicture(CrossStringPattern, "vlm_crossstring_pattern.bmp", {290, 570}, false);
    LoadRequiredPicture(WStringPattern, "vlm_wstring_pattern.bmp", {390, 480}, false);
    LoadRequiredPicture(Ribborn, "vlm_ri.bmp", {RibbonWidth, RibbonHeight});
    LoadRequiredPicture(HairBand, "vlm_hb.bmp", {HairBandWidth, HairBandHeight});
    step("required pictures");

    // 9. Base figure: white, the figure in the lower half (its mask goes in
    // the upper half at step 13).
    vcl::TCanvas* canvas = MainPictList->GetCanvas();
    canvas->Brush.Color = vcl::clWhite;
    canvas->FillRect(Rect(0, 0, 800, 600));
    canvas->CopyMode = vcl::SRCCOPY;
    canvas->CopyRect(Rect(170, 300, 590, 600), mainsave->GetCanvas(), Rect(0, 0, 420, 300));

    // 10. Base body: three 800 x 300 frames built from five bands.
    canvas = SubPictList->GetCanvas();
    canvas->Brush.Color = vcl::clWhite;
    canvas->FillRect(Rect(0, 0, 800, 900));
    canvas->CopyMode = vcl::SRCCOPY;
    SubPictList->GetBitmap()->SetPixelFormat(vcl::pf24bit);
    vcl::TCanvas* bands = subworkcanvas->GetCanvas();
    canvas->CopyRect(Rect(100, 0, 800, 300), bands, Rect(0, 0, 700, 300));
    canvas->CopyRect(Rect(100, 300, 800, 400), bands, Rect(0, 0, 700, 100));
    canvas->CopyRect(Rect(100, 400, 800, 600), bands, Rect(0, 300, 700, 500));
    canvas->CopyRect(Rect(100, 600, 800, 700), bands, Rect(0, 0, 700, 100));
    canvas->CopyRect(Rect(100, 700, 800, 900), bands, Rect(0, 500, 700, 700));
    step("base figure and body");

    // 11. The lower pair of small closed eyes both come from SmallClosedPict0.
    SmallClosedPict1->GetCanvas()->CopyRect(Rect(0, 0, 140, 60), SmallClosedPict0->GetCanvas(), Rect(0, 0, 140, 60));
    SmallClosedPict11->GetCanvas()->CopyRect(Rect(0, 0, 140, 60), SmallClosedPict0->GetCanvas(), Rect(0, 0, 140, 60));
    step("small closed eyes");

    // 12. Two-cell strips: the picture goes into the lower cell.
    ScratchMask = new TBitmap();
    LoadStrip(FlowerPict, "vlm_fl.bmp", 240, 120);
    LoadStrip(Choker, "vlm_ch.bmp", 300, 150);
    LoadStrip(BraceletList, "vlm_bracelet.bmp", 240, 40);
    LoadStrip(Hair_LongLeft, "vlm_0_main_hair_longleft.bmp", 300, 150);
    CreateScratchMask();

    // 13. The masks of the strips go into their upper cells.
    DrawWhiteMask(MainPictList, mainsave, Rect(170, 0, 590, 300), Rect(0, 0, 420, 300));
    DrawWhiteMask(Hair_LongLeft, Hair_LongLeft, Rect(0, 0, 150, 150), Rect(0, 150, 150, 300));
    DrawWhiteMask(FlowerPict, FlowerPict, Rect(0, 0, 100, 120), Rect(0, 120, 100, 240));
    DrawWhiteMask(BraceletList, BraceletList, Rect(0, 0, 130, 40), Rect(0, 40, 130, 80));
    DrawWhiteMask(Choker, Choker, Rect(0, 0, 150, 150), Rect(0, 150, 150, 300));
    Free(ScratchMask);
    step("strips and their masks");

    // 14. Working bitmaps of the selection sets and the masks of the layers.
    ChokerTemp = NewBitmap(150, 300);
    CostumeTemp = NewBitmap(530, 300);
    SavedCostumePicture = new TBitmap();
    SavedCostumePicture->Assign(*CostumeTemp);
    CostumeMask = NewMaskBitmap(530, 300);
    MakeWhiteMaskFromImage(CostumeMask, Costume, Rect(0, 0, 530, 300), Rect(0, 0, 530, 300));
    CamisoleMask = NewMaskBitmap(550, 750);
    MakeWhiteMaskFromImage(CamisoleMask, Camisole, Rect(0, 0, 550, 750), Rect(0, 0, 550, 750));
    CamisoleWorkMask = NewMaskBitmap(550, 750);
    CamisoleTempA = NewBitmap(550, 750);
    CamisoleTempB = NewBitmap(550, 750);
    FlowerTemp = NewBitmap(100, 240);
    HairBandTempA = NewBitmap(80, 100);
    HairBandTempB = NewBitmap(80, 100);
    HairMainMask = NewMaskBitmap(600, 300);
    MakeWhiteMaskFromImage(HairMainMask, HairMain, Rect(0, 0, 600, 300), Rect(0, 0, 600, 300));
    HairSubMask = NewMaskBitmap(500, 120);
    MakeWhiteMaskFromImage(HairSubMask, HairSub, Rect(0, 0, 500, 120), Rect(0, 0, 500, 120));
    HairLongMask = NewMaskBitmap(260, 260);
    MakeWhiteMaskFromImage(HairLongMask, HairLong, Rect(0, 0, 260, 260), Rect(0, 0, 260, 260));
    HairNotLongMask = NewMaskBitmap(260, 260);
    MakeWhiteMaskFromImage(HairNotLongMask, HairNotLong, Rect(0, 0, 260, 260), Rect(0, 0, 260, 260));
    HairSideMask = NewMaskBitmap(420, 200);
    MakeWhiteMaskFromImage(HairSideMask, HairSide, Rect(0, 0, 420, 200), Rect(0, 0, 420, 200));
    HairBandMask = NewMaskBitmap(80, 100);
    HairBandWorkMask = NewMaskBitmap(80, 100);
    MakeWhiteMaskFromImage(HairBandMask, HairBand, Rect(0, 0, 80, 100), Rect(0, 0, 80, 100));
    RibbonTempA = NewBitmap(200, 80);
    RibbonTempB = NewBitmap(200, 80);
    RibbonMask = NewMaskBitmap(200, 80);
    RibbonWorkMask = NewMaskBitmap(200, 80);
    MakeWhiteMaskFromImage(RibbonMask, Ribborn, Rect(0, 0, 200, 80), Rect(0, 0, 200, 80));
    SceneKeyMask = NewMaskBitmap(330, 300);
    EarringListMask = NewMaskBitmap(330, 120);
    MakeWhiteMaskFromImage(EarringListMask, EarringListPict, Rect(0, 0, 330, 120), Rect(0, 0, 330, 120));
    step("layer masks");

    // 15. Earring frames (optional).
    EarringFramesLoaded = LoadOptionalPicture(EarringFrameList, "vlm_earring_framelist.bmp",
                                              {EarringFrameWidth, layout::kCells * EarringFrameHeight});
    if (EarringFramesLoaded) {
        EarringFrameMask = NewMaskBitmap(340, 120);
        MakeWhiteMaskFromImage(EarringFrameMask, EarringFrameList, Rect(0, 0, 340, 120), Rect(0, 0, 340, 120));
    }
    step("earring frames");

    // 16. Work pictures of the close-up view and the mouse handling.
    WideBufA = NewBitmap(800, 450);
    WideBufB = NewBitmap(800, 450);
    FullBuf = NewBitmap(800, 600);
    EyeBuf = NewBitmap(layout::kEyeWidth, layout::kEyeHeight);
    ClosedEyeWork = NewBitmap(layout::kEyeWidth, layout::kEyeHeight);
    step("close-up pictures");

    // 17-19. The three alternative hair styles (optional).
    ShaggyBmp = NewBitmap(450, 250);
    ShaggyMask = new TBitmap();
    ShaggyEyeBmp = new TBitmap();
    ShaggyEyeMask = new TBitmap();
    ShaggyMissing = !LoadAlternativeHair("vlm_shaggy.bmp", ShaggyBmp, ShaggyMask, ShaggyEyeBmp, ShaggyEyeMask);
    PankBmp = NewBitmap(450, 200);
    PankMask = new TBitmap();
    PankEyeBmp = new TBitmap();
    PankEyeMask = new TBitmap();
    PankMissing = !LoadAlternativeHair("vlm_pank.bmp", PankBmp, PankMask, PankEyeBmp, PankEyeMask);
    OtohimeBmp = NewBitmap(500, 400);
    OtohimeMask = new TBitmap();
    OtohimeMissing = !LoadAlternativeHair("vlm_otohime.bmp", OtohimeBmp, OtohimeMask, nullptr, nullptr);
    step("hair styles");

    // 20. Mask of the base body.
    SubPictListMask = NewMaskBitmap(800, 900);
    MakeWhiteMaskFromImage(SubPictListMask, SubPictList, Rect(0, 0, 800, 900), Rect(0, 0, 800, 900));
    step("body mask");

    // 21. Colour work pictures of the left figure's parts.
    CostumeWork = NewBitmap(530, 300, vcl::pf24bit);
    LeftCostumePicture = new TBitmap();
    LeftCostumePicture->Assign(*CostumeWork);
    CamisoleWork = NewBitmap(550, 750, vcl::pf24bit);
    ChokerWork = NewBitmap(150, 300, vcl::pf24bit);
    FlowerWork = NewBitmap(100, 240, vcl::pf24bit);
    HairBandWork = NewBitmap(80, 100, vcl::pf24bit);
    RibbonWork = NewBitmap(200, 80, vcl::pf24bit);
    step("colour work pictures");

    // 22-26. Night sky pictures (optional).
    LoadNightSky();
    step("night sky");

    // 27. The close-up overlay starts from the upper half.
    CloseEye_disp_stretch->GetCanvas()->CopyRect(Rect(0, 0, 500, 280), Mainpict->GetCanvas(), Rect(0, 0, 500, 280));
    step("close-up overlay");

    // 28. Face lists.
    LoadFaceLists();
    step("face lists");

    // 29. First composition.
    ApplyPan();
    RefreshClosedEyes();
    DrawBackgroundAndHair(0);
    DrawBodyFrames(0);
    DrawBracelet(0);
    step("first composition");

    // 30. Show it.
    Mainpict->GetCanvas()->CopyMode = vcl::SRCCOPY;
    mySubcanvas->GetCanvas()->CopyMode = vcl::SRCCOPY;
    Mainpict->GetCanvas()->CopyRect(MainRect, UpperBmp->GetCanvas(), MainRect);
    mySubcanvas->GetCanvas()->CopyRect(MainRect, FrameBmp[0]->GetCanvas(), MainRect);

    // 31. Earring of the first cell.
    DrawEarring(0);

    // 32. Scene 0 starts with the lower half of its pictures.
    AlternatePhase = false;

    // 33. The two halves become visible.
    Mainpict->SetVisible(true);
    mySubcanvas->SetLeft(0);
    mySubcanvas->SetTop(layout::kHalfHeight);
    mySubcanvas->SetVisible(true);

    // 34. The pointer shape to restore after hiding it.
    SavedCursor = static_cast<int16_t>(vcl::Screen->GetCursor());

    // 35. Run.
    SetVisible(true);
    Timer1->SetEnabled(true);
    step("show and run");
}

// Frees every private picture that exists. Pictures that an optional file
// did not produce were never created (their pointers are null).
void TSvelmia::FormClose(vcl::TObject* /*Sender*/, vcl::TCloseAction& /*Action*/)
{
    // No tick may draw into the freed pictures.
    Timer1->SetEnabled(false);
    Timer2->SetEnabled(false);
    FreePictures();
}

void TSvelmia::FreePictures()
{
    for (TBitmap*& frame : FrameBmp)
        Free(frame);
    TBitmap** pictures[] = {&UpperBmp,
                            &ScratchMask,
                            &ZoomBmp,
                            &SubPictListMask,
                            &HairMainMask,
                            &HairSubMask,
                            &HairLongMask,
                            &HairNotLongMask,
                            &HairSideMask,
                            &CostumeMask,
                            &CamisoleMask,
                            &EarringListMask,
                            &HairBandMask,
                            &RibbonMask,
                            &EarringFrameMask,
                            &BackgroundMask,
                            &StreamingMask,
                            &StarListMask,
                            &StarCell,
                            &ShaggyBmp,
                            &ShaggyMask,
                            &ShaggyEyeBmp,
                            &ShaggyEyeMask,
                            &PankBmp,
                            &PankMask,
                            &PankEyeBmp,
                            &PankEyeMask,
                            &OtohimeBmp,
                            &OtohimeMask,
                            &FaceList,
                            &FaceListLarge,
                            &FaceWorkA,
                            &FaceWorkB,
                            &FaceWorkC,
                            &CostumeWork,
                            &CamisoleWork,
                            &ChokerWork,
                            &FlowerWork,
                            &HairBandWork,
                            &RibbonWork,
                            &CamisoleWorkMask,
                            &HairBandWorkMask,
                            &RibbonWorkMask,
                            &SceneKeyMask,
                            &CostumeTemp,
                            &CamisoleTempA,
                            &CamisoleTempB,
                            &ChokerTemp,
                            &FlowerTemp,
                            &HairBandTempA,
                            &HairBandTempB,
                            &RibbonTempA,
                            &RibbonTempB,
                            &WideBufA,
                            &WideBufB,
                            &FullBuf,
                            &EyeBuf,
                            &PartBitmap,
                            &CostumePicture,
                            &LeftCostumePicture,
                            &SavedCostumePicture,
                            &ClosedEyeWork};
    for (TBitmap** picture : pictures)
        Free(*picture);
    BrowserNames.reset();
}
