// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Every character command arrives here. There are no menus and no buttons:
// the user dresses and arranges the figure by single keystrokes, looked up in
// the command table (commands/KeyCommandTable.h).
//
// Each command is a short transaction: Timer1 off, Busy on, the command, Busy
// off, Timer1 on. A command changes a few state variables and asks the next
// tick to recompose (RequestRedraw); those that should change only their
// own setting also step the automatic counters back, so the cycle end brings
// back the same scene and cells.
#include "commands/KeyCommandTable.h"

#include <exception>
#include <filesystem>
#include <string>

using namespace vcl;
using namespace layout;

namespace {

// Every key names one command, and every command has one row.
consteval bool KeysAndCommandsAreUnique()
{
    for (size_t i = 0; i < kKeyCommands.size(); ++i)
        for (size_t j = i + 1; j < kKeyCommands.size(); ++j) {
            if (kKeyCommands[i].command == kKeyCommands[j].command)
                return false;
            for (char key : kKeyCommands[i].keys)
                if (kKeyCommands[j].keys.find(key) != std::string_view::npos)
                    return false;
        }
    return true;
}
static_assert(KeysAndCommandsAreUnique());

void Toggle(bool& flag)
{
    flag = !flag;
}

// String patterns: 0 to 3, 4 for none; the flags are a one-hot copy of the
// index (-1: all off).
void SetPattern(const SelectionRef& set, int index)
{
    for (int pattern = 0; pattern < 4; ++pattern)
        *set.PatternFlag(pattern) = pattern == index;
}

// The index steps through the four patterns and none.
void NextPattern(const SelectionRef& set)
{
    NextIndex(set.StringPatternIndex, 5);
    SetPattern(set, set.StringPatternIndex);
}

// Hair styles: the style flags are exclusive; the standard hair stays hidden
// even when the style is toggled off.
void ToggleHairStyle(const SelectionRef& set, bool& style)
{
    const bool now = !style;
    set.ShaggyHair = set.PankHair = set.OtohimeHair = set.LongHair = false;
    style = now;
    set.MainHairHidden = 1;
}

// Flower: short hair cycles hidden, placement 0, placement 1; long hair
// alternates hidden and placement 1.
void NextFlowerPlacement(bool& shown, int& alt, bool longHair)
{
    if (!shown) {
        shown = true;
        if (longHair)
            alt = 1;
    } else if (alt == 0) {
        alt = 1;
    } else {
        shown = false;
        if (!longHair)
            alt = 0;
    }
}

void CopyFaces(const PortraitState& s, TBitmap* from, TBitmap* to)
{
    const TRect all = Rect(0, 0, s.FaceWidth, s.FaceListHeight);
    to->GetCanvas()->CopyMode = SRCCOPY;
    to->GetCanvas()->CopyRect(all, from->GetCanvas(), all);
}

// Runs the part dialog with its initial name (no folder, no extension; the
// dialog's default extension is "bmp"). Returns false when the user cancels.
bool ChoosePartFile(TOpenPictureDialog* dialog, const std::string& initialName, std::string& path)
{
    dialog->SetFileName(initialName);
    if (!dialog->Execute())
        return false;
    path = dialog->GetFileName();
    // A name typed without its extension means the bitmap file of that name.
    std::error_code ec;
    const std::filesystem::path chosen(path);
    if (!chosen.has_extension() && !std::filesystem::exists(chosen, ec) &&
        std::filesystem::exists(path + "." + dialog->DefaultExt, ec) && !dialog->DefaultExt.empty())
        path += "." + dialog->DefaultExt;
    return true;
}

// Reads the whole file before anything of the figure changes. A file that is
// not a readable bitmap is reported, naming it and the reason, and changes
// nothing.
bool ReadPartFile(const std::string& path, TBitmap& out)
{
    std::string reason;
    try {
        ReadBmpFile(path, out);
        return true;
    } catch (const BmpError& e) {
        reason = e.Reason();
    } catch (const std::exception& e) {
        reason = e.what();
    }
    Application->ShowException(EFileError("The part file \"" + path + "\" could not be loaded: " + reason));
    return false;
}

// Chooses and reads a part file; the chosen path goes into the kind's
// last-file-name string.
bool ChooseAndRead(TOpenPictureDialog* dialog, const char* initialName, std::string& fileName, TBitmap& loaded)
{
    std::string path;
    if (!ChoosePartFile(dialog, initialName, path) || !ReadPartFile(path, loaded))
        return false;
    fileName = path;
    return true;
}

} // namespace

// ---- The transaction ---------------------------------------------------------------

void TSvelmia::FormKeyPress(TObject* /*Sender*/, char& Key)
{
    const unsigned char key = static_cast<unsigned char>(Key);
    if (key == 27) {
        CloseOrQuit();
        return;
    }
    if (BrowserOpen)
        return;
    if (key == ']') {
        CursorVisible = !CursorVisible;
        Screen->SetCursor(CursorVisible ? SavedCursor : -1);
        return;
    }
    if (key == 'm') {
        Application->Minimize();
        return;
    }
    if (ShutCountdown > 0 || Busy)
        return;
    if (CloseUpMode) {
        CloseUpKeyPress(key);
        return;
    }
    const KeyCommandRow* row = FindKeyCommand(static_cast<char>(key));
    const Timer1Pause pause(*this);
    Busy = true;
    try {
        if (row)
            RunKeyCommand(*row);
    } catch (const std::exception& e) {
        // Whatever went wrong, the program must keep responding.
        Application->ShowException(e);
    }
    Busy = false;
}

// Esc closes the part browser, the close-up or the title banner, in that
// order; with none of them open it quits.
void TSvelmia::CloseOrQuit()
{
    if (BrowserOpen) {
        CloseBrowser();
    } else if (CloseUpMode) {
        LeaveCloseUp();
        // Leaving from the unmagnified capture ends its hold too.
        EndUnmagnifiedHold(false);
    } else if (logo->GetVisible()) {
        logo->SetVisible(false);
    } else {
        QuitRequested = true;
        Busy = true;
    }
}

// In the close-up only x acts, and not again within 4 ticks of the last swap;
// every key pressed during the hold-off shortens it by one tick.
void TSvelmia::CloseUpKeyPress(unsigned char key)
{
    if (TickCount < LastEyeSwapTick + 4) {
        if (LastEyeSwapTick > 0)
            --LastEyeSwapTick;
        return;
    }
    if (key != 'x')
        return;
    const Timer1Pause pause(*this);
    CloseUpEyesClosed = !CloseUpEyesClosed;
    CloseEye_disp_stretch->SetVisible(false);
    SwapCloseUpEyes();
    CycleCounter = 0;
    LastEyeSwapTick = TickCount;
}

// Exchanges the eyes on screen with the stretched overlay's.
void TSvelmia::SwapCloseUpEyes()
{
    const TRect onScreen = ZoomEyeRect;
    const TRect inOverlay = Rect(ZoomEyeRect.Left - CloseUpEyeLeft, ZoomEyeRect.Top, ZoomEyeRect.Right - CloseUpEyeLeft,
                                 ZoomEyeRect.Bottom);
    TCanvas* screen = Mainpict->GetCanvas();
    TCanvas* overlay = CloseEye_disp_stretch->GetCanvas();
    TCanvas* work = ZoomBmp->GetCanvas();
    screen->CopyMode = SRCCOPY;
    overlay->CopyMode = SRCCOPY;
    work->CopyMode = SRCCOPY;
    work->CopyRect(inOverlay, screen, onScreen);
    screen->CopyRect(onScreen, overlay, inOverlay);
    overlay->CopyRect(inOverlay, work, inOverlay);
}

bool TSvelmia::KeyCommandAllowed(const KeyCommandRow& row) const
{
    const bool left = row.figure == Figure::Left;
    const auto has = [&row](Guard guard) { return HasGuard(row.guard, guard); };
    if ((has(Guard::NotInView) && (GrayMode || QuadMode)) || (has(Guard::ShowOnly) && !ShowMode) ||
        (has(Guard::NotInShow) && ShowMode))
        return false;
    if ((has(Guard::NotWithLongHair) && (left ? LeftLongHair : LongHair)) ||
        (has(Guard::NotWithCamisole) && (left ? LeftCamisoleShown : CamisoleShown)) ||
        (has(Guard::NeedsBracelet) && !(left ? LeftBraceletShown : BraceletShown)))
        return false;
    if ((has(Guard::NeedsEarringFrames) && !EarringFramesLoaded) || (has(Guard::NeedsShaggy) && ShaggyMissing) ||
        (has(Guard::NeedsPank) && PankMissing) || (has(Guard::NeedsOtohime) && OtohimeMissing))
        return false;
    return !row.allowed || (this->*row.allowed)();
}

void TSvelmia::RunKeyCommand(const KeyCommandRow& row)
{
    if (!KeyCommandAllowed(row))
        return;
    const bool show = ShowMode;
    for (Step step : row.closing) {
        switch (step) {
        case Step::End:
            return;
        case Step::Act:
            (this->*row.action)();
            break;
        case Step::TryAct:
            if (!(this->*row.action)())
                return;
            break;
        case Step::Redraw:
            RequestRedraw();
            RoundCounter = 0;
            break;
        case Step::StepBack:
            StepBackCounters();
            break;
        case Step::StepBackOutsideShow:
            if (!show)
                StepBackCounters();
            break;
        }
    }
}

// ---- Exceptional guards ------------------------------------------------------------

// q has given the show a left figure.
bool TSvelmia::ShowHasLeftFigure() const
{
    return ShowOrigin != 0;
}

// A composed scene with a cell: the built-in strawberry scene has none.
bool TSvelmia::SceneCellOnScreen() const
{
    return PortraitComposed && SceneIndex != 1;
}

// ---- Eyes --------------------------------------------------------------------------

// x in every view: the portrait's and the show's main figure, the grey view
// (the eye patch exchanged on screen at once) and the four-figure view.
bool TSvelmia::CloseOrOpenEyes()
{
    HideBlinkOverlays();
    if (QuadMode) {
        Toggle(QuadEyesClosed);
        StepBackCounters();
    } else if (GrayMode) {
        Toggle(GrayEyesClosed);
        SwapGrayEyes();
    } else {
        Toggle(EyesClosed);
        if (!EyesClosed) {
            CloseEye_disp->SetVisible(false);
            StepBackCounters();
        }
    }
    return true;
}

// The grey view's eye patch: closed eyes on screen and the open ones in the
// overlay, or back; the blink table moves by the shift between the two.
void TSvelmia::SwapGrayEyes()
{
    TCanvas* screen = Mainpict->GetCanvas();
    screen->CopyMode = SRCCOPY;
    TCanvas* overlay = CloseEye_disp->GetCanvas();
    overlay->CopyMode = SRCCOPY;
    const TRect eye = kEyePatchAtRest;
    const TRect patch = kEyePatch;
    if (GrayEyesClosed) {
        screen->CopyRect(eye, CloseEyePictGray->GetCanvas(), patch);
        overlay->CopyRect(patch, MainPictGray->GetCanvas(), eye);
    } else {
        screen->CopyRect(eye, MainPictGray->GetCanvas(), eye);
        overlay->CopyRect(patch, CloseEyePictGray->GetCanvas(), patch);
    }
    const int shiftBy = GrayEyesClosed ? -GrayEyeShift : GrayEyeShift;
    for (int& entry : GrayBlinkTable)
        entry += shiftBy;
}

bool TSvelmia::CloseOrOpenLeftEyes()
{
    HideBlinkOverlays();
    Toggle(LeftEyesClosed);
    if (!LeftEyesClosed)
        CloseEye_disp_Left->SetVisible(false);
    return true;
}

// ---- Automatic cells: undo by hand the advance of the last cycle end ---------------

bool TSvelmia::ToggleFaceAuto()
{
    RewindMainCounters();
    Toggle(FaceAuto);
    return true;
}

bool TSvelmia::ToggleEarringAuto()
{
    RewindMainCounters();
    Toggle(EarringAuto);
    return true;
}

bool TSvelmia::ToggleBraceletAuto()
{
    RewindMainCounters();
    Toggle(BraceletAuto);
    return true;
}

// The left figure's f and e rewind the scene and their own cell only.
bool TSvelmia::ToggleLeftFaceAuto()
{
    PreviousIndex(SceneIndex, kScenes);
    if (LeftFaceAuto)
        PreviousIndex(LeftFaceIndex, FaceCount);
    Toggle(LeftFaceAuto);
    return true;
}

bool TSvelmia::ToggleLeftEarringAuto()
{
    PreviousIndex(SceneIndex, kScenes);
    if (LeftEarringAuto)
        PreviousIndex(LeftEarringIndex, kCells);
    Toggle(LeftEarringAuto);
    return true;
}

bool TSvelmia::ToggleLeftBraceletAuto()
{
    PreviousIndex(SceneIndex, kScenes);
    if (LeftEarringAuto)
        PreviousIndex(LeftEarringIndex, kCells);
    if (LeftFaceAuto)
        PreviousIndex(LeftFaceIndex, FaceCount);
    if (LeftBraceletAuto)
        PreviousIndex(LeftBraceletIndex, kCells);
    Toggle(LeftBraceletAuto);
    return true;
}

bool TSvelmia::NextEarringFrame()
{
    NextIndex(EarringFrameIndex, kCells);
    return true;
}

bool TSvelmia::NextLeftEarringFrame()
{
    NextIndex(LeftEarringFrameIndex, kCells);
    return true;
}

// ---- Hair --------------------------------------------------------------------------

void TSvelmia::RefreshMainEyes()
{
    if (ShowMode)
        RefreshRightClosedEyes();
    else
        RefreshClosedEyes();
}

void TSvelmia::ToggleMainHairStyle(bool& style)
{
    ToggleHairStyle(MainSet(), style);
    CopyFaces(*this, FaceList, FaceWorkB);
    CloseEye_disp->SetVisible(false);
    RefreshMainEyes();
}

void TSvelmia::ToggleLeftHairStyle(bool& style)
{
    ToggleHairStyle(LeftSet(), style);
    CopyFaces(*this, FaceList, FaceWorkC);
    RefreshLeftClosedEyes();
}

bool TSvelmia::ToggleShaggy()
{
    ToggleMainHairStyle(ShaggyHair);
    return true;
}

bool TSvelmia::TogglePank()
{
    ToggleMainHairStyle(PankHair);
    return true;
}

bool TSvelmia::ToggleOtohime()
{
    ToggleMainHairStyle(OtohimeHair);
    return true;
}

bool TSvelmia::ToggleLeftShaggy()
{
    ToggleLeftHairStyle(LeftShaggyHair);
    return true;
}

bool TSvelmia::ToggleLeftPank()
{
    ToggleLeftHairStyle(LeftPankHair);
    return true;
}

bool TSvelmia::ToggleLeftOtohime()
{
    ToggleLeftHairStyle(LeftOtohimeHair);
    return true;
}

// Long hair shows the standard hair again and ends the styles.
bool TSvelmia::ToggleLongHair()
{
    if (MainHairHidden == 1)
        MainHairHidden = 0;
    CopyFaces(*this, LongHair ? FaceList : FaceListLarge, FaceWorkB);
    Toggle(LongHair);
    CloseEye_disp->SetVisible(false);
    ShaggyHair = OtohimeHair = PankHair = false;
    RefreshMainEyes();
    return true;
}

bool TSvelmia::ToggleLeftLongHair()
{
    LeftMainHairHidden = 0;
    CopyFaces(*this, LeftLongHair ? FaceList : FaceListLarge, FaceWorkC);
    Toggle(LeftLongHair);
    LeftShaggyHair = LeftOtohimeHair = LeftPankHair = false;
    RefreshLeftClosedEyes();
    return true;
}

bool TSvelmia::ToggleHairHidden()
{
    MainHairHidden = MainHairHidden ? 0 : 1;
    ShaggyHair = OtohimeHair = PankHair = false;
    RefreshMainEyes();
    return true;
}

bool TSvelmia::ToggleLeftHairHidden()
{
    LeftShaggyHair = LeftOtohimeHair = LeftPankHair = false;
    LeftMainHairHidden = LeftMainHairHidden ? 0 : 1;
    RefreshLeftClosedEyes();
    return true;
}

// ---- Wardrobe ----------------------------------------------------------------------

bool TSvelmia::NextStringPattern()
{
    NextPattern(MainSet());
    return true;
}

bool TSvelmia::NextLeftStringPattern()
{
    NextPattern(LeftSet());
    return true;
}

// The camisole hides the string pattern; taking it off brings the pattern back.
bool TSvelmia::ToggleCamisole()
{
    Toggle(CamisoleShown);
    SetPattern(MainSet(), CamisoleShown ? -1 : StringPatternIndex);
    return true;
}

bool TSvelmia::ToggleLeftCamisole()
{
    Toggle(LeftCamisoleShown);
    SetPattern(LeftSet(), LeftCamisoleShown ? -1 : LeftStringPatternIndex);
    return true;
}

bool TSvelmia::NextFlowerPlace()
{
    NextFlowerPlacement(FlowerShown, FlowerAlt, LongHair);
    return true;
}

bool TSvelmia::NextLeftFlowerPlace()
{
    NextFlowerPlacement(LeftFlowerShown, LeftFlowerAlt, LeftLongHair);
    return true;
}

bool TSvelmia::ToggleBracelet()
{
    Toggle(BraceletShown);
    return true;
}

bool TSvelmia::ToggleLeftBracelet()
{
    Toggle(LeftBraceletShown);
    return true;
}

bool TSvelmia::ToggleRibbon()
{
    Toggle(RibbonShown);
    return true;
}

bool TSvelmia::ToggleLeftRibbon()
{
    Toggle(LeftRibbonShown);
    return true;
}

bool TSvelmia::ToggleHairband()
{
    Toggle(HairBandShown);
    return true;
}

bool TSvelmia::ToggleLeftHairband()
{
    Toggle(LeftHairBandShown);
    return true;
}

bool TSvelmia::ToggleChoker()
{
    Toggle(ChokerShown);
    return true;
}

bool TSvelmia::ToggleLeftChoker()
{
    Toggle(LeftChokerShown);
    return true;
}

// ---- Part files --------------------------------------------------------------------

// Every part file goes in place through the one routine the browser uses.
// Returns whether a file was loaded.
bool TSvelmia::LoadPart(int kind, bool left, TOpenPictureDialog* dialog, const char* initialName, std::string& fileName)
{
    TBitmap loaded;
    if (!ChooseAndRead(dialog, initialName, fileName, loaded))
        return false;
    PlacePartPicture(kind, left, loaded);
    return true;
}

bool TSvelmia::LoadCostumeFile()
{
    if (!LoadPart(kPartCostume, false, OpenPictureDialog1, "vlm_co", CostumeFileName))
        return false;
    CamisoleShown = false;
    return true;
}

// The left figure's file is offered from the main figure's name but does not
// become the name a save proposes: that stays the main figure's costume file.
bool TSvelmia::LoadLeftCostumeFile()
{
    std::string fileName = CostumeFileName;
    if (!LoadPart(kPartCostume, true, OpenPictureDialog1, "vlm_co", fileName))
        return false;
    LeftCamisoleShown = false;
    return true;
}

bool TSvelmia::LoadCamisoleFile()
{
    if (!LoadPart(kPartCamisole, false, OpenPictureDialog7, "vlm_ca", CamisoleFileName))
        return false;
    CamisoleShown = true;
    SetPattern(MainSet(), -1);
    return true;
}

bool TSvelmia::LoadLeftCamisoleFile()
{
    if (!LoadPart(kPartCamisole, true, OpenPictureDialog7, "vlm_ca", CamisoleFileName))
        return false;
    LeftCamisoleShown = true;
    SetPattern(LeftSet(), -1);
    return true;
}

// The other parts are shown once loaded.
bool TSvelmia::LoadChokerFile()
{
    if (!LoadPart(kPartChoker, false, OpenPictureDialog6, "vlm_ch", ChokerFileName))
        return false;
    ChokerShown = true;
    return true;
}

bool TSvelmia::LoadLeftChokerFile()
{
    if (!LoadPart(kPartChoker, true, OpenPictureDialog6, "vlm_ch", ChokerFileName))
        return false;
    LeftChokerShown = true;
    return true;
}

bool TSvelmia::LoadFlowerFile()
{
    if (!LoadPart(kPartFlower, false, OpenPictureDialog5, "vlm_fl", FlowerFileName))
        return false;
    FlowerShown = true;
    return true;
}

bool TSvelmia::LoadLeftFlowerFile()
{
    if (!LoadPart(kPartFlower, true, OpenPictureDialog5, "vlm_fl", FlowerFileName))
        return false;
    LeftFlowerShown = true;
    return true;
}

bool TSvelmia::LoadHairbandFile()
{
    if (!LoadPart(kPartHairBand, false, OpenPictureDialog4, "vlm_hb", HairBandFileName))
        return false;
    HairBandShown = true;
    return true;
}

bool TSvelmia::LoadLeftHairbandFile()
{
    if (!LoadPart(kPartHairBand, true, OpenPictureDialog4, "vlm_hb", HairBandFileName))
        return false;
    LeftHairBandShown = true;
    return true;
}

bool TSvelmia::LoadRibbonFile()
{
    if (!LoadPart(kPartRibbon, false, OpenPictureDialog3, "vlm_ribborn", RibbonFileName))
        return false;
    RibbonShown = true;
    return true;
}

bool TSvelmia::LoadLeftRibbonFile()
{
    if (!LoadPart(kPartRibbon, true, OpenPictureDialog3, "vlm_ri", RibbonFileName))
        return false;
    LeftRibbonShown = true;
    return true;
}

// The scene list is a plain picture: no mask, no cell layout.
bool TSvelmia::LoadSceneListFile()
{
    TBitmap loaded;
    if (!ChooseAndRead(OpenPictureDialog2, "vlm_scenelist", SceneListFileName, loaded))
        return false;
    SceneList->GetBitmap()->Assign(loaded);
    return true;
}

// ---- The show and the figures ------------------------------------------------------

// q. Back from a figure taken out of the show; in the show, take the left
// figure into the portrait (the main figure waits in the saved set); in the
// portrait, the first q arms and the second copies the figure to the left.
// Returns whether the view changed.
bool TSvelmia::ExchangeFigure()
{
    if (MainSwapped) {
        ReturnToShow();
        return true;
    }
    if (ShowMode) {
        SaveMainSet();
        HideBlinkOverlays();
        TakeLeftSet();
        RefreshClosedEyes();
        MainSwapped = true;
        ShowOrigin = 1;
        CopyToLeftArmed = true;
        EnterPortraitView();
        return true;
    }
    if (!CopyToLeftArmed) {
        CopyToLeftArmed = true;
        return false;
    }
    LayoutLeftFigure();
    CopyMainToLeft();
    RefreshLeftClosedEyes();
    ShowOrigin = 1;
    return false;
}

// w: back to the show from a figure taken out of it, into the show, or out
// of it to the portrait.
bool TSvelmia::SwitchShow()
{
    if (MainSwapped) {
        ReturnToShow();
    } else if (ShowOrigin == 1) {
        StartShow();
    } else {
        ShowOrigin = 1;
        CopyToLeftArmed = false;
        HideBlinkOverlays();
        RefreshLeftClosedEyes();
        // The portrait's overlay held the right figure's eyes.
        RefreshClosedEyes();
        EnterPortraitView();
    }
    return true;
}

bool TSvelmia::ExchangeShowFigures()
{
    HideBlinkOverlays();
    SaveMainSet();
    TakeLeftSet();
    RestoreLeftSet();
    RefreshLeftClosedEyes();
    RefreshRightClosedEyes();
    return true;
}

// Enter and space; with Shift one scene more.
bool TSvelmia::NextScene()
{
    HideBlinkOverlays();
    if (GetKeyState(VK_SHIFT) < 0)
        NextIndex(SceneIndex, kScenes);
    return true;
}
