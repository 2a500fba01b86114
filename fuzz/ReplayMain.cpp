// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Runs the fuzz entry point over files and folders (recursively) given on the
// command line. Fails when none of them exists.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

void RunFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

} // namespace

int main(int argc, char** argv)
{
    size_t files = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path root = argv[i];
        std::error_code ec;
        if (fs::is_regular_file(root, ec)) {
            RunFile(root);
            ++files;
        } else if (fs::is_directory(root, ec)) {
            for (const auto& e : fs::recursive_directory_iterator(root, ec))
                if (e.is_regular_file()) {
                    RunFile(e.path());
                    ++files;
                }
        }
    }
    std::printf("replayed %zu files\n", files);
    if (files == 0)
        std::fprintf(stderr, "no file to replay\n");
    return files == 0 ? 1 : 0;
}
