// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/artwork/Master.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <algorithm>
#include <stdexcept>

namespace artwork {

Master::Master(const QString& path) : path_(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(path.toStdString() + ": " + file.errorString().toStdString());
    const QString text = QString::fromUtf8(file.readAll());

    // Everything between the root element and the end of <defs> is shared by
    // every render: the palette classes and the reusable motifs.
    const qsizetype root = text.indexOf("<svg");
    const qsizetype rootEnd = text.indexOf('>', root);
    const qsizetype defsEnd = text.indexOf("</defs>");
    if (root < 0 || rootEnd < 0 || defsEnd < 0)
        throw std::runtime_error(path.toStdString() + ": no <svg> root with <defs>");
    prologue_ = text.mid(rootEnd + 1, defsEnd + 7 - rootEnd - 1);

    // Top-level groups: "<g id=...>" at the start of a line, closed by "</g>"
    // alone on a line. Groups inside parts never start a line with an id.
    static const QRegularExpression open(QStringLiteral("^<g id=\"([^\"]+)\"[^>]*>$"),
                                         QRegularExpression::MultilineOption);
    auto it = open.globalMatch(text, defsEnd);
    while (it.hasNext()) {
        const auto m = it.next();
        const qsizetype bodyStart = m.capturedEnd() + 1;
        const qsizetype close = text.indexOf("\n</g>", bodyStart - 1);
        if (close < 0)
            throw std::runtime_error(path.toStdString() + ": group " + m.captured(1).toStdString() + " not closed");
        groups_.insert(m.captured(1), text.mid(bodyStart, close - bodyStart));
    }
    if (groups_.isEmpty())
        throw std::runtime_error(path.toStdString() + ": no groups");
}

QByteArray Master::Document(const std::vector<Layer>& layers, QSize size, bool coverage, const Swaps& swaps) const
{
    QString doc = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                 "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%1\" height=\"%2\" "
                                 "viewBox=\"0 0 %1 %2\">")
                      .arg(size.width())
                      .arg(size.height());
    doc += prologue_;
    for (const Layer& layer : layers) {
        auto g = groups_.constFind(layer.id);
        if (g == groups_.constEnd())
            throw std::runtime_error(path_.toStdString() + ": no group " + layer.id.toStdString());
        if (coverage && layer.role == Role::Paint)
            continue;
        QString attrs;
        if (!layer.transform.isEmpty())
            attrs += QStringLiteral(" transform=\"%1\"").arg(layer.transform);
        if (coverage && layer.role == Role::Hole)
            attrs += QStringLiteral(" comp-op=\"dst-out\"");
        doc += QStringLiteral("<g%1>\n").arg(attrs);
        doc += *g;
        doc += QStringLiteral("\n</g>\n");
    }
    doc += QStringLiteral("</svg>\n");
    for (const auto& [from, to] : swaps)
        doc.replace(from, to, Qt::CaseInsensitive);
    return doc.toUtf8();
}

Render Master::Draw(const std::vector<Layer>& layers, QSize size, const Swaps& swaps, bool antialias) const
{
    Render out;
    // Without holes or paint-only groups the coverage is the colour's alpha.
    const bool plain = std::all_of(layers.begin(), layers.end(), [](const Layer& l) { return l.role == Role::Ink; });
    for (int pass = 0; pass < (plain ? 1 : 2); ++pass) {
        const bool coverage = pass == 1;
        QSvgRenderer renderer(Document(layers, size, coverage, swaps));
        if (!renderer.isValid())
            throw std::runtime_error(path_.toStdString() + ": a render of " + layers.front().id.toStdString() +
                                     " is not valid SVG");
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter painter(&img);
        painter.setRenderHint(QPainter::Antialiasing, antialias);
        painter.setRenderHint(QPainter::TextAntialiasing, antialias);
        renderer.render(&painter, QRectF(0, 0, size.width(), size.height()));
        painter.end();
        (coverage ? out.coverage : out.colour) = std::move(img);
    }
    if (plain)
        out.coverage = out.colour;
    return out;
}

} // namespace artwork
