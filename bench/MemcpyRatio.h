// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A benchmark main that also prints each result as a multiple of the run's
// memcpy benchmark (the one whose name starts with "BM_Memcpy"), by CPU time
// of this process, which other programs on a busy machine change far less
// than wall time. Aggregates print their median only.
#pragma once

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace velmia::bench {

class MemcpyRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const bool aggregate = r.run_type == Run::RT_Aggregate;
            if (aggregate && r.aggregate_name != "median")
                continue;
            if (!aggregate && r.repetitions > 1)
                continue;
            std::string name = r.run_name.function_name;
            if (!r.run_name.args.empty())
                name += "/" + r.run_name.args;
            const double perIteration = r.GetAdjustedCPUTime() * Scale(r.time_unit);
            results_.emplace_back(name, perIteration);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        double memcpyNs = 0;
        for (const auto& [name, ns] : results_)
            if (name.rfind("BM_Memcpy", 0) == 0)
                memcpyNs = ns;
        if (memcpyNs <= 0)
            return;
        std::printf("\nCPU time per iteration, as a multiple of the memcpy in this run (%.1f us):\n", memcpyNs / 1e3);
        for (const auto& [name, ns] : results_)
            std::printf("  %-44s %10.1f us  %7.2f x memcpy\n", name.c_str(), ns / 1e3, ns / memcpyNs);
    }

private:
    static double Scale(benchmark::TimeUnit u)
    {
        switch (u) {
        case benchmark::kNanosecond:
            return 1;
        case benchmark::kMicrosecond:
            return 1e3;
        case benchmark::kMillisecond:
            return 1e6;
        default:
            return 1e9;
        }
    }
    std::vector<std::pair<std::string, double>> results_;
};

inline int RunWithMemcpyRatios(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MemcpyRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace velmia::bench
