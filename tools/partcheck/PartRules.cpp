// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/partcheck/PartRules.h"

#include "assets/Transparency.h"
#include "resources/EmbeddedPictures.h"
#include "toolkit/BmpCodec.h"
#include "toolkit/Intl.h"
#include "toolkit/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <sys/stat.h>

using vcl::TBitmap;

namespace velmia::partcheck {

namespace {

constexpr uint32_t kPart = kTransparent;

// clang-format off
const std::vector<Kind> kKinds = {
    // id                      file                                 prefix what                              w    h   cellH rules                                                    fit         cell rows
    {"costume",              "vlm_co",                              true,  N_("a costume"),                      530, 300, 0, kPart | kKeptDepth | kCostumeColour | kHem | kBands},
    {"camisole",             "vlm_ca",                              true,  N_("a camisole"),                     550, 750, 0, kPart | kBands},
    {"hairband",             "vlm_hb",                              true,  N_("a hairband"),                     80,  100, 0, kPart},
    {"flower",               "vlm_fl",                              true,  N_("a flower"),                       100, 120, 0, kPart},
    {"ribbon",               "vlm_ri",                              true,  N_("a ribbon"),                       200, 80,  0, kPart},
    {"choker",               "vlm_ch",                              true,  N_("a choker"),                       150, 150, 0, kPart},
    {"scene-upper",          "vlm_scene_strawberry_upper.bmp",      false, N_("the upper strawberry scene"),     800, 600, 0, 0},
    {"scene-lower",          "vlm_scene_strawberry_lower.bmp",      false, N_("the lower strawberry scene"),     800, 600, 0, 0},
    {"scene-list",           "vlm_scene_list.bmp",                  false, N_("the scene list"),                 75,  750, 0, kSky,                                           Fit::None},
    {"main-hair",            "vlm_0_main_hair.bmp",                 false, N_("the main hair"),                  600, 300, 0, kTransparent},
    {"hair-over-shoulders",  "vlm_0_hair_sub_up.bmp",               false, N_("the hair over the shoulders"),    500, 120, 0, kTransparent},
    {"long-left-lock",       "vlm_0_main_hair_longleft.bmp",        false, N_("the long style's left lock"),     150, 150, 0, kTransparent},
    {"earrings",             "vlm_earring_list.bmp",                false, N_("the earring list"),               330, 600, 0, kTransparent | kCells,                          Fit::Whole, 120},
    {"earring-frames",       "vlm_earring_framelist.bmp",           false, N_("the earring frame list"),         340, 600, 0, kTransparent | kCells,                          Fit::Whole, 120},
    {"string-pattern",       "vlm_string_pattern_list.bmp",         false, N_("the string pattern"),             280, 630, 0, kBlackWhite},
    {"thick-string-pattern", "vlm_thickstring_pattern.bmp",         false, N_("the thick string pattern"),       290, 630, 0, kBlackWhite},
    {"w-string-pattern",     "vlm_wstring_pattern.bmp",             false, N_("the W string pattern"),           390, 480, 0, kBlackWhite},
    {"cross-string-pattern", "vlm_crossstring_pattern.bmp",         false, N_("the cross string pattern"),       290, 570, 0, kBlackWhite},
    {"bracelets",            "vlm_bracelet.bmp",                    false, N_("the bracelet list"),              130, 200, 0, kTransparent | kCells,                          Fit::Whole, 40},
    {"faces",                "vlm_facelist.bmp",                    false, N_("the face list"),                  279, 0,   123, 0,                                            Fit::Width},
    {"faces-long-hair",      "vlm_facelist_lg.bmp",                 false, N_("the long-hair face list"),        279, 0,   123, 0,                                            Fit::Width},
    {"shaggy",               "vlm_shaggy.bmp",                      false, N_("the shaggy hair style"),          450, 250, 0, kTransparent},
    {"pank",                 "vlm_pank.bmp",                        false, N_("the pank hair style"),            450, 200, 0, kTransparent},
    {"otohime",              "vlm_otohime.bmp",                     false, N_("the otohime hair style"),         500, 400, 0, kTransparent},
    {"background",           "vlm_background.bmp",                  false, N_("the night background"),           0,   0,   0, 0,                                            Fit::None},
    {"streaming",            "vlm_streaming.bmp",                   false, N_("the shooting star"),              100, 100, 0, kTransparent},
    {"stars",                "vlm_starlist.bmp",                    false, N_("the star list"),                  120, 500, 0, kTransparent},
};
// clang-format on

// The hem keys repaint the black pixels of the embedded hem pattern inside
// these areas of each band (inclusive bounds).
struct Area {
    int top, bottom, left, right;
};
constexpr Area kHemAreas[6] = {
    {0, 60, 0, 499},      {61, 99, 470, 529}, {100, 160, 0, 499},
    {161, 199, 470, 529}, {200, 260, 0, 499}, {261, 299, 470, 529},
};
constexpr int kColourX = 100;
constexpr int kColourY = 15;
constexpr int kTile = 75;
constexpr int kNightTile = 6; // tile 7, counted from 0
constexpr int kNearWhite = 230;
// How far (in one channel) a flat row must be from the sky colour to be a horizon.
constexpr int kHorizonApart = 24;

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string N(int64_t v)
{
    return std::to_string(v);
}

std::string At(int x, int y)
{
    return "(" + N(x) + "," + N(y) + ")";
}

// A count with its noun: `one` and `many` hold %s where the number goes.
std::string Plural(int64_t n, const char* one, const char* many)
{
    return vcl::Format(vcl::TranslatePlural(one, many, static_cast<unsigned long>(n)), N(n));
}

using vcl::Format;

// The picture as 24-bit rows, whatever its stored format.
class Pixels {
public:
    explicit Pixels(const TBitmap& picture) : w_(picture.GetWidth()), h_(picture.GetHeight())
    {
        copy_.Assign(picture);
        if (copy_.GetPixelFormat() != vcl::pf24bit)
            copy_.SetPixelFormat(vcl::pf24bit);
    }
    int Width() const { return w_; }
    int Height() const { return h_; }
    // Blue, green, red.
    const uint8_t* At(int x, int y) const { return copy_.ScanLine(y) + 3 * x; }
    bool White(int x, int y) const
    {
        const uint8_t* p = At(x, y);
        return p[0] == 255 && p[1] == 255 && p[2] == 255;
    }
    bool Black(int x, int y) const
    {
        const uint8_t* p = At(x, y);
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    }
    bool NearWhite(int x, int y) const
    {
        const uint8_t* p = At(x, y);
        return p[0] >= kNearWhite && p[1] >= kNearWhite && p[2] >= kNearWhite && !White(x, y);
    }
    bool Same(int x, int y, int u, int v) const { return std::memcmp(At(x, y), At(u, v), 3) == 0; }
    std::string Rgb(int x, int y) const
    {
        const uint8_t* p = At(x, y);
        return "(" + N(p[2]) + "," + N(p[1]) + "," + N(p[0]) + ")";
    }

private:
    TBitmap copy_;
    int w_, h_;
};

// Counts places and remembers the first one and the bounding box.
struct Tally {
    int64_t count = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int firstX = 0, firstY = 0;
    void Add(int x, int y)
    {
        if (count++ == 0) {
            firstX = x0 = x1 = x;
            firstY = y0 = y1 = y;
        }
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
    std::string Box() const { return At(x0, y0) + "-" + At(x1, y1); }
};

void Add(std::vector<Problem>& out, Severity s, const char* rule, std::string text)
{
    out.push_back(Problem{s, rule, std::move(text)});
}

std::string SizeText(const Kind& k)
{
    if (k.cellHeight)
        return Format(_("%s wide and a whole number of %s-row cells, at least one"), N(k.width), N(k.cellHeight));
    return N(k.width) + " x " + N(k.height);
}

// What the program shows where a picture smaller than its size has nothing.
// Every picture but the scene list is read at its size and padded with white:
// the transparent colour of the parts, no stroke in a string pattern, white
// in the opaque pictures. The scene list keeps its file's size, and a scene
// whose tile it lacks shows white there too.
const char* WhatIsMissing(const Kind& k)
{
    if (k.rules & (kTransparent | kBlackWhite))
        return _(" (what is missing stays empty)");
    return _(" (what is missing shows white)");
}

// A face list without a whole face is the one size the program refuses;
// every other size it takes, padded with white or cut, so the finding is a
// warning.
bool SizeRefused(int height, const Kind& k)
{
    return k.cellHeight && height < k.cellHeight;
}

void CheckSize(int w, int h, const Kind& k, std::vector<Problem>& out)
{
    if (k.width == 0)
        return;
    bool right = w == k.width;
    if (k.cellHeight)
        right = right && h >= k.cellHeight && h % k.cellHeight == 0;
    else
        right = right && h == k.height;
    if (right)
        return;
    std::string text = Format(_("%s x %s, %s is %s"), N(w), N(h), _(k.what), SizeText(k));
    if (k.cellHeight && w == k.width && h >= k.cellHeight)
        text += Format(_(" (%s and %s rows left over, which are not shown)"),
                       Plural(h / k.cellHeight, "%s cell", "%s cells"), N(h % k.cellHeight));
    else if (SizeRefused(h, k))
        text += _(" (the program refuses a list without a whole face)");
    else if (w < k.width || (!k.cellHeight && h < k.height))
        text += WhatIsMissing(k);
    else if (k.rules & kKeptDepth)
        text += Format(_(" (the portrait shows its top-left %s x %s; a save writes the whole picture back)"),
                       N(k.width), N(k.height));
    else
        text += _(" (the rest is cut off)");
    Add(out, SizeRefused(h, k) ? Severity::Error : Severity::Warning, "size", text);
}

// The costume is kept in the depth of its file, and a save writes it back so.
void CheckDepth(const TBitmap& picture, std::vector<Problem>& out)
{
    const int bits = vcl::BitsPerPixel(picture.GetPixelFormat());
    if (bits == 24 || bits == 32)
        return;
    Add(out, Severity::Warning, "depth",
        bits <= 8 ? Format(_("%s-bit with a palette: the program keeps the costume so, and a save writes it back so; "
                             "a hem colour takes the nearest colour of its palette"),
                           N(bits))
                  : Format(_("%s-bit: the program reads the costume as 24-bit, and a save writes it back as 24-bit"),
                           N(bits)));
}

// A file whose alpha channel is in use is laid over white: white is the one
// transparent colour.
void CheckAlpha(const velmia::assets::AlphaFindings& alpha, const Kind& k, std::vector<Problem>& out)
{
    std::string found;
    if (alpha.transparent > 0)
        found =
            Format((k.rules & kTransparent) ? _("the transparent pixels are shown as the background (%s less "
                                                "than half opaque, taken as pure white)")
                                            : _("the transparent pixels are shown white (%s less than half opaque)"),
                   Plural(alpha.transparent, "%s pixel", "%s pixels"));
    if (alpha.partly > 0)
        found += (found.empty() ? "" : "; ") +
                 Format(_("%s partly transparent are laid over white, a light edge on dark scenes"),
                        Plural(alpha.partly, "%s pixel", "%s pixels"));
    if (!found.empty())
        Add(out, Severity::Warning, "alpha", Format(_("the alpha channel is in use: %s"), found));
}

// The picture as the program holds it, 24-bit: laid over white, at the size
// the program reads the kind at (white where the file is smaller, cut where
// it is larger).
void HoldPicture(const TBitmap& file, const Kind& k, TBitmap& held, velmia::assets::AlphaFindings& alpha)
{
    held.Assign(file);
    alpha = velmia::assets::LayOverWhite(held);
    if (held.GetPixelFormat() != vcl::pf24bit)
        held.SetPixelFormat(vcl::pf24bit);
    int w = held.GetWidth();
    int h = held.GetHeight();
    if (k.width && k.fit != Fit::None)
        w = k.width;
    if (k.height && k.fit == Fit::Whole)
        h = k.height;
    if (w != held.GetWidth() || h != held.GetHeight())
        held.SetSize(w, h);
}

// The rows the program draws as one piece: a breathing band, a cell of a
// list, or the whole picture. Pixels of two pieces never meet on screen.
int PieceRows(const Pixels& px, const Kind& k)
{
    if ((k.rules & kBands) && px.Height() >= 3)
        return px.Height() / 3;
    if ((k.rules & kCells) && k.cellRows > 0)
        return k.cellRows;
    return std::max(px.Height(), 1);
}

// Over the part of the held picture that the file fills (`width` x `height`
// from its top-left corner); the white the program pads it with is not the
// author's.
void CheckTransparency(const Pixels& px, const Kind& k, int width, int height, std::vector<Problem>& out)
{
    int64_t white = 0;
    Tally fringe;
    const int piece = PieceRows(px, k);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (px.White(x, y)) {
                ++white;
                continue;
            }
            if (!px.NearWhite(x, y))
                continue;
            bool touches = false;
            for (int dy = -1; dy <= 1 && !touches; ++dy)
                for (int dx = -1; dx <= 1 && !touches; ++dx) {
                    const int u = x + dx;
                    const int v = y + dy;
                    touches = (dx || dy) && u >= 0 && v >= 0 && u < px.Width() && v < px.Height() &&
                              v / piece == y / piece && px.White(u, v);
                }
            if (touches)
                fringe.Add(x, y);
        }
    const int64_t all = int64_t(width) * height;
    if (all > 0 && white == all)
        Add(out, Severity::Error, "all-white",
            Format(_("every pixel is pure white (255,255,255), the transparent colour: nothing of %s shows"),
                   _(k.what)));
    else if (all > 0 && white == 0)
        Add(out, Severity::Warning, "no-white",
            _("no pixel is pure white (255,255,255): the whole rectangle covers what lies beneath"));
    if (fringe.count > 0)
        Add(out, Severity::Warning, "white-fringe",
            Format(_("%s (every channel 230 or more, not pure white) touch pure white within %s, first at %s: a "
                     "light fringe on dark scenes"),
                   Plural(fringe.count, "%s near-white pixel", "%s near-white pixels"), fringe.Box(),
                   At(fringe.firstX, fringe.firstY)));
}

void CheckCostumeColour(const Pixels& px, std::vector<Problem>& out)
{
    if (px.Width() <= kColourX || px.Height() <= kColourY)
        return; // a picture of no fixed size
    if (px.White(kColourX, kColourY))
        Add(out, Severity::Error, "costume-colour",
            Format(_("the colour pixel %s is pure white: the shoulder strings are painted in it and vanish"),
                   At(kColourX, kColourY)));
}

// The program's own hem pattern; null when the build has no embedded pictures.
std::unique_ptr<TBitmap> HemPattern()
{
    const auto data = velmia::resources::EmbeddedPictureData("HerimPattern");
    if (data.empty())
        return nullptr;
    auto pattern = std::make_unique<TBitmap>();
    try {
        vcl::DecodeBmp(data, *pattern, "HerimPattern");
    } catch (const std::exception&) {
        return nullptr;
    }
    return pattern;
}

void CheckHem(const Pixels& px, std::vector<Problem>& out)
{
    static const std::unique_ptr<TBitmap> pattern = HemPattern();
    for (int band = 0; band < 3; ++band) {
        Tally white;
        for (int a = 2 * band; a < 2 * band + 2; ++a) {
            const Area& area = kHemAreas[a];
            for (int y = area.top; y <= area.bottom && y < px.Height(); ++y)
                for (int x = area.left; x <= area.right && x < px.Width(); ++x) {
                    // Without the embedded pattern every pixel of the areas counts.
                    const bool painted = !pattern || pattern->GetPixelColor(x, y) == vcl::clBlack;
                    if (painted && px.White(x, y))
                        white.Add(x, y);
                }
        }
        if (white.count > 0)
            Add(out, Severity::Error, "hem",
                Format(vcl::TranslatePlural("band %s: %s pixel that the hem keys repaint is white (outside the dress) "
                                            "within %s, first at %s: the hem colour would appear there",
                                            "band %s: %s pixels that the hem keys repaint are white (outside the "
                                            "dress) within %s, first at %s: the hem colour would appear there",
                                            static_cast<unsigned long>(white.count)),
                       N(band + 1), N(white.count), white.Box(), At(white.firstX, white.firstY)));
    }
}

void CheckBands(const Pixels& px, std::vector<Problem>& out)
{
    const int band = px.Height() / 3;
    if (band == 0)
        return;
    auto same = [&](int a, int b) {
        for (int y = 0; y < band; ++y)
            for (int x = 0; x < px.Width(); ++x)
                if (!px.Same(x, a * band + y, x, b * band + y))
                    return false;
        return true;
    };
    const bool s01 = same(0, 1);
    const bool s12 = same(1, 2);
    std::string text;
    if (s01 && s12)
        text = Format(_("the three bands of %s rows are identical"), N(band));
    else if (s01)
        text = Format(_("bands 1 and 2 (rows 0-%s and %s-%s) are identical"), N(band - 1), N(band), N(2 * band - 1));
    else if (s12)
        text = Format(_("bands 2 and 3 (rows %s-%s and %s-%s) are identical"), N(band), N(2 * band - 1), N(2 * band),
                      N(3 * band - 1));
    else
        return;
    Add(out, Severity::Warning, "bands", Format(_("%s: the chest does not rise with the breathing"), text));
}

void CheckBlackWhite(const Pixels& px, std::vector<Problem>& out)
{
    Tally other;
    for (int y = 0; y < px.Height(); ++y)
        for (int x = 0; x < px.Width(); ++x)
            if (!px.White(x, y) && !px.Black(x, y))
                other.Add(x, y);
    if (other.count > 0)
        Add(out, Severity::Error, "black-white",
            Format(vcl::TranslatePlural("%s pixel is neither pure black nor pure white, first at %s %s: they mix "
                                        "with the picture beneath instead of taking the costume colour",
                                        "%s pixels are neither pure black nor pure white, first at %s %s: they mix "
                                        "with the picture beneath instead of taking the costume colour",
                                        static_cast<unsigned long>(other.count)),
                   N(other.count), At(other.firstX, other.firstY), px.Rgb(other.firstX, other.firstY)));
}

// A row of the tile in one colour clearly apart from the sky (a horizon, the
// sea) ends the sky; one that differs only a little is a shade of the sky.
int SkyBottom(const Pixels& px, int top)
{
    const uint8_t* key = px.At(0, top);
    for (int y = top + 1; y < top + kTile; ++y) {
        bool flat = true;
        for (int x = 1; x < kTile && flat; ++x)
            flat = px.Same(x, y, 0, y);
        if (!flat)
            continue;
        const uint8_t* p = px.At(0, y);
        int apart = 0;
        for (int c = 0; c < 3; ++c)
            apart = std::max(apart, std::abs(int(p[c]) - int(key[c])));
        if (apart >= kHorizonApart)
            return y;
    }
    return top + kTile;
}

// Only the night tile needs a flat sky: the shooting star wipes its trail
// with the tile's first pixel and the night effects cut the figure out by it.
// The other tiles may shade their sky in horizontal bands.
void CheckSky(const Pixels& px, std::vector<Problem>& out)
{
    if (px.Width() < kTile)
        return;
    for (int tile = kNightTile; tile == kNightTile && (tile + 1) * kTile <= px.Height(); ++tile) {
        const int top = tile * kTile;
        const int bottom = SkyBottom(px, top);
        Tally off;
        auto look = [&](int x, int y) {
            if (!px.Same(x, y, 0, top))
                off.Add(x, y);
        };
        for (int x = 0; x < kTile; ++x)
            look(x, top);
        for (int y = top + 1; y < bottom; ++y) {
            look(0, y);
            look(kTile - 1, y);
        }
        if (off.count > 0)
            Add(out, Severity::Warning, "sky",
                Format(vcl::TranslatePlural(
                           "tile %s (rows %s-%s): %s pixel of the top row and the sides above row %s differs from "
                           "the sky colour %s of its top-left pixel, first at %s %s: the night effects cut the "
                           "figure out by that colour, so stars do not show there",
                           "tile %s (rows %s-%s): %s pixels of the top row and the sides above row %s differ from "
                           "the sky colour %s of its top-left pixel, first at %s %s: the night effects cut the "
                           "figure out by that colour, so stars do not show there",
                           static_cast<unsigned long>(off.count)),
                       N(tile + 1), N(top), N(top + kTile - 1), N(off.count), N(bottom), px.Rgb(0, top),
                       At(off.firstX, off.firstY), px.Rgb(off.firstX, off.firstY)));
    }
}

// A JSON string of `s`. Names are bytes and need not be valid UTF-8, JSON
// text must be: each byte that is not part of a well-formed UTF-8 sequence
// becomes U+FFFD, written as the escape \ufffd, so every parser reads the
// output and the replaced places stand out.
std::string JsonString(std::string_view s)
{
    std::string out = "\"";
    for (size_t at = 0; at < s.size();) {
        char32_t code = 0;
        const size_t n = vcl::DecodeUtf8(s.substr(at), code);
        const char c = s[at];
        if (n == 0) {
            out += "\\ufffd";
            ++at;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (code < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(code));
            out += buf;
        } else {
            out.append(s.substr(at, n));
        }
        at += n;
    }
    return out + "\"";
}

const char* SeverityName(Severity s)
{
    return s == Severity::Error ? N_("error") : N_("warning");
}

std::string FileTypeName(mode_t mode)
{
    if (S_ISDIR(mode))
        return _("a folder");
    if (S_ISFIFO(mode))
        return _("a named pipe");
    if (S_ISCHR(mode))
        return _("a character device");
    if (S_ISBLK(mode))
        return _("a block device");
    if (S_ISSOCK(mode))
        return _("a socket");
    return _("a special file");
}

} // namespace

const std::vector<Kind>& Kinds()
{
    return kKinds;
}

const Kind* KindById(std::string_view id)
{
    for (const Kind& k : kKinds)
        if (id == k.id)
            return &k;
    return nullptr;
}

const Kind* KindForName(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    for (const Kind& k : kKinds)
        if (!k.prefix && name == k.file)
            return &k;
    // Part files: the prefix, anything, ".bmp" (letters in any case, as the
    // part browser lists them).
    constexpr std::string_view ext = ".bmp";
    for (const Kind& k : kKinds) {
        const std::string_view prefix = k.file;
        if (k.prefix && name.size() >= prefix.size() + ext.size() &&
            SameLetters(name.substr(0, prefix.size()), prefix) && SameLetters(name.substr(name.size() - 4), ext))
            return &k;
    }
    return nullptr;
}

std::string KindList()
{
    std::string list;
    for (const Kind& k : kKinds)
        list += (list.empty() ? "" : ", ") + std::string(k.id);
    return list;
}

int Report::Count(Severity s) const
{
    return int(std::count_if(problems.begin(), problems.end(), [s](const Problem& p) { return p.severity == s; }));
}

std::vector<Problem> CheckPicture(const TBitmap& picture, const Kind& kind, Held* held)
{
    std::vector<Problem> out;
    const int w = picture.GetWidth();
    const int h = picture.GetHeight();
    CheckSize(w, h, kind, out);
    if (kind.rules & kKeptDepth)
        CheckDepth(picture, out);
    velmia::assets::AlphaFindings alpha;
    TBitmap shown;
    HoldPicture(picture, kind, shown, alpha);
    const Pixels px(shown);
    CheckAlpha(alpha, kind, out);
    if (held) {
        *held = Held{};
        held->refused = SizeRefused(h, kind);
        if (!held->refused) {
            held->width = px.Width();
            held->height = px.Height();
            held->cutColumns = std::max(0, w - px.Width());
            held->cutRows = std::max(0, h - px.Height());
            for (int y = 0; y < px.Height(); ++y)
                for (int x = 0; x < px.Width(); ++x)
                    held->transparent += px.White(x, y);
        }
    }
    if (SizeRefused(h, kind))
        return out;
    if (kind.rules & kTransparent)
        CheckTransparency(px, kind, std::min(w, px.Width()), std::min(h, px.Height()), out);
    if (kind.rules & kCostumeColour)
        CheckCostumeColour(px, out);
    if (kind.rules & kHem)
        CheckHem(px, out);
    if (kind.rules & kBands)
        CheckBands(px, out);
    if (kind.rules & kBlackWhite)
        CheckBlackWhite(px, out);
    if (kind.rules & kSky)
        CheckSky(px, out);
    return out;
}

Report CheckFile(const std::string& path, const Kind* kind)
{
    Report report;
    report.name = path;
    report.kind = kind ? kind : KindForName(path);
    if (!report.kind) {
        Add(report.problems, Severity::Error, "kind",
            Format(_("the program reads no picture of this name; name it after its kind (a part file starts with "
                     "vlm_co, vlm_ca, vlm_hb, vlm_fl, vlm_ri or vlm_ch and ends with .bmp) or give --kind KIND, one "
                     "of: %s"),
                   KindList()));
        return report;
    }
    // Look before reading: a pipe or a device could block the reader or feed
    // it without end.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        Add(report.problems, Severity::Error, "readable", std::strerror(errno));
        return report;
    }
    if (!S_ISREG(st.st_mode)) {
        Add(report.problems, Severity::Error, "regular-file",
            Format(_("%s, not a regular file"), FileTypeName(st.st_mode)));
        return report;
    }
    TBitmap picture;
    try {
        vcl::ReadBmpFile(path, picture);
    } catch (const vcl::BmpError& e) {
        Add(report.problems, Severity::Error, "readable", e.Reason());
        return report;
    } catch (const std::exception& e) {
        Add(report.problems, Severity::Error, "readable", e.what());
        return report;
    }
    report.problems = CheckPicture(picture, *report.kind, &report.held);
    return report;
}

std::string FormatText(const Report& report)
{
    if (report.problems.empty())
        return report.name + ": " + _("ok") + "\n";
    std::string out = report.name + ": " + Plural(int64_t(report.problems.size()), "%s problem", "%s problems") + "\n";
    for (const Problem& p : report.problems)
        out += "  " + std::string(_(SeverityName(p.severity))) + ": " + p.rule + ": " + p.text + "\n";
    return out;
}

std::string FormatJson(const std::vector<Report>& reports)
{
    std::string out = "[";
    for (size_t i = 0; i < reports.size(); ++i) {
        const Report& r = reports[i];
        out += i ? ",\n " : "";
        out += "{\"file\": " + JsonString(r.name) + ", \"kind\": " + (r.kind ? JsonString(r.kind->id) : "null") +
               ", \"ok\": " + (r.problems.empty() ? "true" : "false") + ", \"errors\": " + N(r.Count(Severity::Error)) +
               ", \"warnings\": " + N(r.Count(Severity::Warning)) + ", \"problems\": [";
        for (size_t j = 0; j < r.problems.size(); ++j) {
            const Problem& p = r.problems[j];
            out += std::string(j ? ", " : "") + "{\"severity\": \"" + SeverityName(p.severity) +
                   "\", \"rule\": " + JsonString(p.rule) + ", \"text\": " + JsonString(p.text) + "}";
        }
        out += "]}";
    }
    return out + "]\n";
}

} // namespace velmia::partcheck
