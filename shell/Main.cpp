// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Program entry: the arguments, the folder to run in, then the one form and
// its window until it closes.
#include "platform/qt/QtHost.h"
#include "shell/CommandLine.h"
#include "shell/PartFolder.h"
#include "shell/Translations.h"
#include "shell/Velmiaunit1.h"

#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

int main(int argc, char** argv)
{
    velmia::shell::StartTranslations(argv[0]);
    velmia::shell::RunOptions options;
    if (const int status = velmia::shell::HandleCommandLine(argc, argv, std::cout, std::cerr, &options); status >= 0)
        return status;
    // The look's name is the user's, from the folder they started in.
    if (!options.look.empty()) {
        std::error_code ec;
        if (const std::filesystem::path absolute = std::filesystem::absolute(options.look, ec); !ec)
            options.look = absolute.string();
    }
    // A part folder that cannot be made ready is reported as a failed start.
    std::string folderProblem;
    try {
        velmia::shell::EnterRunFolder(argv[0]);
    } catch (const std::exception& e) {
        folderProblem = e.what();
    }
    return velmia::qt::RunApplication(argc, argv, [&folderProblem, &options] {
        if (!folderProblem.empty())
            throw std::runtime_error(folderProblem);
        Svelmia = new TSvelmia(options.watchPartFiles);
        // The look goes on once start-up has put the default figure together.
        if (!options.look.empty())
            Svelmia->OnCreate = [create = Svelmia->OnCreate, look = options.look](vcl::TObject* sender) {
                if (create)
                    create(sender);
                Svelmia->OpenLookFile(look);
            };
        return Svelmia;
    });
}
