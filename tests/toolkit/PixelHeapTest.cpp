// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "toolkit/PixelHeap.h"

#include "toolkit/Graphics.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace vcl;

namespace {

struct Block {
    uint8_t* p;
    size_t bytes;
    uint8_t tag;
};

void Fill(const Block& b)
{
    std::memset(b.p, b.tag, b.bytes);
}

bool Intact(const Block& b)
{
    return std::all_of(b.p, b.p + b.bytes, [&](uint8_t v) { return v == b.tag; });
}

} // namespace

// Buffers of picture sizes made and freed in a random order, with the free
// pages given back twice on the way: no two live buffers overlap, none is
// disturbed by the others, and freed space is used again.
TEST(PixelHeap, LiveBuffersKeepTheirBytesWhileOthersComeAndGo)
{
    std::mt19937 random(11);
    const size_t sizes[] = {100, 70000, 240000, 720000, 800 * 450 * 3, 1653120, 3 * 1024 * 1024 + 5};
    std::vector<Block> live;
    [[maybe_unused]] const size_t reservedAtStart = PixelHeapReserved(); // unused under ASan
    for (int step = 0; step < 400; ++step) {
        if (!live.empty() && (random() % 3 == 0 || live.size() > 30)) {
            const size_t i = random() % live.size();
            ASSERT_TRUE(Intact(live[i])) << "step " << step;
            FreePixels(live[i].p, live[i].bytes);
            live.erase(live.begin() + std::ptrdiff_t(i));
        } else {
            const size_t bytes = sizes[random() % std::size(sizes)];
            Block b{static_cast<uint8_t*>(AllocatePixels(bytes)), bytes, uint8_t(1 + step % 250)};
            ASSERT_NE(b.p, nullptr);
            for (const Block& other : live)
                ASSERT_TRUE(b.p + b.bytes <= other.p || other.p + other.bytes <= b.p) << "step " << step;
            Fill(b);
            live.push_back(b);
        }
        if (step == 150 || step == 300)
            ReleaseFreePixelPages();
    }
    for (const Block& b : live) {
        EXPECT_TRUE(Intact(b));
        FreePixels(b.p, b.bytes);
    }
#if !defined(__SANITIZE_ADDRESS__)
    // At most 30 buffers of at most 3 MiB were ever live at once: reuse keeps
    // the address space within one area or two.
    EXPECT_LE(PixelHeapReserved() - reservedAtStart, size_t(128) << 20);
#endif
}

// A bitmap's pixels do not depend on where its buffer came from: one drawn
// after the heap gave back its free pages equals one drawn before.
TEST(PixelHeap, PicturesDrawnAfterReleaseAreTheSame)
{
    auto draw = [] {
        TBitmap b(800, 300, pf24bit);
        b.GetCanvas()->Brush.Color = RGB(10, 200, 30);
        b.GetCanvas()->FillRect(Rect(5, 7, 790, 290));
        b.SetPixelColor(3, 3, RGB(1, 2, 3));
        return std::vector<uint8_t>(b.ScanLineRO(0), b.ScanLineRO(0) + b.RowBytes() * 300);
    };
    const std::vector<uint8_t> before = draw();
    ReleaseFreePixelPages();
    EXPECT_EQ(draw(), before);
}
