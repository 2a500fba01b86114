// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The blink. A blink is not a redraw: a small image control holding closed
// eyes lies over the eye patch and is shown for a few ticks at fixed ticks of
// the cycle; each view has its own overlay and schedule. In the closed-eye
// state the composer draws the closed lids into the picture itself, the eyes
// peek open at ticks 120..129, and a double-click opens them until Timer2
// closes them again.
#include "shell/Velmiaunit1.h"

#include <algorithm>
#include <initializer_list>

using namespace vcl;

void TSvelmia::ScheduleOverlay(TImage* overlay, int tick, std::initializer_list<int> showAt,
                               std::initializer_list<int> hideAt)
{
    auto has = [tick](std::initializer_list<int> ticks) {
        return std::find(ticks.begin(), ticks.end(), tick) != ticks.end();
    };
    if (has(showAt))
        overlay->SetVisible(true);
    if (has(hideAt))
        overlay->SetVisible(false);
}

void TSvelmia::BlinkStep(int Tick)
{
    if (EyesClosed) {
        if (Tick == 120) {
            // The peek: the open eyes saved by the last composition.
            TCanvas* screen = Mainpict->GetCanvas();
            screen->CopyMode = SRCCOPY;
            screen->CopyRect(EyeDestRect, EyeSave->GetCanvas(), EyeSrcRect);
            PeekOpen = true;
        } else if (Tick == 130) {
            const bool wasBusy = Busy;
            Busy = true;
            PaintClosedEyes();
            Busy = wasBusy;
            PeekOpen = false;
        }
        return;
    }
    if (TouchOpened)
        return;
    ScheduleOverlay(CloseEye_disp, Tick, {48, 147, 248, 297, 448, 592, 595}, {50, 150, 250, 300, 450, 594, 600});
}

void TSvelmia::GrayBlinkStep(int Tick)
{
    for (int entry : GrayBlinkTable)
        if (Tick == entry)
            CloseEye_disp->SetVisible(true);
    ScheduleOverlay(CloseEye_disp, Tick, {594, 598}, {50, 150, 300, 400, 450, 596, 600});
}

void TSvelmia::QuadBlinkStep(int Tick)
{
    ScheduleOverlay(SmallClosedPict01, Tick, {48, 198, 347, 498}, {50, 200, 350, 500});
    ScheduleOverlay(SmallClosedPict11, Tick, {77, 228, 378, 528}, {80, 230, 380, 530});
    ScheduleOverlay(SmallClosedPict1, Tick, {98, 247, 398, 548}, {100, 250, 400, 550});
    ScheduleOverlay(SmallClosedPict0, Tick, {148, 298, 448, 597}, {150, 300, 450, 600});
}

void TSvelmia::CloseUpBlinkStep(int Tick)
{
    if (CloseUpEyesClosed)
        ScheduleOverlay(CloseEye_disp_stretch, Tick, {46, 94, 170, 244, 248}, {50, 100, 180, 246, 250});
    else
        ScheduleOverlay(CloseEye_disp_stretch, Tick, {28, 58, 98, 147, 198, 244, 248},
                        {30, 60, 100, 150, 200, 246, 250});
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
