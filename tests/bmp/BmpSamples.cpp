// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "BmpSamples.h"

#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>

namespace bmptest {

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kJpeg = 4, kPng = 5, kAlphaBitfields = 6;

// Info header sizes the reader takes: OS/2 1.x, the short and long OS/2 2.x
// headers, Windows 3 (alone and with its masks inside), 4 and 5.
enum class Header : uint32_t {
    Core = 12,
    Os2Short = 16,
    Os2 = 64,
    V3 = 40,
    V3Masks = 52,
    V3Alpha = 56,
    V4 = 108,
    V5 = 124,
};

// A picture to write, and how to write it.
struct Picture {
    Header header = Header::V3;
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
    uint16_t bits = 8;
    uint32_t compression = kRgb;
    std::vector<uint32_t> palette; // 0xRRGGBB
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;  // red, green, blue and maybe alpha
    std::vector<uint32_t> values; // colour indices or packed pixels, rows top-down
    std::vector<uint8_t> rle;     // the pixel data of a compressed picture
    size_t gap = 0;               // unused bytes between the palette and the pixels
    bool lastRowUnpadded = false; // the file ends with the last pixel
};

void Put16(std::vector<uint8_t>& f, size_t at, uint32_t v)
{
    f.at(at) = uint8_t(v);
    f.at(at + 1) = uint8_t(v >> 8);
}

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f.at(at + size_t(i)) = uint8_t(v >> (8 * i));
}

size_t RowBytes(int64_t width, int bits)
{
    return size_t((width * bits + 31) / 32 * 4);
}

std::vector<uint8_t> PixelData(const Picture& p)
{
    if (p.compression == kRle8 || p.compression == kRle4)
        return p.rle;
    const size_t row = RowBytes(p.width, p.bits);
    std::vector<uint8_t> data(row * size_t(p.height), 0);
    for (int32_t y = 0; y < p.height; ++y) {
        const size_t fileRow = size_t(p.topDown ? y : p.height - 1 - y);
        uint8_t* o = data.data() + fileRow * row;
        for (int32_t x = 0; x < p.width; ++x) {
            const uint32_t v = p.values.at(size_t(y) * size_t(p.width) + size_t(x));
            switch (p.bits) {
            case 1:
            case 2:
            case 4: {
                const int perByte = 8 / p.bits;
                o[x / perByte] |= uint8_t(v << (8 - p.bits * (x % perByte + 1)));
                break;
            }
            case 8:
                o[x] = uint8_t(v);
                break;
            case 16:
                o[2 * x] = uint8_t(v);
                o[2 * x + 1] = uint8_t(v >> 8);
                break;
            default:
                for (int i = 0; i < p.bits / 8; ++i)
                    o[x * (p.bits / 8) + i] = uint8_t(v >> (8 * i));
            }
        }
    }
    if (p.lastRowUnpadded)
        data.resize(row * size_t(p.height - 1) + (size_t(p.width) * p.bits + 7) / 8);
    return data;
}

std::vector<uint8_t> Write(const Picture& p)
{
    const size_t hs = size_t(p.header);
    const bool masked = p.compression == kBitfields || p.compression == kAlphaBitfields;
    const size_t masksAfter = hs == 40 && masked ? p.masks.size() * 4 : 0;
    const size_t entry = p.header == Header::Core ? 3 : 4;
    const std::vector<uint8_t> pixels = PixelData(p);
    const size_t offset = 14 + hs + masksAfter + p.palette.size() * entry + p.gap;
    std::vector<uint8_t> f(offset + pixels.size(), 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, uint32_t(f.size()));
    Put32(f, 10, uint32_t(offset));
    Put32(f, 14, uint32_t(hs));
    if (p.header == Header::Core) {
        Put16(f, 18, uint32_t(p.width));
        Put16(f, 20, uint32_t(p.height));
        Put16(f, 22, 1);
        Put16(f, 24, p.bits);
    } else {
        Put32(f, 18, uint32_t(p.width));
        Put32(f, 22, uint32_t(p.topDown ? -p.height : p.height));
        Put16(f, 26, 1);
        Put16(f, 28, p.bits);
    }
    if (hs >= 40) {
        Put32(f, 30, p.compression);
        Put32(f, 34, uint32_t(pixels.size()));
        Put32(f, 38, 2835);
        Put32(f, 42, 2835);
        Put32(f, 46, p.colorsUsed);
    }
    size_t at = hs >= 52 ? 54 : 14 + hs;
    for (uint32_t m : p.masks) {
        if (hs < 52 && !masksAfter)
            break;
        Put32(f, at, m);
        at += 4;
    }
    if (hs >= 108)
        Put32(f, 70, 0x73524742); // "sRGB"
    at = 14 + hs + masksAfter;
    for (uint32_t c : p.palette) {
        f[at] = uint8_t(c);
        f[at + 1] = uint8_t(c >> 8);
        f[at + 2] = uint8_t(c >> 16);
        at += entry;
    }
    std::copy(pixels.begin(), pixels.end(), f.begin() + long(offset));
    return f;
}

// A channel's value scaled to 0..255, rounded to the nearest.
uint32_t Scaled(uint32_t px, uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    const uint32_t max = mask >> shift;
    return uint32_t(std::lround(double((px & mask) >> shift) * 255.0 / max));
}

// What a reader must show of a plain picture.
std::vector<uint32_t> Expected(const Picture& p)
{
    std::vector<uint32_t> rgb;
    std::vector<uint32_t> masks = p.masks;
    if (p.bits == 16 && p.compression == kRgb)
        masks = {0x7C00, 0x03E0, 0x001F};
    for (uint32_t v : p.values) {
        if (p.bits <= 8)
            rgb.push_back(p.palette.at(v));
        else if (p.bits == 16 || p.compression != kRgb)
            rgb.push_back(Scaled(v, masks[0]) << 16 | Scaled(v, masks[1]) << 8 | Scaled(v, masks[2]));
        else
            rgb.push_back(v & 0xFFFFFF);
    }
    return rgb;
}

int LoadedBits(const Picture& p)
{
    if (p.bits == 2)
        return 4;
    if (p.bits == 16)
        return p.masks.size() > 3 && p.masks[3] && size_t(p.header) != 52 ? 32 : 24;
    return p.bits;
}

const std::vector<uint32_t> kPalette = {0x000000, 0xFFFFFF, 0xE03050, 0x30A060, 0x2040C0, 0xF0C020, 0x804080, 0x60C0E0,
                                        0x402010, 0xC0C0C0, 0x808000, 0x008080, 0xFF8000, 0x0080FF, 0x7F7F7F, 0x10F010};

// Indices (below `colours`) or packed values filling a width x height
// picture so that neighbouring pixels differ.
std::vector<uint32_t> Pattern(int32_t w, int32_t h, uint32_t colours, uint32_t salt = 0)
{
    std::vector<uint32_t> v;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t i = uint32_t(x * 7 + y * 13) + salt;
            v.push_back(colours ? i % colours : (i * 2654435761u) ^ (i << 7));
        }
    return v;
}

Picture Indexed(Header header, int32_t w, int32_t h, uint16_t bits)
{
    Picture p;
    p.header = header;
    p.width = w;
    p.height = h;
    p.bits = bits;
    const size_t colours = std::min<size_t>(kPalette.size(), size_t(1) << bits);
    p.palette.assign(kPalette.begin(), kPalette.begin() + long(colours));
    if (bits == 8) // more entries than the pattern uses, as most writers store
        p.palette.resize(256, 0x123456);
    p.values = Pattern(w, h, uint32_t(colours));
    return p;
}

Picture Direct(Header header, int32_t w, int32_t h, uint16_t bits, uint32_t compression,
               std::vector<uint32_t> masks = {})
{
    Picture p;
    p.header = header;
    p.width = w;
    p.height = h;
    p.bits = bits;
    p.compression = compression;
    p.masks = std::move(masks);
    p.values = Pattern(w, h, 0);
    if (bits == 16)
        for (uint32_t& v : p.values)
            v &= 0xFFFF;
    return p;
}

class Builder {
public:
    void Good(const std::string& name, const Picture& p, std::vector<uint32_t> rgb = {})
    {
        Sample s;
        s.name = "good/" + name + ".bmp";
        s.bytes = Write(p);
        s.expect = Expect::Load;
        s.bits = LoadedBits(p);
        s.width = p.width;
        s.height = p.height;
        s.rgb = rgb.empty() ? Expected(p) : std::move(rgb);
        Add(std::move(s));
    }
    // A well-formed picture with one field or more changed afterwards.
    template <typename Edit> void GoodEdited(const std::string& name, const Picture& p, Edit edit)
    {
        Good(name, p);
        edit(samples_.back().bytes);
    }
    void Bad(const std::string& name, std::vector<uint8_t> bytes, std::string reason)
    {
        Sample s;
        s.name = "bad/" + name + ".bmp";
        s.bytes = std::move(bytes);
        s.expect = Expect::Refuse;
        s.reason = std::move(reason);
        Add(std::move(s));
    }
    template <typename Edit> void BadEdited(const std::string& name, const Picture& p, Edit edit, std::string reason)
    {
        std::vector<uint8_t> f = Write(p);
        edit(f);
        Bad(name, std::move(f), std::move(reason));
    }
    void Mutated(const std::string& name, std::vector<uint8_t> bytes)
    {
        Sample s;
        s.name = "mutated/" + name + ".bmp";
        s.bytes = std::move(bytes);
        s.expect = Expect::Either;
        Add(std::move(s));
    }
    std::vector<Sample> Take() { return std::move(samples_); }
    const std::vector<Sample>& Done() const { return samples_; }

private:
    void Add(Sample s)
    {
        if (!names_.emplace(s.name, samples_.size()).second)
            throw std::logic_error("two samples named " + s.name);
        samples_.push_back(std::move(s));
    }
    std::vector<Sample> samples_;
    std::map<std::string, size_t> names_;
};

std::vector<uint32_t> Indices(std::initializer_list<uint32_t> v, const std::vector<uint32_t>& palette)
{
    std::vector<uint32_t> rgb;
    for (uint32_t i : v)
        rgb.push_back(palette.at(i));
    return rgb;
}

void WellFormed(Builder& b)
{
    // Every header version over the same 8-bit picture of an odd width.
    for (auto [name, header] :
         {std::pair{"core", Header::Core}, std::pair{"os2-short", Header::Os2Short}, std::pair{"os2", Header::Os2},
          std::pair{"v3", Header::V3}, std::pair{"v4", Header::V4}, std::pair{"v5", Header::V5}})
        b.Good(std::string(name) + "-pal8", Indexed(header, 5, 3, 8));

    // Every depth at widths that leave each amount of row padding and every
    // partial last byte.
    for (uint16_t bits : {1, 2, 4, 8}) {
        for (int32_t w : {1, 3, 6, 9, 17})
            b.Good("v3-pal" + std::to_string(bits) + "-w" + std::to_string(w), Indexed(Header::V3, w, 3, bits));
        Picture top = Indexed(Header::V3, 7, 4, bits);
        top.topDown = true;
        b.Good("v3-pal" + std::to_string(bits) + "-topdown", top);
    }
    for (int32_t w : {1, 2, 3, 5}) {
        b.Good("v3-rgb24-w" + std::to_string(w), Direct(Header::V3, w, 3, 24, kRgb));
        b.Good("v3-rgb32-w" + std::to_string(w), Direct(Header::V3, w, 3, 32, kRgb));
        b.Good("v3-rgb16-w" + std::to_string(w), Direct(Header::V3, w, 3, 16, kRgb));
    }
    Picture top24 = Direct(Header::V3, 4, 5, 24, kRgb);
    top24.topDown = true;
    b.Good("v3-rgb24-topdown", top24);
    Picture top32 = Direct(Header::V5, 4, 5, 32, kBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
    top32.topDown = true;
    b.Good("v5-rgba32-topdown", top32);

    // Colour masks: where they are written, narrow, wide, in unusual order.
    b.Good("v3-rgb16-565", Direct(Header::V3, 5, 3, 16, kBitfields, {0xF800, 0x07E0, 0x001F}));
    b.Good("v3-rgb16-555-masks", Direct(Header::V3, 5, 3, 16, kBitfields, {0x7C00, 0x03E0, 0x001F}));
    b.Good("v3-rgba16-4444", Direct(Header::V3, 5, 3, 16, kAlphaBitfields, {0x0F00, 0x00F0, 0x000F, 0xF000}));
    b.Good("v3-masks-inside-rgb16", Direct(Header::V3Masks, 5, 3, 16, kBitfields, {0x001F, 0x07E0, 0xF800}));
    b.Good("v3-alpha-inside-rgba16", Direct(Header::V3Alpha, 5, 3, 16, kBitfields, {0x7C00, 0x03E0, 0x001F, 0x8000}));
    b.Good("v4-rgb16-565", Direct(Header::V4, 5, 3, 16, kBitfields, {0xF800, 0x07E0, 0x001F}));
    b.Good("v3-rgb32-masks", Direct(Header::V3, 3, 3, 32, kBitfields, {0xFF0000, 0xFF00, 0xFF}));
    b.Good("v3-rgb32-masks-reversed", Direct(Header::V3, 3, 3, 32, kBitfields, {0xFF, 0xFF00, 0xFF0000}));
    b.Good("v3-rgb32-101010", Direct(Header::V3, 3, 3, 32, kBitfields, {0x3FF00000, 0xFFC00, 0x3FF}));
    b.Good("v3-rgba32-alphabitfields",
           Direct(Header::V3, 3, 3, 32, kAlphaBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}));
    b.Good("v4-rgba32", Direct(Header::V4, 3, 3, 32, kBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}));
    b.Good("v5-rgb32-plain", Direct(Header::V5, 3, 3, 32, kRgb));

    // Palettes shorter than the depth allows, and bytes between palette and pixels.
    Picture shortPalette = Indexed(Header::V3, 6, 2, 8);
    shortPalette.palette.resize(16);
    shortPalette.colorsUsed = 16;
    b.Good("v3-pal8-16-colours", shortPalette);
    Picture corePalette = Indexed(Header::Core, 6, 2, 8);
    corePalette.palette.resize(16);
    b.Good("core-pal8-short-palette", corePalette);
    Picture gap = Indexed(Header::V3, 5, 3, 4);
    gap.gap = 37;
    b.Good("v3-pal4-gap-before-pixels", gap);
    Picture unpadded = Direct(Header::V3, 3, 3, 24, kRgb);
    unpadded.lastRowUnpadded = true;
    b.Good("v3-rgb24-last-row-unpadded", unpadded);

    // Length fields readers ignore: the whole picture is there.
    b.GoodEdited("v3-lying-file-size", Indexed(Header::V3, 5, 3, 8), [](auto& f) { Put32(f, 2, 1); });
    b.GoodEdited("v3-image-size-zero", Direct(Header::V3, 5, 3, 24, kRgb), [](auto& f) { Put32(f, 34, 0); });

    // Run-length data: runs, literals with their padding byte, a move, an
    // early end of line and an early end of picture (what they skip is
    // colour 0).
    const std::vector<uint32_t> pal = {0x101010, 0xE03050, 0x30A060, 0x2040C0};
    Picture rle8;
    rle8.width = 6;
    rle8.height = 4;
    rle8.compression = kRle8;
    rle8.palette = pal;
    rle8.colorsUsed = 4;
    rle8.rle = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 0, 6, 2, 0, 1};
    b.Good("v3-rle8", rle8, Indices({2, 2, 2, 2, 2, 2, 0, 0, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 2, 3, 1}, pal));
    Picture rle4 = rle8;
    rle4.width = 5;
    rle4.height = 2;
    rle4.bits = 4;
    rle4.compression = kRle4;
    rle4.rle = {5, 0x12, 0, 0, 0, 3, 0x20, 0x10, 0, 1};
    b.Good("v3-rle4", rle4, Indices({2, 0, 1, 0, 0, 1, 2, 1, 2, 1}, pal));
    Picture overPadding = rle8;
    overPadding.width = 3;
    overPadding.height = 1;
    overPadding.rle = {4, 1, 0, 1};
    b.Good("v3-rle8-run-over-row-padding", overPadding, Indices({1, 1, 1}, pal));
}

void Damaged(Builder& b)
{
    const Picture pal8 = Indexed(Header::V3, 5, 3, 8);
    const std::vector<uint8_t> good = Write(pal8);

    // Too short to hold the headers, or not a BMP file at all.
    b.Bad("empty", {}, "too short");
    b.Bad("signature-only", {'B', 'M'}, "file header is truncated");
    std::vector<uint8_t> zip = good;
    zip[0] = 'P';
    zip[1] = 'K';
    b.Bad("not-bmp", zip, "no \"BM\" signature");
    b.Bad("info-header-cut", std::vector<uint8_t>(good.begin(), good.begin() + 40), "info header is truncated");
    b.BadEdited(
        "header-size-20", pal8, [](auto& f) { Put32(f, 14, 20); }, "unsupported info header size 20");

    // Fields that lie about the picture.
    b.BadEdited(
        "planes-0", pal8, [](auto& f) { Put16(f, 26, 0); }, "number of planes is 0");
    b.BadEdited(
        "width-0", pal8, [](auto& f) { Put32(f, 18, 0); }, "width is 0");
    b.BadEdited(
        "width-negative", pal8, [](auto& f) { Put32(f, 18, uint32_t(-5)); }, "width is -5");
    b.BadEdited(
        "height-0", pal8, [](auto& f) { Put32(f, 22, 0); }, "height is 0");
    b.BadEdited(
        "too-many-pixels", pal8,
        [](auto& f) {
            Put32(f, 18, 20000);
            Put32(f, 22, 20000);
        },
        "more than the");
    b.BadEdited(
        "sides-overflow", pal8,
        [](auto& f) {
            Put32(f, 18, 0x7FFFFFFF);
            Put32(f, 22, 0x80000000);
        },
        "more than the");
    b.BadEdited(
        "too-wide", pal8,
        [](auto& f) {
            Put32(f, 18, 70000);
            Put32(f, 22, 1);
        },
        "a side may be at most");
    b.BadEdited(
        "height-beyond-the-data", pal8, [](auto& f) { Put32(f, 22, 4000); }, "pixel data is truncated");
    b.BadEdited(
        "densities-apart", pal8,
        [](auto& f) {
            Put32(f, 38, 1);
            Put32(f, 42, 1000000);
        },
        "too far apart");
    b.BadEdited(
        "bits-64", pal8, [](auto& f) { Put16(f, 28, 64); }, "bits per pixel: 64");
    b.BadEdited(
        "bits-0", pal8, [](auto& f) { Put16(f, 28, 0); }, "bits per pixel: 0");

    // Compressions this reader does not take, or that do not fit the depth.
    b.BadEdited(
        "jpeg", pal8, [](auto& f) { Put32(f, 30, kJpeg); }, "JPEG");
    b.BadEdited(
        "png", pal8, [](auto& f) { Put32(f, 30, kPng); }, "PNG");
    b.BadEdited(
        "compression-9", pal8, [](auto& f) { Put32(f, 30, 9); }, "unsupported compression 9");
    const Picture os2 = Indexed(Header::Os2, 5, 3, 8);
    b.BadEdited(
        "os2-huffman", os2, [](auto& f) { Put32(f, 30, kBitfields); }, "Huffman");
    b.BadEdited(
        "os2-rle24", os2, [](auto& f) { Put32(f, 30, kJpeg); }, "RLE24");
    b.BadEdited(
        "rle8-at-4-bits", Indexed(Header::V3, 5, 3, 4), [](auto& f) { Put32(f, 30, kRle8); },
        "RLE8 compression needs 8 bits per pixel, not 4");
    b.BadEdited(
        "rle4-at-8-bits", pal8, [](auto& f) { Put32(f, 30, kRle4); }, "RLE4 compression needs 4");
    b.BadEdited(
        "masks-at-24-bits", Direct(Header::V3, 3, 3, 24, kRgb), [](auto& f) { Put32(f, 30, kBitfields); },
        "colour masks need 16 or 32 bits per pixel, not 24");

    // Colour masks that are missing, cut or impossible.
    const Picture rgb16 = Direct(Header::V3, 3, 3, 16, kRgb);
    b.BadEdited(
        "masks-missing", rgb16, [](auto& f) { Put32(f, 30, kBitfields); }, "the colour masks are missing");
    std::vector<uint8_t> cutMasks = Write(Direct(Header::V3, 3, 3, 16, kBitfields, {0xF800, 0x07E0, 0x001F}));
    cutMasks.resize(60);
    b.Bad("masks-cut", cutMasks, "file is truncated");
    for (auto [name, masks, reason] :
         {std::tuple{"mask-empty", std::vector<uint32_t>{0xF800, 0, 0x001F}, "the green colour mask is empty"},
          std::tuple{"mask-gaps", std::vector<uint32_t>{0xF0F0, 0x0700, 0x0008}, "the red colour mask is not one run"},
          std::tuple{"mask-too-wide", std::vector<uint32_t>{0x1F0000, 0x07E0, 0x001F}, "does not fit in 16 bits"},
          std::tuple{"masks-overlap", std::vector<uint32_t>{0xFF00, 0x0FF0, 0x000F}, "the colour masks overlap"}})
        b.Bad(name, Write(Direct(Header::V3, 3, 3, 16, kBitfields, masks)), reason);

    // Offsets outside the file or inside the headers; palettes that do not fit.
    b.BadEdited(
        "offset-0", pal8, [](auto& f) { Put32(f, 10, 0); }, "pixel data offset 0 lies outside the file");
    b.BadEdited(
        "offset-past-end", pal8, [](auto& f) { Put32(f, 10, 0x7FFFFF30); }, "lies outside the file");
    b.BadEdited(
        "offset-in-headers", pal8, [](auto& f) { Put32(f, 10, 20); }, "lies inside the headers");
    b.BadEdited(
        "palette-300", pal8, [](auto& f) { Put32(f, 46, 300); }, "palette size 300 is too large");
    b.BadEdited(
        "important-colours", pal8,
        [](auto& f) {
            Put32(f, 46, 4);
            Put32(f, 50, 5);
        },
        "important colour count 5 exceeds");
    Picture noPalette = Indexed(Header::Core, 5, 3, 8);
    noPalette.palette.clear();
    b.Bad("palette-missing", Write(noPalette), "the palette is missing");
    b.BadEdited(
        "palette-overlaps-pixels", Indexed(Header::V3, 5, 3, 4), [](auto& f) { Put32(f, 10, 62); },
        "overlaps the pixel data");
    std::vector<uint8_t> cutPalette = good;
    Put32(cutPalette, 10, 70);
    cutPalette.resize(90);
    Put32(cutPalette, 2, 90);
    b.Bad("palette-cut", cutPalette, "palette is truncated");
    std::vector<uint8_t> cutPixels = good;
    cutPixels.resize(cutPixels.size() - 9);
    b.Bad("pixels-cut", cutPixels, "file is truncated");
    Picture badIndex = pal8;
    badIndex.palette.resize(4);
    badIndex.colorsUsed = 4;
    badIndex.values.assign(badIndex.values.size(), 1);
    badIndex.values[7] = 200;
    b.Bad("index-beyond-palette", Write(badIndex), "pixel (2, 1) uses colour 200, beyond the palette's 4 entries");

    // Run-length data that escapes its rows, its picture or its file.
    Picture rle;
    rle.width = 2;
    rle.height = 2;
    rle.compression = kRle8;
    rle.palette = {0x000000, 0xFF0000};
    rle.colorsUsed = 2;
    for (auto [name, data, reason] : {
             std::tuple{"rle-past-row-end", std::vector<uint8_t>{5, 1, 0, 1}, "runs past the end of row 1"},
             std::tuple{"rle-past-last-row", std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 2, 1, 0, 1},
                        "continues past the last row"},
             std::tuple{"rle-no-end", std::vector<uint8_t>{2, 1}, "without an end-of-picture marker"},
             std::tuple{"rle-cut", std::vector<uint8_t>{2, 1, 0}, "run-length data is truncated"},
             std::tuple{"rle-cut-move", std::vector<uint8_t>{0, 2, 1}, "truncated in a move"},
             std::tuple{"rle-move-out", std::vector<uint8_t>{0, 2, 5, 0, 0, 1}, "move leaves the picture"},
             std::tuple{"rle-move-below", std::vector<uint8_t>{0, 2, 0, 3, 0, 1}, "move leaves the picture"},
             std::tuple{"rle-cut-literal", std::vector<uint8_t>{0, 5, 1, 1}, "truncated in a literal run"},
             std::tuple{"rle-index-beyond-palette", std::vector<uint8_t>{2, 7, 0, 1}, "uses colour 7"},
         }) {
        rle.rle = data;
        b.Bad(name, Write(rle), reason);
    }
    rle.rle = {2, 1, 0, 0, 2, 1, 0, 1};
    rle.topDown = true;
    b.Bad("rle-top-down", Write(rle), "cannot be stored top-down");
}

// Well-formed files damaged at random in their headers and data: whatever
// the reader makes of them, it must not crash, hang or read out of bounds.
void Mutations(Builder& b, int count)
{
    std::mt19937 random(90417);
    std::vector<std::vector<uint8_t>> goods;
    for (const Sample& s : b.Done())
        if (s.expect == Expect::Load)
            goods.push_back(s.bytes);
    const uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFF, 0x10000};
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> f = goods[size_t(i) % goods.size()];
        for (uint32_t edits = 1 + random() % 4; edits > 0 && !f.empty(); --edits) {
            const size_t headers = std::min<size_t>(f.size(), 80);
            switch (random() % 4) {
            case 0: // one byte anywhere
                f[random() % f.size()] = uint8_t(random());
                break;
            case 1: // a header field set to a limit
                if (headers >= 4)
                    Put32(f, random() % (headers - 3), extremes[random() % std::size(extremes)]);
                break;
            case 2: // cut short
                f.resize(random() % f.size());
                break;
            default: // a byte of the headers
                f[random() % headers] = uint8_t(random());
            }
        }
        b.Mutated(std::to_string(1000 + i), std::move(f));
    }
}

std::vector<Sample> Build()
{
    Builder b;
    WellFormed(b);
    Damaged(b);
    Mutations(b, 600);
    return b.Take();
}

} // namespace

const std::vector<Sample>& Samples()
{
    static const std::vector<Sample> samples = Build();
    return samples;
}

const Sample& SampleNamed(const std::string& name)
{
    for (const Sample& s : Samples())
        if (s.name == name)
            return s;
    throw std::out_of_range("no BMP sample named " + name);
}

size_t WriteSamples(const std::filesystem::path& folder)
{
    for (const Sample& s : Samples()) {
        const std::filesystem::path path = folder / s.name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(s.bytes.data()), std::streamsize(s.bytes.size()));
        if (!out.flush())
            throw std::runtime_error("cannot write " + path.string());
    }
    return Samples().size();
}

} // namespace bmptest
