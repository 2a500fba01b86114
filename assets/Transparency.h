// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Transparency of picture files. Pure white (255,255,255) is the one
// transparent colour of every part picture; a file that carries an alpha
// channel in use (as GIMP and ImageMagick write a picture with a transparent
// background) is laid over white when it is read, so its transparent pixels
// become that white. The program, velmia-render (which runs the program) and
// the part checker all read part files through this.
#pragma once

#include "toolkit/Graphics.h"

#include <cstdint>

namespace velmia::assets {

// A pixel at least this opaque keeps its colour (laid over white); a less
// opaque one is transparent.
inline constexpr uint8_t kHalfOpaque = 128;

// What laying a picture over white found.
struct AlphaFindings {
    int64_t transparent = 0; // less than half opaque: now pure white
    int64_t partly = 0;      // half opaque or more but not opaque: laid over white
};

// Lays a picture with alpha (TBitmap::HasAlpha) over white: a pixel less than
// half opaque becomes pure white, every other one keeps its colour laid over
// white by its opacity (an opaque one stays as it is). A pixel that was not
// pure white never becomes pure white. The picture keeps its size and format
// and has no alpha afterwards. A picture without alpha is left alone.
AlphaFindings LayOverWhite(vcl::TBitmap& picture);

} // namespace velmia::assets
