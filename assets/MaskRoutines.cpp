// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// White-key masks: where a part picture is pure white (255,255,255) its mask
// holds 1 (shown white), elsewhere 0 (black). The routines walk bitmap rows
// directly. They read three bytes per source pixel, four in 32-bit pictures,
// and compare or write only the first three. Every loop is clipped to the
// rows and bytes both bitmaps really have, so a rectangle reaching past a
// picture (a file smaller than expected) only shortens the work.
#include "shell/Velmiaunit1.h"

#include <algorithm>
#include <cstdint>
#include <utility>

using vcl::TBitmap;
using vcl::TRect;

namespace {

// Bytes of pixel data in one row (without the row padding).
int64_t RowDataBytes(const TBitmap* b)
{
    return (int64_t(b->GetWidth()) * vcl::BitsPerPixel(b->GetPixelFormat()) + 7) / 8;
}

int PixelStep(const TBitmap* b)
{
    return b->GetPixelFormat() == vcl::pf32bit ? 4 : 3;
}

bool IsWhite(const uint8_t* p)
{
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

// The range [first, last) of indices i in [0, count) for which
// origin + i lies in [0, limit).
struct Span {
    int64_t first, last;
};
Span Clip(int64_t count, int64_t origin, int64_t limit)
{
    return {std::max<int64_t>(0, -origin), std::min<int64_t>(count, limit - origin)};
}

// Columns j in [0, cols) for which a `size`-byte item at byte
// step * (origin + j) lies inside a row of `rowBytes` bytes.
Span ClipBytes(int64_t cols, int64_t origin, int step, int size, int64_t rowBytes)
{
    // step * (origin + j) >= 0 and step * (origin + j) + size <= rowBytes
    int64_t first = std::max<int64_t>(0, -origin);
    int64_t lastPixel = rowBytes >= size ? (rowBytes - size) / step : -1; // highest origin + j allowed
    return {first, std::min<int64_t>(cols, lastPixel - origin + 1)};
}

Span Meet(Span a, Span b)
{
    return {std::max(a.first, b.first), std::min(a.last, b.last)};
}

// Writes 1/0 mask bytes for the white pixels of `source` (rows and columns
// from the source rectangle) into the 8-bit `dest` at the destination's
// Left and Top.
void WriteMask(TBitmap* dest, const TBitmap* source, const TRect& d, const TRect& s)
{
    const int64_t rows = int64_t(s.Bottom) - s.Top;
    const int64_t cols = int64_t(s.Right) - s.Left;
    const int step = PixelStep(source);
    const Span rowSpan = Meet(Clip(rows, s.Top, source->GetHeight()), Clip(rows, d.Top, dest->GetHeight()));
    const Span colSpan =
        Meet(ClipBytes(cols, s.Left, step, 3, RowDataBytes(source)), ClipBytes(cols, d.Left, 1, 1, RowDataBytes(dest)));
    for (int64_t i = rowSpan.first; i < rowSpan.last; ++i) {
        const uint8_t* in = source->ScanLine(int32_t(s.Top + i));
        uint8_t* out = dest->ScanLine(int32_t(d.Top + i));
        for (int64_t j = colSpan.first; j < colSpan.last; ++j)
            out[d.Left + j] = IsWhite(in + step * (s.Left + j)) ? 1 : 0;
    }
}

} // namespace

void TSvelmia::MakeWhiteMaskFromImage(TBitmap* dest, vcl::TImage* source, TRect destRect, TRect sourceRect)
{
    WriteMask(dest, source->GetBitmap(), destRect, sourceRect);
}

void TSvelmia::MakeWhiteMaskFromBitmap(TBitmap* dest, TBitmap* source, TRect destRect, TRect sourceRect)
{
    WriteMask(dest, source, destRect, sourceRect);
}

// A colour mask: white where the source is white, black elsewhere.
void TSvelmia::MakeWhiteMask24(TBitmap* dest, TBitmap* source, TRect destRect, TRect sourceRect)
{
    const TRect& d = destRect;
    const TRect& s = sourceRect;
    const int64_t rows = int64_t(s.Bottom) - s.Top;
    const int64_t cols = int64_t(s.Right) - s.Left;
    const int step = PixelStep(source);
    const int dstep = PixelStep(dest);
    const Span rowSpan = Meet(Clip(rows, s.Top, source->GetHeight()), Clip(rows, d.Top, dest->GetHeight()));
    const Span colSpan = Meet(ClipBytes(cols, s.Left, step, 3, RowDataBytes(source)),
                              ClipBytes(cols, d.Left, dstep, 3, RowDataBytes(dest)));
    for (int64_t i = rowSpan.first; i < rowSpan.last; ++i) {
        const uint8_t* in = std::as_const(*source).ScanLine(int32_t(s.Top + i));
        uint8_t* out = dest->ScanLine(int32_t(d.Top + i));
        for (int64_t j = colSpan.first; j < colSpan.last; ++j) {
            const uint8_t v = IsWhite(in + step * (s.Left + j)) ? 255 : 0;
            uint8_t* p = out + dstep * (d.Left + j);
            p[0] = v;
            p[1] = v;
            p[2] = v;
        }
    }
}

// Builds the mask of the source area (the destination rectangle's size, read
// from the source rectangle's Left and Top) in a mask picture of its own and
// draws it into the destination image at the destination's Left and Top.
// Parts of the mask that the source does not cover are white (transparent).
void TSvelmia::DrawWhiteMask(vcl::TImage* dest, vcl::TImage* source, TRect destRect, TRect sourceRect)
{
    const int32_t rows = std::max(0, destRect.Bottom - destRect.Top);
    const int32_t cols = std::max(0, destRect.Right - destRect.Left);
    const OwnedBitmap mask = NewMaskBitmap(cols, rows);
    for (int32_t i = 0; i < rows; ++i)
        std::fill_n(mask->ScanLine(i), cols, uint8_t(1));

    const TRect maskRect{0, 0, cols, rows};
    const TRect fromRect{sourceRect.Left, sourceRect.Top, sourceRect.Left + cols, sourceRect.Top + rows};
    WriteMask(mask.get(), source->GetBitmap(), maskRect, fromRect);

    dest->GetCanvas()->CopyMode = vcl::SRCCOPY;
    dest->GetCanvas()->Draw(destRect.Left, destRect.Top, mask.get());
}

// Copies `source` into the destination image row for row (same row index in
// all three bitmaps; the source from column rect.Left, destination and mask
// from column 0), turning every pixel of the key colour white and recording
// those pixels with 1 in the mask. Steps three bytes per pixel in source and
// destination whatever their format.
void TSvelmia::CopyKeyedToWhite(TBitmap* mask, vcl::TImage* dest, TBitmap* source, TRect rect, uint8_t keyBlue,
                                uint8_t keyGreen, uint8_t keyRed)
{
    TBitmap* target = dest->GetBitmap();
    const int64_t rows = int64_t(rect.Bottom) - rect.Top;
    const int64_t cols = int64_t(rect.Right) - rect.Left;
    const Span rowSpan =
        Meet(Meet(Clip(rows, rect.Top, source->GetHeight()), Clip(rows, rect.Top, target->GetHeight())),
             Clip(rows, rect.Top, mask->GetHeight()));
    const Span colSpan = Meet(
        Meet(ClipBytes(cols, rect.Left, 3, 3, RowDataBytes(source)), ClipBytes(cols, 0, 3, 3, RowDataBytes(target))),
        ClipBytes(cols, 0, 1, 1, RowDataBytes(mask)));
    for (int64_t i = rowSpan.first; i < rowSpan.last; ++i) {
        const int32_t y = int32_t(rect.Top + i);
        const uint8_t* in = std::as_const(*source).ScanLine(y);
        uint8_t* out = target->ScanLine(y);
        uint8_t* keyed = mask->ScanLine(y);
        for (int64_t j = colSpan.first; j < colSpan.last; ++j) {
            const uint8_t* s = in + 3 * (rect.Left + j);
            uint8_t* p = out + 3 * j;
            if (s[0] == keyBlue && s[1] == keyGreen && s[2] == keyRed) {
                p[0] = p[1] = p[2] = 255;
                keyed[j] = 1;
            } else {
                p[0] = s[0];
                p[1] = s[1];
                p[2] = s[2];
                keyed[j] = 0;
            }
        }
    }
}
