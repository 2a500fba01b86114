// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The mouse and the wheel: switching between the portrait, the grey and
// four-figure views, the scene show and the close-up; quitting on a fast
// double right press; the touch that opens her closed eyes; the wheel pans
// the portrait, zooms the close-up or turns the part browser's pages.
#include "shell/Velmiaunit1.h"

#include <cstdint>

using namespace vcl;
using namespace layout;

namespace {

constexpr int kTouchTop = 470;
constexpr int kTouchBottom = 520;
// The columns of the touch band at pan 0 (the show shifts them with each figure).
constexpr int kTouchLeft = 300;
constexpr int kTouchRight = 400;
constexpr int kLastTouchTick = 590;
constexpr int kShutTicks = 7;

} // namespace

// The client position of the pointer.
TPoint TSvelmia::ClientCursor()
{
    TPoint p;
    GetCursorPos(&p);
    return TPoint{p.x - GetLeft(), p.y - (GetTop() + CaptionOffset)};
}

void TSvelmia::FormMouseDown(TObject* /*Sender*/, TMouseButton Button, TShiftState Shift, int /*X*/, int /*Y*/)
{
    // The second press of a double-click: settled by the double-click.
    if (!(Shift & ssDouble))
        SettleAskedRedraw();
    if (logo->GetVisible())
        logo->SetVisible(false);
    if (CloseUpHalfShown) {
        // Any press brings the magnified view back.
        const Timer1Pause pause(*this);
        DrawCloseUp();
        CycleCounter = 0;
        EndUnmagnifiedHold(true);
        return;
    }
    if (BrowserOpen)
        return;
    if (Button == TMouseButton::mbRight && int64_t(TickCount) - LastRightClickTick < 2) {
        QuitRequested = true;
        Busy = true;
        Timer1->SetEnabled(true);
        return;
    }
    if (Busy || ShutCountdown > 0)
        return;
    const bool shift = GetKeyState(VK_SHIFT) < 0;

    if (Button == TMouseButton::mbRight) {
        RightPress(shift);
        return;
    }

    if (Button == TMouseButton::mbMiddle) {
        if (CloseUpMode) {
            const Timer1Pause pause(*this);
            LeaveCloseUp();
        } else if ((PortraitMode || ShowMode) && CloseUpReady) {
            const Timer1Pause pause(*this);
            ReenterCloseUp();
        }
    }
}

void TSvelmia::RightPress(bool shift)
{
    LastRightClickTick = TickCount;
    if (GrayMode)
        return; // the grey view is left by a click
    if (ShowMode) {
        LeaveShowForPortrait();
        RequestRedraw();
        return;
    }
    HideBlinkOverlays();
    if (QuadMode) {
        EnterPortraitView();
        HideBlinkOverlays();
        // The forced cycle end draws the same scene again.
        StepSceneBack();
        RequestRedraw();
        return;
    }
    if (PortraitMode) {
        if (shift) {
            // The four-figure view.
            const Timer1Pause pause(*this);
            DrawAskedRedraw();
            CloseEye_disp->SetVisible(false);
            PlaceLowerHalf();
            ShowWholePicture(Small4Pict->GetCanvas());
            EnterQuadView();
            CycleCounter = 0;
            HideBlinkOverlays();
        } else if (ShowOrigin == ShowStage::LeftForPortrait && !MainSwapped) {
            // The show was last left by a right press: back to it.
            const Timer1Pause pause(*this);
            StartShow();
            RequestRedraw();
        }
    }
    if (CloseUpMode) {
        const Timer1Pause pause(*this);
        CloseEye_disp_stretch->SetVisible(false);
        if (shift) {
            // The capture unmagnified, until the next press.
            ShowWholePicture(FullBuf->GetCanvas());
            Busy = true;
            CloseUpHalfShown = true;
        } else if (CloseUpHasSecond) {
            SwapCloseUpCaptures();
        }
    }
}

// An 800 x 600 picture in the two halves of the window.
void TSvelmia::ShowWholePicture(TCanvas* picture)
{
    Mainpict->GetCanvas()->CopyMode = SRCCOPY;
    Mainpict->GetCanvas()->CopyRect(kUpperPicture, picture, kUpperPicture);
    mySubcanvas->GetCanvas()->CopyMode = SRCCOPY;
    mySubcanvas->GetCanvas()->CopyRect(kUpperPicture, picture, kLowerOnWindow);
}

void TSvelmia::FormClick(TObject* /*Sender*/)
{
    SettleAskedRedraw();
    if (CloseUpMode && CloseUpRestored) {
        // The release of the press that restored the magnified view.
        const Timer1Pause pause(*this);
        EndUnmagnifiedHold(false);
        return;
    }
    if (Busy || ShutCountdown > 0 || CloseUpMode || BrowserOpen)
        return;
    if (!GrayMode && !QuadMode)
        return;
    HideBlinkOverlays();
    const bool wasGray = GrayMode;
    EnterPortraitView();
    // These views do not compose: the forced cycle end draws the same scene again.
    StepSceneBack();
    RequestRedraw();
    if (wasGray)
        RefreshClosedEyes();
}

void TSvelmia::FormDblClick(TObject* /*Sender*/)
{
    SettleAskedRedraw();
    if (BrowserOpen || ShutCountdown > 0)
        return;
    if (CloseUpHalfShown) {
        // Leave the close-up from the unmagnified view.
        const Timer1Pause pause(*this);
        LeaveCloseUp();
        EndUnmagnifiedHold(false);
        return;
    }
    if (Busy || QuadMode)
        return;
    if (CloseUpMode) {
        ReturnFromCloseUpView();
        CloseEye_disp_stretch->SetVisible(false);
        RequestRedraw();
        return;
    }

    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const TPoint at = ClientCursor();
    const bool inTouchBand = at.y >= kTouchTop && at.y <= kTouchBottom && CycleCounter <= kLastTouchTick;

    if (ShowMode) {
        if (TouchInShow(at.x, inTouchBand))
            return;
        const Timer1Pause pause(*this);
        TakeLeftFigureOut();
        RequestRedraw();
        return;
    }
    if (PortraitMode && EyesClosed && inTouchBand && at.x >= PanX + kTouchLeft && at.x <= PanX + kTouchRight &&
        !PeekOpen) {
        TouchInPortrait();
        return;
    }
    HideBlinkOverlays();
    if (GrayMode) {
        EnterPortraitView();
        HideBlinkOverlays();
        RefreshClosedEyes(); // the overlay still holds the grey eyes
        RequestRedraw();
        return;
    }

    const Timer1Pause pause(*this);
    if (shift) {
        EnterGrayView();
    } else if (MainSwapped) {
        ReturnToShow();
        RequestRedraw();
    }
}

// The touch in the portrait: her closed eyes open until Timer2 closes them.
void TSvelmia::TouchInPortrait()
{
    const Timer1Pause pause(*this);
    CloseEye_disp->SetVisible(false);
    Mainpict->GetCanvas()->CopyMode = SRCCOPY;
    // The eyes where the pan has put them (at rest: 238..481).
    Mainpict->GetCanvas()->CopyRect(EyeDestRect, EyeSave->GetCanvas(), EyeSrcRect);
    TouchOpened = true;
    ShutCountdown = kShutTicks;
    EyesClosed = false;
    Timer2->SetEnabled(true);
}

// The touch in the show: true when it opened one figure's eyes.
bool TSvelmia::TouchInShow(int x, bool inTouchBand)
{
    if (!(EyesClosed || LeftEyesClosed) || !inTouchBand)
        return false;
    TouchLeftFigure = false;
    bool left = false;
    if (x > kTouchLeft - ShowLeftGap && x < kTouchRight - ShowLeftGap) {
        TouchLeftFigure = true;
        if (!LeftEyesClosed)
            return false;
        left = true;
    } else if (!(x >= ShowRightGap + kTouchLeft - ShowRightBase && x <= ShowRightGap + kTouchRight - ShowRightBase &&
                 EyesClosed)) {
        return false;
    }

    const Timer1Pause pause(*this);
    HideBlinkOverlays();
    TCanvas* screen = Mainpict->GetCanvas();
    screen->CopyMode = SRCCOPY;
    if (left) {
        if (LeftPeekOpen)
            return false;
        screen->CopyRect(LeftEyeShowRect, EyeSave_Left->GetCanvas(), LeftEyeOverlayRect);
        LeftTouchOpened = true;
        LeftEyesClosed = false;
    } else {
        if (PeekOpen)
            return false;
        screen->CopyRect(RightEyeShowRect, EyeSave->GetCanvas(), RightEyeOverlayRect);
        TouchOpened = true;
        EyesClosed = false;
    }
    ShutCountdown = kShutTicks;
    Timer2->SetEnabled(true);
    return true;
}

// The grey view: the embedded grey pictures in the upper half and in the
// three body frames, with the grey closed eyes as the blink overlay.
void TSvelmia::EnterGrayView()
{
    DrawAskedRedraw();
    HideBlinkOverlays();
    CloseEye_disp->SetVisible(false);
    TCanvas* screen = Mainpict->GetCanvas();
    screen->CopyMode = SRCCOPY;
    screen->CopyRect(kUpperPicture, MainPictGray->GetCanvas(), kUpperPicture);
    for (int k = 0; k < kBodyFrames; ++k) {
        TCanvas* frame = FrameBmp[k]->GetCanvas();
        frame->CopyMode = SRCCOPY;
        frame->CopyRect(kUpperPicture, SubPictListGray->GetCanvas(), Band(k));
    }
    EnterView(ViewMode::Gray);

    CloseEye_disp->SetWidth(kEyeWidth);
    TCanvas* overlay = CloseEye_disp->GetCanvas();
    overlay->CopyMode = SRCCOPY;
    if (GrayEyesClosed) {
        screen->CopyRect(kEyePatchAtRest, CloseEyePictGray->GetCanvas(), kEyePatch);
        overlay->CopyRect(kEyePatch, MainPictGray->GetCanvas(), kEyePatchAtRest);
    } else {
        overlay->CopyRect(kEyePatch, CloseEyePictGray->GetCanvas(), kEyePatch);
    }
    CycleCounter = 0;
    PlaceLowerHalf();
    mySubcanvas->GetCanvas()->CopyMode = SRCCOPY;
    mySubcanvas->GetCanvas()->CopyRect(kUpperPicture, FrameBmp[0]->GetCanvas(), kUpperPicture);
}

void TSvelmia::FormMouseWheelUp(TObject* /*Sender*/, TShiftState /*Shift*/, TPoint /*MousePos*/, bool& /*Handled*/)
{
    SettleAskedRedraw();
    if (BrowserOpen) {
        TurnBrowserPage(-1); // the browser owns the screen; the wheel turns its pages
        return;
    }
    if (PortraitMode && PanX >= kPanLeftLimit) {
        PanX -= kPanStep;
        ApplyPan();
        StepBackCounters();
        RequestRedraw();
    } else if (CloseUpZoomAllowed() && CloseUpCanZoom(1)) {
        const Timer1Pause pause(*this);
        ZoomCloseUp(1);
    }
}

void TSvelmia::FormMouseWheelDown(TObject* /*Sender*/, TShiftState /*Shift*/, TPoint /*MousePos*/, bool& /*Handled*/)
{
    SettleAskedRedraw();
    if (BrowserOpen) {
        TurnBrowserPage(1); // the browser owns the screen; the wheel turns its pages
        return;
    }
    if (PortraitMode && PanX <= kPanRightLimit) {
        PanX += kPanStep;
        ApplyPan();
        StepBackCounters();
        RequestRedraw();
    } else if (CloseUpZoomAllowed() && CloseUpCanZoom(-1)) {
        const Timer1Pause pause(*this);
        ZoomCloseUp(-1);
    }
}
