// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/PaintAreas.h"

#include <algorithm>

namespace velmia::qt {

using vcl::TRect;

namespace {

int64_t Area(const TRect& r)
{
    return int64_t(r.Width()) * int64_t(r.Height());
}

} // namespace

std::vector<TRect> PaintAreas(std::vector<TRect> rects, int64_t rectCost)
{
    rects.erase(std::remove_if(rects.begin(), rects.end(), [](const TRect& r) { return r.IsEmpty(); }), rects.end());
    // Merge any pair that is cheaper as one, until no pair is; each merge
    // leaves one rectangle fewer, so this ends.
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < rects.size(); ++i) {
            for (size_t j = i + 1; j < rects.size();) {
                const TRect both = UnionRect(rects[i], rects[j]);
                if (Area(both) <= Area(rects[i]) + Area(rects[j]) + rectCost) {
                    rects[i] = both;
                    rects.erase(rects.begin() + std::ptrdiff_t(j));
                    merged = true;
                } else {
                    ++j;
                }
            }
        }
    }
    return rects;
}

} // namespace velmia::qt
