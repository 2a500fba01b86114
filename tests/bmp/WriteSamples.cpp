// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Writes the generated BMP samples into the folder it is given, for the tests
// that run programs over files (the checker, the fuzz replay).
#include "BmpSamples.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    try {
        std::printf("wrote %zu samples\n", bmptest::WriteSamples(argv[1]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
