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
    for (const auto& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("vlm_", 0) == 0 && entry.path().extension() == ".bmp")
            fs::copy_file(entry.path(), folder / name);
    }
    return folder;
}

} // namespace velmia::test
