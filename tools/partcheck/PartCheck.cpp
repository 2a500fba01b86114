// velmia-partcheck FILE...
//
// Loads each file with the program's BMP reader and prints one line per file:
//   <name>: <width> x <height>, <bits>-bit
//   <name>: refused: <reason>
// Exit status: 0 when every file loaded, 1 when any was refused, 2 on a usage
// error.
#include "toolkit/BmpCodec.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

// Outcome of checking one file: empty `problem` means it passed.
struct Check {
    std::string summary; // "<w> x <h>, <bits>-bit" when the file loaded
    std::string problem; // why it was refused
};

Check CheckFile(const std::string& path)
{
    Check c;
    vcl::TBitmap bmp;
    try {
        vcl::ReadBmpFile(path, bmp);
    } catch (const vcl::BmpError& e) {
        c.problem = e.Reason();
        return c;
    } catch (const std::exception& e) {
        c.problem = e.what();
        return c;
    }
    c.summary = std::to_string(bmp.GetWidth()) + " x " + std::to_string(bmp.GetHeight()) + ", " +
                std::to_string(vcl::BitsPerPixel(bmp.GetPixelFormat())) + "-bit";
    // Rules about what a given part file must look like go here, once parts
    // have agreed sizes and formats; they add to `problem`.
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE...\n", argc > 0 ? argv[0] : "velmia-partcheck");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const Check c = CheckFile(argv[i]);
        if (c.problem.empty()) {
            std::printf("%s: %s\n", argv[i], c.summary.c_str());
        } else {
            std::printf("%s: refused: %s\n", argv[i], c.problem.c_str());
            status = 1;
        }
    }
    return status;
}
