// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The part files and the part browser: the search and its bounded list, the
// thumbnail grid, its pages, picking a part, leaving without a change, and a
// listed file that cannot be loaded.
#include "tests/program/pointer_support.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

class BrowserTest : public PointerTest {
protected:
    // The names in a found-names list.
    static std::vector<std::string> Names(const char* list)
    {
        std::vector<std::string> names;
        for (const char* p = list; *p; p += std::strlen(p) + 1)
            names.emplace_back(p);
        return names;
    }

    // Double-click at a position on the browser screen (Left 20, Top 40).
    void PickAt(int x, int y) { host_.DoubleClick(20 + x, 40 + y); }
};

TEST_F(BrowserTest, SearchListsMatchingNamesWithTheirZeroBytes)
{
    StartPortrait();
    WritePicture("vlm_co2.bmp", 530, 300);
    WritePicture("vlm_costume_red.bmp", 530, 300);
    WritePicture("VLM_CO9.BMP", 530, 300);
    WritePicture("vlm_ch5.bmp", 150, 150);
    WritePicture("_vlm_ch6.bmp", 150, 150);
    std::vector<char> buffer(PortraitState::kBrowserNamesSize, 'x');

    ASSERT_TRUE(form_->FindPartFiles("vlm_co*.bmp", buffer.data()));
    EXPECT_EQ(form_->State().BrowserCount, 4);
    EXPECT_EQ(Names(buffer.data()),
              (std::vector<std::string>{"vlm_co.bmp", "vlm_co2.bmp", "VLM_CO9.BMP", "vlm_costume_red.bmp"}));
    const size_t used = std::strlen("vlm_co.bmp") + std::strlen("vlm_co2.bmp") + std::strlen("VLM_CO9.BMP") +
                        std::strlen("vlm_costume_red.bmp") + 4;
    EXPECT_EQ(buffer[used], '\0');    // the end mark
    EXPECT_EQ(buffer[used + 1], 'x'); // nothing written after it

    ASSERT_TRUE(form_->FindPartFiles("vlm_ch*.bmp", buffer.data()));
    EXPECT_EQ(Names(buffer.data()), (std::vector<std::string>{"vlm_ch.bmp", "vlm_ch5.bmp"}));
    ASSERT_TRUE(form_->FindPartFiles("vlm_co?.bmp", buffer.data()));
    EXPECT_EQ(Names(buffer.data()), (std::vector<std::string>{"vlm_co2.bmp", "VLM_CO9.BMP"}));

    std::vector<char> untouched(64, 'x');
    EXPECT_FALSE(form_->FindPartFiles("vlm_zz*.bmp", untouched.data()));
    EXPECT_EQ(form_->State().BrowserCount, 0);
    EXPECT_EQ(untouched, std::vector<char>(64, 'x'));
}

TEST_F(BrowserTest, TenThousandNamesStopAtTheLastWholeNameThatFits)
{
    StartPortrait();
    for (int i = 0; i < 10000; ++i)
        std::ofstream("vlm_co" + std::to_string(10000 + i) + ".bmp");
    constexpr int kSize = PortraitState::kBrowserNamesSize;
    std::vector<char> buffer(kSize + 256, 'x');
    ASSERT_TRUE(form_->FindPartFiles("vlm_co*.bmp", buffer.data()));
    const std::vector<std::string> names = Names(buffer.data());
    ASSERT_EQ(int(names.size()), form_->State().BrowserCount);
    size_t used = 1;
    for (const std::string& n : names)
        used += n.size() + 1;
    EXPECT_LE(used, size_t(kSize));
    EXPECT_GT(used + std::strlen("vlm_co10000.bmp") + 1, size_t(kSize)); // one more would not fit
    for (size_t i = kSize; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 'x') << i;
    // "vlm_co.bmp" sorts first; all 16-byte names after it.
    EXPECT_EQ(form_->State().BrowserCount, 1 + (kSize - 1 - 11) / 16);
}

TEST_F(BrowserTest, GridPlacesThumbnailsLeftToRightInRows)
{
    StartPortrait();
    struct Grid {
        uint16_t key;
        std::string prefix;
        int extra, width, height; // files besides the default one, part size
        int lastLeft, lastTop;    // top-left of the last cell
        int perPage;              // the whole rows that fit the 520 rows, times the columns
    };
    const std::vector<Grid> grids = {
        {VK_F2, "vlm_co", 6, 530, 300, 0, 120, 3 * 8},    // 3, 3, 1
        {VK_F4, "vlm_hb", 24, 80, 100, 0, 330, 8 * 4},    // 8, 8, 8, 1
        {VK_F5, "vlm_fl", 6, 100, 120, 660, 0, 7 * 4},    // exactly one row of 7
        {VK_F6, "vlm_ri", 14, 200, 80, 420, 360, 3 * 5},  // five whole rows of 3
        {VK_F7, "vlm_ch", 11, 150, 150, 480, 320, 4 * 3}, // three whole rows of 4, not a fourth cut
    };
    for (const Grid& g : grids) {
        WriteParts(g.prefix, g.extra, g.width, g.height, 0x00203040);
        Key(g.key);
        ASSERT_TRUE(form_->State().BrowserOpen) << g.prefix;
        EXPECT_EQ(form_->State().BrowserCount, g.extra + 1);
        EXPECT_EQ(form_->BrowserPageSize(), g.perPage) << g.prefix;
        EXPECT_FALSE(form_->Timer1->GetEnabled());
        // The last file's colour fills the last cell; right of it is white.
        const TColor last = 0x00203040 + 0x000101 * (g.extra - 1);
        EXPECT_EQ(ScreenPixel(g.lastLeft + 5, g.lastTop + 5), last) << g.prefix;
        EXPECT_EQ(ScreenPixel(g.lastLeft + form_->State().ThumbWidth - 1, g.lastTop + form_->State().ThumbHeight - 1),
                  last)
            << g.prefix;
        EXPECT_EQ(ScreenPixel(g.lastLeft + form_->State().ThumbWidth + 5, g.lastTop + 5),
                  g.lastLeft == 660 ? -1 : clWhite)
            << g.prefix;
        host_.RightPress(20 + 5, 40 + 5);
        ASSERT_FALSE(form_->State().BrowserOpen);
    }
}

TEST_F(BrowserTest, DoubleClickColumnAndRowRules)
{
    StartPortrait();
    WriteParts("vlm_hb", 24, 80, 100);
    Key(VK_F4);
    PickAt(725, 5); // right of the eighth column: column 8 > 7
    EXPECT_TRUE(form_->State().BrowserOpen);
    PickAt(5, 445); // below the fourth row: index 32 >= 25
    EXPECT_TRUE(form_->State().BrowserOpen);
    PickAt(5 + 90, 335); // row 3 holds only index 24; column 1 is empty
    EXPECT_TRUE(form_->State().BrowserOpen);
    PickAt(5, 335); // index 24: the last file
    EXPECT_FALSE(form_->State().BrowserOpen);
    EXPECT_EQ(form_->State().HairBandFileName, "vlm_hb123.bmp");
}

TEST_F(BrowserTest, PickingACostumeReplacesItAndRecomposes)
{
    StartPortrait();
    WritePicture("vlm_co_blue.bmp", 530, 300, 0x00C02010);
    Key(VK_F2);
    ASSERT_EQ(form_->State().BrowserCount, 2);
    S().CamisoleShown = true;
    PickAt(250, 55); // the gap right of and below cell 0 picks cell 0: vlm_co.bmp
    EXPECT_EQ(form_->State().CostumeFileName, "vlm_co.bmp");

    Key(VK_F2);
    PickAt(255 + 5, 5); // cell 1
    EXPECT_EQ(form_->State().CostumeFileName, "vlm_co_blue.bmp");
    EXPECT_FALSE(form_->State().CamisoleShown);
    EXPECT_EQ(form_->Costume->GetBitmap()->GetPixelColor(100, 15), TColor(0x00C02010));
    EXPECT_FALSE(form_->State().BrowserOpen);
    EXPECT_FALSE(form_->DispTargetsScreen->GetVisible());
    EXPECT_EQ(form_->State().BrowserNames, nullptr);
    EXPECT_TRUE(form_->RedrawPending());
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_FALSE(form_->State().Busy);
    Tick();
}

TEST_F(BrowserTest, ShiftDoubleClickInTheShowDressesTheLeftFigure)
{
    StartPortrait();
    WritePicture("vlm_co_blue.bmp", 530, 300, 0x00C02010);
    S().ShowMode = true;
    S().PortraitMode = false;
    const TColor costume = form_->Costume->GetBitmap()->GetPixelColor(100, 15);
    Key(VK_F2);
    ASSERT_TRUE(form_->State().BrowserOpen);
    host_.SetShift(true);
    PickAt(255 + 5, 5);
    host_.SetShift(false);
    EXPECT_EQ(form_->State().CostumeWork->GetPixelColor(100, 15), TColor(0x00C02010));
    EXPECT_EQ(form_->Costume->GetBitmap()->GetPixelColor(100, 15), costume);
}

TEST_F(BrowserTest, RightPressLeavesWithoutAnyChange)
{
    StartPortrait();
    WriteParts("vlm_co", 6, 530, 300);
    S().CycleCounter = 42;
    const int scene = form_->State().SceneIndex;
    const std::string name = form_->State().CostumeFileName;
    const TColor costume = form_->Costume->GetBitmap()->GetPixelColor(100, 15);
    Key(VK_F2);
    ASSERT_TRUE(form_->State().BrowserOpen);
    EXPECT_EQ(Tick(), 0); // the portrait stands still
    Key(VK_F1);
    EXPECT_FALSE(form_->logo->GetVisible()); // keys are ignored too
    host_.RightPress(400, 300);
    EXPECT_FALSE(form_->State().BrowserOpen);
    EXPECT_EQ(form_->State().CycleCounter, 42);
    EXPECT_EQ(form_->State().SceneIndex, scene);
    EXPECT_EQ(form_->State().CostumeFileName, name);
    EXPECT_EQ(form_->Costume->GetBitmap()->GetPixelColor(100, 15), costume);
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_EQ(form_->State().BrowserNames, nullptr);
}

TEST_F(BrowserTest, AFileThatCannotBeLoadedIsReportedAndChangesNothing)
{
    StartPortrait();
    std::ofstream("vlm_co_broken.bmp") << "BM this is not a picture";
    const TColor costume = form_->Costume->GetBitmap()->GetPixelColor(100, 15);
    Key(VK_F2);
    ASSERT_EQ(form_->State().BrowserCount, 2);
    EXPECT_EQ(ScreenPixel(255 + 5, 5), TColor(0xC0C0C0)); // shown as a grey cell
    PickAt(255 + 5, 5);
    ASSERT_EQ(host_.MessageBoxes().size(), 1u);
    EXPECT_NE(host_.MessageBoxes()[0].Text.find("vlm_co_broken.bmp"), std::string::npos);
    EXPECT_FALSE(form_->State().BrowserOpen);
    EXPECT_FALSE(form_->DispTargetsScreen->GetVisible());
    EXPECT_TRUE(form_->Timer1->GetEnabled());
    EXPECT_FALSE(form_->State().Busy);
    EXPECT_EQ(form_->State().CostumeFileName, "vlm_co");
    EXPECT_EQ(form_->Costume->GetBitmap()->GetPixelColor(100, 15), costume);
    EXPECT_EQ(form_->State().PartBitmap, nullptr);
    EXPECT_EQ(Tick(), 1);
}

// 208 costume files of one colour each, the default one removed: nine pages
// of 24 cells (three a row, the eight whole rows that fit the screen), the
// last holding 16.
class BrowserPagesTest : public BrowserTest {
protected:
    static constexpr int kFiles = 208;
    static constexpr int kPerPage = 24;
    static constexpr int kScreenW = 760;
    static constexpr int kScreenH = 520;
    // Where "page N of 9" lies (N one digit): the screen's lower right corner.
    static constexpr TRect kLabel{692, 504, 760, 520};

    static TColor Colour(int index) { return 0x00102030 + 0x000101 * index; }
    static std::string FileName(int index) { return "vlm_co" + std::to_string(100 + index) + ".bmp"; }
    static TRect Cell(int slot)
    {
        const int left = slot % 3 * 255, top = slot / 3 * 60;
        return Rect(left, top, left + 245, top + 50);
    }

    void WriteCostumes(int count)
    {
        RemoveFile("vlm_co.bmp");
        WriteParts("vlm_co", count, 530, 300);
    }

    // The screen as one page of these files is drawn without any label: white,
    // with cells [first, first + count) left to right from the corner.
    static std::vector<TColor> Cells(int first, int count)
    {
        std::vector<TColor> px(size_t(kScreenW * kScreenH), clWhite);
        for (int slot = 0; slot < count; ++slot) {
            const TRect c = Cell(slot);
            for (int y = c.Top; y < std::min(c.Bottom, kScreenH); ++y)
                for (int x = c.Left; x < c.Right; ++x)
                    px[size_t(y * kScreenW + x)] = Colour(first + slot);
        }
        return px;
    }
    std::vector<TColor> Screen()
    {
        std::vector<TColor> px(size_t(kScreenW * kScreenH));
        for (int y = 0; y < kScreenH; ++y)
            for (int x = 0; x < kScreenW; ++x)
                px[size_t(y * kScreenW + x)] = ScreenPixel(x, y);
        return px;
    }
    // Pixels of `a` and `b` that differ, outside and inside the label's corner.
    static std::pair<int, int> Differences(const std::vector<TColor>& a, const std::vector<TColor>& b)
    {
        int outside = 0, inside = 0;
        for (int y = 0; y < kScreenH; ++y)
            for (int x = 0; x < kScreenW; ++x)
                if (a[size_t(y * kScreenW + x)] != b[size_t(y * kScreenW + x)])
                    ++(kLabel.Contains(x, y) ? inside : outside);
        return {outside, inside};
    }
    static std::vector<TColor> Label(const std::vector<TColor>& px)
    {
        std::vector<TColor> label;
        for (int y = kLabel.Top; y < kLabel.Bottom; ++y)
            for (int x = kLabel.Left; x < kLabel.Right; ++x)
                label.push_back(px[size_t(y * kScreenW + x)]);
        return label;
    }

    // The page on the screen, told by its first cell; -1 for none.
    int PageShown()
    {
        for (int page = 0; page * kPerPage < kFiles; ++page)
            if (ScreenPixel(5, 5) == Colour(page * kPerPage))
                return page;
        return -1;
    }

    // Page turns: n / p Page Down / Up, d / u the wheel turned down / up.
    void Turn(const std::string& turns)
    {
        for (const char t : turns) {
            if (t == 'n' || t == 'p')
                Key(t == 'n' ? VK_NEXT : VK_PRIOR);
            else
                host_.Wheel(t == 'u');
        }
    }
};

TEST_F(BrowserPagesTest, KeysAndTheWheelTurnThePagesUpToTheEnds)
{
    StartPortrait();
    WriteCostumes(kFiles);
    Key(VK_F2);
    ASSERT_TRUE(S().BrowserOpen);
    ASSERT_EQ(S().BrowserCount, kFiles);
    struct Step {
        std::string turns;
        int page; // 0 = "page 1 of 9"
    };
    const std::vector<Step> steps = {
        {"", 0},    {"p", 0},         {"u", 0}, // no page before the first
        {"n", 1},   {"d", 2},         {"u", 1}, {"p", 0},
        {"dnd", 3}, {"nnnnnnnnn", 8}, {"d", 8}, {"n", 8}, // none after the last
        {"u", 7},   {"pppppppu", 0},
    };
    std::vector<std::vector<TColor>> labels(9);
    const int zoom = S().ZoomPercent;
    std::string done;
    for (const Step& step : steps) {
        done += step.turns;
        SCOPED_TRACE("turns \"" + done + "\"");
        Turn(step.turns);
        ASSERT_EQ(PageShown(), step.page);
        EXPECT_TRUE(S().BrowserOpen);
        EXPECT_FALSE(form_->Timer1->GetEnabled());
        // The page's cells where one screen of the same files has them; the
        // label in the corner only.
        const std::vector<TColor> screen = Screen();
        const int count = std::min(kPerPage, kFiles - step.page * kPerPage);
        const auto [outside, inside] = Differences(screen, Cells(step.page * kPerPage, count));
        EXPECT_EQ(outside, 0);
        EXPECT_GT(inside, 50);
        // Each page its own label, the same whenever that page comes back.
        const std::vector<TColor> label = Label(screen);
        if (labels[size_t(step.page)].empty())
            labels[size_t(step.page)] = label;
        EXPECT_EQ(label, labels[size_t(step.page)]);
        for (size_t other = 0; other < labels.size(); ++other) {
            if (int(other) != step.page && !labels[other].empty()) {
                EXPECT_NE(label, labels[other]) << "page " << other + 1;
            }
        }
        // The portrait's own meanings of these keys and the wheel stay away.
        EXPECT_EQ(S().PanX, 0);
        EXPECT_FALSE(S().CloseUpMode);
        EXPECT_EQ(S().ZoomPercent, zoom);
    }
    // The label's ink is the grey of the pixel font, its box white and edged.
    const std::vector<TColor>& first = labels[0];
    EXPECT_EQ(first.front(), TColor(0xC0C0C0));
    EXPECT_EQ(first.back(), clWhite);
    EXPECT_GT(std::count(first.begin(), first.end(), TColor(0x404040)), 40);
}

// One screen of files shows no label and no page turns: the first 24 of the
// 208 give the screen of today's browser exactly, and the first page of all
// 208 the same screen but for its label.
TEST_F(BrowserPagesTest, OneScreenOfFilesShowsNoLabelAndTheSamePixels)
{
    StartPortrait();
    WriteCostumes(kFiles);
    Key(VK_F2);
    const std::vector<TColor> paged = Screen();
    Key(VK_NEXT);
    Key(VK_PRIOR);
    EXPECT_EQ(Screen(), paged);
    host_.RightPress(400, 300);
    ASSERT_FALSE(S().BrowserOpen);

    for (int i = kPerPage; i < kFiles; ++i)
        RemoveFile(FileName(i));
    Key(VK_F2);
    ASSERT_EQ(S().BrowserCount, kPerPage);
    const std::vector<TColor> single = Screen();
    EXPECT_EQ(single, Cells(0, kPerPage));
    Turn("ndnu");
    EXPECT_EQ(Screen(), single);
    const auto [outside, inside] = Differences(paged, single);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 50);
}

TEST_F(BrowserPagesTest, ADoubleClickPicksTheFileUnderThePointerOnAnyPage)
{
    StartPortrait();
    WriteCostumes(kFiles);
    struct Pick {
        std::string turns;
        int x, y;
        bool leftFigure; // in the show, Shift held at the double-click
        int index;       // the file picked; -1: nothing, the browser stays open
    };
    const std::vector<Pick> picks = {
        {"nnnnnnnn", 5, 5, false, 192},           // page 9, first cell
        {"nnnnnnnn", 5, 305, false, 207},         // page 9, the last file
        {"nnnnnnnn", 255 + 5, 305, false, -1},    // page 9, right of the last file
        {"dd", 250, 55, false, 48},               // page 3: the gap picks the cell left of and above it
        {"n", 510 + 5, 465, false, 47},           // page 2, the last cell, whole on the screen
        {"n", 510 + 5, 485, false, -1},           // page 2, below the last whole row: no cell
        {"", 740, 515, false, -1},                // on the label: no cell
        {"ddddddddunnp", 255 + 5, 5, false, 169}, // page 8 after turning past the end and back
        {"nnnn", 255 + 5, 65, true, 100},         // page 5, to the left figure
    };
    for (const Pick& pick : picks) {
        SCOPED_TRACE("turns \"" + pick.turns + "\" at " + std::to_string(pick.x) + "," + std::to_string(pick.y));
        S().ShowMode = pick.leftFigure;
        S().PortraitMode = !pick.leftFigure;
        const TColor costume = form_->Costume->GetBitmap()->GetPixelColor(100, 15);
        Key(VK_F2);
        ASSERT_TRUE(S().BrowserOpen);
        ASSERT_EQ(PageShown(), 0) << "the browser opens on its first page";
        Turn(pick.turns);
        Key(VK_F4); // the function keys do nothing while it is open
        EXPECT_EQ(S().BrowserKind, 2);
        host_.SetShift(pick.leftFigure);
        PickAt(pick.x, pick.y);
        host_.SetShift(false);
        if (pick.index < 0) {
            EXPECT_TRUE(S().BrowserOpen);
            host_.TypeChar('\x1b');
            ASSERT_FALSE(S().BrowserOpen) << "Esc closes the browser on any page";
            continue;
        }
        ASSERT_FALSE(S().BrowserOpen);
        EXPECT_EQ(S().ChosenPartFile, FileName(pick.index));
        if (pick.leftFigure) {
            EXPECT_EQ(S().CostumeWork->GetPixelColor(100, 15), Colour(pick.index));
            EXPECT_EQ(form_->Costume->GetBitmap()->GetPixelColor(100, 15), costume);
        } else {
            EXPECT_EQ(S().CostumeFileName, FileName(pick.index));
            EXPECT_EQ(form_->Costume->GetBitmap()->GetPixelColor(100, 15), Colour(pick.index));
            Tick();
        }
    }
}

} // namespace
} // namespace velmia::test
