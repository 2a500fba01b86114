// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// velmia-artwork: renders the default picture set from the master drawing.
//
//   velmia-artwork --svg velmia.svg --run DIR --extra DIR --gen DIR
//                  [--sheet contact-sheet.png] [--looks DIR] [--version 0.1]
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Icons.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    // Text in the title banner needs the font database, which needs a GUI
    // application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString svg, run, extra, gen, sheet, looks, icons, icon = QStringLiteral("velmia"), version = QStringLiteral("0.1");
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        auto next = [&]() -> QString {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "velmia-artwork: %s needs a value\n", qPrintable(args[i]));
                std::exit(2);
            }
            return args[++i];
        };
        if (args[i] == "--svg")
            svg = next();
        else if (args[i] == "--run")
            run = next();
        else if (args[i] == "--extra")
            extra = next();
        else if (args[i] == "--gen")
            gen = next();
        else if (args[i] == "--sheet")
            sheet = next();
        else if (args[i] == "--looks")
            looks = next();
        else if (args[i] == "--version")
            version = next();
        else if (args[i] == "--icons") // --icons DIR [--icon-name NAME]: only the program's icons
            icons = next();
        else if (args[i] == "--icon-name")
            icon = next();
        else {
            std::fprintf(stderr, "usage: velmia-artwork --svg FILE --run DIR --extra DIR --gen DIR [--sheet PNG] "
                                 "[--looks DIR] [--version V]\n");
            return 2;
        }
    }
    if (!svg.isEmpty() && !icons.isEmpty() && run.isEmpty()) {
        try {
            artwork::WriteIcons(svg, icons, icon);
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "velmia-artwork: %s\n", e.what());
            return 1;
        }
    }
    if (svg.isEmpty() || run.isEmpty() || extra.isEmpty() || gen.isEmpty()) {
        std::fprintf(stderr, "velmia-artwork: --svg, --run, --extra and --gen are required\n");
        return 2;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        const artwork::Master master(svg);
        const artwork::Set set = artwork::BuildSet(master, version);
        artwork::WriteSet(set, run, extra, gen);
        if (!sheet.isEmpty() && !artwork::ContactSheet(set).save(sheet)) {
            std::fprintf(stderr, "velmia-artwork: cannot write %s\n", qPrintable(sheet));
            return 1;
        }
        if (!looks.isEmpty()) {
            // Every look of the sheet at full size, to inspect pixel by pixel.
            QDir().mkpath(looks);
            const auto entries = artwork::SheetEntries(set);
            for (size_t i = 0; i < entries.size(); ++i)
                artwork::Compose(set, entries[i].look)
                    .save(QDir(looks).filePath(QString::asprintf("look-%02d.png", int(i))));
        }
        std::printf("velmia-artwork: %lld files, %lld extra parts, %lld embedded pictures in %lld ms\n",
                    qlonglong(set.files.size()), qlonglong(set.extras.size()), qlonglong(set.embedded.size()),
                    qlonglong(timer.elapsed()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmia-artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
