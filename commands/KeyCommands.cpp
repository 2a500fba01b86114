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
#include "commands/KeyCommandTable.h"
#include "shell/Velmiaunit1.h"

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

using namespace vcl;
using namespace layout;

namespace {

// Commands by character (codes 13 to 126).
constexpr std::array<KeyCommand, 114> MakeCommandTable()
{
    std::array<KeyCommand, 114> t{};
    const struct {
        char key;
        KeyCommand command;
    } rows[] = {
        {'~', KeyCommand::LeftHairbandFile},
        {'_', KeyCommand::LeftCostumeFile},
        {'|', KeyCommand::LeftCostumeFile},
        {'y', KeyCommand::Shaggy},
        {'x', KeyCommand::CloseEyes},
        {'w', KeyCommand::ShowSwitch},
        {'v', KeyCommand::StringPattern},
        {'t', KeyCommand::Flower},
        {'s', KeyCommand::SaveCostume},
        {'r', KeyCommand::Ribbon},
        {'q', KeyCommand::ExchangeFigure},
        {'p', KeyCommand::Pank},
        {'o', KeyCommand::Otohime},
        {'n', KeyCommand::Bracelet},
        {'l', KeyCommand::LongHair},
        {'k', KeyCommand::Choker},
        {'h', KeyCommand::Hairband},
        {'g', KeyCommand::EarringFrame},
        {'f', KeyCommand::FaceAuto},
        {'e', KeyCommand::EarringAuto},
        {'d', KeyCommand::SaveSceneList},
        {'c', KeyCommand::HairHidden},
        {'b', KeyCommand::BraceletAuto},
        {'a', KeyCommand::Camisole},
        {'^', KeyCommand::SceneListFile},
        {'\\', KeyCommand::CostumeFile},
        {'Y', KeyCommand::LeftShaggy},
        {'X', KeyCommand::LeftCloseEyes},
        {'W', KeyCommand::ExchangeShowFigures},
        {'V', KeyCommand::LeftStringPattern},
        {'T', KeyCommand::LeftFlower},
        {'R', KeyCommand::LeftRibbon},
        {'P', KeyCommand::LeftPank},
        {'O', KeyCommand::LeftOtohime},
        {'N', KeyCommand::LeftBracelet},
        {'L', KeyCommand::LeftLongHair},
        {'K', KeyCommand::LeftChoker},
        {'H', KeyCommand::LeftHairband},
        {'G', KeyCommand::LeftEarringFrame},
        {'F', KeyCommand::LeftFaceAuto},
        {'E', KeyCommand::LeftEarringAuto},
        {'C', KeyCommand::LeftHairHidden},
        {'B', KeyCommand::LeftBraceletAuto},
        {'A', KeyCommand::LeftCamisole},
        {'=', KeyCommand::LeftRibbonFile},
        {'9', KeyCommand::FlowerFile},
        {'8', KeyCommand::ChokerFile},
        {'7', KeyCommand::CamisoleFile},
        {'2', KeyCommand::HemColour},
        {'1', KeyCommand::SceneCellColour},
        {'0', KeyCommand::HairbandFile},
        {'-', KeyCommand::RibbonFile},
        {')', KeyCommand::LeftFlowerFile},
        {'(', KeyCommand::LeftChokerFile},
        {'\'', KeyCommand::LeftCamisoleFile},
        {'"', KeyCommand::LeftHemColour},
        {'\r', KeyCommand::NextScene},
        {' ', KeyCommand::NextScene},
    };
    for (const auto& r : rows)
        t[static_cast<unsigned char>(r.key) - 13] = r.command;
    return t;
}
constexpr std::array<KeyCommand, 114> kCommandTable = MakeCommandTable();

KeyCommand CommandFor(unsigned char key)
{
    if (key < 13 || key > 126)
        return KeyCommand::None;
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

void TSvelmia::RunKeyCommand(KeyCommand command, bool view, bool shift)
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
    case KeyCommand::LeftHairbandFile: // ~ : left hairband file
        if (view || !show || LeftLongHair)
            return;
        if (loadPart(OpenPictureDialog4, "vlm_hb", HairBandFileName, place(kPartHairBand, true)))
            LeftHairBandShown = true;
        redraw();
        return;
    case KeyCommand::LeftCostumeFile: // _ | : left costume file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog1, "vlm_co", CostumeFileName, place(kPartCostume, true))) {
            LeftCamisoleShown = false;
            redraw();
        }
        return;
    case KeyCommand::Shaggy: // y
        if (view || ShaggyMissing)
            return;
        mainHairStyle(ShaggyHair);
        return;
    case KeyCommand::CloseEyes: // x : eyes, in every view
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
    case KeyCommand::ShowSwitch: // w : show switch
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
    case KeyCommand::StringPattern: // v
        if (view || CamisoleShown)
            return;
        StepBackCounters();
        patternStep(StringPatternIndex, StringPatternOn, ThickStringOn, WStringOn, CrossStringOn);
        redraw();
        return;
    case KeyCommand::Flower: // t
        if (view)
            return;
        flowerStep(FlowerShown, FlowerAlt, LongHair);
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::SaveCostume: // s
        if (view || show)
            return;
        SaveCostume();
        return;
    case KeyCommand::Ribbon: // r
        if (view)
            return;
        Toggle(RibbonShown);
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::ExchangeFigure: // q : figure exchange
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
    case KeyCommand::Pank: // p
        if (view || PankMissing)
            return;
        mainHairStyle(PankHair);
        return;
    case KeyCommand::Otohime: // o
        if (view || OtohimeMissing)
            return;
        mainHairStyle(OtohimeHair);
        return;
    case KeyCommand::Bracelet: // n
        if (view)
            return;
        StepBackCounters();
        Toggle(BraceletShown);
        redraw();
        return;
    case KeyCommand::LongHair: // l : long hair
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
    case KeyCommand::Choker: // k
        if (view)
            return;
        Toggle(ChokerShown);
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::Hairband: // h
        if (view || LongHair)
            return;
        Toggle(HairBandShown);
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::EarringFrame: // g
        if (view || !EarringFramesLoaded)
            return;
        NextIndex(EarringFrameIndex, kCells);
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::FaceAuto: // f
        if (view)
            return;
        rewindMain();
        Toggle(FaceAuto);
        redraw();
        return;
    case KeyCommand::EarringAuto: // e
        if (view)
            return;
        rewindMain();
        Toggle(EarringAuto);
        redraw();
        return;
    case KeyCommand::SaveSceneList: // d
        if (view || show)
            return;
        SaveSceneList();
        return;
    case KeyCommand::HairHidden: // c
        if (view || LongHair)
            return;
        MainHairHidden = MainHairHidden ? 0 : 1;
        ShaggyHair = OtohimeHair = PankHair = false;
        StepBackCounters();
        refreshMainEyes();
        redraw();
        return;
    case KeyCommand::BraceletAuto: // b
        if (view || !BraceletShown || show)
            return;
        rewindMain();
        Toggle(BraceletAuto);
        redraw();
        return;
    case KeyCommand::Camisole: // a
        if (view)
            return;
        Toggle(CamisoleShown);
        StepBackCounters();
        setPattern(CamisoleShown ? -1 : StringPatternIndex, StringPatternOn, ThickStringOn, WStringOn, CrossStringOn);
        redraw();
        return;
    case KeyCommand::SceneListFile: // ^ : scene list file
        if (view || show)
            return;
        if (loadPart(OpenPictureDialog2, "vlm_scenelist", SceneListFileName, plainInto(SceneList->GetBitmap()))) {
            StepBackCounters();
            redraw();
        }
        return;
    case KeyCommand::CostumeFile: // \ : costume file
        if (view)
            return;
        if (loadPart(OpenPictureDialog1, "vlm_co", CostumeFileName, place(kPartCostume, false))) {
            CamisoleShown = false;
            redraw();
            stepBackUnlessShow();
        }
        return;
    case KeyCommand::LeftShaggy: // Y
        if (view || !show || ShaggyMissing)
            return;
        leftHairStyle(LeftShaggyHair);
        return;
    case KeyCommand::LeftCloseEyes: // X
        if (view || !show)
            return;
        HideBlinkOverlays();
        Toggle(LeftEyesClosed);
        if (!LeftEyesClosed)
            CloseEye_disp_Left->SetVisible(false);
        redraw();
        return;
    case KeyCommand::ExchangeShowFigures: // W : exchange the two show figures
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
    case KeyCommand::LeftStringPattern: // V
        if (view || !show || LeftCamisoleShown)
            return;
        patternStep(LeftStringPatternIndex, LeftStringPatternOn, LeftThickStringOn, LeftWStringOn, LeftCrossStringOn);
        redraw();
        return;
    case KeyCommand::LeftFlower: // T
        if (view || !show)
            return;
        flowerStep(LeftFlowerShown, LeftFlowerAlt, LeftLongHair);
        redraw();
        return;
    case KeyCommand::LeftRibbon: // R
        if (view || !show)
            return;
        Toggle(LeftRibbonShown);
        redraw();
        return;
    case KeyCommand::LeftPank: // P
        if (view || !show || PankMissing)
            return;
        leftHairStyle(LeftPankHair);
        return;
    case KeyCommand::LeftOtohime: // O
        if (view || !show || OtohimeMissing)
            return;
        leftHairStyle(LeftOtohimeHair);
        return;
    case KeyCommand::LeftBracelet: // N
        if (view || !show)
            return;
        StepBackCounters();
        Toggle(LeftBraceletShown);
        redraw();
        return;
    case KeyCommand::LeftLongHair: // L : left long hair
        if (view || !show)
            return;
        LeftMainHairHidden = 0;
        copyFaces(LeftLongHair ? FaceList : FaceListLarge, FaceWorkC);
        Toggle(LeftLongHair);
        LeftShaggyHair = LeftOtohimeHair = LeftPankHair = false;
        RefreshLeftClosedEyes();
        redraw();
        return;
    case KeyCommand::LeftChoker: // K
        if (view || !show)
            return;
        Toggle(LeftChokerShown);
        redraw();
        return;
    case KeyCommand::LeftHairband: // H
        if (view || !show || LeftLongHair)
            return;
        Toggle(LeftHairBandShown);
        redraw();
        return;
    case KeyCommand::LeftEarringFrame: // G
        if (view || !show || !EarringFramesLoaded)
            return;
        NextIndex(LeftEarringFrameIndex, kCells);
        redraw();
        return;
    case KeyCommand::LeftFaceAuto: // F
        if (view || !show)
            return;
        PreviousIndex(SceneIndex, kScenes);
        if (LeftFaceAuto)
            PreviousIndex(LeftFaceIndex, FaceCount);
        Toggle(LeftFaceAuto);
        redraw();
        return;
    case KeyCommand::LeftEarringAuto: // E
        if (view || !show)
            return;
        PreviousIndex(SceneIndex, kScenes);
        if (LeftEarringAuto)
            PreviousIndex(LeftEarringIndex, kCells);
        Toggle(LeftEarringAuto);
        redraw();
        return;
    case KeyCommand::LeftHairHidden: // C
        if (view || !show || LeftLongHair)
            return;
        LeftShaggyHair = LeftOtohimeHair = LeftPankHair = false;
        LeftMainHairHidden = LeftMainHairHidden ? 0 : 1;
        RefreshLeftClosedEyes();
        redraw();
        return;
    case KeyCommand::LeftBraceletAuto: // B
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
    case KeyCommand::LeftCamisole: // A
        if (view || !show)
            return;
        Toggle(LeftCamisoleShown);
        setPattern(LeftCamisoleShown ? -1 : LeftStringPatternIndex, LeftStringPatternOn, LeftThickStringOn,
                   LeftWStringOn, LeftCrossStringOn);
        redraw();
        return;
    case KeyCommand::LeftRibbonFile: // = : left ribbon file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog3, "vlm_ri", RibbonFileName, place(kPartRibbon, true)))
            LeftRibbonShown = true;
        redraw();
        return;
    case KeyCommand::FlowerFile: // 9 : flower file
        if (view || LongHair)
            return;
        if (loadPart(OpenPictureDialog5, "vlm_fl", FlowerFileName, place(kPartFlower, false)))
            FlowerShown = true;
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::ChokerFile: // 8 : choker file
        if (view)
            return;
        if (loadPart(OpenPictureDialog6, "vlm_ch", ChokerFileName, place(kPartChoker, false)))
            ChokerShown = true;
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::CamisoleFile: // 7 : camisole file
        if (view)
            return;
        if (loadPart(OpenPictureDialog7, "vlm_ca", CamisoleFileName, place(kPartCamisole, false))) {
            CamisoleShown = true;
            setPattern(-1, StringPatternOn, ThickStringOn, WStringOn, CrossStringOn);
            redraw();
            stepBackUnlessShow();
        }
        return;
    case KeyCommand::HemColour: // 2 : hem colour
        if (view || CamisoleShown)
            return;
        if (RecolourHem()) {
            stepBackUnlessShow();
            redraw();
        }
        return;
    case KeyCommand::SceneCellColour: // 1 : scene cell colour (the built-in scene has no cell)
        if (view || show || !PortraitComposed || SceneIndex == 1)
            return;
        if (RecolourSceneCell()) {
            StepBackCounters();
            redraw();
        }
        return;
    case KeyCommand::HairbandFile: // 0 : hairband file
        if (view || LongHair)
            return;
        if (loadPart(OpenPictureDialog4, "vlm_hb", HairBandFileName, place(kPartHairBand, false)))
            HairBandShown = true;
        redraw();
        StepBackCounters();
        return;
    case KeyCommand::RibbonFile: // - : ribbon file
        if (view)
            return;
        if (loadPart(OpenPictureDialog3, "vlm_ribborn", RibbonFileName, place(kPartRibbon, false)))
            RibbonShown = true;
        StepBackCounters();
        redraw();
        return;
    case KeyCommand::LeftFlowerFile: // ) : left flower file
        if (view || !show || LeftLongHair)
            return;
        if (loadPart(OpenPictureDialog5, "vlm_fl", FlowerFileName, place(kPartFlower, true)))
            LeftFlowerShown = true;
        redraw();
        return;
    case KeyCommand::LeftChokerFile: // ( : left choker file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog6, "vlm_ch", ChokerFileName, place(kPartChoker, true)))
            LeftChokerShown = true;
        redraw();
        return;
    case KeyCommand::LeftCamisoleFile: // ' : left camisole file
        if (view || !show)
            return;
        if (loadPart(OpenPictureDialog7, "vlm_ca", CamisoleFileName, place(kPartCamisole, true))) {
            LeftCamisoleShown = true;
            setPattern(-1, LeftStringPatternOn, LeftThickStringOn, LeftWStringOn, LeftCrossStringOn);
            redraw();
        }
        return;
    case KeyCommand::LeftHemColour: // " : left hem colour
        if (view || !show || LeftCamisoleShown)
            return;
        if (RecolourLeftHem())
            redraw();
        return;
    case KeyCommand::NextScene: // Enter, space : next scene (Shift: one more)
        if (view)
            return;
        HideBlinkOverlays();
        if (shift)
            NextIndex(SceneIndex, kScenes);
        redraw();
        return;
    case KeyCommand::None:
        return;
    }
}
