// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The default pictures for tests and benchmarks: where the build put them, and
// a private copy to run the program in.
#pragma once

#include <filesystem>
#include <string>

namespace velmia::test {

// The folder with the default pictures: VELMIA_ARTWORK_DIR from the
// environment when set, else the build's run folder.
std::filesystem::path ArtworkDir();

// Makes a new temporary folder named "<prefix>-XXXXXX" and copies every
// vlm_*.bmp of `from` into it. Throws std::runtime_error or
// std::filesystem::filesystem_error on failure.
std::filesystem::path CopyArtwork(const std::filesystem::path& from, const std::string& prefix);

} // namespace velmia::test
