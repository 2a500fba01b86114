// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Start-up and close of the form: window placement, the creation of every
// private picture, the picture loads and masks, the first composition.
#include "shell/PartFolder.h"
#include "shell/Velmiaunit1.h"

#include <chrono>

using vcl::Rect;
using vcl::TBitmap;
using namespace layout;
using velmia::shell::Required;
using velmia::shell::RequiredPicture;

namespace {

// The base figure: its picture (mainsave) is kBaseFigureWidth columns wide and
// stands at column kBaseFigureLeft of each half of the part list picture.
constexpr int kBaseFigureLeft = 170;
constexpr int kBaseFigureWidth = 420;
constexpr vcl::TRect kBaseFigure = Rect(0, 0, kBaseFigureWidth, kHalfHeight);
constexpr vcl::TRect kBaseFigureMaskPlace = Rect(kBaseFigureLeft, 0, kBaseFigureLeft + kBaseFigureWidth, kHalfHeight);
constexpr vcl::TRect kBaseFigurePlace =
    Rect(kBaseFigureLeft, kHalfHeight, kBaseFigureLeft + kBaseFigureWidth, kWindowHeight);
// The body bands picture: frame 0 whole in its first kHalfHeight rows, then
// the rows below the shoulders of frames 1 and 2; every frame shares frame
// 0's first kShoulderRows. The body covers the columns from kBodyLeft on.
constexpr int kBodyLeft = 100;
constexpr int kBodyWidth = kWindowWidth - kBodyLeft;
constexpr int kShoulderRows = 100;
constexpr int kBelowShoulderRows = kHalfHeight - kShoulderRows;
// The small closed-eye pictures, the scene key mask (the sky corner the
// night works in) and the part of the upper half the close-up overlay starts
// from.
constexpr vcl::TRect kSmallClosedEyes = Rect(0, 0, 140, 60);
constexpr int kSceneKeyWidth = 330;
constexpr vcl::TRect kCloseUpOverlayStart = Rect(0, 0, 500, 280);

// The bracelet strip holds the mask cell, then the five pictures.
int BraceletStrip(int cellHeight)
{
    return (kCells + 1) * cellHeight;
}

std::unique_ptr<TBitmap> NewBitmap(int width, int height, vcl::TPixelFormat format = vcl::pfDevice)
{
    return std::make_unique<TBitmap>(width, height, format);
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
    if (ScreenHeight <= kWindowHeight) {
        SetBorderStyle(vcl::TBorderStyle::bsNone);
        SetLeft((ScreenWidth - kWindowWidth) / 2);
        SetTop((ScreenHeight - kWindowHeight) / 2);
    } else {
        SetWindowState(vcl::TWindowState::wsNormal);
        SetCaption("VelmiaAlive");
        SetBorderStyle(vcl::TBorderStyle::bsSingle);
        SetLeft((ScreenWidth - kWindowWidth) / 2);
        SetTop((ScreenHeight - kWindowHeight - 20) / 2);
        CaptionOffset = 25;
    }
    SetClientHeight(kWindowHeight);
    SetClientWidth(kWindowWidth);
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
    PlaceWindow();
    step("placement");
    FillBlackWhitePalette();
    SetUpHalves();
    step("palette and halves");
    CreateWorkPictures();
    step("frames and work pictures");
    LoadRequiredPictures();
    step("required pictures");
    BuildBaseFigureAndBody();
    step("base figure and body");
    CopySmallClosedEyes();
    step("small closed eyes");
    LoadStripsAndTheirMasks();
    step("strips and their masks");
    CreateLayerMasks();
    step("layer masks");
    LoadEarringFrames();
    step("earring frames");
    CreateCloseUpPictures();
    step("close-up pictures");
    LoadHairStyles();
    step("hair styles");
    SubPictListMask = NewImageMask(SubPictList, Rect(0, 0, kWindowWidth, kBodyFrames * kHalfHeight));
    step("body mask");
    CreateColourWorkPictures();
    step("colour work pictures");
    LoadNightSky();
    step("night sky");
    // The close-up overlay starts from the upper half.
    CloseEye_disp_stretch->GetCanvas()->CopyRect(kCloseUpOverlayStart, Mainpict->GetCanvas(), kCloseUpOverlayStart);
    step("close-up overlay");
    LoadFaceLists();
    step("face lists");
    ComposeFirstPicture();
    step("first composition");
    ShowAndRun();
    step("show and run");
    WatchWornFiles();
}

// The two halves of the window and the blink overlay.
void TSvelmia::SetUpHalves()
{
    Mainpict->SetHeight(kHalfHeight);
    Mainpict->SetWidth(kWindowWidth);
    PlaceHalves();
    CloseEye_disp->SetLeft(EyeLeft);
    CloseEye_disp->SetTop(0);
}

// The body frames and the work pictures; the rows of the small closed-eye
// overlays.
void TSvelmia::CreateWorkPictures()
{
    for (OwnedBitmap& frame : FrameBmp)
        frame = NewBitmap(kWindowWidth, kHalfHeight, vcl::pf24bit);
    for (int k = 0; k < 3; ++k)
        FrameBmp[k]->GetCanvas()->CopyMode = vcl::SRCCOPY;

    // Work pictures held in image controls.
    MainPictList->SetWidth(kWindowWidth);
    MainPictList->SetHeight(kWindowHeight);
    SceneStrawberry_Main->SetWidth(kWindowWidth);
    SceneStrawberry_Main->SetHeight(kWindowHeight);
    SceneStrawberry_Sub->SetWidth(kWindowWidth);
    SceneStrawberry_Sub->SetHeight(kWindowHeight);
    SceneList->SetWidth(SceneTileSize);
    SceneList->SetHeight(kSceneCells * SceneTileSize);
    SubPictList->SetWidth(kWindowWidth);
    SubPictList->SetHeight(kBodyFrames * kHalfHeight);
    BraceletList->SetWidth(BraceletWidth);
    BraceletList->SetHeight(BraceletStrip(BraceletCellHeight));
    mySubcanvas->SetWidth(kWindowWidth);
    mySubcanvas->SetHeight(kHalfHeight);
    EarringListPict->SetWidth(EarringWidth);
    EarringListPict->SetHeight(kCells * EarringCellHeight);

    // Upper picture and the close-up's work picture.
    UpperBmp = NewBitmap(kWindowWidth, kHalfHeight, vcl::pf24bit);
    ZoomBmp = NewBitmap(880, 660, vcl::pf24bit);

    // The four small closed-eye overlays: upper pair and lower pair.
    SmallClosedPict0->SetTop(0);
    SmallClosedPict01->SetTop(0);
    SmallClosedPict1->SetTop(kHalfHeight);
    SmallClosedPict11->SetTop(kHalfHeight);
}

// Required pictures, each at the size the program reads it at (a file
// of another size is padded with white or cut, as a part file is).
// The scenes and the string patterns are only copied: they keep the
// format stored in their files (a saved scene list is read back as it was,
// in its own size).
void TSvelmia::LoadRequiredPictures()
{
    LoadRequiredPicture(SceneStrawberry_Main, RequiredPicture(Required::StrawberryUpper), {kWindowWidth, kWindowHeight},
                        false);
    LoadRequiredPicture(SceneStrawberry_Sub, RequiredPicture(Required::StrawberryLower), {kWindowWidth, kWindowHeight},
                        false);
    // The two pictures a save may write back: as their files are now.
    RememberFile(RequiredPicture(Required::SceneList));
    RememberFile(RequiredPicture(Required::Costume));
    LoadRequiredPicture(SceneList, RequiredPicture(Required::SceneList), false);
    LoadRequiredPicture(HairMain, RequiredPicture(Required::MainHair), {HairMainSrcRect.Right, HairMainSrcRect.Bottom});
    LoadRequiredPicture(HairSub, RequiredPicture(Required::HairSubUp), {HairSubSrcRect.Right, HairSubSrcRect.Bottom});
    // The costume is kept as its file holds it (a save writes it back so);
    // the composition reads its 530 x 300 cell, cut by the cell's own mask.
    CostumePicture = std::make_unique<TBitmap>();
    LoadRequiredBitmap(*CostumePicture, RequiredPicture(Required::Costume), false, Alpha::Kept);
    Costume->GetBitmap()->SetPixelFormat(vcl::pf24bit);
    CostumeMask = NewMaskBitmap(CostumeWidth, CostumeHeight);
    RedrawCostume(Figure::Main);
    LoadRequiredPicture(Camisole, RequiredPicture(Required::Camisole), {CamisoleWidth, CamisoleHeight});
    LoadRequiredPicture(EarringListPict, RequiredPicture(Required::EarringList),
                        {EarringWidth, kCells * EarringCellHeight});
    LoadRequiredPicture(StringPattern, RequiredPicture(Required::StringPattern),
                        {PlacementWidth(peString), kBodyFrames * SourceRows(peString)}, false);
    LoadRequiredPicture(ThickStringPattern, RequiredPicture(Required::ThickStringPattern),
                        {PlacementWidth(peThickString), kBodyFrames * SourceRows(peThickString)}, false);
    LoadRequiredPicture(CrossStringPattern, RequiredPicture(Required::CrossStringPattern),
                        {PlacementWidth(peCrossString), kBodyFrames * SourceRows(peCrossString)}, false);
    LoadRequiredPicture(WStringPattern, RequiredPicture(Required::WStringPattern),
                        {PlacementWidth(peWString), kBodyFrames * SourceRows(peWString)}, false);
    LoadRequiredPicture(Ribborn, RequiredPicture(Required::Ribbon), {RibbonWidth, RibbonHeight});
    LoadRequiredPicture(HairBand, RequiredPicture(Required::HairBand), {HairBandWidth, HairBandHeight});
}

// Base figure: white, the figure in the lower half (its mask goes in
// the upper half with the strips' masks).
void TSvelmia::BuildBaseFigureAndBody()
{
    vcl::TCanvas* canvas = MainPictList->GetCanvas();
    canvas->Brush.Color = vcl::clWhite;
    canvas->FillRect(Rect(0, 0, kWindowWidth, kWindowHeight));
    canvas->CopyMode = vcl::SRCCOPY;
    canvas->CopyRect(kBaseFigurePlace, mainsave->GetCanvas(), kBaseFigure);

    // Base body: three 800 x 300 frames built from five bands.
    canvas = SubPictList->GetCanvas();
    canvas->Brush.Color = vcl::clWhite;
    canvas->FillRect(Rect(0, 0, kWindowWidth, kBodyFrames * kHalfHeight));
    canvas->CopyMode = vcl::SRCCOPY;
    SubPictList->GetBitmap()->SetPixelFormat(vcl::pf24bit);
    vcl::TCanvas* bands = subworkcanvas->GetCanvas();
    canvas->CopyRect(Rect(kBodyLeft, 0, kWindowWidth, kHalfHeight), bands, Rect(0, 0, kBodyWidth, kHalfHeight));
    for (int frame = 1; frame < kBodyFrames; ++frame) {
        const int top = frame * kHalfHeight;
        const int from = kHalfHeight + (frame - 1) * kBelowShoulderRows;
        canvas->CopyRect(Rect(kBodyLeft, top, kWindowWidth, top + kShoulderRows), bands,
                         Rect(0, 0, kBodyWidth, kShoulderRows));
        canvas->CopyRect(Rect(kBodyLeft, top + kShoulderRows, kWindowWidth, top + kHalfHeight), bands,
                         Rect(0, from, kBodyWidth, from + kBelowShoulderRows));
    }
}

// The lower pair of small closed eyes both come from SmallClosedPict0.
void TSvelmia::CopySmallClosedEyes()
{
    SmallClosedPict1->GetCanvas()->CopyRect(kSmallClosedEyes, SmallClosedPict0->GetCanvas(), kSmallClosedEyes);
    SmallClosedPict11->GetCanvas()->CopyRect(kSmallClosedEyes, SmallClosedPict0->GetCanvas(), kSmallClosedEyes);
}

// Two-cell strips: the picture goes into the lower cell, its mask into the
// upper one.
void TSvelmia::LoadStripsAndTheirMasks()
{
    LoadStrip(FlowerPict, RequiredPicture(Required::Flower), 2 * FlowerCellHeight, FlowerCellHeight);
    LoadStrip(Choker, RequiredPicture(Required::Choker), 2 * ChokerCellHeight, ChokerCellHeight);
    LoadStrip(BraceletList, RequiredPicture(Required::Bracelet), BraceletStrip(BraceletCellHeight), BraceletCellHeight);
    LoadStrip(Hair_LongLeft, RequiredPicture(Required::LongHairLeft), HairLongLeftSrcRect.Bottom,
              HairLongLeftSrcRect.Top);

    // The masks of the strips go into their upper cells.
    DrawWhiteMask(MainPictList, mainsave, kBaseFigureMaskPlace, kBaseFigure);
    DrawWhiteMask(Hair_LongLeft, Hair_LongLeft, HairLongLeftMaskRect, HairLongLeftSrcRect);
    DrawWhiteMask(FlowerPict, FlowerPict, FlowerMaskRect, FlowerSrcRect);
    DrawWhiteMask(BraceletList, BraceletList, BraceletMaskRect, BraceletSrcRect);
    DrawWhiteMask(Choker, Choker, ChokerMaskRect, ChokerSrcRect);
}

// Working bitmaps of the selection sets and the masks of the layers.
void TSvelmia::CreateLayerMasks()
{
    const vcl::TRect costume = Rect(0, 0, CostumeWidth, CostumeHeight);
    const vcl::TRect camisole = Rect(0, 0, CamisoleWidth, CamisoleHeight);
    const vcl::TRect hairBand = Rect(0, 0, HairBandWidth, HairBandHeight);
    const vcl::TRect ribbon = Rect(0, 0, RibbonWidth, RibbonHeight);
    ChokerTemp = NewBitmap(ChokerWidth, 2 * ChokerCellHeight);
    CostumeTemp = NewBitmap(CostumeWidth, CostumeHeight);
    SavedCostumePicture = std::make_unique<TBitmap>();
    SavedCostumePicture->Assign(*CostumeTemp);
    CostumeTempMask = NewMaskBitmap(CostumeWidth, CostumeHeight);
    MakeWhiteMaskFromBitmap(CostumeTempMask.get(), CostumeTemp.get(), costume, costume);
    CamisoleMask = NewImageMask(Camisole, camisole);
    CamisoleWorkMask = NewMaskBitmap(CamisoleWidth, CamisoleHeight);
    CamisoleTempA = NewBitmap(CamisoleWidth, CamisoleHeight);
    CamisoleTempB = NewBitmap(CamisoleWidth, CamisoleHeight);
    FlowerTemp = NewBitmap(FlowerWidth, 2 * FlowerCellHeight);
    HairBandTempA = NewBitmap(HairBandWidth, HairBandHeight);
    HairBandTempB = NewBitmap(HairBandWidth, HairBandHeight);
    HairMainMask = NewImageMask(HairMain, HairMainSrcRect);
    HairSubMask = NewImageMask(HairSub, HairSubSrcRect);
    HairLongMask = NewImageMask(HairLong, HairLongSrcRect);
    HairNotLongMask = NewImageMask(HairNotLong, HairLongSrcRect);
    HairSideMask = NewImageMask(HairSide, HairSideSrcRect);
    HairBandMask = NewImageMask(HairBand, hairBand);
    HairBandWorkMask = NewMaskBitmap(HairBandWidth, HairBandHeight);
    RibbonTempA = NewBitmap(RibbonWidth, RibbonHeight);
    RibbonTempB = NewBitmap(RibbonWidth, RibbonHeight);
    RibbonMask = NewImageMask(Ribborn, ribbon);
    RibbonWorkMask = NewMaskBitmap(RibbonWidth, RibbonHeight);
    SceneKeyMask = NewMaskBitmap(kSceneKeyWidth, kHalfHeight);
    EarringListMask = NewImageMask(EarringListPict, Rect(0, 0, EarringWidth, kCells * EarringCellHeight));
    const vcl::TRect bracelets = Rect(0, BraceletCellHeight, BraceletWidth, BraceletStrip(BraceletCellHeight));
    BraceletMask = NewMaskBitmap(BraceletWidth, BraceletStrip(BraceletCellHeight));
    MakeWhiteMaskFromImage(BraceletMask.get(), BraceletList, bracelets, bracelets);
}

// Earring frames (optional).
void TSvelmia::LoadEarringFrames()
{
    EarringFramesLoaded = LoadOptionalPicture(EarringFrameList, "vlm_earring_framelist.bmp",
                                              {EarringFrameWidth, kCells * EarringFrameHeight});
    if (EarringFramesLoaded)
        EarringFrameMask = NewImageMask(EarringFrameList, Rect(0, 0, EarringFrameWidth, kCells * EarringFrameHeight));
}

// Work pictures of the close-up view and the mouse handling.
void TSvelmia::CreateCloseUpPictures()
{
    WideBufA = NewBitmap(kCapture.Right, kCapture.Bottom);
    WideBufB = NewBitmap(kCapture.Right, kCapture.Bottom);
    FullBuf = NewBitmap(kWindowWidth, kWindowHeight);
    EyeBuf = NewBitmap(kEyeWidth, kEyeHeight);
    ClosedEyeWork = NewBitmap(kEyeWidth, kEyeHeight);
}

// The three alternative hair styles (optional).
void TSvelmia::LoadHairStyles()
{
    ShaggyBmp = NewBitmap(ShaggySrcRect.Right, ShaggySrcRect.Bottom);
    ShaggyMask = std::make_unique<TBitmap>();
    ShaggyEyeBmp = std::make_unique<TBitmap>();
    ShaggyEyeMask = std::make_unique<TBitmap>();
    ShaggyMissing = !LoadAlternativeHair("vlm_shaggy.bmp", ShaggyBmp.get(), ShaggyMask.get(), ShaggyEyeBmp.get(),
                                         ShaggyEyeMask.get());
    PankBmp = NewBitmap(PankSrcRect.Right, PankSrcRect.Bottom);
    PankMask = std::make_unique<TBitmap>();
    PankEyeBmp = std::make_unique<TBitmap>();
    PankEyeMask = std::make_unique<TBitmap>();
    PankMissing =
        !LoadAlternativeHair("vlm_pank.bmp", PankBmp.get(), PankMask.get(), PankEyeBmp.get(), PankEyeMask.get());
    OtohimeBmp = NewBitmap(500, 400);
    OtohimeMask = std::make_unique<TBitmap>();
    OtohimeMissing = !LoadAlternativeHair("vlm_otohime.bmp", OtohimeBmp.get(), OtohimeMask.get(), nullptr, nullptr);
}

// Colour work pictures of the left figure's parts.
void TSvelmia::CreateColourWorkPictures()
{
    CostumeWork = NewBitmap(CostumeWidth, CostumeHeight, vcl::pf24bit);
    LeftCostumePicture = std::make_unique<TBitmap>();
    LeftCostumePicture->Assign(*CostumeWork);
    CostumeWorkMask = NewMaskBitmap(CostumeWidth, CostumeHeight);
    RedrawCostume(Figure::Left);
    CamisoleWork = NewBitmap(CamisoleWidth, CamisoleHeight, vcl::pf24bit);
    ChokerWork = NewBitmap(ChokerWidth, 2 * ChokerCellHeight, vcl::pf24bit);
    FlowerWork = NewBitmap(FlowerWidth, 2 * FlowerCellHeight, vcl::pf24bit);
    HairBandWork = NewBitmap(HairBandWidth, HairBandHeight, vcl::pf24bit);
    RibbonWork = NewBitmap(RibbonWidth, RibbonHeight, vcl::pf24bit);
}

// First composition: the head with everything the selection wears
// (hairband and earrings included), as every later composition draws it.
void TSvelmia::ComposeFirstPicture()
{
    ApplyPan();
    RefreshClosedEyes();
    DrawBackgroundAndHair(0);
    DrawHeadLayers();
    DrawBodyFrames(0);
    DrawBracelet(0);
}

// The first picture on screen, and Timer1 running.
void TSvelmia::ShowAndRun()
{
    Mainpict->GetCanvas()->CopyMode = vcl::SRCCOPY;
    mySubcanvas->GetCanvas()->CopyMode = vcl::SRCCOPY;
    Mainpict->GetCanvas()->CopyRect(MainRect, UpperBmp->GetCanvas(), MainRect);
    mySubcanvas->GetCanvas()->CopyRect(MainRect, FrameBmp[0]->GetCanvas(), MainRect);

    // Scene 0 starts with the lower half of its pictures.
    AlternatePhase = false;

    // The two halves become visible.
    Mainpict->SetVisible(true);
    PlaceLowerHalf();
    mySubcanvas->SetVisible(true);

    // The pointer shape to restore after hiding it.
    SavedCursor = static_cast<int16_t>(vcl::Screen->GetCursor());

    // Run.
    SetVisible(true);
    Timer1->SetEnabled(true);
}

// With --watch, the files the parts were read from are watched.
void TSvelmia::WatchWornFiles()
{
    if (watchPartFiles_) {
        const Required files[kWornKinds] = {Required::Costume, Required::Camisole, Required::HairBand,
                                            Required::Flower,  Required::Ribbon,   Required::Choker};
        for (int slot = 0; slot < kWornKinds; ++slot)
            RememberWornFile(PartKind(kPartCostume + slot), Figure::Main, RequiredPicture(files[slot]));
        WatchTimer->SetEnabled(true);
    }
}

// Frees every private picture (those an optional file did not produce were
// never created) and the browser's name list.
void TSvelmia::FormClose(vcl::TObject* /*Sender*/, vcl::TCloseAction& /*Action*/)
{
    // No tick may draw into the freed pictures.
    Timer1->SetEnabled(false);
    Timer2->SetEnabled(false);
    WatchTimer->SetEnabled(false);
    static_cast<FormPictures&>(*this) = FormPictures{};
    BrowserNames.reset();
}
