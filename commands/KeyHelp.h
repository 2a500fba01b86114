// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// What every key, mouse action and view does, for the user: the tables that
// `velmia --help`, the manual page and the README's "Using Velmia" section are
// all written from. The character commands and the special keys are read
// from the tables their handlers use (commands/KeyCommandTable.h,
// commands/NamedKeyTable.h); for the mouse and the views the mouse handlers
// stay the authority, and the tests check these tables against the handlers
// key by key.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmia::keyhelp {

// A character command. `main` holds the keys for the main figure (the
// portrait, and the right-hand figure of the scene show), `left` those for the
// left-hand figure of the show; each character is one key (a row with two
// characters lists two keys that do the same). Either may be empty.
struct CharacterCommand {
    std::string_view main;
    std::string_view left;
    std::string_view what;
    // How to type the left-figure key where it is a shifted character whose
    // place differs between keyboards; empty when it is plain.
    std::string_view typing = {};
};

// A key that makes no character, or one handled before the command table.
struct NamedKey {
    uint16_t vk;    // virtual-key code as the form receives it
    char character; // the character the key also delivers, 0 for none
    std::string_view name;
    std::string_view what;
    std::string_view withShift = {}; // empty: Shift changes nothing
    std::string_view withCtrl = {};  // empty: Ctrl changes nothing
};

// What the mouse and the wheel do, in one view.
struct MouseAction {
    std::string_view gesture;
    std::string_view view;
    std::string_view what;
};

struct View {
    std::string_view name;
    std::string_view enter;
    std::string_view leave;
};

std::span<const CharacterCommand> CharacterCommands();
std::span<const NamedKey> NamedKeys();
std::span<const MouseAction> MouseActions();
std::span<const View> Views();

// The name a key is shown with: "Enter", "Space", or the character itself.
std::string KeyName(char key);

// The four tables in GitHub Markdown, each under a "### " heading.
std::string Markdown();
// The same tables as roff (tbl) sections for the manual page.
std::string Roff();
// The same as plain text lines of at most about 100 columns, for --help, in
// the README's order and groups.
std::string PlainText();

} // namespace velmia::keyhelp
