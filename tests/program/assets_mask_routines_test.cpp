// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The white-key mask routines on tiny bitmaps.
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"

#include <gtest/gtest.h>
#include <memory>

namespace velmia::test {
namespace {

using vcl::Rect;
using vcl::TBitmap;

class MaskRoutines : public ::testing::Test {
protected:
    HeadlessHost host_;
    std::unique_ptr<TSvelmia> form_ = std::make_unique<TSvelmia>();

    static std::unique_ptr<TBitmap> Picture(int w, int h, vcl::TPixelFormat f = vcl::pf24bit)
    {
        auto b = std::make_unique<TBitmap>(w, h, f);
        for (int y = 0; y < h; ++y) // black, pad bytes 0
            std::fill_n(b->ScanLine(y), b->RowBytes(), uint8_t(0));
        return b;
    }
    static void SetBytes(TBitmap* b, int x, int y, uint8_t blue, uint8_t green, uint8_t red)
    {
        const int step = b->GetPixelFormat() == vcl::pf32bit ? 4 : 3;
        uint8_t* p = b->ScanLine(y) + step * x;
        p[0] = blue;
        p[1] = green;
        p[2] = red;
    }
    std::unique_ptr<TBitmap> Mask(int w, int h, uint8_t fill)
    {
        auto m = std::make_unique<TBitmap>();
        m->SetPixelFormat(vcl::pf8bit);
        m->SetPalette(vcl::CreatePalette(form_->State().BlackWhitePalette));
        m->SetSize(w, h);
        for (int y = 0; y < h; ++y)
            std::fill_n(m->ScanLine(y), w, fill);
        return m;
    }
};

// Mask byte for one source pixel, through both 8-bit mask routines.
TEST_F(MaskRoutines, WhiteIsExactlyTwoFiftyFiveInEveryChannel)
{
    struct Case {
        vcl::TPixelFormat format;
        uint8_t b, g, r;
        uint8_t expected;
    } cases[] = {
        {vcl::pf24bit, 255, 255, 255, 1}, {vcl::pf24bit, 255, 255, 254, 0}, {vcl::pf24bit, 254, 255, 255, 0},
        {vcl::pf24bit, 0, 0, 0, 0},       {vcl::pf32bit, 255, 255, 255, 1}, {vcl::pf32bit, 255, 254, 255, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.b) << "," << int(c.g) << "," << int(c.r));
        auto source = Picture(3, 1, c.format); // fourth byte of 32-bit pixels stays 0
        SetBytes(source.get(), 1, 0, c.b, c.g, c.r);
        auto mask = Mask(3, 1, 7);
        form_->MakeWhiteMaskFromBitmap(mask.get(), source.get(), Rect(0, 0, 3, 1), Rect(0, 0, 3, 1));
        EXPECT_EQ(mask->ScanLine(0)[0], 0);
        EXPECT_EQ(mask->ScanLine(0)[1], c.expected);
        EXPECT_EQ(mask->ScanLine(0)[2], 0);

        // The image-control variant reads the control's bitmap the same way.
        form_->scenebuff->GetPicture()->SetBitmap(Picture(3, 1, c.format));
        SetBytes(form_->scenebuff->GetBitmap(), 1, 0, c.b, c.g, c.r);
        auto mask2 = Mask(3, 1, 7);
        form_->MakeWhiteMaskFromImage(mask2.get(), form_->scenebuff, Rect(0, 0, 3, 1), Rect(0, 0, 3, 1));
        EXPECT_EQ(mask2->ScanLine(0)[1], c.expected);
    }
}

// Source and destination offsets: the source Left selects the byte
// 3 x Left (4 x Left in 32-bit pictures); the destination is written from
// its own Left and Top, its Right and Bottom are not used.
TEST_F(MaskRoutines, OffsetsOfSourceAndDestination)
{
    auto source = Picture(100, 3);
    SetBytes(source.get(), 88, 2, 255, 255, 255); // bytes 264..266 of row 2
    auto mask = Mask(5, 4, 7);
    form_->MakeWhiteMaskFromBitmap(mask.get(), source.get(), Rect(2, 1, 2, 1), Rect(87, 1, 90, 3));
    // Rows 1 and 2 of the source land in rows 1 and 2 from column 2.
    const uint8_t expected[4][5] = {{7, 7, 7, 7, 7}, {7, 7, 0, 0, 0}, {7, 7, 0, 1, 0}, {7, 7, 7, 7, 7}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(mask->ScanLine(y)[x], expected[y][x]) << x << "," << y;

    auto wide = Picture(100, 1, vcl::pf32bit);
    SetBytes(wide.get(), 88, 0, 255, 255, 255); // bytes 352..354
    auto mask32 = Mask(2, 1, 7);
    form_->MakeWhiteMaskFromBitmap(mask32.get(), wide.get(), Rect(0, 0, 2, 1), Rect(88, 0, 90, 1));
    EXPECT_EQ(mask32->ScanLine(0)[0], 1);
    EXPECT_EQ(mask32->ScanLine(0)[1], 0);
}

// Empty and out-of-range rectangles write nothing outside the pictures and
// nothing at all when empty.
TEST_F(MaskRoutines, EmptyAndOutsideRectanglesStayInside)
{
    struct Case {
        vcl::TRect dest, source;
        int written; // mask bytes changed from the fill
    } cases[] = {
        {Rect(0, 0, 0, 0), Rect(0, 0, 0, 4), 0},       // no columns
        {Rect(0, 0, 0, 0), Rect(0, 2, 4, 2), 0},       // no rows
        {Rect(0, 0, 0, 0), Rect(3, 3, 1, 1), 0},       // negative size
        {Rect(0, 0, 0, 0), Rect(0, 0, 4, 4), 16},      // the whole picture
        {Rect(2, 2, 0, 0), Rect(0, 0, 4, 4), 4},       // destination runs off its picture
        {Rect(0, 0, 0, 0), Rect(2, 2, 40, 40), 4},     // source runs off its picture
        {Rect(-2, -2, 0, 0), Rect(0, 0, 4, 4), 4},     // destination starts before its picture
        {Rect(0, 0, 0, 0), Rect(-3, -3, 1, 1), 1},     // source starts before its picture
        {Rect(9, 9, 0, 0), Rect(0, 0, 4, 4), 0},       // destination wholly outside
        {Rect(0, 0, 0, 0), Rect(1000, 0, 1004, 4), 0}, // source wholly outside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dest.Left << "," << c.dest.Top << " from " << c.source.Left << ","
                                        << c.source.Top << "," << c.source.Right << "," << c.source.Bottom);
        auto source = Picture(4, 4); // black: mask bytes 0
        auto mask = Mask(4, 4, 7);
        form_->MakeWhiteMaskFromBitmap(mask.get(), source.get(), c.dest, c.source);
        int written = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                written += mask->ScanLine(y)[x] != 7;
        EXPECT_EQ(written, c.written);

        auto colour = Picture(4, 4);
        for (int y = 0; y < 4; ++y)
            std::fill_n(colour->ScanLine(y), 12, uint8_t(7));
        form_->MakeWhiteMask24(colour.get(), source.get(), c.dest, c.source);
        written = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 12; ++x)
                written += colour->ScanLine(y)[x] != 7;
        EXPECT_EQ(written, 3 * c.written);
    }
}

// Three bytes per pixel for every source that is not 32-bit: an 8-bit
// picture is read as if it had three bytes per pixel, but never beyond its row.
TEST_F(MaskRoutines, PaletteSourceIsReadWithinItsRows)
{
    auto source = Picture(6, 2, vcl::pf8bit); // 6 bytes a row: pixels 0 and 1 only
    std::fill_n(source->ScanLine(0), 6, uint8_t(255));
    auto mask = Mask(6, 1, 7);
    form_->MakeWhiteMaskFromBitmap(mask.get(), source.get(), Rect(0, 0, 6, 1), Rect(0, 0, 6, 1));
    const uint8_t expected[6] = {1, 1, 7, 7, 7, 7};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(mask->ScanLine(0)[x], expected[x]) << x;
}

TEST_F(MaskRoutines, ColourMaskStepsByTheDestinationFormat)
{
    for (vcl::TPixelFormat f : {vcl::pf24bit, vcl::pf32bit}) {
        const int step = f == vcl::pf32bit ? 4 : 3;
        auto source = Picture(2, 1);
        SetBytes(source.get(), 0, 0, 255, 255, 255);
        SetBytes(source.get(), 1, 0, 1, 2, 3);
        auto dest = Picture(3, 1, f);
        std::fill_n(dest->ScanLine(0), dest->RowBytes(), uint8_t(7));
        form_->MakeWhiteMask24(dest.get(), source.get(), Rect(1, 0, 1, 0), Rect(0, 0, 2, 1));
        const uint8_t* row = dest->ScanLine(0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(row[i], 7);            // pixel 0 untouched
            EXPECT_EQ(row[step + i], 255);   // white
            EXPECT_EQ(row[2 * step + i], 0); // black
        }
        if (step == 4) {
            EXPECT_EQ(row[7], 7); // the fourth byte is never written
            EXPECT_EQ(row[11], 7);
        }
    }
}

TEST_F(MaskRoutines, DrawWhiteMaskCoversExactlyTheDestination)
{
    // Source: white column 0, black elsewhere, in rows 150..299 of a strip.
    TBitmap* strip = form_->Choker->GetBitmap();
    strip->SetSize(150, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 150; ++x)
            strip->SetPixelColor(x, y, x == 0 || y < 150 ? vcl::clWhite : 0x00123456);
    form_->DrawWhiteMask(form_->Choker, form_->Choker, Rect(0, 0, 150, 150), Rect(0, 150, 150, 300));
    EXPECT_EQ(strip->GetPixelColor(0, 10), vcl::clWhite);
    EXPECT_EQ(strip->GetPixelColor(1, 10), vcl::clBlack);
    EXPECT_EQ(strip->GetPixelColor(149, 149), vcl::clBlack);
    EXPECT_EQ(strip->GetPixelColor(149, 150), 0x00123456) << "the picture cell is untouched";

    // Base figure: 420 x 300 mask drawn at (170,0) of an 800 x 600 picture.
    form_->MainPictList->GetCanvas()->Brush.Color = 0x00010203;
    form_->MainPictList->GetCanvas()->FillRect(Rect(0, 0, 800, 600));
    form_->DrawWhiteMask(form_->MainPictList, form_->mainsave, Rect(170, 0, 590, 300), Rect(0, 0, 420, 300));
    TBitmap* list = form_->MainPictList->GetBitmap();
    EXPECT_EQ(list->GetPixelColor(169, 0), 0x00010203);
    EXPECT_EQ(list->GetPixelColor(590, 0), 0x00010203);
    EXPECT_EQ(list->GetPixelColor(170, 300), 0x00010203);
    const vcl::TColor m = list->GetPixelColor(170, 0);
    EXPECT_TRUE(m == vcl::clWhite || m == vcl::clBlack);
}

TEST_F(MaskRoutines, CopyKeyedToWhiteTurnsOnlyTheKeyWhite)
{
    auto source = Picture(4, 2, vcl::pf32bit); // read with three-byte steps anyway
    uint8_t* row = source->ScanLine(1);
    const uint8_t bytes[12] = {10, 20, 30, 10, 20, 31, 10, 20, 30, 5, 5, 5};
    std::copy(bytes, bytes + 12, row);
    form_->scenebuff->GetPicture()->SetBitmap(Picture(4, 2));
    auto mask = Mask(4, 2, 7);
    form_->CopyKeyedToWhite(mask.get(), form_->scenebuff, source.get(), Rect(0, 1, 4, 2), 10, 20, 30);
    const uint8_t* out = form_->scenebuff->GetBitmap()->ScanLine(1);
    const uint8_t expectedOut[12] = {255, 255, 255, 10, 20, 31, 255, 255, 255, 5, 5, 5};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(out[i], expectedOut[i]) << i;
    const uint8_t expectedMask[4] = {1, 0, 1, 0};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(mask->ScanLine(1)[x], expectedMask[x]) << x;
        EXPECT_EQ(mask->ScanLine(0)[x], 7) << "row 0 is outside the rectangle";
    }

    // The source is read from 3 x Left; destination and mask from column 0.
    auto mask2 = Mask(4, 2, 7);
    form_->CopyKeyedToWhite(mask2.get(), form_->scenebuff, source.get(), Rect(1, 1, 3, 2), 10, 20, 30);
    EXPECT_EQ(mask2->ScanLine(1)[0], 0);
    EXPECT_EQ(mask2->ScanLine(1)[1], 1);
    EXPECT_EQ(mask2->ScanLine(1)[2], 7);
    // A rectangle larger than every picture stays inside them.
    form_->CopyKeyedToWhite(mask2.get(), form_->scenebuff, source.get(), Rect(-5, -5, 300, 300), 10, 20, 30);
}

} // namespace
} // namespace velmia::test
