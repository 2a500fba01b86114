// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"

#include "commands/KeyHelp.h"
#include "toolkit/Intl.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#ifndef VELMIA_VERSION
#define VELMIA_VERSION "unknown"
#endif

namespace velmia::shell {

namespace {

// Qt's standard options, which QApplication takes out of the arguments when
// the window system starts (QGuiApplication's, QApplication's and the X11
// platform's): the name and whether the next argument is its value. Qt takes
// each with two leading dashes too, and the ones marked also as -name=value.
struct QtOption {
    std::string_view name;
    bool takesValue;
    bool joinedValue; // -name=value
};
constexpr std::array<QtOption, 23> kQtOptions = {{
    {"-platform", true, false},
    {"-platformpluginpath", true, false},
    {"-platformtheme", true, false},
    {"-plugin", true, false},
    {"-qwindowgeometry", true, false},
    {"-qwindowicon", true, false},
    {"-qwindowtitle", true, false},
    {"-session", true, false},
    {"-style", true, true},
    {"-stylesheet", true, true},
    {"-qmljsdebugger", true, true},
    {"-reverse", false, false},
    {"-widgetcount", false, false},
    {"-testability", false, false},
    // X11 only (on other window systems Qt leaves them unused)
    {"-display", true, false},
    {"-geometry", true, false},
    {"-title", true, false},
    {"-icon", true, false},
    {"-name", true, false},
    {"-visual", true, false},
    {"-sync", false, false},
    {"-nograb", false, false},
    {"-dograb", false, false},
}};

// The Qt option `arg` is, if any (with a value joined by '=' when `joined`).
const QtOption* FindQtOption(std::string_view arg, bool& joined)
{
    if (arg.starts_with("--"))
        arg.remove_prefix(1);
    for (const QtOption& option : kQtOptions) {
        if (arg == option.name) {
            joined = false;
            return &option;
        }
        if (option.joinedValue && arg.size() > option.name.size() && arg.starts_with(option.name) &&
            arg[option.name.size()] == '=') {
            joined = true;
            return &option;
        }
    }
    return nullptr;
}

} // namespace

std::string Version()
{
    return VELMIA_VERSION;
}

std::string Usage()
{
    return std::string(_("usage: velmia [--watch] [--look FILE | --help | --version]")) + "\n";
}

std::string HelpText()
{
    return Usage() + "\n" +
           _("A living dress-up portrait. Without arguments it opens the portrait window; it reads its pictures\n"
             "from the current folder, or from ~/.local/share/velmia (filled with the default pictures on first\n"
             "use) when the current folder holds none of them.\n") +
           "\n" +
           _("  --watch    reload a part file she wears within a second of it changing on disk (for part\n"
             "             authors); a file that can no longer be used keeps the old picture and says why\n") +
           _("  --look FILE\n"
             "             start wearing the look saved in FILE (Ctrl+S saves one)\n") +
           _("  --help     print this help and exit\n"
             "  --version  print the version and exit\n"
             "Qt's standard options (-platform, -style, -display, ...) are left to Qt.\n") +
           "\n" + keyhelp::PlainText();
}

int HandleCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err, RunOptions* options)
{
    // Qt's own options are Qt's (QApplication removes them before the window
    // opens); what is left must be ours.
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        bool joined = false;
        if (const QtOption* option = FindQtOption(arg, joined)) {
            if (option->takesValue && !joined && ++i >= argc) {
                err << "velmia: " << vcl::Format(_("the Qt option '%s' needs a value"), arg) << "\n" << Usage();
                return 2;
            }
            continue;
        }
        args.push_back(arg);
    }
    // --watch, once, goes with any of the rest.
    if (const auto watch = std::find(args.begin(), args.end(), "--watch"); watch != args.end()) {
        args.erase(watch);
        if (options)
            options->watchPartFiles = true;
    }
    if (args.empty())
        return -1;
    const std::string_view arg = args[0];
    if (arg == "--look" && args.size() <= 2) {
        if (args.size() < 2 || args[1].empty()) {
            err << "velmia: " << _("--look needs a look file") << "\n" << Usage();
            return 2;
        }
        if (options)
            options->look = std::string(args[1]);
        return -1;
    }
    if (args.size() == 1 && (arg == "--help" || arg == "-h")) {
        out << HelpText();
        return 0;
    }
    if (args.size() == 1 && arg == "--version") {
        out << "velmia " << Version() << "\n";
        return 0;
    }
    // The first argument that is not understood is the one named.
    std::string_view bad = arg;
    if (arg == "--help" || arg == "-h" || arg == "--version")
        bad = args[1];
    else if (arg == "--look")
        bad = args[2]; // a look and more
    err << "velmia: " << vcl::Format(_("unknown argument '%s'"), bad) << "\n" << Usage();
    return 2;
}

} // namespace velmia::shell
