// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Short labels drawn with a small built-in 5 x 7 pixel font, so that the
// renderer needs no font files: lower-case letters (capitals are drawn as
// lower-case), digits and the punctuation of file names; anything else is
// drawn as a hollow box.
#pragma once

#include "toolkit/Graphics.h"

#include <string_view>

namespace velmia::render {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = 6; // one column of space between letters

// Draws `text` with its top-left corner at (x, y), each font pixel as a
// `scale` x `scale` square of `colour`; pixels outside the bitmap are skipped.
// Returns the x just after the last letter.
int DrawLabel(vcl::TBitmap& target, int x, int y, std::string_view text, vcl::TColor colour, int scale = 1);

// Width in pixels of `text` drawn at `scale`.
int LabelWidth(std::string_view text, int scale = 1);

} // namespace velmia::render
