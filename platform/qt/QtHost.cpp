// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/QtHost.h"

#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>

namespace velmia::qt {

namespace {

void ReportStartupFailure(const std::string& what)
{
    if (vcl::Application) {
        vcl::Application->ShowException(std::runtime_error(what));
    } else {
        std::cerr << "velmia: " << what << "\n";
    }
}

#ifndef VELMIA_APP_ID
#define VELMIA_APP_ID "velmia"
#endif

// Every size of the application's icon in the first hicolor theme folder of
// the icon search path that has it (where the package installs it, 16 to 256
// pixels), each file once, smallest first; a null icon when none has. What
// QIcon::fromTheme offers depends on the theme's lookup and its cache.
QIcon InstalledIcon()
{
    const QString file = QStringLiteral("/apps/" VELMIA_APP_ID ".png");
    for (const QString& base : QIcon::themeSearchPaths()) {
        const QDir hicolor(base + QStringLiteral("/hicolor"));
        QStringList sizes = hicolor.entryList({QStringLiteral("*x*")}, QDir::Dirs);
        const auto width = [](const QString& size) { return size.section(u'x', 0, 0).toInt(); };
        std::sort(sizes.begin(), sizes.end(), [&](const QString& a, const QString& b) { return width(a) < width(b); });
        QIcon icon;
        for (const QString& size : sizes)
            if (const QString path = hicolor.filePath(size + file); QFileInfo::exists(path))
                icon.addFile(path);
        if (!icon.isNull())
            return icon;
    }
    return {};
}

// The window's icon: the installed one, else the application's icon from
// another icon theme, else the sizes the program carries itself. An icon given
// with Qt's -qwindowicon is kept.
void SetWindowIcon()
{
    if (!QGuiApplication::windowIcon().isNull())
        return;
    if (const QIcon installed = InstalledIcon(); !installed.isNull()) {
        QGuiApplication::setWindowIcon(installed);
        return;
    }
    QIcon builtIn;
    QDirIterator it(QStringLiteral(":/velmia/icons"), QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.endsWith(QLatin1String(".png")))
            builtIn.addFile(file);
    }
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VELMIA_APP_ID), builtIn));
}

// Under Wayland, Qt decides whether it may draw title bars itself by loading
// its OpenGL buffer integration first, for every window: Mesa's EGL, a driver
// and LLVM, about 55 MB resident, while our windows show raster pictures
// through shared memory and never use OpenGL. Unless the user says otherwise,
// Qt draws no title bars: the window stays a native Wayland window, still
// decorated where the compositor draws title bars (it is asked to), and bare
// where the compositor leaves them to the program. A user who wants Qt's title
// bar sets QT_WAYLAND_DISABLE_WINDOWDECORATION=0. Only the Wayland plugin reads
// this; it must be set before the first window is shown.
void PreferSharedMemoryWindows()
{
    setenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1", 0);
}

// Shows the created form and runs the event loop until the last window closes.
int RunLoop(QtPlatform& platform, vcl::TForm& form)
{
    // The main form is shown when the loop starts, as the old toolkit did.
    if (!form.GetVisible())
        form.SetVisible(true);
    platform.FormChanged(&form);
    form.Repaint();
#ifdef __GLIBC__
    // Start-up is over: give the pages of its temporary buffers (file
    // contents, decoding, pictures built and dropped) back instead of
    // keeping them resident.
    malloc_trim(0);
#endif
    vcl::ReleaseFreePixelPages();
    FormWindow* window = platform.WindowOf(&form);
    window->activateWindow();
    window->setFocus();
    return QApplication::exec();
}

} // namespace

int RunApplication(int argc, char** argv, const std::function<vcl::TForm*()>& createForm)
{
    // Whole scale factors only: the 800 x 600 picture stays crisp on HiDPI screens.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    PreferSharedMemoryWindows();
    QApplication app(argc, argv);
    QApplication::setApplicationName("velmia");
    // Desktops match the window to its menu entry by this name: Wayland's app
    // id; on X11 the window's class stays "velmia", the entry's StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMIA_APP_ID));
    SetWindowIcon();
    QApplication::setQuitOnLastWindowClosed(true);
    // Qt's own words in the dialogs (buttons, the file dialog's labels) in the
    // user's language, where Qt's translations are installed.
    QTranslator qtWords;
    if (qtWords.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtWords);

    QtPlatform platform;
    vcl::SetPlatform(&platform);
    std::unique_ptr<vcl::TForm> form;
    int result = 0;
    try {
        form.reset(createForm());
        if (!form)
            throw std::runtime_error("no main form was created");
        platform.WindowOf(form.get());
        form->DoCreate();
        // Start-up's pictures are made: buffers made from now on use small
        // pages, the window's picture among them (written at every change,
        // which costs more on huge pages where the kernel samples access).
        vcl::ReleaseFreePixelPages();
    } catch (const std::exception& e) {
        if (form)
            platform.WindowOf(form.get())->hide();
        ReportStartupFailure(e.what());
        result = 1;
    } catch (...) {
        ReportStartupFailure("unknown error during start-up");
        result = 1;
    }
    if (result == 0)
        result = RunLoop(platform, *form);
    // The form's timers unregister from the platform while it still exists.
    form.reset();
    vcl::SetPlatform(nullptr);
    return result;
}

} // namespace velmia::qt
