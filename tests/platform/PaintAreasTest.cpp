// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/PaintAreas.h"

#include <gtest/gtest.h>
#include <random>

using namespace velmia::qt;
using vcl::Rect;
using vcl::TRect;

namespace {

int64_t Area(const TRect& r)
{
    return int64_t(r.Width()) * r.Height();
}

bool Covers(const std::vector<TRect>& areas, int x, int y)
{
    for (const TRect& a : areas)
        if (a.Contains(x, y))
            return true;
    return false;
}

} // namespace

TEST(PaintAreas, MergesOnlyWhereOneRectangleCostsLess)
{
    struct Case {
        const char* what;
        std::vector<TRect> in, want;
    } cases[] = {
        {"nothing", {}, {}},
        {"empty rectangles dropped", {Rect(5, 5, 5, 9), Rect(1, 1, 3, 0)}, {}},
        {"one", {Rect(1, 2, 3, 4)}, {Rect(1, 2, 3, 4)}},
        {"scattered single pixels of a breathing frame",
         {Rect(10, 10, 11, 11), Rect(30, 12, 31, 13), Rect(25, 40, 27, 41)},
         {Rect(10, 10, 31, 41)}},
        {"far apart: two", {Rect(0, 0, 10, 10), Rect(700, 0, 710, 10)}, {Rect(0, 0, 10, 10), Rect(700, 0, 710, 10)}},
        {"two large areas side by side with a gap",
         {Rect(0, 0, 200, 200), Rect(210, 0, 400, 200)},
         {Rect(0, 0, 400, 200)}},
        {"two large areas with a wide gap",
         {Rect(0, 0, 200, 200), Rect(260, 0, 400, 200)},
         {Rect(0, 0, 200, 200), Rect(260, 0, 400, 200)}},
        {"a merge that brings a third one within reach",
         {Rect(0, 0, 60, 60), Rect(61, 0, 120, 60), Rect(0, 70, 120, 80)},
         {Rect(0, 0, 120, 80)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PaintAreas(c.in, 4096), c.want) << c.what;
}

// Random small changes over a body frame: every changed pixel is painted, no
// two areas left could merge cheaply, and no merge paid more than its cost.
TEST(PaintAreas, CoverEveryChangeAndPayAtMostTheRequestsSaved)
{
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::vector<TRect> in;
        const int n = 1 + int(random() % 60);
        for (int i = 0; i < n; ++i) {
            const int x = int(random() % 780), y = int(random() % 280);
            in.push_back(Rect(x, y, x + 1 + int(random() % 20), y + 1 + int(random() % 20)));
        }
        const std::vector<TRect> out = PaintAreas(in, 4096);
        ASSERT_LE(out.size(), in.size());
        for (const TRect& r : in)
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    ASSERT_TRUE(Covers(out, x, y)) << "round " << round << " pixel " << x << "," << y;
        int64_t painted = 0, asked = 0;
        for (const TRect& r : out)
            painted += Area(r);
        for (const TRect& r : in)
            asked += Area(r);
        EXPECT_LE(painted, asked + 4096 * int64_t(in.size() - out.size())) << "round " << round;
        for (size_t i = 0; i < out.size(); ++i)
            for (size_t j = i + 1; j < out.size(); ++j)
                EXPECT_GT(Area(UnionRect(out[i], out[j])), Area(out[i]) + Area(out[j]) + 4096) << "round " << round;
    }
}
