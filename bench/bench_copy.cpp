// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Costs of the composer's rectangle copies against a plain memory copy of the
// same bytes: the masked copy (erase with an 8-bit black-and-white mask, then
// invert with the picture) over an 800 x 300 picture, in one pass and, for
// comparison, as two passes; a 75 x 75 tile stretched to 800 x 300; a whole
// 800 x 300 picture copied onto another; one XOR-ed onto another (what a copy
// that reads its target costs at least); and memcpy of 800 * 300 * 3 bytes.
#include "bench/MemcpyRatio.h"
#include "toolkit/Graphics.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

using namespace vcl;

namespace {

constexpr int W = 800, H = 300;

TPalette BlackWhite()
{
    TLogPalette lp;
    lp.palNumEntries = 2;
    lp.palPalEntry[1] = TPaletteEntry{255, 255, 255, 0};
    return CreatePalette(lp);
}

void Pattern(TBitmap& b, int salt)
{
    for (int y = 0; y < b.GetHeight(); ++y) {
        uint8_t* row = b.ScanLine(y);
        for (size_t i = 0; i < b.RowBytes(); ++i)
            row[i] = uint8_t(i * 7 + size_t(y) * 13 + size_t(salt));
    }
}

// state.range(0): 1 uses the best row loops the processor allows, 0 only the
// portable ones. state.range(1): 1 reads the target between the two copies,
// which makes them run as two passes.
void BM_MaskedCopy800x300(benchmark::State& state)
{
    SetCopyPaths(state.range(0) ? TCopyPaths::Best : TCopyPaths::Portable);
    const bool twoPasses = state.range(1) != 0;
    TBitmap target(W, H), picture(W, H), mask(W, H, pf8bit);
    mask.SetPalette(BlackWhite());
    Pattern(target, 1);
    Pattern(picture, 2);
    for (int y = 0; y < H; ++y) {
        uint8_t* row = mask.ScanLine(y);
        for (int x = 0; x < W; ++x)
            row[x] = uint8_t(((x / 40) + (y / 30)) & 1); // blocks of transparent and opaque
    }
    TCanvas* c = target.GetCanvas();
    const TRect r = Rect(0, 0, W, H);
    for (auto _ : state) {
        c->CopyMode = SRCERASE;
        c->CopyRect(r, mask.GetCanvas(), r);
        if (twoPasses)
            benchmark::DoNotOptimize(target.ScanLineRO(0));
        c->CopyMode = SRCINVERT;
        c->CopyRect(r, picture.GetCanvas(), r);
        benchmark::DoNotOptimize(target.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * W * H * 3);
    SetCopyPaths(TCopyPaths::Best);
}
BENCHMARK(BM_MaskedCopy800x300)->Args({1, 0})->Args({1, 1})->Args({0, 0})->Args({0, 1});

void BM_Stretch75To800x300(benchmark::State& state)
{
    TBitmap tile(75, 75), target(W, H);
    Pattern(tile, 3);
    TCanvas* c = target.GetCanvas();
    for (auto _ : state) {
        c->CopyRect(Rect(0, 0, W, H), tile.GetCanvas(), Rect(0, 0, 75, 75));
        benchmark::DoNotOptimize(target.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * W * H * 3);
}
BENCHMARK(BM_Stretch75To800x300);

// A whole 800 x 300 picture onto another of the same size and format (the
// body-frame switch), then one pixel written into the copy.
void BM_WholeCopy800x300(benchmark::State& state)
{
    TBitmap from(W, H), to(W, H);
    Pattern(from, 4);
    TCanvas* c = to.GetCanvas();
    const TRect r = Rect(0, 0, W, H);
    for (auto _ : state) {
        c->CopyRect(r, from.GetCanvas(), r);
        benchmark::DoNotOptimize(to.ScanLineRO(0));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * W * H * 3);
}
BENCHMARK(BM_WholeCopy800x300);

// The least any copy that reads its target costs: a 24-bit picture XOR-ed
// onto another (read both, write one), the masked copy without its mask.
void BM_Invert800x300(benchmark::State& state)
{
    TBitmap from(W, H), to(W, H);
    Pattern(from, 5);
    Pattern(to, 6);
    TCanvas* c = to.GetCanvas();
    c->CopyMode = SRCINVERT;
    const TRect r = Rect(0, 0, W, H);
    for (auto _ : state) {
        c->CopyRect(r, from.GetCanvas(), r);
        benchmark::DoNotOptimize(to.ScanLineRO(0));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * W * H * 3);
}
BENCHMARK(BM_Invert800x300);

void BM_Memcpy800x300x3(benchmark::State& state)
{
    std::vector<uint8_t> from(size_t(W) * H * 3, 7), to(size_t(W) * H * 3);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * W * H * 3);
}
BENCHMARK(BM_Memcpy800x300x3);

} // namespace

int main(int argc, char** argv)
{
    return velmia::bench::RunWithMemcpyRatios(argc, argv);
}
