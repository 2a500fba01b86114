// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A part file looks the same whatever its size and whichever way it comes:
// a smaller file gives the same window as the same picture padded with white
// to the part's cell, a larger one the same as its crop, and a pick in the
// part browser the same as the key command that opens the file dialog. Each
// run starts a fresh form, so the two runs of a pair differ only in the file.
#include "tests/program/ProgramFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace vcl;

namespace velmia::test {
namespace {

struct PartRow {
    const char* name;
    char key;    // the key command with the open dialog
    bool left;   // the show's left figure
    uint16_t vk; // the browser key
    const char* prefix;
    int width, height; // the part's cell
};

const PartRow kParts[] = {
    {"costume", '\\', false, VK_F2, "vlm_co", 530, 300},    {"camisole", '7', false, VK_F3, "vlm_ca", 550, 750},
    {"hairband", '0', false, VK_F4, "vlm_hb", 80, 100},     {"flower", '9', false, VK_F5, "vlm_fl", 100, 120},
    {"ribbon", '-', false, VK_F6, "vlm_ri", 200, 80},       {"choker", '8', false, VK_F7, "vlm_ch", 150, 150},
    {"left_costume", '_', true, VK_F2, "vlm_co", 530, 300}, {"left_camisole", '\'', true, VK_F3, "vlm_ca", 550, 750},
    {"left_hairband", '~', true, VK_F4, "vlm_hb", 80, 100}, {"left_flower", ')', true, VK_F5, "vlm_fl", 100, 120},
    {"left_ribbon", '=', true, VK_F6, "vlm_ri", 200, 80},   {"left_choker", '(', true, VK_F7, "vlm_ch", 150, 150},
};

// A picture with something in every corner and white holes, so that padding,
// cropping and masks all show.
std::unique_ptr<TBitmap> Pattern(int width, int height)
{
    auto picture = std::make_unique<TBitmap>(width, height, pf24bit);
    TBitmap& b = *picture;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            TColor c = TColor(0x00203040 + ((x * 7) & 0x3F) + (((y * 5) & 0x3F) << 8));
            if ((x / 9 + y / 7) % 4 == 0)
                c = clWhite;
            b.SetPixelColor(x, y, c);
        }
    return picture;
}

// The picture cut or padded with white to width x height.
std::unique_ptr<TBitmap> Fitted(const TBitmap& picture, int width, int height)
{
    auto b = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b->SetPixelColor(x, y,
                             x < picture.GetWidth() && y < picture.GetHeight() ? picture.GetPixelColor(x, y) : clWhite);
    return b;
}

class PartPlacementTest : public ProgramTest, public ::testing::WithParamInterface<PartRow> {
protected:
    using Steps = std::function<void(HeadlessHost&, TSvelmia&)>;

    // A fresh form in the test folder: started, `started` run, shown in the
    // row's figure, `load` run, then three compositions and some breathing.
    // Returns the window picture.
    std::vector<TColor> Run(const Steps& load, const Steps& started = nullptr)
    {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>(watch_);
        EXPECT_FALSE(host.StartupFailed());
        if (started)
            started(host, *form);
        PortraitState& s = form->MutableState();
        auto compose = [&] {
            form->RequestRedraw();
            host.FireTimer(form->Timer1);
        };
        host.FireTimer(form->Timer1);
        compose();
        if (GetParam().left) {
            host.TypeChar('q');
            host.TypeChar('w');
            EXPECT_TRUE(s.ShowMode);
        }
        host.FireTimer(form->Timer1);
        // In the show a browser pick steps the automatic counters back and a
        // key command does not; the part is the same either way, so both
        // runs go on from the same counters.
        const int counters[] = {s.SceneIndex, s.FaceIndex, s.EarringIndex, s.BraceletIndex};
        load(host, *form);
        s.SceneIndex = counters[0];
        s.FaceIndex = counters[1];
        s.EarringIndex = counters[2];
        s.BraceletIndex = counters[3];
        EXPECT_EQ(host.MessageBoxes().size(), messages_)
            << (host.MessageBoxes().empty() ? "" : host.MessageBoxes()[0].Text);
        compose();
        host.FireTimer(form->Timer1, 45); // through the breathing frames
        std::vector<TColor> pixels;
        const TBitmap& window = host.WindowPicture();
        for (int y = 0; y < window.GetHeight(); ++y)
            for (int x = 0; x < window.GetWidth(); ++x)
                pixels.push_back(window.GetPixelColor(x, y));
        return pixels;
    }

    Steps ByKey(const std::string& file)
    {
        return [file, key = GetParam().key](HeadlessHost& host, TSvelmia&) {
            host.ScriptOpenDialog(file);
            host.TypeChar(key);
        };
    }

    void Write(const std::string& name, const TBitmap& picture) { WriteBmpFile((Folder() / name).string(), picture); }
    // Replaces a file as an editor saves it: a new file renamed over it.
    void Replace(const std::string& name, const std::string& with)
    {
        std::filesystem::copy_file(Folder() / with, Folder() / (name + ".new"));
        std::filesystem::rename(Folder() / (name + ".new"), Folder() / name);
    }

    bool watch_ = false;  // the forms run as velmia --watch
    size_t messages_ = 0; // the message boxes a run shows

    static size_t Differences(const std::vector<TColor>& a, const std::vector<TColor>& b)
    {
        size_t n = a.size() == b.size() ? 0 : std::max(a.size(), b.size());
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
            n += a[i] != b[i];
        return n;
    }
};

TEST_P(PartPlacementTest, SmallerFileIsTheFilePaddedWithWhite)
{
    const PartRow& p = GetParam();
    const auto small = Pattern(p.width / 2, p.height / 2);
    Write(std::string(p.prefix) + "_s.bmp", *small);
    Write(std::string(p.prefix) + "_p.bmp", *Fitted(*small, p.width, p.height));
    const auto padded = Run(ByKey(std::string(p.prefix) + "_p.bmp"));
    EXPECT_EQ(Differences(Run(ByKey(std::string(p.prefix) + "_s.bmp")), padded), 0u);
    // And the part is really on screen: without it the window differs.
    EXPECT_NE(Differences(Run([](HeadlessHost&, TSvelmia&) {}), padded), 0u);
}

TEST_P(PartPlacementTest, LargerFileIsItsCrop)
{
    const PartRow& p = GetParam();
    const auto large = Pattern(p.width + 31, p.height + 17);
    Write(std::string(p.prefix) + "_l.bmp", *large);
    Write(std::string(p.prefix) + "_c.bmp", *Fitted(*large, p.width, p.height));
    EXPECT_EQ(Differences(Run(ByKey(std::string(p.prefix) + "_l.bmp")), Run(ByKey(std::string(p.prefix) + "_c.bmp"))),
              0u);
}

// A part is cut by its own outline whichever way it is worn. The pattern's
// outline is not the default part's: worn at start-up (in place of the
// default file) it gives the same window as worn later by key. For the left
// figure the part comes into the show with the figure q copies, and the main
// figure takes its default part back by key: the same window as the left
// figure wearing it by key, so the default part looks as it did at start-up.
TEST_P(PartPlacementTest, WornLaterIsWornFromTheStart)
{
    namespace fs = std::filesystem;
    const PartRow& p = GetParam();
    const PartRow& main = *std::find_if(std::begin(kParts), std::end(kParts), [&](const PartRow& row) {
        return !row.left && std::string(row.prefix) == p.prefix;
    });
    const auto kind = TSvelmia::PartKind(TSvelmia::kPartCostume + (p.vk - VK_F2));
    const std::string start = std::string(p.prefix) + ".bmp";
    const std::string other = std::string(p.prefix) + "_o.bmp";
    const std::string saved = std::string(p.prefix) + "_d.bmp";
    Write(other, *Pattern(p.width, p.height));
    fs::copy_file(Folder() / start, Folder() / saved);
    auto wearDefault = [&](HeadlessHost& host) {
        host.ScriptOpenDialog(saved);
        host.TypeChar(main.key);
    };
    const auto later = Run([&](HeadlessHost& host, TSvelmia& form) {
        if (p.left)
            wearDefault(host);
        ByKey(other)(host, form);
    });
    fs::copy_file(Folder() / other, Folder() / start, fs::copy_options::overwrite_existing);
    // Shown as wearing it by key shows it (a camisole, flower or choker is
    // not shown at start-up).
    const auto fromStart = Run(
        [&](HeadlessHost& host, TSvelmia&) {
            if (p.left)
                wearDefault(host);
        },
        [&](HeadlessHost&, TSvelmia& form) { form.WearPart(kind, Figure::Main, start); });
    EXPECT_EQ(Differences(later, fromStart), 0u);
}

// A 32-bit file whose alpha is in use shows as its colours laid over white,
// made here: a pixel less than half opaque is white (the transparent colour),
// a half opaque one is mixed with white, an opaque one unchanged. Its
// transparent background is black, as graphics programs often keep it.
TEST_P(PartPlacementTest, AlphaIsLaidOverWhite)
{
    const PartRow& p = GetParam();
    const auto pattern = Pattern(p.width, p.height);
    TBitmap alpha(p.width, p.height, pf32bit);
    TBitmap over(p.width, p.height, pf24bit);
    alpha.SetHasAlpha(true);
    static const uint8_t kAlphas[] = {0, 60, 127, 128, 200, 255, 255};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t a = kAlphas[(x / 3 + y / 4) % 7];
            const TColor c = a == 0 ? clBlack : pattern->GetPixelColor(x, y);
            alpha.SetPixelColor(x, y, c);
            alpha.ScanLine(y)[4 * x + 3] = a;
            auto mix = [a](uint32_t v) { return 255 - ((255 - v) * a + 127) / 255; };
            over.SetPixelColor(
                x, y, a < 128 ? clWhite : TColor(mix(c & 0xFF) | mix(c >> 8 & 0xFF) << 8 | mix(c >> 16 & 0xFF) << 16));
        }
    Write(std::string(p.prefix) + "_a.bmp", alpha);
    Write(std::string(p.prefix) + "_w.bmp", over);
    const auto overWhite = Run(ByKey(std::string(p.prefix) + "_w.bmp"));
    EXPECT_EQ(Differences(Run(ByKey(std::string(p.prefix) + "_a.bmp")), overWhite), 0u);
    // Alpha 0 everywhere is no alpha in use: the colours show as they are.
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            alpha.ScanLine(y)[4 * x + 3] = 0;
    Write(std::string(p.prefix) + "_z.bmp", alpha);
    alpha.SetPixelFormat(pf24bit);
    Write(std::string(p.prefix) + "_c.bmp", alpha);
    EXPECT_EQ(Differences(Run(ByKey(std::string(p.prefix) + "_z.bmp")), Run(ByKey(std::string(p.prefix) + "_c.bmp"))),
              0u);
}

// velmia --watch: a worn part file that an author saves again is read again,
// giving the window of the new version worn by key; a version that cannot be
// read keeps the picture, and says so once.
TEST_P(PartPlacementTest, WatchedFileIsReadAgainWhenItChanges)
{
    const PartRow& p = GetParam();
    const std::string worn = std::string(p.prefix) + "_e.bmp";
    const std::string first = std::string(p.prefix) + "_1.bmp";
    const std::string second = std::string(p.prefix) + "_2.bmp";
    Write(first, *Pattern(p.width, p.height));
    Write(second, *Fitted(*Pattern(p.width / 2 + 7, p.height / 3 + 5), p.width, p.height));
    watch_ = true;
    auto wearFirst = [&](HeadlessHost& host, TSvelmia& form) {
        std::filesystem::remove(Folder() / worn);
        Replace(worn, first);
        ByKey(worn)(host, form);
        host.FireTimer(form.WatchTimer, 3); // unchanged: nothing is read
    };
    const auto edited = Run([&](HeadlessHost& host, TSvelmia& form) {
        wearFirst(host, form);
        Replace(worn, second);
        host.FireTimer(form.WatchTimer, 2); // one look sees the change, the next reads it
    });
    EXPECT_EQ(Differences(edited, Run(ByKey(second))), 0u);

    messages_ = 1;
    const auto broken = Run([&](HeadlessHost& host, TSvelmia& form) {
        wearFirst(host, form);
        std::ofstream(Folder() / worn, std::ios::binary | std::ios::trunc) << "BM, saved half way";
        host.FireTimer(form.WatchTimer, 6);
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_NE(host.MessageBoxes()[0].Text.find(worn), std::string::npos) << host.MessageBoxes()[0].Text;
    });
    messages_ = 0;
    EXPECT_EQ(Differences(broken, Run(ByKey(first))), 0u);
    // Without --watch nothing is looked at.
    watch_ = false;
    EXPECT_NE(Differences(Run([&](HeadlessHost& host, TSvelmia& form) {
                              wearFirst(host, form);
                              Replace(worn, second);
                              host.FireTimer(form.WatchTimer, 2);
                          }),
                          edited),
              0u);
}

// The browser lists the default file first and then ours; a double-click on
// the second thumbnail picks it (Shift picks it for the left figure).
TEST_P(PartPlacementTest, BrowserPickIsTheKeyCommand)
{
    const PartRow& p = GetParam();
    const std::string file = std::string(p.prefix) + "_s.bmp";
    Write(file, *Pattern(p.width / 2 + 3, p.height / 3));
    const auto byBrowser = Run([&](HeadlessHost& host, TSvelmia& form) {
        host.PressKey(p.vk);
        ASSERT_TRUE(form.State().BrowserOpen);
        ASSERT_EQ(form.State().BrowserCount, 2);
        const int thumb = form.State().ThumbWidth;
        host.SetShift(p.left);
        host.DoubleClick(20 + thumb + 10 + 2, 40 + 2);
        host.SetShift(false);
        ASSERT_FALSE(form.State().BrowserOpen);
    });
    EXPECT_EQ(Differences(byBrowser, Run(ByKey(file))), 0u);
}

INSTANTIATE_TEST_SUITE_P(Parts, PartPlacementTest, ::testing::ValuesIn(kParts),
                         [](const ::testing::TestParamInfo<PartRow>& info) { return info.param.name; });

} // namespace
} // namespace velmia::test
