// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/soak/PartFolder.h"

#include "toolkit/BmpCodec.h"
#include "toolkit/Graphics.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace velmia::soak {

namespace {

constexpr const char* kVariantNames[] = {"default", "extra", "small", "large", "pal", "bad"};

// Channel values of the 3-3-2 palette; the top level of each is 255, so pure
// white stays pure white (the transparent colour of every layer).
uint8_t Level(int index, int levels)
{
    return uint8_t(index * 255 / (levels - 1));
}

int Nearest(uint8_t value, int levels)
{
    return (value * (levels - 1) + 127) / 255;
}

// Pixel (x, y) of a 24-bit bitmap as blue, green, red.
uint8_t* Pixel(vcl::TBitmap& b, int x, int y)
{
    return b.ScanLine(y) + 3 * x;
}

} // namespace

const char* VariantName(Variant v)
{
    return kVariantNames[size_t(v)];
}

const std::vector<PartKind>& PartKinds()
{
    static const std::vector<PartKind> kinds = {
        {"co", "vlm_co.bmp"},
        {"ca", "vlm_ca.bmp"},
        {"hb", "vlm_hb.bmp"},
        {"fl", "vlm_fl.bmp"},
        {"ri", "vlm_ri.bmp"},
        {"ch", "vlm_ch.bmp"},
        {"scenelist", "vlm_scene_list.bmp"},
    };
    return kinds;
}

std::string PartFolder::VariantFile(const PartKind& kind, Variant v)
{
    if (v == Variant::Default)
        return kind.baseFile;
    return std::string("vlm_") + kind.key + "_" + VariantName(v) + ".bmp";
}

std::string PartFolder::ReferenceFile(const PartKind& kind, Variant v)
{
    if (v != Variant::Smaller && v != Variant::Larger && v != Variant::Paletted)
        return {};
    return std::string("ref/") + kind.key + "_" + VariantName(v) + ".bmp";
}

std::vector<std::string> PartFolder::WritableSaves()
{
    return {"saves/a.bmp", "saves/b.bmp", "saves/c"};
}

std::vector<std::string> PartFolder::UnwritableSaves()
{
    // A folder that does not exist, and a "folder" that is a regular file:
    // both fail whoever runs the program.
    return {"missing/x.bmp", "vlm_co.bmp/x.bmp"};
}

PartFolder::PartFolder(const fs::path& artwork)
{
    std::string pattern = (fs::temp_directory_path() / "velmia-soak-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error(pattern + ": " + std::strerror(errno));
    path_ = pattern;
    for (const auto& entry : fs::directory_iterator(artwork)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("vlm_", 0) == 0 && entry.path().extension() == ".bmp")
            fs::copy_file(entry.path(), path_ / name);
    }
    fs::create_directory(path_ / "ref");
    fs::create_directory(path_ / "saves");
    for (const PartKind& kind : PartKinds())
        MakeVariants(kind);
    // More chokers than one browser screen shows, so that its pages turn;
    // their names sort after every other choker's.
    for (int i = 1; i <= kPagingChokers; ++i)
        fs::copy_file(path_ / "vlm_ch.bmp", path_ / ("vlm_chz" + std::to_string(10 + i) + ".bmp"));
}

PartFolder::~PartFolder()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void PartFolder::MakeVariants(const PartKind& kind)
{
    vcl::TBitmap base;
    vcl::ReadBmpFile((path_ / kind.baseFile).string(), base);
    base.SetPixelFormat(vcl::pf24bit);
    const int w = base.GetWidth();
    const int h = base.GetHeight();
    auto write = [&](const std::string& name, const vcl::TBitmap& b) { vcl::WriteBmpFile((path_ / name).string(), b); };

    // Extra: the same shapes in other colours (red and blue exchanged).
    vcl::TBitmap extra;
    extra.Assign(base);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::swap(Pixel(extra, x, y)[0], Pixel(extra, x, y)[2]);
    write(VariantFile(kind, Variant::Extra), extra);

    // Smaller: the top-left two thirds; its reference is padded with white.
    const int sw = std::max(1, w * 2 / 3), sh = std::max(1, h * 2 / 3);
    vcl::TBitmap small(sw, sh, vcl::pf24bit);
    vcl::TBitmap padded(w, h, vcl::pf24bit);
    for (int y = 0; y < h; ++y)
        std::memset(padded.ScanLine(y), 0xFF, size_t(3 * w));
    for (int y = 0; y < sh; ++y) {
        std::memcpy(small.ScanLine(y), base.ScanLine(y), size_t(3 * sw));
        std::memcpy(padded.ScanLine(y), base.ScanLine(y), size_t(3 * sw));
    }
    write(VariantFile(kind, Variant::Smaller), small);
    write(ReferenceFile(kind, Variant::Smaller), padded);

    // Larger: the picture with a patterned margin right and below; its
    // reference is the crop back to the part's size, the picture itself.
    const int lw = w + 37, lh = h + 29;
    vcl::TBitmap large(lw, lh, vcl::pf24bit);
    for (int y = 0; y < lh; ++y)
        for (int x = 0; x < lw; ++x) {
            uint8_t* p = Pixel(large, x, y);
            if (x < w && y < h) {
                std::memcpy(p, Pixel(base, x, y), 3);
            } else {
                p[0] = uint8_t(x * 7 + y);
                p[1] = uint8_t(x ^ y);
                p[2] = uint8_t(y * 5);
            }
        }
    write(VariantFile(kind, Variant::Larger), large);
    write(ReferenceFile(kind, Variant::Larger), base);

    // Paletted: 8 bits over a 3-3-2 palette; its reference holds the same
    // colours in 24 bits.
    vcl::TPalette palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[i].peRed = Level(i >> 5, 8);
        palette[i].peGreen = Level((i >> 2) & 7, 8);
        palette[i].peBlue = Level(i & 3, 4);
    }
    vcl::TBitmap paletted(w, h, vcl::pf8bit);
    paletted.SetPalette(palette);
    vcl::TBitmap expanded(w, h, vcl::pf24bit);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = paletted.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = Pixel(base, x, y);
            const int index = (Nearest(p[2], 8) << 5) | (Nearest(p[1], 8) << 2) | Nearest(p[0], 4);
            row[x] = uint8_t(index);
            uint8_t* q = Pixel(expanded, x, y);
            q[0] = palette[index].peBlue;
            q[1] = palette[index].peGreen;
            q[2] = palette[index].peRed;
        }
    }
    write(VariantFile(kind, Variant::Paletted), paletted);
    write(ReferenceFile(kind, Variant::Paletted), expanded);

    // Unreadable: a bitmap header followed by nonsense.
    std::ofstream bad(path_ / VariantFile(kind, Variant::Unreadable), std::ios::binary);
    const char junk[] = "BM\x10\x00\x00\x00 not a picture at all";
    bad.write(junk, sizeof(junk) - 1);
    if (!bad)
        throw std::runtime_error("cannot write " + VariantFile(kind, Variant::Unreadable));
}

} // namespace velmia::soak
