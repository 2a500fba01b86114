// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The composer and the body frames, seen in pixels: masked copies, the layer
// order rules, backgrounds by scene, cells, the face's kept corner, the tinted
// string patterns, and part pictures smaller than they should be.
#include "tests/program/compose_support.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace velmia::test {
namespace {

using vcl::Rect;
using vcl::TBitmap;
using vcl::TColor;
using vcl::TRect;

class ComposeLayersTest : public ComposeFixture {
protected:
    void Fill(TBitmap* b, TColor c, const TRect& r)
    {
        b->GetCanvas()->Brush.Color = c;
        b->GetCanvas()->FillRect(r);
    }

    // Every layer switched off that could lie over the point under test.
    void PlainFigure()
    {
        S().RibbonShown = S().HairBandShown = S().FlowerShown = S().ChokerShown = S().BraceletShown = false;
    }

    // Redraws of one scene give the same picture, except in scene 0, whose
    // two pictures alternate with every composition: start with scene 1.
    void RecomposeScene1()
    {
        if (!S().PortraitComposed)
            Tick(601 * 2);
        ASSERT_EQ(S().SceneIndex, 2);
        Recompose();
    }

    std::unique_ptr<TBitmap> ComposedUpper()
    {
        RecomposeScene1();
        return Snapshot(S().UpperBmp.get());
    }
};

// Point (2,2) lies left of the figure: the base figure's masked copy leaves
// the background where the figure's picture is white.
TEST_F(ComposeLayersTest, BackgroundComesFromTheScene)
{
    StartPortrait();
    struct Case {
        const char* name;
        int scene;
        bool alternate;
        std::function<TColor(TSvelmia*)> upper, lower;
    };
    const Case cases[] = {
        {"scene 0, first half", 0, true, [](TSvelmia* f) { return Px(f->SceneStrawberry_Main, 2, 2); },
         [](TSvelmia* f) { return Px(f->SceneStrawberry_Sub, 2, 2); }},
        {"scene 0, second half", 0, false, [](TSvelmia* f) { return Px(f->SceneStrawberry_Main, 2, 302); },
         [](TSvelmia* f) { return Px(f->SceneStrawberry_Sub, 2, 302); }},
        {"scene 1: first tile blown up", 1, false, [](TSvelmia* f) { return Px(f->SceneList, 0, 0); },
         [](TSvelmia* f) { return Px(f->SceneList, 0, 0); }},
        {"scene 7: seventh tile", 7, false, [](TSvelmia* f) { return Px(f->SceneList, 0, 450); },
         [](TSvelmia* f) { return Px(f->SceneList, 0, 450); }},
    };
    ASSERT_NE(Px(form_->SceneStrawberry_Main, 2, 2), Px(form_->SceneStrawberry_Main, 2, 302));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        S().AlternatePhase = c.alternate;
        form_->DrawBackgroundAndHair(c.scene);
        form_->DrawBodyFrames(c.scene);
        EXPECT_EQ(Px(S().UpperBmp.get(), 2, 2), c.upper(form_));
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Px(S().FrameBmp[k].get(), 2, 2), c.lower(form_)) << "frame " << k;
    }
}

// Scene 0 flips between its two pictures each time it comes round.
TEST_F(ComposeLayersTest, SceneZeroAlternatesItsPictures)
{
    StartPortrait();
    const TColor firstHalf = Px(form_->SceneStrawberry_Main, 2, 2);
    const TColor secondHalf = Px(form_->SceneStrawberry_Main, 2, 302);
    ASSERT_NE(firstHalf, secondHalf);
    EXPECT_EQ(host_.WindowPixel(2, 2), firstHalf) << "start-up draws the first half";

    Tick(601);
    EXPECT_EQ(host_.WindowPixel(2, 2), secondHalf);
    EXPECT_TRUE(S().AlternatePhase);
    S().SceneIndex = 0;
    form_->RequestRedraw();
    Tick();
    EXPECT_EQ(host_.WindowPixel(2, 2), firstHalf);
    form_->RequestRedraw();
    Tick();
    EXPECT_NE(host_.WindowPixel(2, 2), firstHalf) << "scene 1 is not scene 0";
}

TEST_F(ComposeLayersTest, LongHairDrawsNoHairbandAndNoFirstFlower)
{
    StartPortrait();
    S().FlowerShown = true;
    S().HairBandShown = true;
    const auto withBand = ComposedUpper();
    S().HairBandShown = S().FlowerShown = false;
    const auto without = ComposedUpper();
    ASSERT_FALSE(SameArea(withBand.get(), without.get(), S().HairBandDestRect)) << "the hairband shows normally";

    S().LongHair = true;
    S().HairBandShown = S().FlowerShown = true;
    const auto longWith = ComposedUpper();
    S().HairBandShown = S().FlowerShown = false;
    const auto longWithout = ComposedUpper();
    EXPECT_TRUE(SameArea(longWith.get(), longWithout.get(), Rect(0, 0, 800, 300)));
}

// With the pank hair, nothing of the standard hair, the hair side or the
// otohime hair shows outside the pank picture's own area.
TEST_F(ComposeLayersTest, PankHairHidesAllStandardHair)
{
    StartPortrait();
    ASSERT_FALSE(S().PankMissing || S().OtohimeMissing);
    PlainFigure();
    const auto standard = ComposedUpper();
    S().MainHairHidden = 1;
    const auto hairless = ComposedUpper();
    S().PankHair = S().OtohimeHair = true;
    const auto pank = ComposedUpper();

    const TRect pankArea = S().PankDestRect;
    auto sameOutsidePank = [&](const TBitmap* a, const TBitmap* b) {
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 800; ++x)
                if (!pankArea.Contains(x, y) && a->GetPixelColor(x, y) != b->GetPixelColor(x, y))
                    return false;
        return true;
    };
    ASSERT_FALSE(sameOutsidePank(standard.get(), hairless.get())) << "the standard hair reaches beyond the pank area";
    EXPECT_TRUE(sameOutsidePank(pank.get(), hairless.get()));
}

// The hair styles of the default artwork, as the keys set them: every style
// but the standard one keeps the standard hair hidden.
struct HairStyle {
    const char* name;
    bool hidden, longHair, shaggy, pank, otohime;
    bool hairband; // the hairband is drawn with it
};
const HairStyle kHairStyles[] = {
    {"standard", false, false, false, false, false, true}, {"hidden", true, false, false, false, false, true},
    {"long", false, true, false, false, false, false},     {"shaggy", true, false, true, false, false, true},
    {"punk", true, false, false, true, false, true},       {"otohime", true, false, false, false, true, true},
};

// Over two scenes, the upper picture and the first body frame of every hair
// style differ only where the scene shows; a patch of scene that does not
// reach the picture's edge is a hole in the hair or between hair and face.
// Drawing the hairband changes what the user sees with every style that
// draws it, in the portrait and on both figures of the show.
TEST_F(ComposeLayersTest, EveryHairStyleIsWholeAndShowsTheHairband)
{
    StartPortrait();
    PlainFigure();
    auto compose = [&](int scene) {
        form_->DrawBackgroundAndHair(scene);
        form_->DrawHeadLayers();
        form_->DrawBodyFrames(scene);
        auto both = Snapshot(S().UpperBmp.get());
        both->SetHeight(600);
        both->GetCanvas()->CopyRect(Rect(0, 300, 800, 600), S().FrameBmp[0]->GetCanvas(), Rect(0, 0, 800, 300));
        return both;
    };
    const int showGap = S().ShowRightGap;
    for (const HairStyle& h : kHairStyles) {
        SCOPED_TRACE(h.name);
        S().MainHairHidden = h.hidden ? 1 : 0;
        S().LongHair = h.longHair;
        S().ShaggyHair = h.shaggy;
        S().PankHair = h.pank;
        S().OtohimeHair = h.otohime;
        S().HairBandShown = false;
        const auto a = compose(2), b = compose(7);
        std::vector<char> scene(800 * 600), reached(800 * 600, 0);
        std::vector<std::pair<int, int>> stack;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                scene[y * 800 + x] = Px(a.get(), x, y) != Px(b.get(), x, y);
                if (scene[y * 800 + x] && (x == 0 || y == 0 || x == 799 || y == 599)) {
                    reached[y * 800 + x] = 1;
                    stack.emplace_back(x, y);
                }
            }
        while (!stack.empty()) {
            const auto [x, y] = stack.back();
            stack.pop_back();
            for (const auto& [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}})
                if (nx >= 0 && ny >= 0 && nx < 800 && ny < 600 && scene[ny * 800 + nx] && !reached[ny * 800 + nx]) {
                    reached[ny * 800 + nx] = 1;
                    stack.emplace_back(nx, ny);
                }
        }
        int holes = 0, firstX = -1, firstY = -1;
        for (int i = 0; i < 800 * 600; ++i)
            if (scene[i] && !reached[i] && holes++ == 0) {
                firstX = i % 800;
                firstY = i / 800;
            }
        EXPECT_EQ(holes, 0) << "scene pixels enclosed by the figure, first at " << firstX << "," << firstY;

        S().HairBandShown = true;
        const auto banded = compose(2);
        EXPECT_EQ(!SameArea(banded.get(), a.get(), S().HairBandDestRect), h.hairband);

        // The show draws both figures in the same style as the portrait. The
        // right figure stands over the left one's hairband unless moved away.
        form_->CopySet(SelectionSet::Main, SelectionSet::Left);
        for (const bool left : {false, true}) {
            S().ShowRightGap = left ? 600 : showGap;
            form_->LayoutLeftFigure();
            form_->LayoutRightFigure();
            auto show = [&](bool band) {
                S().HairBandShown = S().LeftHairBandShown = band;
                form_->ComposeShowUpper(2);
                return Snapshot(S().UpperBmp.get());
            };
            const auto showPlain = show(false), showBanded = show(true);
            const TRect bandArea = left ? S().LeftDestRect[peHairBand] : S().RightDestRect[peHairBand];
            EXPECT_EQ(!SameArea(showBanded.get(), showPlain.get(), bandArea), h.hairband)
                << (left ? "show, left figure" : "show, right figure");
        }
    }
}

TEST_F(ComposeLayersTest, FaceAutoWithOneFaceKeepsFaceZero)
{
    const TColor faceColour = 0x00336699;
    WritePicture("vlm_facelist.bmp", 279, 123, faceColour);
    StartPortrait();
    ASSERT_EQ(S().FaceCount, 1);
    S().FaceAuto = true;
    Tick(601 * 2);
    EXPECT_EQ(S().FaceIndex, 0);
    EXPECT_EQ(host_.WindowPixel(300, 60), faceColour);
}

// The face cell is opaque except its bottom-left 12 x 12 corner, which keeps
// what was there; at the left window edge only the visible columns are kept.
TEST_F(ComposeLayersTest, FaceKeepsItsBottomLeftCorner)
{
    StartPortrait();
    const TColor under = 0x00102030, face = 0x00A0B0C0;
    struct Case {
        int panX;
        int keptLeft, keptRight; // window columns that keep `under` in rows 111..122
    };
    const Case cases[] = {{0, 221, 233}, {-226, 0, 7}, {-233, 0, 0}, {-232, 0, 1}, {520, 741, 753}};
    for (const Case& c : cases) {
        SCOPED_TRACE("PanX " + std::to_string(c.panX));
        S().PanX = c.panX;
        form_->ApplyPan();
        Fill(S().UpperBmp.get(), under, Rect(0, 0, 800, 300));
        Fill(S().FaceWorkB.get(), face, Rect(0, 0, 279, S().FaceListHeight));
        form_->DrawFace(0);
        const TBitmap* upper = S().UpperBmp.get();
        const int faceLeft = std::max(0, 221 + c.panX), faceRight = std::min(800, 500 + c.panX);
        for (int x = faceLeft; x < faceRight; ++x) {
            const bool kept = x >= c.keptLeft && x < c.keptRight;
            ASSERT_EQ(Px(upper, x, 111), kept ? under : face) << "x " << x;
            ASSERT_EQ(Px(upper, x, 122), kept ? under : face) << "x " << x;
            ASSERT_EQ(Px(upper, x, 110), face) << "x " << x;
        }
        EXPECT_EQ(Px(upper, faceRight, 60), faceRight < 800 ? under : -1);
    }
    S().PanX = 0;
    form_->ApplyPan();
}

// Each cell of the earring, earring frame and bracelet lists is cut by its
// own shape: lists whose cells are blocks at different places (one wider,
// one narrower, one elsewhere than the first) show every opaque pixel of the
// drawn cell from that cell's rows and keep what was beneath wherever the
// cell is white.
TEST_F(ComposeLayersTest, CellsAreCutByTheirOwnShapes)
{
    struct Case {
        const char* name;
        const char* file;
        int width, cellHeight;
        std::function<void(TSvelmia*, int)> draw;
        std::function<TBitmap*(TSvelmia*)> target, picture;
        TRect dest;
        int firstCellTop; // in the picture the program holds
    };
    const Case cases[] = {
        {"bracelet", "vlm_bracelet.bmp", 130, 40, [](TSvelmia* f, int cell) { f->DrawBracelet(cell); },
         [](TSvelmia* f) { return f->MutableState().FrameBmp[1].get(); },
         [](TSvelmia* f) { return f->BraceletList->GetBitmap(); }, Rect(670, 260, 800, 300), 40},
        {"earring", "vlm_earring_list.bmp", 330, 120, [](TSvelmia* f, int cell) { f->DrawEarring(cell); },
         [](TSvelmia* f) { return f->MutableState().UpperBmp.get(); },
         [](TSvelmia* f) { return f->EarringListPict->GetBitmap(); }, Rect(250, 180, 580, 300), 0},
        {"earring frame", "vlm_earring_framelist.bmp", 340, 120,
         [](TSvelmia* f, int cell) { f->DrawEarringFrame(cell); },
         [](TSvelmia* f) { return f->MutableState().UpperBmp.get(); },
         [](TSvelmia* f) { return f->EarringFrameList->GetBitmap(); }, Rect(250, 180, 590, 300), 0},
    };
    for (const Case& c : cases) {
        TBitmap list(c.width, 5 * c.cellHeight, vcl::pf24bit);
        for (int cell = 0; cell < 5; ++cell) {
            const int left = 5 + 7 * cell * (cell % 2 ? 1 : -1) + 20;
            Fill(&list, 0x00102030 + 0x0F * cell,
                 Rect(left, c.cellHeight * cell + 3 * cell + 2, left + c.width / 3 + 9 * cell,
                      c.cellHeight * cell + c.cellHeight - 4 + cell / 2));
        }
        vcl::WriteBmpFile((Folder() / c.file).string(), list);
    }
    StartPortrait();
    for (const Case& c : cases) {
        for (int cell = 0; cell < 5; ++cell) {
            SCOPED_TRACE(std::string(c.name) + " cell " + std::to_string(cell));
            TBitmap* target = c.target(form_);
            TBitmap* picture = c.picture(form_);
            Fill(target, 0x00010203, c.dest);
            c.draw(form_, cell);
            int opaque = 0;
            for (int y = 0; y < c.dest.Height(); ++y) {
                for (int x = 0; x < c.dest.Width(); ++x) {
                    const TColor drawn = Px(picture, x, c.firstCellTop + c.cellHeight * cell + y);
                    const TColor expected = drawn == vcl::clWhite ? TColor(0x00010203) : drawn;
                    opaque += drawn != vcl::clWhite;
                    ASSERT_EQ(Px(target, c.dest.Left + x, c.dest.Top + y), expected) << "at " << x << "," << y;
                }
            }
            EXPECT_GT(opaque, 0);
        }
    }
}

// A string pattern takes the costume's colour at (100,15) on its strokes, in
// each frame from that frame's own cell; with the camisole no pattern is drawn.
// Each cell gets a black dot of its own, at a column that tells the cells apart.
TEST_F(ComposeLayersTest, StringPatternsAreTintedWithTheCostumeColour)
{
    StartPortrait();
    PlainFigure();
    const TColor tint = 0x000000C8;
    form_->Costume->GetBitmap()->SetPixelColor(100, 15, tint);
    struct Case {
        const char* name;
        bool PortraitState::*flag;
        std::function<TBitmap*(TSvelmia*)> pattern;
        TRect dest;
        int cellHeight;
    };
    const Case cases[] = {
        {"strings", &PortraitState::StringPatternOn, [](TSvelmia* f) { return f->StringPattern->GetBitmap(); },
         Rect(200, 10, 480, 220), 210},
        {"thick strings", &PortraitState::ThickStringOn, [](TSvelmia* f) { return f->ThickStringPattern->GetBitmap(); },
         Rect(200, 10, 490, 220), 210},
        {"W strings", &PortraitState::WStringOn, [](TSvelmia* f) { return f->WStringPattern->GetBitmap(); },
         Rect(200, 50, 590, 210), 160},
        {"cross strings", &PortraitState::CrossStringOn, [](TSvelmia* f) { return f->CrossStringPattern->GetBitmap(); },
         Rect(210, 30, 500, 220), 190},
    };
    auto dotX = [](int k) { return 20 + 30 * k; };
    const int dotY = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap* pattern = c.pattern(form_);
        for (int k = 0; k < 3; ++k)
            pattern->SetPixelColor(dotX(k), c.cellHeight * k + dotY, vcl::clBlack);
        S().StringPatternOn = S().ThickStringOn = S().WStringOn = S().CrossStringOn = false;
        S().*(c.flag) = true;
        RecomposeScene1();
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Px(S().FrameBmp[k].get(), c.dest.Left + dotX(k), c.dest.Top + dotY), tint) << "frame " << k;
    }

    S().CamisoleShown = true;
    S().StringPatternOn = S().ThickStringOn = S().WStringOn = S().CrossStringOn = false;
    RecomposeScene1();
    std::unique_ptr<TBitmap> plain[3];
    for (int k = 0; k < 3; ++k)
        plain[k] = Snapshot(S().FrameBmp[k].get());
    S().StringPatternOn = S().ThickStringOn = S().WStringOn = S().CrossStringOn = true;
    RecomposeScene1();
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(SameArea(plain[k].get(), S().FrameBmp[k].get(), Rect(0, 0, 800, 300))) << "frame " << k;
}

// A required part picture smaller than its stated size is never read or
// written outside its own pixels: start-up either refuses it or the portrait
// is composed with every layer on (the sanitizer build checks the accesses).
class ComposeSmallPictureTest : public ComposeFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(ComposeSmallPictureTest, ComposesWithoutReachingOutside)
{
    WritePicture(GetParam(), 9, 7, 0x00204060);
    form_ = Start();
    ASSERT_FALSE(host_.StartupFailed()) << host_.MessageBoxes()[0].Text;
    S().FlowerShown = S().ChokerShown = true;
    S().ThickStringOn = S().WStringOn = S().CrossStringOn = true;
    S().FaceAuto = S().EarringAuto = S().BraceletAuto = true;
    Tick(601);
    S().FlowerAlt = 1;
    S().EarringIndex = S().BraceletIndex = 4;
    S().EyesClosed = true;
    Recompose();
    S().CamisoleShown = true;
    S().LongHair = true;
    Recompose();
    EXPECT_TRUE(S().PortraitComposed);
}

INSTANTIATE_TEST_SUITE_P(ComposeRequired, ComposeSmallPictureTest,
                         ::testing::Values("vlm_scene_strawberry_upper.bmp", "vlm_scene_list.bmp",
                                           "vlm_0_main_hair.bmp", "vlm_0_hair_sub_up.bmp", "vlm_co.bmp", "vlm_ca.bmp",
                                           "vlm_earring_list.bmp", "vlm_string_pattern_list.bmp",
                                           "vlm_crossstring_pattern.bmp", "vlm_ri.bmp", "vlm_hb.bmp", "vlm_fl.bmp",
                                           "vlm_ch.bmp", "vlm_bracelet.bmp", "vlm_0_main_hair_longleft.bmp",
                                           "vlm_facelist_lg.bmp", "vlm_earring_framelist.bmp"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
} // namespace velmia::test
