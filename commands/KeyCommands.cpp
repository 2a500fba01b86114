// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Every character command arrives here. There are no menus and no buttons:
// the user dresses and arranges the figure by single keystrokes, looked up in
// the command table (commands/KeyCommandTable.h).
//
// Each command is a short transaction: Timer1 paused and input held (Busy)
// while the command runs. A command changes a few state variables and asks the next
// tick to recompose (RequestRedraw); those that should change only their
// own setting also step the automatic counters back, so the cycle end brings
// back the same scene and cells.
#include "assets/Transparency.h"
#include "commands/KeyCommandTable.h"
#include "commands/NamedKeyTable.h"
#include "toolkit/Intl.h"

#include <exception>
#include <filesystem>
#include <string>

using namespace vcl;
using namespace layout;

namespace {

constexpr unsigned char kCtrlC = 3;

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
// index.
void NextPattern(const SelectionRef& set)
{
    NextIndex(set.StringPatternIndex, 5);
    set.ShowPattern(set.StringPatternIndex);
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
    Application->ShowNotice(vcl::Format(_("The part file \"%s\" could not be loaded: %s"), path, reason));
    return false;
}

} // namespace

// ---- The transaction ---------------------------------------------------------------

void TSvelmia::FormKeyPress(TObject* /*Sender*/, char& Key)
{
    // Settled by the key-down handler of the same key.
    const unsigned char key = static_cast<unsigned char>(Key);
    if (const NamedKeyRow* row = FindCharacterKey(key)) {
        (this->*row->action)(row->key);
        return;
    }
    if (BrowserOpen)
        return;
    if (const WindowKeyRow* row = FindWindowKey(static_cast<char>(key))) {
        (this->*row->action)();
        return;
    }
    if (key == kCtrlC) {
        CopyWindowPicture();
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
    const BusyHold busy(*this);
    try {
        if (row)
            RunKeyCommand(*row);
        else
            LookKeyPress(key);
    } catch (const std::exception& e) {
        // Whatever went wrong, the program must keep responding.
        Application->ShowException(e);
    }
}

void TSvelmia::ToggleMousePointer()
{
    CursorVisible = !CursorVisible;
    Screen->SetCursor(CursorVisible ? SavedCursor : -1);
}

void TSvelmia::MinimiseWindow()
{
    Application->Minimize();
}

// Esc closes the part browser, the close-up or the title banner, in that
// order; with none of them open it quits.
void TSvelmia::CloseOrQuit(uint16_t /*key*/)
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
            (this->*row.action)(row);
            break;
        case Step::TryAct:
            if (!(this->*row.action)(row))
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
    return ShowOrigin != ShowStage::NoLeftFigure;
}

// A composed scene with a cell: the built-in strawberry scene has none.
bool TSvelmia::SceneCellOnScreen() const
{
    return PortraitComposed && SceneIndex != 1;
}

// ---- The figure a command acts on --------------------------------------------------

SelectionRef TSvelmia::FigureSet(Figure figure)
{
    return figure == Figure::Main ? MainSet() : LeftSet();
}

// The figure's closed-eye overlay, built again for its hair: the main figure's
// is the portrait's or, in the show, the right figure's.
void TSvelmia::RefreshFigureEyes(Figure figure)
{
    if (figure == Figure::Left)
        RefreshLeftClosedEyes();
    else if (ShowMode)
        RefreshRightClosedEyes();
    else
        RefreshClosedEyes();
}

// ---- Eyes --------------------------------------------------------------------------

// x in every view: the portrait's and the show's figures, the grey view (the
// eye patch exchanged on screen at once) and the four-figure view. Opening
// the main figure's eyes brings back the scene and cells on screen.
bool TSvelmia::CloseOrOpenEyes(const KeyCommandRow& row)
{
    HideBlinkOverlays();
    if (QuadMode) {
        Toggle(QuadEyesClosed);
        StepBackCounters();
    } else if (GrayMode) {
        Toggle(GrayEyesClosed);
        SwapGrayEyes();
    } else {
        const SelectionRef set = FigureSet(row.figure);
        Toggle(set.EyesClosed);
        if (!set.EyesClosed) {
            (row.figure == Figure::Main ? CloseEye_disp : CloseEye_disp_Left)->SetVisible(false);
            if (row.figure == Figure::Main)
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

// ---- Automatic cells: undo by hand the advance of the last cycle end ---------------

// The main figure's toggles rewind all its automatic cells; the left
// figure's f and e only their own, its b all three.
bool TSvelmia::ToggleFaceAuto(const KeyCommandRow& row)
{
    const SelectionRef set = FigureSet(row.figure);
    const bool main = row.figure == Figure::Main;
    RewindAutoCells(set, main, true, main);
    Toggle(set.FaceAuto);
    return true;
}

bool TSvelmia::ToggleEarringAuto(const KeyCommandRow& row)
{
    const SelectionRef set = FigureSet(row.figure);
    const bool main = row.figure == Figure::Main;
    RewindAutoCells(set, true, main, main);
    Toggle(set.EarringAuto);
    return true;
}

bool TSvelmia::ToggleBraceletAuto(const KeyCommandRow& row)
{
    const SelectionRef set = FigureSet(row.figure);
    RewindAutoCells(set, true, true, true);
    Toggle(set.BraceletAuto);
    return true;
}

bool TSvelmia::NextEarringFrame(const KeyCommandRow& row)
{
    NextIndex(FigureSet(row.figure).EarringFrameIndex, kCells);
    return true;
}

// ---- Hair --------------------------------------------------------------------------

void TSvelmia::ToggleFigureHairStyle(Figure figure, bool& style)
{
    ToggleHairStyle(FigureSet(figure), style);
    CopyFaces(*this, FaceList.get(), figure == Figure::Main ? FaceWorkB.get() : FaceWorkC.get());
    RefreshFigureEyes(figure);
}

bool TSvelmia::ToggleShaggy(const KeyCommandRow& row)
{
    ToggleFigureHairStyle(row.figure, FigureSet(row.figure).ShaggyHair);
    return true;
}

bool TSvelmia::TogglePank(const KeyCommandRow& row)
{
    ToggleFigureHairStyle(row.figure, FigureSet(row.figure).PankHair);
    return true;
}

bool TSvelmia::ToggleOtohime(const KeyCommandRow& row)
{
    ToggleFigureHairStyle(row.figure, FigureSet(row.figure).OtohimeHair);
    return true;
}

// Long hair shows the standard hair again and ends the styles.
bool TSvelmia::ToggleLongHair(const KeyCommandRow& row)
{
    const SelectionRef set = FigureSet(row.figure);
    set.MainHairHidden = 0;
    CopyFaces(*this, set.LongHair ? FaceList.get() : FaceListLarge.get(),
              row.figure == Figure::Main ? FaceWorkB.get() : FaceWorkC.get());
    Toggle(set.LongHair);
    set.ShaggyHair = set.OtohimeHair = set.PankHair = false;
    RefreshFigureEyes(row.figure);
    return true;
}

bool TSvelmia::ToggleHairHidden(const KeyCommandRow& row)
{
    const SelectionRef set = FigureSet(row.figure);
    set.MainHairHidden = set.MainHairHidden ? 0 : 1;
    set.ShaggyHair = set.OtohimeHair = set.PankHair = false;
    RefreshFigureEyes(row.figure);
    return true;
}

// ---- Wardrobe ----------------------------------------------------------------------

bool TSvelmia::NextStringPattern(const KeyCommandRow& row)
{
    NextPattern(FigureSet(row.figure));
    return true;
}

// The camisole hides the string pattern; taking it off brings the pattern back.
bool TSvelmia::ToggleCamisole(const KeyCommandRow& row)
{
    const SelectionRef set = FigureSet(row.figure);
    Toggle(set.CamisoleShown);
    set.ShowPattern(set.CamisoleShown ? -1 : set.StringPatternIndex);
    return true;
}

bool TSvelmia::NextFlowerPlace(const KeyCommandRow& row)
{
    const SelectionRef set = FigureSet(row.figure);
    NextFlowerPlacement(set.FlowerShown, set.FlowerAlt, set.LongHair);
    return true;
}

bool TSvelmia::ToggleBracelet(const KeyCommandRow& row)
{
    Toggle(FigureSet(row.figure).BraceletShown);
    return true;
}

bool TSvelmia::ToggleRibbon(const KeyCommandRow& row)
{
    Toggle(FigureSet(row.figure).RibbonShown);
    return true;
}

bool TSvelmia::ToggleHairband(const KeyCommandRow& row)
{
    Toggle(FigureSet(row.figure).HairBandShown);
    return true;
}

bool TSvelmia::ToggleChoker(const KeyCommandRow& row)
{
    Toggle(FigureSet(row.figure).ChokerShown);
    return true;
}

// ---- Part files --------------------------------------------------------------------

TOpenPictureDialog* TSvelmia::PartDialog(PartKind kind) const
{
    switch (kind) {
    case kPartCostume:
        return OpenPictureDialog1;
    case kPartCamisole:
        return OpenPictureDialog7;
    case kPartHairBand:
        return OpenPictureDialog4;
    case kPartFlower:
        return OpenPictureDialog5;
    case kPartRibbon:
        return OpenPictureDialog3;
    default:
        return OpenPictureDialog6;
    }
}

// Every part file goes in place through the routine the browser uses, and is
// worn as a part the browser gives. Returns whether a file was loaded.
bool TSvelmia::LoadPartFile(const KeyCommandRow& row)
{
    TBitmap loaded;
    std::string path;
    if (!ChoosePartFile(PartDialog(row.file.kind), row.file.offered, path))
        return false;
    RememberFile(path); // as it is before it is read: a change while reading is someone else's
    if (!ReadPartFile(path, loaded))
        return false;
    PlacePartPicture(row.file.kind, row.figure == Figure::Left, loaded);
    WearPart(row.file.kind, row.figure, path);
    return true;
}

// The scene list is a plain picture: no mask, no cell layout.
bool TSvelmia::LoadSceneListFile(const KeyCommandRow& /*row*/)
{
    TBitmap loaded;
    std::string path;
    if (!ChoosePartFile(OpenPictureDialog2, "vlm_scenelist", path))
        return false;
    RememberFile(path);
    if (!ReadPartFile(path, loaded))
        return false;
    SceneListFileName = path;
    velmia::assets::LayOverWhite(loaded);
    SceneList->GetBitmap()->Assign(loaded);
    WornSceneList = path;
    SceneCellColours = {};
    return true;
}

// ---- The show and the figures ------------------------------------------------------

// q. Back from a figure taken out of the show; in the show, take the left
// figure into the portrait (the main figure waits in the saved set); in the
// portrait, the first q arms and the second copies the figure to the left.
// Returns whether the view changed.
bool TSvelmia::ExchangeFigure(const KeyCommandRow& /*row*/)
{
    if (MainSwapped) {
        ReturnToShow();
        return true;
    }
    if (ShowMode) {
        TakeLeftFigureOut();
        return true;
    }
    if (!CopyToLeftArmed) {
        CopyToLeftArmed = true;
        return false;
    }
    LayoutLeftFigure();
    CopyMainToLeft();
    RefreshLeftClosedEyes();
    ShowOrigin = ShowStage::LeftForPortrait;
    return false;
}

// w: back to the show from a figure taken out of it, into the show, or out
// of it to the portrait.
bool TSvelmia::SwitchShow(const KeyCommandRow& /*row*/)
{
    if (MainSwapped) {
        ReturnToShow();
    } else if (ShowOrigin == ShowStage::LeftForPortrait) {
        StartShow();
    } else {
        RefreshLeftClosedEyes();
        LeaveShowForPortrait();
    }
    return true;
}

bool TSvelmia::ExchangeShowFigures(const KeyCommandRow& /*row*/)
{
    HideBlinkOverlays();
    SaveMainSet();
    TakeLeftSet();
    RestoreLeftSet();
    RefreshLeftClosedEyes();
    RefreshRightClosedEyes();
    return true;
}

// Enter and space: the blink overlays go, and with Shift one scene is
// skipped; the redraw of the row's closing composes the scene after it.
bool TSvelmia::ReadyNextScene(const KeyCommandRow& /*row*/)
{
    HideBlinkOverlays();
    if (GetKeyState(VK_SHIFT) < 0)
        NextIndex(SceneIndex, kScenes);
    return true;
}
