// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The masked copy (an SRCERASE copy followed by an SRCINVERT copy onto the
// same pixels) runs as one pass; whole-bitmap copies share pixels. Both must
// give exactly the bytes of the plain rectangle copies, whatever happens in
// between.
#include "toolkit/Graphics.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vcl;

namespace {

TPalette BlackWhite()
{
    TLogPalette lp;
    lp.palNumEntries = 2;
    lp.palPalEntry[1] = TPaletteEntry{255, 255, 255, 0};
    return CreatePalette(lp);
}

// Every byte of every row, row padding included.
std::vector<uint8_t> Bytes(const TBitmap& b)
{
    std::vector<uint8_t> v;
    for (int y = 0; y < b.GetHeight(); ++y) {
        const uint8_t* row = b.ScanLineRO(y);
        v.insert(v.end(), row, row + b.RowBytes());
    }
    return v;
}

// Pseudo-random bytes in every row (palette indices beyond the palette too).
void Scribble(TBitmap& b, uint32_t seed)
{
    for (int y = 0; y < b.GetHeight(); ++y) {
        uint8_t* row = b.ScanLine(y);
        for (size_t i = 0; i < b.RowBytes(); ++i) {
            seed = seed * 1103515245u + 12345u;
            row[i] = uint8_t(seed >> 16);
        }
    }
}

// A mask: white and black blocks, with runs of single pixels.
void MaskPattern(TBitmap& b)
{
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x)
            b.SetPixelColor(x, y, ((x / 5 + y / 3) & 1) || x % 7 == 3 ? clWhite : clBlack);
}

std::unique_ptr<TBitmap> Make(int w, int h, TPixelFormat f, uint32_t seed, bool mask)
{
    auto b = std::make_unique<TBitmap>(w, h, f);
    if (f == pf8bit && mask)
        b->SetPalette(BlackWhite());
    if (mask)
        MaskPattern(*b);
    else
        Scribble(*b, seed);
    return b;
}

struct Rects {
    const char* what;
    TRect dest, maskRect, pictureRect;
};

// Plain, clipped by either bitmap, mirrored, stretched, and halves whose
// clipped extents differ (which cannot run as one pass).
const Rects kRects[] = {
    {"plain", Rect(3, 1, 50, 8), Rect(0, 0, 47, 7), Rect(2, 1, 49, 8)},
    {"whole width", Rect(0, 0, 61, 9), Rect(0, 0, 61, 9), Rect(0, 0, 61, 9)},
    {"clipped left and top", Rect(-5, -2, 40, 6), Rect(0, 0, 45, 8), Rect(1, 0, 46, 8)},
    {"clipped right and bottom", Rect(30, 4, 80, 20), Rect(0, 0, 50, 16), Rect(0, 0, 50, 16)},
    {"source beyond its bitmap", Rect(0, 0, 40, 9), Rect(30, 0, 70, 9), Rect(30, 2, 70, 11)},
    {"mirrored along x", Rect(50, 0, 10, 9), Rect(0, 0, 40, 9), Rect(0, 0, 40, 9)},
    {"mirrored along y", Rect(0, 8, 60, -1), Rect(0, 0, 60, 9), Rect(0, 0, 60, 9)},
    {"both mirrored", Rect(5, 0, 45, 9), Rect(40, 9, 0, 0), Rect(40, 9, 0, 0)},
    {"stretched", Rect(0, 0, 61, 9), Rect(0, 0, 20, 3), Rect(0, 0, 20, 3)},
    {"halves of different extents", Rect(0, 0, 61, 9), Rect(0, 0, 61, 9), Rect(20, 0, 81, 9)},
};

// Rows wide enough for the loops that go 32 and 64 pixels at a time, over a
// mask of wholly black, wholly white and mixed stretches (see WideMask).
const Rects kWideRects[] = {
    {"wide, whole", Rect(0, 0, 200, 9), Rect(0, 0, 200, 9), Rect(0, 0, 200, 9)},
    {"wide, odd start and width", Rect(3, 1, 190, 8), Rect(5, 0, 192, 7), Rect(5, 2, 192, 9)},
    {"wide, clipped", Rect(-7, -1, 150, 9), Rect(0, 0, 157, 10), Rect(0, 1, 157, 11)},
};

const TPixelFormat kMaskFormats[] = {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit};
const TPixelFormat kPictureFormats[] = {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit};
const TPixelFormat kTargetFormats[] = {pf24bit, pf32bit, pf8bit};

// The two copies with the destination read in between, which makes each
// run on its own.
void TwoPasses(TBitmap& target, const TRect& dest, TBitmap& mask, const TRect& m, TBitmap& picture, const TRect& p)
{
    TCanvas* c = target.GetCanvas();
    c->CopyMode = SRCERASE;
    c->CopyRect(dest, mask.GetCanvas(), m);
    (void)target.ScanLineRO(0);
    c->CopyMode = SRCINVERT;
    c->CopyRect(dest, picture.GetCanvas(), p);
}

// Stretches of 70 columns: black (opaque), white (clear, over a picture that
// is white there in its upper rows), and the fine pattern of MaskPattern.
void WideMask(TBitmap& mask, TBitmap& picture)
{
    MaskPattern(mask);
    for (int y = 0; y < mask.GetHeight(); ++y)
        for (int x = 0; x < mask.GetWidth(); ++x) {
            const int stretch = (x / 70) % 3;
            if (stretch == 0)
                mask.SetPixelColor(x, y, clBlack);
            if (stretch == 1) {
                mask.SetPixelColor(x, y, clWhite);
                if (y < 6)
                    picture.SetPixelColor(x, y, clWhite);
            }
        }
}

void MaskedCopy(TBitmap& target, const TRect& dest, TBitmap& mask, const TRect& m, TBitmap& picture, const TRect& p)
{
    TCanvas* c = target.GetCanvas();
    c->CopyMode = SRCERASE;
    c->CopyRect(dest, mask.GetCanvas(), m);
    c->CopyMode = SRCINVERT;
    c->CopyRect(dest, picture.GetCanvas(), p);
}

} // namespace

// A target that shares its pixels with another bitmap gets its own; the other
// keeps what it had.
TEST(MaskedCopy, OnePassEqualsTwoPassesForEveryFormatAndRectangle)
{
    std::vector<std::pair<const Rects*, bool>> layouts;
    for (const Rects& r : kRects)
        layouts.push_back({&r, false});
    for (const Rects& r : kWideRects)
        layouts.push_back({&r, true});
    for (TCopyPaths paths : {TCopyPaths::Best, TCopyPaths::Ssse3, TCopyPaths::Portable}) {
        SetCopyPaths(paths);
        for (bool shared : {false, true})
            for (TPixelFormat tf : kTargetFormats)
                for (TPixelFormat mf : kMaskFormats)
                    for (TPixelFormat pf : kPictureFormats)
                        for (const auto& [r, wide] : layouts) {
                            const int w = wide ? 200 : 70, tw = wide ? 200 : 61;
                            auto mask = Make(w, 12, mf, 1, true);
                            auto picture = Make(w, 12, pf, 2, false);
                            if (wide)
                                WideMask(*mask, *picture);
                            auto fused = Make(tw, 9, tf, 3, false);
                            auto plain = Make(tw, 9, tf, 3, false);
                            TBitmap twin;
                            if (shared)
                                twin.Assign(*fused);
                            MaskedCopy(*fused, r->dest, *mask, r->maskRect, *picture, r->pictureRect);
                            TwoPasses(*plain, r->dest, *mask, r->maskRect, *picture, r->pictureRect);
                            ASSERT_EQ(Bytes(*fused), Bytes(*plain))
                                << r->what << (shared ? ", shared target" : "") << ": target " << BitsPerPixel(tf)
                                << " bit, mask " << BitsPerPixel(mf) << " bit, picture " << BitsPerPixel(pf) << " bit";
                            if (shared) {
                                ASSERT_EQ(Bytes(twin), Bytes(*Make(tw, 9, tf, 3, false))) << r->what;
                            }
                        }
    }
    SetCopyPaths(TCopyPaths::Best);
}

TEST(MaskedCopy, SplitPictureHoldsMaskAndPicture)
{
    // The mask in the upper half, the picture in the lower half of one bitmap.
    auto split = Make(40, 20, pf24bit, 4, false);
    auto lowerMask = Make(40, 10, pf24bit, 0, true);
    split->GetCanvas()->CopyRect(Rect(0, 0, 40, 10), lowerMask->GetCanvas(), Rect(0, 0, 40, 10));
    auto fused = Make(61, 9, pf24bit, 5, false);
    auto plain = Make(61, 9, pf24bit, 5, false);
    MaskedCopy(*fused, Rect(10, 0, 50, 9), *split, Rect(0, 0, 40, 9), *split, Rect(0, 10, 40, 19));
    TwoPasses(*plain, Rect(10, 0, 50, 9), *split, Rect(0, 0, 40, 9), *split, Rect(0, 10, 40, 19));
    EXPECT_EQ(Bytes(*fused), Bytes(*plain));
}

// Whatever touches the target, the mask or the picture between the two
// halves sees (and leaves) what the plain copies give.
TEST(MaskedCopy, AnythingBetweenTheHalvesRunsTheEraseFirst)
{
    struct Between {
        const char* what;
        // Runs after the erase; gets target, mask and picture.
        std::function<void(TBitmap&, TBitmap&, TBitmap&)> act;
    } cases[] = {
        {"nothing", [](TBitmap&, TBitmap&, TBitmap&) {}},
        {"a pixel of the target read", [](TBitmap& t, TBitmap&, TBitmap&) { (void)t.GetPixelColor(12, 3); }},
        {"a target row written",
         [](TBitmap& t, TBitmap&, TBitmap&) {
             uint8_t* row = t.ScanLine(2);
             row[40] ^= 0x5A;
         }},
        {"the mask drawn over", [](TBitmap&, TBitmap& m, TBitmap&) { Scribble(m, 9); }},
        {"the mask resized", [](TBitmap&, TBitmap& m, TBitmap&) { m.SetSize(3, 3); }},
        {"the target copied elsewhere",
         [](TBitmap& t, TBitmap&, TBitmap&) {
             TBitmap other(61, 9);
             other.GetCanvas()->CopyRect(Rect(0, 0, 61, 9), t.GetCanvas(), Rect(0, 0, 61, 9));
             Scribble(other, 7);
         }},
        {"the target assigned to another",
         [](TBitmap& t, TBitmap&, TBitmap&) {
             TBitmap other;
             other.Assign(t);
         }},
        {"the target filled in part",
         [](TBitmap& t, TBitmap&, TBitmap&) {
             t.GetCanvas()->Brush.Color = RGB(1, 2, 3);
             t.GetCanvas()->FillRect(Rect(0, 0, 8, 4));
         }},
        {"a second erase elsewhere",
         [](TBitmap& t, TBitmap& m, TBitmap&) {
             t.GetCanvas()->CopyMode = SRCERASE;
             t.GetCanvas()->CopyRect(Rect(0, 0, 10, 9), m.GetCanvas(), Rect(0, 0, 10, 9));
         }},
        {"an invert onto other pixels",
         [](TBitmap& t, TBitmap&, TBitmap& p) {
             t.GetCanvas()->CopyMode = SRCINVERT;
             t.GetCanvas()->CopyRect(Rect(0, 0, 10, 9), p.GetCanvas(), Rect(0, 0, 10, 9));
         }},
        {"the target copied onto itself",
         [](TBitmap& t, TBitmap&, TBitmap&) {
             t.GetCanvas()->CopyMode = SRCCOPY;
             t.GetCanvas()->CopyRect(Rect(1, 0, 30, 9), t.GetCanvas(), Rect(0, 0, 29, 9));
         }},
        {"the target converted", [](TBitmap& t, TBitmap&, TBitmap&) { t.SetPixelFormat(pf32bit); }},
        {"the target saved",
         [](TBitmap& t, TBitmap&, TBitmap&) {
             const auto path = std::filesystem::temp_directory_path() /
                               ("velmia-masked-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                "-" + std::to_string(reinterpret_cast<uintptr_t>(&t)) + ".bmp");
             t.SaveToFile(path.string());
             TBitmap back;
             back.LoadFromFile(path.string());
             std::filesystem::remove(path);
             for (int y = 0; y < t.GetHeight(); ++y)
                 for (int x = 0; x < t.GetWidth(); ++x)
                     ASSERT_EQ(back.GetPixelColor(x, y), t.GetPixelColor(x, y)) << x << "," << y;
         }},
    };
    const TRect dest = Rect(5, 1, 55, 8), src = Rect(0, 0, 50, 7);
    for (const Between& c : cases) {
        auto mask = Make(70, 12, pf8bit, 1, true);
        auto picture = Make(70, 12, pf24bit, 2, false);
        auto target = Make(61, 9, pf24bit, 3, false);
        auto refMask = Make(70, 12, pf8bit, 1, true);
        auto refPicture = Make(70, 12, pf24bit, 2, false);
        auto ref = Make(61, 9, pf24bit, 3, false);

        TCanvas* t = target->GetCanvas();
        t->CopyMode = SRCERASE;
        t->CopyRect(dest, mask->GetCanvas(), src);
        c.act(*target, *mask, *picture);
        t->CopyMode = SRCINVERT;
        t->CopyRect(dest, picture->GetCanvas(), src);

        TCanvas* r = ref->GetCanvas();
        r->CopyMode = SRCERASE;
        r->CopyRect(dest, refMask->GetCanvas(), src);
        (void)ref->ScanLineRO(0);
        c.act(*ref, *refMask, *refPicture);
        r->CopyMode = SRCINVERT;
        r->CopyRect(dest, refPicture->GetCanvas(), src);

        EXPECT_EQ(target->GetPixelFormat(), ref->GetPixelFormat()) << c.what;
        EXPECT_EQ(Bytes(*target), Bytes(*ref)) << c.what;
    }
}

TEST(SharedPixels, WholeCopiesShareUntilEitherIsWritten)
{
    TBitmap a(40, 8), b(40, 8);
    Scribble(a, 1);
    Scribble(b, 2);
    const std::vector<uint8_t> aBytes = Bytes(a);
    b.GetCanvas()->CopyRect(Rect(0, 0, 40, 8), a.GetCanvas(), Rect(0, 0, 40, 8));
    EXPECT_TRUE(b.SharesPixelsWith(a));
    EXPECT_EQ(b.ContentStamp(), a.ContentStamp());
    EXPECT_EQ(b.TakeDirtyRect(), Rect(0, 0, 40, 8));

    b.SetPixelColor(3, 3, RGB(9, 8, 7));
    EXPECT_FALSE(b.SharesPixelsWith(a));
    EXPECT_NE(b.ContentStamp(), a.ContentStamp());
    EXPECT_EQ(Bytes(a), aBytes);
    EXPECT_EQ(b.GetPixelColor(3, 3), RGB(9, 8, 7));

    // A copy onto some rows of the sharing bitmap: the other rows come along.
    b.GetCanvas()->CopyRect(Rect(0, 0, 40, 8), a.GetCanvas(), Rect(0, 0, 40, 8));
    TBitmap c(40, 8);
    Scribble(c, 3);
    b.GetCanvas()->CopyMode = SRCINVERT;
    b.GetCanvas()->CopyRect(Rect(5, 2, 30, 6), c.GetCanvas(), Rect(1, 1, 26, 5));
    b.GetCanvas()->CopyMode = SRCCOPY;
    EXPECT_EQ(Bytes(a), aBytes);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 5 && x < 30 && y >= 2 && y < 6;
            const TColor want = inside ? a.GetPixelColor(x, y) ^ c.GetPixelColor(x - 4, y - 1) : a.GetPixelColor(x, y);
            ASSERT_EQ(b.GetPixelColor(x, y), want) << x << "," << y;
        }

    // Written through the source: the copy keeps what it had.
    b.GetCanvas()->CopyRect(Rect(0, 0, 40, 8), a.GetCanvas(), Rect(0, 0, 40, 8));
    a.ScanLine(0)[0] ^= 0xFF;
    EXPECT_EQ(Bytes(b), aBytes);
}

TEST(SharedPixels, OnlyCopiesThatGiveTheSourceBytesShare)
{
    struct Case {
        const char* what;
        int w, h;
        TPixelFormat from, to;
        TRect dest, source;
        bool shares;
    } cases[] = {
        {"24-bit whole", 40, 8, pf24bit, pf24bit, Rect(0, 0, 40, 8), Rect(0, 0, 40, 8), true},
        {"rows with padding", 41, 8, pf24bit, pf24bit, Rect(0, 0, 41, 8), Rect(0, 0, 41, 8), false},
        {"32-bit keeps its fourth byte", 40, 8, pf32bit, pf32bit, Rect(0, 0, 40, 8), Rect(0, 0, 40, 8), false},
        {"palette pictures", 40, 8, pf8bit, pf8bit, Rect(0, 0, 40, 8), Rect(0, 0, 40, 8), false},
        {"part of the picture", 40, 8, pf24bit, pf24bit, Rect(0, 0, 40, 7), Rect(0, 0, 40, 7), false},
        {"mirrored", 40, 8, pf24bit, pf24bit, Rect(40, 0, 0, 8), Rect(0, 0, 40, 8), false},
        {"other format", 40, 8, pf32bit, pf24bit, Rect(0, 0, 40, 8), Rect(0, 0, 40, 8), false},
    };
    for (const Case& c : cases) {
        TBitmap src(c.w, c.h, c.from), dst(c.w, c.h, c.to), ref(c.w, c.h, c.to);
        Scribble(src, 5);
        Scribble(dst, 6);
        Scribble(ref, 6);
        dst.GetCanvas()->CopyRect(c.dest, src.GetCanvas(), c.source);
        EXPECT_EQ(dst.SharesPixelsWith(src), c.shares) << c.what;
        // The same copy in two bands of rows, which cannot share.
        const int mid = c.h / 2;
        if (c.dest.Bottom > c.dest.Top && c.dest.Right > c.dest.Left) {
            ref.GetCanvas()->CopyRect(Rect(c.dest.Left, c.dest.Top, c.dest.Right, mid), src.GetCanvas(),
                                      Rect(c.source.Left, c.source.Top, c.source.Right, mid));
            ref.GetCanvas()->CopyRect(Rect(c.dest.Left, mid, c.dest.Right, c.dest.Bottom), src.GetCanvas(),
                                      Rect(c.source.Left, mid, c.source.Right, c.source.Bottom));
        } else {
            ref.GetCanvas()->CopyRect(c.dest, src.GetCanvas(), c.source);
        }
        EXPECT_EQ(Bytes(dst), Bytes(ref)) << c.what;
    }
}

TEST(SharedPixels, PaddingOfRowsSurvivesAWholeCopy)
{
    // 41 pixels make 123 bytes of a 124-byte row: the pad byte is the
    // destination's own and stays.
    TBitmap src(41, 3), dst(41, 3);
    Scribble(src, 1);
    Scribble(dst, 2);
    const uint8_t pad = dst.ScanLineRO(1)[123];
    dst.GetCanvas()->CopyRect(Rect(0, 0, 41, 3), src.GetCanvas(), Rect(0, 0, 41, 3));
    EXPECT_EQ(dst.ScanLineRO(1)[123], pad);
    EXPECT_EQ(dst.GetPixelColor(40, 2), src.GetPixelColor(40, 2));
}

// Filling copies the first row onto the others where it can: every format,
// odd spans, and the fourth byte of 32-bit pixels stays per row.
TEST(FillRect, EveryFormatFillsOnlyItsRectangle)
{
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
        TBitmap b(37, 6, f);
        Scribble(b, 11);
        const std::vector<uint8_t> before = Bytes(b);
        std::vector<TColor> was;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 37; ++x)
                was.push_back(b.GetPixelColor(x, y));
        b.GetCanvas()->Brush.Color = RGB(10, 200, 30);
        b.GetCanvas()->FillRect(Rect(3, 1, 34, 5));
        const TColor fill = b.GetPixelColor(3, 1);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 37; ++x) {
                const bool inside = x >= 3 && x < 34 && y >= 1 && y < 5;
                ASSERT_EQ(b.GetPixelColor(x, y), inside ? fill : was[size_t(y * 37 + x)])
                    << BitsPerPixel(f) << " bit, " << x << "," << y;
            }
        if (f != pf32bit)
            continue;
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 37; ++x) {
                ASSERT_EQ(b.ScanLineRO(y)[4 * x + 3], before[size_t(y) * b.RowBytes() + 4 * size_t(x) + 3]);
            }
        }
    }
}
