// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The portrait's state: every program-wide variable with its initial value,
// the layout geometry of the portrait and of the two show figures, and the
// form's private off-screen pictures (FormPictures).
//
// TSvelmia derives from this struct privately, so the form's methods use the
// names unqualified and every new form starts from the initial values below.
// Nothing here has behaviour of its own.
#pragma once

#include "shell/Layout.h"
#include "toolkit/Graphics.h"
#include "toolkit/Types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// What a full composition draws with and then moves on: the scene, the half
// of the strawberry scene, whether a composition has run, and the automatic
// cells of both figures.
struct AutoCounters {
    int32_t SceneIndex = 0;
    bool AlternatePhase = false;
    bool PortraitComposed = false;
    int32_t FaceIndex = 0;
    int32_t EarringIndex = 0;
    int32_t BraceletIndex = 0;
    bool BraceletAuto = false;
    int32_t LeftFaceIndex = 0;
    int32_t LeftEarringIndex = 0;
    int32_t LeftBraceletIndex = 0;
    friend bool operator==(const AutoCounters&, const AutoCounters&) = default;
};

// The form's private off-screen pictures. Start-up creates them (the part
// browser creates PartBitmap while it reads a file); a null pointer means
// "does not exist", as it does for a picture whose optional file did not
// load. FormClose frees them all at once by resetting this struct.
using OwnedBitmap = std::unique_ptr<vcl::TBitmap>;

// Where the scene show stands: no left figure yet (q gives it one), left for
// the portrait (w, a right press or a double-click bring it back), or running.
enum class ShowStage : int32_t { NoLeftFigure = 0, LeftForPortrait = 1, Running = 2 };

struct FormPictures {
    OwnedBitmap FrameBmp[7];
    OwnedBitmap UpperBmp;
    OwnedBitmap ZoomBmp;
    OwnedBitmap SubPictListMask;
    OwnedBitmap HairMainMask;
    OwnedBitmap HairSubMask;
    OwnedBitmap HairLongMask;
    OwnedBitmap HairNotLongMask;
    OwnedBitmap HairSideMask;
    // The masks of the three sets' costume cells, each built from its own
    // cell whenever the cell is drawn (main, left figure, saved set).
    OwnedBitmap CostumeMask;
    OwnedBitmap CostumeWorkMask;
    OwnedBitmap CostumeTempMask;
    OwnedBitmap CamisoleMask;
    // The earring and frame lists' masks hold every cell, row for row with
    // the lists; BraceletMask does so for the bracelet strip (its rows from
    // the first picture cell on).
    OwnedBitmap EarringListMask;
    OwnedBitmap BraceletMask;
    OwnedBitmap HairBandMask;
    OwnedBitmap RibbonMask;
    OwnedBitmap EarringFrameMask;
    OwnedBitmap BackgroundMask;
    OwnedBitmap StreamingMask;
    OwnedBitmap StarListMask;
    OwnedBitmap StarCell;
    OwnedBitmap ShaggyBmp;
    OwnedBitmap ShaggyMask;
    OwnedBitmap ShaggyEyeBmp;
    OwnedBitmap ShaggyEyeMask;
    OwnedBitmap PankBmp;
    OwnedBitmap PankMask;
    OwnedBitmap PankEyeBmp;
    OwnedBitmap PankEyeMask;
    OwnedBitmap OtohimeBmp;
    OwnedBitmap OtohimeMask;
    OwnedBitmap FaceList;
    OwnedBitmap FaceListLarge;
    OwnedBitmap FaceWorkA;
    OwnedBitmap FaceWorkB;
    OwnedBitmap FaceWorkC;
    OwnedBitmap CostumeWork;
    OwnedBitmap CamisoleWork;
    OwnedBitmap ChokerWork;
    OwnedBitmap FlowerWork;
    OwnedBitmap HairBandWork;
    OwnedBitmap RibbonWork;
    OwnedBitmap CamisoleWorkMask;
    OwnedBitmap HairBandWorkMask;
    OwnedBitmap RibbonWorkMask;
    OwnedBitmap SceneKeyMask;
    OwnedBitmap CostumeTemp;
    // Each set's costume as its file holds it (size, depth, palette): what
    // the hem keys recolour and a save writes. Costume, CostumeWork and
    // CostumeTemp are its 530 x 300 cells, which the composition reads.
    OwnedBitmap CostumePicture;
    OwnedBitmap LeftCostumePicture;
    OwnedBitmap SavedCostumePicture;
    OwnedBitmap CamisoleTempA;
    OwnedBitmap CamisoleTempB;
    OwnedBitmap ChokerTemp;
    OwnedBitmap FlowerTemp;
    OwnedBitmap HairBandTempA;
    OwnedBitmap HairBandTempB;
    OwnedBitmap RibbonTempA;
    OwnedBitmap RibbonTempB;
    OwnedBitmap WideBufA;
    OwnedBitmap WideBufB;
    OwnedBitmap FullBuf;
    OwnedBitmap EyeBuf;
    // Where the closed lids and the pank or shaggy fringe are put together
    // before they go on screen (kept apart from the night sky's cut-out).
    OwnedBitmap ClosedEyeWork;
    OwnedBitmap PartBitmap;
};

struct PortraitState : FormPictures {
    // The kinds of part a file can give, numbered as they always were.
    enum PartKind : int32_t { kPartCostume = 2, kPartCamisole, kPartHairBand, kPartFlower, kPartRibbon, kPartChoker };
    static constexpr int kWornKinds = 6; // costume, camisole, hairband, flower, ribbon, choker
    // ---- Window and start-up ------------------------------------------------
    int32_t ScreenHeight = 0;
    int32_t ScreenWidth = 0;
    int32_t CaptionOffset = 0;
    int16_t SavedCursor = 0;
    bool CursorVisible = true;
    vcl::TLogPalette BlackWhitePalette{0x300, 2, {{0, 0, 0, 0}, {255, 255, 255, 0}}}; // start-up fills it again
    bool AlternatePhase = true;
    bool Busy = true;
    bool QuitRequested = false;
    int32_t LastRightClickTick = INT32_MIN; // far from any real tick: a single right press never quits
    bool LowPriority = false;
    bool ShiftDown = false;
    bool CtrlDown = false;

    // ---- Display modes and tick ---------------------------------------------
    bool PortraitMode = true;
    bool QuadMode = false;
    bool GrayMode = false;
    bool ShowMode = false;
    bool CloseUpMode = false;
    int32_t TickCount = 0;
    int32_t CycleCounter = 0;
    int32_t BodyPhase = 0;
    int32_t RoundCounter = 0;
    int32_t RoundsPerCompose = 1;
    bool PortraitComposed = false;
    int32_t CurrentScene = 0;
    int32_t SceneIndex = 0;
    // A redraw input asked for (RequestRedraw) that no tick has drawn yet.
    bool RedrawAsked = false;
    // More input came before that tick: the counters have moved on as the
    // asked-for composition moves them, and the tick draws OwedCounters.
    bool RedrawSettled = false;
    AutoCounters OwedCounters{};

    // ---- Selection set of the main figure -----------------------------------
    int32_t FaceIndex = 0;
    bool FaceAuto = false;
    int32_t EarringIndex = 0;
    bool EarringAuto = false;
    int32_t EarringFrameIndex = 0;
    int32_t BraceletIndex = 0;
    bool BraceletAuto = false;
    bool BraceletShown = true;
    bool LongHair = false;
    int32_t MainHairHidden = 0;
    bool ShaggyHair = false;
    bool PankHair = false;
    bool OtohimeHair = false;
    int32_t StringPatternIndex = 0;
    bool StringPatternOn = true;
    bool ThickStringOn = false;
    bool WStringOn = false;
    bool CrossStringOn = false;
    bool CamisoleShown = false;
    bool RibbonShown = true;
    bool HairBandShown = true;
    bool FlowerShown = false;
    int32_t FlowerAlt = 0;
    bool ChokerShown = false;

    // ---- Selection set of the show's left figure (starts as the main set) ---
    int32_t LeftFaceIndex = 0;
    bool LeftFaceAuto = false;
    int32_t LeftEarringIndex = 0;
    bool LeftEarringAuto = false;
    int32_t LeftEarringFrameIndex = 0;
    int32_t LeftBraceletIndex = 0;
    bool LeftBraceletAuto = false;
    bool LeftBraceletShown = true;
    bool LeftLongHair = false;
    int32_t LeftMainHairHidden = 0;
    bool LeftShaggyHair = false;
    bool LeftPankHair = false;
    bool LeftOtohimeHair = false;
    int32_t LeftStringPatternIndex = 0;
    bool LeftStringPatternOn = true;
    bool LeftThickStringOn = false;
    bool LeftWStringOn = false;
    bool LeftCrossStringOn = false;
    bool LeftCamisoleShown = false;
    bool LeftRibbonShown = true;
    bool LeftHairBandShown = true;
    bool LeftFlowerShown = false;
    int32_t LeftFlowerAlt = 0;
    bool LeftChokerShown = false;

    // ---- Saved selection set (written before it is read) --------------------
    int32_t SavedFaceIndex = 0;
    bool SavedFaceAuto = false;
    int32_t SavedEarringIndex = 0;
    bool SavedEarringAuto = false;
    int32_t SavedEarringFrameIndex = 0;
    int32_t SavedBraceletIndex = 0;
    bool SavedBraceletAuto = false;
    bool SavedBraceletShown = true;
    bool SavedLongHair = false;
    int32_t SavedMainHairHidden = 0;
    bool SavedShaggyHair = false;
    bool SavedPankHair = false;
    bool SavedOtohimeHair = false;
    int32_t SavedStringPatternIndex = 0;
    bool SavedStringPatternOn = true;
    bool SavedThickStringOn = false;
    bool SavedWStringOn = false;
    bool SavedCrossStringOn = false;
    bool SavedCamisoleShown = false;
    bool SavedRibbonShown = true;
    bool SavedHairBandShown = true;
    bool SavedFlowerShown = false;
    int32_t SavedFlowerAlt = 0;
    bool SavedChokerShown = false;
    bool SavedEyesClosed = false;
    bool SavedTouchOpened = false;

    // ---- Eyes and blink -----------------------------------------------------
    bool EyesClosed = false;
    bool PeekOpen = true;
    bool TouchOpened = false;
    int32_t ShutCountdown = 0;
    bool LeftEyesClosed = false;
    bool LeftTouchOpened = false;
    bool LeftPeekOpen = true;
    bool TouchLeftFigure = false;
    bool GrayEyesClosed = false;
    bool QuadEyesClosed = false;
    int32_t GrayEyeShift = 51;
    int32_t GrayBlinkTable[5] = {48, 148, 297, 398, 448};
    int32_t LastEyeSwapTick = -1;

    // ---- Pan and layer visibility -------------------------------------------
    int32_t PanX = 0;
    int32_t SavedPanX = 0;
    int32_t EyeBaseLeft = layout::kEyeLeftAtRest;
    int32_t EyeLeft = layout::kEyeLeftAtRest;
    int32_t FaceBaseLeft = 221;
    bool HairLongLeftOut = false;
    bool HairBottomOut = false;
    bool HairBandOut = false;
    bool FlowerOut = false;
    bool FlowerBodyOut = false;
    bool ChokerOut = false;
    bool RibbonOut = false;
    bool BraceletOut = false;
    int32_t EyeVisibleWidth = layout::kEyeWidth;

    // ---- Scene show ---------------------------------------------------------
    int32_t ShowLeftGap = layout::kShowLeftGap;
    int32_t ShowRightBase = layout::kShowRightBase;
    int32_t ShowRightGap = layout::kShowRightGap;
    int32_t ShowSpan = layout::kShowSpan;
    int32_t LeftEyeLeft = layout::kEyeLeftAtRest - layout::kShowLeftGap;
    int32_t RightEyeLeft = layout::kEyeLeftAtRest + layout::kShowRightGap - layout::kShowRightBase;
    int32_t LeftEyeWidth = 0;
    int32_t RightEyeWidth = 0;
    int32_t LeftFaceWidth = 0;
    int32_t RightFaceWidth = 0;
    bool LeftPartOut[kOutsideParts] = {};
    bool RightPartOut[kOutsideParts] = {};
    ShowStage ShowOrigin = ShowStage::NoLeftFigure;
    bool CopyToLeftArmed = true;
    bool MainSwapped = false;

    // ---- Close-up view ------------------------------------------------------
    int32_t ZoomPercent = layout::kZoomMin;
    int32_t ZoomTopTrim = 0;
    bool CloseUpReady = false;
    bool CloseUpHasSecond = false;
    bool CloseUpHalfShown = false;
    bool CloseUpRestored = false;
    bool CloseUpEyesClosed = false;
    bool CaptureEyesClosed = false;
    bool SecondEyesClosed = false;
    bool SecondCaptureEyesClosed = false;
    int32_t CloseUpPanX = 0;
    int32_t SecondPanX = 0;
    int32_t LastCapturePanX = 0;
    int32_t SecondZoomPercent = 0;
    bool KeepPreviousShot = false;
    bool SavedPortraitMode = false;
    bool SavedShowMode = false;
    int32_t ViewWidth = 0;
    int32_t ViewHeight = 0;
    int32_t ViewLeft = 0;
    int32_t ViewRight = 0;
    int32_t CloseUpEyeLeft = 0;
    int32_t ZoomEyeWidth = 0;
    int32_t ZoomEyeBottom = 0;
    vcl::TRect ZoomEyeRect{0, 0, 0, 0};

    // ---- Part browser and part files ----------------------------------------
    static constexpr int kBrowserNamesSize = 16384;
    bool BrowserOpen = false;
    PartKind BrowserKind{}; // none until a browser opens
    const char* BrowserPattern = nullptr;
    int32_t ThumbWidth = 0;
    int32_t ThumbHeight = 0;
    int32_t PartWidth = 0;
    int32_t PartHeight = 0;
    std::unique_ptr<char[]> BrowserNames; // kBrowserNamesSize bytes while the browser is in use
    int32_t BrowserCount = 0;
    int32_t BrowserPage = 0; // the page on screen while the browser is open, from 0
    std::string ChosenPartFile;
    std::string SceneListFileName = "vlm_scene_list.bmp";
    std::string CostumeFileName = "vlm_co";
    // The files the left and the saved set's costumes came from ("vlm_co":
    // none); they move with the costumes between the sets.
    std::string LeftCostumeFileName = "vlm_co";
    std::string SavedCostumeFileName = "vlm_co";
    std::string RibbonFileName = "vlm_ri";
    std::string HairBandFileName = "vlm_hb";
    std::string FlowerFileName = "vlm_fl";
    std::string ChokerFileName = "vlm_ch";
    std::string CamisoleFileName = "vlm_ca";
    // What the sets wear from files, kept for a look: per set (SelectionSet
    // order) and part kind (from kPartCostume on), the file worn, empty for
    // the start-up picture; the hem colour chosen for that costume; the scene
    // list loaded and the colours painted over its cells since.
    std::array<std::array<std::string, kWornKinds>, 3> WornFiles;
    std::array<std::optional<vcl::TColor>, 3> WornHem;
    std::string WornSceneList;
    std::array<std::optional<vcl::TColor>, 7> SceneCellColours;

    // ---- Optional pictures, face list and night sky -------------------------
    bool EarringFramesLoaded = true;
    bool BackgroundLoaded = true;
    bool StreamingLoaded = true;
    bool StarListLoaded = false;
    bool ShaggyMissing = false;
    bool PankMissing = false;
    bool OtohimeMissing = false;
    int32_t FaceListHeight = 0;
    int32_t FaceCellHeight = layout::SourceRows(peFace);
    int32_t FaceCount = 0;
    int32_t StarWidth = layout::kStarWidth;
    int32_t StarHeight = layout::kStarHeight;
    bool StarTwinkleActive = false;
    bool ShootingStarActive = false;
    int32_t StarX = layout::kShootingStarStartX;
    int32_t StarY = layout::kShootingStarStartY;
    int32_t TwinkleDelay = 0;
    int32_t TwinkleCell = 0;
    vcl::TColor SkyColour = 0;
    vcl::TRect BackgroundRect{0, 0, 0, 0};
    vcl::TRect BackgroundRectCopy{0, 0, 0, 0};

    // ---- Size constants -----------------------------------------------------
    int32_t CamisoleWidth = layout::PlacementWidth(peCamisole);
    int32_t CamisoleHeight = layout::kBodyFrames * layout::SourceRows(peCamisole);
    int32_t CamisoleBandHeight = layout::SourceRows(peCamisole);
    int32_t CostumeWidth = layout::PlacementWidth(peCostume);
    int32_t CostumeHeight = layout::kBodyFrames * layout::SourceRows(peCostume);
    int32_t CostumeBandHeight = layout::SourceRows(peCostume);
    int32_t EarringWidth = layout::PlacementWidth(peEarring);
    int32_t EarringCellHeight = layout::SourceRows(peEarring);
    int32_t EarringFrameWidth = layout::PlacementWidth(peEarringFrame);
    int32_t EarringFrameHeight = layout::SourceRows(peEarringFrame);
    int32_t HairBandWidth = layout::PlacementWidth(peHairBand);
    int32_t HairBandHeight = layout::SourceRows(peHairBand);
    int32_t FlowerWidth = layout::PlacementWidth(peFlower);
    int32_t FlowerCellHeight = layout::SourceRows(peFlower);
    int32_t ChokerWidth = layout::PlacementWidth(peChoker);
    int32_t ChokerCellHeight = layout::kChokerCell;
    int32_t RibbonWidth = layout::PlacementWidth(peRibbon);
    int32_t RibbonHeight = layout::SourceRows(peRibbon);
    int32_t BraceletWidth = layout::PlacementWidth(peBracelet);
    int32_t BraceletCellHeight = layout::SourceRows(peBracelet);
    int32_t EyeWidth = layout::kEyeWidth;
    int32_t EyeHeight = layout::kEyeHeight;
    int32_t FaceWidth = layout::PlacementWidth(peFace);
    int32_t SceneTileSize = layout::kSceneTile;
    // Part placement list (width and left edge at pan 0 of every entry).
    std::array<int32_t, kPlacementCount> EntryWidth = layout::kEntryWidth;
    std::array<int32_t, kPlacementCount> EntryLeft = layout::kEntryLeft;

    // ---- Layer rectangles of the portrait (moved and clipped by the pan) ----
    vcl::TRect MainRect = layout::kUpperPicture;   // upper picture, destination and source
    vcl::TRect LowerRect = layout::kLowerOnWindow; // lower picture on the window
    vcl::TRect BandRect[layout::kBodyFrames] = {layout::Band(0), layout::Band(1), layout::Band(2)};
    vcl::TRect SceneCellRect[layout::kSceneCells] = {
        layout::SceneCell(0), layout::SceneCell(1), layout::SceneCell(2), layout::SceneCell(3), layout::SceneCell(4),
        layout::SceneCell(5), layout::SceneCell(6), layout::SceneCell(7), layout::SceneCell(8), layout::SceneCell(9)};
    vcl::TRect SceneTileRect = layout::SceneCell(0);
    vcl::TRect EyeDestRect = layout::kEyePatchAtRest;
    vcl::TRect EyeSrcRect = layout::kEyePatch;
    vcl::TRect FaceDestRect = layout::DestAtRest(peFace);
    vcl::TRect FaceSrcRect = layout::SourceCell(peFace);
    vcl::TRect HairMainDestRect = layout::DestAtRest(peHairMain);
    vcl::TRect HairMainSrcRect = layout::SourceCell(peHairMain);
    vcl::TRect HairSubDestRect = layout::DestAtRest(peHairSub);
    vcl::TRect HairSubSrcRect = layout::SourceCell(peHairSub);
    vcl::TRect HairSideDestRect = layout::DestAtRest(peHairSide);
    vcl::TRect HairSideSrcRect = layout::SourceCell(peHairSide);
    vcl::TRect ShaggyDestRect = layout::DestAtRest(peShaggy);
    vcl::TRect ShaggySrcRect = layout::SourceCell(peShaggy);
    vcl::TRect PankDestRect = layout::DestAtRest(pePank);
    vcl::TRect PankSrcRect = layout::SourceCell(pePank);
    vcl::TRect OtohimeDestRect = layout::DestAtRest(peOtohime);
    vcl::TRect OtohimeSrcRect = layout::SourceCell(peOtohime);
    vcl::TRect HairBottomDestRect = layout::DestAtRest(peHairBottom);
    vcl::TRect HairBottomSrcRect = layout::SourceCell(peHairBottom);
    vcl::TRect HairLongDestRect = layout::DestAtRest(peHairLong);
    vcl::TRect HairLongSrcRect = layout::SourceCell(peHairLong);
    vcl::TRect HairLongLeftDestRect = layout::DestAtRest(peHairLongLeft);
    vcl::TRect HairLongLeftMaskRect = layout::MaskCell(peHairLongLeft);
    vcl::TRect HairLongLeftSrcRect = layout::SourceCell(peHairLongLeft);
    vcl::TRect EarringDestRect = layout::DestAtRest(peEarring);
    vcl::TRect EarringSrcRect = layout::SourceCell(peEarring);
    vcl::TRect EarringFrameDestRect = layout::DestAtRest(peEarringFrame);
    vcl::TRect EarringFrameSrcRect = layout::SourceCell(peEarringFrame);
    vcl::TRect BraceletDestRect = layout::DestAtRest(peBracelet);
    vcl::TRect BraceletMaskRect = layout::MaskCell(peBracelet);
    vcl::TRect BraceletSrcRect = layout::SourceCell(peBracelet);
    vcl::TRect CostumeDestRect = layout::DestAtRest(peCostume);
    vcl::TRect CostumeBandRect[layout::kBodyFrames] = {layout::CellBand(peCostume, 0), layout::CellBand(peCostume, 1),
                                                       layout::CellBand(peCostume, 2)};
    vcl::TRect CamisoleDestRect = layout::DestAtRest(peCamisole);
    vcl::TRect CamisoleBandRect[layout::kBodyFrames] = {
        layout::CellBand(peCamisole, 0), layout::CellBand(peCamisole, 1), layout::CellBand(peCamisole, 2)};
    vcl::TRect StringDestRect = layout::DestAtRest(peString);
    vcl::TRect StringSrcRect = layout::SourceCell(peString);
    vcl::TRect ThickStringDestRect = layout::DestAtRest(peThickString);
    vcl::TRect ThickStringSrcRect = layout::SourceCell(peThickString);
    vcl::TRect WStringDestRect = layout::DestAtRest(peWString);
    vcl::TRect WStringSrcRect = layout::SourceCell(peWString);
    vcl::TRect CrossStringDestRect = layout::DestAtRest(peCrossString);
    vcl::TRect CrossStringSrcRect = layout::SourceCell(peCrossString);
    vcl::TRect RibbonDestRect[4] = {layout::DestAtRest(peRibbon), layout::DestAtRest(peRibbon + 1),
                                    layout::DestAtRest(peRibbon + 2), layout::DestAtRest(peRibbon + 3)};
    vcl::TRect RibbonSrcRect = layout::SourceCell(peRibbon);
    vcl::TRect HairBandDestRect = layout::DestAtRest(peHairBand);
    vcl::TRect HairBandSrcRect = layout::SourceCell(peHairBand);
    // First placement on the upper picture, then the body placements of frames 0, 1, 2.
    vcl::TRect FlowerDestRect[4] = {layout::DestAtRest(peFlower), layout::FlowerOnBody(0), layout::FlowerOnBody(1),
                                    layout::FlowerOnBody(2)};
    vcl::TRect FlowerMaskRect = layout::MaskCell(peFlower);
    vcl::TRect FlowerSrcRect = layout::SourceCell(peFlower);
    vcl::TRect ChokerUpperDestRect = layout::DestAtRest(peChoker);
    vcl::TRect ChokerLowerDestRect =
        layout::RowsOf(layout::DestAtRest(peChoker), layout::kChokerLowerDest.top, layout::kChokerLowerDest.bottom);
    vcl::TRect ChokerMaskRect = layout::RowsOf(layout::MaskCell(peChoker), 0, layout::kChokerCell);
    vcl::TRect ChokerSrcRect =
        layout::RowsOf(layout::SourceCell(peChoker), layout::kChokerCell, 2 * layout::kChokerCell);
    vcl::TRect ChokerUpperMaskRect = layout::MaskCell(peChoker);
    vcl::TRect ChokerLowerMaskRect =
        layout::RowsOf(layout::MaskCell(peChoker), layout::kChokerLowerMask.top, layout::kChokerLowerMask.bottom);
    vcl::TRect ChokerUpperSrcRect = layout::SourceCell(peChoker);
    vcl::TRect ChokerLowerSrcRect =
        layout::RowsOf(layout::SourceCell(peChoker), layout::kChokerLowerSource.top, layout::kChokerLowerSource.bottom);
    vcl::TRect StreamingRect = layout::kShootingStar;
    vcl::TRect StarCellRect = layout::kStarCell;
    vcl::TRect StarListRect = layout::kStarCell; // start-up sets its bottom to the whole list

    // ---- Rectangles of the two show figures ---------------------------------
    // Per placement entry: destination, picture source and mask source; the
    // layout fills Left and Right, the rows are fixed.
    std::array<vcl::TRect, kPlacementCount> LeftDestRect = layout::RowsOnly(&layout::Placement::dest);
    std::array<vcl::TRect, kPlacementCount> LeftSrcRect = layout::RowsOnly(&layout::Placement::source);
    std::array<vcl::TRect, kPlacementCount> LeftMaskRect = layout::RowsOnly(&layout::Placement::mask);
    std::array<vcl::TRect, kPlacementCount> RightDestRect = layout::RowsOnly(&layout::Placement::dest);
    std::array<vcl::TRect, kPlacementCount> RightSrcRect = layout::RowsOnly(&layout::Placement::source);
    std::array<vcl::TRect, kPlacementCount> RightMaskRect = layout::RowsOnly(&layout::Placement::mask);
    // The choker's lower part (on the body frames): the second pair of its entry.
    vcl::TRect LeftChokerLowerDestRect = layout::RowsOnly(layout::kChokerLowerDest);
    vcl::TRect LeftChokerLowerSrcRect = layout::RowsOnly(layout::kChokerLowerSource);
    vcl::TRect LeftChokerLowerMaskRect = layout::RowsOnly(layout::kChokerLowerMask);
    vcl::TRect RightChokerLowerDestRect = layout::RowsOnly(layout::kChokerLowerDest);
    vcl::TRect RightChokerLowerSrcRect = layout::RowsOnly(layout::kChokerLowerSource);
    vcl::TRect RightChokerLowerMaskRect = layout::RowsOnly(layout::kChokerLowerMask);
    // Eye patches of the figures in the show picture, and the overlay rectangles.
    vcl::TRect LeftEyeShowRect{0, 0, 0, layout::kEyeHeight};
    vcl::TRect LeftEyeOverlayRect = layout::kEyePatch;
    vcl::TRect RightEyeShowRect{0, 0, 0, layout::kEyeHeight};
    vcl::TRect RightEyeSrcRect{0, 0, 0, layout::kEyeHeight};
    vcl::TRect RightEyeOverlayRect{0, 0, 0, layout::kEyeHeight};
    // Results of the last ClipLeftPart / ClipRightPart.
    int32_t ClipSL = 0; // first visible column inside the part picture
    int32_t ClipDL = 0; // its screen column
    int32_t ClipSR = 0; // source right, exclusive
    int32_t ClipDR = 0; // destination right, exclusive
};
