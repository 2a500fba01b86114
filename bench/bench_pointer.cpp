// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Cost of the pointer subsystem: opening the part browser over 200 costume
// files, drawing the close-up at 140 % and 200 %, and the portrait's ticks
// in the night scene while the shooting star falls (the share of one core
// they take at ten ticks a second is tick time / 100 ms). Runs headless over
// the default artwork (VELMIA_ARTWORK_DIR, or the build's run folder).
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tests/host/ArtworkCopy.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Portrait {
    velmia::headless::HeadlessHost host;
    TSvelmia* form = nullptr;
};

// One started portrait for the whole run, in a temporary copy of the artwork
// with 200 more costume files.
Portrait* ThePortrait()
{
    static std::unique_ptr<Portrait> portrait = [] {
        auto p = std::make_unique<Portrait>();
        try {
            const fs::path folder = velmia::test::CopyArtwork(velmia::test::ArtworkDir(), "velmia-bench");
            for (int i = 0; i < 200; ++i)
                fs::copy_file(folder / "vlm_co.bmp", folder / ("vlm_co" + std::to_string(1000 + i) + ".bmp"));
            fs::current_path(folder);
            p->form = p->host.CreateForm<TSvelmia>();
        } catch (const std::exception& e) {
            std::cerr << "bench_pointer: start-up failed: " << e.what() << "\n";
            return std::unique_ptr<Portrait>();
        }
        p->host.FireTimer(p->form->Timer1);
        return p;
    }();
    return portrait.get();
}

// F2 to the thumbnails on screen, then the right button to leave.
void BM_OpenCostumeBrowser200(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    for (auto _ : state) {
        p->host.PressKey(vcl::VK_F2);
        state.PauseTiming();
        if (!p->form->State().BrowserOpen)
            state.SkipWithError("the browser did not open");
        p->host.RightPress(400, 300);
        state.ResumeTiming();
    }
}

void BM_DrawCloseUp(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    PortraitState& s = p->form->MutableState();
    if (!s.CloseUpMode)
        p->host.PressKey(vcl::VK_PRIOR);
    s.ZoomPercent = int(state.range(0));
    for (auto _ : state)
        p->form->DrawCloseUp();
    p->host.PressKey(vcl::VK_HOME);
    p->host.FireTimer(p->form->Timer1);
}

// Timer1 events of the night scene (pan 200, eyes closed) while the shooting
// star moves, the window picture brought up to date after each.
void BM_NightTickWithShootingStar(benchmark::State& state)
{
    Portrait* p = ThePortrait();
    if (!p) {
        state.SkipWithError("no artwork");
        return;
    }
    PortraitState& s = p->form->MutableState();
    s.PanX = 200;
    p->form->ApplyPan();
    s.EyesClosed = true;
    s.SceneIndex = 7;
    s.PortraitComposed = false;
    p->form->RequestRedraw();
    p->host.FireTimer(p->form->Timer1);
    if (!s.ShootingStarActive) {
        state.SkipWithError("no shooting star");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        s.ShootingStarActive = true;
        s.StarX = 290 - 7 * 20;
        s.StarY = 10 + 7 * 20;
        s.CycleCounter = 60;
        state.ResumeTiming();
        p->host.FireTimer(p->form->Timer1);
    }
}

} // namespace

BENCHMARK(BM_OpenCostumeBrowser200)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawCloseUp)
    ->Arg(140)
    ->Arg(200)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NightTickWithShootingStar)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
