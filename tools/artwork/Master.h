// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The master drawing: one SVG file whose top-level groups are the parts of the
// default artwork, and the renderer that turns a stack of them into pixels.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QSize>
#include <QString>
#include <vector>

namespace artwork {

// How a group takes part in a render.
enum class Role {
    Ink,   // painted, and its pixels belong to the picture
    Hole,  // painted, and its pixels are taken out of the picture: a part drawn
           // earlier by the program stays visible through them
    Paint, // painted only, for the colours at the edges
};

struct Layer {
    QString id;
    Role role = Role::Ink;
    QString transform; // optional SVG transform applied to the group
};

// A rendered stack: colours (premultiplied ARGB) and the picture's coverage
// (alpha only), both in the document's coordinates.
struct Render {
    QImage colour;
    QImage coverage;
};

// Colour substitutions applied to the document text, for palette variants.
using Swaps = std::vector<std::pair<QString, QString>>;

class Master {
public:
    // Reads the SVG file; throws std::runtime_error naming the file on failure.
    explicit Master(const QString& path);

    bool Has(const QString& id) const { return groups_.contains(id); }

    // Renders the layers, in order, on a transparent canvas of `size`.
    // `antialias` false gives hard pixel edges (used for the tiny scene tiles).
    Render Draw(const std::vector<Layer>& layers, QSize size, const Swaps& swaps = {}, bool antialias = true) const;

private:
    QByteArray Document(const std::vector<Layer>& layers, QSize size, bool coverage, const Swaps& swaps) const;

    QString path_;
    QString prologue_; // style and defs
    QMap<QString, QString> groups_;
};

} // namespace artwork
