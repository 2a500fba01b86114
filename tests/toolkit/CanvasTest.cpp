// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Rectangle copies: raster operations, palettes, stretching, mirroring,
// clipping and copies within one bitmap.
#include "toolkit/Graphics.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

using namespace vcl;

namespace {

// A distinct colour for every pixel, so a misplaced pixel is noticed.
TColor Sentinel(int x, int y, int salt)
{
    return RGB(uint8_t(x * 7 + salt), uint8_t(y * 13 + 1), uint8_t(0x40 + salt));
}

void FillSentinel(TBitmap& b, int salt)
{
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x)
            b.SetPixelColor(x, y, Sentinel(x, y, salt));
}

std::vector<TColor> Pixels(const TBitmap& b)
{
    std::vector<TColor> v;
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x)
            v.push_back(b.GetPixelColor(x, y));
    return v;
}

TPalette BlackWhite()
{
    TLogPalette lp;
    lp.palNumEntries = 2;
    lp.palPalEntry[1] = TPaletteEntry{255, 255, 255, 0};
    return CreatePalette(lp);
}

TPalette PaletteOf(std::initializer_list<TColor> colours)
{
    TPalette p;
    for (TColor c : colours)
        p.push_back(TPaletteEntry{GetRValue(c), GetGValue(c), GetBValue(c), 0});
    return p;
}

// Source S = (r AA, g 0F, b F0) over destination D = (r 55, g 33, b CC).
constexpr TColor kS = RGB(0xAA, 0x0F, 0xF0);
constexpr TColor kD = RGB(0x55, 0x33, 0xCC);

struct ModeCase {
    TCopyMode mode;
    TColor expected;
};
const ModeCase kModes[] = {
    {SRCCOPY, RGB(0xAA, 0x0F, 0xF0)},
    {SRCERASE, RGB(0xAA & ~0x55, 0x0F & ~0x33, 0xF0 & ~0xCC)},
    {SRCINVERT, RGB(0xAA ^ 0x55, 0x0F ^ 0x33, 0xF0 ^ 0xCC)},
    {SRCPAINT, RGB(0xAA | 0x55, 0x0F | 0x33, 0xF0 | 0xCC)},
};

} // namespace

TEST(CopyRect, EachModeOnSentinelBitmapsInEveryFormatPair)
{
    const std::pair<TPixelFormat, TPixelFormat> pairs[] = {
        {pf24bit, pf24bit}, {pf32bit, pf32bit}, {pf24bit, pf32bit}, {pf32bit, pf24bit}, {pf8bit, pf24bit}};
    for (auto [srcFormat, dstFormat] : pairs) {
        for (const ModeCase& c : kModes) {
            TBitmap src(3, 3, srcFormat), dst(3, 3, dstFormat);
            if (srcFormat == pf8bit)
                src.SetPalette(PaletteOf({clBlack, kS}));
            src.GetCanvas()->Brush.Color = kS;
            src.GetCanvas()->FillRect(Rect(0, 0, 3, 3));
            dst.GetCanvas()->Brush.Color = kD;
            dst.GetCanvas()->FillRect(Rect(0, 0, 3, 3));
            dst.GetCanvas()->CopyMode = c.mode;
            dst.GetCanvas()->CopyRect(Rect(1, 1, 2, 2), src.GetCanvas(), Rect(1, 1, 2, 2));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(dst.GetPixelColor(x, y), (x == 1 && y == 1) ? c.expected : kD)
                        << "mode " << std::hex << c.mode << " formats " << BitsPerPixel(srcFormat) << "->"
                        << BitsPerPixel(dstFormat) << " at " << x << "," << y;
        }
    }
}

TEST(CopyRect, ThirtyTwoBitDestinationKeepsItsFourthByte)
{
    TBitmap src(5, 1, pf32bit), dst(5, 1, pf32bit);
    std::fill_n(src.ScanLine(0), 20, uint8_t(0x11));
    std::fill_n(dst.ScanLine(0), 20, uint8_t(0x80));
    dst.GetCanvas()->CopyMode = SRCINVERT;
    dst.GetCanvas()->Draw(0, 0, &src);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(dst.ScanLineRO(0)[i], i % 4 == 3 ? 0x80 : 0x91) << i;
}

// Long rows run through the wide loops and their tails; every byte must match
// the byte-wise rule. Sources: 24 and 32 bit, an 8-bit colour palette, and
// 8-bit grey palettes (the masks' fast path) with stray indices beyond them.
class WideRows : public ::testing::TestWithParam<TCopyPaths> {
protected:
    void SetUp() override { SetCopyPaths(GetParam()); }
    void TearDown() override { SetCopyPaths(TCopyPaths::Best); }
};
INSTANTIATE_TEST_SUITE_P(CopyRect, WideRows,
                         ::testing::Values(TCopyPaths::Portable, TCopyPaths::Ssse3, TCopyPaths::Best));

TEST_P(WideRows, MatchTheByteRuleIncludingTails)
{
    enum Kind { Rgb24, Rgb32, Colour8, Grey16, BlackWhite8 };
    for (int width : {1, 5, 11, 16, 31, 32, 33, 65, 100}) {
        for (const ModeCase& c : kModes) {
            for (Kind kind : {Rgb24, Rgb32, Colour8, Grey16, BlackWhite8}) {
                const TPixelFormat f = kind == Rgb24 ? pf24bit : kind == Rgb32 ? pf32bit : pf8bit;
                TBitmap src(width, 2, f), dst(width, 2, f == pf8bit ? pf24bit : f);
                TPalette p;
                const int entries = kind == Colour8 ? 256 : kind == Grey16 ? 16 : 2;
                for (int i = 0; i < entries && f == pf8bit; ++i) {
                    const auto g = uint8_t(i * 255 / (entries - 1));
                    p.push_back(kind == Colour8 ? TPaletteEntry{uint8_t(i * 3), uint8_t(255 - i), uint8_t(i * 5), 0}
                                                : TPaletteEntry{g, g, g, 0});
                }
                src.SetPalette(p);
                FillSentinel(src, 3);
                if (kind == Grey16 || kind == BlackWhite8)
                    for (int y = 0; y < 2; ++y)
                        for (int x = 0; x < width; ++x)
                            src.ScanLine(y)[x] = uint8_t(kind == Grey16 ? x * 37 + y * 11 : (x * 7 + y) % 3);
                FillSentinel(dst, 90);
                TBitmap before;
                before.Assign(dst);
                dst.GetCanvas()->CopyMode = c.mode;
                dst.GetCanvas()->Draw(0, 0, &src);
                for (int y = 0; y < 2; ++y) {
                    for (int x = 0; x < width; ++x) {
                        const uint32_t s = uint32_t(src.GetPixelColor(x, y)), d = uint32_t(before.GetPixelColor(x, y));
                        uint32_t want = s;
                        if (c.mode == SRCERASE)
                            want = s & ~d & 0xFFFFFF;
                        if (c.mode == SRCINVERT)
                            want = s ^ d;
                        if (c.mode == SRCPAINT)
                            want = s | d;
                        ASSERT_EQ(uint32_t(dst.GetPixelColor(x, y)), want)
                            << "width " << width << " kind " << kind << " mode " << std::hex << c.mode << " at "
                            << std::dec << x << "," << y;
                    }
                }
            }
        }
    }
}

// The program's transparency: erase with the white-key mask, then invert with
// the picture. White picture pixels leave the target alone.
TEST(CopyRect, MaskedCopyShowsPictureWhereMaskIsBlack)
{
    TBitmap target(4, 1), picture(4, 1), mask(4, 1, pf8bit);
    FillSentinel(target, 1);
    const TColor red = RGB(200, 10, 10), blue = RGB(0, 0, 255);
    picture.SetPixelColor(0, 0, clWhite);
    picture.SetPixelColor(1, 0, red);
    picture.SetPixelColor(2, 0, clWhite);
    picture.SetPixelColor(3, 0, blue);
    mask.SetPalette(BlackWhite());
    const uint8_t bytes[4] = {1, 0, 1, 0};
    std::copy_n(bytes, 4, mask.ScanLine(0));
    TCanvas* c = target.GetCanvas();
    c->CopyMode = SRCERASE;
    c->CopyRect(Rect(0, 0, 4, 1), mask.GetCanvas(), Rect(0, 0, 4, 1));
    c->CopyMode = SRCINVERT;
    c->CopyRect(Rect(0, 0, 4, 1), picture.GetCanvas(), Rect(0, 0, 4, 1));
    EXPECT_EQ(target.GetPixelColor(0, 0), Sentinel(0, 0, 1));
    EXPECT_EQ(target.GetPixelColor(1, 0), red);
    EXPECT_EQ(target.GetPixelColor(2, 0), Sentinel(2, 0, 1));
    EXPECT_EQ(target.GetPixelColor(3, 0), blue);
}

TEST(CopyRect, PaletteSourcesLookUpTheirColours)
{
    // 1-bit, 4-bit and 8-bit sources with indices 0 1 0 1 1 0 0 1 1 1 (10 wide,
    // so the 1-bit row spans two bytes) and a stray index beyond the palette.
    const int idx[10] = {0, 1, 0, 1, 1, 0, 0, 1, 1, 1};
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit}) {
        TBitmap src(10, 1, f), dst(10, 1, pf24bit);
        src.SetPalette(BlackWhite());
        uint8_t* row = src.ScanLine(0);
        std::fill_n(row, src.RowBytes(), uint8_t(0));
        for (int x = 0; x < 10; ++x) {
            if (f == pf8bit)
                row[x] = uint8_t(idx[x]);
            else if (f == pf4bit)
                row[x / 2] |= uint8_t(idx[x] << (x % 2 ? 0 : 4));
            else
                row[x / 8] |= uint8_t(idx[x] << (7 - x % 8));
        }
        dst.GetCanvas()->Draw(0, 0, &src);
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(dst.GetPixelColor(x, 0), idx[x] ? clWhite : clBlack) << BitsPerPixel(f) << " bit, x " << x;
    }
    TBitmap stray(1, 1, pf8bit), dst(1, 1);
    stray.SetPalette(BlackWhite());
    stray.ScanLine(0)[0] = 7;
    dst.GetCanvas()->Draw(0, 0, &stray);
    EXPECT_EQ(dst.GetPixelColor(0, 0), clBlack);
}

TEST(CopyRect, PaletteDestinationTakesNearestEntryOfTheResult)
{
    TBitmap src(4, 1), dst(4, 1, pf8bit);
    dst.SetPalette(PaletteOf({clBlack, clWhite, RGB(255, 0, 0), RGB(0, 0, 200)}));
    src.SetPixelColor(0, 0, RGB(250, 10, 10));
    src.SetPixelColor(1, 0, RGB(200, 200, 200));
    src.SetPixelColor(2, 0, RGB(10, 10, 190));
    src.SetPixelColor(3, 0, RGB(60, 60, 60));
    dst.GetCanvas()->Draw(0, 0, &src);
    const uint8_t want[4] = {2, 1, 3, 0};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(dst.ScanLineRO(0)[x], want[x]) << x;

    // Operations combine with the destination's colour first: white XOR red is
    // cyan-ish (0,255,255), nearest to white here.
    TBitmap red(1, 1);
    red.SetPixelColor(0, 0, RGB(255, 0, 0));
    dst.ScanLine(0)[0] = 1;
    dst.GetCanvas()->CopyMode = SRCINVERT;
    dst.GetCanvas()->Draw(0, 0, &red);
    EXPECT_EQ(dst.ScanLineRO(0)[0], 1);
}

struct MapCase {
    int32_t src, dst;
    std::vector<int32_t> map;
};

TEST(StretchMap, PinnedMaps)
{
    const MapCase cases[] = {
        {3, 3, {0, 1, 2}},  {2, 5, {0, 0, 1, 1, 1}},
        {5, 2, {1, 3}},     {4, 1, {2}},
        {5, 1, {2}},        {1, 4, {0, 0, 0, 0}},
        {1, 1, {0}},        {13, 20, {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7, 8, 8, 9, 10, 10, 11, 12, 12}},
        {10, 3, {1, 5, 8}}, {0, 4, {}},
        {4, 0, {}},         {-3, 4, {}},
    };
    for (const MapCase& c : cases)
        EXPECT_EQ(StretchMap(c.src, c.dst), c.map) << c.src << " -> " << c.dst;
}

TEST(StretchMap, SeventyFiveToEightHundred)
{
    const std::vector<int32_t> m = StretchMap(75, 800);
    ASSERT_EQ(m.size(), 800u);
    EXPECT_EQ(m[0], 0);
    EXPECT_EQ(m[10], 0); // (21 * 75) / 1600 = 0.98
    EXPECT_EQ(m[11], 1); // (23 * 75) / 1600 = 1.08
    EXPECT_EQ(m[400], 37);
    EXPECT_EQ(m[799], 74);
    std::vector<int> counts(75, 0);
    for (size_t i = 0; i < m.size(); ++i) {
        ++counts[size_t(m[i])];
        if (i > 0) {
            EXPECT_LE(m[i] - m[i - 1], 1);
        }
    }
    for (int n : counts)
        EXPECT_TRUE(n == 10 || n == 11);
}

TEST(CopyRect, StretchesAndMirrors)
{
    TBitmap src(2, 1), dst(5, 1);
    src.SetPixelColor(0, 0, RGB(1, 1, 1));
    src.SetPixelColor(1, 0, RGB(2, 2, 2));
    const TColor A = RGB(1, 1, 1), B = RGB(2, 2, 2);
    struct Case {
        TRect dest, source;
        std::vector<TColor> want;
    } cases[] = {
        {Rect(0, 0, 5, 1), Rect(0, 0, 2, 1), {A, A, B, B, B}},
        {Rect(5, 0, 0, 1), Rect(0, 0, 2, 1), {B, B, B, A, A}}, // destination mirrored
        {Rect(0, 0, 5, 1), Rect(2, 0, 0, 1), {B, B, B, A, A}}, // source mirrored
        {Rect(5, 0, 0, 1), Rect(2, 0, 0, 1), {A, A, B, B, B}}, // both: no mirror
        {Rect(0, 0, 2, 1), Rect(2, 0, 0, 1), {B, A, clWhite, clWhite, clWhite}},
    };
    for (const auto& c : cases) {
        dst.GetCanvas()->Brush.Color = clWhite;
        dst.GetCanvas()->FillRect(dst.GetCanvas()->ClipRect());
        dst.GetCanvas()->CopyRect(c.dest, src.GetCanvas(), c.source);
        EXPECT_EQ(Pixels(dst), c.want);
    }
}

// Every copy path; rows long enough for the ones that go eight pixels at a
// time, with the tile's last column among them or not.
TEST(CopyRect, StretchedEnlargementOfATile)
{
    struct Case {
        int tileW, tileH, bigW, bigH;
    } cases[] = {{3, 3, 7, 5}, {75, 3, 800, 4}, {20, 2, 61, 3}, {50, 2, 23, 2}, {9, 1, 10, 1}};
    for (TCopyPaths paths : {TCopyPaths::Best, TCopyPaths::Ssse3, TCopyPaths::Portable}) {
        SetCopyPaths(paths);
        for (const Case& c : cases) {
            TBitmap tile(c.tileW, c.tileH), big(c.bigW, c.bigH);
            FillSentinel(tile, 5);
            big.GetCanvas()->StretchDraw(Rect(0, 0, c.bigW, c.bigH), &tile);
            const auto mx = StretchMap(c.tileW, c.bigW), my = StretchMap(c.tileH, c.bigH);
            for (int y = 0; y < c.bigH; ++y)
                for (int x = 0; x < c.bigW; ++x)
                    ASSERT_EQ(big.GetPixelColor(x, y), Sentinel(mx[size_t(x)], my[size_t(y)], 5))
                        << c.tileW << " -> " << c.bigW << " at " << x << "," << y;
        }
    }
    SetCopyPaths(TCopyPaths::Best);
}

// Clipping: destination 8 x 6, source 4 x 4, both full of sentinels. Each case
// lists which destination pixels change and the source pixel they take.
TEST(CopyRect, ClipsAtEveryEdge)
{
    struct Case {
        TRect dest, source;
        TRect written; // destination pixels that change
        int sdx, sdy;  // source = destination + (sdx, sdy)
    } cases[] = {
        {Rect(2, 1, 6, 5), Rect(0, 0, 4, 4), Rect(2, 1, 6, 5), -2, -1},   // inside
        {Rect(-2, -1, 2, 3), Rect(0, 0, 4, 4), Rect(0, 0, 2, 3), 2, 1},   // over top-left
        {Rect(6, 4, 10, 8), Rect(0, 0, 4, 4), Rect(6, 4, 8, 6), -6, -4},  // over bottom-right
        {Rect(0, 0, 4, 4), Rect(-2, -2, 2, 2), Rect(2, 2, 4, 4), -2, -2}, // source over its top-left
        {Rect(1, 1, 5, 5), Rect(2, 2, 6, 6), Rect(1, 1, 3, 3), 1, 1},     // source over its bottom-right
        {Rect(-3, 2, 5, 6), Rect(-4, 0, 4, 4), Rect(1, 2, 5, 6), -1, -2}, // both
        {Rect(100, 100, 104, 104), Rect(0, 0, 4, 4), TRect{}, 0, 0},      // wholly outside the destination
        {Rect(0, 0, 4, 4), Rect(10, 10, 14, 14), TRect{}, 0, 0},          // wholly outside the source
        {Rect(0, 0, 4, 4), Rect(-4, 0, 0, 4), TRect{}, 0, 0},             // just left of the source
        {Rect(-4, 0, 0, 4), Rect(0, 0, 4, 4), TRect{}, 0, 0},             // just left of the destination
        {Rect(2, 2, 2, 6), Rect(0, 0, 0, 4), TRect{}, 0, 0},              // empty
    };
    for (const auto& c : cases) {
        TBitmap src(4, 4), dst(8, 6);
        FillSentinel(src, 11);
        FillSentinel(dst, 77);
        dst.GetCanvas()->CopyRect(c.dest, src.GetCanvas(), c.source);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(dst.GetPixelColor(x, y),
                          c.written.Contains(x, y) ? Sentinel(x + c.sdx, y + c.sdy, 11) : Sentinel(x, y, 77))
                    << "dest " << c.dest.Left << "," << c.dest.Top << " at " << x << "," << y;
        EXPECT_EQ(Pixels(src), [] {
            TBitmap s(4, 4);
            FillSentinel(s, 11);
            return Pixels(s);
        }());
    }
}

TEST(CopyRect, ExtremeRectanglesStaySafe)
{
    const int32_t lo = INT_MIN, hi = INT_MAX;
    const TRect extremes[] = {
        Rect(lo, lo, hi, hi), Rect(hi, hi, lo, lo), Rect(lo, 0, lo + 3, 4), Rect(hi - 3, 0, hi, 4), Rect(0, 0, hi, 1),
        Rect(hi, 0, 0, 1),    Rect(-5, -5, 0, 0),   Rect(3, 3, -hi, -hi),   Rect(1, 1, 3, 3),
    };
    for (TPixelFormat srcFormat : {pf24bit, pf8bit, pf1bit}) {
        for (const TRect& d : extremes) {
            for (const TRect& s : extremes) {
                TBitmap src(4, 4, srcFormat), dst(8, 6);
                FillSentinel(dst, 3);
                dst.GetCanvas()->CopyMode = SRCINVERT;
                dst.GetCanvas()->CopyRect(d, src.GetCanvas(), s);
                // Whatever was written lies inside the destination rectangle.
                const int64_t l = std::min<int64_t>(d.Left, d.Right), r = std::max<int64_t>(d.Left, d.Right);
                const int64_t t = std::min<int64_t>(d.Top, d.Bottom), b = std::max<int64_t>(d.Top, d.Bottom);
                for (int y = 0; y < 6; ++y)
                    for (int x = 0; x < 8; ++x)
                        if (x < l || x >= r || y < t || y >= b) {
                            ASSERT_EQ(dst.GetPixelColor(x, y), Sentinel(x, y, 3));
                        }
            }
        }
    }
}

TEST(CopyRect, HugeDestinationTakesTheMiddleSourcePixel)
{
    TBitmap src(4, 4), dst(8, 6);
    FillSentinel(src, 9);
    dst.GetCanvas()->CopyRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), src.GetCanvas(), Rect(0, 0, 4, 4));
    for (TColor c : Pixels(dst))
        EXPECT_EQ(c, Sentinel(2, 2, 9));
}

TEST(DrawAndStretchDraw, Clip)
{
    TBitmap src(4, 4), dst(8, 6);
    FillSentinel(src, 2);
    FillSentinel(dst, 50);
    dst.GetCanvas()->Draw(-2, -2, &src);
    dst.GetCanvas()->Draw(7, 5, &src);
    dst.GetCanvas()->Draw(INT_MAX - 1, INT_MAX - 1, &src);
    dst.GetCanvas()->Draw(INT_MIN, 0, &src);
    dst.GetCanvas()->Draw(0, 0, nullptr);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            TColor want = Sentinel(x, y, 50);
            if (x < 2 && y < 2)
                want = Sentinel(x + 2, y + 2, 2);
            if (x == 7 && y == 5)
                want = Sentinel(0, 0, 2);
            EXPECT_EQ(dst.GetPixelColor(x, y), want) << x << "," << y;
        }
    }
    // Stretch 4 wide onto columns -4..3: columns 0..3 take the right half.
    FillSentinel(dst, 50);
    dst.GetCanvas()->StretchDraw(Rect(-4, 0, 4, 4), &src);
    const auto m = StretchMap(4, 8);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dst.GetPixelColor(x, 1), x < 4 ? Sentinel(m[size_t(x + 4)], 1, 2) : Sentinel(x, 1, 50));
}

TEST(FillRect, ClipsAndIgnoresInvertedRectangles)
{
    const TRect cases[] = {Rect(-5, -5, 2, 2), Rect(6, 4, 100, 100), Rect(3, 3, 3, 5), Rect(5, 0, 2, 3),
                           Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX)};
    for (TPixelFormat f : {pf24bit, pf32bit, pf8bit, pf4bit, pf1bit}) {
        for (const TRect& r : cases) {
            TBitmap b(8, 6, f);
            b.GetCanvas()->Brush.Color = clBlack;
            b.GetCanvas()->FillRect(r);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 8; ++x)
                    EXPECT_EQ(b.GetPixelColor(x, y), r.Contains(x, y) ? clBlack : clWhite)
                        << BitsPerPixel(f) << " bit at " << x << "," << y;
        }
    }
}

TEST(CopyRect, OverlappingCopiesWithinOneBitmap)
{
    struct Case {
        TRect dest, source;
    } cases[] = {
        {Rect(2, 0, 10, 1), Rect(0, 0, 8, 1)},   {Rect(0, 0, 8, 1), Rect(2, 0, 10, 1)},
        {Rect(0, 2, 10, 10), Rect(0, 0, 10, 8)}, {Rect(0, 0, 10, 8), Rect(0, 2, 10, 10)},
        {Rect(1, 1, 9, 9), Rect(0, 0, 10, 10)}, // stretched shrink onto itself
    };
    for (const auto& c : cases) {
        TBitmap b(10, 10), copy(10, 10), expected(10, 10);
        FillSentinel(b, 4);
        copy.Assign(b);
        expected.Assign(b);
        expected.GetCanvas()->CopyRect(c.dest, copy.GetCanvas(), c.source); // via a second bitmap
        b.GetCanvas()->CopyRect(c.dest, b.GetCanvas(), c.source);
        EXPECT_EQ(Pixels(b), Pixels(expected)) << c.dest.Left << "," << c.dest.Top;
    }
}

TEST(CopyRect, UnknownCopyModeIsRefused)
{
    TBitmap a(2, 2), b(2, 2);
    a.GetCanvas()->CopyMode = 0x00FF0062; // WHITENESS
    EXPECT_THROW(a.GetCanvas()->Draw(0, 0, &b), EInvalidGraphic);
}

TEST(CopyRect, MarksOnlyTheClippedDestination)
{
    TBitmap src(4, 4), dst(8, 6);
    dst.TakeDirtyRect();
    dst.GetCanvas()->CopyRect(Rect(6, -2, 10, 2), src.GetCanvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(dst.TakeDirtyRect(), Rect(6, 0, 8, 2));
    EXPECT_EQ(dst.TakeDirtyRect(), TRect{});
    dst.GetCanvas()->Brush.Color = clBlack;
    dst.GetCanvas()->FillRect(Rect(-1, 5, 3, 9));
    EXPECT_EQ(dst.TakeDirtyRect(), Rect(0, 5, 3, 6));
}
