// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The key text of --keys: command characters as they are typed, and special
// keys in braces, with C- (Ctrl) and S- (Shift) in front for held modifiers:
//   "\\9{F2}{PgUp}{C-Right}{S-Left}"
// Names in braces: F1 to F12, PgUp, PgDn, Home, End, Ins, Del, BS, Left,
// Right, Up, Down, Enter, Esc, Space, Tab, Pause (letters in any case), and
// {{} for a literal opening brace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmia::render {

struct KeyStroke {
    char character = 0;   // a typed character (then vk is 0)
    uint16_t vk = 0;      // a special key
    char vkCharacter = 0; // the character a special key also makes (Enter: '\r')
    bool ctrl = false;
    bool shift = false;
    bool operator==(const KeyStroke&) const = default;
};

// Throws std::invalid_argument naming the part of the text it cannot read.
std::vector<KeyStroke> ParseKeys(std::string_view text);

} // namespace velmia::render
