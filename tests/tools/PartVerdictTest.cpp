// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// One verdict for the checker and the program: every file of a corpus made
// here (each size, depth and kind of alpha an author's tools write, and a
// damaged file) is read by the program, as a worn part or a start-up picture,
// and by the checker as that kind. Both must agree on whether the file is
// refused, the size of the picture the program holds, what of the file is cut
// off and how many of the held pixels are transparent.
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tests/host/ArtworkCopy.h"
#include "tools/partcheck/PartRules.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vcl;
namespace fs = std::filesystem;
using velmia::headless::HeadlessHost;
using velmia::partcheck::CheckFile;
using velmia::partcheck::KindById;
using velmia::partcheck::Report;
using velmia::partcheck::Severity;

namespace {

// ---- The corpus ---------------------------------------------------------------

// Blue, green, red, alpha of the corpus pictures at (x, y): colours that vary,
// pure white holes, near-white specks, and every kind of opacity.
struct Bgra {
    uint8_t b, g, r, a;
};

Bgra Sample(int x, int y)
{
    if ((x / 9 + y / 7) % 4 == 0)
        return {255, 255, 255, 255};
    if ((x + y) % 23 == 0)
        return {250, 252, 254, 255};
    static const uint8_t kAlphas[] = {0, 60, 127, 128, 200, 255, 255, 255};
    return {uint8_t(40 + x * 3), uint8_t(90 + y * 5), uint8_t(200 - x), kAlphas[(x / 5 + y / 3) % 8]};
}

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x)
{
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

// A bottom-up 32-bit file. `header` 124 is the version 5 header ImageMagick
// writes for a picture with alpha, 108 the version 4 one, both with colour
// masks (the alpha's included); 40 is a plain file whose fourth byte is
// padding. `alpha` gives the fourth byte of each pixel.
std::vector<uint8_t> File32(int w, int h, size_t header, const std::function<uint8_t(int, int)>& alpha)
{
    const size_t offBits = 14 + header;
    std::vector<uint8_t> f(offBits + size_t(w) * size_t(h) * 4, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, uint32_t(f.size()));
    Put32(f, 10, uint32_t(offBits));
    Put32(f, 14, uint32_t(header));
    Put32(f, 18, uint32_t(w));
    Put32(f, 22, uint32_t(h));
    Put16(f, 26, 1);
    Put16(f, 28, 32);
    Put32(f, 30, header == 40 ? 0 : 3);
    Put32(f, 34, uint32_t(size_t(w) * size_t(h) * 4));
    Put32(f, 38, 2835);
    Put32(f, 42, 2835);
    if (header > 40) {
        Put32(f, 54, 0x00FF0000);
        Put32(f, 58, 0x0000FF00);
        Put32(f, 62, 0x000000FF);
        Put32(f, 66, 0xFF000000);
        Put32(f, 70, 0x73524742); // sRGB
        if (header == 124)
            Put32(f, 122, 4); // the rendering intent ImageMagick writes
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Bgra c = Sample(x, y);
            uint8_t* p = f.data() + offBits + (size_t(h - 1 - y) * size_t(w) + size_t(x)) * 4;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
            p[3] = alpha(x, y);
        }
    return f;
}

void Save(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Save24(const fs::path& path, int w, int h, TPixelFormat format = pf24bit)
{
    TBitmap b(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Bgra c = Sample(x, y);
            b.SetPixelColor(x, y, TColor(c.r | c.g << 8 | c.b << 16));
        }
    b.SetPixelFormat(format);
    WriteBmpFile(path.string(), b);
}

// The corpus for a kind of size w x h: name and how to write it.
struct CorpusFile {
    const char* name;
    std::function<void(const fs::path&, int, int)> write;
};

const CorpusFile kCorpus[] = {
    {"exact", [](const fs::path& p, int w, int h) { Save24(p, w, h); }},
    {"smaller", [](const fs::path& p, int w, int h) { Save24(p, w * 2 / 3, h / 2); }},
    {"larger", [](const fs::path& p, int w, int h) { Save24(p, w + 37, h + 23); }},
    {"short", [](const fs::path& p, int w, int) { Save24(p, w, 61); }},
    {"paletted", [](const fs::path& p, int w, int h) { Save24(p, w, h, pf8bit); }},
    {"alpha between, as ImageMagick writes it",
     [](const fs::path& p, int w, int h) { Save(p, File32(w, h, 124, [](int x, int y) { return Sample(x, y).a; })); }},
    {"alpha 0 everywhere",
     [](const fs::path& p, int w, int h) { Save(p, File32(w, h, 124, [](int, int) { return uint8_t(0); })); }},
    {"alpha 0 and 255, version 4 header",
     [](const fs::path& p, int w, int h) {
         Save(p, File32(w + 5, h - 3, 108, [](int x, int y) { return uint8_t(Sample(x, y).a < 128 ? 0 : 255); }));
     }},
    {"32-bit without alpha, padding set",
     [](const fs::path& p, int w, int h) {
         Save(p, File32(w, h, 40, [](int x, int y) { return uint8_t(x * 7 + y); }));
     }},
    {"damaged",
     [](const fs::path& p, int w, int h) {
         const std::vector<uint8_t> whole = File32(w, h, 124, [](int, int) { return uint8_t(255); });
         Save(p, std::vector<uint8_t>(whole.begin(), whole.begin() + 200));
     }},
};

// ---- The program's side ---------------------------------------------------------

// What the program holds of a file: the picture's area and the mask's (or,
// for pictures without a mask, the picture itself: white is transparent).
struct ProgramHeld {
    const TBitmap* picture;
    TRect area;
    const TBitmap* mask;
    TRect maskArea;
};

struct VerdictKind {
    const char* id;        // the checker's kind
    const char* startFile; // the start-up file of that kind
    char key;              // the key that wears a file of it; 0: read at start-up
    std::function<ProgramHeld(TSvelmia&)> held;
};

TRect Whole(const TBitmap* b)
{
    return Rect(0, 0, b->GetWidth(), b->GetHeight());
}

ProgramHeld Masked(const TBitmap* picture, const TBitmap* mask)
{
    return {picture, Whole(picture), mask, Whole(mask)};
}

// A strip: the mask in the cell above the picture's.
ProgramHeld Strip(const TBitmap* strip, int cell)
{
    return {strip, Rect(0, cell, strip->GetWidth(), 2 * cell), strip, Rect(0, 0, strip->GetWidth(), cell)};
}

const VerdictKind kVerdictKinds[] = {
    {"costume", "vlm_co.bmp", '\\',
     [](TSvelmia& f) { return Masked(f.Costume->GetBitmap(), f.State().CostumeMask.get()); }},
    {"camisole", "vlm_ca.bmp", '7',
     [](TSvelmia& f) { return Masked(f.Camisole->GetBitmap(), f.State().CamisoleMask.get()); }},
    {"hairband", "vlm_hb.bmp", '0',
     [](TSvelmia& f) { return Masked(f.HairBand->GetBitmap(), f.State().HairBandMask.get()); }},
    {"flower", "vlm_fl.bmp", '9', [](TSvelmia& f) { return Strip(f.FlowerPict->GetBitmap(), 120); }},
    {"ribbon", "vlm_ri.bmp", '-',
     [](TSvelmia& f) { return Masked(f.Ribborn->GetBitmap(), f.State().RibbonMask.get()); }},
    {"choker", "vlm_ch.bmp", '8', [](TSvelmia& f) { return Strip(f.Choker->GetBitmap(), 150); }},
    {"earrings", "vlm_earring_list.bmp", 0,
     [](TSvelmia& f) { return Masked(f.EarringListPict->GetBitmap(), f.State().EarringListMask.get()); }},
    {"bracelets", "vlm_bracelet.bmp", 0,
     [](TSvelmia& f) {
         const TBitmap* list = f.BraceletList->GetBitmap();
         const TRect cells = Rect(0, 40, list->GetWidth(), list->GetHeight());
         return ProgramHeld{list, cells, f.State().BraceletMask.get(), cells};
     }},
    {"faces", "vlm_facelist.bmp", 0,
     [](TSvelmia& f) {
         return ProgramHeld{f.State().FaceList.get(), Whole(f.State().FaceList.get()), f.State().FaceList.get(),
                            Whole(f.State().FaceList.get())};
     }},
    {"string-pattern", "vlm_string_pattern_list.bmp", 0,
     [](TSvelmia& f) {
         const TBitmap* b = f.StringPattern->GetBitmap();
         return ProgramHeld{b, Whole(b), b, Whole(b)};
     }},
};

struct Verdict {
    bool refused = true;
    int width = 0, height = 0, cutColumns = 0, cutRows = 0;
    int64_t transparent = 0;
};

Verdict OfProgram(TSvelmia& form, const VerdictKind& kind, const TBitmap& file)
{
    const ProgramHeld h = kind.held(form);
    Verdict v;
    v.refused = false;
    v.width = h.area.Width();
    v.height = h.area.Height();
    v.cutColumns = std::max(0, file.GetWidth() - v.width);
    v.cutRows = std::max(0, file.GetHeight() - v.height);
    for (int y = h.maskArea.Top; y < h.maskArea.Bottom; ++y)
        for (int x = h.maskArea.Left; x < h.maskArea.Right; ++x)
            v.transparent += h.mask->GetPixelColor(x, y) == clWhite;
    return v;
}

Verdict OfChecker(const Report& r)
{
    return {r.held.refused, r.held.width, r.held.height, r.held.cutColumns, r.held.cutRows, r.held.transparent};
}

std::string Text(const Verdict& v)
{
    if (v.refused)
        return "refused";
    return std::to_string(v.width) + " x " + std::to_string(v.height) + ", cut " + std::to_string(v.cutColumns) +
           " columns and " + std::to_string(v.cutRows) + " rows, " + std::to_string(v.transparent) + " transparent";
}

class PartVerdictTest : public ::testing::TestWithParam<VerdictKind> {
protected:
    void SetUp() override
    {
        folder_ = velmia::test::CopyArtwork(velmia::test::ArtworkDir(), "velmia-verdict");
        previous_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    fs::path folder_, previous_;
};

TEST_P(PartVerdictTest, CheckerAndProgramAgree)
{
    const VerdictKind& kind = GetParam();
    const velmia::partcheck::Kind* checked = KindById(kind.id);
    ASSERT_NE(checked, nullptr);
    const int w = checked->width;
    const int h = checked->height ? checked->height : 2 * checked->cellHeight;
    fs::copy_file(kind.startFile, "default.bmp");

    HeadlessHost wearing;
    TSvelmia* worn = kind.key ? wearing.StartForm<TSvelmia>() : nullptr;
    if (worn)
        wearing.FireTimer(worn->Timer1); // the first tick: from here on keys act
    int refusals = 0;
    for (const CorpusFile& c : kCorpus) {
        SCOPED_TRACE(std::string(kind.id) + ", " + c.name);
        const std::string name = std::string(checked->prefix ? checked->file : "vlm_x") + "_corpus.bmp";
        c.write(name, w, h);
        const Report report = CheckFile(name, checked);
        TBitmap file;
        try {
            ReadBmpFile(name, file);
        } catch (const std::exception&) {
        }

        Verdict program;
        if (worn) {
            wearing.ScriptOpenDialog(name);
            wearing.TypeChar(kind.key);
            wearing.FireTimer(worn->Timer1);
            const bool refused = int(wearing.MessageBoxes().size()) > refusals;
            refusals = int(wearing.MessageBoxes().size());
            if (!refused)
                program = OfProgram(*worn, kind, file);
        } else {
            fs::copy_file(name, kind.startFile, fs::copy_options::overwrite_existing);
            HeadlessHost host;
            TSvelmia* form = host.StartForm<TSvelmia>();
            if (!host.StartupFailed())
                program = OfProgram(*form, kind, file);
            fs::copy_file("default.bmp", kind.startFile, fs::copy_options::overwrite_existing);
        }
        EXPECT_EQ(Text(OfChecker(report)), Text(program)) << velmia::partcheck::FormatText(report);
        // A file the program takes has no error that says it is refused.
        bool refusedByChecker = false;
        for (const auto& p : report.problems)
            refusedByChecker |= p.severity == Severity::Error && (p.rule == "readable" || p.rule == "size");
        EXPECT_EQ(refusedByChecker, program.refused) << velmia::partcheck::FormatText(report);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PartVerdictTest, ::testing::ValuesIn(kVerdictKinds),
                         [](const ::testing::TestParamInfo<VerdictKind>& info) {
                             std::string name = info.param.id;
                             for (char& ch : name)
                                 if (ch == '-')
                                     ch = '_';
                             return name;
                         });

} // namespace
