// The night sky of scene 7: the shooting star's path and the twinkling star.
#include "tests/program/pointer_support.h"

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
    TBitmap* upper = form_->State().UpperBmp;
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
