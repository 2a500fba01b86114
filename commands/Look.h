// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A look: everything a user chose for the portrait, kept in a small text file
// (`.velmia-look`) so that it can be worn again or given to someone else.
//
// The file is UTF-8 text, one `key = value` line each; blank lines and lines
// starting with # are ignored. The first line that is neither is the version:
// `velmia-look = 1`. Then, in any order and each at most once:
//
//   view = portrait | show          scene = 0..7 (the scene on screen)
//   strawberries = upper | lower    pan = -400..520
//   show.left-gap, show.right-gap   the show's spacing (Left / Right keys)
//   scene-list = FILE               scene-colour.1 .. scene-colour.7 = #RRGGBB
//
// and for the figure (the portrait's, and the show's right one), then with
// `left.` in front for the show's left figure:
//
//   face, earring, earring-frame, bracelet = cell (the cell on screen)
//   face.auto, earring.auto, bracelet.auto, bracelet.shown, camisole, ribbon,
//   hairband, flower, choker = yes | no
//   hair = standard | hidden | long | shaggy | punk | otohime
//   strings = single | thick | w | cross | none
//   flower.place = hair | chest       eyes = open | closed
//   costume.file, camisole.file, hairband.file, flower.file, ribbon.file,
//   choker.file = FILE                hem = #RRGGBB
//
// A key left out keeps its value of a fresh start; a part file left out is
// the default picture. FILE is relative to the look file's folder (never
// climbing out of it with ..) or an absolute path.
//
// Nothing here touches the form: reading checks the whole file first and
// either gives a complete look or one message naming the file and the line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace look {

inline constexpr const char* kExtension = "velmia-look"; // without the dot
inline constexpr const char* kProposedName = "look.velmia-look";
inline constexpr int kVersion = 1;
// A look is a few hundred bytes; anything much larger is not one.
inline constexpr size_t kMaxFileSize = 64 * 1024;
inline constexpr size_t kMaxLineLength = 4096;

enum class Hair : uint8_t { Standard, Hidden, Long, Shaggy, Punk, Otohime };
enum class View : uint8_t { Portrait, Show };

// The part files a figure wears, in the order they are written.
enum PartSlot : uint8_t { kCostume, kCamisole, kHairband, kFlower, kRibbon, kChoker, kPartSlots };

// One figure: the cells on screen, the automatic changes, the hair, the
// accessories and the part files worn. The initial values are a fresh start's.
struct FigureLook {
    int32_t Face = 0;
    bool FaceAuto = false;
    int32_t Earring = 0;
    bool EarringAuto = false;
    int32_t EarringFrame = 0;
    int32_t Bracelet = 0;
    bool BraceletAuto = false;
    bool BraceletShown = true;
    Hair HairStyle = Hair::Standard;
    int32_t Strings = 0; // 0 single, 1 thick, 2 W, 3 cross, 4 none
    bool Camisole = false;
    bool Ribbon = true;
    bool Hairband = true;
    bool Flower = false;
    bool FlowerOnChest = false;
    bool Choker = false;
    bool EyesClosed = false;
    std::array<std::string, kPartSlots> Files; // empty: the default picture
    std::optional<uint32_t> Hem;               // 0x00BBGGRR, as the toolkit's colours
    bool operator==(const FigureLook&) const = default;
};

inline constexpr int kSceneColours = 7; // the scene list's cells 1 to 7

struct Look {
    View ShownView = View::Portrait;
    int32_t Scene = 0;
    bool StrawberriesUpper = true; // the half scene 0 shows (now, or when it next comes)
    int32_t Pan = 0;
    int32_t ShowLeftGap = 120;
    int32_t ShowRightGap = 360;
    std::string SceneList; // empty: the default scene list
    std::array<std::optional<uint32_t>, kSceneColours> SceneColours;
    FigureLook Main;
    FigureLook Left;
    bool operator==(const Look&) const = default;
};

// What the values may be with the pictures this program has loaded.
struct Limits {
    int FaceCount = 1;
};

// The file's text; file names as they are held (write them relative first).
std::string Format(const Look& look);

// Reads the text of a look. On failure returns false with the line number
// (0: the file as a whole) and the reason, in the user's language.
bool Parse(std::string_view text, const Limits& limits, Look& out, int& line, std::string& reason);

// Reads a look file: a regular file of at most kMaxFileSize bytes, opened
// without blocking (a FIFO or a device is refused, not waited on). File
// names in it are made absolute against the file's folder. On failure
// returns false with one message naming the file and, where it helps, the line.
bool ReadFile(const std::string& path, const Limits& limits, Look& out, std::string& message);

// `file` as the look beside it names it: relative when it lies in `folder` or
// below, else absolute.
std::string NameFor(const std::string& file, const std::string& folder);

} // namespace look
