// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The pan: layer rectangles moved and clipped to the window, the outside
// flags, the eye overlay's width, and the keys and wheel that move it.
#include "tests/program/pointer_support.h"

#include <memory>
#include <string>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

class PanTest : public PointerTest {
protected:
    void PanTo(int pan)
    {
        S().PanX = pan;
        form_->ApplyPan();
    }
};

TEST_F(PanTest, AtZeroEveryRectangleIsAtRestAndNothingIsOutside)
{
    StartPortrait();
    PanTo(100);
    PanTo(0);
    const PortraitState& s = form_->State();
    EXPECT_EQ(s.MainRect, Rect(0, 0, 800, 300));
    EXPECT_EQ(s.EyeDestRect, Rect(238, 0, 481, 123));
    EXPECT_EQ(s.EyeSrcRect, Rect(0, 0, 243, 123));
    EXPECT_EQ(s.FaceDestRect, Rect(221, 0, 500, 123));
    EXPECT_EQ(s.HairMainDestRect, Rect(100, 0, 700, 300));
    EXPECT_EQ(s.HairLongLeftSrcRect, Rect(0, 150, 150, 300));
    EXPECT_EQ(s.HairBottomDestRect, Rect(620, 250, 680, 300));
    EXPECT_EQ(s.BraceletMaskRect, Rect(0, 0, 130, 40));
    EXPECT_EQ(s.CostumeDestRect, Rect(110, 200, 640, 300));
    EXPECT_EQ(s.ChokerLowerSrcRect, Rect(0, 190, 150, 300));
    EXPECT_EQ(s.CrossStringDestRect, Rect(210, 30, 500, 220));
    const TRect ribbon[4] = {{370, 175, 570, 255}, {370, 173, 570, 253}, {370, 172, 570, 252}, {370, 172, 570, 252}};
    const TRect flower[4] = {{480, 0, 580, 120}, {428, 133, 528, 253}, {428, 131, 528, 251}, {428, 130, 528, 250}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(s.RibbonDestRect[k], ribbon[k]) << k;
        EXPECT_EQ(s.FlowerDestRect[k], flower[k]) << k;
    }
    EXPECT_FALSE(s.HairLongLeftOut || s.HairBottomOut || s.HairBandOut || s.FlowerOut || s.FlowerBodyOut ||
                 s.ChokerOut || s.RibbonOut || s.BraceletOut);
    EXPECT_EQ(s.EyeVisibleWidth, 243);
}

TEST_F(PanTest, FarRightPushesTheRightHandPartsOut)
{
    StartPortrait();
    PanTo(520);
    const PortraitState& s = form_->State();
    EXPECT_TRUE(s.HairBottomOut); // L = 1140
    EXPECT_TRUE(s.BraceletOut);   // L = 1190
    EXPECT_TRUE(s.HairBandOut);   // L = 1000
    EXPECT_FALSE(s.HairLongLeftOut);
    EXPECT_EQ(s.EyeDestRect, Rect(758, 0, 800, 123));
    EXPECT_EQ(s.EyeSrcRect, Rect(0, 0, 42, 123));
    EXPECT_EQ(s.EyeLeft, 758);
    EXPECT_EQ(s.EyeVisibleWidth, 42);
    EXPECT_EQ(form_->CloseEye_disp->GetWidth(), 42);
    // Rows are never touched.
    EXPECT_EQ(s.RibbonDestRect[1].Top, 173);
}

TEST_F(PanTest, FarLeftPushesTheLeftLockOutAndClipsTheMainHair)
{
    StartPortrait();
    PanTo(-400);
    const PortraitState& s = form_->State();
    EXPECT_TRUE(s.HairLongLeftOut); // L = -300, right edge -150
    EXPECT_EQ(s.HairMainDestRect, Rect(0, 0, 300, 300));
    EXPECT_EQ(s.HairMainSrcRect, Rect(300, 0, 600, 300));
    EXPECT_EQ(s.EyeDestRect, Rect(0, 0, 81, 123));
    EXPECT_EQ(s.EyeSrcRect, Rect(162, 0, 243, 123));
    EXPECT_FALSE(s.HairBottomOut || s.BraceletOut || s.HairBandOut);
}

TEST_F(PanTest, ClipSpanAtTheExactEdges)
{
    StartPortrait();
    struct Case {
        int pan, left, width;
        bool outside;
        int dl, dr, sl, sr;
    };
    const std::vector<Case> cases = {
        {-250, 100, 150, true, 0, 0, 150, 150},  // right edge exactly on 0
        {-249, 100, 150, false, 0, 1, 149, 150}, // one column still in
        {180, 620, 60, true, 800, 800, 0, 0},    // left edge exactly on 800
        {179, 620, 60, false, 799, 800, 0, 1},   // one column still in
        {0, 0, 800, false, 0, 800, 0, 800},      // the whole picture
        {100, 0, 800, false, 100, 800, 0, 700},  // cut on the right
        {-100, 0, 800, false, 0, 700, 100, 800}, // cut on the left
    };
    for (const Case& c : cases) {
        S().PanX = c.pan;
        int dl = -1, dr = -1, sl = -1, sr = -1;
        const bool outside = form_->ClipSpan(c.left, c.width, dl, dr, sl, sr);
        EXPECT_EQ(outside, c.outside) << c.pan << " " << c.left;
        EXPECT_EQ(dl, c.dl) << c.pan << " " << c.left;
        EXPECT_EQ(dr, c.dr) << c.pan << " " << c.left;
        EXPECT_EQ(sl, c.sl) << c.pan << " " << c.left;
        EXPECT_EQ(sr, c.sr) << c.pan << " " << c.left;
    }
}

TEST_F(PanTest, CtrlArrowsSlowDownNearBothEndsAndStop)
{
    StartPortrait();
    struct Run {
        uint16_t key;
        std::vector<int> pans;
    };
    const std::vector<Run> runs = {
        {VK_LEFT, {-100, -200, -300, -360, -380, -400, -400}},
        {VK_RIGHT, {100, 200, 300, 400, 480, 500, 520, 520}},
    };
    for (const Run& run : runs) {
        S().PanX = 0;
        form_->ApplyPan();
        for (int expected : run.pans) {
            Key(run.key, false, true);
            EXPECT_EQ(form_->State().PanX, expected) << run.key;
            Tick();
        }
    }
    // Shift steps by 10; with Ctrl and Shift together the Ctrl rule applies.
    Key(VK_LEFT, true);
    EXPECT_EQ(form_->State().PanX, 510);
    Key(VK_LEFT, true, true);
    EXPECT_EQ(form_->State().PanX, 410);
}

TEST_F(PanTest, ArrowsInTheShowSpaceTheFiguresWithinTheirLimits)
{
    StartPortrait();
    form_->StartShow();
    struct Step {
        uint16_t key;
        bool shift, ctrl;
        int leftGap, rightGap, span;
    };
    const std::vector<Step> steps = {
        {VK_RIGHT, false, false, 120, 370, 560}, {VK_RIGHT, false, true, 120, 390, 580},
        {VK_RIGHT, false, true, 120, 410, 600},  {VK_RIGHT, false, true, 120, 430, 620},
        {VK_RIGHT, false, true, 120, 440, 630},  {VK_RIGHT, false, false, 120, 440, 630},
        {VK_LEFT, true, true, 140, 440, 610},    {VK_LEFT, true, false, 150, 440, 600},
        {VK_RIGHT, true, true, 130, 440, 620},   {VK_LEFT, false, false, 130, 430, 610},
        {VK_BACK, false, false, 120, 360, 550},
    };
    for (const Step& st : steps) {
        Key(st.key, st.shift, st.ctrl);
        EXPECT_EQ(form_->State().ShowLeftGap, st.leftGap) << st.key << st.shift << st.ctrl;
        EXPECT_EQ(form_->State().ShowRightGap, st.rightGap) << st.key << st.shift << st.ctrl;
        EXPECT_EQ(form_->State().ShowSpan, st.span) << st.key << st.shift << st.ctrl;
        EXPECT_EQ(form_->State().PanX, 0);
    }
}

TEST_F(PanTest, InsertRemembersAndBackspaceResets)
{
    StartPortrait();
    Key(VK_RIGHT, false, true);
    Key(VK_INSERT, true); // remember 100
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(form_->State().PanX, 200);
    Key(VK_INSERT);
    EXPECT_EQ(form_->State().PanX, 100);
    Key(VK_BACK);
    EXPECT_EQ(form_->State().PanX, 0);
    EXPECT_EQ(form_->State().EyeDestRect, Rect(238, 0, 481, 123));
}

TEST_F(PanTest, WheelPansWithinTheSameLimits)
{
    StartPortrait();
    S().PanX = -380;
    host_.Wheel(true);
    EXPECT_EQ(form_->State().PanX, -400);
    host_.Wheel(true);
    EXPECT_EQ(form_->State().PanX, -400);
    S().PanX = 500;
    host_.Wheel(false);
    EXPECT_EQ(form_->State().PanX, 520);
    host_.Wheel(false);
    EXPECT_EQ(form_->State().PanX, 520);
}

// Over a plain scene, the portrait panned 100 pixels right is the unpanned
// portrait moved 100 pixels right, pixel for pixel, in the upper picture and
// every body frame, whatever the hair style.
TEST_F(PanTest, PannedPortraitIsDrawnShifted)
{
    struct Style {
        const char* what;
        std::string keys;
    };
    constexpr TColor kSky = 0x00C0E0F0;
    const Style styles[] = {{"standard", ""}, {"long", "l"}, {"shaggy", "y"}, {"pank", "p"}, {"otohime", "o"}};
    // Every scene one colour, and no night extras.
    WritePicture("vlm_scene_strawberry_upper.bmp", 800, 600, kSky);
    WritePicture("vlm_scene_strawberry_lower.bmp", 800, 600, kSky);
    WritePicture("vlm_scene_list.bmp", 75, 750, kSky);
    for (const char* extra : {"vlm_background.bmp", "vlm_streaming.bmp", "vlm_starlist.bmp"})
        RemoveFile(extra);
    StartPortrait();
    for (const Style& style : styles) {
        SCOPED_TRACE(style.what);
        host_.TypeText(style.keys);
        S().CycleCounter = 600; // a whole composition, earring and hairband included
        Tick();
        PortraitState& s = S();
        std::vector<std::unique_ptr<TBitmap>> before;
        for (TBitmap* b : {s.UpperBmp.get(), s.FrameBmp[0].get(), s.FrameBmp[1].get(), s.FrameBmp[2].get()}) {
            before.push_back(std::make_unique<TBitmap>());
            before.back()->Assign(*b);
        }
        Key(VK_RIGHT, false, true); // +100
        Tick();
        ASSERT_EQ(s.PanX, 100);
        int picture = 0, differ = 0;
        for (TBitmap* b : {s.UpperBmp.get(), s.FrameBmp[0].get(), s.FrameBmp[1].get(), s.FrameBmp[2].get()}) {
            for (int y = 0; y < 300; ++y) {
                for (int x = 0; x < 800; ++x) {
                    const TColor want = x < 100 ? kSky : before[size_t(picture)]->GetPixelColor(x - 100, y);
                    differ += b->GetPixelColor(x, y) != want;
                }
            }
            ++picture;
        }
        EXPECT_EQ(differ, 0);
        host_.TypeText(style.keys); // back to the standard style
        Key(VK_BACK);               // and to the middle
        Tick();
    }
}

} // namespace
} // namespace velmia::test
