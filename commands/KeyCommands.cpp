// Every character command arrives here. There are no menus and no buttons:
// the user dresses and arranges the figure by single keystrokes. A lower-case
// key acts on the main figure (the portrait, and the right figure of the scene
// show); the matching upper-case or shifted character acts on the left figure
// of the show and works only while the show runs.
//
// Each command is a short transaction: Timer1 off, Busy on, the command, Busy
// off, Timer1 on. A command changes a few state variables and asks the next
// tick to recompose (RequestRedraw); those that should change only their
// own setting first step the automatic counters back, so the cycle end brings
// back the same scene and cells.
#include "shell/Velmiaunit1.h"

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

using namespace vcl;
using namespace layout;

namespace {

// Command numbers by character (codes 13 to 126); 0 for none.
constexpr std::array<uint8_t, 114> MakeCommandTable()
{
    std::array<uint8_t, 114> t{};
    const struct {
        char key;
        uint8_t command;
    } rows[] = {
        {'~', 1},  {'_', 2},  {'|', 2},  {'y', 3},  {'x', 4},   {'w', 5},   {'v', 6},   {'t', 7},  {'s', 8},  {'r', 9},
        {'q', 10}, {'p', 11}, {'o', 12}, {'n', 13}, {'l', 14},  {'k', 15},  {'h', 16},  {'g', 17}, {'f', 18}, {'e', 19},
        {'d', 20}, {'c', 21}, {'b', 22}, {'a', 23}, {'^', 24},  {'\\', 25}, {'Y', 26},  {'X', 27}, {'W', 28}, {'V', 29},
        {'T', 30}, {'R', 31}, {'P', 32}, {'O', 33}, {'N', 34},  {'L', 35},  {'K', 36},  {'H', 37}, {'G', 38}, {'F', 39},
        {'E', 40}, {'C', 41}, {'B', 42}, {'A', 43}, {'=', 44},  {'9', 45},  {'8', 46},  {'7', 47}, {'2', 48}, {'1', 49},
        {'0', 50}, {'-', 51}, {')', 52}, {'(', 53}, {'\'', 54}, {'"', 55},  {'\r', 56}, {' ', 56},
    };
    for (const auto& r : rows)
        t[static_cast<unsigned char>(r.key) - 13] = r.command;
    return t;
}
constexpr std::array<uint8_t, 114> kCommandTable = MakeCommandTable();

int CommandFor(unsigned char key)
{
    if (key < 13 || key > 126)
        return 0;
    return kCommandTable[key - 13];
}

void Toggle(bool& flag)
{
    flag = !flag;
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

} // namespace

void TSvelmia::FormKeyPress(TObject* /*Sender*/, char& Key)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const unsigned char key = static_cast<unsigned char>(Key);

    if (key == 27) {
        if (BrowserOpen) {
            CloseBrowser();
        } else if (CloseUpMode) {
            ReturnFromCloseUpView();
            // Leaving from the unmagnified capture ends its hold too.
            CloseUpHalfShown = false;
            CloseUpRestored = false;
            Busy = false;
            CloseEye_disp_stretch->SetVisible(false);
            RequestRedraw();
        } else if (logo->GetVisible()) {
            logo->SetVisible(false);
        } else {
            QuitRequested = true;
            Busy = true;
        }
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
        // Only x acts, and not again within 4 ticks of the last swap; every
        // key pressed during the hold-off shortens it by one tick.
        if (TickCount < LastEyeSwapTick + 4) {
            if (LastEyeSwapTick > 0)
                --LastEyeSwapTick;
            return;
        }
        if (key != 'x')
            return;
        CloseUpEyesClosed = !CloseUpEyesClosed;
        CloseEye_disp_stretch->SetVisible(false);
        Timer1->SetEnabled(false);
        // Exchange the eyes on screen with the stretched overlay's.
        const TRect onScreen = ZoomEyeRect;
        const TRect inOverlay = Rect(ZoomEyeRect.Left - CloseUpEyeLeft, ZoomEyeRect.Top,
                                     ZoomEyeRect.Right - CloseUpEyeLeft, ZoomEyeRect.Bottom);
        TCanvas* screen = Mainpict->GetCanvas();
        TCanvas* overlay = CloseEye_disp_stretch->GetCanvas();
        TCanvas* work = ZoomBmp->GetCanvas();
        screen->CopyMode = SRCCOPY;
        overlay->CopyMode = SRCCOPY;
        work->CopyMode = SRCCOPY;
        work->CopyRect(inOverlay, screen, onScreen);
        screen->CopyRect(onScreen, overlay, inOverlay);
        overlay->CopyRect(inOverlay, work, inOverlay);
        CycleCounter = 0;
        LastEyeSwapTick = TickCount;
        Timer1->SetEnabled(true);
        return;
    }

    Timer1->SetEnabled(false);
    const bool view = GrayMode || QuadMode;
    Busy = true;
    try {
        RunKeyCommand(CommandFor(key), view, shift);
    } catch (const std::exception& e) {
        // Whatever went wrong, the program must keep responding.
        Application->ShowException(e);
    }
    Busy = false;
    Timer1->SetEnabled(true);
}

void TSvelmia::RunKeyCommand(int command, bool view, bool shift)
{
    const bool show = ShowMode;
    // Ask the next tick to recompose.
    auto redraw = [this] {
        RequestRedraw();
        RoundCounter = 0;
    };
    auto stepBackUnlessShow = [this, show] {
        if (!show)
            StepBackCounters();
    };

    // ---- Part files ----------------------------------------------------------
    // Chooses and reads a part file; `apply` puts the picture in place. The
    // chosen path goes into the kind's last-file-name string.
    auto loadPart = [&](TOpenPictureDialog* dialog, const char* initialName, std::string& fileName, auto apply) {
        std::string path;
        if (!ChoosePartFile(dialog, initialName, path))
            return false;
        TBitmap loaded;
        if (!ReadPartFile(path, loaded))
            return false;
        apply(loaded);
        fileName = path;
        return true;
    };
    // Every part file goes in place through the one routine the browser uses.
    auto place = [this](int kind, bool left) {
        return [this, kind, left](TBitmap& loaded) { PlacePartPicture(kind, left, loaded); };
    };
    auto plainInto = [](TBitmap* target) { return [target](TBitmap& loaded) { target->Assign(loaded); }; };

    // ---- Shared steps ------------------------------------------------------------
    auto copyFaces = [this](TBitmap* from, TBitmap* to) {
        const TRect all = Rect(0, 0, FaceWidth, FaceListHeight);
        to->GetCanvas()->CopyMode = SRCCOPY;
        to->GetCanvas()->CopyRect(all, from->GetCanvas(), all);
    };
    auto refreshMainEyes = [this] {
        if (ShowMode)
            RefreshRightClosedEyes();
        else
            RefreshClosedEyes();
    };
    // Hair styles: y, p, o and their left twins. Style flags are exclusive;
    // the standard hair stays hidden even when the style is toggled off.
    auto mainHairStyle = [&](bool& style) {
        StepBackCounters();
        const bool now = !style;
        ShaggyHair = PankHair = OtohimeHair = LongHair = false;
        style = now;
        MainHairHidden = 1;
        copyFaces(FaceList, FaceWorkB);
        CloseEye_disp->SetVisible(false);
        refreshMainEyes();
        redraw();
    };
    auto leftHairStyle = [&](bool& style) {
        const bool now = !style;
        LeftShaggyHair = LeftPankHair = LeftOtohimeHair = LeftLongHair = false;
        style = now;
        LeftMainHairHidden = 1;
        copyFaces(FaceList, FaceWorkC);
        RefreshLeftClosedEyes();
        redraw();
    };
    // String patterns: 0 to 3, 4 for none; the flags are a one-hot copy.
    auto patternStep = [](int& index, bool& p0, bool& p1, bool& p2, bool& p3) {
        p0 = p1 = p2 = p3 = false;
        if (++index > 4)
            index = 0;
        bool* flags[4] = {&p0, &p1, &p2, &p3};
        if (index < 4)
            *flags[index] = true;
    };
    auto setPattern = [](int index, bool& p0, bool& p1, bool& p2, bool& p3) {
        p0 = p1 = p2 = p3 = false;
        bool* flags[4] = {&p0, &p1, &p2, &p3};
        if (index >= 0 && index < 4)
            *flags[index] = true;
    };
    // Flower: short hair cycles hidden, placement 0, placement 1; long hair
    // alternates hidden and placement 1.
    auto flowerStep = [](bool& shown, int& alt, bool longHair) {
        if (shown) {
            if (alt == 0) {
                alt = 1;
            } else {
                shown = false;
                if (!longHair)
                    alt = 0;
            }
        } else {
            shown = true;
            if (longHair)
                alt = 1;
        }
    };
    // The automatic toggles undo, by hand, the advance of the last cycle end
    // (with the flags as they were before the toggle).
    auto rewindMain = [this] {
        PreviousIndex(SceneIndex, kScenes);
        if (EarringAuto)
            PreviousIndex(EarringIndex, kCells);
        if (FaceAuto)
            PreviousIndex(FaceIndex, FaceCount);
        if (BraceletAuto)
            PreviousIndex(BraceletIndex, kCells);
    };

    switch (command) {
    case 1: // ~ : left hairband file
        if (view || !show || LeftLongHair)
            return;
        if (loadPart(OpenPictureDialog4, "vlm_hb", HairBandFileName, place(kPartHairBand, true)))
            LeftHairBandShown = true;
        redraw();
        return;
    case 2: // _ | : left costume file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog1, "vlm_co", CostumeFileName, place(kPartCostume, true))) {
            LeftCamisoleShown = false;
            redraw();
        }
        return;
    case 3: // y
        if (view || ShaggyMissing)
            return;
        mainHairStyle(ShaggyHair);
        return;
    case 4: // x : eyes, in every view
        HideBlinkOverlays();
        if (QuadMode) {
            Toggle(QuadEyesClosed);
            StepBackCounters();
        } else if (GrayMode) {
            Toggle(GrayEyesClosed);
            TCanvas* screen = Mainpict->GetCanvas();
            screen->CopyMode = SRCCOPY;
            TCanvas* overlay = CloseEye_disp->GetCanvas();
            overlay->CopyMode = SRCCOPY;
            const TRect eye = kEyePatchAtRest;
            const TRect patch = kEyePatch;
            const int shiftBy = GrayEyesClosed ? -GrayEyeShift : GrayEyeShift;
            if (GrayEyesClosed) {
                screen->CopyRect(eye, CloseEyePictGray->GetCanvas(), patch);
                overlay->CopyRect(patch, MainPictGray->GetCanvas(), eye);
            } else {
                screen->CopyRect(eye, MainPictGray->GetCanvas(), eye);
                overlay->CopyRect(patch, CloseEyePictGray->GetCanvas(), patch);
            }
            for (int& entry : GrayBlinkTable)
                entry += shiftBy;
        } else {
            Toggle(EyesClosed);
            if (!EyesClosed) {
                CloseEye_disp->SetVisible(false);
                StepBackCounters();
            }
        }
        redraw();
        return;
    case 5: // w : show switch
        if (view || ShowOrigin == 0)
            return;
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
        redraw();
        return;
    case 6: // v
        if (view || CamisoleShown)
            return;
        StepBackCounters();
        patternStep(StringPatternIndex, StringPatternOn, ThickStringOn, WStringOn, CrossStringOn);
        redraw();
        return;
    case 7: // t
        if (view)
            return;
        flowerStep(FlowerShown, FlowerAlt, LongHair);
        StepBackCounters();
        redraw();
        return;
    case 8: // s
        if (view || show)
            return;
        SaveCostume();
        return;
    case 9: // r
        if (view)
            return;
        Toggle(RibbonShown);
        StepBackCounters();
        redraw();
        return;
    case 10: // q : figure exchange
        if (view)
            return;
        if (MainSwapped) {
            ReturnToShow();
            redraw();
        } else if (show) {
            // Take the left figure into the portrait view; the main figure
            // waits in the saved set.
            SaveMainSet();
            HideBlinkOverlays();
            TakeLeftSet();
            RefreshClosedEyes();
            redraw();
            MainSwapped = true;
            ShowOrigin = 1;
            CopyToLeftArmed = true;
            EnterPortraitView();
        } else if (!CopyToLeftArmed) {
            CopyToLeftArmed = true;
        } else {
            LayoutLeftFigure();
            CopyMainToLeft();
            RefreshLeftClosedEyes();
            ShowOrigin = 1;
        }
        return;
    case 11: // p
        if (view || PankMissing)
            return;
        mainHairStyle(PankHair);
        return;
    case 12: // o
        if (view || OtohimeMissing)
            return;
        mainHairStyle(OtohimeHair);
        return;
    case 13: // n
        if (view)
            return;
        StepBackCounters();
        Toggle(BraceletShown);
        redraw();
        return;
    case 14: // l : long hair
        if (view)
            return;
        if (MainHairHidden == 1) {
            MainHairHidden = 0;
            redraw();
        }
        StepBackCounters();
        if (LongHair) {
            copyFaces(FaceList, FaceWorkB);
            LongHair = false;
        } else {
            copyFaces(FaceListLarge, FaceWorkB);
            LongHair = true;
        }
        CloseEye_disp->SetVisible(false);
        ShaggyHair = OtohimeHair = PankHair = false;
        refreshMainEyes();
        redraw();
        return;
    case 15: // k
        if (view)
            return;
        Toggle(ChokerShown);
        StepBackCounters();
        redraw();
        return;
    case 16: // h
        if (view || LongHair)
            return;
        Toggle(HairBandShown);
        StepBackCounters();
        redraw();
        return;
    case 17: // g
        if (view || !EarringFramesLoaded)
            return;
        NextIndex(EarringFrameIndex, kCells);
        StepBackCounters();
        redraw();
        return;
    case 18: // f
        if (view)
            return;
        rewindMain();
        Toggle(FaceAuto);
        redraw();
        return;
    case 19: // e
        if (view)
            return;
        rewindMain();
        Toggle(EarringAuto);
        redraw();
        return;
    case 20: // d
        if (view || show)
            return;
        SaveSceneList();
        return;
    case 21: // c
        if (view || LongHair)
            return;
        MainHairHidden = MainHairHidden ? 0 : 1;
        ShaggyHair = OtohimeHair = PankHair = false;
        StepBackCounters();
        refreshMainEyes();
        redraw();
        return;
    case 22: // b
        if (view || !BraceletShown || show)
            return;
        rewindMain();
        Toggle(BraceletAuto);
        redraw();
        return;
    case 23: // a
        if (view)
            return;
        Toggle(CamisoleShown);
        StepBackCounters();
        setPattern(CamisoleShown ? -1 : StringPatternIndex, StringPatternOn, ThickStringOn, WStringOn, CrossStringOn);
        redraw();
        return;
    case 24: // ^ : scene list file
        if (view || show)
            return;
        if (loadPart(OpenPictureDialog2, "vlm_scenelist", SceneListFileName, plainInto(SceneList->GetBitmap()))) {
            StepBackCounters();
            redraw();
        }
        return;
    case 25: // \ : costume file
        if (view)
            return;
        if (loadPart(OpenPictureDialog1, "vlm_co", CostumeFileName, place(kPartCostume, false))) {
            CamisoleShown = false;
            redraw();
            stepBackUnlessShow();
        }
        return;
    case 26: // Y
        if (view || !show || ShaggyMissing)
            return;
        leftHairStyle(LeftShaggyHair);
        return;
    case 27: // X
        if (view || !show)
            return;
        HideBlinkOverlays();
        Toggle(LeftEyesClosed);
        if (!LeftEyesClosed)
            CloseEye_disp_Left->SetVisible(false);
        redraw();
        return;
    case 28: // W : exchange the two show figures
        if (view || !show)
            return;
        HideBlinkOverlays();
        SaveMainSet();
        TakeLeftSet();
        RestoreLeftSet();
        RefreshLeftClosedEyes();
        RefreshRightClosedEyes();
        redraw();
        return;
    case 29: // V
        if (view || !show || LeftCamisoleShown)
            return;
        patternStep(LeftStringPatternIndex, LeftStringPatternOn, LeftThickStringOn, LeftWStringOn, LeftCrossStringOn);
        redraw();
        return;
    case 30: // T
        if (view || !show)
            return;
        flowerStep(LeftFlowerShown, LeftFlowerAlt, LeftLongHair);
        redraw();
        return;
    case 31: // R
        if (view || !show)
            return;
        Toggle(LeftRibbonShown);
        redraw();
        return;
    case 32: // P
        if (view || !show || PankMissing)
            return;
        leftHairStyle(LeftPankHair);
        return;
    case 33: // O
        if (view || !show || OtohimeMissing)
            return;
        leftHairStyle(LeftOtohimeHair);
        return;
    case 34: // N
        if (view || !show)
            return;
        StepBackCounters();
        Toggle(LeftBraceletShown);
        redraw();
        return;
    case 35: // L : left long hair
        if (view || !show)
            return;
        LeftMainHairHidden = 0;
        copyFaces(LeftLongHair ? FaceList : FaceListLarge, FaceWorkC);
        Toggle(LeftLongHair);
        LeftShaggyHair = LeftOtohimeHair = LeftPankHair = false;
        RefreshLeftClosedEyes();
        redraw();
        return;
    case 36: // K
        if (view || !show)
            return;
        Toggle(LeftChokerShown);
        redraw();
        return;
    case 37: // H
        if (view || !show || LeftLongHair)
            return;
        Toggle(LeftHairBandShown);
        redraw();
        return;
    case 38: // G
        if (view || !show || !EarringFramesLoaded)
            return;
        NextIndex(LeftEarringFrameIndex, kCells);
        redraw();
        return;
    case 39: // F
        if (view || !show)
            return;
        PreviousIndex(SceneIndex, kScenes);
        if (LeftFaceAuto)
            PreviousIndex(LeftFaceIndex, FaceCount);
        Toggle(LeftFaceAuto);
        redraw();
        return;
    case 40: // E
        if (view || !show)
            return;
        PreviousIndex(SceneIndex, kScenes);
        if (LeftEarringAuto)
            PreviousIndex(LeftEarringIndex, kCells);
        Toggle(LeftEarringAuto);
        redraw();
        return;
    case 41: // C
        if (view || !show || LeftLongHair)
            return;
        LeftShaggyHair = LeftOtohimeHair = LeftPankHair = false;
        LeftMainHairHidden = LeftMainHairHidden ? 0 : 1;
        RefreshLeftClosedEyes();
        redraw();
        return;
    case 42: // B
        if (view || !LeftBraceletShown || !show)
            return;
        PreviousIndex(SceneIndex, kScenes);
        if (LeftEarringAuto)
            PreviousIndex(LeftEarringIndex, kCells);
        if (LeftFaceAuto)
            PreviousIndex(LeftFaceIndex, FaceCount);
        if (LeftBraceletAuto)
            PreviousIndex(LeftBraceletIndex, kCells);
        Toggle(LeftBraceletAuto);
        redraw();
        return;
    case 43: // A
        if (view || !show)
            return;
        Toggle(LeftCamisoleShown);
        setPattern(LeftCamisoleShown ? -1 : LeftStringPatternIndex, LeftStringPatternOn, LeftThickStringOn,
                   LeftWStringOn, LeftCrossStringOn);
        redraw();
        return;
    case 44: // = : left ribbon file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog3, "vlm_ri", RibbonFileName, place(kPartRibbon, true)))
            LeftRibbonShown = true;
        redraw();
        return;
    case 45: // 9 : flower file
        if (view || LongHair)
            return;
        if (loadPart(OpenPictureDialog5, "vlm_fl", FlowerFileName, place(kPartFlower, false)))
            FlowerShown = true;
        StepBackCounters();
        redraw();
        return;
    case 46: // 8 : choker file
        if (view)
            return;
        if (loadPart(OpenPictureDialog6, "vlm_ch", ChokerFileName, place(kPartChoker, false)))
            ChokerShown = true;
        StepBackCounters();
        redraw();
        return;
    case 47: // 7 : camisole file
        if (view)
            return;
        if (loadPart(OpenPictureDialog7, "vlm_ca", CamisoleFileName, place(kPartCamisole, false))) {
            CamisoleShown = true;
            setPattern(-1, StringPatternOn, ThickStringOn, WStringOn, CrossStringOn);
            redraw();
            stepBackUnlessShow();
        }
        return;
    case 48: // 2 : hem colour
        if (view || CamisoleShown)
            return;
        if (RecolourHem()) {
            stepBackUnlessShow();
            redraw();
        }
        return;
    case 49: // 1 : scene cell colour (the built-in scene has no cell)
        if (view || show || !PortraitComposed || SceneIndex == 1)
            return;
        if (RecolourSceneCell()) {
            StepBackCounters();
            redraw();
        }
        return;
    case 50: // 0 : hairband file
        if (view || LongHair)
            return;
        if (loadPart(OpenPictureDialog4, "vlm_hb", HairBandFileName, place(kPartHairBand, false)))
            HairBandShown = true;
        redraw();
        StepBackCounters();
        return;
    case 51: // - : ribbon file
        if (view)
            return;
        if (loadPart(OpenPictureDialog3, "vlm_ribborn", RibbonFileName, place(kPartRibbon, false)))
            RibbonShown = true;
        StepBackCounters();
        redraw();
        return;
    case 52: // ) : left flower file
        if (view || !show || LeftLongHair)
            return;
        if (loadPart(OpenPictureDialog5, "vlm_fl", FlowerFileName, place(kPartFlower, true)))
            LeftFlowerShown = true;
        redraw();
        return;
    case 53: // ( : left choker file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog6, "vlm_ch", ChokerFileName, place(kPartChoker, true)))
            LeftChokerShown = true;
        redraw();
        return;
    case 54: // ' : left camisole file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog7, "vlm_ca", CamisoleFileName, place(kPartCamisole, true))) {
            LeftCamisoleShown = true;
            setPattern(-1, LeftStringPatternOn, LeftThickStringOn, LeftWStringOn, LeftCrossStringOn);
            redraw();
        }
        return;
    case 55: // " : left hem colour
        if (view || !show || LeftCamisoleShown)
            return;
        if (RecolourLeftHem())
            redraw();
        return;
    case 56: // Enter, space : next scene (Shift: one more)
        if (view)
            return;
        HideBlinkOverlays();
        if (shift)
            NextIndex(SceneIndex, kScenes);
        redraw();
        return;
    default:
        return;
    }
}
