// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Translated messages. English is the source language: every text a user
// reads is written in English in the code, marked with _() where it is
// used (or N_() where it only sits in a table and is translated later), and
// looked up in the "velmia" gettext catalogue of the user's language.
//
// Messages with values use Format(): "%s" takes the next argument, "%2$s"
// the second, so a translation may put the values in its own order. Only %s
// (and %% for a percent sign) is understood, and every argument is text.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vcl {

// The catalogue's name: velmia.mo in LOCALE_FOLDER/LANG/LC_MESSAGES.
inline constexpr const char* kTextDomain = "velmia";

// Takes the user's language from the environment (LANG, LC_ALL, LANGUAGE)
// and reads the catalogue from `localeFolder`. Without a catalogue for the
// language, or with no language set, the texts stay English.
void StartTranslations(const std::string& localeFolder);

// The translation of `text`, or `text` itself when there is none.
const char* Translate(const char* text);
// The same for a text that means different things in different places:
// `context` tells them apart ("key" for a key's name).
const char* TranslateIn(const char* context, const char* text);
// The same with a count: `one` or `many` in English, the form the language
// wants for `n` elsewhere.
const char* TranslatePlural(const char* one, const char* many, unsigned long n);

std::string FormatList(std::string_view pattern, std::initializer_list<std::string_view> args);

template <class... Args> std::string Format(std::string_view pattern, const Args&... args)
{
    return FormatList(pattern, {std::string_view(args)...});
}

} // namespace vcl

#define _(text) ::vcl::Translate(text)
#define N_(text) text
#define C_(context, text) ::vcl::TranslateIn(context, text)
#define NC_(context, text) text
