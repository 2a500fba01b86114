// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "toolkit/Graphics.h"

#include "toolkit/BmpCodec.h"
#include "toolkit/Controls.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vcl {

int BitsPerPixel(TPixelFormat f)
{
    switch (f) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    }
    return 24;
}

TPalette CreatePalette(const TLogPalette& lp)
{
    const size_t n = std::min<size_t>(lp.palNumEntries, 256);
    return TPalette(lp.palPalEntry, lp.palPalEntry + n);
}

namespace {

// Colours travel inside the toolkit as 0x00RRGGBB-ordered words whose bytes, in
// memory order on a little-endian machine, are blue, green, red: the layout of
// a 24-bit row.
constexpr uint32_t PackBgr(uint32_t b, uint32_t g, uint32_t r)
{
    return b | (g << 8) | (r << 16);
}
constexpr uint32_t EntryBgr(const TPaletteEntry& e)
{
    return PackBgr(e.peBlue, e.peGreen, e.peRed);
}
constexpr TColor BgrToColor(uint32_t bgr)
{
    return RGB(uint8_t(bgr >> 16), uint8_t(bgr >> 8), uint8_t(bgr));
}
constexpr uint32_t ColorToBgr(TColor c)
{
    return PackBgr(GetBValue(c), GetGValue(c), GetRValue(c));
}
constexpr uint32_t kWhiteBgr = 0xFFFFFF;

TCopyPaths g_copyPaths = TCopyPaths::Best;

bool IsPaletteFormat(TPixelFormat f)
{
    return f == pf1bit || f == pf4bit || f == pf8bit;
}

int NearestBgr(const TPalette& p, uint32_t bgr)
{
    const int b = int(bgr & 0xFF), g = int((bgr >> 8) & 0xFF), r = int((bgr >> 16) & 0xFF);
    int best = 0;
    int bestD = std::numeric_limits<int>::max();
    for (size_t i = 0; i < p.size(); ++i) {
        const int db = b - p[i].peBlue, dg = g - p[i].peGreen, dr = r - p[i].peRed;
        const int d = db * db + dg * dg + dr * dr;
        if (d < bestD) {
            bestD = d;
            best = int(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

// Nearest-entry look-up with a small direct-mapped cache, for whole rows.
class NearestCache {
public:
    explicit NearestCache(const TPalette& p) : palette_(p), slots_(4096, 0) {}
    uint8_t Find(uint32_t bgr)
    {
        const uint32_t h = (bgr * 2654435761u) >> 20;
        const uint64_t key = uint64_t(bgr) + 1;
        const uint64_t s = slots_[h];
        if ((s >> 8) == key)
            return uint8_t(s);
        const int idx = NearestBgr(palette_, bgr);
        slots_[h] = (key << 8) | uint64_t(idx);
        return uint8_t(idx);
    }

private:
    const TPalette& palette_;
    std::vector<uint64_t> slots_;
};

TPalette GreyRamp(int bpp)
{
    const int n = 1 << bpp;
    TPalette p(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto v = uint8_t(i * 255 / (n - 1));
        p[size_t(i)] = TPaletteEntry{v, v, v, 0};
    }
    return p;
}

// Palette colours by index; indices beyond the palette read as black.
using Lut = std::array<uint32_t, 256>;
Lut MakeLut(const TPalette& p)
{
    Lut lut{};
    for (size_t i = 0; i < p.size() && i < 256; ++i)
        lut[i] = EntryBgr(p[i]);
    return lut;
}

inline uint32_t GetIndex(const uint8_t* row, int64_t x, int bpp)
{
    switch (bpp) {
    case 8:
        return row[x];
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    default:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    }
}

inline void SetIndex(uint8_t* row, int64_t x, int bpp, uint32_t v)
{
    switch (bpp) {
    case 8:
        row[x] = uint8_t(v);
        break;
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(0xF << shift)) | ((v & 0xF) << shift));
        break;
    }
    default: {
        const int shift = 7 - int(x & 7);
        row[x >> 3] = uint8_t((row[x >> 3] & ~(1 << shift)) | ((v & 1) << shift));
        break;
    }
    }
}

inline uint32_t Load3(const uint8_t* p)
{
    return PackBgr(p[0], p[1], p[2]);
}
inline void Store3(uint8_t* p, uint32_t bgr)
{
    p[0] = uint8_t(bgr);
    p[1] = uint8_t(bgr >> 8);
    p[2] = uint8_t(bgr >> 16);
}

// The colour of pixel x of a row in any format.
inline uint32_t ReadBgr(const uint8_t* row, int64_t x, int bpp, const Lut& lut)
{
    switch (bpp) {
    case 24:
        return Load3(row + 3 * x);
    case 32:
        return Load3(row + 4 * x);
    default:
        return lut[GetIndex(row, x, bpp)];
    }
}

size_t RowStride(int32_t w, int bpp)
{
    return ((size_t(w) * size_t(bpp) + 31) / 32) * 4;
}

void CheckSize(int32_t w, int32_t h)
{
    if (w < 0 || h < 0)
        throw EInvalidGraphic("bitmap size " + std::to_string(w) + " x " + std::to_string(h) + " is negative");
    if (w > kMaxBitmapSide || h > kMaxBitmapSide || int64_t(w) * int64_t(h) > kMaxBitmapPixels)
        throw EInvalidGraphic("bitmap size " + std::to_string(w) + " x " + std::to_string(h) + " is too large");
}

size_t CheckedBytes(size_t stride, int32_t h)
{
    size_t total = 0;
    if (__builtin_mul_overflow(stride, size_t(h), &total))
        throw EInvalidGraphic("bitmap allocation overflows");
    return total;
}

// Fills a row of `w` pixels with one colour (palette formats: one index).
void FillPixels(uint8_t* row, int64_t x0, int64_t x1, int bpp, uint32_t bgrOrIndex)
{
    switch (bpp) {
    case 24: {
        if (x1 <= x0)
            break;
        // One pixel, then the filled part copied onto the rest, doubling.
        uint8_t* p = row + 3 * x0;
        const auto n = size_t(3 * (x1 - x0));
        Store3(p, bgrOrIndex);
        for (size_t done = 3; done < n;) {
            const size_t chunk = std::min(done, n - done);
            std::memcpy(p + done, p, chunk);
            done += chunk;
        }
        break;
    }
    case 32:
        for (int64_t x = x0; x < x1; ++x)
            Store3(row + 4 * x, bgrOrIndex);
        break;
    case 8:
        if (x1 > x0)
            std::memset(row + x0, int(bgrOrIndex & 0xFF), size_t(x1 - x0));
        break;
    default:
        for (int64_t x = x0; x < x1; ++x)
            SetIndex(row, x, bpp, bgrOrIndex);
        break;
    }
}

} // namespace

int NearestPaletteIndex(const TPalette& p, TColor c)
{
    return NearestBgr(p, ColorToBgr(c));
}

namespace {
TCopyObserver gCopyObserver = nullptr;
} // namespace

void SetCopyObserver(TCopyObserver observer)
{
    gCopyObserver = observer;
}

void SetCopyPaths(TCopyPaths paths)
{
    g_copyPaths = paths;
}

// ---------------------------------------------------------------------------
// TBitmap

namespace {
// Pixel buffers: new (bytes unspecified), filled with one byte, or a copy.
std::shared_ptr<TBitmap::Store> NewStore(size_t bytes)
{
    return std::make_shared<TBitmap::Store>(bytes);
}

std::shared_ptr<TBitmap::Store> NewStore(size_t bytes, uint8_t fill)
{
    auto store = NewStore(bytes);
    if (bytes > 0) // an empty buffer has no storage to pass on
        std::memset(store->data(), fill, bytes);
    return store;
}

std::shared_ptr<TBitmap::Store> CopyOf(const TBitmap::Store& from)
{
    auto store = NewStore(from.size());
    if (!from.empty())
        std::memcpy(store->data(), from.data(), from.size());
    return store;
}

std::atomic<uint64_t> g_nextStamp{0};
uint64_t NewStamp()
{
    return g_nextStamp.fetch_add(1, std::memory_order_relaxed) + 1;
}
} // namespace

// An operation put off until the bitmap is next used (see the masked copy below).
struct PendingErase {
    virtual ~PendingErase() = default;
};

// The toolkit's own access to a bitmap's storage, below the public accessors.
struct BitmapInternals {
    // The pixels, with any put-off operation run, ready to be written: the
    // buffer is the bitmap's own. Marks nothing; the writer marks what it did.
    static uint8_t* Writable(TBitmap& b)
    {
        b.Settle();
        b.Unshare(true);
        return b.bits_->data();
    }
    // The same for a writer that goes row by row: pixels shared with another
    // bitmap are not copied here but left in `before`, and the writer brings
    // over every row (see CopyRowsAround); null when the buffer is already
    // the bitmap's own.
    static uint8_t* WritableByRows(TBitmap& b, std::shared_ptr<const TBitmap::Store>& before)
    {
        b.Settle();
        if (b.bits_ && b.bits_.use_count() > 1) {
            before = b.bits_;
            b.bits_ = NewStore(before->size());
            return b.bits_->data();
        }
        return Writable(b);
    }
    // The same for a writer that replaces every byte: shared pixels are not
    // copied first.
    static uint8_t* Overwritten(TBitmap& b)
    {
        b.pending_.reset();
        b.Unshare(false);
        return b.bits_->data();
    }
    static const uint8_t* Readable(const TBitmap& b)
    {
        b.Settle();
        b.Materialize();
        return b.bits_->data();
    }
    // Makes `dst` hold `src`'s pixels by sharing its buffer (same size and format).
    static void Share(TBitmap& dst, const TBitmap& src)
    {
        src.Settle();
        dst.pending_.reset();
        dst.bits_ = src.bits_;
        dst.blank_ = src.blank_;
        dst.palette_ = src.palette_;
        dst.MarkDirty(TRect{0, 0, dst.width_, dst.height_});
        dst.stamp_ = src.stamp_;
    }
    static std::shared_ptr<const TBitmap::Store> Buffer(const TBitmap& b)
    {
        b.Settle();
        b.Materialize();
        return b.bits_;
    }
    static std::unique_ptr<PendingErase>& Pending(const TBitmap& b) { return b.pending_; }
    static void Settle(const TBitmap& b) { b.Settle(); }
};

TBitmap::TBitmap() : stamp_(NewStamp()) {}

TBitmap::TBitmap(int32_t width, int32_t height, TPixelFormat format) : format_(format), stamp_(NewStamp())
{
    if (IsPaletteFormat(format))
        palette_ = GreyRamp(BitsPerPixel(format));
    Reallocate(width, height, format, false);
}

TBitmap::~TBitmap() = default;

void TBitmap::Materialize() const
{
    if (!bits_)
        bits_ = NewStore(stride_ * size_t(height_), blank_);
}

void TBitmap::Unshare(bool keep)
{
    if (!bits_) {
        if (keep)
            Materialize();
        else
            bits_ = NewStore(stride_ * size_t(height_));
        return;
    }
    if (bits_.use_count() <= 1)
        return;
    bits_ = keep ? CopyOf(*bits_) : NewStore(bits_->size());
}

uint8_t* TBitmap::Bits()
{
    uint8_t* p = BitmapInternals::Writable(*this);
    stamp_ = NewStamp();
    return p;
}

uint8_t* TBitmap::BitsForOverwrite()
{
    uint8_t* p = BitmapInternals::Overwritten(*this);
    stamp_ = NewStamp();
    return p;
}

const uint8_t* TBitmap::Bits() const
{
    return BitmapInternals::Readable(*this);
}

void TBitmap::SetWidth(int32_t w)
{
    SetSize(w, height_);
}

void TBitmap::SetHeight(int32_t h)
{
    SetSize(width_, h);
}

void TBitmap::SetSize(int32_t w, int32_t h)
{
    if (w == width_ && h == height_)
        return;
    Reallocate(w, h, format_, true);
}

void TBitmap::Reallocate(int32_t w, int32_t h, TPixelFormat f, bool keep)
{
    CheckSize(w, h);
    Settle();
    const int bpp = BitsPerPixel(f);
    const size_t stride = RowStride(w, bpp);
    const size_t bytes = CheckedBytes(stride, h);

    // New pixels are white (the palette entry nearest white).
    uint8_t pattern = 0xFF;
    if (IsPaletteFormat(f)) {
        const auto idx = uint32_t(NearestBgr(palette_, kWhiteBgr));
        pattern = bpp == 8 ? uint8_t(idx) : bpp == 4 ? uint8_t(idx * 0x11) : uint8_t(idx ? 0xFF : 0);
    }

    // A bitmap of nothing but new pixels gets its buffer on first use.
    std::shared_ptr<Store> fresh;
    if (keep && f == format_ && (bits_ || blank_ != pattern)) {
        Materialize();
        fresh = NewStore(bytes, pattern);
        Store& bits = *fresh;
        const int32_t ow = std::min(w, width_), oh = std::min(h, height_);
        for (int32_t y = 0; y < oh; ++y) {
            const uint8_t* from = bits_->data() + size_t(y) * stride_;
            uint8_t* to = bits.data() + size_t(y) * stride;
            if (bpp >= 8) {
                std::memcpy(to, from, size_t(ow) * size_t(bpp / 8));
            } else {
                for (int32_t x = 0; x < ow; ++x)
                    SetIndex(to, x, bpp, GetIndex(from, x, bpp));
            }
        }
    }

    bits_ = std::move(fresh);
    blank_ = pattern;
    width_ = w;
    height_ = h;
    stride_ = stride;
    format_ = f;
    dirty_ = TRect{};
    MarkDirty(TRect{0, 0, width_, height_});
}

void TBitmap::SetPixelFormat(TPixelFormat f)
{
    if (f == format_)
        return;
    alpha_ = false;
    Settle();
    Materialize();
    const int oldBpp = BitsPerPixel(format_);
    const int newBpp = BitsPerPixel(f);
    const Lut lut = MakeLut(palette_);
    if (IsPaletteFormat(f)) {
        const size_t capacity = size_t(1) << newBpp;
        if (palette_.empty())
            palette_ = GreyRamp(newBpp);
        else if (palette_.size() > capacity)
            palette_.resize(capacity);
    }

    const size_t stride = RowStride(width_, newBpp);
    auto fresh = NewStore(CheckedBytes(stride, height_), 0);
    Store& bits = *fresh;
    NearestCache nearest(palette_);
    for (int32_t y = 0; y < height_; ++y) {
        const uint8_t* from = bits_->data() + size_t(y) * stride_;
        uint8_t* to = bits.data() + size_t(y) * stride;
        for (int32_t x = 0; x < width_; ++x) {
            const uint32_t c = ReadBgr(from, x, oldBpp, lut);
            if (newBpp == 24)
                Store3(to + 3 * x, c);
            else if (newBpp == 32)
                Store3(to + 4 * x, c);
            else
                SetIndex(to, x, newBpp, nearest.Find(c));
        }
    }
    bits_ = std::move(fresh);
    stride_ = stride;
    format_ = f;
    MarkDirty(TRect{0, 0, width_, height_});
}

void TBitmap::SetPalette(const TPalette& p)
{
    Settle();
    palette_.assign(p.begin(), p.begin() + std::ptrdiff_t(std::min<size_t>(p.size(), 256)));
    MarkDirty(TRect{0, 0, width_, height_});
}

uint8_t* TBitmap::ScanLine(int32_t y)
{
    if (y < 0 || y >= height_)
        throw EInvalidGraphic("scan line " + std::to_string(y) + " out of range (height " + std::to_string(height_) +
                              ")");
    uint8_t* bits = BitmapInternals::Writable(*this);
    MarkDirty(TRect{0, y, width_, y + 1});
    return bits + size_t(y) * stride_;
}

const uint8_t* TBitmap::ScanLine(int32_t y) const
{
    if (y < 0 || y >= height_)
        throw EInvalidGraphic("scan line " + std::to_string(y) + " out of range (height " + std::to_string(height_) +
                              ")");
    return BitmapInternals::Readable(*this) + size_t(y) * stride_;
}

TCanvas* TBitmap::GetCanvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>(this);
    return canvas_.get();
}

TColor TBitmap::GetPixelColor(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return -1;
    const Lut lut = IsPaletteFormat(format_) ? MakeLut(palette_) : Lut{};
    return BgrToColor(ReadBgr(BitmapInternals::Readable(*this) + size_t(y) * stride_, x, BitsPerPixel(format_), lut));
}

void TBitmap::SetPixelColor(int32_t x, int32_t y, TColor c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    uint8_t* row = BitmapInternals::Writable(*this) + size_t(y) * stride_;
    const int bpp = BitsPerPixel(format_);
    const uint32_t bgr = ColorToBgr(c);
    FillPixels(row, x, x + 1, bpp, IsPaletteFormat(format_) ? uint32_t(NearestBgr(palette_, bgr)) : bgr);
    if (alpha_)
        row[4 * size_t(x) + 3] = 0xFF; // a painted pixel is opaque
    MarkDirty(TRect{x, y, x + 1, y + 1});
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other == this)
        return;
    // The pixels are shared until one of the two is written.
    other.Settle();
    pending_.reset();
    width_ = other.width_;
    height_ = other.height_;
    format_ = other.format_;
    stride_ = other.stride_;
    bits_ = other.bits_;
    blank_ = other.blank_;
    palette_ = other.palette_;
    alpha_ = other.alpha_;
    dirty_ = TRect{};
    MarkDirty(TRect{0, 0, width_, height_});
    stamp_ = other.stamp_;
}

void TBitmap::LoadFromFile(const std::string& path)
{
    TBitmap loaded;
    ReadBmpFile(path, loaded);
    Assign(loaded);
}

void TBitmap::SaveToFile(const std::string& path) const
{
    WriteBmpFile(path, *this);
}

TRect TBitmap::TakeDirtyRect()
{
    const TRect r = dirty_;
    dirty_ = TRect{};
    return r;
}

void TBitmap::MarkDirty(const TRect& r)
{
    ++modified_;
    stamp_ = NewStamp();
    const TRect c = IntersectRect(r, TRect{0, 0, width_, height_});
    if (!c.IsEmpty())
        dirty_ = UnionRect(dirty_, c);
}

// ---------------------------------------------------------------------------
// Stretch maps

namespace {

// One axis of a copy after clipping: destination positions dstFirst,
// dstFirst+1, ... take source positions src[0], src[1], ...
struct AxisMap {
    int64_t dstFirst = 0;
    std::vector<int32_t> src;
    bool contiguous = false; // src[k] == src[0] + k
};

// The run of destination positions from `a` on, taking source offsets
// `offsets` from `slo`, whose source lies inside [0, srcLimit); false when
// none does.
bool KeepInsideSource(const std::vector<int64_t>& offsets, int64_t a, int64_t slo, int32_t srcLimit, AxisMap& out)
{
    const size_t count = offsets.size();
    std::vector<int32_t> src(count);
    int64_t first = -1;
    int64_t last = -1;
    for (size_t k = 0; k < count; ++k) {
        const int64_t sx = slo + offsets[k];
        const bool valid = sx >= 0 && sx < srcLimit;
        if (valid) {
            if (first < 0)
                first = int64_t(k);
            last = int64_t(k);
        }
        src[k] = valid ? int32_t(sx) : -1;
    }
    if (first < 0)
        return false;
    // The map is monotonic, so the valid positions form one run.
    out.dstFirst = a + first;
    out.src.assign(src.begin() + first, src.begin() + last + 1);
    out.contiguous = true;
    for (size_t k = 1; k < out.src.size(); ++k) {
        if (out.src[k] != out.src[k - 1] + 1) {
            out.contiguous = false;
            break;
        }
    }
    return true;
}

// Maps destination extent [dlo, dlo+dlen) onto source extent [slo, slo+slen)
// (both lengths positive, up to 2^32), keeps the destination positions inside
// [0, dstLimit) whose source lies inside [0, srcLimit). Destination offset i
// takes source offset floor((2i+1) * slen / (2 dlen)). Mirrored, the result is
// the mirror image: destination offset dlen-1-i takes that source offset.
bool BuildAxis(int64_t dlo, int64_t dlen, int64_t slo, int64_t slen, bool mirror, int32_t dstLimit, int32_t srcLimit,
               AxisMap& out)
{
    const int64_t a = std::max<int64_t>(dlo, 0);
    const int64_t b = std::min<int64_t>(dlo + dlen, dstLimit);
    if (a >= b || srcLimit <= 0)
        return false;
    const auto count = size_t(b - a);

    // Offsets i0, i0+1, ... in ascending order; mirrored, they belong to the
    // destination positions b-1, b-2, ...
    const int64_t i0 = mirror ? dlo + dlen - b : a - dlo;
    // The numerator advances by 2*slen over a denominator of 2*dlen: keep
    // quotient and remainder and step them, so only the first division is wide.
    const auto den = uint64_t(2 * dlen);
    const unsigned __int128 num0 = (unsigned __int128)(2 * uint64_t(i0) + 1) * uint64_t(slen);
    uint64_t q = uint64_t(num0 / den);
    uint64_t r = uint64_t(num0 % den);
    const uint64_t stepQ = uint64_t(2 * slen) / den;
    const uint64_t stepR = uint64_t(2 * slen) % den;
    const bool identity = dlen == slen;

    if (identity && !mirror && slo + i0 >= 0 && slo + i0 + int64_t(count) <= srcLimit) {
        // Unstretched and wholly inside the source: offsets i0, i0+1, ...
        out.dstFirst = a;
        out.src.resize(count);
        for (size_t k = 0; k < count; ++k)
            out.src[k] = int32_t(slo + i0 + int64_t(k));
        out.contiguous = true;
        return true;
    }
    std::vector<int64_t> offsets(count);
    for (size_t k = 0; k < count; ++k) {
        offsets[k] = identity ? i0 + int64_t(k) : int64_t(q);
        q += stepQ;
        r += stepR;
        if (r >= den) {
            r -= den;
            ++q;
        }
    }
    if (mirror)
        std::reverse(offsets.begin(), offsets.end());
    return KeepInsideSource(offsets, a, slo, srcLimit, out);
}

} // namespace

std::vector<int32_t> StretchMap(int32_t srcLen, int32_t dstLen)
{
    if (srcLen <= 0 || dstLen <= 0)
        return {};
    if (dstLen > kMaxBitmapPixels)
        throw EInvalidGraphic("stretch map too long");
    AxisMap m;
    BuildAxis(0, dstLen, 0, srcLen, false, dstLen, srcLen, m);
    return m.src;
}

// ---------------------------------------------------------------------------
// Raster operations

namespace {

enum class Rop { Copy, Erase, Invert, Paint };

template <Rop op, typename T> inline T Apply(T s, T d)
{
    if constexpr (op == Rop::Copy)
        return s;
    else if constexpr (op == Rop::Erase)
        return T(s & ~d);
    else if constexpr (op == Rop::Invert)
        return T(s ^ d);
    else
        return T(s | d);
}

typedef uint8_t V16 __attribute__((vector_size(16)));

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VELMIA_X86_PATHS 1
// Wider paths for the hot copies, chosen at run time by what the processor has.

bool HaveSsse3()
{
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return have && g_copyPaths != TCopyPaths::Portable;
}

bool HaveAvx2()
{
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return have && g_copyPaths == TCopyPaths::Best;
}

template <Rop op> __attribute__((target("avx2"))) inline __m256i Apply256(__m256i s, __m256i d)
{
    if constexpr (op == Rop::Copy)
        return s;
    else if constexpr (op == Rop::Erase)
        return _mm256_andnot_si256(d, s);
    else if constexpr (op == Rop::Invert)
        return _mm256_xor_si256(s, d);
    else
        return _mm256_or_si256(s, d);
}

template <Rop op> __attribute__((target("ssse3"))) inline __m128i Apply128(__m128i s, __m128i d)
{
    if constexpr (op == Rop::Copy)
        return s;
    else if constexpr (op == Rop::Erase)
        return _mm_andnot_si128(d, s);
    else if constexpr (op == Rop::Invert)
        return _mm_xor_si128(s, d);
    else
        return _mm_or_si128(s, d);
}

// d[i] := op(s[i], d[i]); returns how many bytes it did (a multiple of 32).
template <Rop op>
__attribute__((target("avx2"))) size_t CombineBytesAvx2(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n)
{
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        auto* p = reinterpret_cast<__m256i*>(d + i);
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        _mm256_storeu_si256(p, Apply256<op>(a, _mm256_loadu_si256(p)));
    }
    return i;
}

// The masks' case: an 8-bit source whose colours are all grey, with every
// non-black entry among the first 16 (a black-and-white palette). One table
// shuffle gives the grey of each pixel, three more spread it over blue, green
// and red. Indices 16..255 saturate to 0x80 and above, which the shuffle
// reads as 0 (black). Both return how many pixels they did.
template <Rop op>
__attribute__((target("ssse3"))) size_t Grey16To24Ssse3(uint8_t* __restrict d, const uint8_t* __restrict idx,
                                                        const uint8_t* grey16, size_t n)
{
    const __m128i lut = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey16));
    const __m128i bias = _mm_set1_epi8(0x70);
    const __m128i rep0 = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i rep1 = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
    const __m128i rep2 = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(idx + i));
        const __m128i v = _mm_shuffle_epi8(lut, _mm_adds_epu8(x, bias));
        auto* p = reinterpret_cast<__m128i*>(d + 3 * i);
        _mm_storeu_si128(p, Apply128<op>(_mm_shuffle_epi8(v, rep0), _mm_loadu_si128(p)));
        _mm_storeu_si128(p + 1, Apply128<op>(_mm_shuffle_epi8(v, rep1), _mm_loadu_si128(p + 1)));
        _mm_storeu_si128(p + 2, Apply128<op>(_mm_shuffle_epi8(v, rep2), _mm_loadu_si128(p + 2)));
    }
    return i;
}

template <Rop op>
__attribute__((target("avx2"))) size_t Grey16To24Avx2(uint8_t* __restrict d, const uint8_t* __restrict idx,
                                                      const uint8_t* grey16, size_t n)
{
    const __m256i lut = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(grey16)));
    const __m256i bias = _mm256_set1_epi8(0x70);
    // 32 pixels make 96 bytes: pixels 0..10 from the low half, 10..21 across
    // both halves, 21..31 from the high half.
    const __m256i m0 = _mm256_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8,
                                        9, 9, 9, 10, 10);
    const __m256i m1 = _mm256_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15, 0, 0, 0, 1, 1,
                                        1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m256i m2 = _mm256_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12,
                                        13, 13, 13, 14, 14, 14, 15, 15, 15);
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(idx + i));
        const __m256i v = _mm256_shuffle_epi8(lut, _mm256_adds_epu8(x, bias));
        const __m256i lo = _mm256_permute2x128_si256(v, v, 0x00);
        const __m256i hi = _mm256_permute2x128_si256(v, v, 0x11);
        auto* p = reinterpret_cast<__m256i*>(d + 3 * i);
        _mm256_storeu_si256(p, Apply256<op>(_mm256_shuffle_epi8(lo, m0), _mm256_loadu_si256(p)));
        _mm256_storeu_si256(p + 1, Apply256<op>(_mm256_shuffle_epi8(v, m1), _mm256_loadu_si256(p + 1)));
        _mm256_storeu_si256(p + 2, Apply256<op>(_mm256_shuffle_epi8(hi, m2), _mm256_loadu_si256(p + 2)));
    }
    return i;
}
#endif

// d[i] := op(s[i], d[i]) for n bytes.
template <Rop op> void CombineBytes(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n)
{
    if constexpr (op == Rop::Copy) {
        std::memcpy(d, s, n);
    } else {
        size_t i = 0;
#ifdef VELMIA_X86_PATHS
        if (HaveAvx2())
            i = CombineBytesAvx2<op>(d, s, n);
#endif
        for (; i + 32 <= n; i += 32) {
            V16 a0, a1, b0, b1;
            std::memcpy(&a0, s + i, 16);
            std::memcpy(&a1, s + i + 16, 16);
            std::memcpy(&b0, d + i, 16);
            std::memcpy(&b1, d + i + 16, 16);
            b0 = Apply<op>(a0, b0);
            b1 = Apply<op>(a1, b1);
            std::memcpy(d + i, &b0, 16);
            std::memcpy(d + i + 16, &b1, 16);
        }
        for (; i < n; ++i)
            d[i] = Apply<op>(s[i], d[i]);
    }
}

// 32-bit rows: blue, green and red combine; the fourth byte of d stays.
template <Rop op> void CombinePixels32(uint8_t* __restrict d, const uint8_t* __restrict s, size_t npix)
{
    const V16 keep = {0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF};
    size_t i = 0;
    for (; i + 4 <= npix; i += 4) {
        V16 a, b;
        std::memcpy(&a, s + 4 * i, 16);
        std::memcpy(&b, d + 4 * i, 16);
        b = (b & keep) | (Apply<op>(a, b) & ~keep);
        std::memcpy(d + 4 * i, &b, 16);
    }
    for (; i < npix; ++i)
        for (size_t k = 0; k < 3; ++k)
            d[4 * i + k] = Apply<op>(s[4 * i + k], d[4 * i + k]);
}

// 8-bit palette row onto a 24-bit row, unstretched: eight pixels make three
// 64-bit words.
template <Rop op> void Pal8To24(uint8_t* __restrict d, const uint8_t* __restrict idx, const uint64_t* lut, size_t n)
{
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            const uint64_t e0 = lut[idx[i]], e1 = lut[idx[i + 1]], e2 = lut[idx[i + 2]], e3 = lut[idx[i + 3]];
            const uint64_t e4 = lut[idx[i + 4]], e5 = lut[idx[i + 5]], e6 = lut[idx[i + 6]], e7 = lut[idx[i + 7]];
            const uint64_t w[3] = {e0 | (e1 << 24) | (e2 << 48), (e2 >> 16) | (e3 << 8) | (e4 << 32) | (e5 << 56),
                                   (e5 >> 8) | (e6 << 16) | (e7 << 40)};
            uint8_t* p = d + 3 * i;
            uint64_t o[3];
            std::memcpy(o, p, 24);
            o[0] = Apply<op>(w[0], o[0]);
            o[1] = Apply<op>(w[1], o[1]);
            o[2] = Apply<op>(w[2], o[2]);
            std::memcpy(p, o, 24);
        }
    }
    for (; i < n; ++i) {
        const auto c = uint32_t(lut[idx[i]]);
        uint8_t* p = d + 3 * i;
        p[0] = Apply<op>(uint8_t(c), p[0]);
        p[1] = Apply<op>(uint8_t(c >> 8), p[1]);
        p[2] = Apply<op>(uint8_t(c >> 16), p[2]);
    }
}

// Where the source rows come from: the bitmap itself, or a snapshot of its
// rows when source and destination are the same bitmap.
struct SrcView {
    const uint8_t* base = nullptr;
    size_t stride = 0;
    int32_t firstRow = 0;
    int bpp = 24;
    int32_t width = 0;
    Lut lut{};
    const uint8_t* Row(int32_t y) const { return base + size_t(y - firstRow) * stride; }
};

#ifdef VELMIA_X86_PATHS
// The 24-bit case of ExpandRow below onto 3-byte pixels, eight at a time while
// none of them is the row's last; returns how many pixels it did.
__attribute__((target("avx2"))) size_t Expand24Avx2(const uint8_t* row, const int32_t* xs, size_t n, uint8_t* out,
                                                    int32_t last)
{
    const __m256i three = _mm256_set1_epi32(3);
    const __m256i lastv = _mm256_set1_epi32(last);
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6, 8,
                                          9, 10, 12, 13, 14, -1, -1, -1, -1);
    size_t k = 0;
    // Two 16-byte stores per eight pixels reach 4 bytes past them, within
    // the spare byte while 9 pixels remain.
    for (; k + 9 <= n; k += 8) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xs + k));
        if (_mm256_movemask_epi8(_mm256_cmpgt_epi32(lastv, x)) != -1)
            break;
        const __m256i w = _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), _mm256_mullo_epi32(x, three), 1);
        const __m256i p = _mm256_shuffle_epi8(w, pack);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * k), _mm256_castsi256_si128(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * k + 12), _mm256_extracti128_si256(p, 1));
    }
    return k;
}
#endif

// Expands the mapped pixels of a source row into `out`, `outBytes` (3 or 4)
// bytes per pixel, blue, green, red first.
void ExpandRow(const SrcView& v, const uint8_t* __restrict row, const int32_t* __restrict xs, size_t n,
               uint8_t* __restrict out, size_t outBytes)
{
    // Pixels move as 4-byte words: `out` has a spare byte at its end, and a
    // source word is read whole only when the pixel is not the row's last.
    switch (v.bpp) {
    case 24: {
        const int32_t last = v.width - 1;
        size_t k = 0;
#ifdef VELMIA_X86_PATHS
        if (outBytes == 3 && HaveAvx2())
            k = Expand24Avx2(row, xs, n, out, last);
#endif
        for (; k < n; ++k) {
            const uint8_t* p = row + 3 * size_t(xs[k]);
            uint32_t w;
            if (xs[k] < last)
                std::memcpy(&w, p, 4);
            else
                w = Load3(p);
            std::memcpy(out + outBytes * k, &w, 4);
        }
        break;
    }
    case 32:
        for (size_t k = 0; k < n; ++k)
            std::memcpy(out + outBytes * k, row + 4 * size_t(xs[k]), 4);
        break;
    case 8:
        for (size_t k = 0; k < n; ++k)
            std::memcpy(out + outBytes * k, &v.lut[row[xs[k]]], 4);
        break;
    default:
        for (size_t k = 0; k < n; ++k)
            std::memcpy(out + outBytes * k, &v.lut[GetIndex(row, xs[k], v.bpp)], 4);
        break;
    }
}

struct CopyJob {
    TBitmap* dst;
    uint8_t* dbase; // the destination's pixels, ready to be written
    const SrcView* src;
    const AxisMap* x;
    const AxisMap* y;
    // When set, the destination's pixels before the copy, in another buffer:
    // each row the copy writes is brought over just before it is written
    // (see CopyBits).
    const uint8_t* dbefore = nullptr;

    uint8_t* Row(size_t k) const { return dbase + size_t(y->dstFirst + int64_t(k)) * dst->RowBytes(); }
    // Row k of the destination, ready to be combined.
    uint8_t* PrepareRow(size_t k) const
    {
        uint8_t* row = Row(k);
        if (dbefore)
            std::memcpy(row, dbefore + (row - dbase), dst->RowBytes());
        return row;
    }
};

// Whether an 8-bit source's colours are all grey with every non-black entry
// among the first 16 (a black-and-white mask palette); fills `grey16`.
bool GreyTable(const Lut& lut, std::array<uint8_t, 16>& grey16)
{
    for (size_t i = 0; i < 256; ++i) {
        const uint32_t c = lut[i];
        const bool grey = i < 16 ? (c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == (c >> 16) : c == 0;
        if (!grey)
            return false;
        if (i < 16)
            grey16[i] = uint8_t(c);
    }
    return true;
}

// One copy, row by row: Row(k) combines destination row Y.dstFirst + k. The
// rows are independent, so two copies onto the same rows may take turns.
template <Rop op> class RowCopier {
public:
    explicit RowCopier(const CopyJob& job)
        : job_(job), src_(*job.src), X_(*job.x), Y_(*job.y), n_(X_.src.size()), dx0_(size_t(X_.dstFirst)),
          sx0_(size_t(X_.src[0])), dbpp_(BitsPerPixel(job.dst->GetPixelFormat()))
    {
        if (src_.bpp == 8)
            for (size_t i = 0; i < 256; ++i)
                lut64_[i] = src_.lut[i];
#ifdef VELMIA_X86_PATHS
        // Unstretched grey-palette rows (masks) onto 24-bit rows.
        if (X_.contiguous && dbpp_ == 24 && src_.bpp == 8 && HaveSsse3() && GreyTable(src_.lut, grey16_)) {
            kind_ = Kind::Grey;
            avx2_ = HaveAvx2();
            return;
        }
#endif
        // Unstretched rows of matching formats: one byte-wise pass per row.
        if (X_.contiguous &&
            ((dbpp_ == 24 && src_.bpp == 24) || (dbpp_ == 32 && src_.bpp == 32) || (dbpp_ == 24 && src_.bpp == 8))) {
            kind_ = Kind::Matching;
            return;
        }
        // Everything else: expand the source row once (reused while
        // consecutive destination rows take the same source row), then combine.
        kind_ = Kind::Expanded;
        pixBytes_ = dbpp_ == 32 ? 4 : 3;
        sbuf_.assign(pixBytes_ * n_ + 1, 0);
        if (dbpp_ < 24) {
            dbuf_.resize(3 * n_ + 1);
            nearest_ = std::make_unique<NearestCache>(job.dst->GetPalette());
            dlut_ = MakeLut(job.dst->GetPalette());
        }
    }

    void Row(size_t k)
    {
        uint8_t* drow = job_.Row(k);
        const int32_t sy = Y_.src[k];
        switch (kind_) {
        case Kind::Grey: {
#ifdef VELMIA_X86_PATHS
            uint8_t* d = drow + 3 * dx0_;
            const uint8_t* idx = src_.Row(sy) + sx0_;
            const size_t done = avx2_ ? Grey16To24Avx2<op>(d, idx, grey16_.data(), n_)
                                      : Grey16To24Ssse3<op>(d, idx, grey16_.data(), n_);
            Pal8To24<op>(d + 3 * done, idx + done, lut64_.data(), n_ - done);
#endif
            break;
        }
        case Kind::Matching: {
            const uint8_t* srow = src_.Row(sy);
            if (dbpp_ == 24 && src_.bpp == 24)
                CombineBytes<op>(drow + 3 * dx0_, srow + 3 * sx0_, 3 * n_);
            else if (dbpp_ == 32)
                CombinePixels32<op>(drow + 4 * dx0_, srow + 4 * sx0_, n_);
            else
                Pal8To24<op>(drow + 3 * dx0_, srow + sx0_, lut64_.data(), n_);
            break;
        }
        case Kind::Expanded:
            if (sy != expandedRow_) {
                ExpandRow(src_, src_.Row(sy), X_.src.data(), n_, sbuf_.data(), pixBytes_);
                expandedRow_ = sy;
            }
            if (dbpp_ == 24) {
                CombineBytes<op>(drow + 3 * dx0_, sbuf_.data(), 3 * n_);
            } else if (dbpp_ == 32) {
                CombinePixels32<op>(drow + 4 * dx0_, sbuf_.data(), n_);
            } else {
                if constexpr (op != Rop::Copy) {
                    for (size_t i = 0; i < n_; ++i)
                        Store3(dbuf_.data() + 3 * i, dlut_[GetIndex(drow, int64_t(dx0_ + i), dbpp_)]);
                }
                CombineBytes<op>(dbuf_.data(), sbuf_.data(), 3 * n_);
                for (size_t i = 0; i < n_; ++i)
                    SetIndex(drow, int64_t(dx0_ + i), dbpp_, nearest_->Find(Load3(dbuf_.data() + 3 * i)));
            }
            break;
        }
    }

private:
    enum class Kind { Grey, Matching, Expanded };
    const CopyJob& job_;
    const SrcView& src_;
    const AxisMap& X_;
    const AxisMap& Y_;
    const size_t n_, dx0_, sx0_;
    const int dbpp_;
    Kind kind_ = Kind::Expanded;
    bool avx2_ = false;
    std::array<uint64_t, 256> lut64_{};
    std::array<uint8_t, 16> grey16_{};
    size_t pixBytes_ = 3;
    std::vector<uint8_t> sbuf_, dbuf_;
    std::unique_ptr<NearestCache> nearest_;
    Lut dlut_{};
    int32_t expandedRow_ = -1;
};

template <Rop op> void RunCopy(const CopyJob& job)
{
    RowCopier<op> copier(job);
    for (size_t k = 0; k < job.y->src.size(); ++k) {
        job.PrepareRow(k);
        copier.Row(k);
    }
}

void RunOp(Rop op, const CopyJob& job)
{
    switch (op) {
    case Rop::Copy:
        RunCopy<Rop::Copy>(job);
        break;
    case Rop::Erase:
        RunCopy<Rop::Erase>(job);
        break;
    case Rop::Invert:
        RunCopy<Rop::Invert>(job);
        break;
    case Rop::Paint:
        RunCopy<Rop::Paint>(job);
        break;
    }
}

// ---- The masked copy in one pass ------------------------------------------
//
// An erase copied onto a 24- or 32-bit bitmap waits (with a share of its
// source's pixels as they were) until the next access to the destination. If
// that is an invert onto exactly the same destination pixels, both run in one
// pass where a loop for the formats exists: d := p XOR (m AND NOT d), which is
// byte for byte what the two passes give. Any other access runs the erase on
// its own first.

} // namespace

namespace {

struct WaitingErase final : PendingErase {
    std::shared_ptr<const TBitmap::Store> pixels; // the source's pixels when the erase was asked for
    SrcView view;
    AxisMap x, y;
};

#ifdef VELMIA_X86_PATHS
// The two halves of a masked copy in one loop come to d := p XOR (m AND NOT
// d). Masks are mostly wholly black (opaque: d := p, the old d is not read)
// or wholly white over a white picture (clear: d stays as it is, nothing is
// written); only the other stretches need all three.
__attribute__((target("avx2"))) inline bool AllOnes256(__m256i v)
{
    return _mm256_testc_si256(v, _mm256_set1_epi8(-1)) != 0;
}

// A black-and-white 8-bit mask row (see Grey16To24Avx2) and a 24-bit picture
// row onto a 24-bit row; returns how many pixels it did.
__attribute__((target("avx2"))) size_t FuseGrey16Avx2(uint8_t* __restrict d, const uint8_t* __restrict idx,
                                                      const uint8_t* __restrict p, const uint8_t* grey16, size_t n)
{
    const __m256i lut = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(grey16)));
    const __m256i bias = _mm256_set1_epi8(0x70);
    const __m256i m0 = _mm256_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8,
                                        9, 9, 9, 10, 10);
    const __m256i m1 = _mm256_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15, 0, 0, 0, 1, 1,
                                        1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m256i m2 = _mm256_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12,
                                        13, 13, 13, 14, 14, 14, 15, 15, 15);
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(idx + i));
        const __m256i v = _mm256_shuffle_epi8(lut, _mm256_adds_epu8(x, bias));
        auto* q = reinterpret_cast<__m256i*>(d + 3 * i);
        const auto* pp = reinterpret_cast<const __m256i*>(p + 3 * i);
        const __m256i p0 = _mm256_loadu_si256(pp), p1 = _mm256_loadu_si256(pp + 1), p2 = _mm256_loadu_si256(pp + 2);
        if (_mm256_testz_si256(v, v)) { // opaque
            _mm256_storeu_si256(q, p0);
            _mm256_storeu_si256(q + 1, p1);
            _mm256_storeu_si256(q + 2, p2);
            continue;
        }
        if (AllOnes256(v) && AllOnes256(_mm256_and_si256(p0, _mm256_and_si256(p1, p2))))
            continue; // clear
        const __m256i lo = _mm256_permute2x128_si256(v, v, 0x00);
        const __m256i hi = _mm256_permute2x128_si256(v, v, 0x11);
        _mm256_storeu_si256(
            q, _mm256_xor_si256(p0, _mm256_andnot_si256(_mm256_loadu_si256(q), _mm256_shuffle_epi8(lo, m0))));
        _mm256_storeu_si256(
            q + 1, _mm256_xor_si256(p1, _mm256_andnot_si256(_mm256_loadu_si256(q + 1), _mm256_shuffle_epi8(v, m1))));
        _mm256_storeu_si256(
            q + 2, _mm256_xor_si256(p2, _mm256_andnot_si256(_mm256_loadu_si256(q + 2), _mm256_shuffle_epi8(hi, m2))));
    }
    return i;
}

// The same with a 24-bit mask row (a split picture); returns how many bytes
// it did.
__attribute__((target("avx2"))) size_t Fuse24Avx2(uint8_t* __restrict d, const uint8_t* __restrict m,
                                                  const uint8_t* __restrict p, size_t n)
{
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i mv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + i));
        const __m256i pv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        auto* q = reinterpret_cast<__m256i*>(d + i);
        if (_mm256_testz_si256(mv, mv))
            _mm256_storeu_si256(q, pv);                 // opaque
        else if (!AllOnes256(_mm256_and_si256(mv, pv))) // not clear
            _mm256_storeu_si256(q, _mm256_xor_si256(pv, _mm256_andnot_si256(_mm256_loadu_si256(q), mv)));
    }
    return i;
}
#endif

// Both halves of a masked copy, row by row: each destination row takes the
// erase and then the invert while it is at hand.
void RunFused(const CopyJob& job, const WaitingErase& erase)
{
    const CopyJob eraseJob{job.dst, job.dbase, &erase.view, &erase.x, &erase.y, job.dbefore};
    const size_t rows = job.y->src.size();
#ifdef VELMIA_X86_PATHS
    const AxisMap& X = *job.x;
    const AxisMap& Y = *job.y;
    const size_t n = X.src.size();
    const SrcView& pv = *job.src;
    const SrcView& mv = erase.view;
    if (job.dst->GetPixelFormat() == pf24bit && pv.bpp == 24 && X.contiguous && erase.x.contiguous && HaveAvx2()) {
        const auto mx0 = size_t(erase.x.src[0]), px0 = size_t(X.src[0]), dx0 = size_t(X.dstFirst);
        std::array<uint8_t, 16> grey16{};
        if (mv.bpp == 8 && GreyTable(mv.lut, grey16)) {
            std::array<uint64_t, 256> lut64{};
            for (size_t i = 0; i < 256; ++i)
                lut64[i] = mv.lut[i];
            for (size_t k = 0; k < rows; ++k) {
                uint8_t* d = job.PrepareRow(k) + 3 * dx0;
                const uint8_t* m = mv.Row(erase.y.src[k]) + mx0;
                const uint8_t* p = pv.Row(Y.src[k]) + 3 * px0;
                const size_t done = FuseGrey16Avx2(d, m, p, grey16.data(), n);
                // The last pixels: erase, then invert, as the two copies would.
                Pal8To24<Rop::Erase>(d + 3 * done, m + done, lut64.data(), n - done);
                CombineBytes<Rop::Invert>(d + 3 * done, p + 3 * done, 3 * (n - done));
            }
            return;
        }
        if (mv.bpp == 24) {
            for (size_t k = 0; k < rows; ++k) {
                uint8_t* d = job.PrepareRow(k) + 3 * dx0;
                const uint8_t* m = mv.Row(erase.y.src[k]) + 3 * mx0;
                const uint8_t* p = pv.Row(Y.src[k]) + 3 * px0;
                const size_t done = Fuse24Avx2(d, m, p, 3 * n);
                CombineBytes<Rop::Erase>(d + done, m + done, 3 * n - done);
                CombineBytes<Rop::Invert>(d + done, p + done, 3 * n - done);
            }
            return;
        }
    }
#endif
    RowCopier<Rop::Erase> eraser(eraseJob);
    RowCopier<Rop::Invert> inverter(job);
    for (size_t k = 0; k < rows; ++k) {
        job.PrepareRow(k);
        eraser.Row(k);
        inverter.Row(k);
    }
}

struct Rect64 {
    int64_t Left, Top, Right, Bottom;
};

Rect64 Widen(const TRect& r)
{
    return Rect64{r.Left, r.Top, r.Right, r.Bottom};
}

Rop RopOf(TCopyMode mode)
{
    switch (mode) {
    case SRCCOPY:
        return Rop::Copy;
    case SRCERASE:
        return Rop::Erase;
    case SRCINVERT:
        return Rop::Invert;
    case SRCPAINT:
        return Rop::Paint;
    default:
        throw EInvalidGraphic("unsupported copy mode " + std::to_string(mode));
    }
}

// The clipped maps of a copy; false when it writes nothing.
bool MapCopy(const TBitmap& dst, const Rect64& d, const TBitmap& src, const Rect64& s, AxisMap& X, AxisMap& Y)
{
    if (dst.Empty() || src.Empty())
        return false;
    const int64_t dw = d.Right - d.Left, dh = d.Bottom - d.Top;
    const int64_t sw = s.Right - s.Left, sh = s.Bottom - s.Top;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0)
        return false;
    // A negative extent on one side of an axis mirrors that axis; on both
    // sides the two mirrors cancel. Source offsets count from the left (top)
    // of the source rectangle after normalising.
    const bool mirrorX = (dw < 0) != (sw < 0), mirrorY = (dh < 0) != (sh < 0);
    return BuildAxis(std::min(d.Left, d.Right), std::abs(dw), std::min(s.Left, s.Right), std::abs(sw), mirrorX,
                     dst.GetWidth(), src.GetWidth(), X) &&
           BuildAxis(std::min(d.Top, d.Bottom), std::abs(dh), std::min(s.Top, s.Bottom), std::abs(sh), mirrorY,
                     dst.GetHeight(), src.GetHeight(), Y);
}

SrcView ViewOf(const TBitmap& src)
{
    SrcView view;
    view.bpp = BitsPerPixel(src.GetPixelFormat());
    view.width = src.GetWidth();
    view.stride = src.RowBytes();
    if (view.bpp < 24)
        view.lut = MakeLut(src.GetPalette());
    return view;
}

// A copy of one whole 24-bit bitmap onto another of the same size, whose
// result is the source's buffer byte for byte (row padding included).
bool CopiesWholeBuffer(const TBitmap& dst, const Rect64& d, const TBitmap& src, const Rect64& s)
{
    const int64_t w = src.GetWidth(), h = src.GetHeight();
    if (&dst == &src || src.Empty() || src.GetPixelFormat() != pf24bit || dst.GetPixelFormat() != pf24bit ||
        dst.GetWidth() != w || dst.GetHeight() != h)
        return false;
    if (d.Left != 0 || d.Top != 0 || d.Right != w || d.Bottom != h || s.Left != 0 || s.Top != 0 || s.Right != w ||
        s.Bottom != h)
        return false;
    if (src.SharesPixelsWith(dst))
        return true;
    // A copy leaves the destination's row padding: share only when it is the same.
    const size_t used = 3 * size_t(w), stride = src.RowBytes();
    if (used == stride)
        return true;
    const uint8_t* a = src.Bits();
    const uint8_t* b = static_cast<const TBitmap&>(dst).Bits();
    for (size_t y = 0; y < size_t(h); ++y)
        if (std::memcmp(a + y * stride + used, b + y * stride + used, stride - used) != 0)
            return false;
    return true;
}

// A copy that writes into a buffer of its own while the pixels before it stay
// in a shared one (job.dbefore) brings over the rows it does not write here,
// and each row it writes just before writing it.
void CopyRowsAround(const CopyJob& job)
{
    if (!job.dbefore)
        return;
    const size_t stride = job.dst->RowBytes();
    const auto first = size_t(job.y->dstFirst), last = first + job.y->src.size();
    std::memcpy(job.dbase, job.dbefore, first * stride);
    std::memcpy(job.dbase + last * stride, job.dbefore + last * stride, (size_t(job.dst->GetHeight()) - last) * stride);
}

// The second half of a masked copy: the erase that waits for it and this
// invert run over the destination in one pass.
void RunWithWaitingErase(TBitmap& dst, const TBitmap& src, const AxisMap& X, const AxisMap& Y,
                         std::unique_ptr<PendingErase>& pending)
{
    const std::unique_ptr<PendingErase> erase = std::move(pending);
    const auto* waiting = static_cast<const WaitingErase*>(erase.get());
    std::shared_ptr<const TBitmap::Store> before;
    uint8_t* dbase = BitmapInternals::WritableByRows(dst, before);
    SrcView view = ViewOf(src);
    view.base = BitmapInternals::Readable(src);
    const CopyJob job{&dst, dbase, &view, &X, &Y, before ? before->data() : nullptr};
    CopyRowsAround(job);
    RunFused(job, *waiting);
}

// The first half of a masked copy: the erase waits for its invert.
void HoldErase(TBitmap& dst, const TBitmap& src, AxisMap& X, AxisMap& Y, std::unique_ptr<PendingErase>& pending)
{
    BitmapInternals::Settle(dst);
    auto erase = std::make_unique<WaitingErase>();
    erase->pixels = BitmapInternals::Buffer(src);
    erase->view = ViewOf(src);
    erase->view.base = erase->pixels->data();
    erase->x = std::move(X);
    erase->y = std::move(Y);
    pending = std::move(erase);
}

void CopyBits(TBitmap& dst, const Rect64& d, const TBitmap& src, const Rect64& s, TCopyMode mode)
{
    const Rop op = RopOf(mode);
    if (op == Rop::Copy && CopiesWholeBuffer(dst, d, src, s)) {
        if (gCopyObserver)
            gCopyObserver(dst, TRect{0, 0, dst.GetWidth(), dst.GetHeight()}, mode, true);
        BitmapInternals::Share(dst, src);
        return;
    }
    AxisMap X, Y;
    if (!MapCopy(dst, d, src, s, X, Y))
        return;
    const TRect written{int32_t(X.dstFirst), int32_t(Y.dstFirst), int32_t(X.dstFirst + int64_t(X.src.size())),
                        int32_t(Y.dstFirst + int64_t(Y.src.size()))};
    if (gCopyObserver)
        gCopyObserver(dst, written, mode, false);
    const int dbpp = BitsPerPixel(dst.GetPixelFormat());
    std::unique_ptr<PendingErase>& pending = BitmapInternals::Pending(dst);
    const auto* waiting = static_cast<const WaitingErase*>(pending.get());

    // The second half of a masked copy.
    if (op == Rop::Invert && waiting && &src != &dst && waiting->x.dstFirst == X.dstFirst &&
        waiting->x.src.size() == X.src.size() && waiting->y.dstFirst == Y.dstFirst &&
        waiting->y.src.size() == Y.src.size()) {
        RunWithWaitingErase(dst, src, X, Y, pending);
        dst.MarkDirty(written);
        return;
    }
    // The first half: wait for the second.
    if (op == Rop::Erase && (dbpp == 24 || dbpp == 32) && &src != &dst) {
        HoldErase(dst, src, X, Y, pending);
        dst.MarkDirty(written);
        return;
    }

    // A copy that replaces every byte of a 24-bit bitmap need not first copy
    // pixels it shares with another.
    const bool everyByte = op == Rop::Copy && &src != &dst && dbpp == 24 &&
                           dst.RowBytes() == 3 * size_t(dst.GetWidth()) &&
                           written == TRect{0, 0, dst.GetWidth(), dst.GetHeight()};
    std::shared_ptr<const TBitmap::Store> before;
    uint8_t* dbase = everyByte      ? BitmapInternals::Overwritten(dst)
                     : &src == &dst ? BitmapInternals::Writable(dst)
                                    : BitmapInternals::WritableByRows(dst, before);
    SrcView view = ViewOf(src);
    std::vector<uint8_t> snapshot;
    if (&src == &dst) {
        const auto [lo, hi] = std::minmax_element(Y.src.begin(), Y.src.end());
        view.firstRow = *lo;
        snapshot.assign(dbase + size_t(*lo) * view.stride, dbase + size_t(*hi + 1) * view.stride);
        view.base = snapshot.data();
    } else {
        view.base = BitmapInternals::Readable(src);
    }
    const CopyJob job{&dst, dbase, &view, &X, &Y, before ? before->data() : nullptr};
    CopyRowsAround(job);
    RunOp(op, job);
    dst.MarkDirty(written);
}

} // namespace

void TBitmap::Settle() const
{
    if (!pending_)
        return;
    const std::unique_ptr<PendingErase> pending = std::move(pending_);
    const auto& erase = static_cast<const WaitingErase&>(*pending);
    auto& self = const_cast<TBitmap&>(*this);
    self.Unshare(true);
    RunCopy<Rop::Erase>(CopyJob{&self, self.bits_->data(), &erase.view, &erase.x, &erase.y, nullptr});
}

// ---------------------------------------------------------------------------
// TCanvas

void TCanvas::CopyRect(const TRect& dest, TCanvas* src, const TRect& source)
{
    if (!src)
        return;
    CopyBits(*owner_, Widen(dest), *src->GetBitmap(), Widen(source), CopyMode);
}

void TCanvas::Draw(int32_t x, int32_t y, TBitmap* graphic)
{
    if (!graphic)
        return;
    const int64_t w = graphic->GetWidth(), h = graphic->GetHeight();
    CopyBits(*owner_, Rect64{x, y, x + w, y + h}, *graphic, Rect64{0, 0, w, h}, CopyMode);
}

void TCanvas::StretchDraw(const TRect& dest, TBitmap* graphic)
{
    if (!graphic)
        return;
    CopyBits(*owner_, Widen(dest), *graphic, Rect64{0, 0, graphic->GetWidth(), graphic->GetHeight()}, CopyMode);
}

void TCanvas::FillRect(const TRect& r)
{
    const TRect c = IntersectRect(r, ClipRect());
    if (c.IsEmpty())
        return;
    TBitmap& b = *owner_;
    const int bpp = BitsPerPixel(b.GetPixelFormat());
    const uint32_t bgr = ColorToBgr(Brush.Color);
    const uint32_t value = bpp < 24 ? uint32_t(NearestBgr(b.GetPalette(), bgr)) : bgr;
    uint8_t* bits = BitmapInternals::Writable(b);
    uint8_t* first = bits + size_t(c.Top) * b.RowBytes();
    FillPixels(first, c.Left, c.Right, bpp, value);
    // Rows of whole bytes with nothing of their own to keep (the fourth byte
    // of 32-bit pixels is) take a copy of the first.
    const size_t from = size_t(c.Left) * size_t(bpp) / 8, to = size_t(c.Right) * size_t(bpp) / 8;
    for (int32_t y = c.Top + 1; y < c.Bottom; ++y) {
        uint8_t* row = bits + size_t(y) * b.RowBytes();
        if (bpp == 8 || bpp == 24)
            std::memcpy(row + from, first + from, to - from);
        else
            FillPixels(row, c.Left, c.Right, bpp, value);
    }
    b.MarkDirty(c);
}

TColor TCanvas::GetPixel(int32_t x, int32_t y) const
{
    return owner_->GetPixelColor(x, y);
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor c)
{
    owner_->SetPixelColor(x, y, c);
}

TRect TCanvas::ClipRect() const
{
    return TRect{0, 0, owner_->GetWidth(), owner_->GetHeight()};
}

// ---------------------------------------------------------------------------
// TPicture

TBitmap* TPicture::PeekBitmap() const
{
    if (decode_) {
        const auto decode = std::move(decode_);
        decode_ = nullptr;
        bitmap_ = decode();
    }
    return bitmap_.get();
}

void TPicture::LoadFromFile(const std::string& path)
{
    TBitmap loaded;
    ReadBmpFile(path, loaded);
    PeekBitmap();
    if (!bitmap_)
        bitmap_ = std::make_unique<TBitmap>();
    bitmap_->Assign(loaded);
}

void TPicture::SaveToFile(const std::string& path) const
{
    if (!PeekBitmap())
        throw EInvalidGraphic(path + ": there is no picture to save");
    WriteBmpFile(path, *bitmap_);
}

TBitmap* TPicture::GetBitmap()
{
    if (!PeekBitmap()) {
        auto b = std::make_unique<TBitmap>();
        if (owner_)
            b->SetSize(std::max(owner_->GetWidth(), 0), std::max(owner_->GetHeight(), 0));
        bitmap_ = std::move(b);
    }
    return bitmap_.get();
}

} // namespace vcl
