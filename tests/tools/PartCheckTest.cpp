// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The part checker over small made-up files: each rule's fault is caught with
// its severity, and a file that follows the rules passes.
#include "resources/EmbeddedPictures.h"
#include "toolkit/BmpCodec.h"
#include "tools/partcheck/PartRules.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

using namespace velmia::partcheck;
using vcl::TBitmap;
using vcl::TColor;

namespace fs = std::filesystem;

namespace {

constexpr TColor kWhite = 0x00FFFFFF;
constexpr TColor kBlue = 0x00C04020;
constexpr TColor kRed = 0x002020D0;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "velmia-partcheck-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void Fill(TBitmap& b, TColor c, int x0, int y0, int x1, int y1)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            b.SetPixelColor(x, y, c);
}

// A costume that follows every rule: a blue dress over the hem areas, a
// white corner outside them, and three bands that differ.
void GoodCostume(TBitmap& b)
{
    b.SetPixelFormat(vcl::pf24bit);
    b.SetSize(530, 300);
    Fill(b, kBlue, 0, 0, 530, 300);
    for (int band = 0; band < 3; ++band) {
        Fill(b, kWhite, 0, 100 * band + 70, 100, 100 * band + 100);
        Fill(b, kRed, 200, 100 * band + 65 + band, 220, 100 * band + 68 + band); // the chest rises
    }
}

void Part(TBitmap& b, int w, int h)
{
    b.SetPixelFormat(vcl::pf24bit);
    b.SetSize(w, h);
    Fill(b, kWhite, 0, 0, w, h);
    Fill(b, kRed, w / 4, h / 4, 3 * w / 4, 3 * h / 4);
}

// A black pixel of the program's hem pattern in the first band's wide area.
bool HemPixel(int& x, int& y)
{
    TBitmap pattern;
    vcl::DecodeBmp(velmia::resources::EmbeddedPictureData("HerimPattern"), pattern);
    for (y = 0; y <= 60; ++y)
        for (x = 0; x < 500; ++x)
            if (pattern.GetPixelColor(x, y) == vcl::clBlack)
                return true;
    return false;
}

struct Case {
    const char* label;
    const char* kind;
    std::function<void(TBitmap&)> draw;
    const char* rule; // nullptr: no problem at all
    Severity severity;
    const char* found; // a piece of the problem's text
};

const Case kCases[] = {
    {"a good costume", "costume", GoodCostume, nullptr, Severity::Error, ""},
    {"a good hairband", "hairband", [](TBitmap& b) { Part(b, 80, 100); }, nullptr, Severity::Error, ""},
    {"costume too large: shown cut, saved whole", "costume",
     [](TBitmap& b) {
         GoodCostume(b);
         b.SetSize(600, 340);
     },
     "size", Severity::Warning,
     "600 x 340, a costume is 530 x 300 (the portrait shows its top-left 530 x 300; a save writes the whole picture "
     "back)"},
    {"ribbon too narrow", "ribbon", [](TBitmap& b) { Part(b, 150, 80); }, "size", Severity::Warning,
     "150 x 80, a ribbon is 200 x 80 (what is missing stays empty)"},
    {"string pattern too short", "string-pattern",
     [](TBitmap& b) {
         Part(b, 280, 400);
         Fill(b, vcl::clBlack, 70, 100, 210, 300);
     },
     "size", Severity::Warning, "280 x 400, the string pattern is 280 x 630 (what is missing stays empty)"},
    {"strawberry scene too narrow", "scene-upper", [](TBitmap& b) { Part(b, 700, 600); }, "size", Severity::Warning,
     "(what is missing shows white)"},
    {"face list too narrow", "faces", [](TBitmap& b) { Part(b, 250, 246); }, "size", Severity::Warning,
     "(what is missing shows white)"},
    {"scene list too short", "scene-list",
     [](TBitmap& b) {
         Part(b, 75, 600);
         Fill(b, kBlue, 0, 0, 75, 600); // ten flat skies
     },
     "size", Severity::Warning, "(what is missing shows white)"},
    {"ribbon too large", "ribbon", [](TBitmap& b) { Part(b, 200, 90); }, "size", Severity::Warning,
     "200 x 90, a ribbon is 200 x 80 (the rest is cut off)"},
    {"face list with rows left over", "faces", [](TBitmap& b) { Part(b, 279, 200); }, "size", Severity::Warning,
     "(1 cell and 77 rows left over, which are not shown)"},
    {"face list without a whole face", "faces", [](TBitmap& b) { Part(b, 279, 100); }, "size", Severity::Error,
     "refuses a list without a whole face"},
    {"paletted part is shown as drawn", "hairband",
     [](TBitmap& b) {
         Part(b, 80, 100);
         b.SetPixelFormat(vcl::pf8bit);
     },
     nullptr, Severity::Error, ""},
    {"paletted costume is kept paletted", "costume",
     [](TBitmap& b) {
         GoodCostume(b);
         b.SetPixelFormat(vcl::pf4bit);
     },
     "depth", Severity::Warning,
     "4-bit with a palette: the program keeps the costume so, and a save writes it back so"},
    {"transparent background", "hairband",
     [](TBitmap& b) {
         Part(b, 80, 100);
         b.SetPixelFormat(vcl::pf32bit);
         b.SetHasAlpha(true);
         for (int y = 0; y < 100; ++y)
             for (int x = 0; x < 80; ++x) {
                 uint8_t* p = b.ScanLine(y) + 4 * x;
                 p[3] = p[0] == 255 ? 0 : 255;
                 if (p[3] == 0)
                     p[0] = p[1] = p[2] = 0; // a black background, transparent
             }
     },
     "alpha", Severity::Warning,
     "the alpha channel is in use: the transparent pixels are shown as the background (6000 pixels less than half "
     "opaque, taken as pure white)"},
    {"soft edge over white", "flower",
     [](TBitmap& b) {
         Part(b, 100, 120);
         b.SetPixelFormat(vcl::pf32bit);
         b.SetHasAlpha(true);
         for (int y = 0; y < 120; ++y)
             for (int x = 0; x < 100; ++x)
                 b.ScanLine(y)[4 * x + 3] = x == 25 && y >= 30 && y < 90 ? 128 : 255; // the red's left edge
     },
     "alpha", Severity::Warning, "the alpha channel is in use: 60 pixels partly transparent are laid over white"},
    {"light fringe", "flower",
     [](TBitmap& b) {
         Part(b, 100, 120);
         Fill(b, 0x00F0E6FF, 5, 5, 8, 7);     // (255,230,240) on the white
         b.SetPixelColor(40, 50, 0x00F0F0F0); // inside the red: no fringe
     },
     "white-fringe", Severity::Warning,
     "6 near-white pixels (every channel 230 or more, not pure white) touch pure white within (5,5)-(7,6), first at "
     "(5,5)"},
    {"near-white on a band's last row, the next band white", "costume",
     [](TBitmap& b) {
         GoodCostume(b);
         Fill(b, kWhite, 300, 100, 320, 102); // the next band's chest lower there
         Fill(b, 0x00F8F4EE, 300, 97, 320, 100);
     },
     nullptr, Severity::Error, ""},
    {"near-white touching white inside its band", "costume",
     [](TBitmap& b) {
         GoodCostume(b);
         Fill(b, kWhite, 300, 100, 320, 102);
         Fill(b, 0x00F8F4EE, 300, 102, 320, 104);
     },
     "white-fringe", Severity::Warning, "20 near-white pixels"},
    {"near-white on a cell's last row, the next cell white on top", "bracelets",
     [](TBitmap& b) {
         Part(b, 130, 200);
         Fill(b, kWhite, 0, 0, 130, 200);
         for (int cell = 0; cell < 5; ++cell)
             Fill(b, kRed, 10, 40 * cell + 10, 120, 40 * cell + 40);
         Fill(b, 0x00F0F0F0, 30, 39, 60, 40); // beads reach the cell's bottom row
     },
     nullptr, Severity::Error, ""},
    {"near-white inside the colour only", "flower",
     [](TBitmap& b) {
         Part(b, 100, 120);
         Fill(b, 0x00FEFEFE, 40, 50, 45, 55); // a highlight surrounded by red
     },
     nullptr, Severity::Error, ""},
    {"all white", "ribbon",
     [](TBitmap& b) {
         Part(b, 200, 80);
         Fill(b, kWhite, 0, 0, 200, 80);
     },
     "all-white", Severity::Error, "nothing of a ribbon shows"},
    {"no white", "choker",
     [](TBitmap& b) {
         Part(b, 150, 150);
         Fill(b, kRed, 0, 0, 150, 150);
     },
     "no-white", Severity::Warning, "no pixel is pure white"},
    {"white costume colour", "costume",
     [](TBitmap& b) {
         GoodCostume(b);
         b.SetPixelColor(100, 15, kWhite);
     },
     "costume-colour", Severity::Error, "(100,15) is pure white"},
    {"white in the hem", "costume",
     [](TBitmap& b) {
         GoodCostume(b);
         int x = 0, y = 0;
         ASSERT_TRUE(HemPixel(x, y));
         b.SetPixelColor(x, y, kWhite);
     },
     "hem", Severity::Error, "band 1: 1 pixel that the hem keys repaint is white"},
    {"identical bands", "costume",
     [](TBitmap& b) {
         GoodCostume(b);
         Fill(b, kBlue, 200, 0, 220, 300);
     },
     "bands", Severity::Warning, "the three bands of 100 rows are identical"},
    {"camisole bands 2 and 3 alike", "camisole",
     [](TBitmap& b) {
         Part(b, 550, 750);
         Fill(b, kWhite, 0, 0, 550, 750);
         b.SetPixelColor(10, 10, kBlue);
     },
     "bands", Severity::Warning, "bands 2 and 3 (rows 250-499 and 500-749) are identical"},
    {"grey in a string pattern", "string-pattern",
     [](TBitmap& b) {
         Part(b, 280, 630);
         Fill(b, vcl::clBlack, 70, 157, 210, 472);
         b.SetPixelColor(5, 300, 0x00808080);
         b.SetPixelColor(6, 300, 0x00000001);
     },
     "black-white", Severity::Error, "2 pixels are neither pure black nor pure white, first at (5,300) (128,128,128)"},
    {"earrings of different shapes", "earrings",
     [](TBitmap& b) {
         Part(b, 330, 600); // red over rows 150-449: the first cell is white
         Fill(b, kWhite, 0, 120, 330, 600);
         Fill(b, kRed, 10, 10, 50, 50);   // first cell's shape
         Fill(b, kRed, 10, 250, 50, 290); // cell 3 inside it
         Fill(b, kRed, 60, 250, 62, 251); // and two pixels outside
     },
     nullptr, Severity::Error, ""},
    {"bracelets inside the first cell", "bracelets",
     [](TBitmap& b) {
         Part(b, 130, 200);
         Fill(b, kWhite, 0, 0, 130, 200);
         for (int cell = 0; cell < 5; ++cell)
             Fill(b, kRed, 10, 40 * cell + 10, 120 - 10 * (cell > 0), 40 * cell + 30);
     },
     nullptr, Severity::Error, ""},
    {"night tile with a shaded sky", "scene-list",
     [](TBitmap& b) {
         Part(b, 75, 750);
         for (int tile = 0; tile < 10; ++tile)
             Fill(b, 0x00402010 + tile, 0, 75 * tile, 75, 75 * tile + 75);
         b.SetPixelColor(74, 75 * 6 + 20, 0x00402017); // a shade near the right side
     },
     "sky", Severity::Warning, "tile 7 (rows 450-524): 1 pixel of the top row and the sides above row 525"},
    {"sky gradient is not a horizon", "scene-list",
     [](TBitmap& b) {
         Part(b, 75, 750);
         for (int tile = 0; tile < 10; ++tile)
             Fill(b, 0x00402010 + tile, 0, 75 * tile, 75, 75 * tile + 75);
         for (int y = 1; y < 75; ++y)
             Fill(b, 0x00402010 + 2 * y, 0, 450 + y, 75, 450 + y + 1);
     },
     "sky", Severity::Warning, "tile 7 (rows 450-524): 26 pixels of the top row and the sides above row 465"},
    {"day tiles may shade their sky in bands", "scene-list",
     [](TBitmap& b) {
         Part(b, 75, 750);
         for (int tile = 0; tile < 10; ++tile)
             Fill(b, 0x00402010 + tile, 0, 75 * tile, 75, 75 * tile + 75);
         for (int y = 0; y < 450; ++y)
             if (y % 75 > 0)
                 Fill(b, 0x00402010 + 0x010101 * (y % 75 / 8), 0, y, 75, y + 1);
     },
     nullptr, Severity::Warning, ""},
    {"a horizon ends the sky", "scene-list",
     [](TBitmap& b) {
         Part(b, 75, 750);
         for (int tile = 0; tile < 10; ++tile)
             Fill(b, 0x00F0C080, 0, 75 * tile, 75, 75 * tile + 75);
         Fill(b, 0x00806040, 0, 75 + 60, 75, 75 + 62); // the sea line
         Fill(b, 0x00A0A0A0, 0, 75 + 62, 75, 75 + 75); // and the shore below
     },
     nullptr, Severity::Error, ""},
};

class PartCheckCases : public ::testing::TestWithParam<Case> {};

TEST_P(PartCheckCases, FindsTheFaultAndNothingElse)
{
    const Case& c = GetParam();
    TBitmap picture;
    c.draw(picture);
    const Kind* kind = KindById(c.kind);
    ASSERT_NE(kind, nullptr) << c.kind;
    const std::vector<Problem> problems = CheckPicture(picture, *kind);
    if (!c.rule) {
        for (const Problem& p : problems)
            ADD_FAILURE() << c.label << ": unexpected " << p.rule << ": " << p.text;
        return;
    }
    ASSERT_EQ(problems.size(), 1u) << c.label << (problems.empty() ? "" : ": " + problems[0].text);
    EXPECT_EQ(problems[0].rule, c.rule);
    EXPECT_EQ(problems[0].severity, c.severity);
    EXPECT_NE(problems[0].text.find(c.found), std::string::npos) << problems[0].text;
}

INSTANTIATE_TEST_SUITE_P(Rules, PartCheckCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(PartCheckKinds, FromTheFileName)
{
    const struct {
        const char* name;
        const char* kind; // nullptr: unknown
    } rows[] = {
        {"vlm_co.bmp", "costume"},
        {"vlm_co_red.bmp", "costume"},
        {"VLM_CO2.BMP", "costume"},
        {"some/folder/vlm_ri2.bmp", "ribbon"},
        {"vlm_ch02.bmp", "choker"},
        {"vlm_ca.bmp", "camisole"},
        {"vlm_hb9.bmp", "hairband"},
        {"vlm_fl.bmp", "flower"},
        {"vlm_scene_list.bmp", "scene-list"},
        {"vlm_crossstring_pattern.bmp", "cross-string-pattern"},
        {"vlm_facelist_lg.bmp", "faces-long-hair"},
        {"vlm_earring_framelist.bmp", "earring-frames"},
        {"vlm_co", nullptr},             // no extension
        {"vlm_co.png", nullptr},         // not a bitmap name
        {"vlm_c.bmp", nullptr},          // shorter than any prefix
        {"_vlm_ch5.bmp", nullptr},       // the browser does not list it either
        {"VLM_SCENE_LIST.BMP", nullptr}, // start-up opens the exact name
        {"vlm_scenelist2.bmp", nullptr},
    };
    for (const auto& r : rows) {
        const Kind* k = KindForName(r.name);
        if (!r.kind)
            EXPECT_EQ(k, nullptr) << r.name << " taken for " << (k ? k->id : "");
        else
            EXPECT_TRUE(k && std::string(k->id) == r.kind) << r.name << " taken for " << (k ? k->id : "nothing");
    }
}

// The file-level rules: an unknown name, a special file, a damaged file.
TEST(PartCheckFiles, RefusesWhatTheProgramCannotRead)
{
    TempFolder folder;
    TBitmap good;
    Part(good, 80, 100);
    vcl::WriteBmpFile(folder / "vlm_hb2.bmp", good);
    vcl::WriteBmpFile(folder / "picture.bmp", good);
    {
        std::ofstream(folder / "vlm_co_short.bmp") << "BM\x10";
    }
    fs::create_directory(folder / "vlm_ri_folder.bmp");
    ASSERT_EQ(::mkfifo((folder / "vlm_fl_pipe.bmp").c_str(), 0600), 0);

    const struct {
        std::string path;
        const char* kind;
        const char* rule;
        const char* found;
    } rows[] = {
        {folder / "vlm_hb2.bmp", nullptr, nullptr, ""},
        {folder / "picture.bmp", nullptr, "kind", "one of: costume, camisole, hairband"},
        {folder / "picture.bmp", "hairband", nullptr, ""},
        {folder / "vlm_co_short.bmp", nullptr, "readable", "truncated"},
        {folder / "vlm_ri_folder.bmp", nullptr, "regular-file", "a folder, not a regular file"},
        {folder / "vlm_fl_pipe.bmp", nullptr, "regular-file", "a named pipe, not a regular file"},
        {folder / "vlm_ch_missing.bmp", nullptr, "readable", "No such file"},
    };
    for (const auto& r : rows) {
        const Report report = CheckFile(r.path, r.kind ? KindById(r.kind) : nullptr);
        if (!r.rule) {
            EXPECT_TRUE(report.problems.empty()) << r.path << ": " << FormatText(report);
            continue;
        }
        ASSERT_EQ(report.problems.size(), 1u) << FormatText(report);
        EXPECT_EQ(report.problems[0].rule, r.rule) << r.path;
        EXPECT_EQ(report.problems[0].severity, Severity::Error) << r.path;
        EXPECT_NE(report.problems[0].text.find(r.found), std::string::npos) << report.problems[0].text;
    }
}

TEST(PartCheckOutput, TextAndJson)
{
    Report ok{"vlm_hb2.bmp", KindById("hairband"), {}, {}};
    Report bad{"dir/vlm_co \"x\".bmp",
               KindById("costume"),
               {{Severity::Error, "size", "500 x 300"}, {Severity::Warning, "bands", "a\tb"}},
               {}};
    Report unknown{"x.bmp", nullptr, {{Severity::Error, "kind", "k"}}, {}};
    EXPECT_EQ(FormatText(ok), "vlm_hb2.bmp: ok\n");
    EXPECT_EQ(FormatText(bad), "dir/vlm_co \"x\".bmp: 2 problems\n  error: size: 500 x 300\n  warning: bands: a\tb\n");
    EXPECT_EQ(FormatText(unknown), "x.bmp: 1 problem\n  error: kind: k\n");
    EXPECT_EQ(FormatJson({ok, bad, unknown}),
              "[{\"file\": \"vlm_hb2.bmp\", \"kind\": \"hairband\", \"ok\": true, \"errors\": 0, \"warnings\": 0, "
              "\"problems\": []},\n"
              " {\"file\": \"dir/vlm_co \\\"x\\\".bmp\", \"kind\": \"costume\", \"ok\": false, \"errors\": 1, "
              "\"warnings\": 1, \"problems\": [{\"severity\": \"error\", \"rule\": \"size\", \"text\": \"500 x 300\"}, "
              "{\"severity\": \"warning\", \"rule\": \"bands\", \"text\": \"a\\u0009b\"}]},\n"
              " {\"file\": \"x.bmp\", \"kind\": null, \"ok\": false, \"errors\": 1, \"warnings\": 0, \"problems\": "
              "[{\"severity\": \"error\", \"rule\": \"kind\", \"text\": \"k\"}]}]\n");
    EXPECT_FALSE(ok.HasError());
    EXPECT_TRUE(bad.HasError());
}

// Names are bytes, JSON is UTF-8 text: valid characters pass, and every byte
// that is not part of one becomes \ufffd.
TEST(PartCheckOutput, JsonNamesAreValidUtf8)
{
    const struct {
        std::string name;
        std::string json;
    } rows[] = {
        {"vlm_co\xff\xfe.bmp", "vlm_co\\ufffd\\ufffd.bmp"},
        {"vlm_co\xc3\xa9\xf0\x9f\x8e\x80.bmp", "vlm_co\xc3\xa9\xf0\x9f\x8e\x80.bmp"}, // two characters
        {"vlm_co\xc3.bmp", "vlm_co\\ufffd.bmp"},                                      // cut short
        {"vlm_co\xe2\x82", "vlm_co\\ufffd\\ufffd"},                                   // cut short at the end
        {"vlm_co\xc0\xae.bmp", "vlm_co\\ufffd\\ufffd.bmp"},                           // an overlong '.'
        {"vlm_co\xed\xa0\x80.bmp", "vlm_co\\ufffd\\ufffd\\ufffd.bmp"},                // a surrogate
        {"vlm_co\xf4\x90\x80\x80", "vlm_co\\ufffd\\ufffd\\ufffd\\ufffd"},             // above U+10FFFF
        {"a\x80\"\x1f", "a\\ufffd\\\"\\u001f"},
    };
    for (const auto& r : rows) {
        const Report report{r.name, nullptr, {{Severity::Error, "readable", r.name + ": No such file"}}, {}};
        EXPECT_EQ(FormatJson({report}), "[{\"file\": \"" + r.json +
                                            "\", \"kind\": null, \"ok\": false, \"errors\": 1, \"warnings\": 0, "
                                            "\"problems\": [{\"severity\": \"error\", \"rule\": \"readable\", "
                                            "\"text\": \"" +
                                            r.json + ": No such file\"}]}]\n");
    }
}

} // namespace
