// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Windows BMP reader and writer. See BmpCodec.h for what is accepted.
//
// The reader trusts nothing in the file: every offset and count is checked
// against the bytes actually present before it is used, sizes are checked
// against kMaxBmpPixels before anything is allocated, and the picture is built
// in a private bitmap that replaces the caller's only when decoding finished.
#include "toolkit/BmpCodec.h"

#include "toolkit/Intl.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vcl {

BmpError::BmpError(const std::string& file, const std::string& reason)
    : EInvalidGraphic(file + ": " + reason), file_(file), reason_(reason)
{
}

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiJpeg = 4;
constexpr uint32_t kBiPng = 5;
constexpr uint32_t kBiAlphaBitfields = 6;

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kV4HeaderSize = 108;
constexpr uint32_t kLcsSrgb = 0x73524742; // 'sRGB'

// Largest file ReadBmpFile takes in: the biggest accepted picture at 4 bytes
// per pixel (no row of any depth needs more) plus room for headers and palette.
constexpr int64_t kMaxBmpFileBytes = kMaxBmpPixels * 4 + (1 << 20);

// The first bytes of a file hold everything the headers say: the file header,
// the largest info header, colour masks and a full palette.
constexpr size_t kHeadBytes = 2048;
static_assert(kFileHeaderSize + 124 + 16 + 256 * 4 <= kHeadBytes);

// Pixel densities further apart than this only come from a damaged header.
constexpr int64_t kMaxDensityRatio = 100;

struct Refusal {
    std::string reason;
};

[[noreturn]] void Refuse(std::string reason)
{
    throw Refusal{std::move(reason)};
}

std::string Num(int64_t v)
{
    return std::to_string(v);
}

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
int32_t I32(const uint8_t* p)
{
    return int32_t(U32(p));
}

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x)
{
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = uint8_t(x >> (8 * i));
}

// One colour channel described by a bit mask; scales its value to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0; // largest value of the channel, 0 when absent

    static Channel From(uint32_t m)
    {
        Channel c;
        c.mask = m;
        if (m) {
            c.shift = std::countr_zero(m);
            c.max = m >> c.shift;
        }
        return c;
    }
    bool Contiguous() const { return (max & (max + 1)) == 0; }
    uint8_t Get(uint32_t px) const
    {
        if (!max)
            return 0;
        uint64_t v = (px & mask) >> shift;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

// Everything the headers say, after validation.
struct Layout {
    int32_t width = 0;
    int32_t height = 0; // always positive
    bool topDown = false;
    int bits = 0;
    uint32_t compression = kBiRgb;
    size_t headerSize = 0;
    std::vector<TPaletteEntry> palette;
    Channel red, green, blue, alpha;
    size_t pixelOffset = 0;
    size_t pixelBytes = 0; // bytes from pixelOffset the pixel data may use
    size_t dataEnd = 0;    // bytes of the file the decoder reads, from its start
};

TPixelFormat OutputFormat(const Layout& l)
{
    switch (l.bits) {
    case 1:
        return pf1bit;
    case 2:
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 24:
        return pf24bit;
    case 16:
        return l.alpha.max ? pf32bit : pf24bit;
    default:
        return pf32bit;
    }
}

void CheckMasks(Layout& l)
{
    const Channel* all[] = {&l.red, &l.green, &l.blue, &l.alpha};
    const char* names[] = {N_("red"), N_("green"), N_("blue"), N_("alpha")};
    uint32_t seen = 0;
    for (int i = 0; i < 4; ++i) {
        const Channel& c = *all[i];
        if (!c.mask && i < 3)
            Refuse(Format(_("the %s colour mask is empty"), _(names[i])));
        if (!c.Contiguous())
            Refuse(Format(_("the %s colour mask is not one run of bits"), _(names[i])));
        if (l.bits < 32 && (c.mask >> l.bits) != 0)
            Refuse(Format(_("the %s colour mask does not fit in %s bits"), _(names[i]), Num(l.bits)));
        if (seen & c.mask)
            Refuse(_("the colour masks overlap"));
        seen |= c.mask;
    }
}

// Row length in the file, padded to 4 bytes.
int64_t FileRowBytes(int64_t width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

// When something is missing, a file length beyond the end of the file says
// why: the file was cut short.
struct Truncation {
    uint32_t declaredSize; // the file length the file header gives
    size_t size;           // the file's real length
    [[noreturn]] void operator()(std::string reason) const
    {
        if (declaredSize > size)
            reason = Format(_("file is truncated: its header gives %s bytes, only %s are present"), Num(declaredSize),
                            Num(int64_t(size)));
        Refuse(std::move(reason));
    }
};

// The info header's fields that are checked but not kept as they are.
struct InfoFields {
    int64_t width = 0, height = 0;
    uint32_t planes = 0, imageSize = 0, colorsUsed = 0, colorsImportant = 0;
    int32_t xDensity = 0, yDensity = 0;
};

// The info header at `h`, of l.headerSize bytes (12: the old OS/2 core
// header with 16-bit sides).
InfoFields ReadInfoHeader(const uint8_t* h, Layout& l)
{
    InfoFields f;
    if (l.headerSize == 12) {
        f.width = U16(h + 4);
        f.height = U16(h + 6);
        f.planes = U16(h + 8);
        l.bits = U16(h + 10);
        return f;
    }
    f.width = I32(h + 4);
    f.height = I32(h + 8);
    f.planes = U16(h + 12);
    l.bits = U16(h + 14);
    if (l.headerSize >= 40) {
        l.compression = U32(h + 16);
        f.imageSize = U32(h + 20);
        f.xDensity = I32(h + 24);
        f.yDensity = I32(h + 28);
        f.colorsUsed = U32(h + 32);
        f.colorsImportant = U32(h + 36);
    }
    return f;
}

// The picture's sides and densities; a negative height means top-down rows.
void CheckSize(InfoFields& f, Layout& l)
{
    if (f.planes != 1)
        Refuse(Format(_("number of planes is %s, not 1"), Num(f.planes)));
    if (f.width <= 0)
        Refuse(Format(_("width is %s; it must be positive"), Num(f.width)));
    if (f.height == 0)
        Refuse(_("height is 0"));
    if (f.height < 0) {
        l.topDown = true;
        f.height = -f.height; // int64_t: no overflow even for INT32_MIN
    }
    if (f.width * f.height > kMaxBmpPixels)
        Refuse(Format(_("picture is %s x %s pixels, more than the %s this program reads"), Num(f.width), Num(f.height),
                      Num(kMaxBmpPixels)));
    if (f.width > kMaxBitmapSide || f.height > kMaxBitmapSide)
        Refuse(Format(_("picture is %s x %s pixels; a side may be at most %s"), Num(f.width), Num(f.height),
                      Num(kMaxBitmapSide)));
    l.width = int32_t(f.width);
    l.height = int32_t(f.height);

    if (f.xDensity > 0 && f.yDensity > 0 &&
        (int64_t(f.xDensity) > kMaxDensityRatio * f.yDensity || int64_t(f.yDensity) > kMaxDensityRatio * f.xDensity))
        Refuse(Format(_("pixel densities %s and %s pixels per metre are too far apart to be genuine"), Num(f.xDensity),
                      Num(f.yDensity)));
}

void CheckBitsPerPixel(const Layout& l, bool os2v2)
{
    if (!os2v2 && l.compression == kBiJpeg)
        Refuse(_("embedded JPEG pictures are not supported"));
    if (!os2v2 && l.compression == kBiPng)
        Refuse(_("embedded PNG pictures are not supported"));
    switch (l.bits) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        Refuse(Format(_("unsupported number of bits per pixel: %s"), Num(l.bits)));
    }
}

// The colour masks of a BITFIELDS picture: after a 40-byte info header, in
// the file between it and the palette; in the longer headers, in the header.
// Returns where the headers end.
size_t ReadColourMasks(Layout& l, const uint8_t* h, bool os2v2, uint32_t offBits, const Truncation& missing)
{
    const size_t hs = l.headerSize;
    size_t masksEnd = kFileHeaderSize + hs;
    if (os2v2)
        Refuse(l.compression == kBiBitfields ? _("Huffman-compressed OS/2 pictures are not supported")
                                             : Format(_("unsupported compression %s"), Num(l.compression)));
    if (l.bits != 16 && l.bits != 32)
        Refuse(Format(_("colour masks need 16 or 32 bits per pixel, not %s"), Num(l.bits)));
    const bool withAlpha = l.compression == kBiAlphaBitfields;
    const uint8_t* m = h + 40;
    if (hs == 40) {
        masksEnd += withAlpha ? 16 : 12;
        if (offBits == kFileHeaderSize + hs)
            Refuse(_("the colour masks are missing: the pixel data follows the header directly"));
        if (missing.size < masksEnd)
            missing(_("colour masks are truncated"));
    }
    l.red = Channel::From(U32(m));
    l.green = Channel::From(U32(m + 4));
    l.blue = Channel::From(U32(m + 8));
    if (hs >= 56 || (hs == 40 && withAlpha))
        l.alpha = Channel::From(U32(m + 12));
    CheckMasks(l);
    return masksEnd;
}

// Compression and the colour masks it may bring. Returns where the headers
// end.
size_t ReadCompression(Layout& l, const uint8_t* h, bool os2v2, uint32_t offBits, const Truncation& missing)
{
    switch (l.compression) {
    case kBiRgb:
        if (l.bits == 16) {
            l.red = Channel::From(0x7C00);
            l.green = Channel::From(0x03E0);
            l.blue = Channel::From(0x001F);
        }
        break;
    case kBiRle8:
        if (l.bits != 8)
            Refuse(Format(_("RLE8 compression needs 8 bits per pixel, not %s"), Num(l.bits)));
        break;
    case kBiRle4:
        if (l.bits != 4)
            Refuse(Format(_("RLE4 compression needs 4 bits per pixel, not %s"), Num(l.bits)));
        break;
    case kBiBitfields:
    case kBiAlphaBitfields:
        return ReadColourMasks(l, h, os2v2, offBits, missing);
    case kBiJpeg: // only OS/2 headers get here, where the value means RLE24
        Refuse(_("RLE24-compressed OS/2 pictures are not supported"));
    default:
        Refuse(Format(_("unsupported compression %s"), Num(l.compression)));
    }
    return kFileHeaderSize + l.headerSize;
}

// The palette of an indexed picture, between the headers and the pixel data;
// its declared sizes are checked for every picture.
void ReadPalette(Layout& l, const uint8_t* d, const InfoFields& f, size_t masksEnd, uint32_t offBits,
                 const Truncation& missing)
{
    const bool core = l.headerSize == 12;
    const size_t size = missing.size;
    const size_t entrySize = core ? 3 : 4;
    const bool indexed = l.bits <= 8;
    const int64_t fullPalette = indexed ? int64_t(1) << l.bits : 0;
    if (f.colorsUsed > 256 && (indexed || f.colorsUsed > uint32_t(size)))
        Refuse(Format(_("palette size %s is too large"), Num(f.colorsUsed)));
    const int64_t declared = f.colorsUsed ? int64_t(f.colorsUsed) : fullPalette;
    if (f.colorsImportant > declared)
        Refuse(Format(_("important colour count %s exceeds the palette's %s entries"), Num(f.colorsImportant),
                      Num(declared)));
    if (!indexed)
        return;
    int64_t entries = std::min(declared, fullPalette);
    const size_t room = (offBits - masksEnd) / entrySize;
    if (core && size_t(entries) > room)
        entries = int64_t(room); // old OS/2 files may carry a shorter palette
    if (entries == 0)
        Refuse(_("the palette is missing"));
    const size_t paletteEnd = masksEnd + size_t(entries) * entrySize;
    if (paletteEnd > size)
        missing(_("palette is truncated"));
    if (paletteEnd > offBits)
        Refuse(Format(_("palette of %s entries overlaps the pixel data"), Num(entries)));
    l.palette.resize(size_t(entries));
    for (int64_t i = 0; i < entries; ++i) {
        const uint8_t* e = d + masksEnd + size_t(i) * entrySize;
        l.palette[size_t(i)] = TPaletteEntry{e[2], e[1], e[0], 0};
    }
}

// How many bytes of pixel data the decoder may read. Uncompressed rows must
// all be present before anything is allocated for them (the last row may lack
// its padding).
void MeasurePixelData(Layout& l, const InfoFields& f, bool rle, const Truncation& missing)
{
    l.pixelBytes = missing.size - l.pixelOffset;
    if (rle && f.imageSize != 0)
        l.pixelBytes = std::min<size_t>(l.pixelBytes, f.imageSize);
    if (!rle) {
        const int64_t need = FileRowBytes(f.width, l.bits) * (f.height - 1) + (f.width * l.bits + 7) / 8;
        if (need > int64_t(l.pixelBytes))
            missing(Format(_("pixel data is truncated: %s bytes needed, %s present"), Num(need),
                           Num(int64_t(l.pixelBytes))));
        l.pixelBytes = size_t(need);
    }
    l.dataEnd = l.pixelOffset + l.pixelBytes;
}

// Reads the headers from `head`, the file's first bytes: the whole file, or at
// least its first kHeadBytes. `size` is the length of the whole file. The
// fields that state the file's and the pixel data's length are not used:
// writers fill them carelessly, and what counts is whether the pixels are there.
Layout ParseHeaders(std::span<const uint8_t> head, size_t size)
{
    const uint8_t* d = head.data();
    if (head.size() < std::min(size, kHeadBytes))
        Refuse(_("the file changed while it was read"));
    if (size < 2 || d[0] != 'B' || d[1] != 'M')
        Refuse(size < 2 ? _("file is too short to be a BMP file") : _("not a BMP file (no \"BM\" signature)"));
    if (size < kFileHeaderSize + 4)
        Refuse(_("file header is truncated"));

    Layout l;
    const Truncation missing{U32(d + 2), size};
    const uint32_t offBits = U32(d + 10);
    l.headerSize = U32(d + 14);
    const size_t hs = l.headerSize;
    if (hs != 12 && hs != 16 && hs != 40 && hs != 52 && hs != 56 && hs != 64 && hs != 108 && hs != 124)
        Refuse(Format(_("unsupported info header size %s"), Num(hs)));
    if (size < kFileHeaderSize + hs)
        Refuse(Format(_("info header is truncated (%s bytes expected, %s present)"), Num(hs),
                      Num(int64_t(size - kFileHeaderSize))));
    const uint8_t* h = d + kFileHeaderSize;
    const bool os2v2 = hs == 16 || hs == 64;
    InfoFields f = ReadInfoHeader(h, l);
    CheckSize(f, l);
    CheckBitsPerPixel(l, os2v2);
    const size_t masksEnd = ReadCompression(l, h, os2v2, offBits, missing);
    const bool rle = l.compression == kBiRle4 || l.compression == kBiRle8;
    if (rle && l.topDown)
        Refuse(_("a compressed picture cannot be stored top-down"));

    if (offBits == 0)
        Refuse(Format(_("pixel data offset 0 lies outside the file (%s bytes)"), Num(int64_t(size))));
    if (offBits >= size)
        missing(Format(_("pixel data offset %s lies outside the file (%s bytes)"), Num(offBits), Num(int64_t(size))));
    if (offBits < masksEnd)
        Refuse(Format(_("pixel data offset %s lies inside the headers"), Num(offBits)));
    l.pixelOffset = offBits;
    ReadPalette(l, d, f, masksEnd, offBits, missing);
    MeasurePixelData(l, f, rle, missing);
    return l;
}

class Decoder {
public:
    Decoder(const Layout& l, std::span<const uint8_t> data, TBitmap& bmp)
        : l_(l), src_(data.data() + l.pixelOffset), avail_(l.pixelBytes), bmp_(bmp), bits_(bmp.BitsForOverwrite())
    {
        std::fill(std::begin(valid_), std::end(valid_), false);
        for (size_t i = 0; i < l.palette.size(); ++i)
            valid_[i] = true;
    }

    void Run()
    {
        if (l_.compression == kBiRle4 || l_.compression == kBiRle8)
            DecodeRle();
        else
            DecodePlain();
    }

private:
    // Bitmap row for picture line `y` counted in file order.
    uint8_t* Row(int64_t y)
    {
        const int64_t top = l_.topDown ? y : l_.height - 1 - y;
        return bits_ + size_t(top) * bmp_.RowBytes();
    }

    // One pixel of run-length data at (x, y), unless it lies past the row's
    // end (the padding a row may run into); x moves on either way.
    void PutRunPixel(int64_t& x, int64_t y, unsigned v, bool four)
    {
        if (x < l_.width) {
            CheckIndex(v, x, y);
            uint8_t* o = Row(y);
            if (four)
                o[x / 2] |= uint8_t(x % 2 ? v : v << 4);
            else
                o[x] = uint8_t(v);
        }
        ++x;
    }

    void CheckIndex(unsigned index, int64_t x, int64_t y)
    {
        if (!valid_[index])
            Refuse(Format(_("pixel (%s, %s) uses colour %s, beyond the palette's %s entries"), Num(x),
                          Num(l_.topDown ? y : l_.height - 1 - y), Num(index), Num(int64_t(l_.palette.size()))));
    }

    void DecodePlain()
    {
        const int64_t w = l_.width;
        const int64_t rowBytes = FileRowBytes(w, l_.bits);
        const int64_t lastRow = (w * l_.bits + 7) / 8; // the length was checked with the headers
        const size_t outRow = bmp_.RowBytes();
        const bool shortPalette = l_.bits <= 8 && l_.palette.size() < (size_t(1) << l_.bits);
        const bool masked = l_.bits == 16 || (l_.bits == 32 && l_.compression != kBiRgb);
        for (int64_t y = 0; y < l_.height; ++y) {
            const uint8_t* s = src_ + y * rowBytes;
            uint8_t* o = Row(y);
            std::memset(o, 0, outRow);
            switch (masked ? 0 : l_.bits) {
            case 1:
            case 4:
            case 8:
            case 24:
            case 32: // without masks: the fourth byte is kept as it is
                std::memcpy(o, s, size_t(lastRow));
                if (const int tail = int(w * l_.bits % 8))
                    o[lastRow - 1] &= uint8_t(0xFF << (8 - tail));
                if (shortPalette)
                    for (int64_t x = 0; x < w; ++x)
                        CheckIndex(IndexAt(s, x), x, y);
                break;
            case 2:
                for (int64_t x = 0; x < w; ++x) {
                    const unsigned v = IndexAt(s, x);
                    CheckIndex(v, x, y);
                    o[x / 2] |= uint8_t(x % 2 ? v : v << 4);
                }
                break;
            default: // 16 or 32 bits with colour masks
                DecodeMaskedRow(s, o);
                break;
            }
        }
    }

    unsigned IndexAt(const uint8_t* row, int64_t x) const
    {
        switch (l_.bits) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 1;
        case 2:
            return (row[x / 4] >> (6 - 2 * (x % 4))) & 3;
        case 4:
            return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        default:
            return row[x];
        }
    }

    void DecodeMaskedRow(const uint8_t* s, uint8_t* o)
    {
        const int step = l_.bits / 8;
        const int outStep = OutputFormat(l_) == pf32bit ? 4 : 3;
        for (int64_t x = 0; x < l_.width; ++x, s += step, o += outStep) {
            const uint32_t px = step == 2 ? U16(s) : U32(s);
            o[0] = l_.blue.Get(px);
            o[1] = l_.green.Get(px);
            o[2] = l_.red.Get(px);
            if (outStep == 4)
                o[3] = l_.alpha.Get(px);
        }
    }

    // Run-length data: a stream of (count, value) pairs and escapes. Pixels the
    // stream does not reach keep colour index 0. Runs may cover the row's
    // padding, as in an uncompressed row (some writers encode whole padded
    // rows); those pixels are dropped. A run beyond the padding is damage.
    void DecodeRle()
    {
        for (int64_t y = 0; y < l_.height; ++y)
            std::memset(Row(y), 0, bmp_.RowBytes());
        const bool four = l_.compression == kBiRle4;
        const int64_t w = l_.width, h = l_.height;
        const int64_t padded = FileRowBytes(w, l_.bits) * 8 / l_.bits;
        int64_t x = 0, y = 0;
        size_t pos = 0;
        auto put = [&](unsigned v) { PutRunPixel(x, y, v, four); };
        auto fits = [&](int64_t n) {
            if (y >= h)
                Refuse(_("run-length data continues past the last row"));
            if (x + n > padded)
                Refuse(Format(_("run-length data runs past the end of row %s"), Num(h - 1 - y)));
        };
        for (;;) {
            if (pos + 2 > avail_)
                Refuse(pos == avail_ ? _("run-length data ends without an end-of-picture marker")
                                     : _("run-length data is truncated"));
            const unsigned n = src_[pos], c = src_[pos + 1];
            pos += 2;
            if (n > 0) {
                fits(n);
                for (unsigned i = 0; i < n; ++i)
                    put(four ? (i % 2 ? c & 15 : c >> 4) : c);
                continue;
            }
            if (c == 0) { // end of line
                if (y >= h)
                    Refuse(_("run-length data continues past the last row"));
                x = 0;
                ++y;
            } else if (c == 1) { // end of picture
                return;
            } else if (c == 2) { // move right and up
                if (pos + 2 > avail_)
                    Refuse(_("run-length data is truncated in a move"));
                x += src_[pos];
                y += src_[pos + 1];
                pos += 2;
                // Landing just past the last row is how some writers finish.
                if (y > h || x > w || (y == h && x > 0))
                    Refuse(_("run-length move leaves the picture"));
            } else { // literal pixels, padded to an even number of bytes
                const size_t bytes = four ? (c + 1) / 2 : c;
                if (pos + bytes > avail_)
                    Refuse(_("run-length data is truncated in a literal run"));
                fits(c);
                for (unsigned i = 0; i < c; ++i)
                    put(four ? (i % 2 ? src_[pos + i / 2] & 15 : src_[pos + i / 2] >> 4) : src_[pos + i]);
                pos += bytes + (bytes & 1);
            }
        }
    }

    const Layout& l_;
    const uint8_t* src_;
    size_t avail_;
    TBitmap& bmp_;
    uint8_t* bits_; // every row is cleared before it is decoded
    bool valid_[256];
};

std::string SystemReason(int err)
{
    return std::strerror(err);
}

// Largest colour index in a 1/4/8-bit bitmap.
unsigned MaxIndex(const TBitmap& bmp, int bits)
{
    unsigned top = 0;
    for (int32_t y = 0; y < bmp.GetHeight(); ++y) {
        const uint8_t* row = bmp.Bits() + size_t(y) * bmp.RowBytes();
        for (int32_t x = 0; x < bmp.GetWidth(); ++x) {
            const unsigned v = bits == 8   ? row[x]
                               : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                           : (row[x / 8] >> (7 - x % 8)) & 1;
            top = std::max(top, v);
        }
    }
    return top;
}

// Bytes of the decoded picture.
size_t PictureBytes(const Layout& l)
{
    return size_t(FileRowBytes(l.width, BitsPerPixel(OutputFormat(l)))) * size_t(l.height);
}

// Runs `allocate`, refusing the file as one there is no memory for when the
// system has none left or when `need` bytes exceed `limit`.
template <typename Allocate> void WithMemory(const Layout& l, size_t need, size_t limit, Allocate&& allocate)
{
    try {
        if (need > limit)
            throw std::bad_alloc();
        allocate();
    } catch (const std::bad_alloc&) {
        Refuse(Format(_("not enough memory to read a %s x %s picture"), Num(l.width), Num(l.height)));
    }
}

// The picture a file decodes into, its pixel storage allocated; `need` is
// what the whole read takes.
std::unique_ptr<TBitmap> NewPicture(const Layout& l, size_t need, size_t limit)
{
    std::unique_ptr<TBitmap> bmp;
    WithMemory(l, need, limit, [&] {
        bmp = std::make_unique<TBitmap>(l.width, l.height, OutputFormat(l));
        bmp->BitsForOverwrite();
    });
    if (!l.palette.empty())
        bmp->SetPalette(l.palette);
    return bmp;
}

// A file's alpha channel is in use when it has an alpha mask and a pixel
// whose alpha is not 0: writers that know no alpha leave it 0 everywhere,
// and such a picture is opaque, as other readers show it.
bool AlphaInUse(const Layout& l, const TBitmap& bmp)
{
    if (!l.alpha.mask || bmp.GetPixelFormat() != pf32bit)
        return false;
    for (int32_t y = 0; y < bmp.GetHeight(); ++y) {
        const uint8_t* row = bmp.ScanLine(y);
        for (int32_t x = 0; x < bmp.GetWidth(); ++x)
            if (row[4 * size_t(x) + 3] != 0)
                return true;
    }
    return false;
}

// Decodes the file laid out by `l` whose first bytes are `data` into `bmp`,
// and hands the picture to `out`.
void Decode(const Layout& l, std::span<const uint8_t> data, TBitmap& bmp, TBitmap& out)
{
    if (data.size() < l.dataEnd)
        Refuse(_("the file changed while it was read"));
    Decoder(l, data, bmp).Run();
    bmp.SetHasAlpha(AlphaInUse(l, bmp));
    out.Assign(bmp);
}

// Reads up to `count` bytes at `at`; fewer only at the end of the file.
size_t ReadAt(int fd, uint8_t* at, size_t count)
{
    size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, at + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::system_error(errno, std::generic_category());
        if (n == 0)
            break;
        got += size_t(n);
    }
    return got;
}

// An open file descriptor, closed on every way out.
struct OpenFile {
    int fd;
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

void DecodeBmp(std::span<const uint8_t> data, TBitmap& out, const std::string& name)
{
    try {
        const Layout l = ParseHeaders(data, data.size());
        Decode(l, data, *NewPicture(l, PictureBytes(l), SIZE_MAX), out);
    } catch (const Refusal& r) {
        throw BmpError(name, r.reason);
    } catch (const BmpError&) {
        throw;
    } catch (const EInvalidGraphic& e) {
        throw BmpError(name, e.what());
    } catch (const std::bad_alloc&) {
        throw BmpError(name, _("not enough memory for the picture"));
    }
}

void ReadBmpFile(const std::string& path, TBitmap& out, size_t memoryLimit)
{
    // Opened without blocking: opening a pipe with no writer, or some
    // devices, would otherwise wait for ever. Only regular files are read.
    const OpenFile file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0)
        throw BmpError(path, SystemReason(errno));
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        throw BmpError(path, SystemReason(errno));
    if (!S_ISREG(st.st_mode))
        throw BmpError(path, S_ISDIR(st.st_mode) ? _("is a folder, not a picture file") : _("not a regular file"));
    if (st.st_size > kMaxBmpFileBytes)
        throw BmpError(path,
                       Format(_("file is %s bytes, larger than any picture this program reads"), Num(st.st_size)));
    try {
        // The headers first: a file that is no picture, or one beyond this
        // program's limits or its memory, is refused before the rest is read.
        size_t size = size_t(st.st_size);
        std::vector<uint8_t> head(std::min(size, kHeadBytes));
        if (const size_t got = ReadAt(file.fd, head.data(), head.size()); got < head.size())
            size = got; // the file shrank since it was measured
        head.resize(std::min(size, head.size()));
        Layout l = ParseHeaders(head, size);

        // The picture and the bytes the decoder reads (from the pixel heap,
        // which the decoded picture and the next file reuse), both before
        // anything more is read.
        const size_t bytes = std::max(l.dataEnd, head.size());
        const std::unique_ptr<TBitmap> bmp = NewPicture(l, bytes + PictureBytes(l), memoryLimit);
        TBitmap::Store data;
        WithMemory(l, 0, SIZE_MAX, [&] { data.resize(bytes); });
        std::memcpy(data.data(), head.data(), head.size());
        if (data.size() > head.size()) {
            const size_t got = ReadAt(file.fd, data.data() + head.size(), data.size() - head.size());
            if (head.size() + got < data.size()) { // the file shrank: judge what is there
                size = head.size() + got;
                data.resize(size);
                l = ParseHeaders(data, size);
            }
        }
        Decode(l, data, *bmp, out);
    } catch (const Refusal& r) {
        throw BmpError(path, r.reason);
    } catch (const std::system_error& e) {
        throw BmpError(path, SystemReason(e.code().value()));
    } catch (const BmpError&) {
        throw;
    } catch (const EInvalidGraphic& e) {
        throw BmpError(path, e.what());
    } catch (const std::bad_alloc&) {
        throw BmpError(path, _("not enough memory for the picture"));
    }
}

namespace {

// The palette is written as it is, but never shorter than the indices in use:
// those beyond the bitmap's palette show black, and get black entries so the
// file stays readable.
size_t PaletteLength(const TBitmap& bmp, int bits)
{
    if (bits > 8)
        return 0;
    const size_t full = size_t(1) << bits;
    const size_t colours = std::min(bmp.GetPalette().size(), full);
    return colours < full ? std::max(colours, size_t(MaxIndex(bmp, bits)) + 1) : colours;
}

} // namespace

std::vector<uint8_t> EncodeBmp(const TBitmap& bmp)
{
    const int64_t w = bmp.GetWidth(), h = bmp.GetHeight();
    if (w <= 0 || h <= 0)
        throw EInvalidGraphic(_("cannot save an empty picture as BMP"));
    const int bits = BitsPerPixel(bmp.GetPixelFormat());
    const size_t colours = PaletteLength(bmp, bits);
    const int64_t rowBytes = FileRowBytes(w, bits);
    // A picture with alpha gets the version 4 header, whose colour masks
    // include the alpha (the fourth byte of each pixel).
    const bool alpha = bits == 32 && bmp.HasAlpha();
    const size_t header = alpha ? kV4HeaderSize : kInfoHeaderSize;
    const int64_t offBits = int64_t(kFileHeaderSize + header + colours * 4);
    const int64_t total = offBits + rowBytes * h;
    if (total > int64_t(UINT32_MAX))
        throw EInvalidGraphic(_("picture is too large to save as BMP"));

    std::vector<uint8_t> f(size_t(total), 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, uint32_t(total));
    Put32(f, 10, uint32_t(offBits));
    Put32(f, 14, uint32_t(header));
    Put32(f, 18, uint32_t(w));
    Put32(f, 22, uint32_t(h));
    Put16(f, 26, 1);
    Put16(f, 28, uint16_t(bits));
    Put32(f, 30, alpha ? kBiBitfields : kBiRgb);
    if (alpha) {
        Put32(f, 54, 0x00FF0000); // red
        Put32(f, 58, 0x0000FF00); // green
        Put32(f, 62, 0x000000FF); // blue
        Put32(f, 66, 0xFF000000); // alpha
        Put32(f, 70, kLcsSrgb);
    }
    Put32(f, 34, uint32_t(rowBytes * h));
    Put32(f, 38, 2835); // 72 dots per inch
    Put32(f, 42, 2835);
    Put32(f, 46, uint32_t(bits <= 8 && colours != (size_t(1) << bits) ? colours : 0));
    const TPalette& pal = bmp.GetPalette();
    for (size_t i = 0; i < colours && i < pal.size(); ++i) {
        uint8_t* e = f.data() + kFileHeaderSize + header + i * 4;
        e[0] = pal[i].peBlue;
        e[1] = pal[i].peGreen;
        e[2] = pal[i].peRed;
    }
    const int64_t used = (w * bits + 7) / 8;
    const int tail = int(w * bits % 8);
    for (int64_t y = 0; y < h; ++y) {
        uint8_t* o = f.data() + offBits + (h - 1 - y) * rowBytes;
        std::memcpy(o, bmp.Bits() + size_t(y) * bmp.RowBytes(), size_t(used));
        if (tail)
            o[used - 1] &= uint8_t(0xFF << (8 - tail));
    }
    return f;
}

namespace {

// The file a save replaces: a symbolic link is followed to the file it
// points at (through any further links), so that the link stays a link and
// the file it names gets the new picture. A dangling link names the file to
// create. Gives up after 40 links, as the system does.
std::string SaveTarget(const std::string& path)
{
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return target;
        std::string link(size_t(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return target;
        link.resize(size_t(n));
        if (link.empty() || link[0] != '/') {
            const size_t slash = target.rfind('/');
            if (slash != std::string::npos)
                link = target.substr(0, slash + 1) + link;
        }
        target = link;
    }
    throw EFileError(path, SystemReason(ELOOP));
}

// Whether a save must leave an existing file alone. The owner's write bit
// decides first: it is what "chmod 444", "chmod u-w" and a file manager's
// read-only switch clear, and the super-user, whom the system lets write
// anything, is held to it too, so a file its owner marked read-only stays so
// whoever saves. A user whom the system refuses writing to the file (one
// that belongs to someone else, an access list) does not replace it either.
bool IsReadOnly(const std::string& file, const struct stat& st)
{
    if ((st.st_mode & S_IWUSR) == 0)
        return true;
    return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// Writes all of `bytes` at `offset`; 0 or the error.
int WriteAll(int fd, const std::vector<uint8_t>& bytes, off_t offset = 0)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += size_t(n);
    }
    return 0;
}

// The file's bytes as they are; 0 or the error.
int ReadAll(int fd, std::vector<uint8_t>& bytes, size_t size)
{
    bytes.resize(size);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size - done, off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    bytes.resize(done);
    return 0;
}

// `bytes` become the whole content of the open file; 0 or the error.
int ReplaceContent(int fd, const std::vector<uint8_t>& bytes)
{
    if (const int err = WriteAll(fd, bytes))
        return err;
    if (::ftruncate(fd, off_t(bytes.size())) != 0 || ::fsync(fd) != 0)
        return errno;
    return 0;
}

// A file with other names (hard links) is written in place, so that every
// name shows the new picture; a rename would give this name a new file and
// leave the others with the old one. The old bytes are kept, in memory and in
// a copy beside the file, until the new ones are on disk: the room the new
// picture needs is taken before the first byte is overwritten, a failed write
// puts the old picture back, and when even that fails the copy stays and the
// error names it.
void WriteInPlace(const std::string& path, const std::string& target, const std::string& dir,
                  const std::vector<uint8_t>& bytes)
{
    auto fail = [&](int err, const std::string& kept = {}) {
        std::string reason = SystemReason(err);
        if (!kept.empty())
            reason += "; " + Format(_("the picture that was there is kept in \"%s\""), kept);
        throw EFileError(path, reason);
    };
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        fail(errno);
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    std::vector<uint8_t> old;
    if (::fstat(fd, &st) != 0)
        fail(errno);
    if (const int err = ReadAll(fd, old, size_t(st.st_size)))
        fail(err);

    // The copy beside it, when the folder takes one (the file may be
    // writable in a folder that is not).
    std::string copy = target + ".old-XXXXXX";
    const size_t nameLength = target.size() - (target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    if (nameLength + 11 > NAME_MAX)
        copy = dir + "/.bmp-old-XXXXXX";
    const int copyFd = ::mkstemp(copy.data());
    if (copyFd >= 0) {
        const int err = ReplaceContent(copyFd, old);
        ::close(copyFd);
        if (err) {
            ::unlink(copy.c_str());
            copy.clear();
        }
    } else {
        copy.clear();
    }

    if (bytes.size() > old.size()) {
        if (const int err = ::posix_fallocate(fd, 0, off_t(bytes.size()))) {
            if (::ftruncate(fd, off_t(old.size())) == 0)
                ::fsync(fd);
            if (!copy.empty())
                ::unlink(copy.c_str());
            fail(err);
        }
    }
    if (const int err = ReplaceContent(fd, bytes)) {
        if (ReplaceContent(fd, old) == 0) {
            if (!copy.empty())
                ::unlink(copy.c_str());
            fail(err);
        }
        fail(err, copy);
    }
    if (!copy.empty())
        ::unlink(copy.c_str());
}

// Writes `bytes` into the new file `fd`, gives it `mode` when there is one
// (a replaced file's), makes it durable and closes it. Returns the first
// error (an errno value), or 0.
int FillNewFile(int fd, const std::vector<uint8_t>& bytes, std::optional<mode_t> mode)
{
    int err = 0;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        done += size_t(n);
    }
    if (!err && mode && ::fchmod(fd, *mode) != 0)
        err = errno;
    if (!err && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && !err)
        err = errno;
    return err;
}

// Makes a rename in `dir` durable; a failure here no longer loses data.
void SyncFolder(const std::string& dir)
{
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

// Creates a file that did not exist, named like `name` with its last six
// characters (XXXXXX) replaced, as mkstemp does; but the file gets the
// permissions a new file of the user gets (0666 under the umask or the
// folder's default access list), not mkstemp's 0600. Returns the descriptor,
// or -1 with errno set.
int CreateNewFile(std::string& name)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::mt19937_64 pick(std::random_device{}());
    std::uniform_int_distribution<size_t> letter(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = name.size() - 6; i < name.size(); ++i)
            name[i] = kLetters[letter(pick)];
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1; // errno is EEXIST
}

} // namespace

void WriteBmpFile(const std::string& path, const TBitmap& bmp)
{
    std::vector<uint8_t> bytes;
    try {
        bytes = EncodeBmp(bmp);
    } catch (const EInvalidGraphic& e) {
        throw EFileError(path, e.what());
    }
    auto fail = [&](int err) { throw EFileError(path, SystemReason(err)); };
    const std::string target = SaveTarget(path);

    // New files get the usual permissions; a replaced file keeps its own. A
    // file without write permission is not replaced, although the rename
    // below needs only the folder's.
    std::optional<mode_t> keptMode;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (IsReadOnly(target, st))
            throw EFileError(path, _("the file is read-only (it has no write permission), so it was not replaced"));
        keptMode = st.st_mode & 07777;
        if (st.st_nlink > 1) {
            const size_t slash = target.rfind('/');
            WriteInPlace(path, target,
                         slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : target.substr(0, slash),
                         bytes);
            return;
        }
    }

    // The temporary file lives beside the file it replaces, so the rename
    // cannot cross file systems. A name too long to take the suffix gets a
    // short one.
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const size_t nameLength = target.size() - (slash == std::string::npos ? 0 : slash + 1);
    std::string tmp = nameLength + 11 > NAME_MAX ? dir + "/.bmp-save.tmp-XXXXXX" : target + ".tmp-XXXXXX";
    const int fd = CreateNewFile(tmp);
    if (fd < 0) {
        const int err = errno;
        if (err == EACCES || err == EPERM || err == EROFS)
            throw EFileError(path, Format(_("the folder \"%s\" is not writable (%s)"), dir, SystemReason(err)));
        fail(err);
    }
    int err = FillNewFile(fd, bytes, keptMode);
    if (!err && ::rename(tmp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err) {
        ::unlink(tmp.c_str());
        fail(err);
    }
    SyncFolder(dir);
}

} // namespace vcl
