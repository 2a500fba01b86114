// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A generator of BMP sample files, well-formed and hostile, made in memory
// so that the reader's tests need nothing outside the build: every header
// version, bit depth and compression the reader takes, and files that are
// cut short, overflow, lie in their fields or let run-length data escape.
// Each sample says what the reader must do with it; a well-formed one also
// carries the exact pixels it holds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bmptest {

enum class Expect {
    Load,   // decodes to `width` x `height` pixels `rgb` in a `bits`-bit picture
    Refuse, // refused with a reason that contains `reason`
    Either, // damaged at random: refused with a reason, or loaded; never a crash
};

struct Sample {
    std::string name; // a relative path: good/..., bad/..., mutated/...
    std::vector<uint8_t> bytes;
    Expect expect = Expect::Load;
    int bits = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> rgb; // 0xRRGGBB, rows top-down
    std::string reason;
};

// Every sample, in a fixed order; the same bytes on every run.
const std::vector<Sample>& Samples();

// The sample called `name`; throws std::out_of_range when there is none.
const Sample& SampleNamed(const std::string& name);

// Writes every sample below `folder` (creating its subfolders); returns how
// many files were written.
size_t WriteSamples(const std::filesystem::path& folder);

} // namespace bmptest
