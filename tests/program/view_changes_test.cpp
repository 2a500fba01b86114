// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// One view after another: what the first leaves behind must not show in the
// second. The pan does not reach the scene show; the close-up's unmagnified
// capture stays still, with input held, until the next press; the Pause key's
// flag says what priority the process really has.
#include "tests/program/pointer_support.h"

#include <string>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

std::vector<TColor> Pixels(HeadlessHost& host)
{
    const TBitmap& window = host.WindowPicture();
    std::vector<TColor> pixels;
    pixels.reserve(size_t(window.GetWidth()) * size_t(window.GetHeight()));
    for (int y = 0; y < window.GetHeight(); ++y)
        for (int x = 0; x < window.GetWidth(); ++x)
            pixels.push_back(window.GetPixelColor(x, y));
    return pixels;
}

size_t Differences(const std::vector<TColor>& a, const std::vector<TColor>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

class ViewChangeTest : public PointerTest {
protected:
    void StartPortrait()
    {
        PointerTest::StartPortrait();
        form_->RequestRedraw();
        Tick();
    }
};

// ---- The pan and the scene show -------------------------------------------------

struct PanRow {
    const char* name;
    uint16_t vk; // 0: wheel notches towards the user
    bool ctrl;
    int steps;
    void (*startShow)(HeadlessHost&);
};

void ByKeys(HeadlessHost& host)
{
    host.TypeChar('q');
    host.TypeChar('w');
}

// A double right press quits, so the show is started by one right press after
// the first show (which the keys q and w start) has been left with w.
void ByRightPress(HeadlessHost& host)
{
    ByKeys(host);
    host.TypeChar('w');
    host.RightPress(400, 300);
}

const PanRow kPans[] = {
    {"right_by_keys", VK_RIGHT, true, 3, ByKeys},
    {"left_by_keys", VK_LEFT, true, 2, ByKeys},
    {"small_steps_by_keys", VK_RIGHT, false, 4, ByKeys},
    {"right_by_right_press", VK_RIGHT, true, 2, ByRightPress},
    {"wheel_by_keys", 0, false, 6, ByKeys},
};

class PanShowTest : public ProgramTest, public ::testing::WithParamInterface<PanRow> {};

// The same show, with and without a pan before it, frame by frame.
TEST_P(PanShowTest, ShowDoesNotDependOnThePan)
{
    auto run = [&](bool panned) {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        EXPECT_FALSE(host.StartupFailed());
        host.FireTimer(form->Timer1);
        form->RequestRedraw();
        host.FireTimer(form->Timer1);
        // Each step asks for a redraw, which the next tick makes. Without the
        // pan, Insert (back to the remembered pan 0) asks for the same redraws:
        // the scenes and their alternating halves stay in step.
        const PanRow& row = GetParam();
        host.SetCursorToClient(400, 300);
        for (int i = 0; i < row.steps; ++i) {
            host.SetCtrl(panned && row.ctrl);
            if (!panned)
                host.PressKey(VK_INSERT);
            else if (row.vk)
                host.PressKey(row.vk);
            else
                host.Wheel(false);
            host.SetCtrl(false);
            host.FireTimer(form->Timer1);
        }
        EXPECT_EQ(form->State().PanX != 0, panned);
        GetParam().startShow(host);
        EXPECT_TRUE(form->State().ShowMode);
        std::vector<std::vector<TColor>> frames;
        for (int t = 0; t < 12; ++t) {
            host.FireTimer(form->Timer1, 5);
            frames.push_back(Pixels(host));
        }
        return frames;
    };
    const auto plain = run(false);
    const auto panned = run(true);
    ASSERT_EQ(plain.size(), panned.size());
    for (size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(Differences(plain[i], panned[i]), 0u) << "frame " << i;
}

INSTANTIATE_TEST_SUITE_P(Pans, PanShowTest, ::testing::ValuesIn(kPans),
                         [](const ::testing::TestParamInfo<PanRow>& info) { return info.param.name; });

// ---- The close-up's unmagnified capture -----------------------------------------

TEST_F(ViewChangeTest, UnmagnifiedCloseUpStaysStillUntilTheNextPress)
{
    StartPortrait();
    Key(VK_PRIOR);
    ASSERT_TRUE(S().CloseUpMode);
    Tick(3);
    host_.SetShift(true);
    host_.RightPress(400, 300);
    host_.SetShift(false);
    ASSERT_TRUE(S().CloseUpHalfShown);
    const auto still = Pixels(host_);

    // A whole close-up cycle: no overlay, no change, input held.
    for (int t = 0; t < 301; ++t) {
        Tick();
        ASSERT_FALSE(form_->CloseEye_disp_stretch->GetVisible()) << "tick " << t;
        ASSERT_TRUE(S().Busy) << "tick " << t;
    }
    EXPECT_EQ(Differences(Pixels(host_), still), 0u);
    const int zoom = S().ZoomPercent;
    Key(VK_UP);
    Key(VK_PRIOR);
    host_.Wheel(true);
    host_.Wheel(false);
    EXPECT_EQ(S().ZoomPercent, zoom);
    EXPECT_TRUE(S().Busy);
    EXPECT_EQ(Differences(Pixels(host_), still), 0u);

    // The next press brings the magnified view back; then Up zooms it.
    host_.LeftPress(400, 300);
    EXPECT_FALSE(S().CloseUpHalfShown);
    EXPECT_FALSE(S().Busy);
    EXPECT_NE(Differences(Pixels(host_), still), 0u);
    Tick();
    EXPECT_FALSE(S().Busy);
    Key(VK_UP);
    EXPECT_EQ(S().ZoomPercent, zoom + 10);
}

TEST_F(ViewChangeTest, EscapeFromTheUnmagnifiedCloseUpEndsItsHold)
{
    StartPortrait();
    Key(VK_PRIOR);
    host_.SetShift(true);
    host_.RightPress(400, 300);
    host_.SetShift(false);
    ASSERT_TRUE(S().CloseUpHalfShown);
    host_.TypeChar(27);
    EXPECT_FALSE(S().CloseUpMode);
    EXPECT_FALSE(S().CloseUpHalfShown);
    EXPECT_FALSE(S().Busy);
    EXPECT_TRUE(S().PortraitMode);
    Tick(2);
    // A press in the portrait is a press in the portrait again.
    host_.LeftPress(400, 300);
    EXPECT_FALSE(S().CloseUpMode);
    EXPECT_FALSE(S().CloseUpRestored);
}

// ---- The first minute: the way back from the grey and four-figure views, and
// the keys that rewind the automatic changes ----------------------------------------

struct WayBackRow {
    const char* name;
    void (*enter)(HeadlessHost&); // null: `leave` is a key of the view `before` leaves her in
    void (*leave)(HeadlessHost&);
    const char* before = ""; // typed first, in the same tick ("qw": the show)
};

void ShiftDoubleClick(HeadlessHost& host)
{
    host.SetShift(true);
    host.DoubleClick(400, 300);
    host.SetShift(false);
}

void ShiftRightPress(HeadlessHost& host)
{
    host.SetShift(true);
    host.RightPress(400, 300);
    host.SetShift(false);
}

void PlainClick(HeadlessHost& host)
{
    host.Click(400, 300);
}

void PlainRightPress(HeadlessHost& host)
{
    host.RightPress(400, 300);
}

template <char key> void Typed(HeadlessHost& host)
{
    host.TypeChar(key);
}

const WayBackRow kWayBacks[] = {
    {"grey_left_by_click", ShiftDoubleClick, PlainClick},
    {"four_figures_left_by_click", ShiftRightPress, PlainClick},
    {"four_figures_left_by_right_press", ShiftRightPress, PlainRightPress},
    {"face_change_switched", nullptr, Typed<'f'>},
    {"earring_change_switched", nullptr, Typed<'e'>},
    {"bracelet_change_switched", nullptr, Typed<'b'>},
    {"show_left_face_change_switched", nullptr, Typed<'F'>, "qw"},
    {"show_left_earring_change_switched", nullptr, Typed<'E'>, "qw"},
    {"show_left_bracelet_change_switched", nullptr, Typed<'B'>, "qw"},
};

class WayBackTest : public ProgramTest, public ::testing::WithParamInterface<WayBackRow> {};

// In the first minute no cycle end has advanced the scene yet: the way back,
// and the keys that switch the automatic changes (which undo what the last
// scene change advanced), show the scene the user left, as a redraw without
// them does; never the night sky.
TEST_P(WayBackTest, FirstMinuteShowsTheSceneLeft)
{
    const WayBackRow& row = GetParam();
    auto run = [&](bool viaView) {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        EXPECT_FALSE(host.StartupFailed());
        host.FireTimer(form->Timer1, 3);
        host.TypeText(row.before);
        if (viaView) {
            if (row.enter) {
                row.enter(host);
                EXPECT_FALSE(form->State().PortraitMode);
                host.FireTimer(form->Timer1, 3);
                // Past the double right press that quits.
                host.FireTimer(form->Timer1, 2);
            }
            row.leave(host);
        } else {
            form->StepBackCounters();
            form->RequestRedraw();
        }
        EXPECT_TRUE(form->State().PortraitMode || form->State().ShowMode);
        host.FireTimer(form->Timer1);
        EXPECT_EQ(form->State().CurrentScene, 0);
        return Pixels(host);
    };
    EXPECT_EQ(Differences(run(true), run(false)), 0u);
}

INSTANTIATE_TEST_SUITE_P(Views, WayBackTest, ::testing::ValuesIn(kWayBacks),
                         [](const ::testing::TestParamInfo<WayBackRow>& info) { return info.param.name; });

// ---- Pause ----------------------------------------------------------------------

TEST_F(ViewChangeTest, PauseFlagFollowsThePriorityTheSystemGranted)
{
    StartPortrait();
    const struct {
        bool refused;
        bool lowAfterSecondPause;
        TPriority priority;
    } rows[] = {{false, false, TPriority::Normal}, {true, true, TPriority::Idle}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.refused ? "refused" : "granted");
        host_.SetPriorityRefused(r.refused);
        Key(VK_PAUSE);
        EXPECT_TRUE(S().LowPriority);
        EXPECT_EQ(host_.Priority(), TPriority::Idle);
        Key(VK_PAUSE);
        EXPECT_EQ(S().LowPriority, r.lowAfterSecondPause);
        EXPECT_EQ(host_.Priority(), r.priority);
        // Pressed again, a refused raise keeps everything as it is.
        host_.SetPriorityRefused(false);
        if (S().LowPriority)
            Key(VK_PAUSE);
        EXPECT_FALSE(S().LowPriority);
    }
}

} // namespace
} // namespace velmia::test
