// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"

#include "commands/KeyHelp.h"

#include <string_view>

#ifndef VELMIA_VERSION
#define VELMIA_VERSION "unknown"
#endif

namespace velmia::shell {

std::string Version()
{
    return VELMIA_VERSION;
}

std::string Usage()
{
    return "usage: velmia [--help | --version]\n";
}

std::string HelpText()
{
    return Usage() +
           "\nA living dress-up portrait. Without arguments it opens the portrait window; it reads its pictures\n"
           "from the current folder, or from ~/.local/share/velmia (filled with the default pictures on first\n"
           "use) when the current folder holds none of them.\n\n"
           "  --help     print this help and exit\n"
           "  --version  print the version and exit\n\n" +
           keyhelp::PlainText();
}

int HandleCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    if (argc <= 1)
        return -1;
    const std::string_view arg = argv[1];
    if (argc == 2 && (arg == "--help" || arg == "-h")) {
        out << HelpText();
        return 0;
    }
    if (argc == 2 && arg == "--version") {
        out << "velmia " << Version() << "\n";
        return 0;
    }
    // The first argument that is not understood is the one named.
    std::string_view bad = arg;
    if (arg == "--help" || arg == "-h" || arg == "--version")
        bad = argv[2];
    err << "velmia: unknown argument '" << bad << "'\n" << Usage();
    return 2;
}

} // namespace velmia::shell
