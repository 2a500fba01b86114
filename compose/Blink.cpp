// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The blink. A blink is not a redraw: a small image control holding closed
// eyes lies over the eye patch and is shown for a few ticks at fixed ticks of
// the cycle; each view has its own overlay and schedule. In the closed-eye
// state the composer draws the closed lids into the picture itself, the eyes
// peek open at ticks 120..129, and a double-click opens them until Timer2
// closes them again.
#include "shell/Velmiaunit1.h"

using namespace vcl;
using namespace timetable;

void TSvelmia::ScheduleOverlay(TImage* overlay, int tick, const timetable::Blink& blink)
{
    if (timetable::HasTick(blink.ShowAt, tick))
        overlay->SetVisible(true);
    if (timetable::HasTick(blink.HideAt, tick))
        overlay->SetVisible(false);
}

void TSvelmia::BlinkStep(int Tick)
{
    if (EyesClosed) {
        if (Tick == kPortraitPeekAt) {
            // The peek: the open eyes saved by the last composition.
            TCanvas* screen = Mainpict->GetCanvas();
            screen->CopyMode = SRCCOPY;
            screen->CopyRect(EyeDestRect, EyeSave->GetCanvas(), EyeSrcRect);
            PeekOpen = true;
        } else if (Tick == kPortraitPeekAt + kPeekTicks) {
            {
                const BusyHold busy(*this);
                PaintClosedEyes();
            }
            PeekOpen = false;
        }
        return;
    }
    if (TouchOpened)
        return;
    ScheduleOverlay(CloseEye_disp, Tick, kPortraitBlink);
}

void TSvelmia::GrayBlinkStep(int Tick)
{
    for (int entry : GrayBlinkTable)
        if (Tick == entry)
            CloseEye_disp->SetVisible(true);
    ScheduleOverlay(CloseEye_disp, Tick, kGrayBlink);
}

void TSvelmia::QuadBlinkStep(int Tick)
{
    ScheduleOverlay(SmallClosedPict01, Tick, kQuadTopRightBlink);
    ScheduleOverlay(SmallClosedPict11, Tick, kQuadBottomRightBlink);
    ScheduleOverlay(SmallClosedPict1, Tick, kQuadBottomLeftBlink);
    ScheduleOverlay(SmallClosedPict0, Tick, kQuadTopLeftBlink);
}

void TSvelmia::CloseUpBlinkStep(int Tick)
{
    ScheduleOverlay(CloseEye_disp_stretch, Tick, CloseUpEyesClosed ? kCloseUpClosedBlink : kCloseUpBlink);
}

// Closed lids straight onto the screen's eye patch, for the end of the peek
// and for Timer2. The fringe of the pank and shaggy styles covers the lids, so
// those are put together in a work picture of their own first.
void TSvelmia::PaintClosedEyes()
{
    TCanvas* screen = Mainpict->GetCanvas();
    screen->CopyMode = SRCCOPY;
    if (LongHair) {
        screen->CopyRect(EyeDestRect, CloseeyePict_lg->GetCanvas(), EyeSrcRect);
        return;
    }
    if (PankHair || ShaggyHair) {
        TBitmap* fringe = PankHair ? PankEyeBmp.get() : ShaggyEyeBmp.get();
        TBitmap* fringeMask = PankHair ? PankEyeMask.get() : ShaggyEyeMask.get();
        const TRect eye = layout::kEyePatch;
        TCanvas* work = ClosedEyeWork->GetCanvas();
        work->CopyMode = SRCCOPY;
        work->CopyRect(eye, CloseeyePict->GetCanvas(), eye);
        MaskedCopy(work, eye, fringeMask->GetCanvas(), eye, fringe->GetCanvas(), eye);
        // Same layout as the closed-eye pictures: take the pan-clipped part.
        screen->CopyRect(EyeDestRect, work, EyeSrcRect);
        return;
    }
    screen->CopyRect(EyeDestRect, CloseeyePict->GetCanvas(), EyeSrcRect);
}

// Step of the full composition whenever the eyes are closed or will close
// again (a touch opened them): keep the freshly composed open eyes for the
// peek and the touch, so that they are always the current face's.
void TSvelmia::SaveComposedEyes()
{
    TCanvas* save = EyeSave->GetCanvas();
    save->CopyMode = SRCCOPY;
    save->CopyRect(EyeSrcRect, UpperBmp->GetCanvas(), EyeDestRect);
}

// Step of the full composition in the closed-eye state: draw the lids into
// the composed picture.
void TSvelmia::CloseEyesInComposition()
{
    PeekOpen = false;
    CloseEye_disp->SetLeft(EyeLeft);
    CloseEye_disp->SetTop(0);

    TCanvas* upper = UpperBmp->GetCanvas();
    upper->CopyMode = SRCCOPY;
    if (LongHair) {
        upper->CopyRect(EyeDestRect, CloseeyePict_lg->GetCanvas(), EyeSrcRect);
        return;
    }
    upper->CopyRect(EyeDestRect, CloseeyePict->GetCanvas(), EyeSrcRect);
    if (ShaggyHair)
        MaskedCopy(upper, EyeDestRect, ShaggyEyeMask->GetCanvas(), EyeSrcRect, ShaggyEyeBmp->GetCanvas(), EyeSrcRect);
    if (PankHair)
        MaskedCopy(upper, EyeDestRect, PankEyeMask->GetCanvas(), EyeSrcRect, PankEyeBmp->GetCanvas(), EyeSrcRect);
}

void TSvelmia::Timer2Timer(TObject* /*Sender*/)
{
    --ShutCountdown;
    if (ShutCountdown > 1)
        return;
    if (ShutCountdown < 1) {
        // Nothing waits to close (the countdown was not armed): stop rather
        // than count down for ever.
        ShutCountdown = 0;
        Timer2->SetEnabled(false);
        return;
    }

    Timer1Pause pause(*this);
    if (ShowMode) {
        TCanvas* screen = Mainpict->GetCanvas();
        screen->CopyMode = SRCCOPY;
        if (TouchLeftFigure) {
            screen->CopyRect(LeftEyeShowRect, CloseEye_disp_Left->GetCanvas(), LeftEyeOverlayRect);
            LeftEyesClosed = true;
            LeftTouchOpened = false;
        } else {
            screen->CopyRect(RightEyeShowRect, CloseEye_disp->GetCanvas(), RightEyeOverlayRect);
            EyesClosed = true;
            TouchOpened = false;
        }
    } else {
        PaintClosedEyes();
        EyesClosed = true;
        TouchOpened = false;
    }
    ShutCountdown = 0;
    Timer2->SetEnabled(false);
    // A part browser opened meanwhile keeps the ticks stopped until it closes.
    if (BrowserOpen)
        pause.KeepStopped();
}

void TSvelmia::HideBlinkOverlays()
{
    CloseEye_disp->SetVisible(false);
    CloseEye_disp_Left->SetVisible(false);
    SmallClosedPict0->SetVisible(false);
    SmallClosedPict01->SetVisible(false);
    SmallClosedPict1->SetVisible(false);
    SmallClosedPict11->SetVisible(false);
}
