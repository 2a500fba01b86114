// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The 100 ms tick: the 601-tick cycle, the redraw request, the views' counters
// and the breathing body frames.
#include "tests/program/compose_support.h"

#include <functional>
#include <string>
#include <vector>

namespace velmia::test {
namespace {

using vcl::TColor;

class ComposeTickTest : public ComposeFixture {};

TEST_F(ComposeTickTest, CycleEndsAfter601TicksWithTheNextScene)
{
    StartPortrait();
    EXPECT_TRUE(S().Busy) << "input waits for the first tick";
    ASSERT_EQ(Tick(600), 600);
    EXPECT_EQ(S().CycleCounter, 600);
    EXPECT_TRUE(form_->RedrawPending()) << "the last tick of the cycle is the redraw request";
    EXPECT_FALSE(S().PortraitComposed);
    EXPECT_EQ(S().SceneIndex, 0);
    EXPECT_FALSE(S().Busy);

    Tick();
    EXPECT_EQ(S().CycleCounter, 0);
    EXPECT_EQ(S().RoundCounter, 0);
    EXPECT_TRUE(S().PortraitComposed);
    EXPECT_EQ(S().CurrentScene, 0);
    EXPECT_EQ(S().SceneIndex, 1);
    EXPECT_EQ(S().TickCount, 601);
    EXPECT_TRUE(form_->Timer1->GetEnabled());

    Tick(601);
    EXPECT_EQ(S().CurrentScene, 1);
    EXPECT_EQ(S().SceneIndex, 2);
}

TEST_F(ComposeTickTest, RedrawRequestShowsTheSameSceneAndCellsAgain)
{
    StartPortrait();
    ASSERT_GE(S().FaceCount, 2) << "the default face list has several faces";
    S().FaceAuto = S().EarringAuto = S().BraceletAuto = true;
    Tick(601 * 2); // scenes 0 and 1, each advancing the cells
    ASSERT_EQ(S().SceneIndex, 2);
    ASSERT_EQ(S().FaceIndex, 2);
    ASSERT_EQ(S().EarringIndex, 2);
    ASSERT_EQ(S().BraceletIndex, 2);
    auto before = Snapshot(&host_.WindowPicture());

    Tick(20);
    RequestRedraw();
    EXPECT_EQ(S().SceneIndex, 1);
    EXPECT_EQ(S().FaceIndex, 1);
    Tick();
    EXPECT_EQ(S().CycleCounter, 0);
    EXPECT_EQ(S().CurrentScene, 1);
    EXPECT_EQ(S().SceneIndex, 2);
    EXPECT_EQ(S().FaceIndex, 2);
    EXPECT_EQ(S().EarringIndex, 2);
    EXPECT_EQ(S().BraceletIndex, 2);
    EXPECT_TRUE(SameArea(before.get(), &host_.WindowPicture(), vcl::Rect(0, 0, 800, 600)));

    // Round the scenes to the strawberry one, which takes its other picture
    // in the next round: a redraw keeps the picture on screen.
    Tick(601 * 7);
    ASSERT_EQ(S().CurrentScene, 0);
    const bool phase = S().AlternatePhase;
    before = Snapshot(&host_.WindowPicture());
    Tick(20);
    RequestRedraw();
    Tick();
    EXPECT_EQ(S().CurrentScene, 0);
    EXPECT_EQ(S().AlternatePhase, phase);
    EXPECT_TRUE(SameArea(before.get(), &host_.WindowPicture(), vcl::Rect(0, 0, 800, 600)));
}

TEST_F(ComposeTickTest, StepBackCountersUndoesTheLastAdvance)
{
    StartPortrait();
    const int lastFace = S().FaceCount - 1;
    struct Case {
        const char* name;
        bool composed;
        int scene, face, earring, bracelet;
        bool autoCells;
        int wantScene, wantFace, wantEarring, wantBracelet;
    };
    const Case cases[] = {
        {"before the first composition nothing moves", false, 3, 2, 2, 2, true, 3, 2, 2, 2},
        {"scene 0 wraps to 7, cells to their last", true, 0, 0, 0, 0, true, 7, lastFace, 4, 4},
        {"plain step back", true, 5, 2, 3, 1, true, 4, 1, 2, 0},
        {"cells without their automatic flag stay", true, 5, 2, 3, 1, false, 4, 2, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        S().PortraitComposed = c.composed;
        S().SceneIndex = c.scene;
        S().FaceIndex = c.face;
        S().EarringIndex = c.earring;
        S().BraceletIndex = c.bracelet;
        S().FaceAuto = S().EarringAuto = S().BraceletAuto = c.autoCells;
        form_->StepBackCounters();
        EXPECT_EQ(S().SceneIndex, c.wantScene);
        EXPECT_EQ(S().FaceIndex, c.wantFace);
        EXPECT_EQ(S().EarringIndex, c.wantEarring);
        EXPECT_EQ(S().BraceletIndex, c.wantBracelet);
    }
}

TEST_F(ComposeTickTest, EachViewWrapsItsOwnCycle)
{
    StartPortrait();
    struct Case {
        const char* name;
        std::function<void(PortraitState&)> enter;
        int last;
    };
    const Case cases[] = {
        {"close-up", [](PortraitState& s) { s.CloseUpMode = true; }, 300},
        {"gray", [](PortraitState& s) { s.GrayMode = true; }, 600},
        {"four figures",
         [](PortraitState& s) {
             s.PortraitMode = false;
             s.QuadMode = true;
         },
         600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        S().PortraitMode = true;
        S().CloseUpMode = S().GrayMode = S().QuadMode = false;
        c.enter(S());
        S().CycleCounter = c.last - 1;
        Tick();
        EXPECT_EQ(S().CycleCounter, c.last);
        Tick();
        EXPECT_EQ(S().CycleCounter, 0);
        EXPECT_FALSE(S().PortraitComposed) << "only the portrait view composes";
        EXPECT_EQ(S().SceneIndex, 0);
    }
}

TEST_F(ComposeTickTest, OpenBrowserStopsTheTicks)
{
    StartPortrait();
    Tick(3);
    S().BrowserOpen = true;
    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(S().TickCount, 3);
    EXPECT_EQ(S().CycleCounter, 3);
    EXPECT_FALSE(form_->Timer1->GetEnabled());
    EXPECT_EQ(Tick(5), 0);
}

// A handler pauses Timer1 and holds input while the composition it runs does
// the same: the composition's pause and hold end inside the handler's and
// leave them on; Timer1 runs and input is free when the handler's end. A
// pause told to keep Timer1 stopped (the part browser) keeps it so past the
// outermost.
TEST_F(ComposeTickTest, PausesAndHoldsNest)
{
    StartPortrait();
    Tick();
    ASSERT_FALSE(S().Busy);
    {
        const TSvelmia::Timer1Pause pause(*form_);
        const TSvelmia::BusyHold hold(*form_);
        form_->ComposePortrait();
        EXPECT_FALSE(form_->Timer1->GetEnabled());
        EXPECT_TRUE(S().Busy);
    }
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_FALSE(S().Busy);
    {
        const TSvelmia::Timer1Pause pause(*form_);
        TSvelmia::Timer1Pause browser(*form_);
        browser.KeepStopped();
    }
    EXPECT_FALSE(form_->Timer1->GetEnabled());
}

TEST_F(ComposeTickTest, QuitRequestClosesTheWindowAtTheNextTick)
{
    StartPortrait();
    Tick(2);
    EXPECT_FALSE(host_.Closed());
    S().QuitRequested = true;
    Tick();
    EXPECT_TRUE(host_.Closed());
}

// The lower body is copied onto the screen only at phases 5, 7, 17 and 19 of
// each 30-tick period: frames 1, 2, 1, 0.
TEST_F(ComposeTickTest, BodyFramesChangeOnlyAtTheirPhases)
{
    StartPortrait();
    const TColor colour[3] = {0x000010, 0x002000, 0x300000};
    for (int k = 0; k < 3; ++k) {
        S().FrameBmp[k]->GetCanvas()->Brush.Color = colour[k];
        S().FrameBmp[k]->GetCanvas()->FillRect(vcl::Rect(0, 0, 800, 300));
    }
    vcl::TBitmap* lower = form_->mySubcanvas->GetBitmap();
    const TColor startColour = Px(lower, 400, 150);

    TColor expected = startColour;
    for (int tick = 0; tick < 60; ++tick) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        const uint64_t changesBefore = lower->Modified();
        Tick();
        const int phase = tick % 30;
        const bool switches = phase == 5 || phase == 7 || phase == 17 || phase == 19;
        if (switches)
            expected = colour[phase == 7 ? 2 : phase == 19 ? 0 : 1];
        EXPECT_EQ(lower->Modified() != changesBefore, switches);
        EXPECT_EQ(Px(lower, 400, 150), expected);
        EXPECT_EQ(host_.WindowPixel(400, 450), expected);
    }
}

} // namespace
} // namespace velmia::test
