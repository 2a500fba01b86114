// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The close-up: the upper part of the picture as it was when the view was
// entered, magnified 140 to 200 % to fill the window, with a stretched copy
// of the other eye state laid over the eyes so that the blink goes on.
// One earlier capture can be kept and swapped with the current one.
#include "shell/Velmiaunit1.h"

#include <utility>

using namespace vcl;
using namespace layout;

namespace {

// ceil(a / b) for positive operands.
int CeilDiv(int a, int b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

// The view follows the pan at capture between these two pans: at the first
// it shows the capture's left edge, at the last its right edge.
constexpr int kFollowFirstPan = -110;
constexpr int kFollowLastPan = 160;

// The part of eyework the eye overlay is stretched from.
constexpr TRect kEyeWork = Rect(0, 0, 250, 130);

} // namespace

void TSvelmia::TakeCloseUpSnapshot()
{
    // Keep the previous capture as the second one.
    if (KeepPreviousShot && CloseUpReady) {
        WideBufB->GetCanvas()->CopyMode = SRCCOPY;
        WideBufB->GetCanvas()->CopyRect(kCapture, WideBufA->GetCanvas(), kCapture);
        EyeBuf->GetCanvas()->CopyMode = SRCCOPY;
        EyeBuf->GetCanvas()->CopyRect(kEyePatch, eyework->GetCanvas(), kEyePatch);
        SecondZoomPercent = ZoomPercent;
        SecondEyesClosed = CloseUpEyesClosed;
        SecondCaptureEyesClosed = CaptureEyesClosed;
        SecondPanX = LastCapturePanX;
        CloseUpHasSecond = true;
    }
    CloseUpReady = true;
    LastCapturePanX = CloseUpPanX;

    // The window as it is now: the upper picture and the body's top rows for
    // the magnified view, all of it for the unmagnified one.
    TCanvas* wide = WideBufA->GetCanvas();
    TCanvas* full = FullBuf->GetCanvas();
    wide->CopyMode = SRCCOPY;
    full->CopyMode = SRCCOPY;
    wide->CopyRect(kUpperPicture, Mainpict->GetCanvas(), kUpperPicture);
    wide->CopyRect(RowsOf(kCapture, kHalfHeight, kCapture.Bottom), mySubcanvas->GetCanvas(),
                   RowsOf(kCapture, 0, kCaptureBodyRows));
    full->CopyRect(kUpperPicture, Mainpict->GetCanvas(), kUpperPicture);
    full->CopyRect(kLowerOnWindow, mySubcanvas->GetCanvas(), kUpperPicture);

    CloseUpEyesClosed = EyesClosed;
    CaptureEyesClosed = CloseUpEyesClosed;

    // The other eye state goes into eyework: the saved open eyes when she has
    // them closed, the closed-eye overlay otherwise. The overlay holds the
    // visible part of the patch from its column 0, the saved eyes hold it at
    // its own columns; when the patch reaches past the window's left edge
    // only that visible part is taken, and it goes to column 0 as well.
    TCanvas* work = eyework->GetCanvas();
    work->CopyMode = SRCCOPY;
    if (CloseUpPanX + kEyeLeftAtRest >= 0) {
        work->CopyRect(kEyePatch, (EyesClosed ? EyeSave : CloseEye_disp)->GetCanvas(), kEyePatch);
    } else {
        const int visible = EyeSrcRect.Right - EyeSrcRect.Left;
        const TRect to = Rect(0, 0, visible, kEyePatch.Bottom);
        if (EyesClosed)
            work->CopyRect(to, EyeSave->GetCanvas(), Rect(EyeSrcRect.Left, 0, EyeSrcRect.Right, kEyePatch.Bottom));
        else
            work->CopyRect(to, CloseEye_disp->GetCanvas(), to);
    }
}

void TSvelmia::DrawCloseUp()
{
    HideBlinkOverlays();
    CloseEye_disp_stretch->SetVisible(false);

    // The part of the capture that fills the window.
    ZoomTopTrim = ZoomPercent > 160 ? 10 : 0;
    ViewWidth = 10 * CeilDiv(10 * kWindowWidth, ZoomPercent);
    ViewHeight = 10 * CeilDiv(10 * kWindowHeight, ZoomPercent) + (ZoomPercent > 160 ? 10 : 0);
    // It follows the figure's pan at capture time.
    if (CloseUpPanX <= kFollowFirstPan)
        ViewLeft = 0;
    else if (CloseUpPanX >= kFollowLastPan)
        ViewLeft = kWindowWidth - ViewWidth;
    else
        ViewLeft = ((CloseUpPanX - kFollowFirstPan) * (kWindowWidth - ViewWidth)) / (kFollowLastPan - kFollowFirstPan);
    ViewRight = ViewLeft + ViewWidth;

    // Magnify.
    TCanvas* zoom = ZoomBmp->GetCanvas();
    zoom->CopyMode = SRCCOPY;
    const int sourceRows = ViewHeight + ZoomTopTrim;
    zoom->CopyRect(Rect(0, 0, ViewWidth * ZoomPercent / 100, sourceRows * ZoomPercent / 100), WideBufA->GetCanvas(),
                   Rect(ViewLeft, 0, ViewRight, sourceRows));

    int extraShift = 0;
    if (ZoomPercent >= 160)
        extraShift = 4 + 2 * ((ZoomPercent - 160) / 10);
    const int topShift = ZoomTopTrim * ZoomPercent / 100 + extraShift;

    TCanvas* upper = Mainpict->GetCanvas();
    TCanvas* lower = mySubcanvas->GetCanvas();
    upper->CopyMode = SRCCOPY;
    lower->CopyMode = SRCCOPY;
    upper->CopyRect(kUpperPicture, zoom, RowsOf(kUpperPicture, topShift, kHalfHeight + topShift));
    lower->CopyRect(kUpperPicture, zoom, RowsOf(kUpperPicture, kHalfHeight + topShift, kWindowHeight + topShift));
    StretchCloseUpEyes(topShift);
    CycleCounter = 0;
}

// The stretched eye overlay: the eye patch's place at capture, scaled and
// rounded, cut at the window's edges. The magnified picture on screen starts
// `topShift` rows into the zoomed capture.
void TSvelmia::StretchCloseUpEyes(int topShift)
{
    TCanvas* zoom = ZoomBmp->GetCanvas();
    TCanvas* upper = Mainpict->GetCanvas();
    CloseUpEyeLeft = (((CloseUpPanX - ViewLeft + kEyeLeftAtRest) * ZoomPercent) / 10 + 5) / 10;
    ZoomEyeWidth = ((ZoomPercent * kEyeWidth) / 10 + 5) / 10;
    if (ZoomEyeWidth + CloseUpEyeLeft > kWindowWidth)
        ZoomEyeWidth = kWindowWidth - CloseUpEyeLeft;
    else if (CloseUpEyeLeft < 0)
        ZoomEyeWidth = CloseUpEyeLeft + ZoomEyeWidth;
    ZoomEyeBottom = ((ZoomPercent * kEyeHeight) / 10 + 2) / 10;

    zoom->CopyRect(Rect(0, 0, ZoomPercent * kEyeWork.Right / 100, ZoomPercent * kEyeWork.Bottom / 100),
                   eyework->GetCanvas(), kEyeWork);
    TRect source = Rect(0, topShift, ZoomEyeWidth, ZoomEyeBottom);
    if (CloseUpEyeLeft < 0) {
        CloseUpEyeLeft = 0;
        source.Right -= 1;
    }
    const int overlayHeight = ZoomEyeBottom - topShift;
    CloseEye_disp_stretch->SetWidth(ZoomEyeWidth);
    CloseEye_disp_stretch->SetHeight(overlayHeight);
    TCanvas* stretch = CloseEye_disp_stretch->GetCanvas();
    stretch->CopyMode = SRCCOPY;
    const TRect overlay = Rect(0, 0, ZoomEyeWidth, overlayHeight);
    stretch->CopyRect(overlay, zoom, source);
    ZoomEyeRect = Rect(CloseUpEyeLeft, 0, CloseUpEyeLeft + ZoomEyeWidth, overlayHeight);

    // The eye state was changed after the capture: the base picture takes the
    // new state, the overlay the other one.
    if (CloseUpEyesClosed != CaptureEyesClosed) {
        zoom->CopyRect(overlay, upper, ZoomEyeRect);
        upper->CopyRect(ZoomEyeRect, stretch, overlay);
        stretch->CopyRect(overlay, zoom, overlay);
    }
}

bool TSvelmia::CloseUpCanZoom(int direction) const
{
    return direction > 0 ? ZoomPercent < kZoomMax : ZoomPercent > kZoomMin;
}

void TSvelmia::ZoomCloseUp(int direction)
{
    ZoomPercent += direction * kZoomStep;
    DrawCloseUp();
    CycleCounter = 0;
}

// Backspace and the right button: the kept capture becomes the current one,
// with its own magnification, pan and eye state.
void TSvelmia::SwapCloseUpCaptures()
{
    CloseEye_disp_stretch->SetVisible(false);
    const TRect wide = kCapture;
    TCanvas* zoom = ZoomBmp->GetCanvas();
    zoom->CopyMode = SRCCOPY;
    WideBufA->GetCanvas()->CopyMode = SRCCOPY;
    WideBufB->GetCanvas()->CopyMode = SRCCOPY;
    zoom->CopyRect(wide, WideBufB->GetCanvas(), wide);
    WideBufB->GetCanvas()->CopyRect(wide, WideBufA->GetCanvas(), wide);
    WideBufA->GetCanvas()->CopyRect(wide, zoom, wide);

    EyeBuf->GetCanvas()->CopyMode = SRCCOPY;
    eyework->GetCanvas()->CopyMode = SRCCOPY;
    zoom->CopyRect(kEyePatch, EyeBuf->GetCanvas(), kEyePatch);
    EyeBuf->GetCanvas()->CopyRect(kEyePatch, eyework->GetCanvas(), kEyePatch);
    eyework->GetCanvas()->CopyRect(kEyePatch, zoom, kEyePatch);

    std::swap(ZoomPercent, SecondZoomPercent);
    std::swap(CloseUpPanX, SecondPanX);
    LastCapturePanX = CloseUpPanX;
    std::swap(CaptureEyesClosed, SecondCaptureEyesClosed);
    std::swap(CloseUpEyesClosed, SecondEyesClosed);
    DrawCloseUp();
    CycleCounter = 0;
}

// Home, the middle button: back to the view the close-up was entered from.
void TSvelmia::LeaveCloseUp()
{
    ReturnFromCloseUpView();
    CloseUpRestored = false;
    CloseEye_disp_stretch->SetVisible(false);
    RequestRedraw();
}

// The unmagnified capture stops holding input; `restored`: the press that
// ended it brought the magnified view back, and its release is still to come.
void TSvelmia::EndUnmagnifiedHold(bool restored)
{
    CloseUpHalfShown = false;
    CloseUpRestored = restored;
    Busy = false;
}

// Home, the middle button: the last close-up again, without a new capture.
void TSvelmia::ReenterCloseUp()
{
    DrawAskedRedraw();
    EnterCloseUpView();
    DrawCloseUp();
    CycleCounter = 0;
}
