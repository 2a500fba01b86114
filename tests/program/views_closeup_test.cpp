// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The close-up: the view table, the place of the stretched eye overlay, the
// keys that enter, zoom, leave and re-enter it, and the two captures.
#include "tests/program/pointer_support.h"

#include <utility>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

class CloseUpTest : public PointerTest {};

TEST_F(CloseUpTest, ViewSizeFollowsTheMagnification)
{
    StartPortrait();
    struct Row {
        int zoom, width, height, trim;
    };
    const std::vector<Row> rows = {{140, 580, 430, 0},  {150, 540, 400, 0},  {160, 500, 380, 0}, {170, 480, 370, 10},
                                   {180, 450, 350, 10}, {190, 430, 330, 10}, {200, 400, 310, 10}};
    Key(VK_PRIOR);
    for (const Row& r : rows) {
        S().ZoomPercent = r.zoom;
        form_->DrawCloseUp();
        EXPECT_EQ(form_->State().ViewWidth, r.width) << r.zoom;
        EXPECT_EQ(form_->State().ViewHeight, r.height) << r.zoom;
        EXPECT_EQ(form_->State().ZoomTopTrim, r.trim) << r.zoom;
        EXPECT_EQ(form_->State().ViewRight - form_->State().ViewLeft, r.width) << r.zoom;
    }
    // The view follows the pan at capture time.
    S().ZoomPercent = 140;
    for (const auto& [pan, viewLeft] :
         std::vector<std::pair<int, int>>{{-200, 0}, {-110, 0}, {0, 89}, {160, 220}, {300, 220}}) {
        S().CloseUpPanX = pan;
        form_->DrawCloseUp();
        EXPECT_EQ(form_->State().ViewLeft, viewLeft) << pan;
    }
}

TEST_F(CloseUpTest, EyeOverlayAt140PercentWithoutPan)
{
    StartPortrait();
    Key(VK_PRIOR);
    const PortraitState& s = form_->State();
    ASSERT_TRUE(s.CloseUpMode);
    EXPECT_EQ(s.ZoomPercent, 140);
    EXPECT_EQ(s.ViewLeft, 89);
    EXPECT_EQ(s.CloseUpEyeLeft, 209);
    EXPECT_EQ(s.ZoomEyeWidth, 340);
    EXPECT_EQ(s.ZoomEyeBottom, 172);
    EXPECT_EQ(s.ZoomEyeRect, Rect(209, 0, 549, 172));
    EXPECT_EQ(form_->CloseEye_disp_stretch->GetWidth(), 340);
}

TEST_F(CloseUpTest, MagnifiedPictureIsTheCaptureScaled)
{
    StartPortrait();
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    Key(VK_PRIOR); // 200 %: columns 162..562 doubled, TopShift 32
    ASSERT_EQ(form_->State().ZoomPercent, 200);
    ASSERT_EQ(form_->State().ViewLeft, 162);
    form_->CloseEye_disp_stretch->SetVisible(false);
    const TBitmap* capture = form_->State().WideBufA.get();
    int same = 0, total = 0;
    for (int y = 150; y < 600; y += 37)
        for (int x = 0; x < 800; x += 53) {
            ++total;
            same += host_.WindowPixel(x, y) == capture->GetPixelColor(162 + x / 2, (y + 32) / 2);
        }
    EXPECT_EQ(same, total);
}

TEST_F(CloseUpTest, PageKeysStepTheZoomWithinItsRange)
{
    StartPortrait();
    const std::vector<std::pair<uint16_t, int>> steps = {
        {VK_PRIOR, 140}, {VK_PRIOR, 150}, {VK_PRIOR, 160}, {VK_NEXT, 150}, {VK_DOWN, 140},
        {VK_NEXT, 140},  {VK_UP, 150},    {VK_UP, 160},    {VK_UP, 170},   {VK_UP, 180},
        {VK_UP, 190},    {VK_UP, 200},    {VK_PRIOR, 200}, {VK_UP, 200}};
    for (const auto& [key, zoom] : steps) {
        Key(key);
        EXPECT_EQ(form_->State().ZoomPercent, zoom) << key;
        EXPECT_TRUE(form_->Timer1->GetEnabled());
    }
    host_.Wheel(true);
    EXPECT_EQ(form_->State().ZoomPercent, 200);
    S().ZoomPercent = 140;
    host_.Wheel(false);
    EXPECT_EQ(form_->State().ZoomPercent, 140);
    host_.Wheel(true);
    EXPECT_EQ(form_->State().ZoomPercent, 150);
}

TEST_F(CloseUpTest, HomeLeavesAndReentersWithoutANewCapture)
{
    StartPortrait();
    Key(VK_HOME); // nothing captured yet
    EXPECT_FALSE(form_->State().CloseUpMode);
    EXPECT_TRUE(form_->State().PortraitMode);

    Key(VK_PRIOR);
    Key(VK_PRIOR);
    Key(VK_HOME);
    EXPECT_FALSE(form_->State().CloseUpMode);
    EXPECT_TRUE(form_->State().PortraitMode);
    EXPECT_TRUE(form_->RedrawPending());
    Tick(); // the portrait comes back

    // A different portrait now must not change what the close-up shows.
    Key(VK_RIGHT, false, true);
    Tick();
    Key(VK_HOME);
    EXPECT_TRUE(form_->State().CloseUpMode);
    EXPECT_FALSE(form_->State().PortraitMode);
    EXPECT_EQ(form_->State().ZoomPercent, 150);
    EXPECT_EQ(form_->State().CloseUpPanX, 0);
}

TEST_F(CloseUpTest, ShiftPageUpKeepsTheEarlierCaptureAndBackspaceAlternates)
{
    StartPortrait();
    Key(VK_PRIOR, true); // first time: nothing to keep
    EXPECT_FALSE(form_->State().CloseUpHasSecond);
    Key(VK_PRIOR); // 150 %
    Key(VK_HOME);
    Tick();
    Key(VK_RIGHT, false, true); // pan 100
    Tick();
    Key(VK_PRIOR, true); // second capture, keeping the first
    ASSERT_TRUE(form_->State().CloseUpHasSecond);
    EXPECT_EQ(form_->State().SecondZoomPercent, 150);
    EXPECT_EQ(form_->State().SecondPanX, 0);

    struct View {
        int zoom, pan;
    };
    for (const View v : {View{150, 0}, View{150, 100}, View{150, 0}}) {
        Key(VK_BACK);
        EXPECT_EQ(form_->State().ZoomPercent, v.zoom);
        EXPECT_EQ(form_->State().CloseUpPanX, v.pan);
        EXPECT_EQ(form_->State().LastCapturePanX, v.pan);
    }
    Key(VK_DOWN); // the first capture now at 140 %
    Key(VK_BACK);
    EXPECT_EQ(form_->State().ZoomPercent, 150);
    EXPECT_EQ(form_->State().CloseUpPanX, 100);
    Key(VK_BACK);
    EXPECT_EQ(form_->State().ZoomPercent, 140);
    EXPECT_EQ(form_->State().CloseUpPanX, 0);
}

TEST_F(CloseUpTest, CaptureFarLeftTakesOnlyTheVisiblePartOfTheEyes)
{
    StartPortrait();
    // The eye patch starts at 238 - 300 = -62: columns 62..242 are visible.
    S().PanX = -300;
    form_->ApplyPan();
    form_->RequestRedraw();
    Tick();
    Key(VK_PRIOR);
    TBitmap* work = form_->eyework->GetBitmap();
    TBitmap* overlay = form_->CloseEye_disp->GetBitmap();
    for (int y = 0; y < 123; y += 11)
        for (int x = 0; x < 181; x += 7)
            ASSERT_EQ(work->GetPixelColor(x, y), overlay->GetPixelColor(x, y)) << x << "," << y;

    // With her eyes closed the saved open eyes are taken, from their own columns.
    Key(VK_HOME);
    S().EyesClosed = true;
    form_->RequestRedraw();
    Tick();
    Key(VK_PRIOR);
    TBitmap* open = form_->EyeSave->GetBitmap();
    for (int y = 0; y < 123; y += 11)
        for (int x = 0; x < 181; x += 7)
            ASSERT_EQ(work->GetPixelColor(x, y), open->GetPixelColor(62 + x, y)) << x << "," << y;
    EXPECT_EQ(form_->State().CloseUpEyeLeft, 0);
}

} // namespace
} // namespace velmia::test
