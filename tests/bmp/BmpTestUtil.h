// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Helpers shared by the BMP tests: building small files by hand, turning
// bitmaps into plain RGB, and the optional Qt reader used as an oracle.
#pragma once

#include "toolkit/Graphics.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bmptest {

// Fields of a hand-made file with a 40-byte info header. `masks` (3 or 4
// values) follow the header, then `palette` (blue, green, red, 0 per entry),
// then `pixels`. Offsets and sizes are filled in.
struct FileSpec {
    int32_t width = 4;
    int32_t height = 2;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> pixels;
};

std::vector<uint8_t> MakeFile(const FileSpec& s);

// Little-endian field access into a file image.
void Poke32(std::vector<uint8_t>& f, size_t at, uint32_t v);
void Poke16(std::vector<uint8_t>& f, size_t at, uint16_t v);

// Pixels as 0xRRGGBB, rows top-down.
std::vector<uint32_t> ToRgb(const vcl::TBitmap& b);

// Index of pixel (x, y) of a 1/4/8-bit bitmap.
unsigned IndexAt(const vcl::TBitmap& b, int32_t x, int32_t y);

std::vector<uint8_t> ReadAll(const std::string& path);

// Decoded by Qt as 0xRRGGBB with width and height; nullopt when Qt is not
// built in or cannot read the data.
struct OracleImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> rgb;
};
bool HaveOracle();
std::optional<OracleImage> OracleDecode(const std::vector<uint8_t>& file);

} // namespace bmptest
