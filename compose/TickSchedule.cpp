// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// How many ticks until the picture can change. Most ticks only count: the
// breath switches frames at four phases of thirty, the eyes blink a few times
// a minute. Timer1 asks this before it sleeps, so that the window wakes for
// the ticks that draw and runs the counting ones in a row when it does.
//
// The switching ticks are those of the timetables the tick routines play
// (compose/Timetables.h); the schedule test drives every view tick by tick
// and fails when a tick changes a pixel that is not foreseen here.
#include "shell/Velmiaunit1.h"

#include <algorithm>

using namespace vcl;
using namespace layout;
using namespace timetable;

namespace {

// Longest sleep: a minute of ticks is run in one go at most.
constexpr int kLongestBatch = 600;

// Distance, in ticks, from a counter at `now` to the first tick that runs
// with a counter value for which `switches` holds: 1 when the next tick does.
// The counter wraps to 0 after `cycle` - 1.
template <class Pred> int Until(int now, int cycle, Pred switches)
{
    for (int d = 1; d <= kLongestBatch; ++d)
        if (switches((now + d - 1) % cycle))
            return d;
    return kLongestBatch;
}

// A tick places its controls; moving a hidden one changes no pixel, and the
// ticks that show it later run after the move.
bool At(const TImage* image, int left, int top)
{
    return !image->GetVisible() || (image->GetLeft() == left && image->GetTop() == top);
}

// An overlay's schedule matters from the first tick that would change its
// visibility: a show while it is hidden or a hide while it is shown.
bool Switches(const TImage* overlay, int tick, const Blink& blink)
{
    return HasTick(overlay->GetVisible() ? blink.HideAt : blink.ShowAt, tick);
}

bool Breathes(std::span<const BreathStep> breath, int period, int tick)
{
    return FrameAt(breath, tick % period) >= 0;
}

} // namespace

int TSvelmia::TicksUntilChange() const
{
    // Whatever is unusual wakes at the next tick: a close or a browser, a
    // handler that holds input, the touch's Timer2, a counter out of its cycle.
    const bool unmagnifiedHold = CloseUpMode && CloseUpHalfShown;
    if (QuitRequested || BrowserOpen || (Busy && !unmagnifiedHold) || ShutCountdown != 0 || Timer2->GetEnabled())
        return 1;
    if (unmagnifiedHold)
        return Busy ? kLongestBatch : 1; // the tick counts and holds input, nothing more
    const int cycle = CloseUpMode ? kCloseUpCycle : kCycleLength;
    if (CycleCounter < 0 || CycleCounter >= cycle)
        return 1;
    if (!At(Mainpict, 0, 0) || !At(mySubcanvas, 0, kHalfHeight))
        return 1;
    if (CloseUpMode)
        return TicksUntilCloseUpChange();
    if (ShowMode)
        return TicksUntilShowChange();
    if (GrayMode)
        return TicksUntilGrayChange();
    int wake = kLongestBatch;
    if (PortraitMode)
        wake = TicksUntilPortraitChange();
    if (QuadMode)
        wake = std::min(wake, TicksUntilQuadChange());
    return wake;
}

int TSvelmia::TicksUntilCloseUpChange() const
{
    if (!At(CloseEye_disp_stretch, CloseUpEyeLeft, 0))
        return 1;
    const Blink& blinks = CloseUpEyesClosed ? kCloseUpClosedBlink : kCloseUpBlink;
    return Until(CycleCounter, kCloseUpCycle, [&](int t) { return Switches(CloseEye_disp_stretch, t, blinks); });
}

int TSvelmia::TicksUntilShowChange() const
{
    if (!At(CloseEye_disp_Left, LeftEyeLeft, 0) || !At(CloseEye_disp, RightEyeLeft, 0))
        return 1;
    // A figure with closed eyes only peeks; one a touch opened waits for Timer2.
    auto blinks = [](const TImage* overlay, bool closed, bool touched, int peekAt, int t, const Blink& blink) {
        if (closed)
            return t % kShowPeekPeriod == peekAt || t % kShowPeekPeriod == peekAt + kPeekTicks;
        return !touched && Switches(overlay, t, blink);
    };
    return Until(CycleCounter, kCycleLength, [&](int t) {
        return t == kLastCycleTick || Breathes(kShowBreath, kShowBreathPeriod, t) ||
               blinks(CloseEye_disp_Left, LeftEyesClosed, LeftTouchOpened, kShowLeftPeekAt, t, kShowLeftBlink) ||
               blinks(CloseEye_disp, EyesClosed, TouchOpened, kShowRightPeekAt, t, kShowRightBlink);
    });
}

int TSvelmia::TicksUntilGrayChange() const
{
    if (!At(CloseEye_disp, EyeBaseLeft, 0))
        return 1;
    // The table's shows are tested first, then the fixed ticks.
    const TImage* overlay = CloseEye_disp;
    return Until(CycleCounter, kCycleLength, [&](int t) {
        const bool tableShows =
            std::find(std::begin(GrayBlinkTable), std::end(GrayBlinkTable), t) != std::end(GrayBlinkTable);
        return Breathes(kBreath, kBreathPeriod, t) || (tableShows && !overlay->GetVisible()) ||
               Switches(overlay, t, kGrayBlink);
    });
}

int TSvelmia::TicksUntilPortraitChange() const
{
    if (!At(CloseEye_disp, EyeLeft, 0))
        return 1;
    const int now = CycleCounter;
    int wake = Until(now, kCycleLength, [&](int t) {
        if (t == kLastCycleTick || Breathes(kBreath, kBreathPeriod, t))
            return true;
        if (EyesClosed)
            return t == kPortraitPeekAt || t == kPortraitPeekAt + kPeekTicks;
        return !TouchOpened && Switches(CloseEye_disp, t, kPortraitBlink);
    });
    if (ShootingStarActive) {
        if (!StreamingMask || now >= kShootingStarFirstMove)
            return 1;
        wake = std::min(wake, kShootingStarFirstMove - now + 1);
    }
    if (StarTwinkleActive) {
        if (!StarCell || !StarListMask)
            return 1;
        wake = std::min(wake, std::max(1, int(TwinkleDelay)));
    }
    return wake;
}

int TSvelmia::TicksUntilQuadChange() const
{
    if (!At(SmallClosedPict0, kQuadLeftEyes, 0) || !At(SmallClosedPict01, kQuadRightEyes, 0) ||
        !At(SmallClosedPict1, kQuadLeftEyes, kHalfHeight) || !At(SmallClosedPict11, kQuadRightEyes, kHalfHeight) ||
        (QuadEyesClosed && !SmallClosedPict11->GetVisible()))
        return 1;
    return Until(CycleCounter, kCycleLength, [&](int t) {
        return Switches(SmallClosedPict01, t, kQuadTopRightBlink) ||
               Switches(SmallClosedPict11, t, kQuadBottomRightBlink) ||
               Switches(SmallClosedPict1, t, kQuadBottomLeftBlink) || Switches(SmallClosedPict0, t, kQuadTopLeftBlink);
    });
}
