// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The program's arguments: none runs the portrait; --look FILE runs it wearing
// a saved look; --watch runs it reloading the part files she wears when they
// change on disk (for part authors); --help prints the usage and every key,
// mouse action and view; --version prints the version; Qt's standard options
// (-platform, -style, -display, ...) are left to Qt; anything else is an error.
#pragma once

#include <ostream>
#include <string>

namespace velmia::shell {

std::string Version();
std::string Usage();
std::string HelpText();

// How the program runs.
struct RunOptions {
    bool watchPartFiles = false; // --watch
    std::string look;            // --look FILE
};

// Handles the arguments before any window exists, passing over Qt's standard
// options (QApplication takes them later). Returns -1 when the program should
// run (as `options` says, when given), else the exit status (0 after --help
// and --version, 2 after an error: one line naming the argument, then the
// usage, on `err`).
int HandleCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                      RunOptions* options = nullptr);

} // namespace velmia::shell
