// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// What one tick shows: the view the tick serves when several view flags are
// set, the chest accessories rising with the breathing body, and the show's
// left figure dressed from its own part pictures.
#include "tests/program/commands_support.h"

#include <string>

using namespace vcl;

namespace velmia::test {
namespace {

class TickViewTest : public CommandTest {};

// Each tick routine leaves its own mark: the close-up wraps its counter at
// 301, the show places the left figure's overlay, the gray view puts the eye
// overlay at the unpanned eye, the portrait at EyeLeft, the four-figure view
// places its small overlays.
struct DispatchRow {
    const char* name;
    bool closeUp, show, gray, portrait, quad;
    int counter;          // CycleCounter after the tick, from 300
    int eyeOverlayLeft;   // CloseEye_disp
    int leftOverlayLeft;  // CloseEye_disp_Left
    int smallOverlayLeft; // SmallClosedPict0
    int stretchLeft;      // CloseEye_disp_stretch
};

constexpr int kUntouched = -1;

const DispatchRow kDispatch[] = {
    {"CloseUpFirst", true, true, true, true, true, 0, kUntouched, kUntouched, kUntouched, 77},
    {"ThenTheShow", false, true, true, true, true, 301, 498, 118, kUntouched, kUntouched},
    {"ThenGray", false, false, true, true, true, 301, 238, kUntouched, kUntouched, kUntouched},
    {"PortraitAndFourFigureInOneTick", false, false, false, true, true, 302, 250, kUntouched, 110, kUntouched},
    {"PortraitAlone", false, false, false, true, false, 301, 250, kUntouched, kUntouched, kUntouched},
    {"FourFigureAlone", false, false, false, false, true, 301, kUntouched, kUntouched, 110, kUntouched},
    {"NoView", false, false, false, false, false, 300, kUntouched, kUntouched, kUntouched, kUntouched},
};

class DispatchTest : public TickViewTest, public ::testing::WithParamInterface<DispatchRow> {};

TEST_P(DispatchTest, FirstMatchingViewWinsAndPortraitSharesWithFourFigure)
{
    const DispatchRow& row = GetParam();
    StartPortrait();
    EnterShow(); // lays out both show figures
    PortraitState& s = S();
    s.CloseUpMode = row.closeUp;
    s.ShowMode = row.show;
    s.GrayMode = row.gray;
    s.PortraitMode = row.portrait;
    s.QuadMode = row.quad;
    s.CycleCounter = 300;
    s.EyeLeft = 250; // as after a pan, so that the portrait and the gray view differ
    s.CloseUpEyeLeft = 77;
    form_->CloseEye_disp->SetLeft(5);
    form_->CloseEye_disp_Left->SetLeft(7);
    form_->SmallClosedPict0->SetLeft(3);
    form_->CloseEye_disp_stretch->SetLeft(9);
    const int ticks = s.TickCount;

    ASSERT_EQ(Tick(), 1);
    EXPECT_EQ(s.CycleCounter, row.counter);
    auto expect = [](int want, int untouched) { return want == kUntouched ? untouched : want; };
    EXPECT_EQ(form_->CloseEye_disp->GetLeft(), expect(row.eyeOverlayLeft, 5));
    EXPECT_EQ(form_->CloseEye_disp_Left->GetLeft(), expect(row.leftOverlayLeft, 7));
    EXPECT_EQ(form_->SmallClosedPict0->GetLeft(), expect(row.smallOverlayLeft, 3));
    EXPECT_EQ(form_->CloseEye_disp_stretch->GetLeft(), expect(row.stretchLeft, 9));
    EXPECT_EQ(s.TickCount, ticks + 1);
    EXPECT_FALSE(s.Busy);
    EXPECT_TRUE(form_->Timer1->GetEnabled());
}

INSTANTIATE_TEST_SUITE_P(Views, DispatchTest, ::testing::ValuesIn(kDispatch),
                         [](const ::testing::TestParamInfo<DispatchRow>& info) {
                             return std::string(info.param.name);
                         });

// ---- Breathing ------------------------------------------------------------------

// The ribbon and the flower in its second placement rise by 0, 2 and 3 pixels
// in body frames 0, 1 and 2; the window shows frame 0 after the composition,
// frame 1 from phase 5, frame 2 from phase 7, frame 1 from 17, frame 0 from 19.
struct BreathRow {
    int ticks; // after the composing tick
    int frame;
};
const BreathRow kBreath[] = {{0, 0}, {5, 0}, {6, 1}, {7, 1}, {8, 2}, {17, 2}, {18, 1}, {20, 0}};

TEST_F(TickViewTest, RibbonAndChestFlowerRiseWithTheBreathInWindowPixels)
{
    constexpr TColor kRibbon = 0x00123456;
    constexpr TColor kFlower = 0x00654321;
    StartPortrait();
    WritePicture("vlm_ri_test.bmp", 200, 80, kRibbon);
    WritePicture("vlm_fl_test.bmp", 100, 120, kFlower);
    host_.ScriptOpenDialog("vlm_ri_test.bmp");
    Type('-');
    host_.ScriptOpenDialog("vlm_fl_test.bmp");
    Type('9');
    ASSERT_TRUE(S().RibbonShown);
    ASSERT_TRUE(S().FlowerShown);
    S().FlowerAlt = 1; // on the chest
    Compose();
    ASSERT_EQ(S().CycleCounter, 0);

    const int rise[3] = {0, 2, 3};
    int done = 0;
    for (const BreathRow& row : kBreath) {
        Tick(row.ticks - done);
        done = row.ticks;
        SCOPED_TRACE("tick " + std::to_string(row.ticks) + ", frame " + std::to_string(row.frame));
        const int r = rise[row.frame];
        // The ribbon right of the flower: rows 175..254 of the body, raised.
        EXPECT_NE(host_.WindowPixel(550, 300 + 174 - r), kRibbon);
        EXPECT_EQ(host_.WindowPixel(550, 300 + 175 - r), kRibbon);
        EXPECT_EQ(host_.WindowPixel(550, 300 + 254 - r), kRibbon);
        EXPECT_NE(host_.WindowPixel(550, 300 + 255 - r), kRibbon);
        // The flower: rows 133..252, over the ribbon, which shows below it.
        EXPECT_NE(host_.WindowPixel(470, 300 + 132 - r), kFlower);
        EXPECT_EQ(host_.WindowPixel(470, 300 + 133 - r), kFlower);
        EXPECT_EQ(host_.WindowPixel(470, 300 + 252 - r), kFlower);
        EXPECT_EQ(host_.WindowPixel(470, 300 + 253 - r), kRibbon);
    }
}

// ---- The show's two figures ---------------------------------------------------

// A part loaded for one show figure appears on that figure only: the left
// figure is drawn from the left pictures, the right from the main ones. With
// the first layout the left figure shows portrait columns 120.. at 0.., the
// right one portrait columns 100.. at 360.., over the left one: the left
// figure's hairband and flower show only in the gap left of the right
// figure's hair.
struct FigureRow {
    const char* name;
    char key;
    int width, height;
    int x, y;           // a window pixel of the part on its figure
    int otherX, otherY; // the same part on the other figure
};

const FigureRow kFigures[] = {
    {"LeftRibbon", '=', 200, 80, 300, 300 + 215, 700, 300 + 215},
    {"LeftHairband", '~', 80, 100, 365, 50, 780, 50},
    {"LeftFlower", ')', 100, 120, 365, 110, 770, 110},
    {"LeftChoker", '(', 150, 150, 300, 280, 660, 280},
    {"LeftCamisole", '\'', 550, 750, 50, 300 + 150, 600, 300 + 150},
    {"MainRibbon", '-', 200, 80, 700, 300 + 215, 300, 300 + 215},
    {"MainChoker", '8', 150, 150, 660, 280, 300, 280},
};

class ShowFigureTest : public TickViewTest, public ::testing::WithParamInterface<FigureRow> {};

TEST_P(ShowFigureTest, PartAppearsOnItsOwnFigureOnly)
{
    const FigureRow& row = GetParam();
    constexpr TColor kPart = 0x00208040;
    StartPortrait();
    EnterShow();
    WritePicture("vlm_part_test.bmp", row.width, row.height, kPart);
    host_.ScriptOpenDialog("vlm_part_test.bmp");
    Type(row.key);
    ASSERT_TRUE(host_.MessageBoxes().empty());
    ASSERT_TRUE(form_->RedrawPending());
    Tick(); // the show composes
    EXPECT_EQ(host_.WindowPixel(row.x, row.y), kPart);
    EXPECT_NE(host_.WindowPixel(row.otherX, row.otherY), kPart);
}

INSTANTIATE_TEST_SUITE_P(Parts, ShowFigureTest, ::testing::ValuesIn(kFigures),
                         [](const ::testing::TestParamInfo<FigureRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmia::test
