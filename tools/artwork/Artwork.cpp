// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/artwork/Artwork.h"

#include <QColor>
#include <QPainter>
#include <algorithm>
#include <array>
#include <stdexcept>

namespace artwork {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kNudged = 0xFFFEFEFE;
const QSize kWindow(800, 600);

// Body poses: the chest rises a little from pose 0 to pose 2. Rows above 400
// are shared by all poses, so the squeeze is anchored there.
QString Pose(int k)
{
    static constexpr std::array<double, 3> squeeze = {0.0, 0.018, 0.027};
    const double s = squeeze.at(k);
    return QStringLiteral("matrix(1 0 0 %1 0 %2)").arg(1.0 - s, 0, 'f', 4).arg(400.0 * s, 0, 'f', 3);
}

Layer Ink(const QString& id, const QString& t = {})
{
    return Layer{id, Role::Ink, t};
}
Layer Hole(const QString& id, const QString& t = {})
{
    return Layer{id, Role::Hole, t};
}

// The transparency rule of every part picture: a pixel less than half covered
// is pure white; any other pixel is opaque, in its own colour (so no light
// halo appears on dark scenes); pure white inside a part is nudged off white.
QImage Key(const Render& r, QRect crop)
{
    QImage out(crop.size(), QImage::Format_RGB32);
    const QRect bounds = r.colour.rect();
    for (int y = 0; y < crop.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        const int sy = crop.top() + y;
        for (int x = 0; x < crop.width(); ++x) {
            const int sx = crop.left() + x;
            QRgb px = kWhite;
            if (bounds.contains(sx, sy)) {
                const QRgb cov = reinterpret_cast<const QRgb*>(r.coverage.constScanLine(sy))[sx];
                const QRgb col = reinterpret_cast<const QRgb*>(r.colour.constScanLine(sy))[sx];
                if (qAlpha(cov) >= 128 && qAlpha(col) > 0) {
                    px = qUnpremultiply(col) | 0xFF000000;
                    if (px == kWhite)
                        px = kNudged;
                }
            }
            dst[x] = px;
        }
    }
    // A pixel left white between opaque neighbours would be a pinhole in the
    // part: give it the colour of its neighbours.
    for (int y = 1; y + 1 < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* up = reinterpret_cast<const QRgb*>(out.constScanLine(y - 1));
        const auto* down = reinterpret_cast<const QRgb*>(out.constScanLine(y + 1));
        for (int x = 1; x + 1 < out.width(); ++x) {
            const QRgb n[4] = {row[x - 1], row[x + 1], up[x], down[x]};
            if (row[x] != kWhite || std::any_of(n, n + 4, [](QRgb c) { return c == kWhite; }))
                continue;
            int r = 0, g = 0, b = 0;
            for (QRgb c : n) {
                r += qRed(c);
                g += qGreen(c);
                b += qBlue(c);
            }
            row[x] = qRgb(r / 4, g / 4, b / 4);
            if (row[x] == kWhite)
                row[x] = kNudged;
        }
    }
    return out;
}

// A plain opaque render (scenes, tiles): colours over white.
QImage Flat(const Render& r)
{
    QImage out(r.colour.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, r.colour);
    return out;
}

// Dark strokes on white: every opaque pixel becomes black.
QImage Strokes(QImage img)
{
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (row[x] != kWhite)
                row[x] = 0xFF000000;
    }
    return img;
}

QImage Stack(const std::vector<QImage>& cells)
{
    int w = 0, h = 0;
    for (const QImage& c : cells) {
        w = std::max(w, c.width());
        h += c.height();
    }
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    int y = 0;
    for (const QImage& c : cells) {
        p.drawImage(0, y, c);
        y += c.height();
    }
    return out;
}

QImage Grey(const QImage& img)
{
    QImage out(img.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < img.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < img.width(); ++x)
            dst[x] = uchar(qGray(src[x]));
    }
    return out;
}

// Nearest colour of a small palette.
QImage Quantise(const QImage& img, const QVector<QRgb>& palette)
{
    QImage out(img.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < img.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            int best = 0, bestD = INT32_MAX;
            for (int i = 0; i < palette.size(); ++i) {
                const int dr = qRed(src[x]) - qRed(palette[i]);
                const int dg = qGreen(src[x]) - qGreen(palette[i]);
                const int db = qBlue(src[x]) - qBlue(palette[i]);
                const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (d < bestD) {
                    bestD = d;
                    best = i;
                }
            }
            dst[x] = uchar(best);
        }
    }
    return out;
}

QRgb Mix(QRgb a, QRgb b, double t)
{
    return qRgb(int(qRed(a) * (1 - t) + qRed(b) * t + 0.5), int(qGreen(a) * (1 - t) + qGreen(b) * t + 0.5),
                int(qBlue(a) * (1 - t) + qBlue(b) * t + 0.5));
}

QImage Logo(const Master& master, const QString& version)
{
    const Render r = master.Draw({Ink("logo")}, QSize(260, 120), {{QStringLiteral("@VERSION@"), version}});
    const QRgb bg = qRgb(0xff, 0xe3, 0xea), pink = qRgb(0xe4, 0x57, 0x9b), red = qRgb(0xe5, 0x4a, 0x62),
               dark = qRgb(0x5a, 0x10, 0x20), text = qRgb(0x8a, 0x2a, 0x52), blue = qRgb(0x4b, 0x74, 0xbf);
    const QVector<QRgb> palette = {bg,
                                   pink,
                                   red,
                                   dark,
                                   text,
                                   blue,
                                   qRgb(255, 255, 255),
                                   qRgb(0, 0, 0),
                                   Mix(bg, text, 0.33),
                                   Mix(bg, text, 0.66),
                                   Mix(bg, blue, 0.33),
                                   Mix(bg, blue, 0.66),
                                   Mix(bg, pink, 0.5),
                                   Mix(bg, red, 0.5),
                                   Mix(red, dark, 0.5),
                                   Mix(text, dark, 0.5)};
    return Quantise(Flat(r), palette);
}

// Where the hem keys paint within each 100-row band of a costume: a 500-column
// band of 61 rows and a 60-column block of 39 rows at its lower right.
bool HemKeysPaint(int x, int y)
{
    return (y < 61 && x < 500) || (y >= 61 && x >= 470);
}

// The hem pattern of each pose: the sash group where the hem keys paint and
// every costume has cloth, so that recolouring it touches the sash of any
// costume and nothing else.
std::vector<QImage> HemWave(const Master& master, const std::vector<QString>& costumes)
{
    std::vector<QImage> bands;
    for (int k = 0; k < 3; ++k) {
        const Render hem = master.Draw({Ink("costume-hem", Pose(k))}, kWindow);
        std::vector<Render> dresses;
        for (const QString& c : costumes)
            dresses.push_back(master.Draw({Ink(c, Pose(k))}, kWindow));
        QImage band(530, 100, QImage::Format_RGB32);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 530; ++x) {
                const int sx = 110 + x, sy = 500 + y;
                bool on = HemKeysPaint(x, y) && qAlpha(hem.coverage.pixel(sx, sy)) >= 128;
                for (const Render& d : dresses)
                    on = on && qAlpha(d.coverage.pixel(sx, sy)) >= 128;
                band.setPixel(x, y, on ? 0xFF000000 : kWhite);
            }
        bands.push_back(band);
    }
    return bands;
}

} // namespace

Set BuildSet(const Master& m, const QString& version)
{
    Set set;
    auto cut = [&](const std::vector<Layer>& layers, QRect r, const Swaps& swaps = {}) {
        return Key(m.Draw(layers, kWindow, swaps), r);
    };
    auto file = [&](const QString& name, QImage img) { set.files.insert(name, Picture{std::move(img), 24}); };
    auto extra = [&](const QString& name, QImage img) { set.extras.insert(name, Picture{std::move(img), 24}); };
    auto embed = [&](const QString& name, QImage img, int bits = 24) {
        set.embedded.insert(name, Picture{std::move(img), bits});
    };
    const QString p0 = Pose(0);

    // Scenes.
    {
        const QImage a = Flat(m.Draw({Ink("strawberry-a")}, kWindow));
        const QImage b = Flat(m.Draw({Ink("strawberry-b")}, kWindow));
        file("vlm_scene_strawberry_upper.bmp", Stack({a.copy(0, 0, 800, 300), b.copy(0, 0, 800, 300)}));
        file("vlm_scene_strawberry_lower.bmp", Stack({a.copy(0, 300, 800, 300), b.copy(0, 300, 800, 300)}));
        file("vlm_scene_list.bmp", Flat(m.Draw({Ink("scene-tiles")}, QSize(75, 750), {}, false)));
    }

    // Hair.
    file("vlm_0_main_hair.bmp",
         cut({Ink("hair-main"), Hole("figure", p0), Hole("head"), Hole("hair-side"), Ink("hair-sub")},
             QRect(100, 0, 600, 300)));
    file("vlm_0_hair_sub_up.bmp",
         cut({Ink("hair-main"), Hole("figure", p0), Hole("figure-arm"), Ink("hair-sub")}, QRect(200, 300, 500, 120)));
    file("vlm_0_main_hair_longleft.bmp",
         cut({Ink("hair-longleft"), Hole("head"), Hole("hair-side")}, QRect(100, 0, 150, 150)));
    file("vlm_shaggy.bmp", cut({Ink("hair-shaggy")}, QRect(150, 0, 450, 250)));
    file("vlm_pank.bmp", cut({Ink("hair-pank")}, QRect(150, 0, 450, 200)));
    file("vlm_otohime.bmp",
         cut({Ink("hair-otohime"), Hole("figure", p0), Hole("head"), Ink("hair-otohime-front"), Hole("hair-side")},
             QRect(150, 0, 500, 400)));
    embed("HairSide", cut({Ink("hair-side")}, QRect(170, 0, 420, 200)));
    embed("HairNotLong",
          cut({Ink("hair-front"), Hole("figure", p0), Hole("head"), Hole("hair-side")}, QRect(410, 0, 260, 260)));
    embed("HairLong", cut({Ink("hair-front-long"), Hole("figure", p0), Ink("hair-front-long-over"), Hole("head"),
                           Hole("hair-side")},
                          QRect(410, 0, 260, 260)));
    embed("HairBottom", cut({Ink("hair-tip")}, QRect(620, 550, 60, 50)));

    // Faces: complete pictures of the face column in the standard and the
    // long style, differing only in the eyes.
    auto face = [&](const QString& eyes, const QString& brows, bool long_) {
        std::vector<Layer> l = {Ink("hair-main"), Ink(long_ ? "hair-front-long" : "hair-front")};
        if (long_)
            l.push_back(Ink("hair-longleft"));
        l.push_back(Ink("figure", p0));
        if (long_)
            l.push_back(Ink("hair-front-long-over"));
        for (const Layer& x :
             {Ink("head"), Ink("hair-side"), Ink("hair-sub"), Ink(long_ ? "fringe-shadow-long" : "fringe-shadow"),
              Ink(eyes), Ink(long_ ? "fringe-long" : "fringe"), Ink(brows)})
            l.push_back(x);
        return m.Draw(l, kWindow);
    };
    {
        std::vector<QImage> std_, lg;
        for (int k = 0; m.Has(QStringLiteral("eyes-%1").arg(k)); ++k) {
            const QString eyes = QStringLiteral("eyes-%1").arg(k), brows = QStringLiteral("brows-%1").arg(k);
            std_.push_back(Key(face(eyes, brows, false), QRect(221, 0, 279, 123)));
            lg.push_back(Key(face(eyes, brows, true), QRect(221, 0, 279, 123)));
        }
        file("vlm_facelist.bmp", Stack(std_));
        file("vlm_facelist_lg.bmp", Stack(lg));
        embed("CloseeyePict", Key(face("eyes-closed", "brows-0", false), QRect(238, 0, 243, 123)));
        embed("CloseeyePict_lg", Key(face("eyes-closed", "brows-0", true), QRect(238, 0, 243, 123)));
    }

    // Figure and clothes.
    // The base figure carries the first face too, so the portrait has a face
    // before the first face cell is drawn.
    embed("mainsave", cut({Ink("head-back"), Ink("figure", p0), Ink("head"), Ink("fringe-shadow"), Ink("eyes-0"),
                           Ink("fringe"), Ink("brows-0")},
                          QRect(170, 0, 420, 300)));
    // The right arm rests its hand on the hip: it stays put while the chest
    // rises, so the bracelet wraps the same wrist in every pose.
    auto body = [&](int k) { return std::vector<Layer>{Ink("figure", Pose(k)), Ink("figure-arm")}; };
    embed("subworkcanvas", Stack({cut(body(0), QRect(100, 300, 700, 300)), cut(body(1), QRect(100, 400, 700, 200)),
                                  cut(body(2), QRect(100, 400, 700, 200))}));
    // Every costume has its own outline; its sash lies exactly on the hem
    // pattern, so the hem keys recolour the whole sash and nothing else.
    std::vector<QString> costumes = {QStringLiteral("costume")};
    for (int k = 2; m.Has(QStringLiteral("costume-%1").arg(k)); ++k)
        costumes.push_back(QStringLiteral("costume-%1").arg(k));
    const std::vector<QImage> wave = HemWave(m, costumes);
    std::vector<QImage> wornCostumes;
    {
        const QRect band(110, 500, 530, 100);
        for (const QString& c : costumes) {
            std::vector<QImage> cells;
            for (int k = 0; k < 3; ++k) {
                QImage cloth = cut({Ink(c, Pose(k))}, band);
                const QImage sash = cut({Ink(c + QStringLiteral("-trim"), Pose(k))}, band);
                for (int y = 0; y < band.height(); ++y)
                    for (int x = 0; x < band.width(); ++x)
                        if (wave[size_t(k)].pixel(x, y) != kWhite)
                            cloth.setPixel(x, y, sash.pixel(x, y) == kWhite ? kNudged : sash.pixel(x, y));
                cells.push_back(cloth);
            }
            wornCostumes.push_back(Stack(cells));
        }
    }
    file("vlm_co.bmp", wornCostumes[0]);
    // The three poses of a part that ends where the figure does: a strap
    // runs out to the shoulder's outline and stops there.
    auto onFigure = [&](const QString& id, QRect r) {
        std::vector<QImage> cells;
        for (int k = 0; k < 3; ++k) {
            QImage cell = cut({Ink(id, Pose(k))}, r);
            const QImage under = cut(body(k), r);
            for (int y = 0; y < cell.height(); ++y)
                for (int x = 0; x < cell.width(); ++x)
                    if (under.pixel(x, y) == kWhite)
                        cell.setPixel(x, y, kWhite);
            cells.push_back(cell);
        }
        return Stack(cells);
    };
    const QRect topRect(100, 350, 550, 250);
    auto tops = [&](const QString& id) { return onFigure(id, topRect); };
    file("vlm_ca.bmp", tops(QStringLiteral("camisole")));
    embed("HerimPattern", Quantise(Stack(wave), {qRgb(0, 0, 0), qRgb(255, 255, 255)}), 1);
    // The strings are drawn over the hair that hangs over the shoulders, so
    // they keep clear of it; they run up over the shoulder and end on its
    // outline, where the figure's picture ends, whatever hair she wears.
    auto strings = [&](const QString& id, QRect r) { return Strokes(onFigure(id, r)); };
    file("vlm_string_pattern_list.bmp", strings("strings-single", QRect(200, 310, 280, 210)));
    file("vlm_thickstring_pattern.bmp", strings("strings-thick", QRect(200, 310, 290, 210)));
    file("vlm_wstring_pattern.bmp", strings("strings-w", QRect(200, 350, 390, 160)));
    file("vlm_crossstring_pattern.bmp", strings("strings-cross", QRect(210, 330, 290, 190)));

    // Accessories.
    file("vlm_ri.bmp", cut({Ink("ribbon")}, QRect(370, 475, 200, 80)));
    file("vlm_hb.bmp", cut({Ink("hairband")}, QRect(480, 0, 80, 100)));
    file("vlm_fl.bmp", Key(m.Draw({Ink("flower")}, QSize(100, 120)), QRect(0, 0, 100, 120)));
    file("vlm_ch.bmp", cut({Ink("choker")}, QRect(350, 260, 150, 150)));
    // Night sky.
    file("vlm_background.bmp", Key(m.Draw({Ink("night-background")}, QSize(220, 300)), QRect(0, 0, 220, 300)));
    file("vlm_starlist.bmp", Key(m.Draw({Ink("stars")}, QSize(120, 500)), QRect(0, 0, 120, 500)));
    file("vlm_streaming.bmp", Key(m.Draw({Ink("streaming")}, QSize(100, 100)), QRect(0, 0, 100, 100)));

    // Extra part files for the browser and the open dialogs: the wardrobe
    // beyond the default of each kind. Names are the kind's prefix with one
    // more character (two for chokers), which every open dialog lists.
    for (size_t i = 1; i < costumes.size(); ++i)
        extra(QStringLiteral("vlm_co%1.bmp").arg(i + 1), wornCostumes[i]);
    for (int k = 2; m.Has(QStringLiteral("camisole-%1").arg(k)); ++k)
        extra(QStringLiteral("vlm_ca%1.bmp").arg(k), tops(QStringLiteral("camisole-%1").arg(k)));
    for (int k = 2; m.Has(QStringLiteral("ribbon-%1").arg(k)); ++k)
        extra(QStringLiteral("vlm_ri%1.bmp").arg(k),
              cut({Ink(QStringLiteral("ribbon-%1").arg(k))}, QRect(370, 475, 200, 80)));
    for (int k = 2; m.Has(QStringLiteral("hairband-%1").arg(k)); ++k)
        extra(QStringLiteral("vlm_hb%1.bmp").arg(k),
              cut({Ink(QStringLiteral("hairband-%1").arg(k))}, QRect(480, 0, 80, 100)));
    for (int k = 2; m.Has(QStringLiteral("flower-%1").arg(k)); ++k)
        extra(QStringLiteral("vlm_fl%1.bmp").arg(k),
              Key(m.Draw({Ink(QStringLiteral("flower-%1").arg(k))}, QSize(100, 120)), QRect(0, 0, 100, 120)));
    for (int k = 2; m.Has(QStringLiteral("choker-%1").arg(k)); ++k)
        extra(QStringLiteral("vlm_ch%1.bmp").arg(k, 2, 10, QLatin1Char('0')),
              cut({Ink(QStringLiteral("choker-%1").arg(k))}, QRect(350, 260, 150, 150)));

    embed("logo", Logo(m, version), 4);

    // Earrings, studs and bracelets. The program masks every cell of a list
    // with the first cell's shape, so the five cells share the union of the
    // five jewels' shapes; each fills what its jewel leaves bare of it with
    // what lies beneath in the standard portrait. The studs sit on the ear
    // lobes and the bracelets on the arm, the same in every view; the
    // earrings hang over hair or scene, so theirs share one setting and leave
    // nothing bare. The earrings hang below the studs: neither covers the
    // other.
    {
        Look bare;
        bare.scene = -1;
        bare.earring = bare.earframe = bare.bracelet = -1;
        bare.hairband = bare.ribbon = false;
        bare.strings = 4;
        const QImage beneath = Compose(set, bare);
        auto jewels = [&](const QString& prefix, QRect r) {
            std::vector<QImage> own;
            for (int k = 0; k < 5; ++k)
                own.push_back(cut({Ink(prefix.arg(k))}, r));
            // the union, without pinholes where the shapes meet
            QImage shape(r.size(), QImage::Format_RGB32);
            shape.fill(kWhite);
            for (int y = 0; y < r.height(); ++y)
                for (int x = 0; x < r.width(); ++x)
                    for (const QImage& o : own)
                        if (o.pixel(x, y) != kWhite)
                            shape.setPixel(x, y, 0xFF000000);
            for (int y = 1; y + 1 < r.height(); ++y)
                for (int x = 1; x + 1 < r.width(); ++x)
                    if (shape.pixel(x - 1, y) != kWhite && shape.pixel(x + 1, y) != kWhite &&
                        shape.pixel(x, y - 1) != kWhite && shape.pixel(x, y + 1) != kWhite)
                        shape.setPixel(x, y, 0xFF000000);
            std::vector<QImage> cells;
            for (const QImage& jewel : own) {
                QImage cell(r.size(), QImage::Format_RGB32);
                for (int y = 0; y < r.height(); ++y)
                    for (int x = 0; x < r.width(); ++x) {
                        const bool inShape = shape.pixel(x, y) != kWhite;
                        QRgb c = jewel.pixel(x, y);
                        if (inShape && c == kWhite)
                            c = beneath.pixel(r.left() + x, r.top() + y);
                        cell.setPixel(x, y, c == kWhite && inShape ? kNudged : c);
                    }
                cells.push_back(cell);
            }
            return Stack(cells);
        };
        file("vlm_earring_list.bmp", jewels(QStringLiteral("earrings-%1"), QRect(250, 180, 330, 120)));
        file("vlm_earring_framelist.bmp", jewels(QStringLiteral("earframe-%1"), QRect(250, 180, 340, 120)));
        file("vlm_bracelet.bmp", jewels(QStringLiteral("bracelet-%1"), QRect(670, 560, 130, 40)));
    }

    // Grey and small pictures: renders of the composed portrait.
    {
        Look look;
        look.scene = -1;
        look.earframe = -1;
        std::vector<QImage> frames;
        QImage upper;
        for (int k = 0; k < 3; ++k) {
            look.frame = k;
            const QImage whole = Compose(set, look);
            if (k == 0)
                upper = whole.copy(0, 0, 800, 300);
            frames.push_back(whole.copy(0, 300, 800, 300));
        }
        embed("MainPictGray", Grey(upper), 8);
        embed("SubPictListGray", Grey(Stack(frames)), 8);
        embed("CloseEyePictGray", Grey(set.embedded["CloseeyePict"].image), 8);

        // Four small figures, each half size in one quarter of the window.
        std::array<Look, 4> four;
        four[1].hair = Look::Long;
        four[1].face = 1;
        four[1].camisole = true;
        four[2].hair = Look::Otohime;
        four[2].face = 2;
        four[2].costume = QStringLiteral("vlm_co3.bmp");
        four[2].strings = 2;
        four[3].face = 3;
        four[3].flowerChest = true;
        four[3].choker = true;
        four[3].costume = QStringLiteral("vlm_co2.bmp");
        four[3].strings = 3;
        QImage quad(800, 600, QImage::Format_RGB32);
        quad.fill(Qt::white);
        QImage closed[2];
        {
            QPainter p(&quad);
            for (int i = 0; i < 4; ++i) {
                Look l = four[i];
                l.scene = -1;
                p.drawImage((i % 2) * 400, (i / 2) * 300,
                            Compose(set, l).scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                if (i < 2) {
                    l.eyesClosed = true;
                    closed[i] = Compose(set, l)
                                    .scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                    .copy(110, 0, 130, 60);
                }
            }
        }
        embed("Small4Pict", Grey(quad), 8);
        embed("SmallClosedPict0", Grey(closed[0]), 8);
        embed("SmallClosedPict01", Grey(closed[1]), 8);
    }
    return set;
}

} // namespace artwork
