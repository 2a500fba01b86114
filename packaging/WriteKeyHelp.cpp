// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// velmia-keyhelp: writes the key, mouse and view tables in the form each
// document needs them, from the program's own table.
//
//   velmia-keyhelp --markdown            the README's tables, on standard output
//   velmia-keyhelp --text                the --help text
//   velmia-keyhelp --man TEMPLATE OUT VERSION DATE
//                                        the manual page: TEMPLATE with @KEY_TABLES@,
//                                        @VERSION@ and @DATE@ replaced
//
// The README's tables are English; the --help text and the manual page are in
// the language the environment asks for, from the build tree's catalogues.
#include "commands/KeyHelp.h"
#include "shell/CommandLine.h"
#include "toolkit/Intl.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

void Replace(std::string& text, const std::string& what, const std::string& with)
{
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 2 && mode == "--markdown") {
        std::cout << velmia::keyhelp::Markdown();
        return 0;
    }
    if (mode != "--markdown")
        vcl::StartTranslations(VELMIA_LOCALE_DIR);
    if (argc == 2 && mode == "--text") {
        std::cout << velmia::shell::HelpText();
        return 0;
    }
    if (argc == 6 && mode == "--man") {
        std::ifstream in(argv[2]);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) {
            std::cerr << "velmia-keyhelp: cannot read " << argv[2] << "\n";
            return 1;
        }
        std::string page = text.str();
        Replace(page, "@KEY_TABLES@\n", velmia::keyhelp::Roff());
        Replace(page, "@VERSION@", argv[4]);
        Replace(page, "@DATE@", argv[5]);
        std::ofstream out(argv[3]);
        out << page;
        if (!out) {
            std::cerr << "velmia-keyhelp: cannot write " << argv[3] << "\n";
            return 1;
        }
        return 0;
    }
    std::cerr << "usage: velmia-keyhelp --markdown | --text | --man TEMPLATE OUT VERSION DATE\n";
    return 2;
}
