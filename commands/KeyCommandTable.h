// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The character commands as one table: for every command its keys, the
// figure it acts on, the states in which it is ignored, the action and the
// steps around it, and the text the key help shows for it. FormKeyPress looks
// a key up here; `velmia --help`, the manual page and the README are written
// from the same rows.
//
// A lower-case key acts on the main figure (the portrait, and the right
// figure of the scene show); the matching upper-case or shifted character
// acts on the show's left figure and works only while the show runs.
#pragma once

#include "shell/Velmiaunit1.h"
#include "toolkit/Intl.h"

#include <array>
#include <cstdint>
#include <string_view>

enum class KeyCommand : uint8_t {
    CloseEyes,
    LeftCloseEyes,
    FaceAuto,
    LeftFaceAuto,
    EarringAuto,
    LeftEarringAuto,
    EarringFrame,
    LeftEarringFrame,
    BraceletAuto,
    LeftBraceletAuto,
    Bracelet,
    LeftBracelet,
    LongHair,
    LeftLongHair,
    HairHidden,
    LeftHairHidden,
    Shaggy,
    LeftShaggy,
    Pank,
    LeftPank,
    Otohime,
    LeftOtohime,
    StringPattern,
    LeftStringPattern,
    Camisole,
    LeftCamisole,
    Ribbon,
    LeftRibbon,
    Hairband,
    LeftHairband,
    Flower,
    LeftFlower,
    Choker,
    LeftChoker,
    CostumeFile,
    LeftCostumeFile,
    CamisoleFile,
    LeftCamisoleFile,
    ChokerFile,
    LeftChokerFile,
    FlowerFile,
    LeftFlowerFile,
    HairbandFile,
    LeftHairbandFile,
    RibbonFile,
    LeftRibbonFile,
    HemColour,
    LeftHemColour,
    ExchangeFigure,
    ShowSwitch,
    ExchangeShowFigures,
    NextScene,
    SceneCellColour,
    SceneListFile,
    SaveCostume,
    SaveSceneList,
};

struct PartFileColumn {
    TSvelmia::PartKind kind{};
    const char* offered = nullptr;
};

// States in which a command is ignored. "With" and "Needs" read the flags of
// the row's figure (LongHair or LeftLongHair, and so on).
enum class Guard : uint16_t {
    InEveryView = 0,
    NotInView = 1 << 0, // the grey view and the four-figure view
    ShowOnly = 1 << 1,
    NotInShow = 1 << 2,
    NotWithLongHair = 1 << 3,
    NotWithCamisole = 1 << 4,
    NeedsBracelet = 1 << 5,      // the figure's bracelet shown
    NeedsEarringFrames = 1 << 6, // the earring frame pictures loaded
    NeedsShaggy = 1 << 7,        // the hair style's pictures loaded
    NeedsPank = 1 << 8,
    NeedsOtohime = 1 << 9,
};

constexpr Guard operator|(Guard a, Guard b)
{
    return static_cast<Guard>(static_cast<uint16_t>(a) | static_cast<uint16_t>(b));
}

constexpr bool HasGuard(Guard set, Guard guard)
{
    return (static_cast<uint16_t>(set) & static_cast<uint16_t>(guard)) != 0;
}

// One step of a command, in the order of its row's closing.
enum class Step : uint8_t {
    End,
    Act,                 // the action
    TryAct,              // the action; the later steps only when it returns true
    Redraw,              // ask the next tick to recompose
    StepBack,            // the automatic counters one back, so that the cycle end
                         // brings back the same scene and cells
    StepBackOutsideShow, // the same, unless the command started in the show
};

using Closing = std::array<Step, 3>;

// The closings in use, named by their steps.
constexpr Closing kAct{Step::Act};
constexpr Closing kActRedraw{Step::Act, Step::Redraw};
constexpr Closing kActStepBackRedraw{Step::Act, Step::StepBack, Step::Redraw};
constexpr Closing kActRedrawStepBack{Step::Act, Step::Redraw, Step::StepBack};
constexpr Closing kStepBackActRedraw{Step::StepBack, Step::Act, Step::Redraw};
constexpr Closing kTryRedraw{Step::TryAct, Step::Redraw};
constexpr Closing kTryStepBackRedraw{Step::TryAct, Step::StepBack, Step::Redraw};
constexpr Closing kTryRedrawStepBackOutsideShow{Step::TryAct, Step::Redraw, Step::StepBackOutsideShow};
constexpr Closing kTryStepBackOutsideShowRedraw{Step::TryAct, Step::StepBackOutsideShow, Step::Redraw};

struct KeyCommandRow {
    std::string_view keys; // each character is one key
    KeyCommand command;
    Figure figure;
    Guard guard;
    Closing closing;
    // Acts on the row's figure. Returns whether the command went through:
    // false when the user cancelled a dialog, a file could not be read, or
    // nothing on screen changed.
    bool (TSvelmia::*action)(const KeyCommandRow& row);
    // The key help's text. A left-figure row without one is listed with the
    // main-figure row above it.
    std::string_view what = {};
    // How to type a left-figure key whose place differs between keyboards.
    std::string_view typing = {};
    // A condition the guard flags do not cover; null for none.
    bool (TSvelmia::*allowed)() const = nullptr;
    // The rows that load a part file: its kind, and the name the open dialog
    // offers at first.
    PartFileColumn file = {};
};

// In the order a new user meets them: the figure first, then the hair, the
// parts, the views, the files. A left-figure twin follows its main row.
inline constexpr std::array kKeyCommands = {
    // clang-format off
    KeyCommandRow{"x", KeyCommand::CloseEyes, Figure::Main, Guard::InEveryView, kActRedraw,
                  &TSvelmia::CloseOrOpenEyes,
                  N_("Close or open the eyes (x also in the close-up, grey and four-figure views)")},
    KeyCommandRow{"X", KeyCommand::LeftCloseEyes, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::CloseOrOpenEyes},
    KeyCommandRow{"f", KeyCommand::FaceAuto, Figure::Main, Guard::NotInView, kActRedraw,
                  &TSvelmia::ToggleFaceAuto, N_("The face changes at every scene change, on or off")},
    KeyCommandRow{"F", KeyCommand::LeftFaceAuto, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::ToggleFaceAuto},
    KeyCommandRow{"e", KeyCommand::EarringAuto, Figure::Main, Guard::NotInView, kActRedraw,
                  &TSvelmia::ToggleEarringAuto, N_("The earrings change at every scene change, on or off")},
    KeyCommandRow{"E", KeyCommand::LeftEarringAuto, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::ToggleEarringAuto},
    KeyCommandRow{"g", KeyCommand::EarringFrame, Figure::Main, Guard::NotInView | Guard::NeedsEarringFrames,
                  kActStepBackRedraw, &TSvelmia::NextEarringFrame, N_("Next earring frame (five)")},
    KeyCommandRow{"G", KeyCommand::LeftEarringFrame, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NeedsEarringFrames, kActRedraw,
                  &TSvelmia::NextEarringFrame},
    KeyCommandRow{"b", KeyCommand::BraceletAuto, Figure::Main,
                  Guard::NotInView | Guard::NeedsBracelet | Guard::NotInShow, kActRedraw,
                  &TSvelmia::ToggleBraceletAuto,
                  N_("The bracelet changes at every scene change, on or off (b only in the portrait)")},
    KeyCommandRow{"B", KeyCommand::LeftBraceletAuto, Figure::Left,
                  Guard::NotInView | Guard::NeedsBracelet | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::ToggleBraceletAuto},
    KeyCommandRow{"n", KeyCommand::Bracelet, Figure::Main, Guard::NotInView, kStepBackActRedraw,
                  &TSvelmia::ToggleBracelet, N_("Bracelet shown or hidden")},
    KeyCommandRow{"N", KeyCommand::LeftBracelet, Figure::Left, Guard::NotInView | Guard::ShowOnly,
                  kStepBackActRedraw, &TSvelmia::ToggleBracelet},
    KeyCommandRow{"l", KeyCommand::LongHair, Figure::Main, Guard::NotInView, kStepBackActRedraw,
                  &TSvelmia::ToggleLongHair, N_("Long hair on or off")},
    KeyCommandRow{"L", KeyCommand::LeftLongHair, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::ToggleLongHair},
    KeyCommandRow{"c", KeyCommand::HairHidden, Figure::Main, Guard::NotInView | Guard::NotWithLongHair,
                  kStepBackActRedraw, &TSvelmia::ToggleHairHidden,
                  N_("Standard hair hidden or shown (not with long hair)")},
    KeyCommandRow{"C", KeyCommand::LeftHairHidden, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NotWithLongHair, kActRedraw,
                  &TSvelmia::ToggleHairHidden},
    KeyCommandRow{"y", KeyCommand::Shaggy, Figure::Main, Guard::NotInView | Guard::NeedsShaggy,
                  kStepBackActRedraw, &TSvelmia::ToggleShaggy, N_("Shaggy hair style on or off")},
    KeyCommandRow{"Y", KeyCommand::LeftShaggy, Figure::Left, Guard::NotInView | Guard::ShowOnly | Guard::NeedsShaggy,
                  kActRedraw, &TSvelmia::ToggleShaggy},
    KeyCommandRow{"p", KeyCommand::Pank, Figure::Main, Guard::NotInView | Guard::NeedsPank, kStepBackActRedraw,
                  &TSvelmia::TogglePank, N_("Punk hair style on or off")},
    KeyCommandRow{"P", KeyCommand::LeftPank, Figure::Left, Guard::NotInView | Guard::ShowOnly | Guard::NeedsPank,
                  kActRedraw, &TSvelmia::TogglePank},
    KeyCommandRow{"o", KeyCommand::Otohime, Figure::Main, Guard::NotInView | Guard::NeedsOtohime,
                  kStepBackActRedraw, &TSvelmia::ToggleOtohime, N_("Otohime hair style on or off")},
    KeyCommandRow{"O", KeyCommand::LeftOtohime, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NeedsOtohime, kActRedraw,
                  &TSvelmia::ToggleOtohime},
    KeyCommandRow{"v", KeyCommand::StringPattern, Figure::Main, Guard::NotInView | Guard::NotWithCamisole,
                  kStepBackActRedraw, &TSvelmia::NextStringPattern,
                  N_("Next string pattern: single, thick, W, cross, none (not with the camisole)")},
    KeyCommandRow{"V", KeyCommand::LeftStringPattern, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NotWithCamisole, kActRedraw,
                  &TSvelmia::NextStringPattern},
    KeyCommandRow{"a", KeyCommand::Camisole, Figure::Main, Guard::NotInView, kActStepBackRedraw,
                  &TSvelmia::ToggleCamisole, N_("Camisole instead of the string pattern, on or off")},
    KeyCommandRow{"A", KeyCommand::LeftCamisole, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::ToggleCamisole},
    KeyCommandRow{"r", KeyCommand::Ribbon, Figure::Main, Guard::NotInView, kActStepBackRedraw,
                  &TSvelmia::ToggleRibbon, N_("Ribbon shown or hidden")},
    KeyCommandRow{"R", KeyCommand::LeftRibbon, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::ToggleRibbon},
    KeyCommandRow{"h", KeyCommand::Hairband, Figure::Main, Guard::NotInView | Guard::NotWithLongHair,
                  kActStepBackRedraw, &TSvelmia::ToggleHairband, N_("Hairband shown or hidden (not with long hair)")},
    KeyCommandRow{"H", KeyCommand::LeftHairband, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NotWithLongHair, kActRedraw,
                  &TSvelmia::ToggleHairband},
    KeyCommandRow{"t", KeyCommand::Flower, Figure::Main, Guard::NotInView, kActStepBackRedraw,
                  &TSvelmia::NextFlowerPlace,
                  N_("Flower in the hair, on the chest, hidden (with long hair: on the chest or hidden)")},
    KeyCommandRow{"T", KeyCommand::LeftFlower, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::NextFlowerPlace},
    KeyCommandRow{"k", KeyCommand::Choker, Figure::Main, Guard::NotInView, kActStepBackRedraw,
                  &TSvelmia::ToggleChoker, N_("Choker shown or hidden")},
    KeyCommandRow{"K", KeyCommand::LeftChoker, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::ToggleChoker},
    KeyCommandRow{"\\", KeyCommand::CostumeFile, Figure::Main, Guard::NotInView, kTryRedrawStepBackOutsideShow,
                  &TSvelmia::LoadPartFile, N_("Load a costume file and wear it"), {}, nullptr,
                  {TSvelmia::kPartCostume, "vlm_co"}},
    KeyCommandRow{"_|", KeyCommand::LeftCostumeFile, Figure::Left, Guard::NotInView | Guard::ShowOnly, kTryRedraw,
                  &TSvelmia::LoadPartFile, {}, N_("type _ or |, whichever Shift gives on your \\ key"), nullptr,
                  {TSvelmia::kPartCostume, "vlm_co"}},
    KeyCommandRow{"7", KeyCommand::CamisoleFile, Figure::Main, Guard::NotInView, kTryRedrawStepBackOutsideShow,
                  &TSvelmia::LoadPartFile, N_("Load a camisole file and wear it"), {}, nullptr,
                  {TSvelmia::kPartCamisole, "vlm_ca"}},
    KeyCommandRow{"'", KeyCommand::LeftCamisoleFile, Figure::Left, Guard::NotInView | Guard::ShowOnly, kTryRedraw,
                  &TSvelmia::LoadPartFile, {}, N_("Shift+7 on a Japanese keyboard, ' on a US one"), nullptr,
                  {TSvelmia::kPartCamisole, "vlm_ca"}},
    KeyCommandRow{"8", KeyCommand::ChokerFile, Figure::Main, Guard::NotInView, kActStepBackRedraw,
                  &TSvelmia::LoadPartFile, N_("Load a choker file and wear it"), {}, nullptr,
                  {TSvelmia::kPartChoker, "vlm_ch"}},
    KeyCommandRow{"(", KeyCommand::LeftChokerFile, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::LoadPartFile, {}, N_("Shift+8 on a Japanese keyboard, Shift+9 on a US one"), nullptr,
                  {TSvelmia::kPartChoker, "vlm_ch"}},
    KeyCommandRow{"9", KeyCommand::FlowerFile, Figure::Main, Guard::NotInView | Guard::NotWithLongHair,
                  kActStepBackRedraw, &TSvelmia::LoadPartFile,
                  N_("Load a flower file and wear it (not with long hair)"), {}, nullptr,
                  {TSvelmia::kPartFlower, "vlm_fl"}},
    KeyCommandRow{")", KeyCommand::LeftFlowerFile, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NotWithLongHair, kActRedraw,
                  &TSvelmia::LoadPartFile, {}, N_("Shift+9 on a Japanese keyboard, Shift+0 on a US one"), nullptr,
                  {TSvelmia::kPartFlower, "vlm_fl"}},
    KeyCommandRow{"0", KeyCommand::HairbandFile, Figure::Main, Guard::NotInView | Guard::NotWithLongHair,
                  kActRedrawStepBack, &TSvelmia::LoadPartFile,
                  N_("Load a hairband file and wear it (not with long hair)"), {}, nullptr,
                  {TSvelmia::kPartHairBand, "vlm_hb"}},
    KeyCommandRow{"~", KeyCommand::LeftHairbandFile, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NotWithLongHair, kActRedraw,
                  &TSvelmia::LoadPartFile, {}, N_("Shift+^ on a Japanese keyboard, Shift+` on a US one"), nullptr,
                  {TSvelmia::kPartHairBand, "vlm_hb"}},
    KeyCommandRow{"-", KeyCommand::RibbonFile, Figure::Main, Guard::NotInView, kActStepBackRedraw,
                  &TSvelmia::LoadPartFile, N_("Load a ribbon file and wear it"), {}, nullptr,
                  {TSvelmia::kPartRibbon, "vlm_ribborn"}},
    KeyCommandRow{"=", KeyCommand::LeftRibbonFile, Figure::Left, Guard::NotInView | Guard::ShowOnly, kActRedraw,
                  &TSvelmia::LoadPartFile, {}, N_("Shift+- on a Japanese keyboard, = on a US one"), nullptr,
                  {TSvelmia::kPartRibbon, "vlm_ri"}},
    KeyCommandRow{"2", KeyCommand::HemColour, Figure::Main, Guard::NotInView | Guard::NotWithCamisole,
                  kTryStepBackOutsideShowRedraw, &TSvelmia::RecolourHem,
                  N_("Choose the colour of the costume's hem (not with the camisole)")},
    KeyCommandRow{"\"", KeyCommand::LeftHemColour, Figure::Left,
                  Guard::NotInView | Guard::ShowOnly | Guard::NotWithCamisole, kTryRedraw,
                  &TSvelmia::RecolourHem, {}, N_("Shift+2 on a Japanese keyboard, Shift+' on a US one")},
    KeyCommandRow{"q", KeyCommand::ExchangeFigure, Figure::Main, Guard::NotInView, kTryRedraw,
                  &TSvelmia::ExchangeFigure,
                  N_("Portrait: copy the figure into the show's left figure. Show: take the left figure into the "
                  "portrait (q or w brings the show back)")},
    KeyCommandRow{"w", KeyCommand::ShowSwitch, Figure::Main, Guard::NotInView, kActRedraw,
                  &TSvelmia::SwitchShow,
                  N_("Start the scene show once q has given it a left figure; in the show: back to the portrait"), {},
                  &TSvelmia::ShowHasLeftFigure},
    KeyCommandRow{"W", KeyCommand::ExchangeShowFigures, Figure::Left, Guard::NotInView | Guard::ShowOnly,
                  kActRedraw, &TSvelmia::ExchangeShowFigures, N_("Exchange the two figures of the show")},
    KeyCommandRow{"\r ", KeyCommand::NextScene, Figure::Main, Guard::NotInView, kActRedraw,
                  &TSvelmia::ReadyNextScene, N_("Next scene; with Shift, skip one more")},
    KeyCommandRow{"1", KeyCommand::SceneCellColour, Figure::Main, Guard::NotInView | Guard::NotInShow,
                  kTryStepBackRedraw, &TSvelmia::RecolourSceneCell,
                  N_("Choose a new colour for the scene tile on screen (portrait only, not the strawberry scene)"), {},
                  &TSvelmia::SceneCellOnScreen},
    KeyCommandRow{"^", KeyCommand::SceneListFile, Figure::Main, Guard::NotInView | Guard::NotInShow,
                  kTryStepBackRedraw, &TSvelmia::LoadSceneListFile, N_("Load a scene list file (portrait only)")},
    KeyCommandRow{"s", KeyCommand::SaveCostume, Figure::Main, Guard::NotInView | Guard::NotInShow, kAct,
                  &TSvelmia::SaveCostume, N_("Save the costume as a picture file (portrait only)")},
    KeyCommandRow{"d", KeyCommand::SaveSceneList, Figure::Main, Guard::NotInView | Guard::NotInShow, kAct,
                  &TSvelmia::SaveSceneList, N_("Save the scene list as a picture file (portrait only)")},
    // clang-format on
};

// The keys for the window itself. They act as soon as the key arrives, in
// every view and while the form is busy, but not while the part browser is
// open, and they change nothing of the figure. The key help lists them after
// the commands.
struct WindowKeyRow {
    std::string_view key; // one character
    void (TSvelmia::*action)();
    std::string_view what;
};

inline constexpr std::array kWindowKeys = {
    WindowKeyRow{"]", &TSvelmia::ToggleMousePointer, N_("Hide or show the mouse pointer")},
    WindowKeyRow{"m", &TSvelmia::MinimiseWindow, N_("Minimise the window")},
};

constexpr const WindowKeyRow* FindWindowKey(char key)
{
    for (const WindowKeyRow& row : kWindowKeys)
        if (row.key.front() == key)
            return &row;
    return nullptr;
}

// The row of a key; null for a key that is no command.
constexpr const KeyCommandRow* FindKeyCommand(char key)
{
    for (const KeyCommandRow& row : kKeyCommands)
        if (row.keys.find(key) != std::string_view::npos)
            return &row;
    return nullptr;
}
