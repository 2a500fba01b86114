// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Shared set-up of the program tests: a fresh temporary folder holding a copy
// of the default artwork, made the current directory for the test, and a
// headless host to run the form on.
#pragma once

#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tests/host/ArtworkCopy.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace velmia::test {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary folder (the current directory during the test).
    const std::filesystem::path& Folder() const { return folder_; }
    void RemoveFile(const std::string& name);
    // Writes a 24-bit picture of the given size, filled with one colour.
    void WritePicture(const std::string& name, int width, int height, vcl::TColor colour = 0x00406080);

    // Starts the form as the program entry does (a failing start-up is
    // reported in a message box, not thrown).
    TSvelmia* Start();

    HeadlessHost host_;

private:
    std::filesystem::path folder_;
    std::filesystem::path previous_;
};

// The required and optional start-up files.
extern const char* const kRequiredFiles[20];
extern const char* const kOptionalFiles[7];

} // namespace velmia::test
