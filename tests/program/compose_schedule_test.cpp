// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The window sleeps through the ticks that only count. In every view, driven
// tick by tick for two cycles, the ticks that change a pixel are exactly the
// ticks Timer1 wakes for when it sleeps as long as TicksUntilChange says.
#include "tests/program/pointer_support.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

using namespace vcl;

namespace velmia::test {
namespace {

struct ScheduleRow {
    const char* name;
    void (*enter)(HeadlessHost& host, TSvelmia& form);
    int ticks;
    // False where the artwork may repeat pixels at a tick that draws (star
    // cells alike, the shooting star's first corner all sky): the timer wakes
    // for those ticks all the same.
    bool exact = true;
};

void Recompose(HeadlessHost& host, TSvelmia& form)
{
    form.RequestRedraw();
    host.FireTimer(form.Timer1);
}

// q gives the show its left figure, w starts it; X closes the left figure's
// eyes, x the right one's.
void Show(HeadlessHost& host, TSvelmia&)
{
    host.TypeText("qw");
    host.FireTimer("Timer1");
}

const ScheduleRow kViews[] = {
    {"portrait", [](HeadlessHost& h, TSvelmia& f) { Recompose(h, f); }, 1202},
    {"portrait_eyes_closed",
     [](HeadlessHost& h, TSvelmia& f) {
         h.TypeChar('x');
         h.FireTimer("Timer1");
         (void)f;
     },
     1202},
    {"left_figure_in_the_portrait",
     [](HeadlessHost& h, TSvelmia& f) {
         Show(h, f);
         h.TypeChar('q');
         h.FireTimer("Timer1");
     },
     1202},
    {"show", Show, 1202},
    {"show_left_figure_eyes_closed",
     [](HeadlessHost& h, TSvelmia& f) {
         Show(h, f);
         h.TypeChar('X');
         h.FireTimer("Timer1");
     },
     1202},
    {"show_right_figure_eyes_closed",
     [](HeadlessHost& h, TSvelmia& f) {
         Show(h, f);
         h.TypeChar('x');
         h.FireTimer("Timer1");
     },
     1202},
    {"grey",
     [](HeadlessHost& h, TSvelmia&) {
         h.SetShift(true);
         h.DoubleClick(400, 300);
         h.SetShift(false);
     },
     1202},
    {"four_figure",
     [](HeadlessHost& h, TSvelmia&) {
         h.SetShift(true);
         h.RightPress(400, 300);
         h.SetShift(false);
     },
     1202},
    {"four_figure_eyes_closed",
     [](HeadlessHost& h, TSvelmia&) {
         h.SetShift(true);
         h.RightPress(400, 300);
         h.SetShift(false);
         h.TypeChar('x');
     },
     1202},
    {"close_up", [](HeadlessHost& h, TSvelmia&) { h.PressKey(VK_PRIOR); }, 602},
    {"close_up_eyes_closed",
     [](HeadlessHost& h, TSvelmia& f) {
         h.TypeChar('x');
         Recompose(h, f);
         h.PressKey(VK_PRIOR);
     },
     602},
    {"night_scene",
     [](HeadlessHost& h, TSvelmia& f) {
         PortraitState& s = f.MutableState();
         s.PanX = 200;
         f.ApplyPan();
         s.EyesClosed = true;
         s.SceneIndex = 7;
         s.PortraitComposed = false; // compose scene 7 itself
         Recompose(h, f);
     },
     1202, false},
};

class TickScheduleTest : public PointerTest, public ::testing::WithParamInterface<ScheduleRow> {};

TEST_P(TickScheduleTest, PixelsChangeExactlyAtTheTicksTheTimerWakesFor)
{
    const ScheduleRow& row = GetParam();
    StartPortrait();
    row.enter(host_, *form_);
    ASSERT_FALSE(host_.Closed());
    std::set<int> wakes, changes;
    for (int tick = 0; tick < row.ticks;) {
        // The timer sleeps through k - 1 ticks and wakes for the k-th.
        const int k = form_->TicksUntilChange();
        ASSERT_GE(k, 1);
        for (int i = 0; i < k && tick < row.ticks; ++i, ++tick) {
            host_.ClearInvalidated();
            ASSERT_EQ(Tick(), 1) << "tick " << tick;
            if (!host_.Invalidated().empty())
                changes.insert(tick);
            if (i == k - 1)
                wakes.insert(tick);
        }
    }
    std::set<int> missed, idle;
    std::set_difference(changes.begin(), changes.end(), wakes.begin(), wakes.end(),
                        std::inserter(missed, missed.end()));
    std::set_difference(wakes.begin(), wakes.end(), changes.begin(), changes.end(), std::inserter(idle, idle.end()));
    auto list = [](const std::set<int>& ticks) {
        std::string s;
        for (int t : ticks)
            s += " " + std::to_string(t);
        return s;
    };
    EXPECT_TRUE(missed.empty()) << "pixels changed while the timer slept, at ticks" << list(missed);
    if (row.exact) {
        EXPECT_TRUE(idle.empty()) << "woke without a change at ticks" << list(idle);
    }
    EXPECT_GT(changes.size(), 10u) << "the view did not move";
}

INSTANTIATE_TEST_SUITE_P(Views, TickScheduleTest, ::testing::ValuesIn(kViews),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmia::test
