// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Fuzz entry point for the BMP reader.
//
// Any input must either be refused with a BmpError that gives a reason, or
// load into a picture that survives a write and a second read unchanged.
#include "toolkit/BmpCodec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_bmp_reader: %s\n", what);
    std::abort();
}

bool SamePixels(const vcl::TBitmap& a, const vcl::TBitmap& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetPixelFormat() != b.GetPixelFormat())
        return false;
    const size_t used = (size_t(a.GetWidth()) * size_t(vcl::BitsPerPixel(a.GetPixelFormat())) + 7) / 8;
    for (int32_t y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.Bits() + size_t(y) * a.RowBytes(), b.Bits() + size_t(y) * b.RowBytes(), used) != 0)
            return false;
    return true;
}

bool SamePalette(const vcl::TPalette& a, const vcl::TPalette& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].peRed != b[i].peRed || a[i].peGreen != b[i].peGreen || a[i].peBlue != b[i].peBlue)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vcl::TBitmap first;
    try {
        vcl::DecodeBmp(std::span<const uint8_t>(data, size), first, "fuzz");
    } catch (const vcl::BmpError& e) {
        if (e.Reason().empty())
            Fail("refusal without a reason");
        return 0;
    }
    if (first.Empty())
        Fail("loaded an empty picture");
    const std::vector<uint8_t> encoded = vcl::EncodeBmp(first);
    vcl::TBitmap second;
    try {
        vcl::DecodeBmp(encoded, second, "fuzz-reencoded");
    } catch (const vcl::BmpError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        Fail("a written picture could not be read back");
    }
    if (!SamePixels(first, second) || !SamePalette(first.GetPalette(), second.GetPalette()))
        Fail("a written picture reads back different");
    return 0;
}
