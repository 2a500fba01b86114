// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The reader against the shared corpus of public BMP files: well-formed files
// load in their own format and match an independent reader pixel for pixel,
// damaged ones are refused with a reason. Questionable files are replayed by
// the "fuzz replay" test (no crash, stable round trip); the decisions taken
// for some of them are pinned here.
#include "BmpTestUtil.h"
#include "toolkit/BmpCodec.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace fs = std::filesystem;
using namespace bmptest;

namespace {

enum class Expect { Load, Refuse, Either };

bool StartsWith(const std::string& s, const std::string& p)
{
    return s.rfind(p, 0) == 0;
}

// Which files must load and which must be refused, from the corpus README.
Expect Classify(const std::string& rel)
{
    // Bad only in a length field that readers ignore: every pixel is there.
    static const char* const kLoadDespiteTheFolder[] = {
        "bmpsuite/b/badbitssize.bmp",
        "bmpsuite/b/badfilesize.bmp",
    };
    for (const char* p : kLoadDespiteTheFolder)
        if (rel == p)
            return Expect::Load;
    static const char* const kRefuse[] = {
        "bmpsuite/b/",
        "bmptestsuite/corrupt/",
        "image-rs/bad__",
        "gdk-pixbuf/test-images__fail__",
        "pillow/Tests__images__mmap_error.bmp",
        "wuffs/test__data__rgb24png.bmp",
    };
    static const char* const kLoad[] = {
        "bmpsuite/g/",
        "bmptestsuite/valid/",
        "image-rs/images__bmp__images__Core_",
        "image-rs/images__bmp__images__Info_",
        "image-rs/images__bmp__images__V3_",
        "image-rs/images__bmp__images__V4_",
        "image-rs/images__bmp__images__V5_",
        "wuffs/",
        "libjpeg-turbo/",
        "imagemagick/PerlMagick__t__input.bmp", // and .bmp24; the RLE8 rows cover their padding
        "libvips/",
        "pillow/Tests__images__hopper.bmp",
        "pillow/Tests__images__hopper_rle8.bmp",
        "pillow/Tests__images__hopper_rle8_grayscale.bmp",
        // pillow/Tests__images__l2rgb_read.bmp is listed as valid too, but its
        // pixel offset (0x7FFFFF30) lies far beyond its 57 bytes.
        "gdk-pixbuf/test-images__randomly-modified__valid.1.bmp",
        "gdk-pixbuf/test-images__reftests__mandatory-bitmasks.bmp",
    };
    for (const char* p : kRefuse)
        if (StartsWith(rel, p))
            return Expect::Refuse;
    for (const char* p : kLoad)
        if (StartsWith(rel, p))
            return Expect::Load;
    return Expect::Either;
}

// Well-formed files this reader refuses on purpose (none at present; bitmaps
// are limited to kMaxBitmapSide pixels a side and kMaxBitmapPixels in all).
const std::map<std::string, std::string> kDeliberateRefusals = {};

// Well-formed files where this reader and the oracle disagree on purpose.
// `twin` names a file holding the same picture to compare with instead.
constexpr int kSkippedPixels = -1;
struct OracleException {
    int tolerance;
    const char* twin;
};
const std::map<std::string, OracleException> kOracleExceptions = {
    // The oracle reads channels wider than 8 bits as black.
    {"bmptestsuite/valid/32bpp-101110-320x240.bmp", {1, "bmptestsuite/valid/32bpp-320x240.bmp"}},
    // Pixels the run-length data leaves out are index 0 here; the oracle
    // leaves them another colour (kSkippedPixels: those may differ).
    {"bmptestsuite/valid/rle8-blank-160x120.bmp", {kSkippedPixels, nullptr}},
    {"bmptestsuite/valid/rle4-delta-320x240.bmp", {kSkippedPixels, nullptr}},
    {"bmptestsuite/valid/rle8-delta-320x240.bmp", {kSkippedPixels, nullptr}},
};

// The oracle widens channels narrower than 8 bits by shifting (16-bit white
// becomes 248); this reader scales them to the full range (white is 255).
constexpr int kNarrowChannelTolerance = 7;

int ChannelDistance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return d;
}

struct CorpusFile {
    std::string rel;
    std::string path;
    Expect expect;
};

std::vector<CorpusFile> Corpus()
{
    std::vector<CorpusFile> files;
    const fs::path root = VELMIA_BMP_CORPUS;
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        return files;
    for (const auto& e : fs::recursive_directory_iterator(root, ec)) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".bmp" && ext != ".dib" && ext != ".bin" && ext != ".bmp24"))
            continue;
        const std::string rel = fs::relative(e.path(), root).generic_string();
        files.push_back({rel, e.path().string(), Classify(rel)});
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.rel < b.rel; });
    return files;
}

// Bits per pixel stored in a file's header.
int FileBits(const std::vector<uint8_t>& f)
{
    const uint32_t hs = uint32_t(f[14]) | uint32_t(f[15]) << 8;
    const size_t at = hs == 12 ? 24 : 28;
    return f[at] | f[at + 1] << 8;
}

// The format a loaded file must have: the stored one, 16-bit widened.
int ExpectedBits(int fileBits, const vcl::TBitmap& b)
{
    if (fileBits == 16)
        return vcl::BitsPerPixel(b.GetPixelFormat()) == 32 ? 32 : 24;
    return fileBits == 2 ? 4 : fileBits;
}

class BmpCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        files_ = Corpus();
        if (files_.empty())
            GTEST_FAIL() << "BMP corpus not found at " << VELMIA_BMP_CORPUS;
    }
    std::vector<CorpusFile> Select(Expect e) const
    {
        std::vector<CorpusFile> out;
        std::copy_if(files_.begin(), files_.end(), std::back_inserter(out),
                     [e](const auto& f) { return f.expect == e; });
        return out;
    }
    std::vector<CorpusFile> files_;
};

TEST_F(BmpCorpus, WellFormedFilesLoadInTheirFormatAndMatchTheOracle)
{
    const auto files = Select(Expect::Load);
    EXPECT_GE(files.size(), 140u);
    int compared = 0;
    for (const auto& f : files) {
        SCOPED_TRACE(f.rel);
        const std::vector<uint8_t> bytes = ReadAll(f.path);
        vcl::TBitmap b;
        if (auto it = kDeliberateRefusals.find(f.rel); it != kDeliberateRefusals.end()) {
            try {
                vcl::DecodeBmp(bytes, b, f.rel);
                ADD_FAILURE() << "expected a refusal";
            } catch (const vcl::BmpError& e) {
                EXPECT_NE(e.Reason().find(it->second), std::string::npos) << e.Reason();
            }
            continue;
        }
        try {
            vcl::DecodeBmp(bytes, b, f.rel);
        } catch (const vcl::BmpError& e) {
            ADD_FAILURE() << "refused: " << e.Reason();
            continue;
        }
        EXPECT_EQ(vcl::BitsPerPixel(b.GetPixelFormat()), ExpectedBits(FileBits(bytes), b));
        int tolerance = FileBits(bytes) == 16 ? kNarrowChannelTolerance : 0;
        std::string reference = f.path;
        bool skippedMayDiffer = false;
        if (auto it = kOracleExceptions.find(f.rel); it != kOracleExceptions.end()) {
            skippedMayDiffer = it->second.tolerance == kSkippedPixels;
            tolerance = std::max(0, it->second.tolerance);
            if (it->second.twin)
                reference = std::string(VELMIA_BMP_CORPUS) + "/" + it->second.twin;
        }
        const auto oracle = OracleDecode(ReadAll(reference));
        if (!oracle)
            continue;
        ++compared;
        ASSERT_EQ(oracle->width, b.GetWidth());
        ASSERT_EQ(oracle->height, b.GetHeight());
        const std::vector<uint32_t> ours = ToRgb(b);
        uint32_t index0 = 0;
        if (!b.GetPalette().empty()) {
            const vcl::TPaletteEntry e = b.GetPalette()[0];
            index0 = uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
        }
        size_t bad = 0, first = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            if (skippedMayDiffer && ours[i] == index0)
                continue;
            if (ChannelDistance(ours[i], oracle->rgb[i]) > tolerance && bad++ == 0)
                first = i;
        }
        EXPECT_EQ(bad, 0u) << "first difference at pixel " << first % size_t(b.GetWidth()) << ", "
                           << first / size_t(b.GetWidth()) << ": ours " << std::hex << ours[first] << ", oracle "
                           << oracle->rgb[first];
    }
    if (HaveOracle()) {
        EXPECT_GE(compared, 130);
    }
}

TEST_F(BmpCorpus, DamagedFilesAreRefusedWithAReason)
{
    const auto files = Select(Expect::Refuse);
    EXPECT_GE(files.size(), 75u);
    for (const auto& f : files) {
        SCOPED_TRACE(f.rel);
        vcl::TBitmap b;
        try {
            vcl::DecodeBmp(ReadAll(f.path), b, f.rel);
            ADD_FAILURE() << "loaded as " << b.GetWidth() << " x " << b.GetHeight();
        } catch (const vcl::BmpError& e) {
            EXPECT_FALSE(e.Reason().empty());
            EXPECT_EQ(e.File(), f.rel);
            EXPECT_EQ(std::string(e.what()), f.rel + ": " + e.Reason());
        }
    }
}

// Decisions about particular questionable files, pinned so they do not drift.
struct Decision {
    const char* file;
    int bits;           // expected bits per pixel when it loads
    const char* refuse; // part of the reason when it is refused
};

TEST_F(BmpCorpus, QuestionableFileDecisions)
{
    const Decision decisions[] = {
        {"bmpsuite/q/pal1p1.bmp", 1, nullptr},
        {"bmpsuite/q/pal2.bmp", 4, nullptr},
        {"bmpsuite/q/pal4rletrns.bmp", 4, nullptr},
        {"bmpsuite/q/pal8rlecut.bmp", 8, nullptr},
        {"bmpsuite/q/pal8offs.bmp", 8, nullptr},
        {"bmpsuite/q/pal8os2sp.bmp", 8, nullptr},
        {"bmpsuite/q/pal8os2v2.bmp", 8, nullptr},
        {"bmpsuite/q/pal8os2v2-16.bmp", 8, nullptr},
        {"bmpsuite/q/rgb32h52.bmp", 32, nullptr},
        {"bmpsuite/q/rgba32h56.bmp", 32, nullptr},
        {"bmpsuite/q/rgba16-4444.bmp", 32, nullptr},
        {"bmpsuite/q/rgba32abf.bmp", 32, nullptr},
        {"bmptestsuite/questionable/filesize-zero.bmp", 1, nullptr},
        // Runs that cover the row's padding are cut at the row's end; runs
        // beyond it are refused.
        {"image-rs/images__bmp__images__lenient__rle_overflow.bmp", 8, nullptr},
        {"image-rs/images__bmp__images__imagemagick_invalid_run_length_issue_2321.bmp", 8, nullptr},
        {"pillow/Tests__images__hopper_rle8_row_overflow.bmp", 0, "past the end of row 127"},
        {"bmptestsuite/corrupt/rle8-no-end-of-line-marker.bmp", 0, "past the end of row"},
        {"bmpsuite/q/pal8oversizepal.bmp", 0, "palette size"},
        {"bmpsuite/q/rgb24jpeg.bmp", 0, "JPEG"},
        {"bmpsuite/q/rgb24png.bmp", 0, "PNG"},
        {"bmpsuite/q/rgb24rle24.bmp", 0, "RLE24"},
        {"bmpsuite/q/pal1huffmsb.bmp", 0, "Huffman"},
        {"bmpsuite/q/rgba64.bmp", 0, "bits per pixel"},
        {"bmptestsuite/questionable/8bpp-pixels-not-in-palette.bmp", 0, "beyond the palette"},
        {"bmptestsuite/questionable/rle8-height-negative.bmp", 0, "top-down"},
        {"bmptestsuite/questionable/rle8-no-end-of-bitmap-marker.bmp", 0, "end-of-picture"},
        {"bmptestsuite/questionable/planes-zero.bmp", 0, "planes"},
        {"bmptestsuite/questionable/32bpp-0x0.bmp", 0, "width"},
    };
    for (const Decision& d : decisions) {
        SCOPED_TRACE(d.file);
        vcl::TBitmap b;
        try {
            vcl::DecodeBmp(ReadAll(std::string(VELMIA_BMP_CORPUS) + "/" + d.file), b, d.file);
            EXPECT_EQ(d.refuse, nullptr) << "loaded";
            EXPECT_EQ(vcl::BitsPerPixel(b.GetPixelFormat()), d.bits);
        } catch (const vcl::BmpError& e) {
            ASSERT_NE(d.refuse, nullptr) << "refused: " << e.Reason();
            EXPECT_NE(e.Reason().find(d.refuse), std::string::npos) << e.Reason();
        }
    }
}

} // namespace
