// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "BmpTestUtil.h"

#include <fstream>
#include <iterator>

#ifdef VELMIA_QT_ORACLE
#include <QByteArray>
#include <QImage>
#endif

namespace bmptest {

void Poke32(std::vector<uint8_t>& f, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f.at(at + i) = uint8_t(v >> (8 * i));
}

void Poke16(std::vector<uint8_t>& f, size_t at, uint16_t v)
{
    f.at(at) = uint8_t(v);
    f.at(at + 1) = uint8_t(v >> 8);
}

std::vector<uint8_t> MakeFile(const FileSpec& s)
{
    const size_t off = 14 + 40 + s.masks.size() * 4 + s.palette.size();
    std::vector<uint8_t> f(off + s.pixels.size(), 0);
    f[0] = 'B';
    f[1] = 'M';
    Poke32(f, 2, uint32_t(f.size()));
    Poke32(f, 10, uint32_t(off));
    Poke32(f, 14, 40);
    Poke32(f, 18, uint32_t(s.width));
    Poke32(f, 22, uint32_t(s.height));
    Poke16(f, 26, 1);
    Poke16(f, 28, s.bits);
    Poke32(f, 30, s.compression);
    Poke32(f, 34, uint32_t(s.pixels.size()));
    Poke32(f, 38, 2835);
    Poke32(f, 42, 2835);
    Poke32(f, 46, s.colorsUsed);
    size_t at = 54;
    for (uint32_t m : s.masks) {
        Poke32(f, at, m);
        at += 4;
    }
    std::copy(s.palette.begin(), s.palette.end(), f.begin() + long(at));
    std::copy(s.pixels.begin(), s.pixels.end(), f.begin() + long(off));
    return f;
}

unsigned IndexAt(const vcl::TBitmap& b, int32_t x, int32_t y)
{
    const uint8_t* row = b.ScanLine(y);
    switch (vcl::BitsPerPixel(b.GetPixelFormat())) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    default:
        return row[x];
    }
}

std::vector<uint32_t> ToRgb(const vcl::TBitmap& b)
{
    std::vector<uint32_t> out;
    out.reserve(size_t(b.GetWidth()) * size_t(b.GetHeight()));
    const int bits = vcl::BitsPerPixel(b.GetPixelFormat());
    const vcl::TPalette& pal = b.GetPalette();
    for (int32_t y = 0; y < b.GetHeight(); ++y) {
        const uint8_t* row = b.ScanLine(y);
        for (int32_t x = 0; x < b.GetWidth(); ++x) {
            if (bits <= 8) {
                const unsigned i = IndexAt(b, x, y);
                const vcl::TPaletteEntry e = i < pal.size() ? pal[i] : vcl::TPaletteEntry{};
                out.push_back(uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue);
            } else {
                const uint8_t* p = row + size_t(x) * size_t(bits / 8);
                out.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
            }
        }
    }
    return out;
}

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#ifdef VELMIA_QT_ORACLE
bool HaveOracle()
{
    return true;
}

std::optional<OracleImage> OracleDecode(const std::vector<uint8_t>& file)
{
    QImage q;
    if (!q.loadFromData(QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size())), "BMP"))
        return std::nullopt;
    q = q.convertToFormat(QImage::Format_ARGB32);
    OracleImage o{q.width(), q.height(), {}};
    o.rgb.reserve(size_t(q.width()) * size_t(q.height()));
    for (int y = 0; y < q.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(q.constScanLine(y));
        for (int x = 0; x < q.width(); ++x)
            o.rgb.push_back(line[x] & 0xFFFFFF);
    }
    return o;
}
#else
bool HaveOracle()
{
    return false;
}
std::optional<OracleImage> OracleDecode(const std::vector<uint8_t>&)
{
    return std::nullopt;
}
#endif

} // namespace bmptest
