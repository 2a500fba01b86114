// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// velmia-render: the portrait as the program draws it, without a window.
//
//   velmia-render [--folder DIR] [--part KIND=FILE]... [--look FILE] [--keys KEYS]
//                 [--save-look FILE] [--ticks N]
//                 [--view portrait|show|gray|quad|closeup] [--frame 0|1|2] -o OUT.png
//   velmia-render --sheet [--folder DIR] -o SHEET.png
//   velmia-render --help | --version
//
// Runs the program's form in DIR (default: the current folder) on the
// headless platform, loads each part file through its kind's own key command
// and open dialog, wears the look FILE, types KEYS, writes the look they made
// (--save-look), enters the view, runs N more ticks, and writes
// the 800 x 600 window picture. With --sheet: one labelled cell per part file
// of the folder, the figure wearing it. Exit status: 0 written, 1 the program
// refused a picture or the PNG could not be written (the program's message on
// standard error), 2 usage error.
#include "shell/Translations.h"
#include "toolkit/Intl.h"
#include "tools/render/Png.h"
#include "tools/render/Renderer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

#ifndef VELMIA_VERSION
#define VELMIA_VERSION "unknown"
#endif

using namespace velmia::render;
namespace fs = std::filesystem;

namespace {

// The usage: on standard output for --help, on standard error after a usage
// error, which `why` names (status 2).
void PrintUsage(FILE* to)
{
    std::fputs(_("usage: velmia-render [--folder DIR] [--part KIND=FILE]... [--look FILE] [--keys KEYS]\n"
                 "                     [--save-look FILE] [--ticks N]\n"
                 "                     [--view portrait|show|gray|quad|closeup] [--frame 0|1|2] -o OUT.png\n"
                 "       velmia-render --sheet [--folder DIR] -o SHEET.png\n"
                 "       velmia-render --help | --version\n"
                 "  KIND: costume, camisole, hairband, flower, ribbon or choker\n"
                 "  KEYS: command characters as typed; special keys in braces with C- (Ctrl) and\n"
                 "        S- (Shift): {F2} {PgUp} {PgDn} {Home} {Ins} {BS} {Left} {C-Right} {Enter}\n"
                 "  --look FILE: wear a look file (as Ctrl+O) before the keys;\n"
                 "  --save-look FILE: write the look the keys made (as Ctrl+S)\n"
                 "exit status: 0 written, 1 the program refused a picture or writing failed, 2 usage error\n"),
               to);
}

int Usage(const std::string& why)
{
    std::fprintf(stderr, "velmia-render: %s\n", why.c_str());
    PrintUsage(stderr);
    return 2;
}

bool ParseInt(const std::string& s, int low, int high, int& out)
{
    if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::stoi(s);
    return out >= low && out <= high;
}

std::string Absolute(const std::string& path)
{
    std::error_code ec;
    const fs::path p = fs::absolute(path, ec);
    return ec ? path : p.string();
}

} // namespace

int main(int argc, char** argv)
{
    velmia::shell::StartTranslations(argv[0]);
    RenderRequest request;
    std::string folder;
    std::string out;
    bool sheet = false;
    bool viewGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc)
                return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("velmia-render %s\n", VELMIA_VERSION);
            return 0;
        } else if (arg == "--sheet") {
            sheet = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!value(out))
                return Usage(vcl::Format(_("%s needs a file name"), arg));
        } else if (arg == "--folder") {
            if (!value(folder))
                return Usage(_("--folder needs a folder"));
        } else if (arg == "--part") {
            if (!value(v))
                return Usage(_("--part needs KIND=FILE"));
            const size_t eq = v.find('=');
            const PartKind* kind = eq == std::string::npos ? nullptr : PartKindById(v.substr(0, eq));
            if (!kind || eq + 1 >= v.size())
                return Usage(vcl::Format(_("--part takes KIND=FILE with KIND one of costume, camisole, hairband, "
                                           "flower, ribbon, choker; not \"%s\""),
                                         v));
            request.parts.push_back(PartChoice{kind, Absolute(v.substr(eq + 1))});
        } else if (arg == "--look") {
            if (!value(v))
                return Usage(_("--look needs a look file"));
            request.look = Absolute(v);
        } else if (arg == "--save-look") {
            if (!value(v))
                return Usage(_("--save-look needs a file name"));
            request.saveLook = Absolute(v);
        } else if (arg == "--keys") {
            if (!value(v))
                return Usage(_("--keys needs the keys"));
            try {
                request.keys = ParseKeys(v);
            } catch (const std::exception& e) {
                return Usage(vcl::Format(_("--keys: %s"), e.what()));
            }
        } else if (arg == "--ticks") {
            int n = 0;
            if (!value(v) || !ParseInt(v, 0, 100000, n))
                return Usage(_("--ticks needs a number from 0 to 100000"));
            request.ticks = n;
        } else if (arg == "--frame") {
            int n = 0;
            if (!value(v) || !ParseInt(v, 0, 2, n))
                return Usage(_("--frame takes 0, 1 or 2"));
            request.frame = n;
        } else if (arg == "--view") {
            if (!value(v))
                return Usage(_("--view needs a view"));
            viewGiven = true;
            if (v == "portrait")
                request.view = View::Portrait;
            else if (v == "show")
                request.view = View::Show;
            else if (v == "gray")
                request.view = View::Gray;
            else if (v == "quad")
                request.view = View::Quad;
            else if (v == "closeup")
                request.view = View::CloseUp;
            else
                return Usage(vcl::Format(_("--view takes portrait, show, gray, quad or closeup; not \"%s\""), v));
        } else {
            return Usage(vcl::Format(_("unknown argument \"%s\""), arg));
        }
    }
    if (out.empty() && (sheet || request.saveLook.empty()))
        return Usage(_("no output file (-o OUT.png)"));
    if (sheet && (!request.parts.empty() || !request.keys.empty() || request.ticks || request.frame || viewGiven ||
                  !request.look.empty() || !request.saveLook.empty()))
        return Usage(_("--sheet takes only --folder and -o"));
    const std::string shown = out;
    if (!out.empty())
        out = Absolute(out);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "velmia-render: %s\n",
                     vcl::Format(_("cannot use the folder \"%s\": %s"), folder, std::strerror(errno)).c_str());
        return 1;
    }

    // The program reports what it refuses on standard error as well as in its
    // message box; the box's text is printed below, once.
    std::cerr.rdbuf(nullptr);
    try {
        if (sheet) {
            SheetResult result;
            std::string message;
            if (!RenderSheet(result, message)) {
                std::fprintf(stderr, "velmia-render: %s\n", message.c_str());
                return 1;
            }
            WritePngFile(out, result.sheet);
            std::printf("%s\n",
                        vcl::Format(vcl::TranslatePlural("%s: %s part file, %s x %s", "%s: %s part files, %s x %s",
                                                         static_cast<unsigned long>(result.cells)),
                                    shown, std::to_string(result.cells), std::to_string(result.sheet.GetWidth()),
                                    std::to_string(result.sheet.GetHeight()))
                            .c_str());
            for (const std::string& m : result.messages)
                std::fprintf(stderr, "velmia-render: %s\n", m.c_str());
            return result.messages.empty() ? 0 : 1;
        }
        RenderResult result;
        Render(request, result);
        if (!result.ok) {
            std::fprintf(stderr, "velmia-render: %s\n", result.message.c_str());
            return 1;
        }
        if (out.empty())
            return 0; // only the look was asked for
        WritePngFile(out, result.picture);
        std::printf("%s: %d x %d\n", shown.c_str(), result.picture.GetWidth(), result.picture.GetHeight());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmia-render: %s\n", e.what());
        return 1;
    }
}
