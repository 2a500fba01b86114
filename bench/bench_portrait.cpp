// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Cost of the portrait: the full composition that runs once per cycle, a
// plain tick that runs ten times a second, and, for scale, a memcpy of one
// 800 x 300 24-bit picture, all in the same run. Runs headless over the
// default artwork (VELMIA_ARTWORK_DIR, or the build's run folder).
#include "bench/MemcpyRatio.h"
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tests/host/ArtworkCopy.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Portrait {
    velmia::headless::HeadlessHost host;
    TSvelmia* form = nullptr;
    fs::path folder;
};

// One started portrait for the whole run, in a temporary copy of the artwork.
Portrait* ThePortrait()
{
    static std::unique_ptr<Portrait> portrait = [] {
        auto p = std::make_unique<Portrait>();
        const fs::path art = velmia::test::ArtworkDir();
        try {
            p->folder = velmia::test::CopyArtwork(art, "velmia-bench");
            fs::current_path(p->folder);
            p->form = p->host.CreateForm<TSvelmia>();
        } catch (const std::exception& e) {
            std::cerr << "bench_portrait: start-up failed in " << art << ": " << e.what() << "\n";
            return std::unique_ptr<Portrait>();
        }
        return p;
    }();
    return portrait.get();
}

void BM_ComposePortrait(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    PortraitState& s = p->form->MutableState();
    for (auto _ : state) {
        s.CycleCounter = 0; // as right after a cycle end
        p->form->ComposePortrait();
    }
}

// The composition layer by layer (each as ComposePortrait runs it, scene 0).
// state.range(0) picks the layer.
void BM_ComposeLayer(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    TSvelmia& f = *p->form;
    PortraitState& s = f.MutableState();
    s.CycleCounter = 0;
    const int layer = int(state.range(0));
    static const char* const kNames[] = {"upper: scene background",
                                         "upper: base figure and hair",
                                         "upper: face",
                                         "upper: earring",
                                         "lower: three body frames",
                                         "lower: bracelet",
                                         "both halves onto the screen"};
    state.SetLabel(kNames[layer]);
    for (auto _ : state) {
        switch (layer) {
        case 0:
            f.DrawSceneBackground(0, f.SceneStrawberry_Main, {&f.MutableState().UpperBmp, 1});
            break;
        case 1:
            f.DrawBackgroundAndHair(0);
            break;
        case 2:
            f.DrawFace(0);
            break;
        case 3:
            f.DrawEarring(0);
            break;
        case 4:
            f.DrawBodyFrames(0);
            break;
        case 5:
            f.DrawBracelet(0);
            break;
        default: {
            const vcl::TRect whole = vcl::Rect(0, 0, 800, 300);
            vcl::TCanvas* screen = f.Mainpict->GetCanvas();
            screen->CopyMode = vcl::SRCCOPY;
            screen->CopyRect(whole, s.UpperBmp->GetCanvas(), whole);
            vcl::TCanvas* lower = f.mySubcanvas->GetCanvas();
            lower->CopyMode = vcl::SRCCOPY;
            lower->CopyRect(whole, s.FrameBmp[0]->GetCanvas(), whole);
            break;
        }
        }
    }
}

// A tick with nothing due: no body frame, no blink.
void BM_PortraitTickPlain(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    PortraitState& s = p->form->MutableState();
    for (auto _ : state) {
        s.CycleCounter = 10;
        p->form->PortraitTick();
    }
}

// A tick that switches the body frame (phase 5): one 800 x 300 copy.
void BM_PortraitTickBodyFrame(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    PortraitState& s = p->form->MutableState();
    for (auto _ : state) {
        s.CycleCounter = 5;
        p->form->PortraitTick();
    }
}

// The whole Timer1 event as the window sees it, with the window picture
// brought up to date afterwards.
void BM_Timer1EventPlain(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    PortraitState& s = p->form->MutableState();
    for (auto _ : state) {
        s.CycleCounter = 10;
        p->host.FireTimer(p->form->Timer1);
    }
}

// The same with a body frame switch (phases 5 and 19 in turn, so that the
// picture on screen really changes).
void BM_Timer1EventBodyFrame(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    PortraitState& s = p->form->MutableState();
    bool breatheIn = false;
    for (auto _ : state) {
        breatheIn = !breatheIn;
        s.CycleCounter = breatheIn ? 5 : 19;
        p->host.FireTimer(p->form->Timer1);
    }
}

// What one composition asks of the toolkit, replayed as the cheapest work
// that still writes every byte it writes: 0, each copy of a rectangle as a
// memcpy of its rows; 1, the same with the masked copies, which must also read
// the picture below, as one XOR pass; 2, the same again with a memcpy of the
// whole picture for each copy that only shares a picture's pixels and is
// drawn over later (that picture then needs pixels of its own). The
// composition cannot run faster than these without drawing less.
struct RecordedCopy {
    size_t picture; // index into Replay::pictures
    vcl::TRect written;
    size_t leftByte;         // offset of `written` in its rows
    size_t bytesPerPixelRow; // bytes of one row of `written`
    bool masked;
    bool shares;
    bool drawnOver = false; // a share whose picture a later copy writes
};

struct Replay {
    std::vector<const vcl::TBitmap*> seen;
    std::vector<std::vector<unsigned char>> pictures, sources;
    std::vector<size_t> strides;
    std::vector<RecordedCopy> copies;
};

Replay* gRecording = nullptr;

void XorRow(unsigned char* __restrict d, const unsigned char* __restrict s, size_t n)
{
    typedef unsigned char V16 __attribute__((vector_size(16)));
    size_t k = 0;
    for (; k + 16 <= n; k += 16) {
        V16 a, b;
        std::memcpy(&a, d + k, 16);
        std::memcpy(&b, s + k, 16);
        a ^= b;
        std::memcpy(d + k, &a, 16);
    }
    for (; k < n; ++k)
        d[k] ^= s[k];
}

void RecordCopy(const vcl::TBitmap& dst, const vcl::TRect& written, vcl::TCopyMode mode, bool shares)
{
    if (written.IsEmpty())
        return;
    Replay& r = *gRecording;
    size_t i = 0;
    while (i < r.seen.size() && r.seen[i] != &dst)
        ++i;
    if (i == r.seen.size()) {
        r.seen.push_back(&dst);
        r.strides.push_back(dst.RowBytes());
        r.pictures.emplace_back(dst.RowBytes() * size_t(dst.GetHeight()), 0x5A);
        r.sources.emplace_back(dst.RowBytes() * size_t(dst.GetHeight()), 0xA5);
    }
    const int bpp = vcl::BitsPerPixel(dst.GetPixelFormat());
    const size_t rowBytes = (size_t(written.Width()) * size_t(bpp) + 7) / 8;
    // The second half of a masked copy (SRCERASE, then SRCINVERT over the
    // same rectangle) is one pass with the first.
    if (mode == vcl::SRCINVERT && !r.copies.empty()) {
        RecordedCopy& last = r.copies.back();
        if (last.picture == i && last.written == written && last.masked)
            return;
    }
    if (!shares)
        for (RecordedCopy& c : r.copies)
            c.drawnOver = c.drawnOver || (c.shares && c.picture == i);
    const size_t leftByte = size_t(written.Left) * size_t(bpp) / 8;
    r.copies.push_back(RecordedCopy{i, written, leftByte, rowBytes, mode != vcl::SRCCOPY && !shares, shares});
}

void BM_ComposeCopiesFloor(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    Replay replay;
    gRecording = &replay;
    vcl::SetCopyObserver(RecordCopy);
    p->form->MutableState().CycleCounter = 0;
    p->form->ComposePortrait();
    vcl::SetCopyObserver(nullptr);
    gRecording = nullptr;
    static const char* const kLabels[] = {"every copy as memcpy", "masked copies as one XOR pass",
                                          "and pictures drawn over after a share made their own"};
    const int variant = int(state.range(0));
    state.SetLabel(kLabels[variant]);
    auto counts = [variant](const RecordedCopy& c) { return !c.shares || (variant == 2 && c.drawnOver); };
    for (auto _ : state) {
        for (const RecordedCopy& c : replay.copies) {
            if (!counts(c))
                continue;
            const size_t stride = replay.strides[c.picture];
            unsigned char* to = replay.pictures[c.picture].data() + c.leftByte;
            const unsigned char* from = replay.sources[c.picture].data() + c.leftByte;
            for (int32_t y = c.written.Top; y < c.written.Bottom; ++y) {
                unsigned char* __restrict d = to + size_t(y) * stride;
                const unsigned char* __restrict s = from + size_t(y) * stride;
                if (variant >= 1 && c.masked)
                    XorRow(d, s, c.bytesPerPixelRow);
                else
                    std::memcpy(d, s, c.bytesPerPixelRow);
            }
        }
        benchmark::ClobberMemory();
    }
    size_t bytes = 0, copies = 0;
    for (const RecordedCopy& c : replay.copies) {
        if (!counts(c))
            continue;
        bytes += c.bytesPerPixelRow * size_t(c.written.Height());
        ++copies;
    }
    state.counters["copies"] = double(copies);
    state.counters["MB"] = double(bytes) / 1e6;
}

void BM_Memcpy800x300x3(benchmark::State& state)
{
    std::vector<unsigned char> from(800 * 300 * 3, 0x5A), to(800 * 300 * 3);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_ComposePortrait)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ComposeCopiesFloor)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ComposeLayer)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PortraitTickPlain)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PortraitTickBodyFrame)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Timer1EventPlain)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Timer1EventBodyFrame)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Memcpy800x300x3)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return velmia::bench::RunWithMemcpyRatios(argc, argv);
}
