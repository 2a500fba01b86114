// Cost of starting the portrait over the default pictures: constructing the
// form (components and embedded pictures) and running FormCreate (placement,
// loads, masks, first composition), and the memory the started form holds.
#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tests/host/ArtworkCopy.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

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
    for (auto _ : state) {
        state.PauseTiming();
        velmia::headless::HeadlessHost host;
        auto* form = new TSvelmia();
        before = ResidentKiB();
        state.ResumeTiming();
        form->DoCreate();
        state.PauseTiming();
        after = ResidentKiB();
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

} // namespace

BENCHMARK_MAIN();
