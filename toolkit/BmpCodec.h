// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Reading and writing Windows BMP files.
//
// Reading accepts core (12-byte) and 40/52/56/108/124-byte info headers and
// the OS/2 16/64-byte ones; 1, 2, 4, 8, 16, 24 and 32 bits per pixel;
// uncompressed, RLE4, RLE8 and bit fields (with or without alpha); bottom-up
// and top-down rows. 1/4/8-bit files keep their palette and format (2-bit ones
// become 4-bit), 24-bit stays 24-bit, 32-bit stays 32-bit (a mask-less file
// keeps its fourth byte; with masks the fourth byte is the alpha, 0 without);
// 16-bit files become 24-bit (32-bit when they carry an alpha mask). A picture
// whose alpha is in use (an alpha mask and a pixel whose alpha is not 0) says
// so (TBitmap::HasAlpha). Pixels an RLE stream leaves out (moves, early end of
// line or picture) get index 0.
//
// Anything that cannot be read completely and safely is refused with a
// BmpError naming the reason: truncated headers, palettes or pixel data, sizes
// beyond kMaxBmpPixels or kMaxBitmapSide, offsets outside the file, RLE data that runs outside
// the picture or ends without its end marker, compressed top-down pictures,
// invalid colour masks, and colour indices beyond the file's palette (the file
// is damaged; guessing a colour for them would hide that).
//
// As other readers do, the fields giving the file's length and the pixel
// data's length are ignored when all the pixels are there, and an RLE run may
// cover the padding of its row (as far as an uncompressed row of the same
// width is padded to 4 bytes); the pixels in the padding are dropped.
//
// Writing produces bottom-up uncompressed files (with a palette for 1/4/8-bit;
// a picture with alpha gets a version 4 header with its colour masks, the
// alpha's included) and is atomic: the file is encoded in memory, written to a
// temporary file in the same folder, flushed and renamed over the target. A
// file with other names (hard links) is overwritten in place instead, so that
// all its names show the new picture; its old bytes are kept in a copy beside
// it until the new ones are on disk, and put back when the write fails.
#pragma once

#include "toolkit/Graphics.h"
#include "toolkit/Types.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vcl {

// A refused file. what() reads "<file>: <reason>"; Reason() is the bare reason.
class BmpError : public EInvalidGraphic {
public:
    BmpError(const std::string& file, const std::string& reason);
    const std::string& Reason() const { return reason_; }
    const std::string& File() const { return file_; }

private:
    std::string file_;
    std::string reason_;
};

// Decodes a whole file held in memory into `out` (replaced only on success).
// `name` is used in error messages. Throws BmpError.
void DecodeBmp(std::span<const uint8_t> data, TBitmap& out, const std::string& name = "<memory>");

// Reads and decodes a file. The headers are read and checked first: a file
// that is not a picture this program reads is refused without reading the
// rest, and of the rest only the bytes the pixels need are read. A file whose
// bytes and picture together need more than `memoryLimit` bytes, or more than
// the system can give, is refused as too large for the memory. Throws BmpError
// (unreadable files included).
void ReadBmpFile(const std::string& path, TBitmap& out, size_t memoryLimit = SIZE_MAX);

// Encodes a bitmap as a bottom-up BMP file image.
std::vector<uint8_t> EncodeBmp(const TBitmap& bmp);

// Encodes and writes atomically. Throws EFileError naming the path and the
// system's reason; the previous file is then untouched. An existing file
// whose owner has no write permission (or that this user may not write) is
// refused as read-only, even where the folder would allow replacing it.
void WriteBmpFile(const std::string& path, const TBitmap& bmp);

// Largest picture the reader accepts, in pixels.
constexpr int64_t kMaxBmpPixels = kMaxBitmapPixels;

} // namespace vcl
