// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The form TSvelmia: the one window of the program and the owner of every
// picture. Its methods are defined in the folder of the subsystem that owns
// them (shell/, assets/, compose/, commands/, pointer/, views/, show/).
#pragma once

#include "commands/Look.h"
#include "compose/Timetables.h"
#include "shell/Layout.h"
#include "shell/PortraitState.h"
#include "shell/Selection.h"
#include "toolkit/Vcl.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct KeyCommandRow;
enum class KeyState : uint8_t;

// The size the program reads a start-up picture at; none (0 x 0) keeps the
// size of the picture's file.
struct PictureSize {
    int Width = 0;
    int Height = 0;
};

namespace showcompose {
struct DrawnFigure; // show/ShowCompose.cpp
}

class TSvelmia : public vcl::TForm, private PortraitState {
public:
    // Creates the components in declaration order, decodes their embedded
    // pictures and binds the event handlers. Does not run FormCreate (the
    // entry or the test host fires OnCreate). `watchPartFiles`: the program
    // was started with --watch (start-up then starts WatchTimer).
    explicit TSvelmia(bool watchPartFiles = false);
    ~TSvelmia() override;

    // ---- Published components, in declaration order -------------------------
    vcl::TTimer* Timer1 = nullptr;
    vcl::TImage* Mainpict = nullptr;
    vcl::TImage* CloseeyePict = nullptr;
    vcl::TImage* mySubcanvas = nullptr;
    vcl::TImage* EarringListPict = nullptr;
    vcl::TImage* MainPictList = nullptr;
    vcl::TImage* SceneStrawberry_Main = nullptr;
    vcl::TImage* SceneList = nullptr;
    vcl::TImage* SceneStrawberry_Sub = nullptr;
    vcl::TImage* SubPictList = nullptr;
    vcl::TImage* BraceletList = nullptr;
    vcl::TImage* CloseEyePictGray = nullptr;
    vcl::TImage* SubPictListGray = nullptr;
    vcl::TImage* MainPictGray = nullptr;
    vcl::TImage* Small4Pict = nullptr;
    vcl::TImage* SmallClosedPict0 = nullptr;
    vcl::TImage* SmallClosedPict01 = nullptr;
    vcl::TImage* SmallClosedPict1 = nullptr;
    vcl::TImage* SmallClosedPict11 = nullptr;
    vcl::TOpenPictureDialog* OpenPictureDialog1 = nullptr;
    vcl::TColorDialog* ColorDialog1 = nullptr;
    vcl::TSavePictureDialog* SavePictureDialog1 = nullptr;
    vcl::TOpenPictureDialog* OpenPictureDialog2 = nullptr;
    vcl::TImage* CloseeyePict_lg = nullptr;
    vcl::TImage* HairNotLong = nullptr;
    vcl::TImage* HairLong = nullptr;
    vcl::TImage* StringPattern = nullptr;
    vcl::TColorDialog* ColorDialog2 = nullptr;
    vcl::TSavePictureDialog* SavePictureDialog2 = nullptr;
    vcl::TImage* HairMain = nullptr;
    vcl::TImage* HairSub = nullptr;
    vcl::TImage* HairBottom = nullptr;
    vcl::TImage* HerimPattern = nullptr;
    vcl::TImage* subworkcanvas = nullptr;
    vcl::TImage* Costume = nullptr;
    vcl::TImage* CrossStringPattern = nullptr;
    vcl::TImage* Ribborn = nullptr;
    vcl::TOpenPictureDialog* OpenPictureDialog3 = nullptr;
    vcl::TImage* WStringPattern = nullptr;
    vcl::TImage* mainsave = nullptr;
    vcl::TImage* HairBand = nullptr;
    vcl::TOpenPictureDialog* OpenPictureDialog4 = nullptr;
    vcl::TImage* scenebuff = nullptr;
    vcl::TImage* FlowerPict = nullptr;
    vcl::TOpenPictureDialog* OpenPictureDialog5 = nullptr;
    vcl::TImage* CloseEye_disp = nullptr;
    vcl::TTimer* Timer2 = nullptr;
    vcl::TImage* EyeSave = nullptr;
    vcl::TImage* Choker = nullptr;
    vcl::TOpenPictureDialog* OpenPictureDialog6 = nullptr;
    vcl::TImage* Hair_LongLeft = nullptr;
    vcl::TImage* CloseEye_disp_Left = nullptr;
    vcl::TImage* EyeSave_Left = nullptr;
    vcl::TImage* ThickStringPattern = nullptr;
    vcl::TImage* Camisole = nullptr;
    vcl::TOpenPictureDialog* OpenPictureDialog7 = nullptr;
    vcl::TImage* Background = nullptr;
    vcl::TImage* Streaming = nullptr;
    vcl::TImage* StarList = nullptr;
    vcl::TImage* DispTargetsScreen = nullptr;
    vcl::TImage* CloseEye_disp_stretch = nullptr;
    vcl::TImage* EarringFrameList = nullptr;
    vcl::TImage* eyework = nullptr;
    vcl::TImage* HairSide = nullptr;
    vcl::TImage* logo = nullptr;
    // Not in the window description: the part authors' reload (--watch).
    vcl::TTimer* WatchTimer = nullptr;

    // ---- shell/: start-up and close -----------------------------------------
    void FormCreate(vcl::TObject* Sender);
    // How long each step of the last FormCreate took, in the order they ran.
    struct StartupStep {
        const char* name;
        double microseconds;
    };
    std::vector<StartupStep> StartupSteps;
    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);

    // ---- assets/: picture files, mask routines, part files ------------------
    void MakeWhiteMaskFromImage(vcl::TBitmap* dest, vcl::TImage* source, vcl::TRect destRect, vcl::TRect sourceRect);
    void MakeWhiteMaskFromBitmap(vcl::TBitmap* dest, vcl::TBitmap* source, vcl::TRect destRect, vcl::TRect sourceRect);
    void MakeWhiteMask24(vcl::TBitmap* dest, vcl::TBitmap* source, vcl::TRect destRect, vcl::TRect sourceRect);
    void DrawWhiteMask(vcl::TImage* dest, vcl::TImage* source, vcl::TRect destRect, vcl::TRect sourceRect);
    void CopyKeyedToWhite(vcl::TBitmap* mask, vcl::TImage* dest, vcl::TBitmap* source, vcl::TRect rect, uint8_t keyBlue,
                          uint8_t keyGreen, uint8_t keyRed);
    // Writes the names matching `pattern` (current directory) into `buffer`
    // (kBrowserNamesSize bytes), each followed by a zero byte, plus a final zero.
    bool FindPartFiles(const char* pattern, char* buffer);
    // The part kinds, numbered as the browser's BrowserKind.
    using PortraitState::PartKind;
    using enum PortraitState::PartKind;
    // Puts a part file's picture into the part of the main or the left figure
    // and builds its mask: the part keeps its cell size, cleared to white, with
    // the picture in its top-left corner (cropped when larger). A picture with
    // alpha is laid over white (a costume keeps its alpha in CostumePicture
    // for a save; `loaded` of any other kind is laid over white in place).
    void PlacePartPicture(PartKind kind, bool left, vcl::TBitmap& loaded);
    // What wearing a part file changes besides its picture, for the figure
    // it goes to; `path` is the file's.
    void WearPart(PartKind kind, Figure figure, const std::string& path);
    // The size of a part kind's cell: what a part file of that kind fills.
    PictureSize PartCellSize(PartKind kind) const;
    // --watch: every look of WatchTimer (250 ms) compares the files the main
    // and the left figure's parts were worn from with what was read; a file
    // that changed, and has stayed the same for one look, is read again into
    // every part worn from it and the portrait is redrawn. A file that can no
    // longer be used keeps the old picture and is reported once; a file that
    // is gone is waited for. Nothing is read while a command, the browser or
    // a view other than the portrait and the show holds the pictures.
    void WatchTimerTimer(vcl::TObject* Sender);
    // Draws a figure's costume cell (white outside the picture, cropped
    // beyond it) from the costume as its file holds it, and the cell's mask
    // from the cell: each costume is cut by its own outline.
    void RedrawCostume(Figure figure);

    // ---- compose/: tick, composer, body frames, blink, night sky -------------
    void Timer1Timer(vcl::TObject* Sender);
    void PortraitTick();
    void GrayTick();
    void QuadTick();
    void CloseUpTick();
    void ShowBodyFrame(int phase);
    // The two halves at their places: the head at the top, the body below.
    void PlaceHalves();
    void PlaceLowerHalf();
    // The composed upper picture and the first body frame on screen.
    void ShowComposedPicture();
    void StepBackCounters();
    void ComposePortrait();
    void ComposePortraitLayers();
    void DrawBackgroundAndHair(int scene);
    void DrawFace(int cell);
    void DrawHeadLayers();
    void DrawEarring(int cell);
    void DrawEarringFrame(int cell);
    void BlinkStep(int cycleTick);
    void Timer2Timer(vcl::TObject* Sender);
    void HideBlinkOverlays();
    void DrawBodyFrames(int scene);
    void DrawBracelet(int cell);
    void DrawFlowerOnBody();
    void StarTwinkleStep();
    void ShootingStarStep();
    void WipeShootingStarTrace();
    // How many of the coming Timer1 ticks may run before one changes a pixel
    // or anything but the counters the ticks advance themselves: n means the
    // next n - 1 ticks only count (1: the next tick may draw). Changes nothing.
    int TicksUntilChange() const;
    // The same for each view's tick, the counter within its cycle and the
    // window's halves at their places.
    int TicksUntilCloseUpChange() const;
    int TicksUntilShowChange() const;
    int TicksUntilGrayChange() const;
    int TicksUntilPortraitChange() const;
    int TicksUntilQuadChange() const;
    // Composer and blink helpers.
    void MaskedCopy(vcl::TCanvas* target, const vcl::TRect& dest, vcl::TCanvas* mask, const vcl::TRect& maskRect,
                    vcl::TCanvas* picture, const vcl::TRect& pictureRect);
    void DrawStringPatterns();
    void DrawStringPattern(vcl::TImage* pattern, const vcl::TRect& dest, const vcl::TRect& source, int cellHeight);
    void GrayBlinkStep(int cycleTick);
    void QuadBlinkStep(int cycleTick);
    void CloseUpBlinkStep(int cycleTick);
    void PaintClosedEyes();
    void SaveComposedEyes();
    void CloseEyesInComposition();
    void SetUpNightBackground();
    void MakeSkyKey();
    // The scene's background over whole 800 x 300 pictures: for scene 0 the
    // upper or lower half of the strawberry picture (they alternate from
    // round to round), for scenes 1 to 10 a sky tile blown up to the whole
    // picture. Any other number leaves the pictures as they are.
    void DrawSceneBackground(int scene, vcl::TImage* strawberries, std::span<const OwnedBitmap> pictures);
    // The sky tile in scenebuff blown up to 800 x 300; the upper picture and
    // the body frames of one round share one stretch. Null when the tile is not
    // a 24-bit picture (then each picture stretches it itself).
    vcl::TBitmap* StretchedSkyTile();
    // Shows or hides one overlay when `tick` is one of its switching ticks; at
    // every other tick its visibility is left alone.
    static void ScheduleOverlay(vcl::TImage* overlay, int tick, const timetable::Blink& blink);

    // ---- commands/: key commands, colour edits, saving ----------------------
    void FormKeyPress(vcl::TObject* Sender, char& Key);
    // One row of the key command table, inside the command's transaction:
    // nothing when a guard holds, else the action and its closing steps.
    void RunKeyCommand(const KeyCommandRow& row);
    bool KeyCommandAllowed(const KeyCommandRow& row) const;
    void CloseOrQuit(uint16_t key);
    // The window keys (kWindowKeys).
    void ToggleMousePointer();
    void MinimiseWindow();
    void CloseUpKeyPress(unsigned char key);
    void SwapCloseUpEyes();
    // The key commands' actions and their exceptional guards (rows of
    // commands/KeyCommandTable.h). An action returns whether it went through.
    bool ShowHasLeftFigure() const;
    bool SceneCellOnScreen() const;
    // An action acts on the figure of its row (a row the table has for each
    // figure that the command serves).
    bool CloseOrOpenEyes(const KeyCommandRow& row);
    bool ToggleFaceAuto(const KeyCommandRow& row);
    bool ToggleEarringAuto(const KeyCommandRow& row);
    bool NextEarringFrame(const KeyCommandRow& row);
    bool ToggleBraceletAuto(const KeyCommandRow& row);
    bool ToggleBracelet(const KeyCommandRow& row);
    bool ToggleLongHair(const KeyCommandRow& row);
    bool ToggleHairHidden(const KeyCommandRow& row);
    bool ToggleShaggy(const KeyCommandRow& row);
    bool TogglePank(const KeyCommandRow& row);
    bool ToggleOtohime(const KeyCommandRow& row);
    bool NextStringPattern(const KeyCommandRow& row);
    bool ToggleCamisole(const KeyCommandRow& row);
    bool ToggleRibbon(const KeyCommandRow& row);
    bool ToggleHairband(const KeyCommandRow& row);
    bool NextFlowerPlace(const KeyCommandRow& row);
    bool ToggleChoker(const KeyCommandRow& row);
    bool LoadPartFile(const KeyCommandRow& row);
    bool ExchangeFigure(const KeyCommandRow& row);
    bool SwitchShow(const KeyCommandRow& row);
    bool ExchangeShowFigures(const KeyCommandRow& row);
    bool ReadyNextScene(const KeyCommandRow& row);
    bool LoadSceneListFile(const KeyCommandRow& row);
    // Return whether a file was written.
    bool SaveSceneList(const KeyCommandRow& row);
    bool SaveCostume(const KeyCommandRow& row);
    bool RecolourSceneCell(const KeyCommandRow& row);
    bool RecolourHem(const KeyCommandRow& row);
    bool RecolourHemOf(Figure figure);
    // The colour edits without their dialogs: the hem of a figure's costume
    // (its picture, cell and mask), one cell (0 to 6) of the scene list.
    void PaintHem(Figure figure, vcl::TColor colour);
    void PaintSceneCell(int row, vcl::TColor colour);

    // ---- commands/Looks.cpp: the look a user keeps and shares -----------------
    // Ctrl+S and Ctrl+O, inside a key command's transaction; false for any
    // other key.
    bool LookKeyPress(unsigned char key);
    // Ctrl+C: the window's picture onto the clipboard.
    void CopyWindowPicture();
    // Everything the user chose, file names as a look in `folder` names them.
    look::Look CurrentLook(const std::string& folder);
    // Writes the current look; returns false (after a message) when it could not.
    bool SaveLookFile(const std::string& path);
    // Reads and wears a look file. A file that is not a look changes nothing
    // and is reported; a part file it names that cannot be read is reported
    // and that part stays as it was. Returns whether the look was worn.
    bool OpenLookFile(const std::string& path);
    // Wears a checked look: one redraw. Names the part files that could not
    // be read in `refused`.
    void WearLook(const look::Look& look, std::vector<std::string>& refused);
    void WearLookParts(const look::Look& look, bool leftIsNew, std::vector<std::string>& refused);
    void WearLookSceneList(const look::Look& look, std::vector<std::string>& refused);
    void WearLookSelections(const look::Look& look);
    void WearLookView(const look::Look& look);
    void WearLookCells(const look::Look& look);
    look::Limits LookLimits() const;
    // ---- show/ShowFigures.cpp: the selection sets and the show's figures ---
    // Views of the three selection sets (main, show's left figure, backup).
    SelectionRef MainSet();
    SelectionRef LeftSet();
    SelectionRef SavedSet();
    void CopyMainToLeft();
    SelectionRef SetRef(SelectionSet set);
    // Members, then pictures, of set `from` into set `to`.
    void CopySet(SelectionSet from, SelectionSet to);
    void SaveMainSet();
    void TakeLeftSet();
    void RestoreMainSet();
    void RestoreLeftSet();
    void StartShow();
    void TakeLeftFigureOut();
    void LeaveShowForPortrait();
    void ReturnToShow();
    void RefreshClosedEyes();
    void RefreshLeftClosedEyes();
    void RefreshRightClosedEyes();
    void LayoutLeftFigure();
    void LayoutRightFigure();
    bool ClipLeftPart(int width, int left);
    bool ClipRightPart(int width, int left);
    // The rectangles, flags and clip routine of one show figure.
    struct FigureColumns {
        bool (TSvelmia::*Clip)(int width, int left);
        std::array<vcl::TRect, kPlacementCount>& Dest;
        std::array<vcl::TRect, kPlacementCount>& Src;
        std::array<vcl::TRect, kPlacementCount>& Mask;
        vcl::TRect& ChokerLowerDest;
        vcl::TRect& ChokerLowerSrc;
        vcl::TRect& ChokerLowerMask;
        const int* Flagged; // the entry of each OutsidePart, whose "outside" goes into Out
        bool* Out;
        int32_t& FaceWidth;
    };
    void LayoutFigureParts(const FigureColumns& figure);

    // ---- commands/NamedKeys.cpp: the special keys --------------------------
    void FormKeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);
    // The special keys' actions and states (rows of commands/NamedKeyTable.h).
    bool NamedKeyActs(KeyState when) const;
    void TurnBrowserPageKey(uint16_t key);
    void ShowTitleBanner(uint16_t key);
    void TogglePriority(uint16_t key);
    void EnterOrZoomCloseUp(uint16_t key);
    void ZoomCloseUpKey(uint16_t key);
    void LeaveOrReenterCloseUp(uint16_t key);
    void RememberedPlace(uint16_t key);
    void ResetOrSwitch(uint16_t key);
    void MoveFigures(uint16_t key);
    void SpaceShowFigures(uint16_t key);
    void PanPortrait(uint16_t key);
    void OpenPartBrowser(uint16_t key);
    // The show's figures laid out again for new spacing.
    void LayoutShowFigures();

    // ---- pointer/: mouse and wheel, the part browser ------------------------
    void FormMouseDown(vcl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
    void FormClick(vcl::TObject* Sender);
    void FormDblClick(vcl::TObject* Sender);
    void FormMouseWheelUp(vcl::TObject* Sender, vcl::TShiftState Shift, vcl::TPoint MousePos, bool& Handled);
    void FormMouseWheelDown(vcl::TObject* Sender, vcl::TShiftState Shift, vcl::TPoint MousePos, bool& Handled);
    vcl::TPoint ClientCursor();
    bool TouchInShow(int x, bool inTouchBand);
    void TouchInPortrait();
    void RightPress(bool shift);
    void ShowWholePicture(vcl::TCanvas* picture);
    void EnterGrayView();
    void ShowPartBrowser();
    void DispTargetsScreenDblClick(vcl::TObject* Sender);
    void WearChosenPart();
    void DispTargetsScreenMouseDown(vcl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X,
                                    int Y);
    // The name at `index` in BrowserNames; false when that name is empty.
    bool NameAt(int index, std::string& name);
    // Pages of the browser: the cells one screen shows, the pages the listed
    // files fill, drawing the page BrowserPage, and turning by `step` pages
    // (nothing beyond the first or the last).
    int BrowserPageSize() const;
    int BrowserPageCount() const;
    // The thumbnail columns of a page, and where the cell of `slot` (from
    // the page's first, left to right in rows from the top) lies on it.
    int BrowserColumns() const;
    vcl::TRect CellRect(int slot) const;
    void DrawBrowserPage();
    void TurnBrowserPage(int step);
    void CloseBrowser();

    // ---- views/: the close-up and the pan -----------------------------------
    void TakeCloseUpSnapshot();
    void DrawCloseUp();
    void StretchCloseUpEyes(int topShift);
    // One step of the close-up's magnification, in (+1) or out (-1); it may
    // when the step stays within 140 to 200 %.
    bool CloseUpCanZoom(int direction) const;
    void ZoomCloseUp(int direction);
    void SwapCloseUpCaptures();
    void LeaveCloseUp();
    void EndUnmagnifiedHold(bool restored);
    void ReenterCloseUp();
    // Clips a layer of `width` whose left edge at pan 0 is `left`; true when it
    // lies wholly outside the window.
    bool ClipSpan(int left, int width, int& destLeft, int& destRight, int& sourceLeft, int& sourceRight);
    void ApplyPan();
    bool PanEntry(int entry, std::initializer_list<vcl::TRect*> dests, std::initializer_list<vcl::TRect*> sources);
    void PanFigureAndHair();
    void PanWornParts();

    // ---- views/: the views ---------------------------------------------------
    enum class ViewMode { Portrait, Show, Gray, Quad, CloseUp };
    // Turns on the mode of `view` and off the other four.
    void EnterView(ViewMode view);
    void EnterPortraitView() { EnterView(ViewMode::Portrait); }
    void EnterShowView() { EnterView(ViewMode::Show); }
    void EnterQuadView() { EnterView(ViewMode::Quad); }
    // The close-up remembers whether it was entered from the portrait or the
    // show, and goes back there.
    void EnterCloseUpView();
    void ReturnFromCloseUpView();

    // Timer1 is off while a pause lives. Pauses nest (a tick or a handler
    // pauses, the composition it runs pauses too): Timer1 is on again when
    // the outermost one ends, on every way out of a handler, unless one of
    // them was told to keep it stopped (the part browser turns it on again
    // when it closes).
    class Timer1Pause {
    public:
        explicit Timer1Pause(TSvelmia& form);
        ~Timer1Pause();
        Timer1Pause(const Timer1Pause&) = delete;
        Timer1Pause& operator=(const Timer1Pause&) = delete;
        void KeepStopped() { form_.timer1KeptStopped_ = true; }

    private:
        TSvelmia& form_;
    };

    // Input is held (Busy) while a hold lives; when it ends, Busy is what it
    // was before. The lasting holds (the start-up until the first tick, a
    // quit, the part browser, the unmagnified capture) set Busy themselves.
    class BusyHold {
    public:
        explicit BusyHold(TSvelmia& form) : busy_(form.Busy), was_(form.Busy) { busy_ = true; }
        ~BusyHold() { busy_ = was_; }
        BusyHold(const BusyHold&) = delete;
        BusyHold& operator=(const BusyHold&) = delete;

    private:
        bool& busy_;
        const bool was_;
    };

    // ---- show/: the scene show ----------------------------------------------
    void ShowTick();
    void ShowSceneFrame(int phase);
    void ShowBlink(int cycleTick);
    void ComposeShowUpper(int scene);
    // The frames a figure of the show is drawn into, with the body band of each.
    using FrameBandList = std::vector<std::pair<int, int>>;
    void DrawShowFigureUpper(const showcompose::DrawnFigure& f);
    void DrawShowFace(const showcompose::DrawnFigure& f);
    void ShowMaskedCopy(const vcl::TRect& dest, vcl::TCanvas* mask, const vcl::TRect& maskRect, vcl::TCanvas* picture,
                        const vcl::TRect& pictureRect);
    void ShowLayer(const showcompose::DrawnFigure& f, int e, vcl::TCanvas* mask, vcl::TCanvas* picture);
    void DrawShowFigureLower(const showcompose::DrawnFigure& f, const FrameBandList& frames);
    void DrawShowBody(const showcompose::DrawnFigure& f, const FrameBandList& frames);
    void DrawShowWornOnBody(const showcompose::DrawnFigure& f, const FrameBandList& frames);
    template <class RectsOf>
    void LayerIntoFrames(const FrameBandList& frames, vcl::TCanvas* mask, vcl::TCanvas* picture, RectsOf rects);
    void TintPatternIntoFrames(const showcompose::DrawnFigure& f, const FrameBandList& frames, int e,
                               vcl::TImage* picture, int cellHeight, vcl::TColor colour);
    void ComposeShowLower(int scene);
    void SetFramesCopyMode(bool erase);

    // Asks the next portrait or show tick to end the cycle and recompose.
    void RequestRedraw();
    bool RedrawPending() const { return CycleCounter == layout::kLastCycleTick; }
    // Every new input starts here (a key going down, a button pressed or
    // released, a double-click, a wheel notch). A redraw asked for by earlier
    // input that no tick has drawn yet counts as drawn: the counters move on
    // as that composition moves them, and the tick draws it as it would have.
    // So input that comes faster than the ticks ends where the same input one
    // per tick ends.
    void SettleAskedRedraw();
    // Draws a redraw asked for and not drawn yet at once, as its tick would:
    // for what copies the window, and before a view that draws none.
    void DrawAskedRedraw();
    // The close-up's keys and the wheel act not while the unmagnified capture
    // holds input, nor in the show, nor while a touch opened the eyes; the
    // zoom only in the close-up.
    bool CloseUpKeysAllowed() const { return !Busy && !ShowMode && !TouchOpened; }
    bool CloseUpZoomAllowed() const { return CloseUpMode && CloseUpKeysAllowed(); }

    // Read access for tests and tools; the program itself uses the names directly.
    const PortraitState& State() const { return *this; }
    PortraitState& MutableState() { return *this; }

private:
    // Start-up helpers (shell/, assets/).
    void PlaceWindow();
    void FillBlackWhitePalette();
    // The steps of FormCreate, in their order.
    void SetUpHalves();
    void CreateWorkPictures();
    void LoadRequiredPictures();
    void BuildBaseFigureAndBody();
    void CopySmallClosedEyes();
    void LoadStripsAndTheirMasks();
    void CreateLayerMasks();
    void LoadEarringFrames();
    void CreateCloseUpPictures();
    void LoadHairStyles();
    void CreateColourWorkPictures();
    void ComposeFirstPicture();
    void ShowAndRun();
    void WatchWornFiles();
    // A new 8-bit bitmap with the black-and-white palette.
    OwnedBitmap NewMaskBitmap(int width, int height);
    // A new mask of `area` of the image's picture (an area from its top-left
    // corner): white where the picture is white, black elsewhere.
    OwnedBitmap NewImageMask(vcl::TImage* image, const vcl::TRect& area);
    // Required pictures: throw a report naming the file, the folder and the reason.
    // A picture that gets a mask is made 24-bit when its file has a palette
    // (the mask routines read colour bytes); the others keep the file's format.
    // Given a size, the picture takes it as a part file takes its cell: white
    // where the file is smaller, cut off where it is larger. Without one it
    // keeps the file's size.
    void LoadRequiredPicture(vcl::TImage* image, const char* fileName, bool maskable = true);
    void LoadRequiredPicture(vcl::TImage* image, const char* fileName, PictureSize size, bool maskable = true);
    // A file with alpha is laid over white, unless the alpha is to be kept.
    enum class Alpha { LaidOverWhite, Kept };
    void LoadRequiredBitmap(vcl::TBitmap& bitmap, const char* fileName, bool maskable = true,
                            Alpha alpha = Alpha::LaidOverWhite);
    void LoadStrip(vcl::TImage* strip, const char* fileName, int height, int pictureTop);
    void LoadFaceLists();
    // Optional pictures: return whether everything succeeded.
    bool LoadOptionalPicture(vcl::TImage* image, const char* fileName, PictureSize size);
    bool LoadAlternativeHair(const char* fileName, vcl::TBitmap* picture, vcl::TBitmap* mask, vcl::TBitmap* eyePicture,
                             vcl::TBitmap* eyeMask);
    void LoadNightSky();

    // The counters a composition moves on, and the moves of the portrait's
    // and the show's compositions (compose/Tick.cpp, show/). The rewinds
    // step counters back, so that the cycle end brings back the same scene
    // and cells (compose/Tick.cpp).
    void RewindMainCounters();
    void StepSceneBack();
    void RewindAutoCells(const SelectionRef& set, bool earring, bool face, bool bracelet);
    AutoCounters Counters() const;
    void SetCounters(const AutoCounters& counters);
    void AdvancePortraitCounters();
    void AdvanceShowCounters();
    void ComposeShow();
    // Runs `compose` at a cycle end, with the counters a settled redraw owes.
    void ComposeAtCycleEnd(void (TSvelmia::*compose)());
    void ForgetAskedRedraw();

    // Files the program read or wrote, as they were then (commands/Saving.cpp).
    void RememberFile(const std::string& path);
    // Whether a save to `path` would replace what someone else wrote there
    // since the program last read or wrote it.
    bool ChangedSinceKnown(const std::string& path) const;
    bool SaveFile(vcl::TSavePictureDialog* dialog, const std::string& proposal, const vcl::TBitmap& picture);

    // Key command helpers (commands/KeyCommands.cpp).
    // The selection set of a figure: the main one or the show's left one.
    SelectionRef FigureSet(Figure figure);
    void SwapGrayEyes();
    void RefreshFigureEyes(Figure figure);
    void ToggleFigureHairStyle(Figure figure, bool& style);
    vcl::TOpenPictureDialog* PartDialog(PartKind kind) const;

    // ---- assets/PartWatch.cpp: the files the parts were worn from ----------
    // A file as last seen: whether it exists, and what changes when it is
    // written or replaced (a file put in its place by another program has
    // another identity).
    struct FileStamp {
        bool exists = false;
        int64_t modified = 0; // nanoseconds
        int64_t size = 0;
        uint64_t inode = 0;
        uint64_t device = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp StampOf(const std::string& path);
    // The file a part of one set was worn from, and its stamp when read; they
    // travel with the set's pictures through the set copies.
    struct WornFile {
        std::string path;
        FileStamp read;
    };
    static constexpr int kWornKinds = 6; // PartKind kPartCostume .. kPartChoker
    using WornFileRow = std::array<WornFile, kWornKinds>;
    std::array<WornFileRow, 3> wornFiles_{}; // by SelectionSet
    // Each watched file's stamp at the last look, and the stamp of a version
    // already reported as unusable.
    struct WatchedFile {
        FileStamp seen;
        FileStamp refused;
    };
    std::vector<std::pair<std::string, WatchedFile>> watched_;
    bool watchPartFiles_ = false;
    // The Timer1 pauses that live now, and whether one was told to keep
    // Timer1 stopped past the outermost.
    int timer1Pauses_ = 0;
    bool timer1KeptStopped_ = false;
    void RememberWornFile(PartKind kind, Figure figure, const std::string& path);
    // Reads `path` again into the parts of the main and the left figure worn
    // from it; false when it was reported as unusable.
    bool ReloadWornFile(const std::string& path, const FileStamp& now, WatchedFile& watched);

    // Timers and dialogs (the image controls belong to TForm).
    std::vector<std::unique_ptr<vcl::TObject>> owned_;
    // The last stretched sky tile and the tile's bytes (StretchedSkyTile).
    std::unique_ptr<vcl::TBitmap> stretchedSky_;
    std::vector<uint8_t> stretchedSkyTile_;
    // By absolute path: each file as it was when the program last read or
    // wrote it.
    std::map<std::string, FileStamp> knownFiles_;
};

extern TSvelmia* Svelmia;
