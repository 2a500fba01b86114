// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The renderer's pieces (key text, PNG, labels) and the renderer on the
// default pictures: parts go on through the program's key commands, refused
// files and missing pictures give the program's message.
#include "tests/host/ArtworkCopy.h"
#include "toolkit/BmpCodec.h"
#include "tools/render/Keys.h"
#include "tools/render/Label.h"
#include "tools/render/Png.h"
#include "tools/render/Renderer.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <zlib.h>

using namespace velmia::render;
using vcl::TBitmap;
using vcl::TColor;
namespace fs = std::filesystem;

namespace {

TEST(RenderKeys, Parse)
{
    using K = KeyStroke;
    const struct {
        const char* text;
        std::vector<KeyStroke> keys;
    } rows[] = {
        {"", {}},
        {"a\\9", {K{.character = 'a'}, K{.character = '\\'}, K{.character = '9'}}},
        {"{F2}{f7}", {K{.vk = vcl::VK_F2}, K{.vk = vcl::VK_F7}}},
        {"{PgUp}{pgdn}", {K{.vk = vcl::VK_PRIOR}, K{.vk = vcl::VK_NEXT}}},
        {"{C-Right}{S-Left}{C-S-Ins}",
         {K{.vk = vcl::VK_RIGHT, .ctrl = true}, K{.vk = vcl::VK_LEFT, .shift = true},
          K{.vk = vcl::VK_INSERT, .ctrl = true, .shift = true}}},
        {"{Enter}{Esc}{BS}",
         {K{.vk = vcl::VK_RETURN, .vkCharacter = '\r'}, K{.vk = vcl::VK_ESCAPE, .vkCharacter = 27},
          K{.vk = vcl::VK_BACK}}},
        {"{{}x", {K{.character = '{'}, K{.character = 'x'}}},
        {"}", {K{.character = '}'}}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ParseKeys(r.text), r.keys) << r.text;

    for (const char* bad : {"{F13}", "{F0}", "{Hat}", "{PgUp", "{}", "{C-}", "a\tb", "{X-Left}"})
        EXPECT_THROW(ParseKeys(bad), std::invalid_argument) << bad;
}

// An independent reading of the PNG: chunk CRCs, zlib stream, filters.
struct DecodedPng {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

DecodedPng ReadPng(const std::vector<uint8_t>& png)
{
    DecodedPng out;
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (png.size() < 8 || std::memcmp(png.data(), signature, 8) != 0)
        throw std::runtime_error("no PNG signature");
    std::vector<uint8_t> idat;
    bool end = false;
    for (size_t at = 8; at < png.size() && !end;) {
        const uint32_t length = U32(&png[at]);
        const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
        const uint8_t* data = &png[at + 8];
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), &png[at + 4], uInt(length + 4));
        if (crc != U32(data + length))
            throw std::runtime_error("bad CRC in " + type);
        if (type == "IHDR") {
            out.width = U32(data);
            out.height = U32(data + 4);
            if (data[8] != 8 || data[9] != 2 || data[12] != 0)
                throw std::runtime_error("not 8-bit RGB without interlace");
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        } else if (type == "IEND") {
            end = true;
        }
        at += 12 + length;
    }
    if (!end)
        throw std::runtime_error("no IEND");
    const size_t stride = 1 + 3 * size_t(out.width);
    std::vector<uint8_t> raw(stride * out.height);
    uLongf size = uLongf(raw.size());
    if (uncompress(raw.data(), &size, idat.data(), uLong(idat.size())) != Z_OK || size != raw.size())
        throw std::runtime_error("bad zlib stream");
    for (uint32_t y = 0; y < out.height; ++y) {
        const uint8_t* row = &raw[y * stride];
        std::vector<uint8_t> line(row + 1, row + stride);
        if (row[0] == 1)
            for (size_t i = 3; i < line.size(); ++i)
                line[i] = uint8_t(line[i] + line[i - 3]);
        else if (row[0] != 0)
            throw std::runtime_error("filter " + std::to_string(row[0]));
        out.rgb.insert(out.rgb.end(), line.begin(), line.end());
    }
    return out;
}

TEST(RenderPng, EveryFormatReadsBackAsItsColours)
{
    for (const vcl::TPixelFormat format : {vcl::pf24bit, vcl::pf32bit, vcl::pf8bit, vcl::pf1bit}) {
        TBitmap picture(5, 3, vcl::pf24bit);
        const TColor colours[] = {0x00000000, 0x00FFFFFF, 0x000000FF, 0x0000FF00, 0x00FF0000, 0x00123456, 0x00FEFEFE};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                picture.SetPixelColor(x, y, colours[(x + 2 * y) % 7]);
        picture.SetPixelFormat(format); // palette formats take their nearest entries
        const DecodedPng png = ReadPng(EncodePng(picture));
        ASSERT_EQ(png.width, 5u);
        ASSERT_EQ(png.height, 3u);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const TColor c = picture.GetPixelColor(x, y);
                const uint8_t* p = &png.rgb[3 * (5 * y + x)];
                EXPECT_EQ(TColor(p[0] | p[1] << 8 | p[2] << 16), c)
                    << "format " << int(format) << " at " << x << "," << y;
            }
    }
    EXPECT_THROW(EncodePng(TBitmap()), std::runtime_error);
}

TEST(RenderLabel, DrawsInsideItsBox)
{
    TBitmap b(40, 20, vcl::pf24bit);
    b.GetCanvas()->Brush.Color = vcl::clWhite;
    b.GetCanvas()->FillRect(vcl::Rect(0, 0, 40, 20));
    EXPECT_EQ(DrawLabel(b, 2, 3, "l_", vcl::clBlack, 2), 2 + 2 * kGlyphAdvance * 2);
    EXPECT_EQ(LabelWidth("l_", 2), 22);
    int inside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (b.GetPixelColor(x, y) == vcl::clBlack) {
                EXPECT_TRUE(x >= 2 && x < 24 && y >= 3 && y < 17) << x << "," << y;
                ++inside;
            }
    EXPECT_EQ(inside, 4 * (10 + 5)); // 'l': 10 font pixels, '_': 5; each 2 x 2
    // Unknown characters are a hollow box; drawing off the picture is skipped.
    EXPECT_EQ(DrawLabel(b, 38, 18, "\x01", vcl::clBlack), 38 + kGlyphAdvance);
    EXPECT_EQ(b.GetPixelColor(39, 18), vcl::clBlack); // the box's top
    EXPECT_EQ(b.GetPixelColor(38, 19), vcl::clBlack); // and its left side
    EXPECT_EQ(b.GetPixelColor(39, 19), vcl::clWhite); // hollow
}

// The default pictures in a temporary folder that is the current one.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = velmia::test::CopyArtwork(velmia::test::ArtworkDir(), "velmia-render");
        previous_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    static TColor FilePixel(const std::string& file, int x, int y)
    {
        TBitmap b;
        vcl::ReadBmpFile(file, b);
        return b.GetPixelColor(x, y);
    }
    std::unique_ptr<RenderResult> Run(RenderRequest request = {})
    {
        auto r = std::make_unique<RenderResult>();
        Render(request, *r);
        return r;
    }
    // A costume in another colour: the default one with its blue turned red.
    void WriteRedCostume(const std::string& name)
    {
        TBitmap b;
        vcl::ReadBmpFile("vlm_co.bmp", b);
        for (int y = 0; y < b.GetHeight(); ++y)
            for (int x = 0; x < b.GetWidth(); ++x) {
                const TColor c = b.GetPixelColor(x, y);
                if (c != vcl::clWhite)
                    b.SetPixelColor(x, y, (c & 0x00FF00) | (c >> 16 & 0xFF) | (c & 0xFF) << 16);
            }
        vcl::WriteBmpFile(name, b);
    }

    fs::path folder_;
    fs::path previous_;
};

TEST_F(RenderTest, PartFileGoesOnThroughItsKeyCommand)
{
    WriteRedCostume("vlm_co_red.bmp");
    const auto plain = Run();
    ASSERT_TRUE(plain->ok) << plain->message;
    RenderRequest request;
    request.parts.push_back({PartKindById("costume"), (folder_ / "vlm_co_red.bmp").string()});
    const auto dressed = Run(request);
    ASSERT_TRUE(dressed->ok) << dressed->message;
    ASSERT_EQ(dressed->picture.GetWidth(), 800);
    ASSERT_EQ(dressed->picture.GetHeight(), 600);
    // The costume's colour pixel (100,15) lies at (210,515) of the window.
    EXPECT_EQ(plain->picture.GetPixelColor(210, 515), FilePixel("vlm_co.bmp", 100, 15));
    EXPECT_EQ(dressed->picture.GetPixelColor(210, 515), FilePixel("vlm_co_red.bmp", 100, 15));
    EXPECT_NE(FilePixel("vlm_co.bmp", 100, 15), FilePixel("vlm_co_red.bmp", 100, 15));
}

TEST_F(RenderTest, RefusedPartGivesTheProgramsMessage)
{
    {
        std::ofstream("vlm_ri_bad.bmp") << "BM not a picture";
    }
    RenderRequest request;
    request.parts.push_back({PartKindById("ribbon"), (folder_ / "vlm_ri_bad.bmp").string()});
    const auto r = Run(request);
    EXPECT_FALSE(r->ok);
    EXPECT_NE(r->message.find("vlm_ri_bad.bmp"), std::string::npos) << r->message;
}

TEST_F(RenderTest, MissingPictureGivesTheStartUpMessage)
{
    fs::remove("vlm_hb.bmp");
    const auto r = Run();
    EXPECT_FALSE(r->ok);
    EXPECT_NE(r->message.find("\"vlm_hb.bmp\""), std::string::npos) << r->message;
}

TEST_F(RenderTest, FramesChangeOnlyTheBody)
{
    RenderRequest request;
    request.frame = 0;
    const auto rest = Run(request);
    request.frame = 2;
    const auto risen = Run(request);
    ASSERT_TRUE(rest->ok && risen->ok);
    int upper = 0, lower = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (rest->picture.GetPixelColor(x, y) != risen->picture.GetPixelColor(x, y))
                ++(y < 300 ? upper : lower);
    EXPECT_EQ(upper, 0);
    EXPECT_GT(lower, 1000);
}

TEST_F(RenderTest, KeysAndViews)
{
    const auto plain = Run();
    RenderRequest request;
    request.keys = ParseKeys("{C-Right}");
    const auto panned = Run(request);
    ASSERT_TRUE(panned->ok) << panned->message;
    // The pan moves the figure 100 pixels to the right: the face column moves.
    int moved = 0;
    for (int x = 221; x < 500; ++x)
        moved += plain->picture.GetPixelColor(x, 60) == panned->picture.GetPixelColor(x + 100, 60);
    EXPECT_GT(moved, 200);

    for (const View view : {View::Show, View::Gray, View::Quad, View::CloseUp}) {
        RenderRequest r;
        r.view = view;
        const auto result = Run(r);
        EXPECT_TRUE(result->ok) << int(view) << ": " << result->message;
    }
    request = {};
    request.view = View::Quad;
    request.frame = 1;
    const auto quad = Run(request);
    EXPECT_FALSE(quad->ok);
    EXPECT_NE(quad->message.find("--frame"), std::string::npos);
}

TEST_F(RenderTest, SheetHasACellPerPartFile)
{
    WriteRedCostume("vlm_co_red.bmp");
    {
        std::ofstream("vlm_fl_bad.bmp") << "BM";
    }
    SheetResult sheet;
    std::string message;
    ASSERT_TRUE(RenderSheet(sheet, message, 3)) << message;
    // The six default part files, the red costume and the damaged flower.
    EXPECT_EQ(sheet.cells, 8);
    ASSERT_EQ(sheet.messages.size(), 1u);
    EXPECT_NE(sheet.messages[0].find("vlm_fl_bad.bmp"), std::string::npos) << sheet.messages[0];
    EXPECT_EQ(sheet.sheet.GetWidth(), 10 + 3 * 810);
    EXPECT_EQ(sheet.sheet.GetHeight(), 10 + 3 * (600 + 24 + 10));
}

} // namespace
