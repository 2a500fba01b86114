// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// File names are bytes, and nothing makes them valid UTF-8: a name written
// under another encoding, or cut in the middle of a character, is still a
// name the folder lists and the program must open and save under. Whoever
// turns names into text (a dialog, JSON) decodes them with this and decides
// what an invalid byte becomes.
#pragma once

#include <cstddef>
#include <string_view>

namespace vcl {

// Decodes the well-formed UTF-8 sequence at the start of `s` into `code` and
// returns its length (1 to 4). Returns 0 when the bytes there are not one: a
// stray continuation byte, a truncated sequence, an overlong form, a
// surrogate (U+D800 to U+DFFF) or a value above U+10FFFF.
inline size_t DecodeUtf8(std::string_view s, char32_t& code)
{
    if (s.empty())
        return 0;
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    size_t length;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
        code = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
        code = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
        code = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace vcl
