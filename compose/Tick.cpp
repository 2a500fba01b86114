// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The 100 ms tick. Everything that moves on screen is driven from here: the
// tick picks the routine of the active view, each view advances the shared
// cycle counter, and the portrait view recomposes the whole picture when its
// 601-tick cycle ends. Input handlers never draw the portrait themselves; they
// step the automatic counters back and call RequestRedraw, so the next
// portrait tick ends the cycle and recomposes.
#include "shell/Velmiaunit1.h"

using namespace vcl;
using namespace layout;

namespace {
constexpr int kCloseUpCycleLength = 301; // ticks 0..300
constexpr int kBreathPeriod = 30;        // body frame period, in ticks
} // namespace

void TSvelmia::Timer1Timer(TObject* /*Sender*/)
{
    Timer1Pause pause(*this);
    if (QuitRequested) {
        Close();
        // A platform that closes at once has run FormClose by now and freed
        // the pictures; there is nothing left to draw into.
        if (!UpperBmp) {
            pause.KeepStopped();
            return;
        }
    }
    if (BrowserOpen) {
        pause.KeepStopped(); // the part browser enables Timer1 again when it closes
        return;
    }

    // The unmagnified capture of the close-up stays still until the next
    // button press, and input stays held (Busy) until then: no blink overlay
    // of the magnified view may appear over it.
    const bool unmagnifiedHold = CloseUpMode && CloseUpHalfShown;
    Busy = true;
    ++TickCount;
    if (CloseUpMode) {
        if (!unmagnifiedHold)
            CloseUpTick();
    } else if (ShowMode) {
        ShowTick();
    } else if (GrayMode) {
        GrayTick();
    } else {
        if (PortraitMode)
            PortraitTick();
        if (QuadMode)
            QuadTick();
    }
    Busy = unmagnifiedHold;
}

void TSvelmia::PortraitTick()
{
    PlaceHalves();
    CloseEye_disp->SetLeft(EyeLeft);
    CloseEye_disp->SetTop(0);

    BodyPhase = CycleCounter % kBreathPeriod;
    ShowBodyFrame(BodyPhase);
    BlinkStep(CycleCounter);
    if (ShootingStarActive)
        ShootingStarStep();
    if (StarTwinkleActive)
        StarTwinkleStep();

    ++CycleCounter;
    if (CycleCounter < kCycleLength)
        return;

    // End of the cycle.
    CycleCounter = 0;
    PeekOpen = true;
    ++RoundCounter;
    ShootingStarActive = false;
    StarTwinkleActive = false;
    if (RoundCounter != RoundsPerCompose)
        return;
    RoundCounter = 0;
    ComposePortrait();
}

void TSvelmia::ShowBodyFrame(int Phase)
{
    PlaceLowerHalf();
    int frame;
    switch (Phase) {
    case 5:
        frame = 1;
        break;
    case 7:
        frame = 2;
        break;
    case 17:
        frame = 1;
        break;
    case 19:
        frame = 0;
        break;
    default:
        return; // the frame on screen stays
    }
    TCanvas* canvas = mySubcanvas->GetCanvas();
    canvas->CopyMode = SRCCOPY;
    canvas->CopyRect(kUpperPicture, FrameBmp[frame]->GetCanvas(), kUpperPicture);
}

void TSvelmia::GrayTick()
{
    CloseEye_disp->SetLeft(EyeBaseLeft);
    CloseEye_disp->SetTop(0);
    PlaceHalves();
    GrayBlinkStep(CycleCounter);
    BodyPhase = CycleCounter % kBreathPeriod;
    ShowBodyFrame(BodyPhase);
    NextIndex(CycleCounter, kCycleLength);
}

void TSvelmia::QuadTick()
{
    SmallClosedPict0->SetLeft(kQuadLeftEyes);
    SmallClosedPict0->SetTop(0);
    SmallClosedPict01->SetLeft(kQuadRightEyes);
    SmallClosedPict01->SetTop(0);
    SmallClosedPict1->SetLeft(kQuadLeftEyes);
    SmallClosedPict1->SetTop(kHalfHeight);
    SmallClosedPict11->SetLeft(kQuadRightEyes);
    SmallClosedPict11->SetTop(kHalfHeight);
    PlaceHalves();
    if (QuadEyesClosed)
        SmallClosedPict11->SetVisible(true);
    QuadBlinkStep(CycleCounter);
    NextIndex(CycleCounter, kCycleLength);
}

void TSvelmia::CloseUpTick()
{
    PlaceHalves();
    CloseEye_disp_stretch->SetTop(0);
    CloseEye_disp_stretch->SetLeft(CloseUpEyeLeft);
    Busy = true;
    CloseUpBlinkStep(CycleCounter);
    NextIndex(CycleCounter, kCloseUpCycleLength);
    Busy = false;
}

// The head at the top of the window and the body below it, where every view
// but the part browser shows them.
void TSvelmia::PlaceHalves()
{
    Mainpict->SetLeft(0);
    Mainpict->SetTop(0);
    PlaceLowerHalf();
}

void TSvelmia::PlaceLowerHalf()
{
    mySubcanvas->SetLeft(0);
    mySubcanvas->SetTop(kHalfHeight);
}

void TSvelmia::StepBackCounters()
{
    if (PortraitComposed)
        RewindMainCounters();
}

// The scene alone one back, for the way back from a view that does not
// compose; before the first full composition no cycle end has advanced it.
void TSvelmia::StepSceneBack()
{
    if (PortraitComposed)
        PreviousIndex(SceneIndex, kScenes);
}

// The scene and the main figure's automatic cells one back, as the last cycle
// end advanced them.
void TSvelmia::RewindMainCounters()
{
    RewindAutoCells(MainSet(), true, true, true);
}

// The scene and the chosen automatic cells of one set one back (the automatic
// toggles call it with the flags as they were before the toggle).
void TSvelmia::RewindAutoCells(const SelectionRef& set, bool earring, bool face, bool bracelet)
{
    PreviousIndex(SceneIndex, kScenes);
    if (earring && set.EarringAuto)
        PreviousIndex(set.EarringIndex, kCells);
    if (face && set.FaceAuto)
        PreviousIndex(set.FaceIndex, FaceCount);
    if (bracelet && set.BraceletAuto)
        PreviousIndex(set.BraceletIndex, kCells);
}
