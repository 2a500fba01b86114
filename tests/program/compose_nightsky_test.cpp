// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The night sky of scene 7: the shooting star's path and the twinkling star.
#include "tests/program/pointer_support.h"

#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

class NightSkyTest : public PointerTest {
protected:
    // Composes scene 7 with the figure panned and her eyes closed.
    void NightScene(int pan)
    {
        S().PanX = pan;
        form_->ApplyPan();
        S().EyesClosed = true;
        S().SceneIndex = 7;
        S().PortraitComposed = false; // no step back: compose scene 7 itself
        form_->RequestRedraw();
        Tick();
        ASSERT_EQ(form_->State().CurrentScene, 7);
    }
};

TEST_F(NightSkyTest, ShootingStarStartsAtTickFiftyAndLeavesTheSky)
{
    StartPortrait();
    ASSERT_TRUE(form_->State().StreamingLoaded && form_->State().BackgroundLoaded) << "night pictures missing";
    NightScene(200);
    ASSERT_TRUE(form_->State().ShootingStarActive);
    EXPECT_EQ(form_->State().StarX, 290);
    EXPECT_EQ(form_->State().StarY, 10);
    Tick(50); // ticks 0..49: the star waits
    EXPECT_EQ(form_->State().StarX, 290);

    // First step: a 10 x 10 corner of the sprite at (290,0,300,10), the sky
    // colour around it.
    TBitmap* upper = form_->State().UpperBmp.get();
    Tick();
    EXPECT_EQ(form_->State().StarX, 283);
    EXPECT_EQ(form_->State().StarY, 17);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(host_.WindowPixel(290 + x, y), upper->GetPixelColor(x, y)) << x << "," << y;

    Tick(54);
    EXPECT_TRUE(form_->State().ShootingStarActive);
    Tick(2); // the 57th step finds it gone
    EXPECT_FALSE(form_->State().ShootingStarActive);
}

// The closed lids of the pank and shaggy styles are put together in a picture
// of their own: a touch that opens and closes the eyes while the shooting
// star falls leaves the sky exactly as the same run without the touch.
TEST_F(NightSkyTest, TouchWhileTheStarFallsLeavesTheSkyAlone)
{
    auto run = [](bool pank, bool touch) {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        EXPECT_FALSE(host.StartupFailed());
        PortraitState& s = form->MutableState();
        host.FireTimer(form->Timer1);
        (pank ? s.PankHair : s.ShaggyHair) = true;
        s.MainHairHidden = 1;
        s.PanX = 120;
        form->ApplyPan();
        s.EyesClosed = true;
        s.SceneIndex = 7;
        s.PortraitComposed = false;
        form->RequestRedraw();
        host.FireTimer(form->Timer1);
        EXPECT_TRUE(s.ShootingStarActive);
        host.FireTimer(form->Timer1, 60); // the star falls from tick 50
        if (touch) {
            host.DoubleClick(120 + 350, 495);
            EXPECT_TRUE(s.TouchOpened);
            host.FireTimer(form->Timer2, 6);
            EXPECT_TRUE(s.EyesClosed);
        }
        host.FireTimer(form->Timer1, 60);
        EXPECT_FALSE(s.ShootingStarActive);
        const TBitmap& window = host.WindowPicture();
        std::vector<TColor> pixels;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                pixels.push_back(window.GetPixelColor(x, y));
        return pixels;
    };
    for (bool pank : {true, false}) {
        SCOPED_TRACE(pank ? "pank" : "shaggy");
        EXPECT_TRUE(run(pank, true) == run(pank, false));
    }
}

TEST_F(NightSkyTest, NothingBelowAPanOfOneHundred)
{
    StartPortrait();
    NightScene(99);
    EXPECT_FALSE(form_->State().ShootingStarActive);
    EXPECT_FALSE(form_->State().StarTwinkleActive);
}

TEST_F(NightSkyTest, StarTwinklesEveryTenTicksThroughItsFiveCells)
{
    StartPortrait();
    ASSERT_TRUE(form_->State().StarListLoaded) << "star list missing";
    NightScene(200);
    ASSERT_TRUE(form_->State().StarTwinkleActive);
    for (int cell = 1; cell <= 6; ++cell) {
        Tick(10);
        EXPECT_EQ(form_->State().TwinkleCell, cell % 5) << cell;
    }
}

} // namespace
} // namespace velmia::test
