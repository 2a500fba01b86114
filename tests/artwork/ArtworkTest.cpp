// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Checks over the default picture set as the build wrote it.
#include "resources/EmbeddedPictures.h"
#include "toolkit/BmpCodec.h"
#include "toolkit/Graphics.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using vcl::TPixelFormat;

// A picture read into plain 0xRRGGBB values.
struct Image {
    int w = 0, h = 0;
    TPixelFormat format = vcl::pf24bit;
    std::vector<uint32_t> px;

    uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
};

constexpr uint32_t kWhite = 0xFFFFFF;

Image FromBitmap(const vcl::TBitmap& bmp)
{
    Image img;
    img.w = bmp.GetWidth();
    img.h = bmp.GetHeight();
    img.format = bmp.GetPixelFormat();
    img.px.resize(size_t(img.w) * img.h);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const vcl::TColor c = bmp.GetPixelColor(x, y);
            img.px[size_t(y) * img.w + x] =
                (uint32_t(vcl::GetRValue(c)) << 16) | (uint32_t(vcl::GetGValue(c)) << 8) | vcl::GetBValue(c);
        }
    return img;
}

const Image& File(const std::string& name, const std::string& dir = VELMIA_RUN_DIR)
{
    static std::map<std::string, Image> cache;
    const std::string path = dir + "/" + name;
    auto it = cache.find(path);
    if (it == cache.end()) {
        vcl::TBitmap bmp;
        vcl::ReadBmpFile(path, bmp);
        it = cache.emplace(path, FromBitmap(bmp)).first;
    }
    return it->second;
}

const Image& Embedded(const std::string& control)
{
    static std::map<std::string, Image> cache;
    auto it = cache.find(control);
    if (it == cache.end()) {
        const auto data = velmia::resources::EmbeddedPictureData(control);
        vcl::TBitmap bmp;
        vcl::DecodeBmp(data, bmp, control);
        it = cache.emplace(control, FromBitmap(bmp)).first;
    }
    return it->second;
}

int Channel(uint32_t c, int shift)
{
    return int((c >> shift) & 0xFF);
}
int MinChannel(uint32_t c)
{
    return std::min({Channel(c, 16), Channel(c, 8), Channel(c, 0)});
}

struct Cell {
    int x, y, w, h;
};

// Whites and non-whites inside a cell.
std::pair<long, long> Count(const Image& img, Cell c)
{
    long white = 0, other = 0;
    for (int y = c.y; y < c.y + c.h; ++y)
        for (int x = c.x; x < c.x + c.w; ++x)
            (img.at(x, y) == kWhite ? white : other)++;
    return {white, other};
}

void CheckKeyedCells(const Image& img, int cellH);

// ---------------------------------------------------------------- layout

struct FileCase {
    const char* name;
    int w, h;
    int cellH;  // height of one cell (h when the picture is one cell)
    bool keyed; // a part with transparent areas (its mask must be neither empty nor full)
};

const FileCase kFiles[] = {
    {"vlm_scene_strawberry_upper.bmp", 800, 600, 300, false},
    {"vlm_scene_strawberry_lower.bmp", 800, 600, 300, false},
    {"vlm_scene_list.bmp", 75, 750, 75, false},
    {"vlm_0_main_hair.bmp", 600, 300, 300, true},
    {"vlm_0_hair_sub_up.bmp", 500, 120, 120, true},
    {"vlm_co.bmp", 530, 300, 100, true},
    {"vlm_ca.bmp", 550, 750, 250, true},
    {"vlm_earring_list.bmp", 330, 600, 120, true},
    {"vlm_string_pattern_list.bmp", 280, 630, 210, true},
    {"vlm_thickstring_pattern.bmp", 290, 630, 210, true},
    {"vlm_crossstring_pattern.bmp", 290, 570, 190, true},
    {"vlm_wstring_pattern.bmp", 390, 480, 160, true},
    {"vlm_ri.bmp", 200, 80, 80, true},
    {"vlm_hb.bmp", 80, 100, 100, true},
    {"vlm_fl.bmp", 100, 120, 120, true},
    {"vlm_ch.bmp", 150, 150, 150, true},
    {"vlm_bracelet.bmp", 130, 200, 40, true},
    {"vlm_0_main_hair_longleft.bmp", 150, 150, 150, true},
    {"vlm_facelist.bmp", 279, 16 * 123, 123, false},
    {"vlm_facelist_lg.bmp", 279, 16 * 123, 123, false},
    {"vlm_earring_framelist.bmp", 340, 600, 120, true},
    {"vlm_shaggy.bmp", 450, 250, 250, true},
    {"vlm_pank.bmp", 450, 200, 200, true},
    {"vlm_otohime.bmp", 500, 400, 400, true},
    {"vlm_background.bmp", 220, 300, 300, true},
    {"vlm_streaming.bmp", 100, 100, 100, true},
    {"vlm_starlist.bmp", 120, 500, 100, true},
};

struct EmbeddedCase {
    const char* control;
    int w, h;
    TPixelFormat format;
    bool keyed;
};

const EmbeddedCase kEmbedded[] = {
    {"mainsave", 420, 300, vcl::pf24bit, true},         {"subworkcanvas", 700, 700, vcl::pf24bit, true},
    {"HairSide", 420, 200, vcl::pf24bit, true},         {"HairLong", 260, 260, vcl::pf24bit, true},
    {"HairNotLong", 260, 260, vcl::pf24bit, true},      {"HairBottom", 60, 50, vcl::pf24bit, false},
    {"HerimPattern", 530, 300, vcl::pf1bit, false},     {"CloseeyePict", 243, 123, vcl::pf24bit, false},
    {"CloseeyePict_lg", 243, 123, vcl::pf24bit, false}, {"CloseEyePictGray", 243, 123, vcl::pf8bit, false},
    {"MainPictGray", 800, 300, vcl::pf8bit, false},     {"SubPictListGray", 800, 900, vcl::pf8bit, false},
    {"Small4Pict", 800, 600, vcl::pf8bit, false},       {"SmallClosedPict0", 130, 60, vcl::pf8bit, false},
    {"SmallClosedPict01", 130, 60, vcl::pf8bit, false}, {"logo", 260, 120, vcl::pf4bit, false},
};

TEST(ArtworkLayout, FilesHaveTheirSizeDepthAndCells)
{
    for (const FileCase& f : kFiles) {
        SCOPED_TRACE(f.name);
        const Image& img = File(f.name);
        EXPECT_EQ(img.format, vcl::pf24bit);
        EXPECT_EQ(img.w, f.w);
        EXPECT_EQ(img.h, f.h);
        EXPECT_EQ(img.h % f.cellH, 0);
    }
    EXPECT_GE(File("vlm_facelist.bmp").h / 123, 16);
    EXPECT_EQ(File("vlm_facelist.bmp").h, File("vlm_facelist_lg.bmp").h);
}

TEST(ArtworkLayout, EmbeddedPicturesHaveTheirSizeAndDepth)
{
    for (const EmbeddedCase& e : kEmbedded) {
        SCOPED_TRACE(e.control);
        ASSERT_FALSE(velmia::resources::EmbeddedPictureData(e.control).empty());
        const Image& img = Embedded(e.control);
        EXPECT_EQ(img.w, e.w);
        EXPECT_EQ(img.h, e.h);
        EXPECT_EQ(img.format, e.format);
    }
    EXPECT_EQ(velmia::resources::EmbeddedPictureNames().size(), std::size(kEmbedded));
    EXPECT_TRUE(velmia::resources::EmbeddedPictureData("Mainpict").empty());
}

// The wardrobe beyond the default part of each kind.
struct KindCase {
    const char* prefix;
    int first, count; // numbers of the extra files
    bool twoDigits;   // chokers: the open dialog lists two more characters
    int w, h, cellH;
};

const KindCase kKinds[] = {
    {"vlm_co", 2, 7, false, 530, 300, 100}, {"vlm_ca", 2, 5, false, 550, 750, 250},
    {"vlm_ri", 2, 5, false, 200, 80, 80},   {"vlm_hb", 2, 5, false, 80, 100, 100},
    {"vlm_fl", 2, 5, false, 100, 120, 120}, {"vlm_ch", 2, 5, true, 150, 150, 150},
};

std::vector<std::string> ExtraNames(const KindCase& k)
{
    std::vector<std::string> names;
    for (int n = k.first; n < k.first + k.count; ++n)
        names.push_back(k.prefix + std::string(k.twoDigits && n < 10 ? "0" : "") + std::to_string(n) + ".bmp");
    return names;
}

// A costume carries its own outline: white is outside it.
bool Cloth(const Image& costume, int x, int y)
{
    return costume.at(x, y) != kWhite;
}

const Image& Costume(const std::string& name)
{
    return File(name, name == "vlm_co.bmp" ? VELMIA_RUN_DIR : VELMIA_EXTRA_PARTS_DIR);
}

TEST(ArtworkLayout, ExtraPartsFollowTheirKindsNamesAndSizes)
{
    for (const KindCase& k : kKinds)
        for (const std::string& name : ExtraNames(k)) {
            SCOPED_TRACE(name);
            // the open dialogs list the default name plus one or two characters
            // (a choker's one-character name would need a leading underscore)
            const size_t more = name.size() - std::string(k.prefix).size() - 4;
            EXPECT_EQ(more, k.twoDigits ? 2u : 1u);
            const Image& img = File(name, VELMIA_EXTRA_PARTS_DIR);
            EXPECT_EQ(img.format, vcl::pf24bit);
            EXPECT_EQ(img.w, k.w);
            EXPECT_EQ(img.h, k.h);
            CheckKeyedCells(img, k.cellH);
            // and the same file lies in the folder the program starts in
            EXPECT_EQ(File(name).px, img.px);
        }
}

TEST(ArtworkLayout, CostumesComeInCutsOfTheirOwn)
{
    // Each costume carries its own outline: count the distinct shapes of
    // cloth (where the picture is not white) among the default and the
    // extra costumes.
    std::vector<std::vector<bool>> masks;
    std::vector<std::string> names = ExtraNames(kKinds[0]);
    names.insert(names.begin(), "vlm_co.bmp");
    for (const std::string& name : names) {
        const Image& img = Costume(name);
        std::vector<bool> mask(img.px.size());
        for (size_t i = 0; i < img.px.size(); ++i)
            mask[i] = img.px[i] != kWhite;
        bool seen = false;
        for (const auto& m : masks) {
            long differ = 0;
            for (size_t i = 0; i < m.size(); ++i)
                differ += m[i] != mask[i];
            seen = seen || differ < 300;
        }
        if (!seen)
            masks.push_back(mask);
    }
    EXPECT_GE(masks.size(), 7u);
}

TEST(ArtworkLayout, WardrobePartsDifferInShape)
{
    // Each extra part of a kind is a cut of its own, not a recolour: the masks
    // (where the part is opaque) of any two differ.
    for (const KindCase& k : kKinds) {
        std::vector<std::string> names = ExtraNames(k);
        names.insert(names.begin(), std::string(k.prefix) + ".bmp");
        for (size_t a = 0; a < names.size(); ++a)
            for (size_t b = a + 1; b < names.size(); ++b) {
                const Image& x = File(names[a], a == 0 ? VELMIA_RUN_DIR : VELMIA_EXTRA_PARTS_DIR);
                const Image& y = File(names[b], VELMIA_EXTRA_PARTS_DIR);
                long differ = 0;
                for (size_t i = 0; i < x.px.size(); ++i)
                    differ += (x.px[i] == kWhite) != (y.px[i] == kWhite);
                // costumes share a cut in pairs; they differ in their print
                if (std::string(k.prefix) == "vlm_co")
                    continue;
                EXPECT_GT(differ, 100) << names[a] << " and " << names[b];
            }
    }
}

// ---------------------------------------------------------------- keying

// Every cell of a keyed part: its mask is neither empty nor full, there is
// no pure white enclosed by the part (it would turn into a hole), and no
// washed-out pixel on the part's edge (a half-transparent pixel mixed with
// white, which shows as a light halo on dark scenes).
void CheckKeyedCells(const Image& img, int cellH)
{
    for (int c = 0; c * cellH < img.h; ++c) {
        SCOPED_TRACE("cell " + std::to_string(c));
        const Cell cell{0, c * cellH, img.w, cellH};
        const auto [white, other] = Count(img, cell);
        EXPECT_GT(white, 0) << "mask is full";
        EXPECT_GT(other, 0) << "mask is empty";
        int enclosed = 0, halo = 0;
        for (int y = cell.y + 1; y < cell.y + cellH - 1; ++y)
            for (int x = 1; x < img.w - 1; ++x) {
                const uint32_t p = img.at(x, y);
                const int whites = (img.at(x - 1, y) == kWhite) + (img.at(x + 1, y) == kWhite) +
                                   (img.at(x, y - 1) == kWhite) + (img.at(x, y + 1) == kWhite);
                if (p == kWhite && whites == 0)
                    ++enclosed;
                if (p != kWhite && whites > 0 && MinChannel(p) >= 238)
                    ++halo;
            }
        EXPECT_EQ(enclosed, 0);
        EXPECT_EQ(halo, 0);
    }
}

TEST(ArtworkKeying, PartFilesAreCrisp)
{
    for (const FileCase& f : kFiles)
        if (f.keyed) {
            SCOPED_TRACE(f.name);
            CheckKeyedCells(File(f.name), f.cellH);
        }
}

TEST(ArtworkKeying, EmbeddedPartsAreCrisp)
{
    for (const EmbeddedCase& e : kEmbedded)
        if (e.keyed) {
            SCOPED_TRACE(e.control);
            CheckKeyedCells(Embedded(e.control), e.h);
        }
}

// ---------------------------------------------------------------- fit

TEST(ArtworkFit, FaceCellsCoverTheFaceColumnAndDifferOnlyInTheEyes)
{
    for (const char* name : {"vlm_facelist.bmp", "vlm_facelist_lg.bmp"}) {
        SCOPED_TRACE(name);
        const Image& faces = File(name);
        EXPECT_EQ(Count(faces, {0, 0, faces.w, faces.h}).first, 0) << "white in a face cell";
        for (int c = 1; c * 123 < faces.h; ++c)
            for (int y = 0; y < 123; ++y)
                for (int x : {0, 8, 16, 260, 270, 278})
                    ASSERT_EQ(faces.at(x, 123 * c + y), faces.at(x, y)) << "cell " << c << " at " << x << "," << y;
    }
}

TEST(ArtworkFit, ClosedEyesMatchEveryFaceCellAtTheirBorder)
{
    const struct {
        const char* closed;
        const char* faces;
    } pairs[] = {{"CloseeyePict", "vlm_facelist.bmp"}, {"CloseeyePict_lg", "vlm_facelist_lg.bmp"}};
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.closed);
        const Image& eyes = Embedded(p.closed);
        const Image& faces = File(p.faces);
        EXPECT_EQ(Count(eyes, {0, 0, eyes.w, eyes.h}).first, 0);
        for (int c = 0; c * 123 < faces.h; ++c) {
            int mismatches = 0;
            for (int y = 0; y < 123; ++y)
                for (int x : {0, 1, 241, 242})
                    mismatches += eyes.at(x, y) != faces.at(17 + x, 123 * c + y);
            for (int x = 0; x < 243; ++x)
                mismatches +=
                    eyes.at(x, 0) != faces.at(17 + x, 123 * c) || eyes.at(x, 122) != faces.at(17 + x, 123 * c + 122);
            EXPECT_EQ(mismatches, 0) << "face " << c;
        }
    }
}

// Where a cell's colour changes between neighbours: the outlines of what is
// drawn in it, whatever the colours.
std::vector<bool> Outlines(const Image& img, int top, int h)
{
    std::vector<bool> e(size_t(img.w) * h * 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const uint32_t c = img.at(x, top + y);
            e[(size_t(y) * img.w + x) * 2] = x + 1 < img.w && c != img.at(x + 1, top + y);
            e[(size_t(y) * img.w + x) * 2 + 1] = y + 1 < h && c != img.at(x, top + y + 1);
        }
    return e;
}

TEST(ArtworkFit, ListCellsShareTheFirstCellsShape)
{
    // The program masks every cell of these lists with the first cell's shape:
    // a cell that is opaque where the first is white shows inverted garbage,
    // and one that is white where the first is opaque shows a white hole.
    // Within that shape each jewel is drawn in a shape of its own (the rest
    // shows what lies beneath): the outlines of any two cells differ, as a
    // recolour's would not.
    const struct {
        const char* name;
        int cellH;
    } lists[] = {{"vlm_earring_list.bmp", 120}, {"vlm_earring_framelist.bmp", 120}, {"vlm_bracelet.bmp", 40}};
    for (const auto& l : lists) {
        SCOPED_TRACE(l.name);
        const Image& img = File(l.name);
        for (int c = 1; c * l.cellH < img.h; ++c) {
            int differ = 0;
            for (int y = 0; y < l.cellH; ++y)
                for (int x = 0; x < img.w; ++x)
                    differ += (img.at(x, y) == kWhite) != (img.at(x, c * l.cellH + y) == kWhite);
            EXPECT_EQ(differ, 0) << "cell " << c;
        }
        for (int a = 0; a < 5; ++a)
            for (int b = a + 1; b < 5; ++b) {
                const auto ea = Outlines(img, a * l.cellH, l.cellH), eb = Outlines(img, b * l.cellH, l.cellH);
                long differ = 0;
                for (size_t i = 0; i < ea.size(); ++i)
                    differ += ea[i] != eb[i];
                EXPECT_GT(differ, 120) << "cells " << a << " and " << b << " are one shape";
            }
    }
}

TEST(ArtworkFit, HairEndsAreAllHair)
{
    const Image& tip = Embedded("HairBottom");
    EXPECT_EQ(Count(tip, {0, 0, tip.w, tip.h}).first, 0);
    // and the body leaves a gap for them to show through
    const Image& body = Embedded("subworkcanvas");
    EXPECT_GT(Count(body, {520, 250, 60, 50}).first, 100);
}

// The upper picture as the program layers it for a hair style that hides
// the standard back hair: the base figure, the side hair (not with pank),
// the opaque face cell, the hairband, then the style's own picture. Each
// window pixel says which layer it came from.
enum class Layer { None, Base, Side, Face, Hairband, Style };

struct Upper {
    std::vector<Layer> from = std::vector<Layer>(800 * 300, Layer::None);
    std::vector<uint32_t> px = std::vector<uint32_t>(800 * 300, kWhite);

    void Put(const Image& img, int cx, int cy, int w, int h, int wx, int wy, Layer l, bool opaque = false)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t c = img.at(cx + x, cy + y);
                const int X = wx + x, Y = wy + y;
                if ((opaque || c != kWhite) && X >= 0 && X < 800 && Y >= 0 && Y < 300) {
                    from[size_t(Y) * 800 + X] = l;
                    px[size_t(Y) * 800 + X] = c;
                }
            }
    }
};

TEST(ArtworkFit, HairStylesCoverTheBaseHead)
{
    // The base figure carries the standard fringe and the shaded back of the
    // head behind the ear, in the hair's own colours. A style worn instead
    // of the standard hair must cover every such pixel; pank, in a colour of
    // its own, also the standard hair of the face cell and, drawn over the
    // hairband, every hairband pixel. With the standard hair hidden the
    // side hair must cover the base figure's hair left of the face.
    const uint32_t hairColours[] = {0x8c4936, 0x5e2b22, 0x6c3428, 0xc47c5a, 0x3b1712};
    const char* hairbands[] = {"vlm_hb.bmp", "vlm_hb2.bmp", "vlm_hb3.bmp", "vlm_hb4.bmp", "vlm_hb5.bmp", "vlm_hb6.bmp"};
    const struct {
        const char* label;
        const char* style; // nullptr: the standard hair hidden (c)
        int w, h;
        bool side;    // the side hair stays
        bool own;     // a hair colour of its own: covers the face cell's hair and the hairband
        int rightEnd; // base figure pixels counted left of this column
    } styles[] = {{"pank", "vlm_pank.bmp", 450, 200, false, true, 800},
                  {"shaggy", "vlm_shaggy.bmp", 450, 250, true, false, 800},
                  {"hidden", nullptr, 0, 0, true, false, 236}};
    for (const auto& s : styles) {
        for (const char* band : hairbands) {
            SCOPED_TRACE(std::string(s.label) + " with " + band);
            Upper up;
            up.Put(Embedded("mainsave"), 0, 0, 420, 300, 170, 0, Layer::Base);
            if (s.side)
                up.Put(Embedded("HairSide"), 0, 0, 420, 200, 170, 0, Layer::Side);
            up.Put(File("vlm_facelist.bmp"), 0, 0, 279, 111, 221, 0, Layer::Face, true);
            up.Put(File("vlm_facelist.bmp"), 12, 111, 267, 12, 233, 111, Layer::Face, true);
            const Image& hb = File(band, std::string(band) == "vlm_hb.bmp" ? VELMIA_RUN_DIR : VELMIA_EXTRA_PARTS_DIR);
            up.Put(hb, 0, 0, 80, 100, 480, 0, Layer::Hairband);
            if (s.style)
                up.Put(File(s.style), 0, 0, s.w, s.h, 150, 0, Layer::Style);
            int head = 0, face = 0, band_ = 0;
            for (size_t i = 0; i < up.px.size(); ++i) {
                const bool hair =
                    std::find(std::begin(hairColours), std::end(hairColours), up.px[i]) != std::end(hairColours);
                head += hair && up.from[i] == Layer::Base && int(i % 800) < s.rightEnd;
                face += hair && up.from[i] == Layer::Face;
                band_ += up.from[i] == Layer::Hairband;
            }
            EXPECT_EQ(head, 0) << "pixels of the base figure's hair show";
            if (s.own) {
                EXPECT_EQ(face, 0) << "pixels of the face cell's standard hair show";
                EXPECT_EQ(band_, 0) << "hairband pixels show through";
            }
        }
    }
}

TEST(ArtworkFit, BraceletSitsOnTheArm)
{
    // The program draws the bracelet at (670,560)-(800,600) of every body
    // frame, the same place whatever the pose: the wrist must run through
    // that rectangle in each pose, stay put while the chest rises (or the
    // bracelet slides on it), and every bracelet pixel must lie on it.
    const Image& body = Embedded("subworkcanvas");
    const Image& bracelets = File("vlm_bracelet.bmp");
    const int poseRow[] = {260, 460, 660}; // the rectangle's top row in each pose's band
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE("pose " + std::to_string(k));
        for (int y = 0; y < 40; ++y) {
            int skin = 0;
            for (int x = 0; x < 130; ++x) {
                skin += body.at(570 + x, poseRow[k] + y) != kWhite;
                EXPECT_EQ(body.at(570 + x, poseRow[k] + y), body.at(570 + x, poseRow[0] + y)) << x << "," << y;
            }
            EXPECT_GT(skin, 20) << "no arm in row " << y;
        }
        for (int c = 0; c < 5; ++c)
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 130; ++x)
                    if (bracelets.at(x, 40 * c + y) != kWhite) {
                        ASSERT_NE(body.at(570 + x, poseRow[k] + y), kWhite) << "cell " << c << " at " << x << "," << y;
                    }
    }
}

TEST(ArtworkFit, CostumeColourAndHemLieOnTheCostume)
{
    const Image& costume = File("vlm_co.bmp");
    const uint32_t main = costume.at(100, 15);
    EXPECT_NE(main, kWhite);
    EXPECT_LT(MinChannel(main), 200) << "the strings are tinted with this colour";
    const Image& hem = Embedded("HerimPattern");
    for (int band = 0; band < 3; ++band) {
        long black = 0;
        for (int y = 100 * band; y < 100 * band + 100; ++y)
            for (int x = 0; x < 530; ++x)
                if (hem.at(x, y) == 0) {
                    ++black;
                    ASSERT_NE(costume.at(x, y), kWhite) << x << "," << y;
                }
        EXPECT_GT(black, 500) << "band " << band;
    }
}

// Where the hem keys paint within each 100-row band of a costume.
bool HemKeysPaint(int x, int y)
{
    y %= 100;
    return (y < 61 && x < 500) || (y >= 61 && x >= 470);
}

TEST(ArtworkFit, EveryCostumeWearsItsTrimExactlyOnTheHem)
{
    // The hem keys paint the fixed hem pattern over whichever costume is
    // worn: it lies on cloth, where the keys paint, and on every costume it
    // is the trim, the whole trim and nothing else. The trim's colour is the
    // commonest one on the pattern; after the pattern is painted none of it
    // may be left, and the pattern may not cover the dress's own colour.
    const Image& hem = Embedded("HerimPattern");
    std::vector<std::string> names = ExtraNames(kKinds[0]);
    names.insert(names.begin(), "vlm_co.bmp");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const Image& costume = Costume(name);
        const uint32_t main = costume.at(100, 15);
        EXPECT_NE(main, kWhite);
        std::map<uint32_t, long> onHem;
        long unpainted = 0, bare = 0, dress = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 530; ++x)
                if (hem.at(x, y) == 0) {
                    ++onHem[costume.at(x, y)];
                    unpainted += !HemKeysPaint(x, y);
                    bare += costume.at(x, y) == kWhite;
                    dress += costume.at(x, y) == main;
                }
        ASSERT_FALSE(onHem.empty());
        uint32_t trim = 0;
        long total = 0, most = 0;
        for (auto [c, n] : onHem) {
            total += n;
            if (n > most) {
                most = n;
                trim = c;
            }
        }
        long left = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 530; ++x)
                left += hem.at(x, y) != 0 && costume.at(x, y) == trim;
        EXPECT_EQ(unpainted, 0) << "pattern pixels the keys never paint";
        EXPECT_EQ(bare, 0) << "hem pixels outside the dress";
        EXPECT_EQ(dress, 0) << "the hem covers the dress's own colour";
        EXPECT_EQ(left, 0) << "trim outside the hem stays when the hem is painted";
        EXPECT_GT(most * 2, total) << "the trim is not one colour";
    }
}

TEST(ArtworkFit, BodyAndClothesBreathe)
{
    const Image& costume = File("vlm_co.bmp");
    int differ = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 530; ++x)
            differ += costume.at(x, y) != costume.at(x, 200 + y);
    EXPECT_GT(differ, 500);
}

TEST(ArtworkFit, FaceCellsDifferOnlyUnderTheClosedEyes)
{
    // A blink lays the closed-eye picture over columns 17-258 of the face
    // column: every pixel in which two faces differ (a lash, an iris, a
    // tear) must lie there, or it stays on screen with the eyes closed.
    for (const char* name : {"vlm_facelist.bmp", "vlm_facelist_lg.bmp"}) {
        SCOPED_TRACE(name);
        const Image& faces = File(name);
        for (int c = 1; c * 123 < faces.h; ++c) {
            int outside = 0;
            for (int y = 0; y < 123; ++y)
                for (int x = 0; x < faces.w; ++x)
                    if ((x < 17 || x > 259) && faces.at(x, 123 * c + y) != faces.at(x, y))
                        ++outside;
            EXPECT_EQ(outside, 0) << "face " << c;
        }
    }
}

// Where each view lays the closed-eye picture, the open eyes of every face must
// not differ from it in these parts of the eye patch (patch coordinates):
// the scene show refreshes the right strip of the left figure's closed eyes
// from the freshly composed picture, that is from the open eyes; the
// close-up stretches the patch and the picture separately, so its edges may
// be a pixel off.
struct EyeRegion {
    const char* view;
    Cell cell;
};

TEST(ArtworkFit, ClosedEyesHideTheOpenEyesInEveryView)
{
    const EyeRegion regions[] = {
        {"show, left figure: the refreshed strip", {216, 0, 27, 70}},
        {"close-up: left edge", {0, 0, 4, 123}},
        {"close-up: right edge", {239, 0, 4, 123}},
        {"close-up: top edge", {0, 0, 243, 4}},
        {"close-up: bottom edge", {0, 119, 243, 4}},
    };
    const struct {
        const char* closed;
        const char* faces;
    } pairs[] = {{"CloseeyePict", "vlm_facelist.bmp"}, {"CloseeyePict_lg", "vlm_facelist_lg.bmp"}};
    for (const auto& p : pairs) {
        const Image& eyes = Embedded(p.closed);
        const Image& faces = File(p.faces);
        for (const EyeRegion& r : regions) {
            SCOPED_TRACE(std::string(p.faces) + ", " + r.view);
            for (int c = 0; c * 123 < faces.h; ++c) {
                int shows = 0, firstX = -1, firstY = -1;
                for (int y = r.cell.y; y < r.cell.y + r.cell.h; ++y)
                    for (int x = r.cell.x; x < r.cell.x + r.cell.w; ++x)
                        if (faces.at(17 + x, 123 * c + y) != eyes.at(x, y) && shows++ == 0) {
                            firstX = x;
                            firstY = y;
                        }
                EXPECT_EQ(shows, 0) << "face " << c << ", first at patch " << firstX << "," << firstY;
            }
        }
    }
}

// Parts that end inside their cell: no opaque pixel on the cell's border
// rows and columns (`margin` pixels deep), or the part is cut off there.
struct EdgeCase {
    std::string name;
    const char* dir;
    int cellH;
    bool top, bottom, left, right; // borders that must stay clear
    int margin;
};

TEST(ArtworkFit, PartsEndInsideTheirCells)
{
    const char* run = VELMIA_RUN_DIR;
    const char* extra = VELMIA_EXTRA_PARTS_DIR;
    std::vector<EdgeCase> cases = {
        {"vlm_ri.bmp", run, 80, true, true, true, true, 2},
        {"vlm_hb.bmp", run, 100, true, true, true, true, 1},
        {"vlm_fl.bmp", run, 120, true, true, true, true, 1},
        {"vlm_ch.bmp", run, 150, true, true, true, true, 1},
        {"vlm_bracelet.bmp", run, 40, true, false, true, true, 2},
        {"vlm_earring_list.bmp", run, 120, true, true, true, true, 1},
        {"vlm_earring_framelist.bmp", run, 120, true, true, true, true, 1},
        {"vlm_string_pattern_list.bmp", run, 210, true, true, true, true, 2},
        {"vlm_thickstring_pattern.bmp", run, 210, true, true, true, true, 2},
        {"vlm_wstring_pattern.bmp", run, 160, true, true, true, true, 2},
        {"vlm_crossstring_pattern.bmp", run, 190, true, true, true, true, 2},
        {"vlm_co.bmp", run, 100, true, false, false, false, 1},
        {"vlm_ca.bmp", run, 250, true, false, false, false, 1},
    };
    for (const KindCase& k : kKinds)
        for (const std::string& name : ExtraNames(k)) {
            const bool clothes =
                k.cellH >= 100 && (std::string(k.prefix) == "vlm_co" || std::string(k.prefix) == "vlm_ca");
            cases.push_back({name, extra, k.cellH, true, !clothes, !clothes, !clothes, 1});
        }
    for (const EdgeCase& e : cases) {
        SCOPED_TRACE(e.name);
        const Image& img = File(e.name, e.dir);
        for (int c = 0; c * e.cellH < img.h; ++c) {
            int touching = 0;
            for (int y = 0; y < e.cellH; ++y)
                for (int x = 0; x < img.w; ++x) {
                    const bool border = (e.top && y < e.margin) || (e.bottom && y >= e.cellH - e.margin) ||
                                        (e.left && x < e.margin) || (e.right && x >= img.w - e.margin);
                    if (border && img.at(x, c * e.cellH + y) != kWhite)
                        ++touching;
                }
            EXPECT_EQ(touching, 0) << "cell " << c;
        }
    }
}

TEST(ArtworkFit, StrapsLieOnTheBody)
{
    // Every pixel of every strap pattern lies over the figure in its pose, so
    // no strap end hangs in the air beyond the shoulder or the neck.
    const Image& body = Embedded("subworkcanvas");
    const struct {
        const char* name;
        int x, y, w, h; // cell rectangle in the lower picture
    } patterns[] = {{"vlm_string_pattern_list.bmp", 200, 10, 280, 210},
                    {"vlm_thickstring_pattern.bmp", 200, 10, 290, 210},
                    {"vlm_wstring_pattern.bmp", 200, 50, 390, 160},
                    {"vlm_crossstring_pattern.bmp", 210, 30, 290, 190}};
    for (const auto& p : patterns) {
        SCOPED_TRACE(p.name);
        const Image& img = File(p.name);
        for (int k = 0; k < 3; ++k) {
            int off = 0;
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x) {
                    if (img.at(x, k * p.h + y) == kWhite)
                        continue;
                    // body rows: 0-99 shared, then 200 rows per pose
                    const int wy = p.y + y;
                    const int by = wy < 100 ? wy : (k == 0 ? wy : 100 + 200 * k + (wy - 100));
                    off += body.at(p.x + x - 100, by) == kWhite;
                }
            EXPECT_EQ(off, 0) << "pose " << k;
        }
    }
}

TEST(ArtworkFit, StrapsStartOnTheBodiceAndEndOverTheShoulder)
{
    // A strap hangs from the dress: its lowest pixels lie on the costume, in
    // every pose. Its top end lies on the shoulder's outline, whatever hair
    // she wears: the strings are drawn over the hair that hangs over the
    // shoulders, so none of them may pass under that hair (with it they would
    // have to stop there, and without it they would stop in mid-air). The
    // W's two straps meet in a ring and the cross's laces in a bow on the
    // shoulder: they have no loose end.
    const Image& costume = File("vlm_co.bmp");         // at (110,500), 100 rows a pose
    const Image& hair = File("vlm_0_hair_sub_up.bmp"); // at (200,300)
    const Image& body = Embedded("subworkcanvas");     // at (100,300)
    auto bodyAt = [&](int wx, int wy, int k) {
        const int x = wx - 100, y = wy - 300;
        if (x < 0 || x >= 700 || y < 0 || y >= 300)
            return false;
        return body.at(x, y < 100 || k == 0 ? y : 100 + 200 * k + (y - 100)) != kWhite;
    };
    auto hairAt = [&](int wx, int wy) {
        const int x = wx - 200, y = wy - 300;
        return x >= 0 && y >= 0 && x < hair.w && y < hair.h && hair.at(x, y) != kWhite;
    };
    const Cell single = {200, 310, 280, 210}, thick = {200, 310, 290, 210}, w = {200, 350, 390, 160},
               cross = {210, 330, 290, 190}, none = {0, 0, 0, 0};
    const struct {
        const char* name;
        Cell cell;
        Cell bottom, top; // where the string's two ends lie, in the window
    } straps[] = {
        {"vlm_string_pattern_list.bmp", single, {300, 490, 50, 30}, {280, 310, 40, 40}},
        {"vlm_thickstring_pattern.bmp", thick, {295, 490, 60, 30}, {275, 310, 50, 40}},
        {"vlm_wstring_pattern.bmp", w, {320, 480, 40, 30}, none},
        {"vlm_wstring_pattern.bmp", w, {370, 480, 40, 30}, none},
        {"vlm_crossstring_pattern.bmp", cross, {320, 490, 40, 30}, none},
        {"vlm_crossstring_pattern.bmp", cross, {236, 490, 30, 30}, none},
    };
    for (const auto& s : straps) {
        SCOPED_TRACE(std::string(s.name) + " end at x " + std::to_string(s.bottom.x));
        const Image& img = File(s.name);
        for (int k = 0; k < 3; ++k) {
            auto on = [&](int wx, int wy) {
                const int x = wx - s.cell.x, y = wy - s.cell.y;
                return x >= 0 && y >= 0 && x < s.cell.w && y < s.cell.h && img.at(x, k * s.cell.h + y) != kWhite;
            };
            int underHair = 0;
            for (int y = s.cell.y; y < s.cell.y + s.cell.h; ++y)
                for (int x = s.cell.x; x < s.cell.x + s.cell.w; ++x)
                    underHair += on(x, y) && hairAt(x, y);
            EXPECT_EQ(underHair, 0) << "string pixels under the hanging hair, pose " << k;
            // the lowest row of the string in the bottom box lies on the dress
            // (or meets its edge: the W's picture ends a row above it)
            int low = -1;
            for (int y = s.bottom.y; y < s.bottom.y + s.bottom.h; ++y)
                for (int x = s.bottom.x; x < s.bottom.x + s.bottom.w; ++x)
                    if (on(x, y))
                        low = y;
            ASSERT_GE(low, 0) << "no string in the bottom box, pose " << k;
            int offCloth = 0;
            for (int x = s.bottom.x; x < s.bottom.x + s.bottom.w; ++x)
                if (on(x, low)) {
                    bool cloth = false;
                    for (int dy = 0; dy <= 4 && !cloth; ++dy)
                        cloth = low + dy >= 500 && Cloth(costume, x - 110, 100 * k + low + dy - 500);
                    offCloth += !cloth;
                }
            EXPECT_EQ(offCloth, 0) << "the string's lower end hangs below the dress's edge, pose " << k;
            if (s.top.w == 0)
                continue;
            // the top row of the string in the top box lies on the figure's
            // outline
            int high = -1;
            for (int y = s.top.y + s.top.h - 1; y >= s.top.y; --y)
                for (int x = s.top.x; x < s.top.x + s.top.w; ++x)
                    if (on(x, y))
                        high = y;
            ASSERT_GE(high, 0) << "no string in the top box, pose " << k;
            int over = 0, ends = 0;
            for (int x = s.top.x; x < s.top.x + s.top.w; ++x) {
                if (!on(x, high))
                    continue;
                ++ends;
                bool near = false;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        near = near || !bodyAt(x + dx, high + dy, k);
                over += near;
            }
            EXPECT_EQ(over, ends) << "the string ends on bare skin at row " << high << ", pose " << k;
        }
    }
}

TEST(ArtworkFit, StringsContrastWithTheSkin)
{
    // The strings take the costume's colour pixel (100,15): a colour close to
    // the skin makes them vanish on the shoulder.
    const uint32_t skin = 0xfde4d3;
    std::vector<std::string> names = ExtraNames(kKinds[0]);
    names.insert(names.begin(), "vlm_co.bmp");
    for (const std::string& name : names) {
        const uint32_t c = File(name, name == "vlm_co.bmp" ? VELMIA_RUN_DIR : VELMIA_EXTRA_PARTS_DIR).at(100, 15);
        int apart = 0;
        for (int shift : {16, 8, 0})
            apart += std::abs(Channel(c, shift) - Channel(skin, shift));
        EXPECT_GE(apart, 100) << name << std::hex << " colour " << c;
    }
}

TEST(ArtworkFit, ChestBowsCentreOnTheSeam)
{
    // The bodice's centre seam runs down window column 455 (454-455 with the
    // stroke): a ribbon's widest extent centres on it.
    std::vector<std::string> names = ExtraNames(kKinds[2]);
    names.insert(names.begin(), "vlm_ri.bmp");
    for (const std::string& name : names) {
        const Image& img = File(name, name == "vlm_ri.bmp" ? VELMIA_RUN_DIR : VELMIA_EXTRA_PARTS_DIR);
        int left = img.w, right = -1;
        for (int y = 0; y < img.h; ++y)
            for (int x = 0; x < img.w; ++x)
                if (img.at(x, y) != kWhite) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        const double centre = 370 + (left + right) / 2.0; // drawn at (370,475)
        EXPECT_NEAR(centre, 454.5, 2.0) << name;
    }
}

// ---------------------------------------------------------------- scenes

std::map<uint32_t, int> TileColours(const Image& tiles, int t)
{
    std::map<uint32_t, int> counts;
    for (int y = 75 * t; y < 75 * t + 75; ++y)
        for (int x = 0; x < 75; ++x)
            counts[tiles.at(x, y)]++;
    return counts;
}

TEST(ArtworkScenes, EachTileSkyIsOneFlatColourEqualToItsFirstPixel)
{
    // Only the night tile (7) needs one flat sky: the shooting star wipes its
    // trail with the tile's first pixel. The others shade theirs in bands.
    const Image& tiles = File("vlm_scene_list.bmp");
    for (int t = 0; t < 10; ++t) {
        SCOPED_TRACE("tile " + std::to_string(t + 1));
        const uint32_t sky = tiles.at(0, 75 * t);
        // the top row is one colour (a band, not a slope)
        EXPECT_EQ(tiles.at(74, 75 * t), sky);
        if (t != 6)
            continue;
        int most = 0;
        uint32_t common = 0;
        for (auto [c, n] : TileColours(tiles, t))
            if (n > most) {
                most = n;
                common = c;
            }
        EXPECT_EQ(common, sky);
        EXPECT_GT(most, 75 * 75 / 2);
        int off = 0;
        for (int i = 0; i < 75; ++i)
            off += (tiles.at(i, 75 * t) != sky) + (tiles.at(0, 75 * t + i) != sky) + (tiles.at(74, 75 * t + i) != sky);
        EXPECT_EQ(off, 0) << "the top row and both sides are sky";
    }
    const uint32_t night = tiles.at(0, 75 * 6);
    EXPECT_LT(Channel(night, 16) + Channel(night, 8) + Channel(night, 0), 3 * 80) << "tile 7 is the night sky";
}

TEST(ArtworkScenes, TilesArePatternedAcrossTheirWholeWidth)
{
    // A figure moved aside uncovers the middle of the scene: every tile's
    // motifs run across it, not only along the window's left and right
    // strips. A motif pixel is one that differs from its row's sky, the
    // row's commonest colour.
    const Image& tiles = File("vlm_scene_list.bmp");
    for (int t = 0; t < 10; ++t) {
        SCOPED_TRACE("tile " + std::to_string(t + 1));
        int rows[3] = {0, 0, 0};
        for (int y = 75 * t; y < 75 * t + 75; ++y) {
            std::map<uint32_t, int> counts;
            for (int x = 0; x < 75; ++x)
                counts[tiles.at(x, y)]++;
            uint32_t sky = 0;
            int most = 0;
            for (auto [c, n] : counts)
                if (n > most) {
                    most = n;
                    sky = c;
                }
            for (int third = 0; third < 3; ++third) {
                bool motif = false;
                for (int x = 25 * third; x < 25 * third + 25; ++x)
                    motif = motif || tiles.at(x, y) != sky;
                rows[third] += motif;
            }
        }
        for (int third = 0; third < 3; ++third)
            EXPECT_GE(rows[third], 20) << "rows with a motif in third " << third;
    }
}

TEST(ArtworkScenes, TilesHaveHardEdges)
{
    // Every tile pixel becomes a block of about 11 x 4 window pixels, so an
    // antialiased edge shows as a fringe of grey blocks. A tile is drawn in a
    // few colours, each covering a fair part of it; pixels of a colour that
    // covers less than half a percent of the tile are in-between colours.
    const Image& tiles = File("vlm_scene_list.bmp");
    for (int t = 0; t < 10; ++t) {
        SCOPED_TRACE("tile " + std::to_string(t + 1));
        int stray = 0;
        for (auto [c, n] : TileColours(tiles, t))
            if (n * 200 < 75 * 75)
                stray += n;
        EXPECT_LE(stray * 100, 75 * 75) << "more than 1 % of the tile in in-between colours";
    }
}

TEST(ArtworkScenes, StringPatternsAreDarkStrokesOnWhite)
{
    for (const char* name : {"vlm_string_pattern_list.bmp", "vlm_thickstring_pattern.bmp",
                             "vlm_crossstring_pattern.bmp", "vlm_wstring_pattern.bmp"}) {
        SCOPED_TRACE(name);
        const Image& img = File(name);
        for (uint32_t p : img.px)
            ASSERT_TRUE(p == kWhite || p == 0) << std::hex << p;
    }
}

TEST(ArtworkScenes, GreyPicturesUseAGreyPalette)
{
    for (const char* control : {"CloseEyePictGray", "MainPictGray", "SubPictListGray", "Small4Pict", "SmallClosedPict0",
                                "SmallClosedPict01"}) {
        SCOPED_TRACE(control);
        const Image& img = Embedded(control);
        for (uint32_t p : img.px)
            ASSERT_TRUE(Channel(p, 16) == Channel(p, 8) && Channel(p, 8) == Channel(p, 0));
        EXPECT_GT(Count(img, {0, 0, img.w, img.h}).second, 0);
    }
}

} // namespace
