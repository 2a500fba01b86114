// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// velmia-soak: a day of use in minutes. Drives the program's form with seeded
// random input on the headless platform and checks it after every event.
//
//   velmia-soak --seed N --ticks T [--folder DIR] [--events-per-tick R]
//   velmia-soak --replay FILE
//   velmia-soak --shrink FILE    (writes FILE.min: the shortest part that still fails)
#include "tools/soak/Driver.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

int Usage()
{
    std::cerr << "usage: velmia-soak --seed N --ticks T [--folder DIR] [--events-per-tick R]\n"
                 "                   [--check-every TICKS] [--form-ticks TICKS] [--step-limit SECONDS]\n"
                 "                   [--keep-going] [--batched-twin] [--burst-twin] [--skip NAME]... [--out DIR]\n"
                 "       velmia-soak --replay FILE [--folder DIR] [--skip NAME]...\n"
                 "       velmia-soak --shrink FILE [--folder DIR] [--skip NAME]...\n"
                 "DIR holds the default pictures (vlm_*.bmp); the driver runs in its own copy.\n"
                 "--batched-twin runs a second form beside the first whose Timer1 sleeps through the\n"
                 "ticks that only count, and compares the two after every event.\n"
                 "--burst-twin gives a second form the events the first one gets one per tick as\n"
                 "bursts within one tick, and compares the two after every burst and every tick\n"
                 "(a failure's replay holds the events one per tick).\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    velmia::soak::Options options;
    if (const char* env = std::getenv("VELMIA_ARTWORK_DIR"); env && *env)
        options.artwork = env;
    else
        options.artwork = VELMIA_SOAK_ARTWORK;
    std::string replay, shrink;
    bool haveSeed = false, haveTicks = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (arg == "--keep-going") {
            options.keepGoing = true;
            continue;
        }
        if (arg == "--batched-twin") {
            options.batchedTwin = true;
            continue;
        }
        if (arg == "--burst-twin") {
            options.burstTwin = true;
            continue;
        }
        if (!(v = value()))
            return Usage();
        char* end = nullptr;
        if (arg == "--seed") {
            options.seed = std::strtoull(v, &end, 0);
            haveSeed = true;
        } else if (arg == "--ticks") {
            options.ticks = std::strtol(v, &end, 0);
            haveTicks = true;
        } else if (arg == "--events-per-tick") {
            options.eventsPerTick = std::strtod(v, &end);
        } else if (arg == "--check-every") {
            options.checkEvery = std::strtol(v, &end, 0);
        } else if (arg == "--form-ticks") {
            options.formTicks = std::strtol(v, &end, 0);
        } else if (arg == "--step-limit") {
            options.stepLimitSeconds = std::strtod(v, &end);
        } else if (arg == "--folder") {
            options.artwork = v;
        } else if (arg == "--out") {
            options.outDir = v;
        } else if (arg == "--skip") {
            options.skipped.insert(v);
        } else if (arg == "--replay") {
            replay = v;
        } else if (arg == "--shrink") {
            shrink = v;
        } else {
            return Usage();
        }
        if (end && *end != '\0')
            return Usage();
    }
    // The driver runs in its own folder: make the given paths absolute first.
    namespace fs = std::filesystem;
    if (!replay.empty())
        replay = fs::absolute(replay).string();
    if (!shrink.empty())
        shrink = fs::absolute(shrink).string();
    if (!options.outDir.empty())
        options.outDir = fs::absolute(options.outDir);
    options.artwork = fs::absolute(options.artwork);
    if (!shrink.empty()) {
        try {
            std::string failure;
            std::vector<velmia::soak::Event> events = velmia::soak::ReadReplay(shrink, &failure);
            if (failure.empty()) {
                std::cerr << "velmia-soak: " << shrink << " records no failure\n";
                return 2;
            }
            const size_t before = events.size();
            events = velmia::soak::Shrink(options, std::move(events), failure);
            velmia::soak::WriteReplay(shrink + ".min", events, "# failure: " + failure + ":\n");
            std::cout << failure << ": " << before << " events shrunk to " << events.size() << " in " << shrink
                      << ".min\n";
            return 0;
        } catch (const std::exception& e) {
            std::cerr << "velmia-soak: " << e.what() << "\n";
            return 2;
        }
    }
    if (replay.empty() && !(haveSeed && haveTicks))
        return Usage();
    if (options.eventsPerTick < 0 || options.ticks < 0)
        return Usage();
    try {
        velmia::soak::Driver driver(options);
        return replay.empty() ? driver.Run() : driver.Replay(replay);
    } catch (const std::exception& e) {
        std::cerr << "velmia-soak: " << e.what() << "\n";
        return 2;
    }
}
