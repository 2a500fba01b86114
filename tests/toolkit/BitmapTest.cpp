// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Bitmaps: formats and conversions, resizing, pixels, rows, limits and change
// tracking.
#include "toolkit/Graphics.h"

#include <climits>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

TPalette BlackWhite()
{
    TLogPalette lp;
    lp.palNumEntries = 2;
    lp.palPalEntry[1] = TPaletteEntry{255, 255, 255, 0};
    return CreatePalette(lp);
}

} // namespace

TEST(Bitmap, RowsArePaddedToFourBytes)
{
    const struct {
        TPixelFormat f;
        int w;
        size_t stride;
    } cases[] = {{pf1bit, 1, 4},  {pf1bit, 33, 8},  {pf4bit, 9, 8},   {pf8bit, 5, 8},
                 {pf24bit, 1, 4}, {pf24bit, 5, 16}, {pf32bit, 3, 12}, {pf24bit, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TBitmap(c.w, 2, c.f).RowBytes(), c.stride) << BitsPerPixel(c.f) << " bit, " << c.w;
}

TEST(Bitmap, NewPixelsAreWhiteAndResizeKeepsTopLeft)
{
    for (TPixelFormat f : {pf24bit, pf32bit, pf8bit, pf4bit, pf1bit}) {
        TBitmap b(3, 2, f);
        b.SetPixelColor(0, 0, clBlack);
        b.SetPixelColor(2, 1, clBlack);
        b.SetSize(5, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(b.GetPixelColor(x, y), (x == 0 && y == 0) || (x == 2 && y == 1) ? clBlack : clWhite)
                    << BitsPerPixel(f) << " bit at " << x << "," << y;
        b.SetWidth(1);
        b.SetHeight(1);
        EXPECT_EQ(b.GetPixelColor(0, 0), clBlack);
        EXPECT_EQ(b.GetPixelFormat(), f);
    }
}

TEST(Bitmap, MaskBitmapKeepsItsPaletteWhenResized)
{
    // How the program makes its masks: new bitmap, 8-bit, black-and-white palette.
    TBitmap mask;
    mask.SetPixelFormat(pf8bit);
    mask.SetPalette(BlackWhite());
    mask.SetSize(4, 3);
    EXPECT_EQ(mask.GetPalette().size(), 2u);
    EXPECT_EQ(mask.ScanLineRO(2)[3], 1); // white
    mask.ScanLine(0)[0] = 0;
    EXPECT_EQ(mask.GetPixelColor(0, 0), clBlack);
    EXPECT_EQ(mask.GetPixelColor(1, 0), clWhite);
}

TEST(Bitmap, FormatConversions)
{
    TBitmap b(4, 1);
    const TColor colours[4] = {RGB(10, 20, 30), RGB(100, 100, 100), RGB(200, 200, 200), RGB(255, 255, 255)};
    for (int x = 0; x < 4; ++x)
        b.SetPixelColor(x, 0, colours[x]);

    TBitmap wide;
    wide.Assign(b);
    wide.SetPixelFormat(pf32bit);
    wide.SetPixelFormat(pf24bit);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(wide.GetPixelColor(x, 0), colours[x]);

    // To 8 bit without a palette: a grey ramp, nearest grey.
    TBitmap grey;
    grey.Assign(b);
    grey.SetPixelFormat(pf8bit);
    ASSERT_EQ(grey.GetPalette().size(), 256u);
    EXPECT_EQ(grey.ScanLineRO(0)[0], 20);
    EXPECT_EQ(grey.ScanLineRO(0)[1], 100);
    EXPECT_EQ(grey.GetPixelColor(2, 0), colours[2]);

    // To 1 bit: black and white.
    TBitmap mono;
    mono.Assign(b);
    mono.SetPixelFormat(pf1bit);
    const TColor want[4] = {clBlack, clBlack, clWhite, clWhite};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(mono.GetPixelColor(x, 0), want[x]) << x;

    // With a palette already set, its nearest entry; back to 24 bit keeps colours.
    TBitmap pal;
    pal.Assign(b);
    pal.SetPalette(BlackWhite());
    pal.SetPixelFormat(pf8bit);
    EXPECT_EQ(pal.ScanLineRO(0)[0], 0);
    EXPECT_EQ(pal.ScanLineRO(0)[3], 1);
    pal.SetPixelFormat(pf24bit);
    EXPECT_EQ(pal.GetPixelColor(3, 0), clWhite);
    EXPECT_EQ(pal.GetPixelColor(0, 0), clBlack);
}

TEST(Bitmap, PixelsOutsideReadMinusOneAndIgnoreWrites)
{
    TBitmap b(3, 2);
    const std::pair<int, int> outside[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}, {INT_MAX, 0}};
    for (auto [x, y] : outside) {
        EXPECT_EQ(b.GetPixelColor(x, y), -1);
        EXPECT_EQ(b.GetCanvas()->GetPixel(x, y), -1);
        b.GetCanvas()->SetPixel(x, y, clBlack);
    }
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(b.GetPixelColor(x, y), clWhite);
    b.GetCanvas()->SetPixel(2, 1, RGB(1, 2, 3));
    EXPECT_EQ(b.GetCanvas()->GetPixel(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(b.ScanLineRO(1)[6], 3); // blue first
    EXPECT_EQ(b.ScanLineRO(1)[8], 1);
    EXPECT_EQ(b.GetCanvas()->ClipRect(), Rect(0, 0, 3, 2));
}

TEST(Bitmap, ScanLineOutsideThrows)
{
    TBitmap b(2, 3);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
    EXPECT_THROW(b.ScanLine(3), EInvalidGraphic);
    EXPECT_THROW(b.ScanLineRO(INT_MIN), EInvalidGraphic);
    EXPECT_NO_THROW(b.ScanLine(2));
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(Bitmap, AbsurdSizesAreRefusedAndLeaveTheBitmapAlone)
{
    const std::pair<int32_t, int32_t> sizes[] = {
        {-1, 5}, {5, -1}, {kMaxBitmapSide + 1, 1}, {1, kMaxBitmapSide + 1}, {10000, 10000}, {INT_MAX, INT_MAX}};
    for (auto [w, h] : sizes) {
        EXPECT_THROW(TBitmap(w, h), EInvalidGraphic) << w << " x " << h;
        TBitmap b(2, 2);
        EXPECT_THROW(b.SetSize(w, h), EInvalidGraphic);
        EXPECT_EQ(b.GetWidth(), 2);
        EXPECT_EQ(b.GetHeight(), 2);
    }
    EXPECT_NO_THROW(TBitmap(kMaxBitmapSide, 1, pf1bit));
    EXPECT_THROW(StretchMap(1, INT_MAX), EInvalidGraphic);
}

TEST(Bitmap, DirtyTracking)
{
    TBitmap b(10, 8);
    EXPECT_EQ(b.TakeDirtyRect(), Rect(0, 0, 10, 8));
    EXPECT_EQ(b.TakeDirtyRect(), TRect{});
    const uint64_t before = b.Modified();
    b.ScanLine(3);
    b.ScanLineRO(5); // reading does not count
    b.SetPixelColor(7, 6, clBlack);
    EXPECT_GT(b.Modified(), before);
    EXPECT_EQ(b.TakeDirtyRect(), Rect(0, 3, 10, 7));
    b.SetPixelFormat(pf32bit);
    EXPECT_EQ(b.TakeDirtyRect(), Rect(0, 0, 10, 8));
    b.SetSize(4, 4);
    EXPECT_EQ(b.TakeDirtyRect(), Rect(0, 0, 4, 4));
    b.MarkDirty(Rect(-5, -5, 100, 2));
    EXPECT_EQ(b.TakeDirtyRect(), Rect(0, 0, 4, 2));
}
