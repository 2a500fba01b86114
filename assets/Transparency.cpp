// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "assets/Transparency.h"

namespace velmia::assets {

namespace {

// One channel over white at opacity `alpha` (128..254), rounded; a channel
// below 255 stays below 255, since (255 - c) * alpha is at least 128.
uint8_t OverWhite(uint8_t c, uint8_t alpha)
{
    return uint8_t(255 - ((255 - c) * alpha + 127) / 255);
}

} // namespace

AlphaFindings LayOverWhite(vcl::TBitmap& picture)
{
    AlphaFindings found;
    if (!picture.HasAlpha())
        return found;
    for (int32_t y = 0; y < picture.GetHeight(); ++y) {
        uint8_t* p = picture.ScanLine(y);
        for (int32_t x = 0; x < picture.GetWidth(); ++x, p += 4) {
            const uint8_t alpha = p[3];
            if (alpha == 255)
                continue;
            if (alpha < kHalfOpaque) {
                p[0] = p[1] = p[2] = 255;
                ++found.transparent;
            } else {
                for (int c = 0; c < 3; ++c)
                    p[c] = OverWhite(p[c], alpha);
                ++found.partly;
            }
            p[3] = 255;
        }
    }
    picture.SetHasAlpha(false);
    return found;
}

} // namespace velmia::assets
