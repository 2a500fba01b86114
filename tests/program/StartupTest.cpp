// Start-up and close of the form over the default artwork and damaged copies.
#include "tests/program/ProgramFixture.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace velmia::test {
namespace {

TEST_F(ProgramTest, DefaultArtworkStartsThePortrait)
{
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
    EXPECT_EQ(s.ScratchMask, nullptr) << "start-up leaves the scratch slot empty";
    // The black-and-white palette of the masks.
    EXPECT_EQ(s.BlackWhitePalette.palNumEntries, 2);
    EXPECT_EQ(s.BlackWhitePalette.palPalEntry[1].peRed, 255);
    EXPECT_EQ(s.HairMainMask->GetPixelFormat(), vcl::pf8bit);
    ASSERT_EQ(s.HairMainMask->GetPalette().size(), 2u);
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
    for (vcl::TBitmap* frame : s.FrameBmp)
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
    vcl::TBitmap* mask = form->State().CostumeMask;
    for (int x : {0, 99, 100, 199, 200, 529})
        EXPECT_EQ(mask->ScanLine(150)[x], x >= 100 && x < 200 ? 0 : 1) << x;
}

} // namespace
} // namespace velmia::test
