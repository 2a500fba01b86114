// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/FileFilter.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmia::qt;

TEST(ConvertFilter, ToQtNameFilters)
{
    struct Case {
        std::string filter;
        std::vector<std::string> expected;
    } cases[] = {
        {"costume files|vlm_co.bmp;vlm_co?.bmp;vlm_co??.bmp", {"costume files (vlm_co.bmp vlm_co?.bmp vlm_co??.bmp)"}},
        {"Bitmaps (*.bmp)|*.bmp|All files|*", {"Bitmaps (*.bmp) (*.bmp)", "All files (*)"}},
        {"", {}},
        {"|*.bmp", {"*.bmp (*.bmp)"}},
        {"no patterns|", {}},
        {"dangling description", {}},
        {"spaced| a.bmp ; ;b.bmp ", {"spaced (a.bmp b.bmp)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertFilter(c.filter), c.expected) << c.filter;
}

// The dialog lists exactly the files the patterns name: Qt matches each
// pattern as a whole-name wildcard where ? is exactly one character.
TEST(ConvertFilter, CostumeFilterListsExactlyThoseNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList all = {"vlm_co.bmp",   "vlm_co1.bmp",  "vlm_coAB.bmp",   "vlm_co123.bmp",
                             "vlm_ca.bmp",   "xvlm_co.bmp",  "vlm_co.bmp.bak", "vlm_co1.bmpx",
                             "vlm_co_1.bmp", "vlm_co12.txt", "vlm_cox.bmp"};
    for (const QString& name : all) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const auto lines = ConvertFilter("costume files|vlm_co.bmp;vlm_co?.bmp;vlm_co??.bmp");
    ASSERT_EQ(lines.size(), 1u);
    QStringList patterns;
    for (const std::string& p : FilterPatterns(lines[0]))
        patterns << QString::fromStdString(p);
    QStringList listed = QDir(dir.path()).entryList(patterns, QDir::Files, QDir::Name);
    EXPECT_EQ(listed, (QStringList{"vlm_co.bmp", "vlm_co1.bmp", "vlm_coAB.bmp", "vlm_co_1.bmp", "vlm_cox.bmp"}));
}

TEST(ApplyDefaultExt, OnlyWhenTheNameHasNone)
{
    struct Case {
        std::string path, ext, expected;
    } cases[] = {
        {"/tmp/vlm_scenelist", "bmp", "/tmp/vlm_scenelist.bmp"},
        {"/tmp/vlm_scenelist.bmp", "bmp", "/tmp/vlm_scenelist.bmp"},
        {"/tmp/picture.png", "bmp", "/tmp/picture.png"},
        {"/tmp/dir.d/name", "bmp", "/tmp/dir.d/name.bmp"},
        {"name", ".bmp", "name.bmp"},
        {"name", "", "name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyDefaultExt(c.path, c.ext), c.expected) << c.path;
}
