// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Start-up and close of the form over the default artwork and damaged copies.
#include "tests/program/ProgramFixture.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace velmia::test {
namespace {

TEST_F(ProgramTest, DefaultArtworkStartsThePortrait)
{
    // Scene 0's two pictures of one colour (see the end).
    WritePicture("vlm_scene_strawberry_upper.bmp", 800, 600, 0x00E0F0C0);
    WritePicture("vlm_scene_strawberry_lower.bmp", 800, 600, 0x00E0F0C0);
    TSvelmia* form = Start();
    ASSERT_FALSE(host_.StartupFailed());
    const PortraitState& s = form->State();
    EXPECT_TRUE(host_.MessageBoxes().empty());
    EXPECT_TRUE(form->Timer1->GetEnabled());
    EXPECT_FALSE(form->Timer2->GetEnabled());
    EXPECT_TRUE(form->Mainpict->GetVisible());
    EXPECT_TRUE(form->mySubcanvas->GetVisible());
    EXPECT_TRUE(form->GetVisible());
    EXPECT_TRUE(s.Busy) << "input waits for the first tick";
    EXPECT_TRUE(s.PortraitMode);
    EXPECT_FALSE(s.ShowMode || s.QuadMode || s.GrayMode || s.CloseUpMode);
    EXPECT_FALSE(s.AlternatePhase);
    EXPECT_GE(s.FaceCount, 1);
    EXPECT_EQ(s.FaceCount, s.FaceListHeight / 123);
    EXPECT_EQ(s.StarListRect, vcl::Rect(0, 0, 120, 500));
    // The black-and-white palette of the masks.
    EXPECT_EQ(s.BlackWhitePalette.palNumEntries, 2);
    EXPECT_EQ(s.BlackWhitePalette.palPalEntry[1].peRed, 255);
    EXPECT_EQ(s.HairMainMask->GetPixelFormat(), vcl::pf8bit);
    ASSERT_EQ(s.HairMainMask->GetPalette().size(), 2u);

    // The first picture is what a composition of the same scene draws for
    // this selection, hairband and earrings included: composing again right
    // away changes no pixel of the window. (Scene 0 takes its other picture
    // the second time; the two are alike here.)
    host_.FireTimer(form->Timer1);
    vcl::TBitmap first;
    first.Assign(host_.WindowPicture());
    form->MutableState().CycleCounter = 600;
    host_.FireTimer(form->Timer1);
    ASSERT_EQ(s.SceneIndex, 1) << "scene 0 was composed";
    int differ = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            differ += host_.WindowPixel(x, y) != first.GetPixelColor(x, y);
    EXPECT_EQ(differ, 0);
}

// The strips hold the mask in the upper cell and the picture in the lower:
// wherever the picture is white its mask is white, elsewhere black.
TEST_F(ProgramTest, StripMasksMatchTheirPictures)
{
    TSvelmia* form = Start();
    ASSERT_FALSE(host_.StartupFailed());
    struct Strip {
        vcl::TImage* image;
        int width, cell;
    } strips[] = {{form->FlowerPict, 100, 120},
                  {form->Choker, 150, 150},
                  {form->BraceletList, 130, 40},
                  {form->Hair_LongLeft, 150, 150}};
    for (const Strip& strip : strips) {
        vcl::TBitmap* b = strip.image->GetBitmap();
        int mismatches = 0;
        for (int y = 0; y < strip.cell; ++y)
            for (int x = 0; x < strip.width; ++x) {
                const bool white = b->GetPixelColor(x, y + strip.cell) == vcl::clWhite;
                const vcl::TColor mask = b->GetPixelColor(x, y);
                mismatches += mask != (white ? vcl::clWhite : vcl::clBlack);
            }
        EXPECT_EQ(mismatches, 0) << strip.image->GetName();
    }
}

TEST_F(ProgramTest, EveryOptionalFileAbsent)
{
    for (const char* name : kOptionalFiles)
        if (std::filesystem::exists(name))
            RemoveFile(name);
    TSvelmia* form = Start();
    ASSERT_FALSE(host_.StartupFailed()) << host_.MessageBoxes().front().Text;
    const PortraitState& s = form->State();
    EXPECT_TRUE(form->Timer1->GetEnabled());
    EXPECT_FALSE(s.EarringFramesLoaded);
    EXPECT_FALSE(s.BackgroundLoaded);
    EXPECT_FALSE(s.StreamingLoaded);
    EXPECT_FALSE(s.StarListLoaded);
    EXPECT_TRUE(s.ShaggyMissing);
    EXPECT_TRUE(s.PankMissing);
    EXPECT_TRUE(s.OtohimeMissing);
    // The alternative hair pictures exist blank, their masks with no size.
    EXPECT_EQ(s.ShaggyBmp->GetWidth(), 450);
    EXPECT_EQ(s.ShaggyBmp->GetHeight(), 250);
    EXPECT_TRUE(s.ShaggyMask->Empty());
    EXPECT_TRUE(s.ShaggyEyeBmp->Empty());
    EXPECT_TRUE(s.ShaggyEyeMask->Empty());
    EXPECT_TRUE(s.PankMask->Empty());
    EXPECT_TRUE(s.OtohimeMask->Empty());
    // Masks of optional pictures exist only with their picture.
    EXPECT_EQ(s.EarringFrameMask, nullptr);
    EXPECT_EQ(s.BackgroundMask, nullptr);
    EXPECT_EQ(s.StreamingMask, nullptr);
    EXPECT_EQ(s.StarListMask, nullptr);
    EXPECT_EQ(s.StarCell, nullptr);

    // Close frees everything that exists, and nothing twice.
    host_.CloseWindow();
    EXPECT_TRUE(host_.Closed());
    EXPECT_FALSE(form->Timer1->GetEnabled());
    EXPECT_EQ(s.UpperBmp, nullptr);
    EXPECT_EQ(s.ShaggyBmp, nullptr);
    EXPECT_EQ(s.FaceWorkB, nullptr);
    for (const auto& frame : s.FrameBmp)
        EXPECT_EQ(frame, nullptr);
}

// One optional file absent at a time: only its own flag changes (and the star
// list, which is not even read without the background).
TEST_F(ProgramTest, EachOptionalFileAbsent)
{
    struct Case {
        const char* file;
        bool frames, background, streaming, stars, shaggy, pank, otohime;
    } cases[] = {
        {"vlm_earring_framelist.bmp", false, true, true, true, false, false, false},
        {"vlm_shaggy.bmp", true, true, true, true, true, false, false},
        {"vlm_pank.bmp", true, true, true, true, false, true, false},
        {"vlm_otohime.bmp", true, true, true, true, false, false, true},
        {"vlm_background.bmp", true, false, true, false, false, false, false},
        {"vlm_streaming.bmp", true, true, false, true, false, false, false},
        {"vlm_starlist.bmp", true, true, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        for (const char* name : kOptionalFiles)
            ASSERT_TRUE(std::filesystem::exists(name)) << "the default artwork has no " << name;
        const std::filesystem::path kept = Folder() / "kept.bmp";
        std::filesystem::rename(c.file, kept);
        {
            HeadlessHost host; // replaces the fixture's platform for this start
            TSvelmia* form = host.StartForm<TSvelmia>();
            ASSERT_FALSE(host.StartupFailed());
            const PortraitState& s = form->State();
            EXPECT_EQ(s.EarringFramesLoaded, c.frames);
            EXPECT_EQ(s.BackgroundLoaded, c.background);
            EXPECT_EQ(s.StreamingLoaded, c.streaming);
            EXPECT_EQ(s.StarListLoaded, c.stars);
            EXPECT_EQ(s.ShaggyMissing, c.shaggy);
            EXPECT_EQ(s.PankMissing, c.pank);
            EXPECT_EQ(s.OtohimeMissing, c.otohime);
            EXPECT_EQ(s.BackgroundMask != nullptr, c.background);
            EXPECT_EQ(s.StarCell != nullptr, c.stars);
        }
        std::filesystem::rename(kept, c.file);
    }
}

TEST_F(ProgramTest, BackgroundSizeGivesItsRectangleAndMask)
{
    WritePicture("vlm_background.bmp", 640, 480);
    TSvelmia* form = Start();
    ASSERT_FALSE(host_.StartupFailed());
    const PortraitState& s = form->State();
    EXPECT_TRUE(s.BackgroundLoaded);
    EXPECT_EQ(s.BackgroundRect, vcl::Rect(0, 0, 640, 480));
    EXPECT_EQ(s.BackgroundRectCopy, vcl::Rect(0, 0, 640, 480));
    ASSERT_NE(s.BackgroundMask, nullptr);
    EXPECT_EQ(s.BackgroundMask->GetWidth(), 640);
    EXPECT_EQ(s.BackgroundMask->GetHeight(), 480);
}

// A required file that is absent, cut short or not a picture stops start-up
// at that file: one report naming the file, the folder and the reason, and
// nothing after it (Timer1 stays off, nothing is shown).
TEST_F(ProgramTest, RequiredFileAbsentTruncatedOrGarbage)
{
    enum Damage { Absent, Truncated, Garbage };
    for (const char* file : kRequiredFiles) {
        for (Damage damage : {Absent, Truncated, Garbage}) {
            SCOPED_TRACE(std::string(file) + (damage == Absent      ? " absent"
                                              : damage == Truncated ? " truncated"
                                                                    : " garbage"));
            const std::filesystem::path kept = Folder() / "kept.bmp";
            std::filesystem::copy_file(file, kept);
            if (damage == Absent)
                std::filesystem::remove(file);
            else if (damage == Truncated)
                std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
            else
                std::ofstream(file, std::ios::binary | std::ios::trunc) << "not a picture at all";

            {
                HeadlessHost host;
                TSvelmia* form = host.StartForm<TSvelmia>();
                EXPECT_TRUE(host.StartupFailed());
                ASSERT_EQ(host.MessageBoxes().size(), 1u);
                const std::string& text = host.MessageBoxes()[0].Text;
                EXPECT_NE(text.find(file), std::string::npos) << text;
                EXPECT_NE(text.find(Folder().string()), std::string::npos) << text;
                // Something after the file and the folder: the reason.
                EXPECT_GT(text.size() - text.rfind(Folder().string()), Folder().string().size() + 4) << text;
                EXPECT_FALSE(form->Timer1->GetEnabled());
                EXPECT_FALSE(form->Mainpict->GetVisible());
                EXPECT_FALSE(form->GetVisible());
                EXPECT_EQ(form->State().FaceCount, 0);
                // The face lists are read last of all; the others before the layer masks.
                if (std::string(file).find("facelist") != std::string::npos)
                    EXPECT_EQ(form->State().FaceWorkA, nullptr) << "steps after the failing one ran";
                else
                    EXPECT_EQ(form->State().SubPictListMask, nullptr) << "steps after the failing one ran";
            }
            std::filesystem::remove(file);
            std::filesystem::rename(kept, file);
        }
    }
}

// Face lists: the count of 123-row cells; a list shorter than one cell is
// refused like an unreadable file.
TEST_F(ProgramTest, FaceCountFromTheFaceListHeight)
{
    struct Case {
        int height;
        int count; // 0: refused
    } cases[] = {{123, 1}, {1229, 9}, {1230, 10}, {246, 2}, {122, 0}, {1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        WritePicture("vlm_facelist.bmp", 279, c.height);
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        const PortraitState& s = form->State();
        if (c.count == 0) {
            EXPECT_TRUE(host.StartupFailed());
            ASSERT_EQ(host.MessageBoxes().size(), 1u);
            EXPECT_NE(host.MessageBoxes()[0].Text.find("vlm_facelist.bmp"), std::string::npos);
            EXPECT_NE(host.MessageBoxes()[0].Text.find(Folder().string()), std::string::npos);
            EXPECT_EQ(s.FaceCount, 0);
            EXPECT_FALSE(form->Timer1->GetEnabled());
        } else {
            ASSERT_FALSE(host.StartupFailed());
            EXPECT_EQ(s.FaceListHeight, c.height);
            EXPECT_EQ(s.FaceCount, c.count);
            EXPECT_EQ(s.FaceWorkB->GetHeight(), c.height);
            EXPECT_EQ(s.FaceWorkA->GetWidth(), 279);
        }
    }
}

// Every part picture much smaller than the size the program relies on: the
// masks and copies stay inside the pictures (the sanitizer build checks the
// accesses) and start-up completes.
TEST_F(ProgramTest, TinyPicturesNeverReadOutside)
{
    for (const char* file : kRequiredFiles)
        if (std::string(file).find("facelist") == std::string::npos)
            WritePicture(file, 7, 5, 0x00FFFFFF);
    for (const char* file : kOptionalFiles)
        WritePicture(file, 3, 2);
    TSvelmia* form = Start();
    ASSERT_FALSE(host_.StartupFailed()) << host_.MessageBoxes().front().Text;
    EXPECT_TRUE(form->Timer1->GetEnabled());
    EXPECT_FALSE(form->State().ShaggyMissing);
    EXPECT_EQ(form->State().BackgroundRect, vcl::Rect(0, 0, 3, 2));
}

// Window placement: borderless up to a 600-pixel screen, captioned above.
TEST_F(ProgramTest, WindowPlacementByScreenSize)
{
    struct Case {
        int width, height;
        vcl::TBorderStyle border;
        int left, top, captionOffset;
    } cases[] = {
        {1024, 600, vcl::TBorderStyle::bsNone, 112, 0, 0},  {1024, 601, vcl::TBorderStyle::bsSingle, 112, -9, 25},
        {799, 600, vcl::TBorderStyle::bsNone, 0, 0, 0},     {800, 600, vcl::TBorderStyle::bsNone, 0, 0, 0},
        {640, 480, vcl::TBorderStyle::bsNone, -80, -60, 0}, {1920, 1080, vcl::TBorderStyle::bsSingle, 560, 230, 25},
        {797, 599, vcl::TBorderStyle::bsNone, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        HeadlessHost host;
        host.SetScreenSize(c.width, c.height);
        TSvelmia* form = host.StartForm<TSvelmia>();
        ASSERT_FALSE(host.StartupFailed());
        EXPECT_EQ(form->GetBorderStyle(), c.border);
        EXPECT_EQ(form->GetLeft(), c.left);
        EXPECT_EQ(form->GetTop(), c.top);
        EXPECT_EQ(form->State().CaptionOffset, c.captionOffset);
        EXPECT_EQ(form->State().ScreenWidth, c.width);
        EXPECT_EQ(form->State().ScreenHeight, c.height);
        EXPECT_EQ(form->GetClientWidth(), 800);
        EXPECT_EQ(form->GetClientHeight(), 600);
        EXPECT_EQ(form->GetCaption(), c.border == vcl::TBorderStyle::bsSingle ? "VelmiaAlive" : "");
    }
}

} // namespace
} // namespace velmia::test

namespace velmia::test {
namespace {

// A part picture stored with a palette is read as a 24-bit one, so its mask
// is right (three bytes per pixel are compared).
TEST_F(ProgramTest, PaletteCostumeIsMaskedLikeATrueColourOne)
{
    vcl::TBitmap costume(530, 300, vcl::pf24bit);
    costume.GetCanvas()->Brush.Color = vcl::clWhite;
    costume.GetCanvas()->FillRect(vcl::Rect(0, 0, 530, 300));
    costume.GetCanvas()->Brush.Color = 0x00402010;
    costume.GetCanvas()->FillRect(vcl::Rect(100, 0, 200, 300));
    costume.SetPixelFormat(vcl::pf8bit);
    vcl::WriteBmpFile((Folder() / "vlm_co.bmp").string(), costume);

    TSvelmia* form = Start();
    ASSERT_FALSE(host_.StartupFailed());
    vcl::TBitmap* mask = form->State().CostumeMask.get();
    for (int x : {0, 99, 100, 199, 200, 529})
        EXPECT_EQ(mask->ScanLine(150)[x], x >= 100 && x < 200 ? 0 : 1) << x;
}

} // namespace
} // namespace velmia::test

namespace velmia::test {
namespace {

// What follows the start when the window is captured: keys that bring the
// picture on screen, then one of these.
enum class Then {
    Nothing,
    SceneRound, // twice round the scenes: every half of the strawberry scene over what others left
    Night,      // eyes closed, the figure panned right, scene 7: the stars and the shooting star
};

struct StartupPicture {
    const char* file;
    int width, height; // the size the program reads it at; height 0: that of the default file
    bool ownHeight;    // the file's height counts (the face list: the number of faces)
    const char* keys;
    Then then;
};

// Every picture read at start-up whose size the program relies on (the
// costume is kept in its own size but worn as its 530 x 300 cell; the scene
// list keeps its file's size, and a missing tile shows white). Not here: the
// night background (its size is the file's own).
const StartupPicture kStartupPictures[] = {
    {"vlm_scene_strawberry_upper.bmp", 800, 600, false, "", Then::SceneRound},
    {"vlm_scene_strawberry_lower.bmp", 800, 600, false, "", Then::SceneRound},
    {"vlm_0_main_hair.bmp", 600, 300, false, "", Then::Nothing},
    {"vlm_0_hair_sub_up.bmp", 500, 120, false, "", Then::Nothing},
    {"vlm_co.bmp", 530, 300, false, "", Then::Nothing},
    {"vlm_scene_list.bmp", 75, 750, false, "", Then::SceneRound},
    {"vlm_ca.bmp", 550, 750, false, "a", Then::Nothing},
    {"vlm_earring_list.bmp", 330, 600, false, "e", Then::SceneRound},
    {"vlm_string_pattern_list.bmp", 280, 630, false, "", Then::Nothing},
    {"vlm_thickstring_pattern.bmp", 290, 630, false, "v", Then::Nothing},
    {"vlm_wstring_pattern.bmp", 390, 480, false, "vv", Then::Nothing},
    {"vlm_crossstring_pattern.bmp", 290, 570, false, "vvv", Then::Nothing},
    {"vlm_ri.bmp", 200, 80, false, "", Then::Nothing},
    {"vlm_hb.bmp", 80, 100, false, "", Then::Nothing},
    {"vlm_fl.bmp", 100, 120, false, "tt", Then::Nothing},
    {"vlm_ch.bmp", 150, 150, false, "k", Then::Nothing},
    {"vlm_bracelet.bmp", 130, 200, false, "b", Then::SceneRound},
    {"vlm_0_main_hair_longleft.bmp", 150, 150, false, "l", Then::Nothing},
    {"vlm_facelist.bmp", 279, 0, true, "llf", Then::SceneRound},
    {"vlm_facelist_lg.bmp", 279, 0, false, "lf", Then::SceneRound},
    {"vlm_earring_framelist.bmp", 340, 600, false, "g", Then::SceneRound},
    {"vlm_shaggy.bmp", 450, 250, false, "y", Then::Nothing},
    {"vlm_pank.bmp", 450, 200, false, "p", Then::Nothing},
    {"vlm_otohime.bmp", 500, 400, false, "o", Then::Nothing},
    {"vlm_streaming.bmp", 100, 100, false, "", Then::Night},
    {"vlm_starlist.bmp", 120, 500, false, "", Then::Night},
};

void PrintTo(const StartupPicture& row, std::ostream* out)
{
    *out << row.file;
}

class StartupPictureTest : public ProgramTest, public ::testing::WithParamInterface<StartupPicture> {
protected:
    using Window = std::vector<std::vector<uint8_t>>; // one window picture per capture

    // A fresh form over the test folder: started, some ticks, the row's keys
    // and views, the window captured after each.
    Window Run(const StartupPicture& row)
    {
        HeadlessHost host;
        TSvelmia* form = host.StartForm<TSvelmia>();
        EXPECT_FALSE(host.StartupFailed()) << host.MessageBoxes()[0].Text;
        if (host.StartupFailed())
            return {};
        const PortraitState& s = form->State();
        Window window;
        auto capture = [&] {
            const vcl::TBitmap& w = host.WindowPicture();
            std::vector<uint8_t> pixels;
            for (int y = 0; y < w.GetHeight(); ++y)
                pixels.insert(pixels.end(), w.ScanLine(y), w.ScanLine(y) + 3 * w.GetWidth());
            window.push_back(std::move(pixels));
        };
        auto composed = [&] { // runs ticks until the requested composition is on screen
            for (int i = 0; i < 5 && (form->RedrawPending() || s.Busy); ++i)
                host.FireTimer(form->Timer1);
            host.FireTimer(form->Timer1, 3);
        };
        auto toScene = [&](int scene) {
            for (int i = 0; i < 2 * layout::kScenes && s.CurrentScene != scene; ++i) {
                host.TypeChar(' ');
                composed();
            }
            EXPECT_EQ(s.CurrentScene, scene);
        };
        host.FireTimer(form->Timer1, 12);
        capture();
        host.FireTimer(form->Timer1, 600); // the first full composition
        capture();
        for (const char* k = row.keys; *k; ++k) {
            host.TypeChar(*k);
            composed();
            capture();
        }
        if (row.then == Then::SceneRound) {
            for (int round = 0; round < 2; ++round)
                for (int i = 0; i < 8; ++i) {
                    host.TypeChar(' ');
                    composed();
                    capture();
                }
        } else if (row.then == Then::Night) {
            host.TypeChar('x');
            host.SetCtrl(true);
            host.PressKey(vcl::VK_RIGHT);
            host.PressKey(vcl::VK_RIGHT);
            host.SetCtrl(false);
            composed();
            toScene(7);
            EXPECT_GE(s.PanX, 100);
            EXPECT_TRUE(s.StarTwinkleActive || !s.StarListLoaded);
            for (int i = 0; i < 9; ++i) {
                host.FireTimer(form->Timer1, 10);
                capture();
            }
        }
        return window;
    }

    static std::unique_ptr<vcl::TBitmap> Read(const std::string& file)
    {
        auto picture = std::make_unique<vcl::TBitmap>();
        vcl::ReadBmpFile(file, *picture);
        picture->SetPixelFormat(vcl::pf24bit);
        return picture;
    }

    // `picture` cut or padded to width x height: with white, or with `junk`
    // (a colourful pattern that must never be seen).
    static std::unique_ptr<vcl::TBitmap> Fitted(const vcl::TBitmap& picture, int width, int height, bool junk = false)
    {
        auto b = std::make_unique<vcl::TBitmap>(width, height, vcl::pf24bit);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                vcl::TColor c = junk ? vcl::TColor(0x00105020 + ((x * 13 + y * 7) & 0xFF)) : vcl::clWhite;
                if (x < picture.GetWidth() && y < picture.GetHeight())
                    c = picture.GetPixelColor(x, y);
                b->SetPixelColor(x, y, c);
            }
        return b;
    }

    void Write(const std::string& name, const vcl::TBitmap& picture)
    {
        vcl::WriteBmpFile((Folder() / name).string(), picture);
    }

    static std::string FirstDifference(const Window& a, const Window& b)
    {
        if (a.size() != b.size())
            return std::to_string(a.size()) + " captures against " + std::to_string(b.size());
        for (size_t i = 0; i < a.size(); ++i)
            for (size_t p = 0; p < a[i].size(); p += 3)
                if (a[i][p] != b[i][p] || a[i][p + 1] != b[i][p + 1] || a[i][p + 2] != b[i][p + 2])
                    return "capture " + std::to_string(i) + " at (" + std::to_string(p / 3 % 800) + "," +
                           std::to_string(p / 3 / 800) + ")";
        return "";
    }
};

// A start-up picture looks the same whatever the size of its file: a smaller
// file gives the window of the same picture padded with white to the size the
// program reads it at, a larger one the window of its crop.
TEST_P(StartupPictureTest, SmallerIsPaddedLargerIsCropped)
{
    const StartupPicture& row = GetParam();
    const auto original = Read(row.file);
    const int width = row.width;
    const int height = row.height ? row.height : original->GetHeight();
    ASSERT_EQ(original->GetWidth(), width);
    ASSERT_EQ(original->GetHeight(), height);
    struct Pair {
        const char* what;
        std::unique_ptr<vcl::TBitmap> file;
    } pairs[] = {
        // A third of the width: the strokes of the string patterns lie in
        // the left half of their cells.
        {"smaller", Fitted(*original, width / 3, row.ownHeight ? height : height * 2 / 3)},
        {"larger", Fitted(*original, width + 37, row.ownHeight ? height : height + 23, true)},
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.what);
        const auto fitted = Fitted(*pair.file, width, height);
        Write(row.file, *pair.file);
        const Window got = Run(row);
        Write(row.file, *fitted);
        const Window expected = Run(row);
        EXPECT_EQ(FirstDifference(got, expected), "");
        if (pair.what == std::string("smaller")) { // the row's views really show what was cut
            Write(row.file, *original);
            EXPECT_NE(FirstDifference(Run(row), expected), "") << "the cut part is never on screen";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, StartupPictureTest, ::testing::ValuesIn(kStartupPictures),
                         [](const ::testing::TestParamInfo<StartupPicture>& info) {
                             std::string name = info.param.file;
                             name = name.substr(4, name.size() - 8); // no "vlm_", no ".bmp"
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace velmia::test
