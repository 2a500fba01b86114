// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// BMP reader and writer on hand-made files: round trips for every depth the
// writer produces, refusal of damaged headers and data, run-length semantics,
// and the atomic save.
#include "toolkit/BmpCodec.h"

#include "BmpTestUtil.h"
#include "toolkit/PixelHeap.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace bmptest;

namespace {

// ---------------------------------------------------------------------------
// Round trips

// A bitmap of the given format filled with a fixed pseudo-random pattern;
// palette formats get a palette of `colours` entries and only use those.
std::unique_ptr<vcl::TBitmap> Pattern(vcl::TPixelFormat f, int32_t w, int32_t h, size_t colours)
{
    auto b = std::make_unique<vcl::TBitmap>(w, h, f);
    const int bits = vcl::BitsPerPixel(f);
    if (bits <= 8) {
        vcl::TPalette p(colours);
        for (size_t i = 0; i < colours; ++i)
            p[i] = vcl::TPaletteEntry{uint8_t(i * 37 + 5), uint8_t(i * 91 + 7), uint8_t(255 - i * 13), 0};
        b->SetPalette(p);
    }
    uint32_t seed = 12345;
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = b->ScanLine(y);
        for (int32_t x = 0; x < w; ++x) {
            seed = seed * 1103515245 + 12345;
            const uint32_t r = seed >> 8;
            switch (bits) {
            case 1:
            case 4: {
                const unsigned v = r % colours, per = 8 / bits, shift = 8 - bits * (1 + x % per);
                row[x / per] = uint8_t((row[x / per] & ~(((1 << bits) - 1) << shift)) | v << shift);
                break;
            }
            case 8:
                row[x] = uint8_t(r % colours);
                break;
            default:
                for (int c = 0; c < bits / 8; ++c)
                    row[x * (bits / 8) + c] = uint8_t(r >> (c * 5));
            }
        }
    }
    return b;
}

struct RoundTrip {
    vcl::TPixelFormat format;
    int32_t width;
    size_t colours;
};

class BmpRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(BmpRoundTrip, WritesABottomUpFileThatReadsBackExactly)
{
    const RoundTrip p = GetParam();
    const auto original = Pattern(p.format, p.width, 5, p.colours);
    const std::vector<uint8_t> file = vcl::EncodeBmp(*original);

    const int bits = vcl::BitsPerPixel(p.format);
    EXPECT_EQ(file[14], 40) << "40-byte info header";
    EXPECT_EQ(file[22], 5) << "positive height: bottom-up rows";
    EXPECT_EQ(file[28], bits);
    const size_t rowBytes = (size_t(p.width) * size_t(bits) + 31) / 32 * 4;
    EXPECT_EQ(file.size(), 54 + (bits <= 8 ? p.colours * 4 : 0) + rowBytes * 5);

    vcl::TBitmap back;
    vcl::DecodeBmp(file, back);
    ASSERT_EQ(back.GetWidth(), p.width);
    ASSERT_EQ(back.GetHeight(), 5);
    ASSERT_EQ(back.GetPixelFormat(), p.format);
    ASSERT_EQ(back.GetPalette().size(), original->GetPalette().size());
    for (size_t i = 0; i < back.GetPalette().size(); ++i) {
        EXPECT_EQ(back.GetPalette()[i].peRed, original->GetPalette()[i].peRed);
        EXPECT_EQ(back.GetPalette()[i].peGreen, original->GetPalette()[i].peGreen);
        EXPECT_EQ(back.GetPalette()[i].peBlue, original->GetPalette()[i].peBlue);
    }
    for (int32_t y = 0; y < 5; ++y) {
        if (bits <= 8) {
            for (int32_t x = 0; x < p.width; ++x)
                ASSERT_EQ(IndexAt(back, x, y), IndexAt(*original, x, y)) << x << ", " << y;
        } else {
            const size_t used = size_t(p.width) * size_t(bits / 8);
            EXPECT_EQ(0, std::memcmp(back.ScanLine(y), original->ScanLine(y), used)) << "row " << y;
        }
    }

    // An independent reader sees the same colours.
    if (const auto oracle = OracleDecode(file)) {
        EXPECT_EQ(oracle->rgb, ToRgb(*original));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, BmpRoundTrip,
                         ::testing::Values(RoundTrip{vcl::pf1bit, 13, 2}, RoundTrip{vcl::pf1bit, 32, 2},
                                           RoundTrip{vcl::pf4bit, 7, 16}, RoundTrip{vcl::pf4bit, 9, 3},
                                           RoundTrip{vcl::pf8bit, 5, 256}, RoundTrip{vcl::pf8bit, 6, 20},
                                           RoundTrip{vcl::pf24bit, 3, 0}, RoundTrip{vcl::pf24bit, 4, 0},
                                           RoundTrip{vcl::pf32bit, 3, 0}));

// Indices beyond a bitmap's palette show black; the file written for it must
// still be readable and show the same.
TEST(BmpWrite, IndicesBeyondThePaletteGetBlackEntries)
{
    vcl::TBitmap b(3, 1, vcl::pf8bit);
    b.SetPalette(vcl::TPalette{{10, 20, 30, 0}, {40, 50, 60, 0}});
    b.ScanLine(0)[0] = 1;
    b.ScanLine(0)[1] = 200;
    b.ScanLine(0)[2] = 0;
    vcl::TBitmap back;
    vcl::DecodeBmp(vcl::EncodeBmp(b), back);
    EXPECT_EQ(back.GetPalette().size(), 201u);
    EXPECT_EQ(IndexAt(back, 1, 0), 200u);
    EXPECT_EQ(ToRgb(back), (std::vector<uint32_t>{0x28323C, 0, 0x0A141E}));
}

// ---------------------------------------------------------------------------
// Refusals

// An 8-bit 4 x 2 file with a four-colour palette; pixel indices 0..3.
FileSpec Small8()
{
    FileSpec s;
    s.colorsUsed = 4;
    s.palette = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    s.pixels = {0, 1, 2, 3, 3, 2, 1, 0};
    return s;
}

struct Damage {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
    const char* reason; // part of the expected reason
};

std::vector<uint8_t> Small8With(const std::function<void(std::vector<uint8_t>&)>& edit)
{
    std::vector<uint8_t> f = MakeFile(Small8());
    edit(f);
    return f;
}

std::vector<uint8_t> Rle8(std::vector<uint8_t> stream, int32_t height = 2, int32_t width = 4)
{
    FileSpec s = Small8();
    s.compression = 1;
    s.height = height;
    s.width = width;
    s.pixels = std::move(stream);
    return MakeFile(s);
}

std::vector<uint8_t> Masked16(std::vector<uint32_t> masks)
{
    FileSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 16;
    s.compression = masks.size() == 4 ? 6 : 3;
    s.masks = std::move(masks);
    s.pixels = {0xFF, 0xFF, 0x00, 0x00};
    return MakeFile(s);
}

class BmpRefusal : public ::testing::TestWithParam<Damage> {};

TEST_P(BmpRefusal, IsRefusedWithTheReason)
{
    const Damage& d = GetParam();
    vcl::TBitmap b(3, 3, vcl::pf24bit);
    try {
        vcl::DecodeBmp(d.make(), b, "part.bmp");
        FAIL() << "loaded";
    } catch (const vcl::BmpError& e) {
        EXPECT_NE(e.Reason().find(d.reason), std::string::npos) << e.Reason();
        EXPECT_EQ(std::string(e.what()).rfind("part.bmp: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(b.GetWidth(), 3) << "the target is left alone";
    EXPECT_EQ(b.GetPixelFormat(), vcl::pf24bit);
}

const Damage kDamages[] = {
    {"Empty", [] { return std::vector<uint8_t>{}; }, "too short"},
    {"NoSignature", [] { return Small8With([](auto& f) { f[1] = 'A'; }); }, "signature"},
    {"HeaderCut",
     [] {
         auto f = MakeFile(Small8());
         f.resize(40);
         return f;
     },
     "truncated"},
    {"HeaderSize66", [] { return Small8With([](auto& f) { Poke32(f, 14, 66); }); }, "header size 66"},
    {"TwoPlanes", [] { return Small8With([](auto& f) { Poke16(f, 26, 2); }); }, "planes"},
    {"ZeroWidth", [] { return Small8With([](auto& f) { Poke32(f, 18, 0); }); }, "width"},
    {"NegativeWidth", [] { return Small8With([](auto& f) { Poke32(f, 18, uint32_t(-4)); }); }, "width"},
    {"ZeroHeight", [] { return Small8With([](auto& f) { Poke32(f, 22, 0); }); }, "height"},
    {"HugeHeight", [] { return Small8With([](auto& f) { Poke32(f, 22, 0x80000000u); }); }, "pixels"},
    {"TooManyPixels", [] { return Small8With([](auto& f) { Poke32(f, 18, 30000), Poke32(f, 22, 30000); }); },
     "more than"},
    {"SevenBits", [] { return Small8With([](auto& f) { Poke16(f, 28, 7); }); }, "bits per pixel"},
    {"UnknownCompression", [] { return Small8With([](auto& f) { Poke32(f, 30, 9); }); }, "compression"},
    {"Rle4On8Bits", [] { return Small8With([](auto& f) { Poke32(f, 30, 2); }); }, "RLE4"},
    {"PaletteTooLarge", [] { return Small8With([](auto& f) { Poke32(f, 46, 257); }); }, "palette size"},
    {"PaletteOverlapsPixels", [] { return Small8With([](auto& f) { Poke32(f, 46, 6); }); }, "overlaps"},
    {"ImportantColoursBeyondPalette", [] { return Small8With([](auto& f) { Poke32(f, 50, 5); }); }, "important colour"},
    {"IndexBeyondPalette", [] { return Small8With([](auto& f) { f.back() = 4; }); }, "beyond the palette"},
    {"OffsetZero", [] { return Small8With([](auto& f) { Poke32(f, 10, 0); }); }, "offset"},
    {"OffsetPastEnd", [] { return Small8With([](auto& f) { Poke32(f, 10, 0xFFFFFFFFu); }); }, "offset"},
    {"OffsetInHeader", [] { return Small8With([](auto& f) { Poke32(f, 10, 30); }); }, "offset"},
    {"PixelsCut",
     [] {
         auto f = MakeFile(Small8());
         f.pop_back();
         Poke32(f, 2, 0);
         return f;
     },
     "pixel data is truncated"},
    {"FileSizeBeyondFileAndPixelsCut",
     [] {
         auto f = MakeFile(Small8());
         f.pop_back();
         return f;
     },
     "file is truncated: its header gives 78 bytes, only 77 are present"},
    {"ImageSizeBeyondFileAndPixelsCut",
     [] {
         auto f = MakeFile(Small8());
         f.pop_back();
         Poke32(f, 2, 0);
         Poke32(f, 34, 1u << 31);
         return f;
     },
     "pixel data is truncated"},
    {"DensitiesApart", [] { return Small8With([](auto& f) { Poke32(f, 38, 30000000); }); }, "densities"},
    {"BlueMaskEmpty",
     [] {
         return Masked16({0xF800, 0x07E0, 0});
     },
     "blue colour mask is empty"},
    {"MasksOverlap",
     [] {
         return Masked16({0xF800, 0x0FE0, 0x001F});
     },
     "overlap"},
    {"MaskWithGap",
     [] {
         return Masked16({0xF000 | 0x0400, 0x03E0, 0x001F});
     },
     "one run"},
    {"MaskBeyond16Bits",
     [] {
         return Masked16({0x1F0000, 0x03E0, 0x001F});
     },
     "fit in 16 bits"},
    {"MasksCut",
     [] {
         auto f = Masked16({0xF800, 0x07E0, 0x001F});
         f.resize(60);
         Poke32(f, 2, 0);
         return f;
     },
     "masks are truncated"},
    {"Rle8TopDown",
     [] {
         return Rle8({2, 1, 0, 1}, -2);
     },
     "top-down"},
    {"Rle8RunPastRow",
     [] {
         return Rle8({5, 1, 0, 1});
     },
     "past the end of row"},
    {"Rle8LiteralPastRow",
     [] {
         return Rle8({0, 5, 1, 1, 1, 1, 1, 0, 0, 1});
     },
     "past the end of row"},
    {"Rle8RunPastRowPadding",
     [] {
         return Rle8({5, 1, 0, 1}, 2, 3);
     },
     "past the end of row 1"},
    {"Rle8ImageSizeBeyondFileNoEndMarker",
     [] {
         auto f = Rle8({4, 1, 0, 0, 4, 2});
         Poke32(f, 34, 1u << 31);
         return f;
     },
     "end-of-picture"},
    {"Rle8PastLastRow",
     [] {
         return Rle8({0, 0, 0, 0, 1, 1, 0, 1});
     },
     "past the last row"},
    {"Rle8MoveOutside",
     [] {
         return Rle8({0, 2, 1, 2, 0, 1});
     },
     "leaves the picture"},
    {"Rle8NoEndMarker",
     [] {
         return Rle8({4, 1, 0, 0, 4, 2});
     },
     "end-of-picture"},
    {"Rle8LiteralCut",
     [] {
         return Rle8({0, 4, 1, 2});
     },
     "truncated"},
    {"Rle8IndexBeyondPalette",
     [] {
         return Rle8({2, 9, 0, 1});
     },
     "beyond the palette"},
};

INSTANTIATE_TEST_SUITE_P(Damaged, BmpRefusal, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

// Length fields beyond the end of the file, as some writers leave them, are
// ignored when every pixel is there: the file reads as the intact one.
struct Careless {
    const char* name;
    std::vector<uint8_t> intact;
    size_t field; // offset of the length field set beyond the file
};

TEST(BmpCareless, LengthFieldsBeyondTheFileAreIgnoredWhenThePixelsAreThere)
{
    const Careless cases[] = {
        {"FileSize", MakeFile(Small8()), 2},
        {"ImageSize", MakeFile(Small8()), 34},
        {"FileSizeRle8", Rle8({4, 1, 0, 0, 1, 2, 0, 3, 1, 2, 3, 0, 0, 1}), 2},
        {"ImageSizeRle8", Rle8({4, 1, 0, 0, 1, 2, 0, 3, 1, 2, 3, 0, 0, 1}), 34},
    };
    for (const Careless& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> careless = c.intact;
        Poke32(careless, c.field, 0x7FFFFFF0u);
        vcl::TBitmap intact, back;
        vcl::DecodeBmp(c.intact, intact);
        ASSERT_NO_THROW(vcl::DecodeBmp(careless, back));
        EXPECT_EQ(back.GetPixelFormat(), vcl::pf8bit);
        EXPECT_EQ(ToRgb(back), ToRgb(intact));
    }
}

// A file cut anywhere is refused, whatever part the cut falls in (the file
// size field is cleared so the reader cannot rely on it).
TEST(BmpRefusal, EveryPrefixOfAFileIsRefused)
{
    FileSpec masked;
    masked.width = 2;
    masked.height = 2;
    masked.bits = 16;
    masked.compression = 3;
    masked.masks = {0xF800, 0x07E0, 0x001F};
    masked.pixels = std::vector<uint8_t>(8, 0x5A);
    FileSpec rgb;
    rgb.width = 4;
    rgb.bits = 24;
    rgb.pixels = std::vector<uint8_t>(24, 0x33);
    const std::vector<uint8_t> files[] = {MakeFile(Small8()), Rle8({1, 1, 0, 3, 1, 2, 3, 0, 0, 0, 4, 2, 0, 1}),
                                          MakeFile(masked), MakeFile(rgb)};
    for (const auto& whole : files) {
        vcl::TBitmap b;
        ASSERT_NO_THROW(vcl::DecodeBmp(whole, b));
        for (size_t n = 0; n < whole.size(); ++n) {
            std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(n));
            if (n >= 6)
                Poke32(cut, 2, 0);
            EXPECT_THROW(vcl::DecodeBmp(cut, b), vcl::BmpError) << "cut at " << n << " of " << whole.size();
        }
    }
}

// ---------------------------------------------------------------------------
// Run-length data

struct RleCase {
    const char* name;
    uint32_t compression;
    std::vector<uint8_t> stream;
    std::vector<unsigned> indices; // expected, rows top-down, width x 2 picture
    int32_t width = 4;
};

class BmpRle : public ::testing::TestWithParam<RleCase> {};

// Index 0 is a colour of its own here, so pixels the stream leaves out are
// told apart from black.
TEST_P(BmpRle, DecodesToTheseIndices)
{
    const RleCase& c = GetParam();
    FileSpec s = Small8();
    if (c.compression == 2) {
        s.bits = 4;
    }
    s.palette[0] = 128;
    s.palette[2] = 128;
    s.compression = c.compression;
    s.width = c.width;
    s.pixels = c.stream;
    vcl::TBitmap b;
    vcl::DecodeBmp(MakeFile(s), b);
    ASSERT_EQ(b.GetWidth(), c.width);
    std::vector<unsigned> got;
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < c.width; ++x)
            got.push_back(IndexAt(b, x, y));
    EXPECT_EQ(got, c.indices);
}

const RleCase kRleCases[] = {
    // The first stored row is the bottom one.
    {"Runs8", 1, {4, 1, 0, 0, 2, 2, 2, 3, 0, 0, 0, 1}, {2, 2, 3, 3, 1, 1, 1, 1}},
    {"Literal8", 1, {0, 3, 1, 2, 3, 0, 1, 3, 0, 0, 0, 1}, {0, 0, 0, 0, 1, 2, 3, 3}},
    {"EarlyEndOfLine8", 1, {1, 2, 0, 0, 2, 3, 0, 1}, {3, 3, 0, 0, 2, 0, 0, 0}},
    {"MoveSkips8", 1, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}, {0, 0, 0, 2, 1, 0, 0, 0}},
    {"EarlyEnd8", 1, {2, 3, 0, 1}, {0, 0, 0, 0, 3, 3, 0, 0}},
    {"Runs4", 2, {4, 0x12, 0, 0, 3, 0x30, 0, 1}, {3, 0, 3, 0, 1, 2, 1, 2}},
    {"OddLiteral4", 2, {0, 3, 0x12, 0x30, 0, 0, 0, 1}, {0, 0, 0, 0, 1, 2, 3, 0}},
    // Runs may cover the row's padding (a 3-pixel row is stored in 4 bytes,
    // 8 pixels at 4 bits); what falls there is dropped.
    {"RunsOverPadding8", 1, {4, 1, 0, 0, 0, 4, 2, 3, 1, 2, 0, 0, 0, 1}, {2, 3, 1, 1, 1, 1}, 3},
    {"RunsOverPadding4", 2, {8, 0x12, 0, 0, 0, 6, 0x31, 0x23, 0x22, 0, 0, 0, 0, 1}, {3, 1, 2, 1, 2, 1}, 3},
};

INSTANTIATE_TEST_SUITE_P(Streams, BmpRle, ::testing::ValuesIn(kRleCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Colour masks

TEST(BmpMasks, ChannelsScaleToTheFullRange)
{
    // 5-6-5: white is 255 in every channel, half-way values round.
    vcl::TBitmap b;
    FileSpec s;
    s.width = 3;
    s.height = 1;
    s.bits = 16;
    s.compression = 3;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.pixels = {0xFF, 0xFF, 0x00, 0x80, 0x10, 0x00, 0, 0};
    vcl::DecodeBmp(MakeFile(s), b);
    EXPECT_EQ(b.GetPixelFormat(), vcl::pf24bit);
    EXPECT_EQ(ToRgb(b), (std::vector<uint32_t>{0xFFFFFF, 0x840000, 0x000084}));

    // With an alpha mask the picture is 32-bit and the fourth byte is alpha.
    s.width = 1;
    s.compression = 6;
    s.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
    s.pixels = {0x21, 0x83, 0, 0};
    vcl::DecodeBmp(MakeFile(s), b);
    ASSERT_EQ(b.GetPixelFormat(), vcl::pf32bit);
    const uint8_t* p = b.ScanLine(0);
    EXPECT_EQ(p[0], 0x11);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x33);
    EXPECT_EQ(p[3], 0x88);
}

// ---------------------------------------------------------------------------
// Files on disk

// Sets or clears a folder's immutable flag (which binds the super-user too).
bool SetImmutable(const fs::path& dir, bool on)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok && bool(flags & FS_IMMUTABLE_FL) != on) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

class BmpFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("bmp-tests-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        SetImmutable(dir_, false);
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    // Names in the folder other than `keep`: left-over temporary files.
    std::vector<std::string> Strays(const std::string& keep) const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().filename() != keep)
                out.push_back(e.path().filename().string());
        return out;
    }
    fs::path dir_;
};

TEST_F(BmpFiles, SaveReplacesTheFileAndKeepsItsPermissions)
{
    const std::string path = (dir_ / "vlm_co.bmp").string();
    const auto first = Pattern(vcl::pf24bit, 5, 3, 0);
    vcl::WriteBmpFile(path, *first);
    ::chmod(path.c_str(), 0640);
    const auto second = Pattern(vcl::pf8bit, 7, 2, 9);
    vcl::WriteBmpFile(path, *second);

    EXPECT_EQ(ReadAll(path), vcl::EncodeBmp(*second));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(Strays("vlm_co.bmp").empty());

    vcl::TBitmap back;
    vcl::ReadBmpFile(path, back);
    EXPECT_EQ(back.GetPixelFormat(), vcl::pf8bit);
    EXPECT_EQ(ToRgb(back), ToRgb(*second));
}

TEST_F(BmpFiles, SaveWorksForNamesTooLongForATemporarySuffix)
{
    const std::string name = std::string(240, 'n') + ".bmp";
    const auto pic = Pattern(vcl::pf24bit, 2, 2, 0);
    vcl::WriteBmpFile((dir_ / name).string(), *pic);
    EXPECT_EQ(ReadAll((dir_ / name).string()), vcl::EncodeBmp(*pic));
    EXPECT_TRUE(Strays(name).empty());
}

// A failed save names the path and the system's reason and changes nothing.
TEST_F(BmpFiles, SaveOverADirectoryFails)
{
    fs::create_directory(dir_ / "pictures.bmp");
    const std::string path = (dir_ / "pictures.bmp").string();
    const auto pic = Pattern(vcl::pf24bit, 2, 2, 0);
    try {
        vcl::WriteBmpFile(path, *pic);
        FAIL() << "saved over a directory";
    } catch (const vcl::EFileError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": " + std::strerror(EISDIR));
    }
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_TRUE(Strays("pictures.bmp").empty());
}

TEST_F(BmpFiles, SavingAnEmptyPictureFailsAndWritesNothing)
{
    const std::string path = (dir_ / "empty.bmp").string();
    vcl::TBitmap empty;
    EXPECT_THROW(vcl::EncodeBmp(empty), vcl::EInvalidGraphic);
    EXPECT_THROW(vcl::WriteBmpFile(path, empty), vcl::EFileError);
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(BmpFiles, SaveIntoAReadOnlyFolderLeavesTheOldFile)
{
    const std::string path = (dir_ / "old.bmp").string();
    const auto old = Pattern(vcl::pf8bit, 3, 3, 4);
    vcl::WriteBmpFile(path, *old);
    const std::vector<uint8_t> before = ReadAll(path);
    ::chmod(dir_.c_str(), 0555);
    int expected = EACCES;
    if (::access(dir_.c_str(), W_OK) == 0) { // the super-user writes anyway, unless the folder is immutable
        if (!SetImmutable(dir_, true))
            GTEST_FAIL() << "cannot make a folder read-only for this user";
        expected = EPERM;
    }

    const auto pic = Pattern(vcl::pf24bit, 4, 4, 0);
    try {
        vcl::WriteBmpFile(path, *pic);
        ADD_FAILURE() << "saved into a read-only folder";
    } catch (const vcl::EFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  path + ": the folder \"" + dir_.string() + "\" is not writable (" + std::strerror(expected) + ")");
    }
    SetImmutable(dir_, false);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_TRUE(Strays("old.bmp").empty());
}

// A save through a symbolic link replaces the file the link points at, in
// that file's folder, and leaves the link a link (relative links and chains
// of links included).
TEST_F(BmpFiles, SaveThroughASymbolicLinkReplacesTheLinkedFile)
{
    fs::create_directory(dir_ / "store");
    const auto old = Pattern(vcl::pf24bit, 3, 3, 1);
    const auto pic = Pattern(vcl::pf8bit, 5, 4, 2);
    vcl::WriteBmpFile((dir_ / "store" / "real.bmp").string(), *old);
    fs::create_symlink("store/real.bmp", dir_ / "hop.bmp");
    fs::create_symlink(dir_ / "hop.bmp", dir_ / "vlm_co.bmp");

    vcl::WriteBmpFile((dir_ / "vlm_co.bmp").string(), *pic);
    EXPECT_TRUE(fs::is_symlink(dir_ / "vlm_co.bmp"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "hop.bmp"));
    EXPECT_EQ(ReadAll((dir_ / "store" / "real.bmp").string()), vcl::EncodeBmp(*pic));
    EXPECT_EQ(Strays("store").size(), 2u); // the two links, no temporary file
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "store"), fs::directory_iterator()), 1);

    // A dangling link names the file to create.
    fs::create_symlink("store/new.bmp", dir_ / "vlm_co2.bmp");
    vcl::WriteBmpFile((dir_ / "vlm_co2.bmp").string(), *pic);
    EXPECT_TRUE(fs::is_symlink(dir_ / "vlm_co2.bmp"));
    EXPECT_EQ(ReadAll((dir_ / "store" / "new.bmp").string()), vcl::EncodeBmp(*pic));

    // A loop of links is refused and writes nothing.
    fs::create_symlink("loop_b.bmp", dir_ / "loop_a.bmp");
    fs::create_symlink("loop_a.bmp", dir_ / "loop_b.bmp");
    EXPECT_THROW(vcl::WriteBmpFile((dir_ / "loop_a.bmp").string(), *pic), vcl::EFileError);
}

// Only regular files are read. A pipe with no writer and a device are
// refused at once, before any read (opening a pipe must not wait for a writer).
TEST_F(BmpFiles, UnreadableFilesAreRefusedWithTheirReason)
{
    const fs::path fifo = dir_ / "vlm_co_pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {{(dir_ / "missing.bmp").string(), std::strerror(ENOENT)},
                 {dir_.string(), "is a folder, not a picture file"},
                 {fifo.string(), "not a regular file"},
                 {"/dev/null", "not a regular file"},
                 {"/dev/zero", "not a regular file"}};
    for (const auto& c : cases) {
        try {
            vcl::TBitmap b;
            vcl::ReadBmpFile(c.path, b);
            ADD_FAILURE() << c.path << " loaded";
        } catch (const vcl::BmpError& e) {
            EXPECT_EQ(e.File(), c.path);
            EXPECT_EQ(e.Reason(), c.reason);
        }
    }
}

// Bytes this process has read from files so far.
uint64_t BytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    ADD_FAILURE() << "no read count in /proc/self/io";
    return 0;
}

// Large files, made sparse so that they take no room: the headers are read
// first, so a file that is no picture, a picture beyond the program's limits
// and one beyond the memory are refused without reading the rest or
// allocating for it; and of a picture only the bytes its pixels need are read.
struct LargeFile {
    const char* name;
    std::vector<uint8_t> head; // the file's first bytes; zeros follow
    uint64_t size;
    size_t memoryLimit;
    const char* reason; // part of the reason; null when the file loads
};

std::vector<uint8_t> Header(int32_t width, int32_t height, uint16_t bits)
{
    FileSpec s;
    s.width = width;
    s.height = height;
    s.bits = bits;
    return MakeFile(s);
}

TEST_F(BmpFiles, LargeFilesAreJudgedByTheirHeaders)
{
    constexpr uint64_t k250MB = 250'000'000;
    const LargeFile cases[] = {
        {"NoHeader", {}, k250MB, SIZE_MAX, "not a BMP file"},
        {"SideTooLong", Header(70000, 1, 24), k250MB, SIZE_MAX, "a side may be at most 65536"},
        {"TooManyPixels", Header(30000, 30000, 8), k250MB, SIZE_MAX, "more than the 67108864"},
        {"BeyondTheMemory", Header(8192, 8192, 32), 54 + uint64_t(8192) * 8192 * 4, size_t(64) << 20,
         "not enough memory to read a 8192 x 8192 picture"},
        {"PictureThenJunk", MakeFile(Small8()), k250MB, SIZE_MAX, nullptr},
    };
    vcl::TBitmap small;
    vcl::DecodeBmp(MakeFile(Small8()), small);
    for (const LargeFile& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (dir_ / (std::string(c.name) + ".bmp")).string();
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(c.head.data()), std::streamsize(c.head.size()));
        }
        fs::resize_file(path, c.size);

        vcl::TBitmap b(3, 3, vcl::pf24bit);
        const uint64_t readBefore = BytesRead();
        const size_t reservedBefore = vcl::PixelHeapReserved();
        try {
            vcl::ReadBmpFile(path, b, c.memoryLimit);
            EXPECT_EQ(c.reason, nullptr) << "loaded";
            EXPECT_EQ(ToRgb(b), ToRgb(small));
        } catch (const vcl::BmpError& e) {
            ASSERT_NE(c.reason, nullptr) << "refused: " << e.Reason();
            EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << e.Reason();
            EXPECT_EQ(e.File(), path);
            EXPECT_EQ(b.GetWidth(), 3) << "the target is left alone";
        }
        EXPECT_LT(BytesRead() - readBefore, uint64_t(64) << 10);
        EXPECT_EQ(vcl::PixelHeapReserved(), reservedBefore);
        fs::remove(path);
    }
}

} // namespace
