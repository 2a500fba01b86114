// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Placement.h"

#include <gtest/gtest.h>

using namespace velmia::qt;
using vcl::TBorderStyle;

TEST(PlaceMainWindow, ByScreenSize)
{
    struct Case {
        int w, h;
        TBorderStyle border;
        int left, top, captionOffset;
        std::string caption;
    } cases[] = {
        {800, 600, TBorderStyle::bsNone, 0, 0, 0, ""},
        {800, 601, TBorderStyle::bsSingle, 0, -9, 25, "VelmiaAlive"},
        {799, 600, TBorderStyle::bsNone, 0, 0, 0, ""},
        {799, 601, TBorderStyle::bsSingle, 0, -9, 25, "VelmiaAlive"},
        {640, 480, TBorderStyle::bsNone, -80, -60, 0, ""},
        {1024, 768, TBorderStyle::bsSingle, 112, 74, 25, "VelmiaAlive"},
        {1920, 1080, TBorderStyle::bsSingle, 560, 230, 25, "VelmiaAlive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const Placement p = PlaceMainWindow(c.w, c.h);
        EXPECT_EQ(p.Border, c.border);
        EXPECT_EQ(p.Left, c.left);
        EXPECT_EQ(p.Top, c.top);
        EXPECT_EQ(p.CaptionOffset, c.captionOffset);
        EXPECT_EQ(std::string(p.Caption), c.caption);
    }
}
