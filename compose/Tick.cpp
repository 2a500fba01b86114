// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The 100 ms tick. Everything that moves on screen is driven from here: the
// tick picks the routine of the active view, each view advances the shared
// cycle counter, and the portrait view recomposes the whole picture when its
// 601-tick cycle ends. Input handlers never draw the portrait themselves; they
// step the automatic counters back and call RequestRedraw, so the next
// portrait tick ends the cycle and recomposes.
//
// Input may come faster than the ticks (a held key repeats 25 to 30 times a
// second). Each redraw request stands for a composition of its own: when more
// input arrives before the tick has drawn it, SettleAskedRedraw moves the
// counters on as that composition would have, and the tick draws what it
// owes. So a burst of input within one tick ends where the same input one
// per tick ends: the first request steps the counters back, later ones undo
// that composition's advance again and step nothing more, and every Enter
// still moves the scene on.
#include "shell/Velmiaunit1.h"

using namespace vcl;
using namespace layout;
using namespace timetable;

namespace {

// The scene one back, as the last cycle end advanced it. When that cycle end
// drew the strawberry scene it also chose the scene's other picture for the
// next round: that is undone too, so that the redraw shows the same picture.
void PreviousScene(int32_t& scene, bool& alternatePhase)
{
    if (scene == 1)
        alternatePhase = !alternatePhase;
    PreviousIndex(scene, kScenes);
}
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
    {
        const BusyHold busy(*this);
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
        // A redraw asked for is drawn by now, or the view draws none.
        ForgetAskedRedraw();
    }
    // After a tick input is free, the start-up's hold ended too, unless the
    // unmagnified capture holds it.
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
    ComposeAtCycleEnd(&TSvelmia::ComposePortrait);
}

// ---- Redraw requests ----------------------------------------------------------

void TSvelmia::RequestRedraw()
{
    ForgetAskedRedraw();
    CycleCounter = kLastCycleTick;
    RedrawAsked = true;
}

void TSvelmia::ForgetAskedRedraw()
{
    RedrawAsked = RedrawSettled = false;
    OwedCounters = AutoCounters{};
}

void TSvelmia::SettleAskedRedraw()
{
    if (!RedrawAsked || RedrawSettled || !RedrawPending())
        return;
    // The routine the tick runs: the close-up, the grey and the four-figure
    // views compose nothing.
    const bool show = !CloseUpMode && ShowMode;
    const bool portrait = !CloseUpMode && !ShowMode && !GrayMode && PortraitMode;
    if (!show && !portrait)
        return;
    OwedCounters = Counters();
    if (show)
        AdvanceShowCounters();
    else
        AdvancePortraitCounters();
    RedrawSettled = true;
}

void TSvelmia::DrawAskedRedraw()
{
    if (RedrawAsked && RedrawPending() && !CloseUpMode && !GrayMode) {
        // Timer1 stays as it was. Under a handler's pause the tick's own
        // pause nests and leaves it off; off without a pause (the part
        // browser keeps it stopped), the tick's pause would turn it on.
        const bool held = !Timer1->GetEnabled();
        if (ShowMode)
            ShowTick();
        else if (PortraitMode)
            PortraitTick();
        if (held)
            Timer1->SetEnabled(false);
    }
    ForgetAskedRedraw();
}

void TSvelmia::ComposeAtCycleEnd(void (TSvelmia::*compose)())
{
    if (!RedrawSettled) {
        (this->*compose)();
    } else {
        const AutoCounters settled = Counters();
        SetCounters(OwedCounters);
        (this->*compose)();
        SetCounters(settled);
    }
    ForgetAskedRedraw();
}

AutoCounters TSvelmia::Counters() const
{
    return AutoCounters{.SceneIndex = SceneIndex,
                        .AlternatePhase = AlternatePhase,
                        .PortraitComposed = PortraitComposed,
                        .FaceIndex = FaceIndex,
                        .EarringIndex = EarringIndex,
                        .BraceletIndex = BraceletIndex,
                        .BraceletAuto = BraceletAuto,
                        .LeftFaceIndex = LeftFaceIndex,
                        .LeftEarringIndex = LeftEarringIndex,
                        .LeftBraceletIndex = LeftBraceletIndex};
}

void TSvelmia::SetCounters(const AutoCounters& c)
{
    SceneIndex = c.SceneIndex;
    AlternatePhase = c.AlternatePhase;
    PortraitComposed = c.PortraitComposed;
    FaceIndex = c.FaceIndex;
    EarringIndex = c.EarringIndex;
    BraceletIndex = c.BraceletIndex;
    BraceletAuto = c.BraceletAuto;
    LeftFaceIndex = c.LeftFaceIndex;
    LeftEarringIndex = c.LeftEarringIndex;
    LeftBraceletIndex = c.LeftBraceletIndex;
}

// What the portrait's composition moves on after drawing: the automatic
// cells, the strawberry scene's half after it, the scene. A hidden bracelet
// stops changing by itself.
void TSvelmia::AdvancePortraitCounters()
{
    if (FaceAuto)
        NextIndex(FaceIndex, FaceCount);
    if (EarringAuto)
        NextIndex(EarringIndex, kCells);
    if (SceneIndex == 0)
        AlternatePhase = !AlternatePhase;
    NextIndex(SceneIndex, kScenes);
    if (!BraceletShown || BraceletOut)
        BraceletAuto = false;
    else if (BraceletAuto)
        NextIndex(BraceletIndex, kCells);
    PortraitComposed = true;
}

void TSvelmia::ShowBodyFrame(int Phase)
{
    PlaceLowerHalf();
    const int frame = FrameAt(kBreath, Phase);
    if (frame < 0)
        return; // the frame on screen stays
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
    const BusyHold busy(*this);
    CloseUpBlinkStep(CycleCounter);
    NextIndex(CycleCounter, kCloseUpCycle);
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
    RewindMainCounters();
}

// The scene alone one back, for the way back from a view that does not
// compose; before the first full composition no cycle end has advanced it.
void TSvelmia::StepSceneBack()
{
    if (PortraitComposed)
        PreviousScene(SceneIndex, AlternatePhase);
}

// The scene and the main figure's automatic cells one back, as the last cycle
// end advanced them.
void TSvelmia::RewindMainCounters()
{
    RewindAutoCells(MainSet(), true, true, true);
}

// The scene and the chosen automatic cells of one set one back (the automatic
// toggles call it with the flags as they were before the toggle). Before the
// first full composition no cycle end has advanced them: nothing moves.
void TSvelmia::RewindAutoCells(const SelectionRef& set, bool earring, bool face, bool bracelet)
{
    if (!PortraitComposed)
        return;
    PreviousScene(SceneIndex, AlternatePhase);
    if (earring && set.EarringAuto)
        PreviousIndex(set.EarringIndex, kCells);
    if (face && set.FaceAuto)
        PreviousIndex(set.FaceIndex, FaceCount);
    if (bracelet && set.BraceletAuto)
        PreviousIndex(set.BraceletIndex, kCells);
}
