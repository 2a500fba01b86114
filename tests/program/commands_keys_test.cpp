// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The character commands. One table says, for every command, which members
// of the portrait state it changes and to what, whether it steps the automatic
// counters back and asks for a redraw, and in which states it is ignored; the
// whole state is compared before and after the key, so a command that
// changes anything else fails. Then Escape and the keys handled before the
// table, and the part file dialogs.
#include "commands/KeyCommandTable.h"
#include "tests/bmp/BmpSamples.h"
#include "tests/program/commands_support.h"
#include "tests/program/state_snapshot.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vcl;

namespace velmia::test {

namespace {

// Where a row starts: the composed portrait, or the show entered with q, w.
enum class In { Portrait, Show };

// States in which a command must be ignored.
enum Guard : unsigned {
    gView = 1u << 0, // the gray view and the four-figure view
    gShow = 1u << 1,
    gNoShow = 1u << 2,
    gLongHair = 1u << 3,
    gCamisole = 1u << 4,
    gShaggyMissing = 1u << 5,
    gPankMissing = 1u << 6,
    gOtohimeMissing = 1u << 7,
    gNoEarringFrames = 1u << 8,
    gLeftLongHair = 1u << 9,
    gLeftCamisole = 1u << 10,
    gNoBracelet = 1u << 11,
    gNoLeftBracelet = 1u << 12,
    gShowOrigin0 = 1u << 13,
    gNotComposed = 1u << 14,
    gBuiltInScene = 1u << 15,
    // Checked for every key: a touch waits to close the eyes, a tick or
    // command is running, the close-up view is on (there only x acts).
    gGray = 1u << 20,
    gQuad = 1u << 21,
    gWaiting = 1u << 22,
    gBusy = 1u << 23,
    gCloseUp = 1u << 24,
};

struct GuardInfo {
    Guard guard;
    const char* name;
    std::vector<std::pair<const char*, int64_t>> set;
};

const GuardInfo kGuards[] = {
    {gGray, "Gray", {{"GrayMode", 1}}},
    {gQuad, "Quad", {{"QuadMode", 1}}},
    {gShow, "InShow", {}},
    {gNoShow, "NoShow", {}},
    {gLongHair, "LongHair", {{"LongHair", 1}}},
    {gCamisole, "Camisole", {{"CamisoleShown", 1}}},
    {gShaggyMissing, "ShaggyMissing", {{"ShaggyMissing", 1}}},
    {gPankMissing, "PankMissing", {{"PankMissing", 1}}},
    {gOtohimeMissing, "OtohimeMissing", {{"OtohimeMissing", 1}}},
    {gNoEarringFrames, "NoEarringFrames", {{"EarringFramesLoaded", 0}}},
    {gLeftLongHair, "LeftLongHair", {{"LeftLongHair", 1}}},
    {gLeftCamisole, "LeftCamisole", {{"LeftCamisoleShown", 1}}},
    {gNoBracelet, "NoBracelet", {{"BraceletShown", 0}}},
    {gNoLeftBracelet, "NoLeftBracelet", {{"LeftBraceletShown", 0}}},
    {gShowOrigin0, "ShowOrigin0", {{"ShowOrigin", 0}}},
    {gNotComposed, "NotComposed", {{"PortraitComposed", 0}}},
    {gBuiltInScene, "BuiltInScene", {{"SceneIndex", 1}}},
    {gWaiting, "EyesWaiting", {{"ShutCountdown", 3}}},
    {gBusy, "Busy", {{"Busy", 1}}},
    {gCloseUp, "CloseUp", {{"CloseUpMode", 1}}},
};

const GuardInfo& Info(Guard g)
{
    for (const GuardInfo& i : kGuards)
        if (i.guard == g)
            return i;
    throw std::logic_error("unknown guard");
}

// The dialog a command opens, and the scripted answer.
enum class Answer { None, File, Colour, Cancel };
struct Dialog {
    Answer answer = Answer::None;
    TDialogKind kind = TDialogKind::Open;
    int width = 0, height = 0; // the picture file offered
};
constexpr Dialog kNoDialog{};
constexpr Dialog kCancel{Answer::Cancel};
constexpr Dialog kColour{Answer::Colour, TDialogKind::Color};
constexpr Dialog kColourCancel{Answer::Cancel, TDialogKind::Color};
constexpr Dialog kSaveCancel{Answer::Cancel, TDialogKind::Save};
constexpr Dialog File(int w, int h)
{
    return {Answer::File, TDialogKind::Open, w, h};
}

// Closing steps.
enum : unsigned {
    kRedraw = 1,   // RequestRedraw: the next tick recomposes
    kStepBack = 2, // SceneIndex and the main figure's automatic indices one back
    kShift = 4,    // Shift held while typing
};

// An expected change: a member name and its value after the key. "*" means
// it must change to anything; "?" (with a name ending in '*', a prefix) that
// it may change. "$file" is the path of the offered file. Pseudo-names:
// "overlays" = the six blink overlays hidden; "layout" = the show figures'
// rectangles may be recomputed; "saved" = the saved set may be written;
// "leftpictures" = the left figure's part pictures may be copied over.
struct Change {
    const char* name;
    const char* value;
};

struct KeyRow {
    const char* name;
    KeyCommand command; // typed with every key of its table row
    In in;
    const char* prelude; // keys typed before the row's state is set
    std::vector<std::pair<const char*, int64_t>> given;
    Dialog dialog;
    unsigned closing;
    std::vector<Change> changes;
    unsigned ignoredWhen;
};

using View = CommandTest::View;

constexpr In P = In::Portrait;
constexpr In Sh = In::Show;

// Every row starts from these values (main and left set alike), so that a
// step back and a rewind are visible in every automatic index, and a redraw
// request in the round counter.
const std::pair<const char*, int64_t> kBase[] = {
    {"CycleCounter", 123},   {"RoundCounter", 1},     {"SceneIndex", 3},        {"FaceAuto", 1},
    {"FaceIndex", 2},        {"EarringAuto", 1},      {"EarringIndex", 2},      {"BraceletAuto", 1},
    {"BraceletIndex", 2},    {"LeftFaceAuto", 1},     {"LeftFaceIndex", 2},     {"LeftEarringAuto", 1},
    {"LeftEarringIndex", 2}, {"LeftBraceletAuto", 1}, {"LeftBraceletIndex", 2},
};

// After q took the left figure out of the show, w and q alike bring it back.
const std::vector<Change> kBackToTheShow = {{"ShowOrigin", "2"},  {"ShowMode", "1"},    {"PortraitMode", "0"},
                                            {"MainSwapped", "0"}, {"RibbonShown", "1"}, {"LeftRibbonShown", "0"},
                                            {"overlays", ""}};

// clang-format off
const KeyRow kKeyRows[] = {
    // ---- The main figure's wardrobe -------------------------------------
    {"Ribbon", KeyCommand::Ribbon, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"RibbonShown", "0"}}, gView},
    {"Choker", KeyCommand::Choker, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"ChokerShown", "1"}}, gView},
    {"Hairband", KeyCommand::Hairband, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"HairBandShown", "0"}}, gView | gLongHair},
    {"Bracelet", KeyCommand::Bracelet, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"BraceletShown", "0"}}, gView},
    {"EarringFrame", KeyCommand::EarringFrame, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"EarringFrameIndex", "1"}},
     gView | gNoEarringFrames},
    {"EarringFrameWraps", KeyCommand::EarringFrame, P, "", {{"EarringFrameIndex", 4}}, kNoDialog, kRedraw | kStepBack,
     {{"EarringFrameIndex", "0"}}, 0},
    {"Pattern", KeyCommand::StringPattern, P, "", {}, kNoDialog, kRedraw | kStepBack,
     {{"StringPatternIndex", "1"}, {"StringPatternOn", "0"}, {"ThickStringOn", "1"}}, gView | gCamisole},
    {"PatternToNone", KeyCommand::StringPattern, P, "", {{"StringPatternIndex", 3}, {"StringPatternOn", 0}, {"CrossStringOn", 1}},
     kNoDialog, kRedraw | kStepBack, {{"StringPatternIndex", "4"}, {"CrossStringOn", "0"}}, 0},
    {"PatternFromNone", KeyCommand::StringPattern, P, "", {{"StringPatternIndex", 4}, {"StringPatternOn", 0}}, kNoDialog,
     kRedraw | kStepBack, {{"StringPatternIndex", "0"}, {"StringPatternOn", "1"}}, 0},
    {"Camisole", KeyCommand::Camisole, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"CamisoleShown", "1"}, {"StringPatternOn", "0"}},
     gView},
    {"CamisoleOffGivesThePatternBack", KeyCommand::Camisole, P, "", {{"CamisoleShown", 1}, {"StringPatternOn", 0}, {"StringPatternIndex", 2}},
     kNoDialog, kRedraw | kStepBack, {{"CamisoleShown", "0"}, {"WStringOn", "1"}}, 0},
    {"CamisoleOffNoPattern", KeyCommand::Camisole, P, "", {{"CamisoleShown", 1}, {"StringPatternOn", 0}, {"StringPatternIndex", 4}},
     kNoDialog, kRedraw | kStepBack, {{"CamisoleShown", "0"}}, 0},
    {"FlowerShort", KeyCommand::Flower, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"FlowerShown", "1"}}, gView},
    {"FlowerShortSecondPlace", KeyCommand::Flower, P, "", {{"FlowerShown", 1}}, kNoDialog, kRedraw | kStepBack, {{"FlowerAlt", "1"}},
     0},
    {"FlowerShortHidden", KeyCommand::Flower, P, "", {{"FlowerShown", 1}, {"FlowerAlt", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"FlowerShown", "0"}, {"FlowerAlt", "0"}}, 0},
    {"FlowerLong", KeyCommand::Flower, P, "", {{"LongHair", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"FlowerShown", "1"}, {"FlowerAlt", "1"}}, 0},
    {"FlowerLongHidden", KeyCommand::Flower, P, "", {{"LongHair", 1}, {"FlowerShown", 1}, {"FlowerAlt", 1}}, kNoDialog,
     kRedraw | kStepBack, {{"FlowerShown", "0"}}, 0},
    // ---- Hair ---------------------------------------------------------------
    {"Shaggy", KeyCommand::Shaggy, P, "", {}, kNoDialog, kRedraw | kStepBack,
     {{"ShaggyHair", "1"}, {"MainHairHidden", "1"}, {"visible CloseEye_disp", "0"}}, gView | gShaggyMissing},
    {"ShaggyFromLongHair", KeyCommand::Shaggy, P, "l", {{"PankHair", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"ShaggyHair", "1"}, {"PankHair", "0"}, {"LongHair", "0"}, {"MainHairHidden", "1"}, {"FaceWorkB", "*"},
      {"visible CloseEye_disp", "0"}},
     0},
    {"ShaggyOffKeepsHairHidden", KeyCommand::Shaggy, P, "", {{"ShaggyHair", 1}, {"MainHairHidden", 1}}, kNoDialog,
     kRedraw | kStepBack, {{"ShaggyHair", "0"}, {"visible CloseEye_disp", "0"}}, 0},
    {"ShaggyInShow", KeyCommand::Shaggy, Sh, "", {}, kNoDialog, kRedraw | kStepBack,
     {{"ShaggyHair", "1"}, {"MainHairHidden", "1"}, {"visible CloseEye_disp", "0"}}, 0},
    {"Pank", KeyCommand::Pank, P, "", {{"OtohimeHair", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"PankHair", "1"}, {"OtohimeHair", "0"}, {"MainHairHidden", "1"}, {"visible CloseEye_disp", "0"}},
     gView | gPankMissing},
    {"Otohime", KeyCommand::Otohime, P, "", {{"ShaggyHair", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"OtohimeHair", "1"}, {"ShaggyHair", "0"}, {"MainHairHidden", "1"}, {"visible CloseEye_disp", "0"}},
     gView | gOtohimeMissing},
    {"LongHair", KeyCommand::LongHair, P, "", {}, kNoDialog, kRedraw | kStepBack,
     {{"LongHair", "1"}, {"FaceWorkB", "*"}, {"visible CloseEye_disp", "0"}}, gView},
    {"LongHairFromAStyle", KeyCommand::LongHair, P, "", {{"MainHairHidden", 1}, {"ShaggyHair", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"LongHair", "1"}, {"MainHairHidden", "0"}, {"ShaggyHair", "0"}, {"FaceWorkB", "*"},
      {"visible CloseEye_disp", "0"}},
     0},
    {"ShortHairAgain", KeyCommand::LongHair, P, "l", {}, kNoDialog, kRedraw | kStepBack,
     {{"LongHair", "0"}, {"FaceWorkB", "*"}, {"visible CloseEye_disp", "0"}}, 0},
    {"HairHidden", KeyCommand::HairHidden, P, "", {}, kNoDialog, kRedraw | kStepBack,
     {{"MainHairHidden", "1"}, {"visible CloseEye_disp", "0"}}, gView | gLongHair},
    {"HairBackClearsStyles", KeyCommand::HairHidden, P, "", {{"MainHairHidden", 1}, {"PankHair", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"MainHairHidden", "0"}, {"PankHair", "0"}, {"visible CloseEye_disp", "0"}}, 0},
    // ---- Automatic cells: rewind by hand with the flags before the toggle ---
    {"FaceAutoOff", KeyCommand::FaceAuto, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"FaceAuto", "0"}}, gView},
    {"FaceAutoOn", KeyCommand::FaceAuto, P, "", {{"FaceAuto", 0}}, kNoDialog, kRedraw | kStepBack, {{"FaceAuto", "1"}}, 0},
    {"FaceAutoOffWraps", KeyCommand::FaceAuto, P, "", {{"FaceIndex", 0}, {"SceneIndex", 0}}, kNoDialog, kRedraw | kStepBack,
     {{"FaceAuto", "0"}}, 0},
    // No cycle end has advanced anything yet: nothing to rewind.
    {"FaceAutoStaysBeforeTheFirstPicture", KeyCommand::FaceAuto, P, "", {{"PortraitComposed", 0}}, kNoDialog, kRedraw,
     {{"FaceAuto", "0"}}, 0},
    {"EarringAuto", KeyCommand::EarringAuto, P, "", {}, kNoDialog, kRedraw | kStepBack, {{"EarringAuto", "0"}}, gView},
    {"BraceletAuto", KeyCommand::BraceletAuto, P, "", {{"BraceletAuto", 0}}, kNoDialog, kRedraw | kStepBack, {{"BraceletAuto", "1"}},
     gView | gNoBracelet | gShow},
    // ---- Eyes ---------------------------------------------------------------
    {"EyesClose", KeyCommand::CloseEyes, P, "", {}, kNoDialog, kRedraw, {{"EyesClosed", "1"}, {"overlays", ""}}, 0},
    {"EyesOpen", KeyCommand::CloseEyes, P, "", {{"EyesClosed", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"EyesClosed", "0"}, {"overlays", ""}}, 0},
    {"GrayEyesClose", KeyCommand::CloseEyes, P, "", {{"GrayMode", 1}, {"PortraitMode", 0}}, kNoDialog, kRedraw,
     {{"GrayEyesClosed", "1"},
      {"GrayBlinkTable[0]", "-3"},
      {"GrayBlinkTable[1]", "97"},
      {"GrayBlinkTable[2]", "246"},
      {"GrayBlinkTable[3]", "347"},
      {"GrayBlinkTable[4]", "397"},
      {"image Mainpict", "*"},
      {"overlays", ""}},
     0},
    {"GrayEyesOpen", KeyCommand::CloseEyes, P, "", {{"GrayMode", 1}, {"PortraitMode", 0}, {"GrayEyesClosed", 1}}, kNoDialog, kRedraw,
     {{"GrayEyesClosed", "0"},
      {"GrayBlinkTable[0]", "99"},
      {"GrayBlinkTable[1]", "199"},
      {"GrayBlinkTable[2]", "348"},
      {"GrayBlinkTable[3]", "449"},
      {"GrayBlinkTable[4]", "499"},
      {"image Mainpict", "*"},
      {"overlays", ""}},
     0},
    {"QuadEyes", KeyCommand::CloseEyes, P, "", {{"QuadMode", 1}, {"PortraitMode", 0}}, kNoDialog, kRedraw | kStepBack,
     {{"QuadEyesClosed", "1"}, {"overlays", ""}}, 0},
    // ---- Scenes -------------------------------------------------------------
    {"NextScene", KeyCommand::NextScene, P, "", {}, kNoDialog, kRedraw, {{"overlays", ""}}, gView},
    {"SkipAScene", KeyCommand::NextScene, P, "", {{"SceneIndex", 7}}, kNoDialog, kRedraw | kShift,
     {{"SceneIndex", "0"}, {"overlays", ""}}, 0},
    {"SceneColour", KeyCommand::SceneCellColour, P, "", {}, kColour, kRedraw | kStepBack, {{"image SceneList", "*"}},
     gView | gShow | gNotComposed | gBuiltInScene},
    {"SceneColourCancelled", KeyCommand::SceneCellColour, P, "", {}, kColourCancel, 0, {}, 0},
    {"SceneListFile", KeyCommand::SceneListFile, P, "", {}, File(75, 750), kRedraw | kStepBack,
     {{"image SceneList", "*"}, {"SceneListFileName", "$file"}}, gView | gShow},
    {"SceneListCancelled", KeyCommand::SceneListFile, P, "", {}, kCancel, 0, {}, 0},
    {"SaveScenes", KeyCommand::SaveSceneList, P, "", {}, kSaveCancel, 0, {}, gView | gShow},
    {"SaveCostume", KeyCommand::SaveCostume, P, "", {}, kSaveCancel, 0, {}, gView | gShow},
    // ---- Part files and colours of the main figure --------------------------
    {"CostumeFile", KeyCommand::CostumeFile, P, "", {{"CamisoleShown", 1}}, File(530, 300), kRedraw | kStepBack,
     {{"image Costume", "*"}, {"CostumePicture", "*"}, {"CostumeMask", "*"}, {"CostumeFileName", "$file"}, {"CamisoleShown", "0"}}, gView},
    {"CostumeFileInShow", KeyCommand::CostumeFile, Sh, "", {{"CamisoleShown", 1}}, File(530, 300), kRedraw,
     {{"image Costume", "*"}, {"CostumePicture", "*"}, {"CostumeMask", "*"}, {"CostumeFileName", "$file"}, {"CamisoleShown", "0"}}, 0},
    {"CostumeCancelled", KeyCommand::CostumeFile, P, "", {}, kCancel, 0, {}, 0},
    {"CamisoleFile", KeyCommand::CamisoleFile, P, "", {}, File(550, 750), kRedraw | kStepBack,
     {{"image Camisole", "*"},
      {"CamisoleMask", "*"},
      {"CamisoleFileName", "$file"},
      {"CamisoleShown", "1"},
      {"StringPatternOn", "0"}},
     gView},
    {"CamisoleFileInShow", KeyCommand::CamisoleFile, Sh, "", {}, File(550, 750), kRedraw,
     {{"image Camisole", "*"},
      {"CamisoleMask", "*"},
      {"CamisoleFileName", "$file"},
      {"CamisoleShown", "1"},
      {"StringPatternOn", "0"}},
     0},
    {"CamisoleCancelled", KeyCommand::CamisoleFile, P, "", {}, kCancel, 0, {}, 0},
    {"RibbonFile", KeyCommand::RibbonFile, P, "", {{"RibbonShown", 0}}, File(200, 80), kRedraw | kStepBack,
     {{"image Ribborn", "*"}, {"RibbonMask", "*"}, {"RibbonFileName", "$file"}, {"RibbonShown", "1"}}, gView},
    {"RibbonCancelled", KeyCommand::RibbonFile, P, "", {}, kCancel, kRedraw | kStepBack, {}, 0},
    {"HairbandFile", KeyCommand::HairbandFile, P, "", {{"HairBandShown", 0}}, File(80, 100), kRedraw | kStepBack,
     {{"image HairBand", "*"}, {"HairBandMask", "*"}, {"HairBandFileName", "$file"}, {"HairBandShown", "1"}},
     gView | gLongHair},
    {"HairbandCancelled", KeyCommand::HairbandFile, P, "", {}, kCancel, kRedraw | kStepBack, {}, 0},
    {"FlowerFile", KeyCommand::FlowerFile, P, "", {}, File(100, 120), kRedraw | kStepBack,
     {{"image FlowerPict", "*"}, {"FlowerFileName", "$file"}, {"FlowerShown", "1"}}, gView | gLongHair},
    {"FlowerCancelled", KeyCommand::FlowerFile, P, "", {}, kCancel, kRedraw | kStepBack, {}, 0},
    {"ChokerFile", KeyCommand::ChokerFile, P, "", {}, File(150, 150), kRedraw | kStepBack,
     {{"image Choker", "*"}, {"ChokerFileName", "$file"}, {"ChokerShown", "1"}}, gView},
    {"ChokerCancelled", KeyCommand::ChokerFile, P, "", {}, kCancel, kRedraw | kStepBack, {}, 0},
    {"HemColour", KeyCommand::HemColour, P, "", {}, kColour, kRedraw | kStepBack, {{"image Costume", "*"}, {"CostumePicture", "*"}}, gView | gCamisole},
    {"HemColourInShow", KeyCommand::HemColour, Sh, "", {}, kColour, kRedraw, {{"image Costume", "*"}, {"CostumePicture", "*"}}, 0},
    {"HemColourCancelled", KeyCommand::HemColour, P, "", {}, kColourCancel, 0, {}, 0},
    // ---- The show and the figure exchange ----------------------------------
    {"StartShow", KeyCommand::ShowSwitch, P, "", {{"ShowOrigin", 1}}, kNoDialog, kRedraw | kStepBack,
     {{"ShowOrigin", "2"}, {"ShowMode", "1"}, {"PortraitMode", "0"}, {"overlays", ""}, {"layout", ""}},
     gView | gShowOrigin0},
    {"LeaveShow", KeyCommand::ShowSwitch, Sh, "", {}, kNoDialog, kRedraw,
     {{"ShowOrigin", "1"}, {"ShowMode", "0"}, {"PortraitMode", "1"}, {"CopyToLeftArmed", "0"}, {"overlays", ""}}, 0},
    {"ReturnToShowWithW", KeyCommand::ShowSwitch, Sh, "q", {{"RibbonShown", 0}}, kNoDialog, kRedraw, kBackToTheShow, 0},
    {"ReturnToShowWithQ", KeyCommand::ExchangeFigure, Sh, "q", {{"RibbonShown", 0}}, kNoDialog, kRedraw, kBackToTheShow,
     0},
    {"CopyToLeft", KeyCommand::ExchangeFigure, P, "", {{"LeftRibbonShown", 0}, {"LeftChokerShown", 1}, {"LeftFaceIndex", 0}}, kNoDialog, 0,
     {{"LeftRibbonShown", "1"}, {"LeftChokerShown", "0"}, {"LeftFaceIndex", "2"}, {"ShowOrigin", "1"},
      {"visible CloseEye_disp_Left", "0"}, {"layout", ""}, {"leftpictures", ""}},
     gView},
    {"ArmCopy", KeyCommand::ExchangeFigure, P, "", {{"CopyToLeftArmed", 0}}, kNoDialog, 0, {{"CopyToLeftArmed", "1"}}, 0},
    {"TakeLeftOut", KeyCommand::ExchangeFigure, Sh, "", {{"LeftRibbonShown", 0}, {"LeftFaceAuto", 0}}, kNoDialog, kRedraw,
     {{"RibbonShown", "0"},
      {"FaceAuto", "0"},
      {"SavedFaceAuto", "1"},
      {"SavedFaceIndex", "2"},
      {"ShowMode", "0"},
      {"PortraitMode", "1"},
      {"MainSwapped", "1"},
      {"ShowOrigin", "1"},
      {"overlays", ""},
      {"saved", ""}},
     0},
    {"ExchangeFigures", KeyCommand::ExchangeShowFigures, Sh, "", {{"LeftRibbonShown", 0}, {"LeftFaceAuto", 0}}, kNoDialog, kRedraw,
     {{"RibbonShown", "0"},
      {"LeftRibbonShown", "1"},
      {"FaceAuto", "0"},
      {"LeftFaceAuto", "1"},
      {"overlays", ""},
      {"saved", ""}},
     gView | gNoShow},
    // ---- The show's left figure ---------------------------------------------
    {"LeftRibbon", KeyCommand::LeftRibbon, Sh, "", {}, kNoDialog, kRedraw, {{"LeftRibbonShown", "0"}}, gView | gNoShow},
    {"LeftChoker", KeyCommand::LeftChoker, Sh, "", {}, kNoDialog, kRedraw, {{"LeftChokerShown", "1"}}, gView | gNoShow},
    {"LeftHairband", KeyCommand::LeftHairband, Sh, "", {}, kNoDialog, kRedraw, {{"LeftHairBandShown", "0"}},
     gView | gNoShow | gLeftLongHair},
    {"LeftBracelet", KeyCommand::LeftBracelet, Sh, "", {}, kNoDialog, kRedraw | kStepBack, {{"LeftBraceletShown", "0"}}, gView | gNoShow},
    {"LeftEarringFrame", KeyCommand::LeftEarringFrame, Sh, "", {{"LeftEarringFrameIndex", 4}}, kNoDialog, kRedraw,
     {{"LeftEarringFrameIndex", "0"}}, gView | gNoShow | gNoEarringFrames},
    {"LeftPattern", KeyCommand::LeftStringPattern, Sh, "", {}, kNoDialog, kRedraw,
     {{"LeftStringPatternIndex", "1"}, {"LeftStringPatternOn", "0"}, {"LeftThickStringOn", "1"}},
     gView | gNoShow | gLeftCamisole},
    {"LeftCamisole", KeyCommand::LeftCamisole, Sh, "", {}, kNoDialog, kRedraw, {{"LeftCamisoleShown", "1"}, {"LeftStringPatternOn", "0"}},
     gView | gNoShow},
    {"LeftCamisoleOff", KeyCommand::LeftCamisole, Sh, "",
     {{"LeftCamisoleShown", 1}, {"LeftStringPatternOn", 0}, {"LeftStringPatternIndex", 3}}, kNoDialog, kRedraw,
     {{"LeftCamisoleShown", "0"}, {"LeftCrossStringOn", "1"}}, 0},
    {"LeftFlower", KeyCommand::LeftFlower, Sh, "", {}, kNoDialog, kRedraw, {{"LeftFlowerShown", "1"}}, gView | gNoShow},
    {"LeftFlowerLongHair", KeyCommand::LeftFlower, Sh, "", {{"LeftLongHair", 1}}, kNoDialog, kRedraw,
     {{"LeftFlowerShown", "1"}, {"LeftFlowerAlt", "1"}}, 0},
    {"LeftEyes", KeyCommand::LeftCloseEyes, Sh, "", {}, kNoDialog, kRedraw, {{"LeftEyesClosed", "1"}, {"overlays", ""}}, gView | gNoShow},
    {"LeftEyesOpen", KeyCommand::LeftCloseEyes, Sh, "", {{"LeftEyesClosed", 1}}, kNoDialog, kRedraw,
     {{"LeftEyesClosed", "0"}, {"overlays", ""}}, 0},
    {"LeftShaggy", KeyCommand::LeftShaggy, Sh, "", {{"LeftPankHair", 1}}, kNoDialog, kRedraw,
     {{"LeftShaggyHair", "1"}, {"LeftPankHair", "0"}, {"LeftMainHairHidden", "1"}, {"visible CloseEye_disp_Left", "0"}},
     gView | gNoShow | gShaggyMissing},
    {"LeftShaggyFromLongHair", KeyCommand::LeftShaggy, Sh, "L", {}, kNoDialog, kRedraw,
     {{"LeftShaggyHair", "1"},
      {"LeftLongHair", "0"},
      {"LeftMainHairHidden", "1"},
      {"FaceWorkC", "*"},
      {"visible CloseEye_disp_Left", "0"}},
     0},
    {"LeftPank", KeyCommand::LeftPank, Sh, "", {}, kNoDialog, kRedraw,
     {{"LeftPankHair", "1"}, {"LeftMainHairHidden", "1"}, {"visible CloseEye_disp_Left", "0"}},
     gView | gNoShow | gPankMissing},
    {"LeftOtohime", KeyCommand::LeftOtohime, Sh, "", {}, kNoDialog, kRedraw,
     {{"LeftOtohimeHair", "1"}, {"LeftMainHairHidden", "1"}, {"visible CloseEye_disp_Left", "0"}},
     gView | gNoShow | gOtohimeMissing},
    {"LeftLongHair", KeyCommand::LeftLongHair, Sh, "", {{"LeftMainHairHidden", 1}, {"LeftOtohimeHair", 1}}, kNoDialog, kRedraw,
     {{"LeftLongHair", "1"},
      {"LeftMainHairHidden", "0"},
      {"LeftOtohimeHair", "0"},
      {"FaceWorkC", "*"},
      {"visible CloseEye_disp_Left", "0"}},
     gView | gNoShow},
    {"LeftShortHairAgain", KeyCommand::LeftLongHair, Sh, "L", {}, kNoDialog, kRedraw,
     {{"LeftLongHair", "0"}, {"FaceWorkC", "*"}, {"visible CloseEye_disp_Left", "0"}}, 0},
    {"LeftHairHidden", KeyCommand::LeftHairHidden, Sh, "", {{"LeftShaggyHair", 1}}, kNoDialog, kRedraw,
     {{"LeftMainHairHidden", "1"}, {"LeftShaggyHair", "0"}, {"visible CloseEye_disp_Left", "0"}},
     gView | gNoShow | gLeftLongHair},
    {"LeftFaceAuto", KeyCommand::LeftFaceAuto, Sh, "", {}, kNoDialog, kRedraw,
     {{"LeftFaceAuto", "0"}, {"LeftFaceIndex", "1"}, {"SceneIndex", "2"}}, gView | gNoShow},
    {"LeftEarringAuto", KeyCommand::LeftEarringAuto, Sh, "", {}, kNoDialog, kRedraw,
     {{"LeftEarringAuto", "0"}, {"LeftEarringIndex", "1"}, {"SceneIndex", "2"}}, gView | gNoShow},
    {"LeftBraceletAuto", KeyCommand::LeftBraceletAuto, Sh, "", {{"LeftBraceletIndex", 0}}, kNoDialog, kRedraw,
     {{"LeftBraceletAuto", "0"},
      {"LeftBraceletIndex", "4"},
      {"LeftEarringIndex", "1"},
      {"LeftFaceIndex", "1"},
      {"SceneIndex", "2"}},
     gView | gNoShow | gNoLeftBracelet},
    {"LeftBraceletAutoOn", KeyCommand::LeftBraceletAuto, Sh, "", {{"LeftBraceletAuto", 0}, {"LeftFaceAuto", 0}, {"LeftEarringAuto", 0}},
     kNoDialog, kRedraw, {{"LeftBraceletAuto", "1"}, {"SceneIndex", "2"}}, 0},
    // ---- Part files and colours of the left figure --------------------------
    {"LeftCostumeFile", KeyCommand::LeftCostumeFile, Sh, "", {{"LeftCamisoleShown", 1}}, File(530, 300), kRedraw,
     {{"CostumeWork", "*"},
      {"LeftCostumePicture", "*"},
      {"CostumeWorkMask", "*"},
      {"LeftCostumeFileName", "$file"},
      {"LeftCamisoleShown", "0"}},
     gView | gNoShow},
    {"LeftCostumeCancelled", KeyCommand::LeftCostumeFile, Sh, "", {}, kCancel, 0, {}, 0},
    {"LeftCamisoleFile", KeyCommand::LeftCamisoleFile, Sh, "", {}, File(550, 750), kRedraw,
     {{"CamisoleWork", "*"},
      {"CamisoleWorkMask", "*"},
      {"CamisoleFileName", "$file"},
      {"LeftCamisoleShown", "1"},
      {"LeftStringPatternOn", "0"}},
     gView | gNoShow},
    {"LeftCamisoleCancelled", KeyCommand::LeftCamisoleFile, Sh, "", {}, kCancel, 0, {}, 0},
    {"LeftRibbonFile", KeyCommand::LeftRibbonFile, Sh, "", {{"LeftRibbonShown", 0}}, File(200, 80), kRedraw,
     {{"RibbonWork", "*"}, {"RibbonWorkMask", "*"}, {"RibbonFileName", "$file"}, {"LeftRibbonShown", "1"}},
     gView | gNoShow},
    {"LeftRibbonCancelled", KeyCommand::LeftRibbonFile, Sh, "", {}, kCancel, kRedraw, {}, 0},
    {"LeftHairbandFile", KeyCommand::LeftHairbandFile, Sh, "", {{"LeftHairBandShown", 0}}, File(80, 100), kRedraw,
     {{"HairBandWork", "*"}, {"HairBandWorkMask", "*"}, {"HairBandFileName", "$file"}, {"LeftHairBandShown", "1"}},
     gView | gNoShow | gLeftLongHair},
    {"LeftHairbandCancelled", KeyCommand::LeftHairbandFile, Sh, "", {}, kCancel, kRedraw, {}, 0},
    {"LeftFlowerFile", KeyCommand::LeftFlowerFile, Sh, "", {}, File(100, 120), kRedraw,
     {{"FlowerWork", "*"}, {"FlowerFileName", "$file"}, {"LeftFlowerShown", "1"}}, gView | gNoShow | gLeftLongHair},
    {"LeftFlowerCancelled", KeyCommand::LeftFlowerFile, Sh, "", {}, kCancel, kRedraw, {}, 0},
    {"LeftChokerFile", KeyCommand::LeftChokerFile, Sh, "", {}, File(150, 150), kRedraw,
     {{"ChokerWork", "*"}, {"ChokerFileName", "$file"}, {"LeftChokerShown", "1"}}, gView | gNoShow},
    {"LeftChokerCancelled", KeyCommand::LeftChokerFile, Sh, "", {}, kCancel, kRedraw, {}, 0},
    {"LeftHemColour", KeyCommand::LeftHemColour, Sh, "", {}, kColour, kRedraw, {{"CostumeWork", "*"}, {"LeftCostumePicture", "*"}}, gView | gNoShow | gLeftCamisole},
    {"LeftHemColourCancelled", KeyCommand::LeftHemColour, Sh, "", {}, kColourCancel, 0, {}, 0},
};
// clang-format on

const char* const kOverlays[] = {"CloseEye_disp",     "CloseEye_disp_Left", "SmallClosedPict0",
                                 "SmallClosedPict01", "SmallClosedPict1",   "SmallClosedPict11"};

// Members the show layout computes (may change where a row says "layout").
const char* const kLayoutPrefixes[] = {"LeftDestRect[",
                                       "LeftSrcRect[",
                                       "LeftMaskRect[",
                                       "RightDestRect[",
                                       "RightSrcRect[",
                                       "RightMaskRect[",
                                       "LeftChokerLower",
                                       "RightChokerLower",
                                       "LeftEyeShowRect",
                                       "LeftEyeOverlayRect",
                                       "RightEyeShowRect",
                                       "RightEyeSrcRect",
                                       "RightEyeOverlayRect",
                                       "LeftEyeLeft",
                                       "RightEyeLeft",
                                       "LeftEyeWidth",
                                       "RightEyeWidth",
                                       "LeftFaceWidth",
                                       "RightFaceWidth",
                                       "LeftPartOut[",
                                       "RightPartOut[",
                                       "ClipSL",
                                       "ClipDL",
                                       "ClipSR",
                                       "ClipDR"};
// The saved set and its pictures (may change where a row says "saved").
const char* const kSavedPrefixes[] = {"Saved",         "FaceWorkA",   "CostumeTemp", "CamisoleTempA",
                                      "CamisoleTempB", "ChokerTemp",  "FlowerTemp",  "HairBandTempA",
                                      "HairBandTempB", "RibbonTempA", "RibbonTempB"};

// The left figure's part pictures.
const char* const kLeftPictures[] = {"CostumeWork",      "LeftCostumePicture", "CostumeWorkMask", "CamisoleWork",
                                     "CamisoleWorkMask", "FaceWorkC",          "FlowerWork",      "HairBandWork",
                                     "HairBandWorkMask", "RibbonWork",         "RibbonWorkMask",  "ChokerWork"};

struct KeyCase {
    const KeyRow* row;
    char key;
    Guard guard; // 0: the command acts
};

const KeyCommandRow& TableRow(KeyCommand command)
{
    for (const KeyCommandRow& row : kKeyCommands)
        if (row.command == command)
            return row;
    throw std::logic_error("a command without a table row");
}

std::vector<KeyCase> KeyCases()
{
    std::vector<KeyCase> cases;
    std::set<char> seen;
    for (const KeyRow& row : kKeyRows) {
        for (const char key : TableRow(row.command).keys) {
            cases.push_back({&row, key, Guard(0)});
            unsigned guards = row.ignoredWhen;
            if (guards & gView)
                guards = (guards & ~unsigned(gView)) | gGray | gQuad;
            // The guards every key shares, once per key.
            if (seen.insert(key).second)
                guards |= gWaiting | gBusy | (key == 'x' ? 0u : unsigned(gCloseUp));
            for (const GuardInfo& g : kGuards)
                if (guards & g.guard)
                    cases.push_back({&row, key, g.guard});
        }
    }
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<KeyCase>& info)
{
    const KeyCase& c = info.param;
    std::string name = c.row->name;
    if (TableRow(c.row->command).keys.size() > 1)
        name += "_key" + std::to_string(int(c.key));
    name += c.guard ? std::string("_IgnoredWhen") + Info(c.guard).name : std::string("_Acts");
    return name;
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

} // namespace

class KeyTableTest : public CommandTest {};

class KeyCommandTest : public CommandTest, public ::testing::WithParamInterface<KeyCase> {
protected:
    // The row's starting state, with the guard's condition on top.
    void Prepare(const KeyRow& row, Guard guard)
    {
        In in = row.in;
        if (guard == gShow)
            in = In::Show;
        if (guard == gNoShow)
            in = In::Portrait;
        StartPortrait();
        if (in == In::Show)
            EnterShow();
        for (const auto& [name, value] : kBase)
            ASSERT_TRUE(SetMember(S(), name, value)) << name;
        for (const char* k = row.prelude; *k; ++k)
            Type(*k);
        for (const auto& [name, value] : kBase)
            SetMember(S(), name, value);
        for (const auto& [name, value] : row.given)
            ASSERT_TRUE(SetMember(S(), name, value)) << name;
        if (guard) {
            for (const auto& [name, value] : Info(guard).set)
                ASSERT_TRUE(SetMember(S(), name, value)) << name;
        }
        // Overlays on screen, so that hiding them shows.
        for (TImage* i : {form_->CloseEye_disp, form_->CloseEye_disp_Left, form_->SmallClosedPict0,
                          form_->SmallClosedPict01, form_->SmallClosedPict1, form_->SmallClosedPict11})
            i->SetVisible(true);
        host_.ClearRecords();
        switch (row.dialog.answer) {
        case Answer::None:
            break;
        case Answer::File:
            WritePicture("vlm_offered.bmp", row.dialog.width, row.dialog.height, 0x00204080);
            host_.ScriptOpenDialog("vlm_offered.bmp");
            break;
        case Answer::Cancel:
            host_.ScriptCancel();
            break;
        case Answer::Colour:
            host_.ScriptColor(0x000000FF);
            break;
        }
    }

    // The state after the key, from the state before and the row.
    std::map<std::string, std::string> Expected(const KeyRow& row, const Snapshot& before)
    {
        std::map<std::string, std::string> want;
        auto value = [&](const char* name) { return std::stoi(before.at(name)); };
        if (row.closing & kRedraw) {
            want["CycleCounter"] = "600";
            want["RoundCounter"] = "0";
            want["RedrawAsked"] = "1";
        }
        if (row.closing & kStepBack) {
            auto back = [&](const char* name, int count) {
                want[name] = std::to_string((value(name) + count - 1) % count);
            };
            back("SceneIndex", 8);
            if (value("EarringAuto"))
                back("EarringIndex", 5);
            if (value("FaceAuto"))
                back("FaceIndex", S().FaceCount);
            if (value("BraceletAuto"))
                back("BraceletIndex", 5);
        }
        for (const Change& c : row.changes) {
            const std::string name = c.name;
            if (name == "overlays") {
                for (const char* o : kOverlays)
                    want[std::string("visible ") + o] = "0";
            } else if (name != "layout" && name != "saved" && name != "leftpictures") {
                want[name] = std::string(c.value) == "$file" ? "\"vlm_offered.bmp\"" : c.value;
                EXPECT_NE(before.at(name), want[name]) << "the row's " << name << " is no change";
            }
        }
        return want;
    }

    bool MayChange(const KeyRow& row, const std::string& name)
    {
        // The key-down handler samples the modifier keys of every key press.
        if (name == "ShiftDown" || name == "CtrlDown")
            return true;
        for (const Change& c : row.changes) {
            if (std::string(c.name) == "layout")
                for (const char* p : kLayoutPrefixes)
                    if (StartsWith(name, p))
                        return true;
            if (std::string(c.name) == "leftpictures")
                for (const char* p : kLeftPictures)
                    if (name == p)
                        return true;
            if (std::string(c.name) == "saved")
                for (const char* p : kSavedPrefixes)
                    if (StartsWith(name, p))
                        return true;
        }
        return false;
    }
};

TEST_P(KeyCommandTest, ChangesExactlyWhatItsRowSays)
{
    const KeyCase& c = GetParam();
    const KeyRow& row = *c.row;
    Prepare(row, c.guard);
    if (HasFatalFailure())
        return;
    const Snapshot before = TakeSnapshot(*form_);
    const size_t answers = host_.PendingAnswers();
    if (row.closing & kShift)
        host_.SetShift(true);
    Type(c.key);
    host_.SetShift(false);
    const Snapshot after = TakeSnapshot(*form_);
    EXPECT_TRUE(form_->Timer1->GetEnabled()) << "the transaction ends";

    if (c.guard) {
        for (const std::string& d : Differences(before, after)) {
            const std::string name = d.substr(0, d.find(':'));
            if (name != "ShiftDown" && name != "CtrlDown")
                ADD_FAILURE() << "an ignored key changed " << d;
        }
        EXPECT_TRUE(host_.Dialogs().empty());
        EXPECT_EQ(host_.PendingAnswers(), answers);
        return;
    }

    EXPECT_FALSE(S().Busy);
    const auto want = Expected(row, before);
    for (const auto& [name, value] : want) {
        ASSERT_TRUE(after.count(name)) << name;
        if (value == "*")
            EXPECT_NE(after.at(name), before.at(name)) << name << " must change";
        else
            EXPECT_EQ(after.at(name), value) << name;
    }
    for (const auto& [name, value] : after)
        if (!want.count(name) && value != before.at(name) && !MayChange(row, name)) {
            ADD_FAILURE() << "unexpected change of " << name << ": " << before.at(name) << " -> " << value;
        }

    if (row.dialog.answer == Answer::None) {
        EXPECT_TRUE(host_.Dialogs().empty());
    } else {
        ASSERT_EQ(host_.Dialogs().size(), 1u);
        EXPECT_EQ(host_.Dialogs()[0].Kind, row.dialog.kind);
        EXPECT_EQ(host_.PendingAnswers(), 0u);
    }
    EXPECT_TRUE(host_.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, KeyCommandTest, ::testing::ValuesIn(KeyCases()), CaseName);

// Every command of the table has rows here, and the cases type each of its
// keys: a key that does not reach its command fails its row.
TEST(KeyCommandTableTest, EveryCommandHasItsRows)
{
    for (const KeyCommandRow& command : kKeyCommands) {
        const bool covered = std::any_of(std::begin(kKeyRows), std::end(kKeyRows),
                                         [&](const KeyRow& row) { return row.command == command.command; });
        EXPECT_TRUE(covered) << "no row for the command of key " << int(command.keys[0]);
    }
}

// The snapshot names every member of the portrait state, so that no change
// can hide in a member it leaves out.
TEST(StateSnapshotTest, NamesEveryMemberOfThePortraitState)
{
    std::ifstream header(std::filesystem::path(VELMIA_SOURCE_DIR) / "shell/PortraitState.h");
    ASSERT_TRUE(header.good());
    const std::string text((std::istreambuf_iterator<char>(header)), std::istreambuf_iterator<char>());
    const std::string body = text.substr(text.find("struct FormPictures {"));
    const std::regex member(R"(\n    (?:[\w:<>, \[\]]+?[\w>*\]]) (\w+)(?:\[[^\]]*\])?\s*(?:=|\{|;))");
    const auto& names = SnapshotMembers();
    int found = 0;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), member); it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1];
        // The files a look names are kept as each way of choosing them gave
        // the name (a browser pick gives it relative, a dialog absolute): the
        // look tests compare what they mean.
        if (name == "kBrowserNamesSize" || name == "BlackWhitePalette" || name == "kWornKinds" ||
            name.starts_with("Worn") || name == "SceneCellColours")
            continue;
        ++found;
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name << " is not in the snapshot";
    }
    EXPECT_GT(found, 300);
}

TEST_F(KeyTableTest, CharactersOutsideTheTableOnlyPassThrough)
{
    StartPortrait();
    for (char key : {'z', 'Z', '3', '@', '#', '}'}) {
        SCOPED_TRACE(int(key));
        host_.ClearRecords();
        const Snapshot before = TakeSnapshot(*form_);
        Type(key);
        for (const std::string& d : Differences(before, TakeSnapshot(*form_)))
            if (d.rfind("ShiftDown:", 0) != 0) // the key-down handler samples Shift
                ADD_FAILURE() << "changed " << d;
        EXPECT_TRUE(form_->Timer1->GetEnabled());
        EXPECT_TRUE(host_.Dialogs().empty());
    }
}

TEST_F(KeyTableTest, EscapeClosesWhatIsOpenBeforeItQuits)
{
    StartPortrait();
    host_.PressKey(VK_F2); // the costume browser
    ASSERT_TRUE(S().BrowserOpen);
    Type('r');
    EXPECT_TRUE(S().RibbonShown) << "keys wait while the browser is open";
    Type('\x1b');
    EXPECT_FALSE(S().BrowserOpen);
    EXPECT_FALSE(form_->DispTargetsScreen->GetVisible());
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_FALSE(S().QuitRequested);

    form_->logo->SetVisible(true);
    Type('\x1b');
    EXPECT_FALSE(form_->logo->GetVisible());
    EXPECT_FALSE(S().QuitRequested);

    S().CloseUpMode = true;
    S().SavedPortraitMode = true;
    Type('\x1b');
    EXPECT_FALSE(S().CloseUpMode);
    EXPECT_TRUE(S().PortraitMode);
    EXPECT_TRUE(form_->RedrawPending());
    EXPECT_FALSE(S().QuitRequested);

    Type('\x1b');
    EXPECT_TRUE(S().QuitRequested);
    Tick();
    EXPECT_TRUE(host_.Closed());
}

TEST_F(KeyTableTest, CursorAndMinimiseWorkEvenWhileBusy)
{
    StartPortrait();
    S().Busy = true;
    Type(']');
    EXPECT_FALSE(host_.CursorVisible());
    Type(']');
    EXPECT_TRUE(host_.CursorVisible());
    Type('m');
    EXPECT_EQ(host_.MinimizeCount(), 1);
    Type('r');
    EXPECT_TRUE(S().RibbonShown) << "a table command waits for the tick";
}

// ---- Part files ------------------------------------------------------------------

struct LoadCase {
    char key;
    View view;
    const char* initialName;
    const char* filter; // start of the dialog's filter
    std::function<TBitmap*(TSvelmia&)> target;
    std::string PortraitState::*fileName;
};

const LoadCase kLoads[] = {
    {'~', View::Show, "vlm_hb", "hairband files|vlm_hb.bmp", [](TSvelmia& f) { return f.State().HairBandWork.get(); },
     &PortraitState::HairBandFileName},
    {'_', View::Show, "vlm_co", "costume files|vlm_co.bmp", [](TSvelmia& f) { return f.State().CostumeWork.get(); },
     &PortraitState::CostumeFileName},
    {'^', View::Portrait, "vlm_scenelist", "scene files|vlm_scenelist.bmp",
     [](TSvelmia& f) { return f.SceneList->GetBitmap(); }, &PortraitState::SceneListFileName},
    {'\\', View::Portrait, "vlm_co", "costume files|vlm_co.bmp", [](TSvelmia& f) { return f.Costume->GetBitmap(); },
     &PortraitState::CostumeFileName},
    {'=', View::Show, "vlm_ri", "ribborn files|vlm_ri.bmp", [](TSvelmia& f) { return f.State().RibbonWork.get(); },
     &PortraitState::RibbonFileName},
    {'9', View::Portrait, "vlm_fl", "flower|vlm_fl.bmp", [](TSvelmia& f) { return f.FlowerPict->GetBitmap(); },
     &PortraitState::FlowerFileName},
    {'8', View::Portrait, "vlm_ch", "choker|vlm_ch.bmp;_vlm_ch?.bmp", [](TSvelmia& f) { return f.Choker->GetBitmap(); },
     &PortraitState::ChokerFileName},
    {'7', View::Portrait, "vlm_ca", "camisole|vlm_ca.bmp", [](TSvelmia& f) { return f.Camisole->GetBitmap(); },
     &PortraitState::CamisoleFileName},
    {'0', View::Portrait, "vlm_hb", "hairband files|vlm_hb.bmp", [](TSvelmia& f) { return f.HairBand->GetBitmap(); },
     &PortraitState::HairBandFileName},
    {'-', View::Portrait, "vlm_ribborn", "ribborn files|vlm_ri.bmp", [](TSvelmia& f) { return f.Ribborn->GetBitmap(); },
     &PortraitState::RibbonFileName},
    {')', View::Show, "vlm_fl", "flower|vlm_fl.bmp", [](TSvelmia& f) { return f.State().FlowerWork.get(); },
     &PortraitState::FlowerFileName},
    {'(', View::Show, "vlm_ch", "choker|vlm_ch.bmp", [](TSvelmia& f) { return f.State().ChokerWork.get(); },
     &PortraitState::ChokerFileName},
    {'\'', View::Show, "vlm_ca", "camisole|vlm_ca.bmp", [](TSvelmia& f) { return f.State().CamisoleWork.get(); },
     &PortraitState::CamisoleFileName},
};

class PartLoadTest : public KeyTableTest {
protected:
    // Every picture and mask a load may touch.
    std::vector<uint64_t> Pictures()
    {
        const PortraitState& s = S();
        std::vector<uint64_t> v;
        for (TImage* i : {form_->Costume, form_->Camisole, form_->Ribborn, form_->HairBand, form_->FlowerPict,
                          form_->Choker, form_->SceneList})
            v.push_back(Digest(i->GetBitmap()));
        for (TBitmap* b :
             {s.CostumeWork.get(), s.CamisoleWork.get(), s.RibbonWork.get(), s.HairBandWork.get(), s.FlowerWork.get(),
              s.ChokerWork.get(), s.CamisoleMask.get(), s.HairBandMask.get(), s.RibbonMask.get(),
              s.CamisoleWorkMask.get(), s.HairBandWorkMask.get(), s.RibbonWorkMask.get()})
            v.push_back(Digest(b));
        return v;
    }
};

class PartLoadKeyTest : public PartLoadTest, public ::testing::WithParamInterface<LoadCase> {
public:
    void SetUp() override
    {
        PartLoadTest::SetUp();
        if (IsSkipped())
            return;
        StartPortrait();
        EnterView(GetParam().view);
        host_.ClearRecords();
    }
};

TEST_P(PartLoadKeyTest, DialogOpensWithItsNameAndFilter)
{
    const LoadCase& c = GetParam();
    Type(c.key);
    ASSERT_EQ(host_.Dialogs().size(), 1u);
    const DialogRecord& d = host_.Dialogs()[0];
    EXPECT_EQ(d.Kind, TDialogKind::Open);
    EXPECT_EQ(d.FileName, c.initialName);
    EXPECT_EQ(d.DefaultExt, "bmp");
    EXPECT_EQ(d.Filter.rfind(c.filter, 0), 0u) << d.Filter;
}

// A cancelled dialog and a file that is not a readable bitmap change no
// picture, mask or file name; the bad file is named in one message box; the
// transaction ends either way.
TEST_P(PartLoadKeyTest, HostileAndCancelledLoadsChangeNothing)
{
    const LoadCase& c = GetParam();
    for (const char* file : {"", "bad/pixels-cut.bmp", "bad/index-beyond-palette.bmp", "bad/too-many-pixels.bmp",
                             "bad/rle-past-row-end.bmp"}) {
        SCOPED_TRACE(std::string("file '") + file + "'");
        const std::string path = (Folder() / "samples" / file).string();
        if (*file) {
            const std::vector<uint8_t>& bytes = bmptest::SampleNamed(file).bytes;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            host_.ScriptOpenDialog(path);
        } else
            host_.ScriptCancel();
        host_.ClearRecords();
        const auto pictures = Pictures();
        const std::string name = S().*c.fileName;
        Type(c.key);
        EXPECT_EQ(Pictures(), pictures);
        EXPECT_EQ(S().*c.fileName, name);
        EXPECT_FALSE(S().Busy);
        EXPECT_TRUE(form_->Timer1->GetEnabled());
        if (*file) {
            ASSERT_EQ(host_.MessageBoxes().size(), 1u);
            EXPECT_NE(host_.MessageBoxes()[0].Text.find(path), std::string::npos) << host_.MessageBoxes()[0].Text;
        } else {
            EXPECT_TRUE(host_.MessageBoxes().empty());
        }
    }
}

// Readable files of other sizes are taken as they are; nothing reads or
// writes outside the pictures, and the figure is composed with them.
TEST_P(PartLoadKeyTest, ReadableFilesOfOtherSizesAreTaken)
{
    const LoadCase& c = GetParam();
    for (auto [w, h] : {std::pair{7, 5}, std::pair{900, 800}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        WritePicture("vlm_part.bmp", w, h, 0x00204080);
        host_.ScriptOpenDialog("vlm_part.bmp");
        Type(c.key);
        EXPECT_TRUE(host_.MessageBoxes().empty());
        // The left figure's costume leaves the name a save proposes alone.
        EXPECT_EQ(S().*c.fileName, c.key == '_' ? "vlm_co" : "vlm_part.bmp");
        const TBitmap* target = c.target(*form_);
        // Plain parts take the file's size; strips keep theirs with the
        // picture in the lower cell.
        EXPECT_TRUE(Px(target, 3, 4) == 0x00204080 || Px(target, 3, target->GetHeight() / 2 + 2) == 0x00204080);
        Compose();
        Tick(40);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, PartLoadKeyTest, ::testing::ValuesIn(kLoads),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             return "key" + std::to_string(int(info.param.key));
                         });

TEST_F(PartLoadTest, StripLoadBuildsTheMaskCell)
{
    StartPortrait();
    WritePicture("vlm_fl7.bmp", 100, 120, 0x000000C0);
    host_.ScriptOpenDialog("vlm_fl7.bmp");
    Type('9');
    EXPECT_TRUE(S().FlowerShown);
    EXPECT_EQ(Px(form_->FlowerPict, 50, 180), 0x000000C0);
    EXPECT_EQ(Px(form_->FlowerPict, 50, 60), clBlack) << "opaque everywhere";

    // A smaller picture: the rest of the cell is transparent, not the old flower.
    WritePicture("vlm_fl8.bmp", 10, 10, 0x000000C0);
    host_.ScriptOpenDialog("vlm_fl8.bmp");
    Type('9');
    EXPECT_EQ(Px(form_->FlowerPict, 50, 180), clWhite);
    EXPECT_EQ(Px(form_->FlowerPict, 50, 60), clWhite);
    EXPECT_EQ(Px(form_->FlowerPict, 5, 5), clBlack);
}

} // namespace velmia::test
