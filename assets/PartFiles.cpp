// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Discovery of the user's part files: every entry of the current folder whose
// name matches a pattern such as "vlm_co*.bmp" ('*' any run of characters,
// '?' one character, letters compared without regard to case).
#include "shell/Velmiaunit1.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

namespace {

bool SameLetter(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// Wildcard match with backtracking to the last '*'; linear in practice.
bool Matches(const char* pattern, const char* name)
{
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && SameLetter(*pattern, *name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool NameOrder(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

// The names go into `buffer` one after another, each followed by a zero byte,
// with one more zero byte after the last. They are listed in name order (the
// folder's own order is arbitrary on most file systems), and the list stops
// at the last whole name that fits the buffer together with its end mark.
// Returns false, with the buffer untouched, when nothing matches.
bool TSvelmia::FindPartFiles(const char* pattern, char* buffer)
{
    BrowserCount = 0;
    std::vector<std::string> names;
    if (DIR* dir = opendir(".")) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            if (Matches(pattern, entry->d_name))
                names.emplace_back(entry->d_name);
        }
        closedir(dir);
    }
    if (names.empty())
        return false;
    std::sort(names.begin(), names.end(), NameOrder);

    size_t used = 0;
    for (const std::string& name : names) {
        // The name, its zero byte, and room for the end mark after it.
        if (used + name.size() + 2 > size_t(kBrowserNamesSize))
            break;
        std::memcpy(buffer + used, name.c_str(), name.size() + 1);
        used += name.size() + 1;
        ++BrowserCount;
    }
    if (BrowserCount == 0)
        return false;
    buffer[used] = '\0';
    return true;
}
