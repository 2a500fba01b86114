// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Input at any speed. A key held down repeats 25 to 30 times a second and a
// wheel spun fast gives as many notches, more than the ticks: each row runs
// the same input twice on fresh forms, once one event per tick and once as a
// burst within one tick, and the two must end alike (the tick count aside).
// And the ticks keep their rhythm however fast the keys come.
#include "tests/program/ProgramFixture.h"
#include "tests/program/state_snapshot.h"

#include <functional>
#include <string>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

// One input event: a typed character, a key that makes none (with Shift and
// Ctrl), a wheel notch, a right press.
struct Input {
    enum Kind { Char, Key, WheelUp, WheelDown, RightPress } kind = Char;
    int code = 0;
    bool shift = false;
    bool ctrl = false;
};

Input Ch(char c, bool shift = false)
{
    return {Input::Char, c, shift};
}
Input Vk(uint16_t vk, bool shift = false, bool ctrl = false)
{
    return {Input::Key, vk, shift, ctrl};
}
std::vector<Input> Repeat(const Input& in, int n)
{
    return std::vector<Input>(size_t(n), in);
}

void Deliver(HeadlessHost& host, const Input& in)
{
    host.SetShift(in.shift);
    host.SetCtrl(in.ctrl);
    switch (in.kind) {
    case Input::Char:
        host.TypeChar(char(in.code));
        break;
    case Input::Key:
        host.PressKey(uint16_t(in.code), in.code == VK_RETURN ? '\r' : 0);
        break;
    case Input::WheelUp:
    case Input::WheelDown:
        host.SetCursorToClient(400, 300);
        host.Wheel(in.kind == Input::WheelUp);
        break;
    case Input::RightPress:
        host.RightPress(400, 300);
        break;
    }
    host.SetShift(false);
    host.SetCtrl(false);
}

struct BurstRow {
    const char* name;
    // Typed first, a tick after each, then `ticks` more: the same in both runs.
    std::string before;
    int ticks;
    std::vector<Input> burst;
    // Answers of the dialogs the burst opens, in order.
    std::vector<TColor> colours = {};
};

// Automatic face, earrings and bracelet, two scene changes behind her.
const std::string kAuto = "feb";
constexpr int kTwoScenes = 2 * 601;

const BurstRow kBursts[] = {
    {"earring_frame_then_two_pans", kAuto, kTwoScenes, {Ch('g'), Vk(VK_RIGHT), Vk(VK_RIGHT)}},
    {"earring_frame_typed_twice", kAuto, kTwoScenes, {Ch('g'), Ch('g')}},
    {"left_held", kAuto, kTwoScenes, Repeat(Vk(VK_LEFT), 20)},
    {"wheel_spun", kAuto, kTwoScenes, Repeat({Input::WheelUp}, 20)},
    {"ribbon_and_hairband", "", kTwoScenes, {Ch('r'), Ch('h'), Ch('r'), Ch('k')}},
    {"enter_twice", kAuto, kTwoScenes, {Vk(VK_RETURN), Vk(VK_RETURN)}},
    {"shift_enter_between", kAuto, kTwoScenes, {Ch('g'), Vk(VK_RETURN, true), Vk(VK_RETURN)}},
    {"face_change_on_and_off", "", kTwoScenes, {Ch('f'), Ch('f'), Ch('e')}},
    {"eyes_closed_and_opened", kAuto, kTwoScenes, {Ch('x'), Ch('x'), Ch('x')}},
    {"pan_then_close_up", kAuto, kTwoScenes, {Vk(VK_RIGHT), Ch('r'), Vk(VK_PRIOR)}},
    {"ribbon_then_copy_to_the_left", kAuto, kTwoScenes, {Ch('r'), Ch('q'), Ch('w')}},
    {"ribbon_then_scene_colour", kAuto, kTwoScenes, {Ch('r'), Ch('1')}, {0x0000FF}},
    {"show_left_frames", kAuto + "qwEF", kTwoScenes, {Ch('G'), Ch('G'), Ch('R')}},
    {"show_spacing_held", kAuto + "qwEF", kTwoScenes, Repeat(Vk(VK_LEFT), 6)},
    {"show_left_for_the_portrait", kAuto + "qwEF", kTwoScenes, {Ch('g'), {Input::RightPress}}},
    {"four_figures_and_back", kAuto, kTwoScenes, {Ch('g'), {Input::RightPress, 0, true}, Ch('x'), Ch('x')}},
    {"first_minute", "", 5, {Ch('g'), Ch('f'), Vk(VK_RIGHT), Ch('e')}},
};

class BurstTest : public ProgramTest, public ::testing::WithParamInterface<BurstRow> {};

// What the two runs must share: everything but the tick count and the ticks
// remembered from it.
Snapshot Comparable(TSvelmia& form)
{
    Snapshot s = TakeSnapshot(form);
    for (const char* tickBound : {"TickCount", "LastRightClickTick", "LastEyeSwapTick"})
        s.erase(tickBound);
    return s;
}

// Whether an input asked for a redraw or changed the view (whose tick then
// starts its own cycle).
bool RestartsCycle(const Snapshot& before, const Snapshot& after)
{
    for (const char* name : {"CycleCounter", "PortraitMode", "ShowMode", "GrayMode", "QuadMode", "CloseUpMode"})
        if (before.at(name) != after.at(name))
            return true;
    return false;
}

TEST_P(BurstTest, ABurstWithinOneTickEndsAsOneEventPerTick)
{
    const BurstRow& row = GetParam();
    // One per tick: the tick after the last input that asks for a redraw (or
    // starts a view's cycle) draws it, and the ticks after that count on. The
    // burst gets those ticks after its one tick.
    int ticksAfter = 0;
    auto run = [&](bool burst, std::unique_ptr<TBitmap>& window) {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        EXPECT_FALSE(host.StartupFailed());
        host.FireTimer(form->Timer1);
        for (char c : row.before) {
            host.TypeChar(c);
            host.FireTimer(form->Timer1);
        }
        host.FireTimer(form->Timer1, row.ticks);
        for (TColor c : row.colours)
            host.ScriptColor(c);
        for (const Input& in : row.burst) {
            const Snapshot was = TakeSnapshot(*form, false);
            Deliver(host, in);
            if (!burst) {
                ticksAfter = RestartsCycle(was, TakeSnapshot(*form, false)) ? 1 : ticksAfter + 1;
                host.FireTimer(form->Timer1);
            }
        }
        if (burst)
            host.FireTimer(form->Timer1, ticksAfter);
        window = std::make_unique<TBitmap>();
        window->Assign(host.WindowPicture());
        return Comparable(*form);
    };
    std::unique_ptr<TBitmap> spacedWindow, burstWindow;
    const Snapshot spaced = run(false, spacedWindow);
    const Snapshot burst = run(true, burstWindow);
    for (const std::string& d : Differences(spaced, burst))
        ADD_FAILURE() << "one per tick -> burst: " << d;
    long differing = 0;
    for (int y = 0; y < spacedWindow->GetHeight(); ++y)
        for (int x = 0; x < spacedWindow->GetWidth(); ++x)
            differing += spacedWindow->GetPixelColor(x, y) != burstWindow->GetPixelColor(x, y);
    EXPECT_EQ(differing, 0) << "window pixels differ";
}

INSTANTIATE_TEST_SUITE_P(Inputs, BurstTest, ::testing::ValuesIn(kBursts),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The ticks keep their rhythm --------------------------------------------------

struct RhythmRow {
    const char* name;
    std::vector<Input> before; // in both runs, a tick after each
    Input repeated;            // every 33 ms in one run
};

const RhythmRow kRhythms[] = {
    {"no_command_key", {}, Ch('z')},
    {"function_key_without_command", {}, Vk(VK_F8)},
    {"left_at_the_pan_limit", Repeat(Vk(VK_LEFT, false, true), 8), Vk(VK_LEFT)},
};

class RhythmTest : public ProgramTest, public ::testing::WithParamInterface<RhythmRow> {};

// A minute and two seconds of keys repeating 30 times a second: she breathes,
// blinks and changes the scene as she does without them.
TEST_P(RhythmTest, KeysRepeatingFasterThanTheTicksDelayNoTick)
{
    const RhythmRow& row = GetParam();
    auto run = [&](bool keys, std::unique_ptr<TBitmap>& window) {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        EXPECT_FALSE(host.StartupFailed());
        host.FireTimer(form->Timer1);
        for (const Input& in : row.before) {
            Deliver(host, in);
            host.FireTimer(form->Timer1);
        }
        const int start = form->State().TickCount;
        for (int t = 0; t < 62000; t += 33) {
            host.AdvanceTime(33);
            if (keys)
                Deliver(host, row.repeated);
        }
        window = std::make_unique<TBitmap>();
        window->Assign(host.WindowPicture());
        const PortraitState& s = form->State();
        return std::vector<int>{s.TickCount - start, s.CycleCounter, s.SceneIndex, s.PanX};
    };
    std::unique_ptr<TBitmap> plain, pressed;
    const std::vector<int> without = run(false, plain);
    const std::vector<int> with = run(true, pressed);
    EXPECT_GE(without[0], 600);
    EXPECT_EQ(with, without) << "ticks, cycle, scene, pan";
    long differing = 0;
    for (int y = 0; y < plain->GetHeight(); ++y)
        for (int x = 0; x < plain->GetWidth(); ++x)
            differing += plain->GetPixelColor(x, y) != pressed->GetPixelColor(x, y);
    EXPECT_EQ(differing, 0) << "window pixels differ";
}

INSTANTIATE_TEST_SUITE_P(Keys, RhythmTest, ::testing::ValuesIn(kRhythms),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmia::test
