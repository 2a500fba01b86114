// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A small compositor that lays the pictures out in the program's drawing
// order: white is transparent, the face cells and the hair ends are opaque.
#include "tools/artwork/Artwork.h"

#include <QFont>
#include <QPainter>
#include <stdexcept>

namespace artwork {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

const QImage& Get(const Set& set, const QString& name)
{
    if (auto it = set.files.constFind(name); it != set.files.constEnd())
        return it->image;
    if (auto it = set.extras.constFind(name); it != set.extras.constEnd())
        return it->image;
    if (auto it = set.embedded.constFind(name); it != set.embedded.constEnd())
        return it->image;
    throw std::runtime_error("no picture " + name.toStdString());
}

// Copies src (rect) to dst at (x, y); white source pixels stay transparent
// unless the copy is opaque.
void Paste(QImage& dst, const QImage& src, QRect rect, int x, int y, bool opaque = false, QRgb tint = 0)
{
    for (int j = 0; j < rect.height(); ++j) {
        const int sy = rect.top() + j, dy = y + j;
        if (sy < 0 || sy >= src.height() || dy < 0 || dy >= dst.height())
            continue;
        for (int i = 0; i < rect.width(); ++i) {
            const int sx = rect.left() + i, dx = x + i;
            if (sx < 0 || sx >= src.width() || dx < 0 || dx >= dst.width())
                continue;
            QRgb px = src.pixel(sx, sy) | 0xFF000000;
            if (px == kWhite && !opaque)
                continue;
            if (tint)
                px = tint;
            dst.setPixel(dx, dy, px);
        }
    }
}

// The program's masked copy with a mask taken from another rectangle of the
// same picture (the first cell of a list): where the mask is white the
// destination is inverted and then XORed with the picture, elsewhere the
// picture replaces it. With matching cells this is a plain transparent copy;
// with cells that do not fit the first one's shape it shows the same
// garbage as the program would.
void PasteMasked(QImage& dst, const QImage& src, QRect rect, QRect maskRect, int x, int y)
{
    for (int j = 0; j < rect.height(); ++j)
        for (int i = 0; i < rect.width(); ++i) {
            const int dx = x + i, dy = y + j;
            if (dx < 0 || dx >= dst.width() || dy < 0 || dy >= dst.height())
                continue;
            const QRgb p = src.pixel(rect.left() + i, rect.top() + j) | 0xFF000000;
            const bool clear = (src.pixel(maskRect.left() + i, maskRect.top() + j) | 0xFF000000) == kWhite;
            const QRgb d = dst.pixel(dx, dy);
            dst.setPixel(dx, dy, clear ? ((~d ^ p) | 0xFF000000) : p);
        }
}

// A scene tile blown up to 800 x 300 the way the program stretches it.
void Tile(QImage& dst, const QImage& list, int scene, int y0)
{
    for (int y = 0; y < 300; ++y) {
        const int sy = 75 * (scene - 1) + (2 * y + 1) * 75 / 600;
        for (int x = 0; x < 800; ++x)
            dst.setPixel(x, y0 + y, list.pixel((2 * x + 1) * 75 / 1600, sy));
    }
}

} // namespace

QImage Compose(const Set& set, const Look& look)
{
    QImage out(800, 600, QImage::Format_RGB32);
    out.fill(Qt::white);
    const bool pank = look.hair == Look::Pank;
    const bool shaggy = look.hair == Look::Shaggy;
    const bool otohime = look.hair == Look::Otohime;
    const bool long_ = look.hair == Look::Long;
    const bool hidden = pank || shaggy;

    // Upper picture.
    if (look.scene == 0)
        Paste(out, Get(set, "vlm_scene_strawberry_upper.bmp"), QRect(0, look.altPhase ? 0 : 300, 800, 300), 0, 0, true);
    else if (look.scene > 0)
        Tile(out, Get(set, "vlm_scene_list.bmp"), look.scene, 0);
    Paste(out, Get(set, "mainsave"), QRect(0, 0, 420, 300), 170, 0);
    if (!pank) {
        Paste(out, Get(set, "HairSide"), QRect(0, 0, 420, 200), 170, 0);
        if (otohime) {
            Paste(out, Get(set, "vlm_otohime.bmp"), QRect(0, 0, 500, 300), 150, 0);
        } else if (!hidden) {
            Paste(out, Get(set, "vlm_0_main_hair.bmp"), QRect(0, 0, 600, 300), 100, 0);
            Paste(out, Get(set, long_ ? "HairLong" : "HairNotLong"), QRect(0, 0, 260, 260), 410, 0);
            if (long_)
                Paste(out, Get(set, "vlm_0_main_hair_longleft.bmp"), QRect(0, 0, 150, 150), 100, 0);
        }
    }
    {
        // The face cell is opaque except its bottom-left 12 x 12 corner.
        const QImage& faces = Get(set, long_ ? "vlm_facelist_lg.bmp" : "vlm_facelist.bmp");
        const QImage keep = out.copy(221, 111, 12, 12);
        Paste(out, faces, QRect(0, 123 * look.face, 279, 123), 221, 0, true);
        Paste(out, keep, keep.rect(), 221, 111, true);
    }
    if (look.hairband && !long_)
        Paste(out, Get(set, look.hairbandFile), QRect(0, 0, 80, 100), 480, 0);
    if (look.earring >= 0)
        PasteMasked(out, Get(set, "vlm_earring_list.bmp"), QRect(0, 120 * look.earring, 330, 120),
                    QRect(0, 0, 330, 120), 250, 180);
    if (look.earframe >= 0)
        PasteMasked(out, Get(set, "vlm_earring_framelist.bmp"), QRect(0, 120 * look.earframe, 340, 120),
                    QRect(0, 0, 340, 120), 250, 180);
    if (shaggy)
        Paste(out, Get(set, "vlm_shaggy.bmp"), QRect(0, 0, 450, 250), 150, 0);
    if (pank)
        Paste(out, Get(set, "vlm_pank.bmp"), QRect(0, 0, 450, 200), 150, 0);
    if (look.flowerHair && !long_)
        Paste(out, Get(set, look.flowerFile), QRect(0, 0, 100, 120), 480, 0);
    if (look.choker)
        Paste(out, Get(set, look.chokerFile), QRect(0, 0, 150, 40), 350, 260);
    if (look.eyesClosed) {
        Paste(out, Get(set, long_ ? "CloseeyePict_lg" : "CloseeyePict"), QRect(0, 0, 243, 123), 238, 0, true);
        if (!long_ && shaggy)
            Paste(out, Get(set, "vlm_shaggy.bmp"), QRect(88, 0, 243, 123), 238, 0);
        if (!long_ && pank)
            Paste(out, Get(set, "vlm_pank.bmp"), QRect(88, 0, 243, 123), 238, 0);
    }

    // Lower picture: body frame `frame`, drawn at row 300.
    const int k = look.frame;
    const int y0 = 300;
    if (look.scene == 0)
        Paste(out, Get(set, "vlm_scene_strawberry_lower.bmp"), QRect(0, look.altPhase ? 0 : 300, 800, 300), 0, y0,
              true);
    else if (look.scene > 0)
        Tile(out, Get(set, "vlm_scene_list.bmp"), look.scene, y0);
    if (!hidden && !otohime) // every alternative style hides the standard hair ends
        Paste(out, Get(set, "HairBottom"), QRect(0, 0, 60, 50), 620, y0 + 250, true);
    const QImage& body = Get(set, "subworkcanvas");
    Paste(out, body, QRect(0, 0, 700, 100), 100, y0);
    Paste(out, body, k == 0 ? QRect(0, 100, 700, 200) : QRect(0, 100 + 200 * k, 700, 200), 100, y0 + 100);
    const QImage& costume = Get(set, look.costume);
    if (look.camisole)
        Paste(out, Get(set, look.camisoleFile), QRect(0, 250 * k, 550, 250), 100, y0 + 50);
    else
        Paste(out, costume, QRect(0, 100 * k, 530, 100), 110, y0 + 200);
    if (otohime)
        Paste(out, Get(set, "vlm_otohime.bmp"), QRect(0, 300, 500, 100), 150, y0);
    else if (!hidden)
        Paste(out, Get(set, "vlm_0_hair_sub_up.bmp"), QRect(0, 0, 500, 120), 200, y0);
    if (!look.camisole && look.strings < 4) {
        static const char* names[] = {"vlm_string_pattern_list.bmp", "vlm_thickstring_pattern.bmp",
                                      "vlm_wstring_pattern.bmp", "vlm_crossstring_pattern.bmp"};
        static const QRect cells[] = {
            {200, 10, 280, 210}, {200, 10, 290, 210}, {200, 50, 390, 160}, {210, 30, 290, 190}};
        const QRect c = cells[look.strings];
        Paste(out, Get(set, names[look.strings]), QRect(0, c.height() * k, c.width(), c.height()), c.left(),
              y0 + c.top(), false, costume.pixel(100, 15) | 0xFF000000);
    }
    static const int rise[] = {0, 2, 3};
    if (look.ribbon)
        Paste(out, Get(set, look.ribbonFile), QRect(0, 0, 200, 80), 370, y0 + 175 - rise[k]);
    if (look.choker)
        Paste(out, Get(set, look.chokerFile), QRect(0, 40, 150, 110), 350, y0);
    if (look.bracelet >= 0)
        PasteMasked(out, Get(set, "vlm_bracelet.bmp"), QRect(0, 40 * look.bracelet, 130, 40), QRect(0, 0, 130, 40), 670,
                    y0 + 260);
    if (look.flowerChest)
        Paste(out, Get(set, look.flowerFile), QRect(0, 0, 100, 120), 428, y0 + 133 - rise[k]);

    if (look.night && look.scene > 0) {
        // The figure panned 100 pixels to the right, the free sky on the left
        // with the night picture and a star, as the program shows scene 7.
        const QImage& tiles = Get(set, "vlm_scene_list.bmp");
        const QRgb sky = tiles.pixel(0, 75 * (look.scene - 1)) | 0xFF000000;
        QImage panned(800, 600, QImage::Format_RGB32);
        Tile(panned, tiles, look.scene, 0);
        Tile(panned, tiles, look.scene, 300);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x + 100 < 800; ++x)
                if ((out.pixel(x, y) | 0xFF000000) != sky)
                    panned.setPixel(x + 100, y, out.pixel(x, y));
        Paste(panned, Get(set, "vlm_background.bmp"), QRect(0, 0, 220, 300), 0, 0);
        Paste(panned, Get(set, "vlm_starlist.bmp"), QRect(0, 200, 120, 100), 0, 0);
        Paste(panned, Get(set, "vlm_streaming.bmp"), QRect(0, 0, 100, 100), 150, 150);
        return panned;
    }
    return out;
}

std::vector<SheetEntry> SheetEntries(const Set& set)
{
    using Entry = SheetEntry;
    std::vector<Entry> entries;
    auto add = [&](const QString& label, auto&& change) {
        Look l;
        change(l);
        entries.push_back({label, l});
    };
    add("default, scene 0", [](Look&) {});
    add("scene 0, other half", [](Look& l) { l.altPhase = true; });
    add("long hair", [](Look& l) { l.hair = Look::Long; });
    add("shaggy", [](Look& l) { l.hair = Look::Shaggy; });
    add("pank", [](Look& l) { l.hair = Look::Pank; });
    add("otohime", [](Look& l) { l.hair = Look::Otohime; });
    add("eyes closed", [](Look& l) { l.eyesClosed = true; });
    add("long, eyes closed", [](Look& l) {
        l.eyesClosed = true;
        l.hair = Look::Long;
    });
    add("shaggy, eyes closed", [](Look& l) {
        l.eyesClosed = true;
        l.hair = Look::Shaggy;
    });
    add("pank, eyes closed", [](Look& l) {
        l.eyesClosed = true;
        l.hair = Look::Pank;
    });
    const int faces = Get(set, "vlm_facelist.bmp").height() / 123;
    for (int f = 0; f < faces; ++f) {
        add(QStringLiteral("face %1").arg(f), [f](Look& l) { l.face = f; });
        add(QStringLiteral("face %1, long").arg(f), [f](Look& l) {
            l.face = f;
            l.hair = Look::Long;
        });
    }
    add("no accessories", [](Look& l) {
        l.hairband = l.ribbon = false;
        l.earring = l.earframe = l.bracelet = -1;
    });
    add("flower in hair, choker", [](Look& l) {
        l.flowerHair = l.choker = true;
        l.hairband = false;
    });
    add("flower on chest", [](Look& l) { l.flowerChest = true; });
    for (int i = 0; i < 5; ++i)
        add(QStringLiteral("earring %1, frame %1, bracelet %1").arg(i), [i](Look& l) {
            l.earring = l.earframe = l.bracelet = i;
            l.scene = 1 + i;
        });
    add("camisole", [](Look& l) { l.camisole = true; });
    add("thick strings", [](Look& l) { l.strings = 1; });
    add("W strings", [](Look& l) { l.strings = 2; });
    add("cross strings", [](Look& l) { l.strings = 3; });
    add("no strings", [](Look& l) { l.strings = 4; });
    // The wardrobe: every extra part on the figure.
    for (auto it = set.extras.cbegin(); it != set.extras.cend(); ++it) {
        const QString name = it.key();
        add(QStringLiteral("extra ") + name, [name](Look& l) {
            if (name.startsWith("vlm_co")) {
                l.costume = name;
            } else if (name.startsWith("vlm_ca")) {
                l.camisole = true;
                l.camisoleFile = name;
            } else if (name.startsWith("vlm_ri")) {
                l.ribbonFile = name;
            } else if (name.startsWith("vlm_hb")) {
                l.hairbandFile = name;
            } else if (name.startsWith("vlm_fl")) {
                l.flowerFile = name;
                l.flowerChest = true;
                l.flowerHair = true;
                l.hairband = false;
            } else if (name.startsWith("vlm_ch")) {
                l.chokerFile = name;
                l.choker = true;
            }
        });
    }
    for (int s = 1; s <= 10; ++s)
        add(QStringLiteral("scene %1").arg(s), [s](Look& l) { l.scene = s; });
    add("night, panned right: sky picture, star, shooting star", [](Look& l) {
        l.scene = 7;
        l.night = true;
        l.eyesClosed = true;
    });
    for (int k = 0; k < 3; ++k)
        add(QStringLiteral("body frame %1").arg(k), [k](Look& l) { l.frame = k; });
    return entries;
}

QImage ContactSheet(const Set& set)
{
    const std::vector<SheetEntry> entries = SheetEntries(set);
    const int cols = 5, cw = 400, ch = 300, label = 22;
    const int n = int(entries.size()) + 1;
    const int rows = (n + cols - 1) / cols;
    QImage sheet(cols * cw, rows * (ch + label), QImage::Format_RGB32);
    sheet.fill(QColor(0x40, 0x40, 0x48));
    QPainter p(&sheet);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(Qt::white);
    auto place = [&](int i, const QImage& img, const QString& text) {
        const int x = (i % cols) * cw, y = (i / cols) * (ch + label);
        p.drawText(QRect(x + 4, y, cw - 8, label), Qt::AlignVCenter | Qt::AlignLeft, text);
        p.drawImage(QRect(x, y + label, cw, ch), img.scaled(cw, ch, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    };
    for (size_t i = 0; i < entries.size(); ++i)
        place(int(i), Compose(set, entries[i].look), entries[i].label);

    // How the body frames differ from frame 0, magnified four times.
    Look base;
    const QImage f0 = Compose(set, base);
    base.frame = 1;
    const QImage f1 = Compose(set, base);
    base.frame = 2;
    const QImage f2 = Compose(set, base);
    QImage diff(800, 600, QImage::Format_RGB32);
    diff.fill(Qt::black);
    for (int y = 300; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const bool d1 = f0.pixel(x, y) != f1.pixel(x, y);
            const bool d2 = f0.pixel(x, y) != f2.pixel(x, y);
            diff.setPixel(x, y, qRgb(d1 ? 255 : 0, d2 ? 200 : 0, 0));
        }
    place(int(entries.size()), diff, QStringLiteral("frames 1 (red) and 2 (green) against frame 0"));
    return sheet;
}

} // namespace artwork
