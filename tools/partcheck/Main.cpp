// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// velmia-partcheck [--kind KIND] [--json] FILE...
// velmia-partcheck --help | --version
//
// Checks picture files against what the program needs of them: that it can
// read them, their size for their kind, and the drawing rules of the kind
// (transparent white, cells, bands, flat skies, pure black strings). Prints
//   NAME: ok
// or
//   NAME: N problems
//     error: RULE: what was found and where
//     warning: RULE: ...
// for each file, or the same as JSON with --json. Exit status: 0 when no file
// has an error, 1 when one has, 2 on a usage error.
#include "shell/Translations.h"
#include "toolkit/Intl.h"
#include "tools/partcheck/PartRules.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef VELMIA_VERSION
#define VELMIA_VERSION "unknown"
#endif

using namespace velmia::partcheck;

namespace {

// The usage on standard error after a usage error (`why`), on standard
// output when asked for with --help.
int Usage(const char* why)
{
    if (why)
        std::fprintf(stderr, "velmia-partcheck: %s\n", why);
    std::fputs(vcl::Format(_("usage: velmia-partcheck [--kind KIND] [--json] FILE...\n"
                             "       velmia-partcheck --help | --version\n"
                             "  --kind KIND  check every FILE as KIND instead of by its name; KIND is one of\n"
                             "               %s\n"
                             "  --json       print the findings as JSON, one object per file\n"
                             "exit status: 0 no file has an error, 1 a file has one, 2 usage error\n"),
                           KindList())
                   .c_str(),
               why ? stderr : stdout);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    velmia::shell::StartTranslations(argv[0]);
    const Kind* kind = nullptr;
    bool json = false;
    std::vector<std::string> files;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--json") {
            json = true;
        } else if (options && (arg == "--kind" || arg.rfind("--kind=", 0) == 0)) {
            std::string id;
            if (arg == "--kind") {
                if (++i >= argc)
                    return Usage(_("--kind needs a kind"));
                id = argv[i];
            } else {
                id = arg.substr(7);
            }
            kind = KindById(id);
            if (!kind)
                return Usage(vcl::Format(_("unknown kind \"%s\""), id).c_str());
        } else if (options && (arg == "--help" || arg == "-h")) {
            Usage(nullptr);
            return 0;
        } else if (options && arg == "--version") {
            std::printf("velmia-partcheck %s\n", VELMIA_VERSION);
            return 0;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return Usage(vcl::Format(_("unknown option %s"), arg).c_str());
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty())
        return Usage(_("no file given"));

    std::vector<Report> reports;
    bool anyError = false;
    for (const std::string& file : files) {
        reports.push_back(CheckFile(file, kind));
        anyError = anyError || reports.back().HasError();
        if (!json)
            std::fputs(FormatText(reports.back()).c_str(), stdout);
    }
    if (json)
        std::fputs(FormatJson(reports).c_str(), stdout);
    return anyError ? 1 : 0;
}
