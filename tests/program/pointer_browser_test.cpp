// The part files and the part browser: the search and its bounded list, the
// thumbnail grid, picking a part, leaving without a change, and a listed file
// that cannot be loaded.
#include "tests/program/pointer_support.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
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
    };
    const std::vector<Grid> grids = {
        {VK_F2, "vlm_co", 6, 530, 300, 0, 120}, // 3, 3, 1
        {VK_F4, "vlm_hb", 24, 80, 100, 0, 330}, // 8, 8, 8, 1
        {VK_F5, "vlm_fl", 6, 100, 120, 660, 0}, // exactly one row of 7
    };
    for (const Grid& g : grids) {
        WriteParts(g.prefix, g.extra, g.width, g.height, 0x00203040);
        Key(g.key);
        ASSERT_TRUE(form_->State().BrowserOpen) << g.prefix;
        EXPECT_EQ(form_->State().BrowserCount, g.extra + 1);
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

} // namespace
} // namespace velmia::test
