// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The user's language for every program of the package: the catalogues
// installed beside the program (games/velmia -> share/locale), or, for a
// program that runs from the build tree, the ones the build wrote.
#pragma once

#include <filesystem>

namespace velmia::shell {

// Where the catalogues for the program at `executable` lie.
std::filesystem::path LocaleFolder(const std::filesystem::path& executable);

// Sets the language from the environment and reads the catalogues for the
// running program (found from /proc/self/exe, else `argv0`).
void StartTranslations(const char* argv0);

} // namespace velmia::shell
