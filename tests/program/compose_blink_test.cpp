// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The blink: the overlay schedules of every view, the closed-eye state with its
// peek, and Timer2 closing touched eyes again.
#include "tests/program/compose_support.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmia::test {
namespace {

using vcl::Rect;
using vcl::TImage;

class ComposeBlinkTest : public ComposeFixture {
protected:
    // Eye patch of the window and the same area of a 243 x 123 eye picture.
    bool EyePatchShows(TImage* eyes)
    {
        const vcl::TBitmap& window = host_.WindowPicture();
        for (int y = 0; y < 123; y += 3)
            for (int x = 0; x < 243; x += 3)
                if (window.GetPixelColor(238 + x, y) != Px(eyes, x, y))
                    return false;
        return true;
    }

    // The user's touch: a double-click on her chest, in the band below the
    // neck, where the closed eyes open.
    void TouchOpen() { host_.DoubleClick(350, 495); }
};

using Ranges = std::vector<std::pair<int, int>>; // inclusive tick ranges

bool InRanges(const Ranges& ranges, int tick)
{
    for (auto [first, last] : ranges)
        if (tick >= first && tick <= last)
            return true;
    return false;
}

// After the tick with cycle number t, the overlay is visible exactly when t
// lies in one of the ranges.
TEST_F(ComposeBlinkTest, OverlaysFollowTheirViewsSchedules)
{
    StartPortrait();
    const auto quad = [](PortraitState& s) {
        s.PortraitMode = false;
        s.QuadMode = true;
    };
    struct Case {
        const char* name;
        std::function<void(PortraitState&)> enter;
        std::function<TImage*(TSvelmia*)> overlay;
        int cycle;
        Ranges visible;
    };
    const Case cases[] = {
        {"portrait",
         [](PortraitState&) {},
         [](TSvelmia* f) { return f->CloseEye_disp; },
         601,
         {{48, 49}, {147, 149}, {248, 249}, {297, 299}, {448, 449}, {592, 593}, {595, 599}}},
        {"gray",
         [](PortraitState& s) { s.GrayMode = true; },
         [](TSvelmia* f) { return f->CloseEye_disp; },
         601,
         {{48, 49}, {148, 149}, {297, 299}, {398, 399}, {448, 449}, {594, 595}, {598, 599}}},
        {"gray, table shifted by the eye swap",
         [](PortraitState& s) {
             s.GrayMode = true;
             for (int& t : s.GrayBlinkTable)
                 t += s.GrayEyeShift;
         },
         [](TSvelmia* f) { return f->CloseEye_disp; },
         601,
         {{99, 149}, {199, 299}, {348, 399}, {449, 449}, {499, 595}, {598, 599}}},
        {"four figures, upper right",
         quad,
         [](TSvelmia* f) { return f->SmallClosedPict01; },
         601,
         {{48, 49}, {198, 199}, {347, 349}, {498, 499}}},
        {"four figures, lower right",
         quad,
         [](TSvelmia* f) { return f->SmallClosedPict11; },
         601,
         {{77, 79}, {228, 229}, {378, 379}, {528, 529}}},
        {"four figures, lower left",
         quad,
         [](TSvelmia* f) { return f->SmallClosedPict1; },
         601,
         {{98, 99}, {247, 249}, {398, 399}, {548, 549}}},
        {"four figures, upper left",
         quad,
         [](TSvelmia* f) { return f->SmallClosedPict0; },
         601,
         {{148, 149}, {298, 299}, {448, 449}, {597, 599}}},
        {"close-up, eyes captured closed",
         [](PortraitState& s) { s.CloseUpMode = s.CloseUpEyesClosed = true; },
         [](TSvelmia* f) { return f->CloseEye_disp_stretch; },
         301,
         {{46, 49}, {94, 99}, {170, 179}, {244, 245}, {248, 249}}},
        {"close-up, eyes captured open",
         [](PortraitState& s) { s.CloseUpMode = true; },
         [](TSvelmia* f) { return f->CloseEye_disp_stretch; },
         301,
         {{28, 29}, {58, 59}, {98, 99}, {147, 149}, {198, 199}, {244, 245}, {248, 249}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PortraitState& s = S();
        s.PortraitMode = true;
        s.GrayMode = s.QuadMode = s.CloseUpMode = s.CloseUpEyesClosed = false;
        const int table[5] = {48, 148, 297, 398, 448};
        std::copy(std::begin(table), std::end(table), s.GrayBlinkTable);
        c.enter(s);
        form_->HideBlinkOverlays();
        form_->CloseEye_disp_stretch->SetVisible(false);
        s.CycleCounter = 0;
        TImage* overlay = c.overlay(form_);
        int mismatches = 0;
        for (int t = 0; t < c.cycle; ++t) {
            Tick();
            if (overlay->GetVisible() != InRanges(c.visible, t) && ++mismatches <= 5)
                ADD_FAILURE() << "tick " << t << ": visible " << overlay->GetVisible();
        }
        EXPECT_EQ(s.CycleCounter, 0);
    }
}

TEST_F(ComposeBlinkTest, RedrawDuringABlinkHidesTheOverlayBeforeComposing)
{
    StartPortrait();
    Tick(50); // ticks 0..49
    ASSERT_TRUE(form_->CloseEye_disp->GetVisible());
    RequestRedraw();
    Tick();
    EXPECT_FALSE(form_->CloseEye_disp->GetVisible());
    EXPECT_EQ(S().CycleCounter, 0);
    EXPECT_TRUE(S().PortraitComposed);
}

TEST_F(ComposeBlinkTest, FourFigureClosedEyesStayClosed)
{
    StartPortrait();
    S().PortraitMode = false;
    S().QuadMode = true;
    S().QuadEyesClosed = true;
    for (int t = 0; t < 601; ++t) {
        Tick();
        const bool hideTick = t == 80 || t == 230 || t == 380 || t == 530;
        EXPECT_EQ(form_->SmallClosedPict11->GetVisible(), !hideTick) << "tick " << t;
    }
}

// Closed-eye state: the composition draws the lids, the eyes peek open at
// ticks 120..129 and close again at 130; the blink overlay never shows.
TEST_F(ComposeBlinkTest, ClosedEyesPeekOpenOncePerCycle)
{
    StartPortrait();
    S().EyesClosed = true;
    Recompose();
    ASSERT_EQ(S().CycleCounter, 0);
    EXPECT_FALSE(S().PeekOpen);
    ASSERT_FALSE(SameArea(form_->EyeSave->GetBitmap(), form_->CloseeyePict->GetBitmap(), Rect(0, 0, 243, 123)))
        << "open and closed eyes must look different for this test";
    EXPECT_TRUE(EyePatchShows(form_->CloseeyePict));

    for (int t = 0; t < 140; ++t) {
        Tick();
        const bool open = t >= 120 && t < 130;
        EXPECT_EQ(S().PeekOpen, open) << "tick " << t;
        if (t == 119 || t == 120 || t == 129 || t == 130) {
            EXPECT_EQ(EyePatchShows(open ? form_->EyeSave : form_->CloseeyePict), true) << "tick " << t;
        }
        EXPECT_FALSE(form_->CloseEye_disp->GetVisible()) << "tick " << t;
    }
}

// A touch opens the closed eyes; Timer2 closes them on its sixth tick, and the
// portrait blink schedule rests meanwhile.
TEST_F(ComposeBlinkTest, Timer2ClosesTouchedEyesOnItsSixthTick)
{
    struct Case {
        const char* name;
        bool longHair;
    };
    StartPortrait();
    for (const Case& c : {Case{"plain lids", false}, Case{"long-hair lids", true}}) {
        SCOPED_TRACE(c.name);
        S().LongHair = c.longHair;
        S().EyesClosed = true;
        Recompose();
        TImage* lids = c.longHair ? form_->CloseeyePict_lg : form_->CloseeyePict;
        ASSERT_TRUE(EyePatchShows(lids));
        S().CycleCounter = 244;
        TouchOpen();
        ASSERT_TRUE(S().TouchOpened);
        EXPECT_EQ(S().ShutCountdown, 7);
        EXPECT_FALSE(S().EyesClosed);
        EXPECT_TRUE(form_->Timer2->GetEnabled());
        ASSERT_TRUE(EyePatchShows(form_->EyeSave));

        Tick(6); // 244..249: the overlay would show at 248 with open eyes
        EXPECT_FALSE(form_->CloseEye_disp->GetVisible());
        for (int i = 1; i <= 5; ++i)
            ASSERT_EQ(host_.FireTimer(form_->Timer2), 1);
        EXPECT_TRUE(S().TouchOpened);
        EXPECT_EQ(S().ShutCountdown, 2);
        EXPECT_TRUE(EyePatchShows(form_->EyeSave));

        host_.FireTimer(form_->Timer2);
        EXPECT_TRUE(S().EyesClosed);
        EXPECT_FALSE(S().TouchOpened);
        EXPECT_EQ(S().ShutCountdown, 0);
        EXPECT_FALSE(form_->Timer2->GetEnabled());
        EXPECT_TRUE(form_->Timer1->GetEnabled());
        EXPECT_TRUE(EyePatchShows(lids));
    }
}

} // namespace
} // namespace velmia::test

namespace velmia::test {
namespace {

// With the figure panned far right only 42 columns of the eye patch are
// visible; the lids drawn at the end of the peek (put together with the pank
// fringe in a work picture) must land unscaled, as the composition drew them.
TEST_F(ComposeBlinkTest, PeekClosesToTheSameLidsWhenPanned)
{
    StartPortrait();
    ASSERT_FALSE(S().PankMissing);
    S().PanX = 520;
    form_->ApplyPan();
    ASSERT_EQ(S().EyeDestRect, Rect(758, 0, 800, 123));
    S().PankHair = true;
    S().MainHairHidden = 1;
    S().EyesClosed = true;
    Recompose();
    auto composed = Snapshot(&host_.WindowPicture());
    Tick(131); // ticks 0..130: open at 120, closed again at 130
    EXPECT_TRUE(SameArea(composed.get(), &host_.WindowPicture(), Rect(758, 0, 800, 123)));
}

// A touch just before the cycle end keeps the eyes open through the
// composition of the next face; the peek after Timer2 closed them shows that
// face's open eyes, not the previous face's.
TEST_F(ComposeBlinkTest, LateTouchKeepsTheNewFacesEyesForThePeek)
{
    StartPortrait();
    S().FaceAuto = true;
    S().EyesClosed = true;
    Recompose();
    S().CycleCounter = 590;
    TouchOpen();
    ASSERT_TRUE(S().TouchOpened);
    auto before = Snapshot(form_->EyeSave->GetBitmap());
    Tick(11); // 590..600: the cycle ends and composes with the eyes open
    ASSERT_EQ(S().CycleCounter, 0);
    host_.FireTimer(form_->Timer2, 6);
    ASSERT_TRUE(S().EyesClosed);
    ASSERT_FALSE(SameArea(before.get(), form_->EyeSave->GetBitmap(), Rect(0, 0, 243, 123)))
        << "the saved eyes are still the previous face's";
    Tick(121); // ticks 0..120: the peek
    ASSERT_TRUE(S().PeekOpen);
    EXPECT_TRUE(SameArea(S().UpperBmp.get(), &host_.WindowPicture(), Rect(238, 0, 481, 123)));
}

// Timer2 firing with no touch waiting stops itself and changes nothing.
TEST_F(ComposeBlinkTest, Timer2WithoutATouchStops)
{
    StartPortrait();
    form_->Timer2->SetEnabled(true);
    host_.FireTimer(form_->Timer2);
    EXPECT_FALSE(form_->Timer2->GetEnabled());
    EXPECT_EQ(S().ShutCountdown, 0);
    EXPECT_FALSE(S().EyesClosed);
}

} // namespace
} // namespace velmia::test
