// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "toolkit/Intl.h"

#include <clocale>
#include <libintl.h>

namespace vcl {

void StartTranslations(const std::string& localeFolder)
{
    std::setlocale(LC_ALL, "");
    bindtextdomain(kTextDomain, localeFolder.c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

const char* Translate(const char* text)
{
    return dgettext(kTextDomain, text);
}

const char* TranslateIn(const char* context, const char* text)
{
    // gettext keeps a context as "context\4text"; without a translation the
    // text comes back without it.
    const std::string key = std::string(context) + '\4' + text;
    const char* translated = dgettext(kTextDomain, key.c_str());
    return translated == key.c_str() ? text : translated;
}

const char* TranslatePlural(const char* one, const char* many, unsigned long n)
{
    return dngettext(kTextDomain, one, many, n);
}

std::string FormatList(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size() + 32);
    size_t next = 0; // the argument a plain %s takes
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (pattern.substr(i, 2) == "%%") {
            out += '%';
            ++i;
            continue;
        }
        // %s or %N$s; anything else is no placeholder and stays as written.
        size_t j = i + 1;
        size_t position = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && position < 100)
            position = position * 10 + size_t(pattern[j++] - '0');
        const bool positional = position > 0 && pattern.substr(j, 2) == "$s";
        if (!positional && pattern.substr(i, 2) != "%s") {
            out += '%';
            continue;
        }
        const size_t index = positional ? position - 1 : next++;
        if (index < args.size())
            out += args.begin()[index];
        i = positional ? j + 1 : i + 1;
    }
    return out;
}

} // namespace vcl
