// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The rules a picture file must follow for the program to show it as its
// author meant, one table row per kind of picture.
//
// A kind is found from the file name: the six part kinds by their prefix
// ("vlm_co" costume, "vlm_ca" camisole, "vlm_hb" hairband, "vlm_fl" flower,
// "vlm_ri" ribbon, "vlm_ch" choker, any characters after it, ".bmp" at the
// end), every other picture the program reads by its exact name. A problem is
// an error when the program refuses the file or shows it wrong, a warning when
// it works but looks worse.
#pragma once

#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmia::partcheck {

enum class Severity { Error, Warning };

struct Problem {
    Severity severity = Severity::Error;
    std::string rule; // short name: "size", "white-fringe", ...
    std::string text; // what was found and where
};

// Which checks a kind of picture gets.
enum Rule : uint32_t {
    kDepth = 1u << 0,       // a part file: 24 or 32 bits expected
    kTransparent = 1u << 1, // white is its transparent colour
    kCostumeColour = 1u << 2,
    kHem = 1u << 3,
    kBands = 1u << 4,      // three breathing bands that must differ
    kBlackWhite = 1u << 5, // a string pattern
    kCellShape = 1u << 6,  // the first cell's white pixels mask every cell
    kSky = 1u << 7,        // ten scene tiles with a flat sky
};

struct Kind {
    const char* id;   // the name --kind takes
    const char* file; // exact file name, or the prefix of a part kind
    bool prefix;      // `file` is a prefix (the six part kinds)
    const char* what; // "a costume"
    int width;        // 0: any size
    int height;       // with cellHeight: 0 = any number of cells
    int cellHeight;   // the height is a whole number of these (face lists)
    uint32_t rules;
    int cells = 0; // kCellShape: cells of width x cellRows, one under the other
    int cellRows = 0;
};

const std::vector<Kind>& Kinds();
const Kind* KindById(std::string_view id);
// The kind of a file from its name (the last path component); null when the
// program reads no picture of that name.
const Kind* KindForName(std::string_view path);
// "costume, camisole, ..." for messages.
std::string KindList();

struct Report {
    std::string name; // as given on the command line
    const Kind* kind = nullptr;
    std::vector<Problem> problems;
    int Count(Severity s) const;
    bool HasError() const { return Count(Severity::Error) > 0; }
};

// Reads the file with the program's own reader (a special file is refused
// before anything is read) and checks it against `kind`, or against the kind
// its name gives when `kind` is null.
Report CheckFile(const std::string& path, const Kind* kind);

// The rules on a picture already read.
std::vector<Problem> CheckPicture(const vcl::TBitmap& picture, const Kind& kind);

// "NAME: ok", or "NAME: N problems" and one indented line per problem.
std::string FormatText(const Report& report);
// One JSON object per file, in an array. The output is valid UTF-8 JSON
// whatever the names hold: bytes that are not UTF-8 become \ufffd.
std::string FormatJson(const std::vector<Report>& reports);

} // namespace velmia::partcheck
