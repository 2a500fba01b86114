// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Cost of starting the portrait over the default pictures: constructing the
// form (components and embedded pictures) and running FormCreate (placement,
// loads, masks, first composition) with the time of each of its steps, and
// the memory the started form holds; each next to a memcpy of one 800 x 300
// x 3-byte picture in the same run.
#include "bench/MemcpyRatio.h"
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tests/host/ArtworkCopy.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Resident set size of this process in KiB.
long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// Runs the benchmarks inside a copy of the default pictures.
bool EnterArtworkCopy()
{
    static bool entered = false;
    if (entered)
        return true;
    const fs::path art = velmia::test::ArtworkDir();
    if (!fs::exists(art / "vlm_co.bmp"))
        return false;
    fs::current_path(velmia::test::CopyArtwork(art, "velmia-bench"));
    std::atexit([] {
        const fs::path here = fs::current_path();
        fs::current_path(fs::temp_directory_path());
        std::error_code ec;
        fs::remove_all(here, ec);
    });
    entered = true;
    return true;
}

// FormCreate's steps in the last run of BM_FormCreate: each name and its
// time in every iteration.
std::vector<std::pair<std::string, std::vector<double>>> g_steps;

void PrintSteps()
{
    if (g_steps.empty())
        return;
    std::printf("\nFormCreate by step, median of %zu runs (wall time):\n", g_steps[0].second.size());
    for (auto& [name, times] : g_steps) {
        std::nth_element(times.begin(), times.begin() + std::ptrdiff_t(times.size() / 2), times.end());
        std::printf("  %-28s %9.1f us\n", name.c_str(), times[times.size() / 2]);
    }
}

void BM_ConstructForm(benchmark::State& state)
{
    velmia::headless::HeadlessHost host;
    for (auto _ : state) {
        auto form = std::make_unique<TSvelmia>();
        benchmark::DoNotOptimize(form.get());
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ConstructForm)->Unit(benchmark::kMillisecond);

void BM_FormCreate(benchmark::State& state)
{
    if (!EnterArtworkCopy()) {
        state.SkipWithError("default artwork not built");
        return;
    }
    long before = 0, after = 0;
    auto& steps = g_steps;
    steps.clear();
    for (auto _ : state) {
        state.PauseTiming();
        velmia::headless::HeadlessHost host;
        auto* form = new TSvelmia();
        before = ResidentKiB();
        state.ResumeTiming();
        form->DoCreate();
        state.PauseTiming();
        after = ResidentKiB();
        for (size_t i = 0; i < form->StartupSteps.size(); ++i) {
            if (steps.size() <= i)
                steps.emplace_back(form->StartupSteps[i].name, std::vector<double>{});
            steps[i].second.push_back(form->StartupSteps[i].microseconds);
        }
        vcl::TCloseAction action = vcl::TCloseAction::caFree;
        form->FormClose(form, action);
        delete form;
        state.ResumeTiming();
    }
    state.counters["form_create_rss_KiB"] = double(after - before);
}
BENCHMARK(BM_FormCreate)->Unit(benchmark::kMillisecond);

// Memory of one started form, from an empty process state.
void BM_StartedFormResident(benchmark::State& state)
{
    if (!EnterArtworkCopy()) {
        state.SkipWithError("default artwork not built");
        return;
    }
    long base = 0, started = 0;
    for (auto _ : state) {
        base = ResidentKiB();
        velmia::headless::HeadlessHost host;
        TSvelmia* form = host.CreateForm<TSvelmia>();
        benchmark::DoNotOptimize(form);
        started = ResidentKiB();
    }
    state.counters["started_form_rss_KiB"] = double(started - base);
    state.counters["process_rss_KiB"] = double(started);
}
BENCHMARK(BM_StartedFormResident)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Memcpy800x300x3(benchmark::State& state)
{
    std::vector<uint8_t> from(size_t(800) * 300 * 3, 7), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy800x300x3);

// The first FormCreate of the process, as the program runs it: every page it
// writes is new to the process (the benchmark's later runs reuse freed ones).
void TimeFirstFormCreate()
{
    if (!EnterArtworkCopy())
        return;
    velmia::headless::HeadlessHost host;
    auto* form = new TSvelmia();
    const auto start = std::chrono::steady_clock::now();
    form->DoCreate();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("First FormCreate of this process: %.1f ms (wall time); its longest steps:\n", ms);
    std::vector<TSvelmia::StartupStep> steps = form->StartupSteps;
    std::sort(steps.begin(), steps.end(), [](const auto& a, const auto& b) { return a.microseconds > b.microseconds; });
    for (size_t i = 0; i < steps.size() && i < 6; ++i)
        std::printf("  %-28s %9.1f us\n", steps[i].name, steps[i].microseconds);
    vcl::TCloseAction action = vcl::TCloseAction::caFree;
    form->FormClose(form, action);
    delete form;
}

} // namespace

int main(int argc, char** argv)
{
    TimeFirstFormCreate();
    const int status = velmia::bench::RunWithMemcpyRatios(argc, argv);
    PrintSteps();
    return status;
}
