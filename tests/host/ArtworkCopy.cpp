// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tests/host/ArtworkCopy.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace fs = std::filesystem;

namespace velmia::test {

fs::path ArtworkDir()
{
    if (const char* env = std::getenv("VELMIA_ARTWORK_DIR"); env && *env)
        return env;
    return VELMIA_ARTWORK_DIR;
}

fs::path CopyArtwork(const fs::path& from, const std::string& prefix)
{
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error(pattern + ": " + std::strerror(errno));
    const fs::path folder = pattern;
    // The run folder also holds the wardrobe of extra parts, which the build
    // gathers in parts-extra beside it; the tests count on the default set.
    const fs::path base = from.has_filename() ? from : from.parent_path();
    const fs::path extras = base.parent_path() / "parts-extra";
    for (const auto& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        std::error_code ec;
        if (name.rfind("vlm_", 0) == 0 && entry.path().extension() == ".bmp" && !fs::exists(extras / name, ec))
            fs::copy_file(entry.path(), folder / name);
    }
    return folder;
}

} // namespace velmia::test
