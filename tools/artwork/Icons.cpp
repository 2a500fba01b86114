// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The program's icon, drawn from the master drawing: the character's face on
// a rounded tile. One SVG document is written as the scalable icon and
// rendered at every theme size, so each PNG is drawn at its own resolution
// rather than scaled down from a larger one.
#include "tools/artwork/Icons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <stdexcept>

namespace artwork {

namespace {

// Which square of the drawing (window coordinates) fills the tile, and the
// tile's margin and border on a 256-unit canvas. The large icons show the
// face with the hair beside it; the small ones come closer, eyes and mouth
// filling the tile, with no border to spend pixels on.
struct Framing {
    double left, top, size;
    double margin, border;
};
constexpr Framing kLarge = {205, 0, 310, 12, 6};
constexpr Framing kSmall = {262, 30, 196, 0, 0};

// Back to front, as the face cells are drawn.
const char* const kFaceGroups[] = {"hair-main", "hair-front",    "figure", "head",   "hair-side",
                                   "hair-sub",  "fringe-shadow", "eyes-0", "fringe", "brows-0"};

QString IconDocument(const QString& masterPath, const Framing& f)
{
    QFile file(masterPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(masterPath.toStdString() + ": " + file.errorString().toStdString());
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype root = text.indexOf("<svg");
    const qsizetype rootEnd = text.indexOf('>', root);
    const qsizetype defsEnd = text.indexOf("</defs>");
    if (root < 0 || rootEnd < 0 || defsEnd < 0)
        throw std::runtime_error(masterPath.toStdString() + ": no <svg> root with <defs>");

    QString body;
    int found = 0;
    for (const char* id : kFaceGroups) {
        static const QString open = QStringLiteral("\n<g id=\"%1\"");
        const qsizetype start = text.indexOf(open.arg(QLatin1String(id)), defsEnd);
        if (start < 0)
            continue; // a group the drawing no longer has
        const qsizetype close = text.indexOf("\n</g>", start + 1);
        if (close < 0)
            throw std::runtime_error(masterPath.toStdString() + ": group " + id + " not closed");
        body += text.mid(start + 1, close + 5 - start - 1) + "\n";
        ++found;
    }
    if (!text.contains(QStringLiteral("\n<g id=\"head\"")) || found < 2)
        throw std::runtime_error(masterPath.toStdString() + ": the face groups are missing");

    const double tile = 256 - 2 * f.margin;
    const double radius = f.margin > 0 ? 44 : 36;
    const QString rect =
        QStringLiteral("x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\"").arg(f.margin).arg(tile).arg(radius);
    QString doc = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                 "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"256\" height=\"256\" "
                                 "viewBox=\"0 0 256 256\">\n");
    doc += text.mid(rootEnd + 1, defsEnd + 7 - rootEnd - 1) + "\n";
    doc += QStringLiteral("<defs><clipPath id=\"icon-tile\"><rect %1/></clipPath>\n"
                          "<linearGradient id=\"icon-sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
                          "<stop offset=\"0\" stop-color=\"#ffe3ee\"/><stop offset=\"1\" stop-color=\"#f6a9c6\"/>"
                          "</linearGradient></defs>\n<rect %1 fill=\"url(#icon-sky)\"/>\n")
               .arg(rect);
    doc += QStringLiteral("<g clip-path=\"url(#icon-tile)\"><g transform=\"translate(%1 %1) scale(%2) "
                          "translate(%3 %4)\">\n")
               .arg(f.margin)
               .arg(tile / f.size, 0, 'f', 6)
               .arg(-f.left)
               .arg(-f.top);
    doc += body;
    doc += QStringLiteral("</g></g>\n");
    if (f.border > 0)
        doc +=
            QStringLiteral("<rect %1 fill=\"none\" stroke=\"#8e3b5e\" stroke-width=\"%2\"/>\n").arg(rect).arg(f.border);
    doc += QStringLiteral("</svg>\n");
    return doc;
}

void Write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace

void WriteIcons(const QString& masterPath, const QString& themeDir, const QString& name)
{
    const QByteArray large = IconDocument(masterPath, kLarge).toUtf8();
    const QByteArray small = IconDocument(masterPath, kSmall).toUtf8();
    Write(themeDir + "/scalable/apps/" + name + ".svg", large);
    for (int size : kIconSizes) {
        const Framing& f = size <= 32 ? kSmall : kLarge;
        QSvgRenderer renderer(size <= 32 ? small : large);
        if (!renderer.isValid())
            throw std::runtime_error("the icon is not valid SVG");
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        // Qt's SVG renderer ignores clip paths: the tile clips here.
        QPainterPath tile;
        const double unit = size / 256.0;
        const double side = 256 - 2 * f.margin;
        const double radius = f.margin > 0 ? 44 : 36;
        tile.addRoundedRect(QRectF(f.margin * unit, f.margin * unit, side * unit, side * unit), radius * unit,
                            radius * unit);
        painter.setClipPath(tile);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString path = QStringLiteral("%1/%2x%2/apps/%3.png").arg(themeDir).arg(size).arg(name);
        QDir().mkpath(QFileInfo(path).path());
        if (!image.save(path, "PNG"))
            throw std::runtime_error("cannot write " + path.toStdString());
    }
}

} // namespace artwork
