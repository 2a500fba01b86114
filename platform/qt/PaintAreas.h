// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The rectangles handed to the window system for one update. Each one costs
// a request to the display and a separate conversion into the backing store,
// so rectangles close together are painted as one where the extra pixels
// cost less than the extra request.
#pragma once

#include "toolkit/Types.h"

#include <cstdint>
#include <vector>

namespace velmia::qt {

// What one more rectangle costs, counted in pixels painted.
constexpr int64_t kPaintRectCost = 4096;

// Covers every pixel of `rects` (empty ones are dropped) with rectangles
// where two merged rectangles never paint more than `rectCost` pixels beyond
// the two apart.
std::vector<vcl::TRect> PaintAreas(std::vector<vcl::TRect> rects, int64_t rectCost = kPaintRectCost);

} // namespace velmia::qt
