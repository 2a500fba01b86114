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
// it works but looks worse. The rules look at the picture as the program
// holds it: read with the program's reader, laid over white when its alpha is
// in use, at the size the program reads it at.
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
    kKeptDepth = 1u << 0,   // the program keeps the file's depth (and saves it so)
    kTransparent = 1u << 1, // white is its transparent colour
    kCostumeColour = 1u << 2,
    kHem = 1u << 3,
    kBands = 1u << 4,      // three breathing bands that must differ
    kBlackWhite = 1u << 5, // a string pattern
    kCells = 1u << 6,      // a list of cells, each drawn on its own
    kSky = 1u << 7,        // ten scene tiles with a flat sky
};

// The size the program reads a kind at.
enum class Fit : uint8_t {
    Whole, // width x height: white where the file is smaller, cut where larger
    Width, // the width so, the file's own height (face lists)
    None,  // the file's own size
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
    Fit fit = Fit::Whole;
    int cellRows = 0; // kCells: cells of width x cellRows, one under the other
};

// What the program holds of a file it reads.
struct Held {
    bool refused = true;             // the program does not take the file
    int width = 0, height = 0;       // the picture it holds
    int cutColumns = 0, cutRows = 0; // of the file, beyond that picture
    int64_t transparent = 0;         // pure white pixels of the held picture
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
    Held held;
    int Count(Severity s) const;
    bool HasError() const { return Count(Severity::Error) > 0; }
};

// Reads the file with the program's own reader (a special file is refused
// before anything is read) and checks it against `kind`, or against the kind
// its name gives when `kind` is null.
Report CheckFile(const std::string& path, const Kind* kind);

// The rules on a picture already read (with its alpha, if it has one);
// `held`, when given, receives what the program holds of it.
std::vector<Problem> CheckPicture(const vcl::TBitmap& picture, const Kind& kind, Held* held = nullptr);

// "NAME: ok", or "NAME: N problems" and one indented line per problem.
std::string FormatText(const Report& report);
// One JSON object per file, in an array. The output is valid UTF-8 JSON
// whatever the names hold: bytes that are not UTF-8 become \ufffd.
std::string FormatJson(const std::vector<Report>& reports);

} // namespace velmia::partcheck
