// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Which key of a US keyboard types a character, as the virtual-key code the
// old toolkit delivered to key-down handlers, and whether Shift is needed.
// Plain C++ (no Qt): the Qt window and the test host share it.
#pragma once

#include "toolkit/Types.h"

#include <cstdint>

namespace velmia {

struct KeyForChar {
    uint16_t Vk = 0; // 0: no key types this character
    bool Shift = false;
};

// Punctuation keys of the US layout ("OEM" keys).
enum : uint16_t {
    VK_OEM_1 = 0xBA,      // ; :
    VK_OEM_PLUS = 0xBB,   // = +
    VK_OEM_COMMA = 0xBC,  // , <
    VK_OEM_MINUS = 0xBD,  // - _
    VK_OEM_PERIOD = 0xBE, // . >
    VK_OEM_2 = 0xBF,      // / ?
    VK_OEM_3 = 0xC0,      // ` ~
    VK_OEM_4 = 0xDB,      // [ {
    VK_OEM_5 = 0xDC,      // \ |
    VK_OEM_6 = 0xDD,      // ] }
    VK_OEM_7 = 0xDE,      // ' "
};

// Control characters map to their keys: Backspace 8, Tab 9, Enter 13,
// Escape 27, and Ctrl+letter (1..26) to the letter's key.
constexpr KeyForChar KeyForCharacter(char ch)
{
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
        return {uint16_t(c - 'a' + 'A'), false};
    if (c >= 'A' && c <= 'Z')
        return {uint16_t(c), true};
    if (c >= '0' && c <= '9')
        return {uint16_t(c), false};
    switch (c) {
    case 8:
        return {vcl::VK_BACK, false};
    case 9:
        return {vcl::VK_TAB, false};
    case 13:
        return {vcl::VK_RETURN, false};
    case 27:
        return {vcl::VK_ESCAPE, false};
    case ' ':
        return {vcl::VK_SPACE, false};
    case ')':
        return {'0', true};
    case '!':
        return {'1', true};
    case '@':
        return {'2', true};
    case '#':
        return {'3', true};
    case '$':
        return {'4', true};
    case '%':
        return {'5', true};
    case '^':
        return {'6', true};
    case '&':
        return {'7', true};
    case '*':
        return {'8', true};
    case '(':
        return {'9', true};
    case ';':
        return {VK_OEM_1, false};
    case ':':
        return {VK_OEM_1, true};
    case '=':
        return {VK_OEM_PLUS, false};
    case '+':
        return {VK_OEM_PLUS, true};
    case ',':
        return {VK_OEM_COMMA, false};
    case '<':
        return {VK_OEM_COMMA, true};
    case '-':
        return {VK_OEM_MINUS, false};
    case '_':
        return {VK_OEM_MINUS, true};
    case '.':
        return {VK_OEM_PERIOD, false};
    case '>':
        return {VK_OEM_PERIOD, true};
    case '/':
        return {VK_OEM_2, false};
    case '?':
        return {VK_OEM_2, true};
    case '`':
        return {VK_OEM_3, false};
    case '~':
        return {VK_OEM_3, true};
    case '[':
        return {VK_OEM_4, false};
    case '{':
        return {VK_OEM_4, true};
    case '\\':
        return {VK_OEM_5, false};
    case '|':
        return {VK_OEM_5, true};
    case ']':
        return {VK_OEM_6, false};
    case '}':
        return {VK_OEM_6, true};
    case '\'':
        return {VK_OEM_7, false};
    case '"':
        return {VK_OEM_7, true};
    default:
        break;
    }
    if (c >= 1 && c <= 26)
        return {uint16_t('A' + c - 1), false};
    return {};
}

} // namespace velmia
