// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// How many ticks until the picture can change. Most ticks only count: the
// breath switches frames at four phases of thirty, the eyes blink a few times
// a minute. Timer1 asks this before it sleeps, so that the window wakes for
// the ticks that draw and runs the counting ones in a row when it does.
//
// The tick numbers below are the switching ticks of the tick routines
// (compose/Tick.cpp, compose/Blink.cpp, compose/NightSky.cpp,
// show/ShowTick.cpp); the schedule test drives every view tick by tick and
// fails when a tick changes a pixel that is not named here.
#include "shell/Velmiaunit1.h"

#include <algorithm>
#include <initializer_list>

using namespace vcl;
using namespace layout;

namespace {

// Longest sleep: a minute of ticks is run in one go at most.
constexpr int kLongestBatch = 600;
constexpr int kCloseUpCycle = 301;
constexpr int kShootingStarStart = 50; // the shooting star's first moving tick

// Distance, in ticks, from a counter at `now` to the first tick that runs
// with a counter value for which `switches` holds: 1 when the next tick does.
// The counter wraps to 0 after `cycle` - 1.
template <class Pred> int Until(int now, int cycle, int limit, Pred switches)
{
    for (int d = 1; d <= limit; ++d)
        if (switches((now + d - 1) % cycle))
            return d;
    return limit;
}

bool In(int tick, std::initializer_list<int> ticks)
{
    return std::find(ticks.begin(), ticks.end(), tick) != ticks.end();
}

// A tick places its controls; moving a hidden one changes no pixel, and the
// ticks that show it later run after the move.
bool At(const TImage* image, int left, int top)
{
    return !image->GetVisible() || (image->GetLeft() == left && image->GetTop() == top);
}

// An overlay's schedule matters from the first tick that would change its
// visibility: a show while it is hidden or a hide while it is shown.
bool Switches(const TImage* overlay, int tick, std::initializer_list<int> showAt, std::initializer_list<int> hideAt)
{
    return overlay->GetVisible() ? In(tick, hideAt) : In(tick, showAt);
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
    const int now = CycleCounter;
    auto until = [&](auto switches) { return Until(now, cycle, kLongestBatch, switches); };

    if (CloseUpMode) {
        if (!At(CloseEye_disp_stretch, CloseUpEyeLeft, 0))
            return 1;
        const TImage* overlay = CloseEye_disp_stretch;
        if (CloseUpEyesClosed)
            return until([&](int t) {
                return Switches(overlay, t, {46, 94, 170, 244, 248}, {50, 100, 180, 246, 250});
            });
        return until([&](int t) {
            return Switches(overlay, t, {28, 58, 98, 147, 198, 244, 248}, {30, 60, 100, 150, 200, 246, 250});
        });
    }

    if (ShowMode) {
        if (!At(CloseEye_disp_Left, LeftEyeLeft, 0) || !At(CloseEye_disp, RightEyeLeft, 0))
            return 1;
        auto blinks = [](const TImage* overlay, bool closed, bool touched, int peekAt, int t,
                         std::initializer_list<int> showAt, std::initializer_list<int> hideAt) {
            if (closed)
                return t % 150 == peekAt || t % 150 == peekAt + 10;
            return !touched && Switches(overlay, t, showAt, hideAt);
        };
        return until([&](int t) {
            return t == kLastCycleTick || In(t % 40, {5, 7, 17, 19, 22, 31, 34}) ||
                   blinks(CloseEye_disp_Left, LeftEyesClosed, LeftTouchOpened, 70, t,
                          {18, 117, 218, 277, 418, 562, 565}, {20, 120, 220, 280, 420, 564, 570}) ||
                   blinks(CloseEye_disp, EyesClosed, TouchOpened, 120, t, {48, 147, 248, 297, 448, 592, 596},
                          {50, 150, 250, 300, 450, 594, 600});
        });
    }

    auto breathes = [](int t) { return In(t % 30, {5, 7, 17, 19}); };
    if (GrayMode) {
        if (!At(CloseEye_disp, EyeBaseLeft, 0))
            return 1;
        // The table's shows are tested first, then the fixed ticks.
        const TImage* overlay = CloseEye_disp;
        return until([&](int t) {
            const bool tableShows =
                std::find(std::begin(GrayBlinkTable), std::end(GrayBlinkTable), t) != std::end(GrayBlinkTable);
            return breathes(t) || (tableShows && !overlay->GetVisible()) ||
                   Switches(overlay, t, {594, 598}, {50, 150, 300, 400, 450, 596, 600});
        });
    }

    int wake = kLongestBatch;
    if (PortraitMode) {
        if (!At(CloseEye_disp, EyeLeft, 0))
            return 1;
        wake = until([&](int t) {
            if (t == kLastCycleTick || breathes(t))
                return true;
            if (EyesClosed)
                return t == 120 || t == 130;
            return !TouchOpened &&
                   Switches(CloseEye_disp, t, {48, 147, 248, 297, 448, 592, 595}, {50, 150, 250, 300, 450, 594, 600});
        });
        if (ShootingStarActive) {
            if (!StreamingMask || now >= kShootingStarStart)
                return 1;
            wake = std::min(wake, kShootingStarStart - now + 1);
        }
        if (StarTwinkleActive) {
            if (!StarCell || !StarListMask)
                return 1;
            wake = std::min(wake, std::max(1, int(TwinkleDelay)));
        }
    }
    if (QuadMode) {
        if (!At(SmallClosedPict0, kQuadLeftEyes, 0) || !At(SmallClosedPict01, kQuadRightEyes, 0) ||
            !At(SmallClosedPict1, kQuadLeftEyes, kHalfHeight) || !At(SmallClosedPict11, kQuadRightEyes, kHalfHeight) ||
            (QuadEyesClosed && !SmallClosedPict11->GetVisible()))
            return 1;
        wake = std::min(wake, until([&](int t) {
                            return Switches(SmallClosedPict01, t, {48, 198, 347, 498}, {50, 200, 350, 500}) ||
                                   Switches(SmallClosedPict11, t, {77, 228, 378, 528}, {80, 230, 380, 530}) ||
                                   Switches(SmallClosedPict1, t, {98, 247, 398, 548}, {100, 250, 400, 550}) ||
                                   Switches(SmallClosedPict0, t, {148, 298, 448, 597}, {150, 300, 450, 600});
                        }));
    }
    return wake;
}
