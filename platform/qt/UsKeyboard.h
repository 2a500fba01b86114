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

// The keys that type a character without Shift (Plain) and another with it
// (Shifted; 0: none).
struct CharacterKey {
    uint16_t Vk;
    char Plain, Shifted;
};
constexpr CharacterKey kCharacterKeys[] = {
    {vcl::VK_BACK, 8, 0},    {vcl::VK_TAB, 9, 0},      {vcl::VK_RETURN, 13, 0},  {vcl::VK_ESCAPE, 27, 0},
    {vcl::VK_SPACE, ' ', 0}, {'0', '0', ')'},          {'1', '1', '!'},          {'2', '2', '@'},
    {'3', '3', '#'},         {'4', '4', '$'},          {'5', '5', '%'},          {'6', '6', '^'},
    {'7', '7', '&'},         {'8', '8', '*'},          {'9', '9', '('},          {VK_OEM_1, ';', ':'},
    {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},     {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
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
    for (const CharacterKey& k : kCharacterKeys) {
        if (ch == k.Plain)
            return {k.Vk, false};
        if (k.Shifted != 0 && ch == k.Shifted)
            return {k.Vk, true};
    }
    if (c >= 1 && c <= 26)
        return {uint16_t('A' + c - 1), false};
    return {};
}

} // namespace velmia
