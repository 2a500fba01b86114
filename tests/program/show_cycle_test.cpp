// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The scene show: the layout that cuts each part to its figure's strip, the
// show tick with its seven frames, the blinks of both figures and the
// composition at the end of each cycle.
#include "tests/program/commands_support.h"

#include <cstdlib>

using namespace vcl;

namespace velmia::test {

class ShowTest : public CommandTest {
public:
    struct Clip {
        int sl, dl, sr, dr;
        bool outside;
    };
    Clip Left(int w, int x)
    {
        const bool out = form_->ClipLeftPart(w, x);
        return {S().ClipSL, S().ClipDL, S().ClipSR, S().ClipDR, out};
    }
    Clip Right(int w, int x)
    {
        const bool out = form_->ClipRightPart(w, x);
        return {S().ClipSL, S().ClipDL, S().ClipSR, S().ClipDR, out};
    }
    static bool SameColumns(const TBitmap* a, const TBitmap* b, int left, int right)
    {
        for (int y = 0; y < 300; y += 3)
            for (int x = left; x < right; ++x)
                if (a->GetPixelColor(x, y) != b->GetPixelColor(x, y))
                    return false;
        return true;
    }
};

#define EXPECT_CLIP(c, SL, DL, SR, DR, OUT)                                                                            \
    do {                                                                                                               \
        const auto got = (c);                                                                                          \
        EXPECT_EQ(got.sl, SL);                                                                                         \
        EXPECT_EQ(got.dl, DL);                                                                                         \
        EXPECT_EQ(got.sr, SR);                                                                                         \
        EXPECT_EQ(got.dr, DR);                                                                                         \
        EXPECT_EQ(got.outside, OUT);                                                                                   \
    } while (0)

TEST_F(ShowTest, ClipRoutinesOnTheInitialGeometry)
{
    StartPortrait();
    // Left figure, L = 120, S = 550.
    EXPECT_CLIP(Left(60, 620), 0, 500, 60, 560, false);  // hair tip
    EXPECT_CLIP(Left(150, 100), 20, 0, 150, 130, false); // starts left of L
    EXPECT_CLIP(Left(130, 670), 0, 550, 0, 680, true);   // bracelet: wholly outside
    EXPECT_CLIP(Left(20, 100), 0, 0, 0, 0, true);        // ends exactly at L
    EXPECT_CLIP(Left(10, 670), 0, 550, 0, 560, true);    // starts exactly at L + S
    EXPECT_CLIP(Left(10, 669), 0, 549, 10, 559, false);  // last visible column
    // Right figure, B = 100, G = 360, E = 540.
    EXPECT_CLIP(Right(243, 238), 0, 498, 243, 741, false); // eye patch
    EXPECT_CLIP(Right(260, 410), 0, 670, 130, 800, false); // long hair
    EXPECT_CLIP(Right(60, 620), 0, 880, 0, 800, true);     // hair tip
    EXPECT_CLIP(Right(130, 670), 0, 930, 0, 800, true);    // bracelet
    EXPECT_CLIP(Right(80, 480), 0, 740, 60, 800, false);   // hairband
    EXPECT_CLIP(Right(150, -50), 0, 360, 0, 360, true);    // ends exactly at B
    EXPECT_CLIP(Right(150, 50), 50, 360, 150, 460, false); // starts left of B
}

TEST_F(ShowTest, LayoutSetsTheFlagsAndTheEyePatches)
{
    StartPortrait();
    form_->LayoutLeftFigure();
    form_->LayoutRightFigure();
    EXPECT_EQ(S().LeftEyeLeft, 118);
    EXPECT_EQ(S().LeftEyeWidth, 243);
    EXPECT_EQ(S().RightEyeLeft, 498);
    EXPECT_EQ(S().RightEyeWidth, 243);
    EXPECT_EQ(S().LeftFaceWidth, 279);
    const bool left[5] = {false, false, true, false, false};
    const bool right[5] = {false, true, true, false, false};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(S().LeftPartOut[i], left[i]) << i;
        EXPECT_EQ(S().RightPartOut[i], right[i]) << i;
    }
    EXPECT_EQ(S().RightDestRect[peHairBand], Rect(740, 0, 800, 100));
    EXPECT_EQ(S().RightSrcRect[peHairBand], Rect(0, 0, 60, 100));
    EXPECT_EQ(S().LeftDestRect[peWindow], Rect(0, 0, 550, 300));
    EXPECT_EQ(S().LeftSrcRect[peWindow], Rect(120, 0, 670, 300));
    EXPECT_EQ(S().RightDestRect[peWindow], Rect(360, 0, 800, 300));
    EXPECT_EQ(S().RightSrcRect[peWindow], Rect(100, 0, 540, 300));
    // The flower on the chest stays in its column while she breathes: the
    // three body frames place it where the portrait does.
    for (int frame = 1; frame < 3; ++frame) {
        EXPECT_EQ(S().LeftDestRect[peFlower + 1 + frame].Left, S().LeftDestRect[peFlower + 1].Left) << frame;
        EXPECT_EQ(S().RightDestRect[peFlower + 1 + frame].Left, S().RightDestRect[peFlower + 1].Left) << frame;
    }

    // Moved far right, the right figure keeps only part of its eye patch.
    S().ShowRightGap = 600; // E = 300
    form_->LayoutRightFigure();
    EXPECT_EQ(S().RightEyeLeft, 738);
    EXPECT_EQ(S().RightEyeWidth, 62);
    EXPECT_EQ(S().RightEyeSrcRect, Rect(0, 0, 62, 123));
    EXPECT_TRUE(S().RightPartOut[3]);
}

TEST_F(ShowTest, CycleEndBlinksThenComposesTheNextScene)
{
    StartPortrait();
    EnterShow();
    S().SceneIndex = 7;
    form_->RequestRedraw();
    form_->CloseEye_disp->SetVisible(true);
    Tick();
    EXPECT_FALSE(form_->CloseEye_disp->GetVisible()) << "600 hides the right overlay";
    EXPECT_EQ(S().CycleCounter, 0);
    EXPECT_EQ(S().CurrentScene, 7);
    EXPECT_EQ(S().SceneIndex, 0);
    const bool phase = S().AlternatePhase;
    form_->RequestRedraw();
    Tick();
    EXPECT_EQ(S().CurrentScene, 0);
    EXPECT_NE(S().AlternatePhase, phase) << "scene 0 flips its picture";
    EXPECT_EQ(S().SceneIndex, 1);
}

TEST_F(ShowTest, AutomaticFacesAdvanceAtEveryComposition)
{
    StartPortrait();
    EnterShow();
    S().FaceAuto = true;
    S().LeftEarringAuto = true;
    S().FaceIndex = S().FaceCount - 1;
    S().LeftEarringIndex = 4;
    Compose();
    EXPECT_EQ(S().FaceIndex, 0);
    EXPECT_EQ(S().LeftEarringIndex, 0);
    Compose();
    EXPECT_EQ(S().FaceIndex, S().FaceCount > 1 ? 1 : 0);
    EXPECT_EQ(S().LeftEarringIndex, 1);
}

// The seven frames combine the bands of the two figures; the breath shows
// them at fixed phases of 40 ticks.
TEST_F(ShowTest, FramesCombineTheBandsOfBothFigures)
{
    StartPortrait();
    EnterShow();
    const auto& f = S().FrameBmp;
    const int split = S().ShowRightGap; // the right figure starts here
    // Left strip: frames with the same left band are equal there.
    EXPECT_TRUE(SameColumns(f[3].get(), f[0].get(), 0, split));
    EXPECT_TRUE(SameColumns(f[5].get(), f[0].get(), 0, split));
    EXPECT_TRUE(SameColumns(f[6].get(), f[1].get(), 0, split));
    EXPECT_TRUE(SameColumns(f[4].get(), f[2].get(), 0, split));
    EXPECT_FALSE(SameColumns(f[1].get(), f[0].get(), 0, split)) << "the left figure breathes";
    // Right strip: band 0 in frames 0-2, band 1 in 3-4, band 2 in 5-6.
    EXPECT_TRUE(SameColumns(f[1].get(), f[0].get(), 560, 800));
    EXPECT_TRUE(SameColumns(f[2].get(), f[0].get(), 560, 800));
    EXPECT_TRUE(SameColumns(f[4].get(), f[3].get(), 560, 800));
    EXPECT_TRUE(SameColumns(f[6].get(), f[5].get(), 560, 800));
    EXPECT_FALSE(SameColumns(f[3].get(), f[0].get(), 560, 800)) << "the right figure breathes";

    const std::pair<int, int> schedule[] = {{5, 1}, {7, 2}, {17, 4}, {19, 6}, {22, 5}, {31, 3}, {34, 0}};
    for (auto [phase, frame] : schedule) {
        S().CycleCounter = 40 + phase;
        Tick();
        for (int x : {50, 300, 700})
            EXPECT_EQ(host_.WindowPixel(x, 450), Px(f[frame].get(), x, 150)) << "phase " << phase;
    }
}

TEST_F(ShowTest, BothFiguresBlinkOnTheirOwnSchedules)
{
    StartPortrait();
    EnterShow();
    struct Step {
        int tick;
        bool left, right;
    };
    // Open eyes: left blinks at 18-19, right at 48-49.
    const Step steps[] = {
        {17, false, false}, {18, true, false}, {20, false, false}, {48, false, true}, {50, false, false}};
    for (const Step& s : steps) {
        S().CycleCounter = s.tick;
        Tick();
        EXPECT_EQ(form_->CloseEye_disp_Left->GetVisible(), s.left) << s.tick;
        EXPECT_EQ(form_->CloseEye_disp->GetVisible(), s.right) << s.tick;
    }
    // A touch holds the right figure's eyes open; the left one keeps blinking.
    S().TouchOpened = true;
    S().CycleCounter = 117;
    Tick();
    S().CycleCounter = 147;
    Tick();
    EXPECT_TRUE(form_->CloseEye_disp_Left->GetVisible());
    EXPECT_FALSE(form_->CloseEye_disp->GetVisible());
}

TEST_F(ShowTest, ClosedEyesPeekOpenFourTimesPerCycle)
{
    StartPortrait();
    EnterShow();
    Type('X'); // left figure's eyes closed
    Type('x'); // right figure's too
    Tick();    // composes with closed eyes
    EXPECT_FALSE(S().LeftPeekOpen);
    EXPECT_FALSE(S().PeekOpen);
    const TRect leftEye = S().LeftEyeShowRect;
    const TColor closedLeft = host_.WindowPixel(leftEye.Left + 120, 60);
    for (int base : {70, 220, 370, 520}) {
        S().CycleCounter = base;
        Tick();
        EXPECT_TRUE(S().LeftPeekOpen) << base;
        EXPECT_EQ(host_.WindowPixel(leftEye.Left + 120, 60), Px(form_->EyeSave_Left, 120, 60));
        S().CycleCounter = base + 10;
        Tick();
        EXPECT_FALSE(S().LeftPeekOpen) << base;
        EXPECT_EQ(host_.WindowPixel(leftEye.Left + 120, 60), closedLeft);
    }
    for (int base : {120, 270, 420, 570}) {
        S().CycleCounter = base;
        Tick();
        EXPECT_TRUE(S().PeekOpen) << base;
        S().CycleCounter = base + 10;
        Tick();
        EXPECT_FALSE(S().PeekOpen) << base;
    }
}

// With the eyes closed, every face shows exactly the closed-eye picture over
// its eye patch: in the portrait, on the right figure of the show, and on the
// left figure, whose patch takes its right strip from the picture just
// composed with the eyes open (the columns from the right figure's edge on
// belong to the right figure).
TEST_F(ShowTest, ClosedEyesHideTheOpenEyesOfEveryFace)
{
    StartPortrait();
    struct Patch {
        const char* view;
        int left;  // the patch's left edge in the window
        int right; // the first window column not checked
    };
    auto check = [&](const Patch& p, int face) {
        int shows = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < 123; ++y)
            for (int x = 0; x < 243 && p.left + x < p.right; ++x)
                if (host_.WindowPixel(p.left + x, y) != Px(form_->CloseeyePict, x, y) && shows++ == 0) {
                    firstX = p.left + x;
                    firstY = y;
                }
        EXPECT_EQ(shows, 0) << p.view << ", face " << face << ", first at " << firstX << "," << firstY;
    };
    ASSERT_GT(S().FaceCount, 1);
    Type('x');
    for (int face = 0; face < S().FaceCount; ++face) {
        S().FaceIndex = face;
        Compose();
        check({"portrait", 238, 800}, face);
    }
    Type('x');
    EnterShow();
    Type('X');
    Type('x');
    for (int face = 0; face < S().FaceCount; ++face) {
        S().FaceIndex = S().LeftFaceIndex = face;
        Compose();
        check({"show, left figure", S().LeftEyeLeft, S().ShowRightGap}, face);
        check({"show, right figure", S().RightEyeLeft, 800}, face);
    }
}

} // namespace velmia::test
