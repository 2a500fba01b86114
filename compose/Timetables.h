// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// When things move: the ticks of the cycle at which the closed-eye overlays
// are shown and hidden, the body frame each phase of a breath brings, the
// peeks of closed eyes, the close-up's cycle. The ticks that play them
// (compose/Tick.cpp, compose/Blink.cpp, compose/NightSky.cpp,
// show/ShowTick.cpp) and the schedule that tells Timer1 how long it may sleep
// (compose/TickSchedule.cpp) read the same tables.
#pragma once

#include <algorithm>
#include <span>

namespace timetable {

// ---- Cycles ---------------------------------------------------------------------

// The close-up's cycle: ticks 0 to kCloseUpCycle - 1. (The portrait's and
// the show's is layout::kCycleLength.)
constexpr int kCloseUpCycle = 301;

// ---- Blinks ---------------------------------------------------------------------

// One overlay's blinks: the cycle ticks at which it is shown and hidden.
struct Blink {
    std::span<const int> ShowAt, HideAt;
};

inline bool HasTick(std::span<const int> ticks, int tick)
{
    return std::find(ticks.begin(), ticks.end(), tick) != ticks.end();
}

// The portrait.
constexpr int kPortraitShows[] = {48, 147, 248, 297, 448, 592, 595};
constexpr int kPortraitHides[] = {50, 150, 250, 300, 450, 594, 600};
constexpr Blink kPortraitBlink{kPortraitShows, kPortraitHides};

// The grey view: its blink table (GrayBlinkTable, which the user may shift)
// shows the overlay too; these are its fixed ticks.
constexpr int kGrayShows[] = {594, 598};
constexpr int kGrayHides[] = {50, 150, 300, 400, 450, 596, 600};
constexpr Blink kGrayBlink{kGrayShows, kGrayHides};

// The four-figure view: one overlay per figure, each on its own ticks.
constexpr int kQuadTopRightShows[] = {48, 198, 347, 498};
constexpr int kQuadTopRightHides[] = {50, 200, 350, 500};
constexpr int kQuadBottomRightShows[] = {77, 228, 378, 528};
constexpr int kQuadBottomRightHides[] = {80, 230, 380, 530};
constexpr int kQuadBottomLeftShows[] = {98, 247, 398, 548};
constexpr int kQuadBottomLeftHides[] = {100, 250, 400, 550};
constexpr int kQuadTopLeftShows[] = {148, 298, 448, 597};
constexpr int kQuadTopLeftHides[] = {150, 300, 450, 600};
constexpr Blink kQuadTopRightBlink{kQuadTopRightShows, kQuadTopRightHides};
constexpr Blink kQuadBottomRightBlink{kQuadBottomRightShows, kQuadBottomRightHides};
constexpr Blink kQuadBottomLeftBlink{kQuadBottomLeftShows, kQuadBottomLeftHides};
constexpr Blink kQuadTopLeftBlink{kQuadTopLeftShows, kQuadTopLeftHides};

// The close-up, with the eyes open and after x closed them.
constexpr int kCloseUpShows[] = {28, 58, 98, 147, 198, 244, 248};
constexpr int kCloseUpHides[] = {30, 60, 100, 150, 200, 246, 250};
constexpr int kCloseUpClosedShows[] = {46, 94, 170, 244, 248};
constexpr int kCloseUpClosedHides[] = {50, 100, 180, 246, 250};
constexpr Blink kCloseUpBlink{kCloseUpShows, kCloseUpHides};
constexpr Blink kCloseUpClosedBlink{kCloseUpClosedShows, kCloseUpClosedHides};

// The scene show's two figures. The right one blinks as the portrait's
// figure does but for its last show, a tick later.
constexpr int kShowLeftShows[] = {18, 117, 218, 277, 418, 562, 565};
constexpr int kShowLeftHides[] = {20, 120, 220, 280, 420, 564, 570};
constexpr int kShowRightShows[] = {48, 147, 248, 297, 448, 592, 596};
constexpr Blink kShowLeftBlink{kShowLeftShows, kShowLeftHides};
constexpr Blink kShowRightBlink{kShowRightShows, kPortraitHides};

// ---- Peeks of closed eyes -------------------------------------------------------

// Closed eyes peek open for kPeekTicks: in the portrait once a cycle, from
// kPortraitPeekAt; in the show every kShowPeekPeriod ticks, each figure at
// its own tick of the period.
constexpr int kPeekTicks = 10;
constexpr int kPortraitPeekAt = 120;
constexpr int kShowPeekPeriod = 150;
constexpr int kShowLeftPeekAt = 70;
constexpr int kShowRightPeekAt = 120;

// ---- Breathing ------------------------------------------------------------------

// A breath: the body frame that each of its switching phases puts on screen;
// at the other phases the frame on screen stays.
struct BreathStep {
    int Phase, Frame;
};

// The portrait and the grey view: three frames, a breath of 30 ticks.
constexpr int kBreathPeriod = 30;
constexpr BreathStep kBreath[] = {{5, 1}, {7, 2}, {17, 1}, {19, 0}};

// The scene show: the seven frames of the two figures, a breath of 40 ticks
// in which they move out of step.
constexpr int kShowBreathPeriod = 40;
constexpr BreathStep kShowBreath[] = {{5, 1}, {7, 2}, {17, 4}, {19, 6}, {22, 5}, {31, 3}, {34, 0}};

// The frame a breath brings at `phase`, or -1 when the frame on screen stays.
inline int FrameAt(std::span<const BreathStep> breath, int phase)
{
    for (const BreathStep& step : breath)
        if (step.Phase == phase)
            return step.Frame;
    return -1;
}

// ---- The night ------------------------------------------------------------------

// The shooting star stays at its start until this tick of the cycle.
constexpr int kShootingStarFirstMove = 50;

} // namespace timetable
