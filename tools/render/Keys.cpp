// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/render/Keys.h"

#include "toolkit/Intl.h"
#include "toolkit/Types.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace velmia::render {

namespace {

struct Named {
    const char* name;
    uint16_t vk;
    char character;
};

constexpr Named kNamed[] = {
    {"pgup", vcl::VK_PRIOR, 0},  {"pgdn", vcl::VK_NEXT, 0},     {"home", vcl::VK_HOME, 0},
    {"end", vcl::VK_END, 0},     {"ins", vcl::VK_INSERT, 0},    {"del", vcl::VK_DELETE, 0},
    {"bs", vcl::VK_BACK, 0},     {"left", vcl::VK_LEFT, 0},     {"right", vcl::VK_RIGHT, 0},
    {"up", vcl::VK_UP, 0},       {"down", vcl::VK_DOWN, 0},     {"enter", vcl::VK_RETURN, '\r'},
    {"esc", vcl::VK_ESCAPE, 27}, {"space", vcl::VK_SPACE, ' '}, {"tab", vcl::VK_TAB, 0},
    {"pause", vcl::VK_PAUSE, 0},
};

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

KeyStroke Special(std::string_view inside)
{
    KeyStroke k;
    std::string_view name = inside;
    // Modifier prefixes, in any order.
    while (name.size() > 2 && name[1] == '-' &&
           (name[0] == 'C' || name[0] == 'S' || name[0] == 'c' || name[0] == 's')) {
        (std::tolower(static_cast<unsigned char>(name[0])) == 'c' ? k.ctrl : k.shift) = true;
        name.remove_prefix(2);
    }
    const std::string lower = Lower(name);
    for (const Named& n : kNamed)
        if (lower == n.name) {
            k.vk = n.vk;
            k.vkCharacter = n.character;
            return k;
        }
    if (lower.size() >= 2 && lower.size() <= 3 && lower[0] == 'f' &&
        std::all_of(lower.begin() + 1, lower.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        const int n = std::stoi(lower.substr(1));
        if (n >= 1 && n <= 12) {
            k.vk = uint16_t(vcl::VK_F1 + n - 1);
            return k;
        }
    }
    throw std::invalid_argument(vcl::Format(_("unknown key {%s}"), std::string(inside)));
}

} // namespace

std::vector<KeyStroke> ParseKeys(std::string_view text)
{
    std::vector<KeyStroke> keys;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c != '{') {
            if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
                throw std::invalid_argument(
                    vcl::Format(_("character code %s is not a key; write special keys in braces, such as {Enter}"),
                                std::to_string(static_cast<unsigned char>(c))));
            keys.push_back(KeyStroke{.character = c});
            ++i;
            continue;
        }
        if (text.substr(i, 3) == "{{}") {
            keys.push_back(KeyStroke{.character = '{'});
            i += 3;
            continue;
        }
        const size_t close = text.find('}', i);
        if (close == std::string_view::npos)
            throw std::invalid_argument(vcl::Format(_("no closing brace after \"%s\""), std::string(text.substr(i))));
        keys.push_back(Special(text.substr(i + 1, close - i - 1)));
        i = close + 1;
    }
    return keys;
}

} // namespace velmia::render
