// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/render/Png.h"

#include "toolkit/Intl.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <zlib.h>

namespace velmia::render {

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

// Length, type, data, CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    PutU32(out, uint32_t(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeAt, uInt(out.size() - typeAt));
    PutU32(out, uint32_t(crc));
}

// Each row: filter byte 1 ("Sub": every byte minus the byte of the pixel to
// its left), then red, green, blue.
std::vector<uint8_t> FilteredRows(const vcl::TBitmap& bitmap)
{
    const int w = bitmap.GetWidth();
    const int h = bitmap.GetHeight();
    std::vector<uint8_t> raw;
    raw.reserve(size_t(h) * (1 + 3 * size_t(w)));
    const bool direct = bitmap.GetPixelFormat() == vcl::pf24bit || bitmap.GetPixelFormat() == vcl::pf32bit;
    const int step = bitmap.GetPixelFormat() == vcl::pf32bit ? 4 : 3;
    for (int y = 0; y < h; ++y) {
        raw.push_back(1);
        uint8_t left[3] = {0, 0, 0};
        const uint8_t* row = direct ? bitmap.ScanLine(y) : nullptr;
        for (int x = 0; x < w; ++x) {
            uint8_t rgb[3];
            if (direct) {
                const uint8_t* p = row + size_t(step) * x;
                rgb[0] = p[2];
                rgb[1] = p[1];
                rgb[2] = p[0];
            } else {
                const vcl::TColor c = bitmap.GetPixelColor(x, y);
                rgb[0] = uint8_t(c);
                rgb[1] = uint8_t(c >> 8);
                rgb[2] = uint8_t(c >> 16);
            }
            for (int k = 0; k < 3; ++k) {
                raw.push_back(uint8_t(rgb[k] - left[k]));
                left[k] = rgb[k];
            }
        }
    }
    return raw;
}

} // namespace

std::vector<uint8_t> EncodePng(const vcl::TBitmap& bitmap)
{
    if (bitmap.Empty())
        throw std::runtime_error(_("an empty picture cannot be written as PNG"));
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

    std::vector<uint8_t> header;
    PutU32(header, uint32_t(bitmap.GetWidth()));
    PutU32(header, uint32_t(bitmap.GetHeight()));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, filters, no interlace
    PutChunk(out, "IHDR", header);

    const std::vector<uint8_t> raw = FilteredRows(bitmap);
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        throw std::runtime_error(_("the picture could not be compressed"));
    packed.resize(packedSize);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

void WritePngFile(const std::string& path, const vcl::TBitmap& bitmap)
{
    const std::vector<uint8_t> data = EncodePng(bitmap);
    const std::string temporary = path + ".part";
    auto fail = [&](int err) {
        std::remove(temporary.c_str());
        throw std::runtime_error(vcl::Format(_("cannot write \"%s\": %s"), path, std::strerror(err)));
    };
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        fail(errno);
    const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const int err = errno;
    if (std::fclose(f) != 0 || !written)
        fail(written ? errno : err);
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        fail(errno);
}

} // namespace velmia::render
