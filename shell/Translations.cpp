// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "shell/Translations.h"

#include "toolkit/Intl.h"

#include <system_error>

namespace fs = std::filesystem;

namespace velmia::shell {

fs::path LocaleFolder(const fs::path& executable)
{
    // An installed program has its pictures beside it; the build tree has none there.
    std::error_code ec;
    const fs::path bin = executable.parent_path();
    if (!executable.empty() && fs::is_directory(bin / VELMIA_DATA_FROM_BIN, ec))
        return (bin / VELMIA_LOCALE_FROM_BIN).lexically_normal();
    return VELMIA_BUILD_LOCALE_DIR;
}

void StartTranslations(const char* argv0)
{
    std::error_code ec;
    fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 && *argv0)
        executable = fs::absolute(argv0, ec);
    vcl::StartTranslations(LocaleFolder(executable).string());
}

} // namespace velmia::shell
