// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Pictures and bitmaps read from and written to files: a failed load leaves
// what was there, a loaded picture keeps the file's size and format, a save
// keeps every name of the file.
#include "toolkit/Controls.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

using namespace vcl;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    TempDir()
    {
        path = fs::temp_directory_path() /
               ("toolkit_pictures_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
    fs::path path;
};

} // namespace

TEST(PictureFiles, FailedLoadLeavesBitmapAndPictureUnchanged)
{
    TempDir dir;
    TBitmap b(3, 2);
    b.SetPixelColor(1, 1, RGB(9, 8, 7));
    EXPECT_ANY_THROW(b.LoadFromFile(dir.File("missing.bmp")));
    EXPECT_EQ(b.GetWidth(), 3);
    EXPECT_EQ(b.GetPixelColor(1, 1), RGB(9, 8, 7));

    TForm form;
    TImage* img = form.NewImage("img", 0, 0, 5, 5);
    TBitmap* before = img->GetBitmap();
    EXPECT_ANY_THROW(img->GetPicture()->LoadFromFile(dir.File("missing.bmp")));
    EXPECT_EQ(img->GetBitmap(), before);
    EXPECT_EQ(before->GetWidth(), 5);
}

TEST(PictureFiles, LoadedPictureKeepsFileSizeFormatAndPalette)
{
    TempDir dir;
    // Made the way the program makes its masks: 8-bit, a black-and-white
    // palette, then sized (new pixels take the white entry).
    TBitmap mask;
    mask.SetPixelFormat(pf8bit);
    TLogPalette lp;
    lp.palNumEntries = 2;
    lp.palPalEntry[1] = TPaletteEntry{255, 255, 255, 0};
    mask.SetPalette(CreatePalette(lp));
    mask.SetSize(7, 3);
    mask.ScanLine(2)[6] = 0;
    mask.SaveToFile(dir.File("mask.bmp"));

    TForm form;
    TImage* img = form.NewImage("img", 0, 0, 100, 100);
    TBitmap* kept = img->GetBitmap();
    img->GetPicture()->LoadFromFile(dir.File("mask.bmp"));
    TBitmap* b = img->GetBitmap();
    EXPECT_EQ(b, kept); // the same bitmap object, now holding the file
    EXPECT_EQ(b->GetWidth(), 7);
    EXPECT_EQ(b->GetHeight(), 3);
    EXPECT_EQ(b->GetPixelFormat(), pf8bit);
    EXPECT_EQ(b->GetPalette().size(), 2u);
    EXPECT_EQ(b->GetPixelColor(6, 2), clBlack);
    EXPECT_EQ(b->GetPixelColor(5, 2), clWhite);

    img->GetPicture()->SaveToFile(dir.File("again.bmp"));
    TBitmap again;
    again.LoadFromFile(dir.File("again.bmp"));
    EXPECT_EQ(again.GetPixelFormat(), pf8bit);
    EXPECT_EQ(again.GetPixelColor(6, 2), clBlack);
}

// A file with a second name (a hard link) is written in place: both names
// show the new picture, the file keeps its identity and mode, and no copy is
// left behind. A file with one name is replaced whole, as before.
TEST(PictureFiles, SavingOverAHardLinkedFileKeepsEveryName)
{
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked);
        TempDir dir;
        TBitmap old(40, 30, pf24bit), wider(64, 48, pf24bit), narrower(8, 6, pf24bit);
        old.GetCanvas()->Brush.Color = RGB(10, 20, 30);
        old.GetCanvas()->FillRect(Rect(0, 0, 40, 30));
        old.SaveToFile(dir.File("vlm_co4.bmp"));
        ::chmod(dir.File("vlm_co4.bmp").c_str(), 0640);
        if (linked)
            fs::create_hard_link(dir.File("vlm_co4.bmp"), dir.File("other-name.bmp"));
        struct stat before {};
        ::stat(dir.File("vlm_co4.bmp").c_str(), &before);

        // Larger, then smaller than the file it replaces.
        for (TBitmap* next : {&wider, &narrower}) {
            next->GetCanvas()->Brush.Color = RGB(200, uint8_t(next->GetWidth()), 7);
            next->GetCanvas()->FillRect(Rect(0, 0, next->GetWidth(), next->GetHeight()));
            next->SaveToFile(dir.File("vlm_co4.bmp"));
            for (const char* name : {"vlm_co4.bmp", "other-name.bmp"}) {
                if (!linked && name[0] == 'o')
                    continue;
                TBitmap back;
                back.LoadFromFile(dir.File(name));
                EXPECT_EQ(back.GetWidth(), next->GetWidth()) << name;
                EXPECT_EQ(back.GetPixelColor(3, 3), next->GetPixelColor(3, 3)) << name;
            }
        }
        struct stat after {};
        ::stat(dir.File("vlm_co4.bmp").c_str(), &after);
        if (linked) {
            EXPECT_EQ(after.st_ino, before.st_ino);
        }
        EXPECT_EQ(after.st_nlink, linked ? 2u : 1u);
        EXPECT_EQ(after.st_mode & 07777, 0640u);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), linked ? 2 : 1);
    }
}
