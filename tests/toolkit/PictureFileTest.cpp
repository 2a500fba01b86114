// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Pictures and bitmaps read from and written to files: a failed load leaves
// what was there, a loaded picture keeps the file's size and format.
#include "toolkit/Controls.h"

#include <filesystem>
#include <gtest/gtest.h>

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
