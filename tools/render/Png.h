// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// PNG output of bitmaps: 8-bit RGB, one IHDR, one IDAT compressed with zlib,
// IEND. Only the first three bytes of a pixel count (a 32-bit bitmap's fourth
// byte is ignored); palette bitmaps are written with their colours looked up.
#pragma once

#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmia::render {

std::vector<uint8_t> EncodePng(const vcl::TBitmap& bitmap);

// Writes the PNG to `path` through a temporary file in the same folder that is
// renamed over it. Throws std::runtime_error naming the path and the reason.
void WritePngFile(const std::string& path, const vcl::TBitmap& bitmap);

} // namespace velmia::render
