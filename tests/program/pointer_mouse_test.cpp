// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The mouse: the touch band, quitting on two fast right presses, the views
// entered and left by the buttons, and the banner.
#include "tests/program/pointer_support.h"

#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

class MouseTest : public PointerTest {
protected:
    // Her eyes closed in a freshly composed portrait, outside the peek.
    void CloseEyes()
    {
        S().EyesClosed = true;
        form_->RequestRedraw();
        Tick();
        ASSERT_FALSE(form_->State().PeekOpen);
    }
};

TEST_F(MouseTest, TouchBandInThePortrait)
{
    struct Case {
        int pan, x, y;
        bool opens;
        int cycleTick = 0;
    };
    const std::vector<Case> cases = {
        {0, 350, 470, true},      {0, 350, 520, true},
        {0, 350, 469, false},     {0, 350, 521, false},
        {0, 300, 500, true},      {0, 400, 500, true},
        {0, 299, 500, false},     {0, 401, 500, false},
        {100, 400, 500, true},    {100, 500, 500, true},
        {100, 399, 500, false},   {0, 350, 500, false, 591}, // the last ten ticks of the cycle are not a touch
        {0, 350, 500, true, 590},
    };
    StartPortrait();
    for (const Case& c : cases) {
        S().PanX = c.pan;
        form_->ApplyPan();
        CloseEyes();
        S().CycleCounter = c.cycleTick;
        host_.DoubleClick(c.x, c.y);
        EXPECT_EQ(form_->State().TouchOpened, c.opens) << c.pan << " " << c.x << "," << c.y;
        EXPECT_EQ(form_->State().EyesClosed, !c.opens) << c.pan << " " << c.x << "," << c.y;
        if (c.opens) {
            EXPECT_EQ(form_->State().ShutCountdown, 7);
            // The open eyes are on screen where the figure stands.
            const int eyeX = 238 + c.pan + 100;
            EXPECT_EQ(host_.WindowPixel(eyeX, 60), form_->EyeSave->GetBitmap()->GetPixelColor(100, 60));
            // A double-click while the countdown runs does nothing at all.
            host_.DoubleClick(c.x, c.y);
            EXPECT_TRUE(form_->State().TouchOpened);
            // Timer2 closes them again on its sixth tick.
            EXPECT_EQ(host_.FireTimer(form_->Timer2, 6), 6);
            EXPECT_TRUE(form_->State().EyesClosed);
            EXPECT_FALSE(form_->Timer2->GetEnabled());
        }
    }
}

TEST_F(MouseTest, TouchBandOfTheShowsLeftFigureIsExclusive)
{
    StartPortrait();
    S().ShowMode = true;
    S().PortraitMode = false;
    S().LeftEyesClosed = true;
    S().LeftPeekOpen = false;
    host_.DoubleClick(300 - 120 + 1, 470);
    EXPECT_TRUE(form_->State().LeftTouchOpened);
    EXPECT_TRUE(form_->State().TouchLeftFigure);
    EXPECT_FALSE(form_->State().LeftEyesClosed);
    EXPECT_TRUE(form_->State().ShowMode);
}

TEST_F(MouseTest, TwoRightPressesOneTickApartQuit)
{
    struct Case {
        int ticksBetween;
        bool quits;
    };
    StartPortrait();
    for (const Case c : {Case{2, false}, Case{3, false}, Case{1, true}}) {
        Tick(3);
        host_.RightPress(400, 300);
        EXPECT_FALSE(form_->State().QuitRequested);
        Tick(c.ticksBetween);
        host_.RightPress(400, 300);
        EXPECT_EQ(form_->State().QuitRequested, c.quits) << c.ticksBetween;
        Tick();
        EXPECT_EQ(host_.Closed(), c.quits) << c.ticksBetween;
    }
}

TEST_F(MouseTest, ASingleRightPressRightAfterStartNeverQuits)
{
    form_ = Start();
    ASSERT_NE(form_, nullptr);
    host_.RightPress(400, 300); // before the first tick, TickCount 0
    Tick();
    host_.RightPress(400, 300); // TickCount 1
    EXPECT_FALSE(form_->State().QuitRequested);
    Tick(2);
    EXPECT_FALSE(host_.Closed());
}

TEST_F(MouseTest, ShiftRightPressShowsTheFourFigureViewAndARightPressReturns)
{
    StartPortrait();
    form_->RequestRedraw(); // a composition has advanced the scene
    Tick(5);
    const int scene = form_->State().SceneIndex;
    host_.SetShift(true);
    host_.RightPress(400, 300);
    host_.SetShift(false);
    EXPECT_TRUE(form_->State().QuadMode);
    EXPECT_FALSE(form_->State().PortraitMode);
    TBitmap* four = form_->Small4Pict->GetBitmap();
    for (const TPoint p : {TPoint{10, 10}, TPoint{400, 150}, TPoint{700, 450}, TPoint{50, 590}})
        EXPECT_EQ(host_.WindowPixel(p.x, p.y), four->GetPixelColor(p.x, p.y)) << p.x << "," << p.y;

    Tick(3);
    host_.RightPress(400, 300);
    EXPECT_TRUE(form_->State().PortraitMode);
    EXPECT_FALSE(form_->State().QuadMode);
    EXPECT_TRUE(form_->RedrawPending());
    EXPECT_EQ(form_->State().SceneIndex, (scene + 7) % 8);
}

TEST_F(MouseTest, ShiftDoubleClickShowsTheGreyViewAndAClickLeavesIt)
{
    StartPortrait();
    host_.SetShift(true);
    host_.DoubleClick(100, 100);
    host_.SetShift(false);
    EXPECT_TRUE(form_->State().GrayMode);
    EXPECT_EQ(host_.WindowPixel(10, 10), form_->MainPictGray->GetBitmap()->GetPixelColor(10, 10));
    Tick(3);
    host_.RightPress(400, 300); // ignored in the grey view
    EXPECT_TRUE(form_->State().GrayMode);
    Tick(3);
    host_.Click(100, 100);
    EXPECT_FALSE(form_->State().GrayMode);
    EXPECT_TRUE(form_->State().PortraitMode);
    EXPECT_TRUE(form_->RedrawPending());
}

TEST_F(MouseTest, ShiftRightPressInTheCloseUpShowsTheCaptureUnmagnified)
{
    StartPortrait();
    Key(VK_PRIOR);
    Tick();
    host_.SetShift(true);
    host_.RightPress(400, 300);
    host_.SetShift(false);
    EXPECT_TRUE(form_->State().CloseUpHalfShown);
    TBitmap* full = form_->State().FullBuf.get();
    for (const TPoint p : {TPoint{10, 10}, TPoint{400, 150}, TPoint{700, 450}})
        EXPECT_EQ(host_.WindowPixel(p.x, p.y), full->GetPixelColor(p.x, p.y));
    // Any next press brings the magnified view back; its release ends it.
    host_.Click(10, 10);
    EXPECT_FALSE(form_->State().CloseUpHalfShown);
    EXPECT_FALSE(form_->State().Busy);
    EXPECT_TRUE(form_->State().CloseUpMode);
    // A double-click leaves the close-up.
    host_.DoubleClick(10, 10);
    EXPECT_FALSE(form_->State().CloseUpMode);
    EXPECT_TRUE(form_->State().PortraitMode);
}

TEST_F(MouseTest, BannerIsHiddenByTheNextPressWhichStillWorks)
{
    StartPortrait();
    S().Busy = true;
    Key(VK_F1); // shown even while busy
    EXPECT_TRUE(form_->logo->GetVisible());
    S().Busy = false;
    host_.SetShift(true);
    host_.RightPress(400, 300);
    host_.SetShift(false);
    EXPECT_FALSE(form_->logo->GetVisible());
    EXPECT_TRUE(form_->State().QuadMode);
}

} // namespace
} // namespace velmia::test
