// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Bitmaps, palettes, canvases and pictures.
//
// A TBitmap stores its rows top-down, each row padded to a multiple of four
// bytes. 24-bit rows hold blue, green, red; 32-bit rows blue, green, red, pad;
// 1/4/8-bit rows hold palette indices (1- and 4-bit packed most significant
// bits first). "Device" format is 24-bit.
#pragma once

#include "toolkit/PixelHeap.h"
#include "toolkit/Types.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vcl {

namespace detail {
// Pixel buffers come from the pixel heap, and new elements are left
// uninitialised where no value is given: a buffer that its writer fills
// completely is not cleared first.
template <typename T> struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <typename U> PixelAllocator(const PixelAllocator<U>&) noexcept {}
    T* allocate(size_t n) { return static_cast<T*>(AllocatePixels(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { FreePixels(p, n * sizeof(T)); }
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... A> void construct(U* p, A&&... a)
    {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
    }
    template <typename U> bool operator==(const PixelAllocator<U>&) const noexcept { return true; }
};
} // namespace detail

enum class TPixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
constexpr TPixelFormat pf1bit = TPixelFormat::pf1bit;
constexpr TPixelFormat pf4bit = TPixelFormat::pf4bit;
constexpr TPixelFormat pf8bit = TPixelFormat::pf8bit;
constexpr TPixelFormat pf24bit = TPixelFormat::pf24bit;
constexpr TPixelFormat pf32bit = TPixelFormat::pf32bit;
constexpr TPixelFormat pfDevice = TPixelFormat::pf24bit;

int BitsPerPixel(TPixelFormat f);

// Raster operations understood by TCanvas::CopyRect, Draw and StretchDraw.
using TCopyMode = uint32_t;
constexpr TCopyMode SRCCOPY = 0x00CC0020;   // S
constexpr TCopyMode SRCPAINT = 0x00EE0086;  // S OR D
constexpr TCopyMode SRCINVERT = 0x00660046; // S XOR D
constexpr TCopyMode SRCERASE = 0x00440328;  // S AND NOT D
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcErase = SRCERASE;

// Logical palette in the layout the old graphics interface used.
struct TPaletteEntry {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};

struct TLogPalette {
    uint16_t palVersion = 0x300;
    uint16_t palNumEntries = 0;
    TPaletteEntry palPalEntry[256] = {};
};

// A realised palette: up to 256 colours. Empty for 24/32-bit bitmaps.
using TPalette = std::vector<TPaletteEntry>;
TPalette CreatePalette(const TLogPalette& lp);

// Limits that keep a bitmap's allocation sane; larger sizes throw EInvalidGraphic.
constexpr int32_t kMaxBitmapSide = 65536;
constexpr int64_t kMaxBitmapPixels = int64_t(64) * 1024 * 1024;

class TCanvas;
struct PendingErase;

class TBitmap : public TObject {
public:
    TBitmap();
    TBitmap(int32_t width, int32_t height, TPixelFormat format = pfDevice);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Resizing keeps the overlapping top-left part. New pixels are white; in
    // palette formats they take the index of the entry nearest white. Palette
    // indices beyond the palette's entries read as black.
    void SetWidth(int32_t w);
    void SetHeight(int32_t h);
    void SetSize(int32_t w, int32_t h);

    TPixelFormat GetPixelFormat() const { return format_; }
    // Converts the pixels. Going to a palette format picks the nearest entry of
    // the current palette (a grey ramp when the bitmap has none yet).
    void SetPixelFormat(TPixelFormat f);

    const TPalette& GetPalette() const { return palette_; }
    // Replaces the palette without touching the stored indices.
    void SetPalette(const TPalette& p);

    // Alpha. A 32-bit bitmap read from a file whose alpha channel is in use
    // holds each pixel's opacity in its fourth byte (0 transparent, 255
    // opaque) and says so here; a save writes that alpha back. Other bitmaps
    // have none: the fourth byte of a 32-bit one is padding. Changing the
    // pixel format drops the alpha, and SetPixelColor makes the pixel it
    // writes opaque.
    bool HasAlpha() const { return alpha_; }
    void SetHasAlpha(bool alpha) { alpha_ = alpha && format_ == pf32bit; }

    // Row y, top-down. Throws EInvalidGraphic when y is outside 0..Height-1.
    // The mutable overload marks the row as changed.
    uint8_t* ScanLine(int32_t y);
    const uint8_t* ScanLine(int32_t y) const;
    const uint8_t* ScanLineRO(int32_t y) const { return ScanLine(y); }
    size_t RowBytes() const { return stride_; }

    TCanvas* GetCanvas();

    // Pixel colour (palette looked up); -1 outside.
    TColor GetPixelColor(int32_t x, int32_t y) const;
    // Writes a colour (nearest palette entry in palette formats); ignored outside.
    void SetPixelColor(int32_t x, int32_t y, TColor c);

    // Copies size, format, palette and pixels.
    void Assign(const TBitmap& other);

    // BMP file input and output (see BmpCodec.h). LoadFromFile replaces the
    // bitmap only when the whole file was read; on failure it throws and leaves
    // the bitmap unchanged.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // Change tracking for the window: the union of the rectangles written
    // since the last call, in bitmap coordinates. A resize or a format change
    // marks the whole bitmap. `Modified` counts every change.
    TRect TakeDirtyRect();
    void MarkDirty(const TRect& r);
    uint64_t Modified() const { return modified_; }

    // Names the pixel content: two bitmaps with the same stamp hold the same
    // pixels, and every change takes a stamp never used before.
    uint64_t ContentStamp() const { return stamp_; }
    // Whether the two bitmaps hold their pixels in one shared buffer. A copy of
    // a whole 24-bit bitmap onto another of the same size shares the buffer
    // instead of copying it; the first write to either gives it its own.
    bool SharesPixelsWith(const TBitmap& other) const { return bits_ && bits_ == other.bits_; }

    // Raw storage, for the codec and the canvas. The mutable overload counts
    // as a change of content (it takes a new stamp) but does not mark rows.
    uint8_t* Bits();
    const uint8_t* Bits() const;
    // The raw storage for a writer that replaces every byte, row padding
    // included: until then its bytes are unspecified.
    uint8_t* BitsForOverwrite();

    // A pixel buffer: shared between bitmaps until one of them writes.
    using Store = std::vector<uint8_t, detail::PixelAllocator<uint8_t>>;

private:
    friend struct BitmapInternals;

    void Reallocate(int32_t w, int32_t h, TPixelFormat f, bool keep);
    // Runs a raster operation whose work was put off (see TCanvas::CopyRect).
    void Settle() const;
    // Makes the pixel buffer this bitmap's own; `keep` copies the shared pixels.
    void Unshare(bool keep);
    // Gives a bitmap that holds only new pixels its buffer.
    void Materialize() const;

    int32_t width_ = 0;
    int32_t height_ = 0;
    TPixelFormat format_ = pfDevice;
    size_t stride_ = 0;
    // Null while every byte is `blank_` (a new bitmap nothing has used yet).
    mutable std::shared_ptr<Store> bits_;
    uint8_t blank_ = 0xFF;
    TPalette palette_;
    bool alpha_ = false;
    std::unique_ptr<TCanvas> canvas_;
    TRect dirty_{};
    uint64_t modified_ = 0;
    uint64_t stamp_ = 0;
    mutable std::unique_ptr<PendingErase> pending_;
};

struct TBrush {
    TColor Color = clWhite;
};

// Drawing surface of one bitmap.
//
// CopyRect(dest, src, srcRect) combines byte-wise on blue, green and red under
// CopyMode. Palette sources are looked up first; a palette destination takes the
// nearest entry of the result. When the rectangles differ in size the copy
// stretches nearest-neighbour (see StretchMap). Only destination pixels inside
// the destination bitmap whose source pixel lies inside the source bitmap are
// written; nothing outside either bitmap is ever read or written. Rectangles
// with negative width or height mirror, as the old interface did: a rectangle
// (10,0,5,1) covers columns 5..9. When exactly one of the two rectangles is
// inverted along an axis, the result along that axis is the mirror image of
// the plain copy; when both are, the copy is plain. All
// coordinate arithmetic is 64-bit, so any int32 rectangle is safe. A copy
// within one bitmap reads the source as it was before the copy.
// The fourth (pad) byte of a 32-bit destination pixel is left unchanged.
// An SRCERASE copy onto a 24- or 32-bit bitmap followed by an SRCINVERT copy
// onto the same destination pixels (the masked copy) runs as one pass over
// the destination with the same result; anything else that reads or writes
// the destination in between runs the first copy on its own first.
// FillRect fills with Brush.Color whatever the CopyMode; a rectangle with
// negative extents fills nothing.
class TCanvas {
public:
    explicit TCanvas(TBitmap* owner) : owner_(owner) {}

    TCopyMode CopyMode = SRCCOPY;
    TBrush Brush;

    TBitmap* GetBitmap() const { return owner_; }

    void CopyRect(const TRect& dest, TCanvas* src, const TRect& source);
    void Draw(int32_t x, int32_t y, TBitmap* graphic);
    void StretchDraw(const TRect& dest, TBitmap* graphic);
    void FillRect(const TRect& r);

    TColor GetPixel(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, TColor c);

    TRect ClipRect() const;

private:
    TBitmap* owner_;
};

// The 1-D nearest-neighbour map used for stretching along one axis: for each of
// `dstLen` destination positions, the source offset (0..srcLen-1) it takes.
// Destination pixel i takes source floor((2*i + 1) * srcLen / (2 * dstLen)),
// the source pixel under the destination pixel's midpoint. Equal lengths give
// the identity. Empty when either length is not positive; throws
// EInvalidGraphic when dstLen exceeds kMaxBitmapPixels.
std::vector<int32_t> StretchMap(int32_t srcLen, int32_t dstLen);

// Which processor-specific row loops rectangle copies may use: none, up to
// SSSE3, or the best the processor has (the default). The results are the
// same; tests compare them.
enum class TCopyPaths { Portable, Ssse3, Best };
void SetCopyPaths(TCopyPaths paths);

// Told of every rectangle copy that writes pixels, before it runs: the bitmap
// written, the rectangle it writes (clipped), the mode, and whether the copy
// only shares the source's pixels instead of copying them. For measuring what
// a drawing asks of the toolkit; null (the default) tells no one.
using TCopyObserver = void (*)(const TBitmap& dst, const TRect& written, TCopyMode mode, bool shares);
void SetCopyObserver(TCopyObserver observer);

// The index of the palette entry nearest a colour (squared distance over red,
// green and blue; the lowest index wins ties; 0 for an empty palette).
int NearestPaletteIndex(const TPalette& p, TColor c);

class TImage;

class TPicture : public TObject {
public:
    TPicture() = default;
    // Loads a BMP file; on failure throws and keeps the previous picture. An
    // existing bitmap object is kept and takes the file's contents.
    void LoadFromFile(const std::string& path);
    // Throws EInvalidGraphic when there is no picture to save.
    void SaveToFile(const std::string& path) const;
    // The picture's bitmap; creates one when there is none (empty, or at the
    // image control's size for the picture of an image control).
    TBitmap* GetBitmap();
    // The bitmap if there is one; never creates an empty one.
    TBitmap* PeekBitmap() const;
    bool HasGraphic() const { return bitmap_ != nullptr || decode_ != nullptr; }
    // Takes ownership.
    void SetBitmap(std::unique_ptr<TBitmap> b)
    {
        bitmap_ = std::move(b);
        decode_ = nullptr;
    }
    // A picture made on first use: the first call that needs the bitmap runs
    // `decode` (which must not fail) and keeps what it returns.
    void SetBitmapOnFirstUse(std::function<std::unique_ptr<TBitmap>()> decode)
    {
        bitmap_.reset();
        decode_ = std::move(decode);
    }
    // Whether the bitmap is still to be made.
    bool Waiting() const { return decode_ != nullptr; }

private:
    mutable std::unique_ptr<TBitmap> bitmap_;
    mutable std::function<std::unique_ptr<TBitmap>()> decode_;
    TImage* owner_ = nullptr; // the image control this picture belongs to, if any
    friend class TImage;
};

} // namespace vcl
