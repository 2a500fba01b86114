// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // No display needed: the window tests run on the offscreen platform
    // unless the environment asks for another.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef VELMIA_TEST_SCALE_FACTOR
    qputenv("QT_SCALE_FACTOR", VELMIA_TEST_SCALE_FACTOR);
#endif
    // Qt's runtime folder, when the environment names none: one of this
    // run's own, removed at the end, rather than Qt's shared default.
    std::unique_ptr<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime->path().toLocal8Bit());
    }
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
