// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The tick of the scene show. Once per 601-tick cycle the whole picture is
// composed for the next scene; between compositions a tick only switches the
// lower half between the seven prepared frames (a 40-tick breath in which the
// two figures move out of step) and shows or hides the two closed-eye
// overlays on their blink schedules.
#include "shell/Velmiaunit1.h"

using namespace vcl;
using namespace layout;
using namespace timetable;

namespace {

void Advance(int& index, bool on, int count)
{
    if (on)
        NextIndex(index, count);
}

} // namespace

void TSvelmia::ShowTick()
{
    const Timer1Pause pause(*this);
    const BusyHold busy(*this);
    PlaceHalves();
    CloseEye_disp_Left->SetLeft(LeftEyeLeft);
    CloseEye_disp_Left->SetTop(0);
    CloseEye_disp->SetLeft(RightEyeLeft);
    CloseEye_disp->SetTop(0);

    BodyPhase = CycleCounter % kShowBreathPeriod;
    ShowSceneFrame(BodyPhase);
    ShowBlink(CycleCounter);

    if (++CycleCounter < kCycleLength)
        return;

    // End of the cycle.
    CycleCounter = 0;
    PeekOpen = true;
    LeftPeekOpen = true;
    ++RoundCounter;
    if (RoundCounter == RoundsPerCompose) {
        RoundCounter = 0;
        ComposeAtCycleEnd(&TSvelmia::ComposeShow);
    }
}

// The whole picture for the scene SceneIndex; then the counters move on.
void TSvelmia::ComposeShow()
{
    const BusyHold busy(*this);
    CurrentScene = SceneIndex;
    ComposeShowUpper(CurrentScene);
    UpperBmp->GetCanvas()->CopyMode = SRCCOPY;
    ComposeShowLower(CurrentScene);
    AdvanceShowCounters();

    // A figure in the closed-eye state: keep its fresh open eyes for the
    // peek and the touch, and put the closed ones into the picture.
    TCanvas* upper = UpperBmp->GetCanvas();
    upper->CopyMode = SRCCOPY;
    auto closeEyes = [upper](TImage* overlay, int left, TImage* openEyes, const TRect& overlayRect,
                             const TRect& showRect, bool& peekOpen) {
        overlay->SetLeft(left);
        overlay->SetTop(0);
        overlay->SetVisible(false);
        TCanvas* save = openEyes->GetCanvas();
        save->CopyMode = SRCCOPY;
        save->CopyRect(overlayRect, upper, showRect);
        upper->CopyRect(showRect, overlay->GetCanvas(), overlayRect);
        peekOpen = false;
    };
    if (LeftEyesClosed)
        closeEyes(CloseEye_disp_Left, LeftEyeLeft, EyeSave_Left, LeftEyeOverlayRect, LeftEyeShowRect, LeftPeekOpen);
    if (EyesClosed)
        closeEyes(CloseEye_disp, RightEyeLeft, EyeSave, RightEyeOverlayRect, RightEyeShowRect, PeekOpen);

    ShowComposedPicture();
}

// What the show's composition moves on: both figures' automatic cells, the
// strawberry scene's half after it, the scene. Like the portrait's, it has
// moved the scene past the one on screen.
void TSvelmia::AdvanceShowCounters()
{
    Advance(LeftFaceIndex, LeftFaceAuto, FaceCount);
    Advance(FaceIndex, FaceAuto, FaceCount);
    if (SceneIndex == 0)
        AlternatePhase = !AlternatePhase;
    NextIndex(SceneIndex, kScenes);
    Advance(EarringIndex, EarringAuto, kCells);
    Advance(LeftEarringIndex, LeftEarringAuto, kCells);
    Advance(BraceletIndex, BraceletAuto, kCells);
    Advance(LeftBraceletIndex, LeftBraceletAuto, kCells);
    PortraitComposed = true;
}

// The frame due at this phase of the 40-tick breath; at other phases the
// frame on screen stays.
void TSvelmia::ShowSceneFrame(int phase)
{
    PlaceLowerHalf();
    const int frame = FrameAt(kShowBreath, phase);
    if (frame < 0)
        return;
    TCanvas* canvas = mySubcanvas->GetCanvas();
    canvas->CopyMode = SRCCOPY;
    canvas->CopyRect(kUpperPicture, FrameBmp[frame]->GetCanvas(), kUpperPicture);
}

namespace {

// One figure of the show, as its blink sees it.
struct BlinkingFigure {
    TImage* Overlay;       // the closed-eye picture laid over the eyes
    TImage* OpenEyes;      // the open eyes kept for the peek
    const TRect& ShowRect; // the eyes in the window
    const TRect& OverlayRect;
    bool EyesClosed, TouchOpened;
    bool& PeekOpen;
    int PeekAt;                     // tick of every kShowPeekPeriod at which the closed eyes peek open
    const timetable::Blink& Blinks; // the blink schedule
};

} // namespace

// A figure in the closed-eye state peeks once every 150 ticks for 10 ticks;
// otherwise it blinks on its schedule unless a touch holds its eyes open. The
// two figures peek and blink at different ticks.
void TSvelmia::ShowBlink(int cycleTick)
{
    TCanvas* screen = Mainpict->GetCanvas();
    screen->CopyMode = SRCCOPY;
    const BlinkingFigure figures[2] = {
        {.Overlay = CloseEye_disp_Left,
         .OpenEyes = EyeSave_Left,
         .ShowRect = LeftEyeShowRect,
         .OverlayRect = LeftEyeOverlayRect,
         .EyesClosed = LeftEyesClosed,
         .TouchOpened = LeftTouchOpened,
         .PeekOpen = LeftPeekOpen,
         .PeekAt = kShowLeftPeekAt,
         .Blinks = kShowLeftBlink},
        {.Overlay = CloseEye_disp,
         .OpenEyes = EyeSave,
         .ShowRect = RightEyeShowRect,
         .OverlayRect = RightEyeOverlayRect,
         .EyesClosed = EyesClosed,
         .TouchOpened = TouchOpened,
         .PeekOpen = PeekOpen,
         .PeekAt = kShowRightPeekAt,
         .Blinks = kShowRightBlink},
    };
    for (const BlinkingFigure& f : figures) {
        if (f.EyesClosed) {
            const int c = cycleTick % kShowPeekPeriod;
            if (c == f.PeekAt) {
                f.Overlay->SetVisible(false);
                screen->CopyRect(f.ShowRect, f.OpenEyes->GetCanvas(), f.OverlayRect);
                f.PeekOpen = true;
            } else if (c == f.PeekAt + kPeekTicks) {
                screen->CopyRect(f.ShowRect, f.Overlay->GetCanvas(), f.OverlayRect);
                f.Overlay->SetVisible(true);
                f.PeekOpen = false;
            }
        } else if (!f.TouchOpened) {
            ScheduleOverlay(f.Overlay, cycleTick, f.Blinks);
        }
    }
}
