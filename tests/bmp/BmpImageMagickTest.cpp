// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Files as a mainstream tool writes them: ImageMagick's convert writes a
// picture in every header, depth and compression it offers for BMP during the
// test, and each file must load with exactly the picture's pixels. (The
// installed convert offers no RLE4: asked for it, it writes RLE8.)
#include "BmpTestUtil.h"
#include "toolkit/BmpCodec.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
using namespace bmptest;

namespace {

constexpr int32_t kWidth = 37; // no row length a multiple of 4: every depth has row padding
constexpr int32_t kHeight = 23;

// The pictures given to convert, as 0xAARRGGBB, rows top-down.
enum class Source { BlackWhite, Two, Sixteen, Many, Full, Alpha, Primaries, PrimariesAlpha };

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255)
{
    return a << 24 | (r & 255) << 16 | (g & 255) << 8 | (b & 255);
}

uint32_t PixelOf(Source s, uint32_t x, uint32_t y)
{
    auto paletteEntry = [](uint32_t colours, uint32_t x, uint32_t y) {
        const uint32_t i = (x * 3 + y * 5 + x * y) % colours;
        return Rgb(i * 73 + 20, i * 151 + 90, i * 29 + 200);
    };
    const uint32_t on = 255;
    switch (s) {
    case Source::BlackWhite:
        return (x / 3 + y / 2) % 2 ? Rgb(on, on, on) : Rgb(0, 0, 0);
    case Source::Two:
        return paletteEntry(2, x, y);
    case Source::Sixteen:
        return paletteEntry(16, x, y);
    case Source::Many:
        return paletteEntry(200, x, y);
    case Source::Full:
        return Rgb(x * 7, y * 11, x * y * 3 + 40);
    case Source::Alpha:
        return Rgb(x * 7, y * 11, x * y * 3 + 40, x * 13 + y * 5);
    case Source::Primaries: // exact in 5 and 6 bits
        return Rgb(on * (x % 2), on * ((x / 2 + y) % 2), on * ((x + y / 3) % 2));
    case Source::PrimariesAlpha:
        return Rgb(on * (x % 2), on * ((x / 2 + y) % 2), on * ((x + y / 3) % 2), (x + y) % 3 ? on : 0);
    }
    return 0;
}

bool HasAlpha(Source s)
{
    return s == Source::Alpha || s == Source::PrimariesAlpha;
}

// Writes the picture as PPM, or as PAM with alpha.
void WriteSource(Source s, const fs::path& path)
{
    std::ofstream out(path, std::ios::binary);
    const bool alpha = HasAlpha(s);
    if (alpha)
        out << "P7\nWIDTH " << kWidth << "\nHEIGHT " << kHeight
            << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    else
        out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint32_t p = PixelOf(s, uint32_t(x), uint32_t(y));
            out.put(char(p >> 16)).put(char(p >> 8)).put(char(p));
            if (alpha)
                out.put(char(p >> 24));
        }
}

// Runs a program found on PATH; its exit status, or -errno when it cannot start.
int RunProgram(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (const int err = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ))
        return -err;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

struct Written {
    const char* name;
    const char* format; // convert's output prefix: BMP3 (40-byte header), BMP2 (OS/2 12-byte), BMP (v4/v5)
    Source source;
    std::vector<std::string> options;
    uint32_t headerSize; // what convert writes, so that every variant is really covered
    int fileBits;
    uint32_t compression; // 0 plain, 1 RLE8, 3 colour masks
    vcl::TPixelFormat loaded;
    // Set when convert writes a file no reader can decode faithfully: part of
    // the reason it is refused with.
    const char* refused = nullptr;
};

const Written kWritten[] = {
    {"Bmp3OneBit", "BMP3", Source::Two, {"+dither", "-colors", "2"}, 40, 1, 0, vcl::pf1bit},
    {"Bmp3FourBits", "BMP3", Source::Sixteen, {"+dither", "-colors", "16"}, 40, 4, 0, vcl::pf4bit},
    {"Bmp3EightBits", "BMP3", Source::Many, {"+dither", "-colors", "256", "-compress", "None"}, 40, 8, 0, vcl::pf8bit},
    {"Bmp3Rle8", "BMP3", Source::Many, {"+dither", "-colors", "256", "-compress", "RLE"}, 40, 8, 1, vcl::pf8bit},
    {"Bmp3Rle8TwoColours", "BMP3", Source::Two, {"+dither", "-colors", "2", "-compress", "RLE"}, 40, 8, 1, vcl::pf8bit},
    {"Bmp3Rle4Asked", "BMP3", Source::Sixteen, {"+dither", "-colors", "16", "-compress", "RLE"}, 40, 8, 1, vcl::pf8bit},
    {"Bmp3TwentyFourBits", "BMP3", Source::Full, {"-type", "TrueColor"}, 40, 24, 0, vcl::pf24bit},
    // With 16 bits and the 40-byte header convert states colour masks but
    // leaves them out: the pixels follow the header, and whether they are
    // 5-6-5 or 5-5-5 is not in the file.
    {"Bmp3Rgb565",
     "BMP3",
     Source::Primaries,
     {"-define", "bmp:subtype=RGB565"},
     40,
     16,
     3,
     vcl::pf24bit,
     "the colour masks are missing"},
    {"Bmp3Rgb555",
     "BMP3",
     Source::Primaries,
     {"-define", "bmp:subtype=RGB555"},
     40,
     16,
     3,
     vcl::pf24bit,
     "the colour masks are missing"},
    {"Bmp2OneBit", "BMP2", Source::Two, {"+dither", "-colors", "2"}, 12, 1, 0, vcl::pf1bit},
    {"Bmp2FourBits", "BMP2", Source::Sixteen, {"+dither", "-colors", "16"}, 12, 4, 0, vcl::pf4bit},
    {"Bmp2EightBits", "BMP2", Source::Many, {"+dither", "-colors", "256"}, 12, 8, 0, vcl::pf8bit},
    {"Bmp2TwentyFourBits", "BMP2", Source::Full, {"-type", "TrueColor"}, 12, 24, 0, vcl::pf24bit},
    {"Bmp2Rgb555", "BMP2", Source::Primaries, {"-define", "bmp:subtype=RGB555"}, 12, 16, 0, vcl::pf24bit},
    {"Bmp4Bilevel", "BMP", Source::BlackWhite, {"-type", "Bilevel"}, 108, 1, 0, vcl::pf1bit},
    {"Bmp5OneBit", "BMP", Source::Two, {"+dither", "-colors", "2"}, 124, 1, 0, vcl::pf1bit},
    {"Bmp5FourBits", "BMP", Source::Sixteen, {"+dither", "-colors", "16"}, 124, 4, 0, vcl::pf4bit},
    {"Bmp5EightBits", "BMP", Source::Many, {"+dither", "-colors", "256", "-compress", "None"}, 124, 8, 0, vcl::pf8bit},
    {"Bmp5Rle8", "BMP", Source::Many, {"+dither", "-colors", "256", "-compress", "RLE"}, 124, 8, 1, vcl::pf8bit},
    {"Bmp5TwentyFourBits", "BMP", Source::Full, {"-type", "TrueColor"}, 124, 24, 0, vcl::pf24bit},
    {"Bmp5ThirtyTwoBitsAlpha", "BMP", Source::Alpha, {}, 124, 32, 3, vcl::pf32bit},
    {"Bmp5Rgb565", "BMP", Source::Primaries, {"-define", "bmp:subtype=RGB565"}, 124, 16, 3, vcl::pf24bit},
    {"Bmp5Rgb555", "BMP", Source::Primaries, {"-define", "bmp:subtype=RGB555"}, 124, 16, 3, vcl::pf24bit},
    {"Bmp5Argb4444", "BMP", Source::PrimariesAlpha, {"-define", "bmp:subtype=ARGB4444"}, 124, 16, 3, vcl::pf32bit},
    {"Bmp5Argb1555", "BMP", Source::PrimariesAlpha, {"-define", "bmp:subtype=ARGB1555"}, 124, 16, 3, vcl::pf32bit},
};

class BmpImageMagick : public ::testing::TestWithParam<Written> {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("bmp-imagemagick-" + std::to_string(::getpid()) + "-" + GetParam().name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST_P(BmpImageMagick, FileLoadsWithThePicturesPixels)
{
    const Written& w = GetParam();
    const fs::path source = dir_ / (HasAlpha(w.source) ? "source.pam" : "source.ppm");
    const fs::path file = dir_ / "written.bmp";
    WriteSource(w.source, source);
    std::vector<std::string> args{"convert", source.string()};
    args.insert(args.end(), w.options.begin(), w.options.end());
    args.push_back(std::string(w.format) + ":" + file.string());
    const int status = RunProgram(args);
    ASSERT_NE(status, -ENOENT) << "ImageMagick's convert is missing (scripts/install-deps installs imagemagick)";
    ASSERT_EQ(status, 0) << "convert failed";

    const std::vector<uint8_t> bytes = ReadAll(file.string());
    ASSERT_GE(bytes.size(), 54u);
    const uint32_t headerSize = bytes[14] | uint32_t(bytes[15]) << 8;
    const bool core = headerSize == 12;
    EXPECT_EQ(headerSize, w.headerSize);
    EXPECT_EQ(bytes[core ? 24 : 28], w.fileBits);
    EXPECT_EQ(core ? 0u : bytes[30], w.compression);

    vcl::TBitmap b;
    try {
        vcl::ReadBmpFile(file.string(), b);
        ASSERT_EQ(w.refused, nullptr) << "loaded";
    } catch (const vcl::BmpError& e) {
        ASSERT_NE(w.refused, nullptr) << "refused: " << e.Reason();
        EXPECT_NE(e.Reason().find(w.refused), std::string::npos) << e.Reason();
        return;
    }
    ASSERT_EQ(b.GetWidth(), kWidth);
    ASSERT_EQ(b.GetHeight(), kHeight);
    EXPECT_EQ(b.GetPixelFormat(), w.loaded);
    const std::vector<uint32_t> rgb = ToRgb(b);
    size_t bad = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint32_t want = PixelOf(w.source, uint32_t(x), uint32_t(y));
            uint32_t got = rgb[size_t(y) * kWidth + size_t(x)];
            if (w.loaded == vcl::pf32bit)
                got |= uint32_t(b.ScanLine(y)[x * 4 + 3]) << 24;
            else
                got |= 0xFF000000u;
            if (got != want && bad++ < 3)
                ADD_FAILURE() << "pixel " << x << ", " << y << ": " << std::hex << got << ", picture " << want;
        }
    EXPECT_EQ(bad, 0u);
}

INSTANTIATE_TEST_SUITE_P(Convert, BmpImageMagick, ::testing::ValuesIn(kWritten),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
