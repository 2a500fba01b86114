// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "commands/KeyHelp.h"

#include "commands/KeyCommandTable.h"
#include "commands/SpecialKeyTable.h"

#include <array>

namespace velmia::keyhelp {

namespace {

// The character commands come from the command table, in its order; a
// left-figure row without its own text shares the main-figure row above it.
// The keys handled before the table follow.
constexpr std::array kKeysBeforeTheTable = {
    CharacterCommand{"]", "", "Hide or show the mouse pointer"},
    CharacterCommand{"m", "", "Minimise the window"},
};

consteval bool LeftRowsWithoutTextFollowAMainRow()
{
    for (size_t i = 0; i < kKeyCommands.size(); ++i) {
        const KeyCommandRow& row = kKeyCommands[i];
        if (!row.typing.empty() && row.figure != Figure::Left)
            return false;
        if (row.what.empty() && (i == 0 || row.figure != Figure::Left || kKeyCommands[i - 1].figure != Figure::Main ||
                                 kKeyCommands[i - 1].what.empty()))
            return false;
    }
    return true;
}
static_assert(LeftRowsWithoutTextFollowAMainRow());

consteval size_t CharacterCommandCount()
{
    size_t n = kKeysBeforeTheTable.size();
    for (const KeyCommandRow& row : kKeyCommands)
        n += row.what.empty() ? 0 : 1;
    return n;
}

consteval std::array<CharacterCommand, CharacterCommandCount()> MakeCharacterCommands()
{
    std::array<CharacterCommand, CharacterCommandCount()> out{};
    size_t n = 0;
    for (size_t i = 0; i < kKeyCommands.size(); ++i) {
        const KeyCommandRow& row = kKeyCommands[i];
        if (row.what.empty())
            continue;
        CharacterCommand& c = out[n++];
        c.what = row.what;
        if (row.figure == Figure::Main)
            c.main = row.keys;
        const bool twin = i + 1 < kKeyCommands.size() && kKeyCommands[i + 1].what.empty();
        const KeyCommandRow& left = twin ? kKeyCommands[i + 1] : row;
        if (twin || row.figure == Figure::Left) {
            c.left = left.keys;
            c.typing = left.typing;
        }
    }
    for (const CharacterCommand& c : kKeysBeforeTheTable)
        out[n++] = c;
    return out;
}

constexpr auto kCharacterCommands = MakeCharacterCommands();

// The special keys come from their table, in its order; a row without a name
// acts for the key of the named row above it.
consteval bool RowsWithoutANameFollowTheirKey()
{
    for (size_t i = 0; i < kSpecialKeyRows.size(); ++i)
        if (kSpecialKeyRows[i].name.empty() && (i == 0 || kSpecialKeyRows[i - 1].key != kSpecialKeyRows[i].key))
            return false;
    return true;
}
static_assert(RowsWithoutANameFollowTheirKey());

consteval size_t SpecialKeyCount()
{
    size_t n = 0;
    for (const SpecialKeyRow& row : kSpecialKeyRows)
        n += row.name.empty() ? 0 : 1;
    return n;
}

consteval std::array<SpecialKey, SpecialKeyCount()> MakeSpecialKeys()
{
    std::array<SpecialKey, SpecialKeyCount()> out{};
    size_t n = 0;
    for (const SpecialKeyRow& row : kSpecialKeyRows)
        if (!row.name.empty())
            out[n++] = SpecialKey{row.key, row.character, row.name, row.what, row.withShift, row.withCtrl};
    return out;
}

constexpr auto kSpecialKeys = MakeSpecialKeys();

constexpr std::array kMouseActions = {
    MouseAction{"Double-click below the face", "portrait or show, eyes closed",
                "She opens her eyes for a moment (the area is 100 x 50 pixels, at the middle of the chest)"},
    MouseAction{"Double-click", "portrait",
                "Back to the scene show, when a double-click or q took the left figure out"},
    MouseAction{"Shift+double-click", "portrait", "Grey view"},
    MouseAction{"Right press", "portrait", "Back to the scene show, when a right press left it"},
    MouseAction{"Shift+right press", "portrait", "Four-figure view"},
    MouseAction{"Wheel up / down", "portrait", "Move the figure 20 pixels left / right"},
    MouseAction{"Middle press", "portrait or show", "Back to the last close-up"},
    MouseAction{"Right press", "show", "Leave the show for the portrait"},
    MouseAction{"Double-click", "show", "Take the left figure into the portrait"},
    MouseAction{"Click or double-click", "grey view", "Back to the portrait"},
    MouseAction{"Right press or click", "four-figure view", "Back to the portrait"},
    MouseAction{"Wheel up / down", "close-up", "Zoom in / out"},
    MouseAction{"Right press", "close-up", "Switch to the kept close-up"},
    MouseAction{"Shift+right press", "close-up",
                "Show the unmagnified picture; the next press returns, a double-click leaves"},
    MouseAction{"Middle press or double-click", "close-up", "Leave the close-up"},
    MouseAction{"Double-click a thumbnail", "part browser", "Wear that part"},
    MouseAction{"Right press", "part browser", "Close the browser without a change"},
    MouseAction{"Wheel up / down", "part browser", "The previous / next page, when the files fill more than one"},
    MouseAction{"Two right presses within 0.2 s", "any", "Quit"},
};

constexpr std::array kViews = {
    View{"Portrait", "at start", "-"},
    View{"Scene show (two figures)", "q in the portrait, then w", "w, q, a right press or a double-click"},
    View{"Four-figure view", "Shift+right press in the portrait", "a right press or a click"},
    View{"Grey view", "Shift+double-click in the portrait", "a click or a double-click"},
    View{"Close-up", "Page Up; Home or a middle press: the last one again",
         "Home, Esc, a middle press or a double-click"},
    View{"Part browser", "F2 to F7", "double-click a thumbnail, a right press or Esc"},
};

// ---- Markdown ------------------------------------------------------------

// A key as a code span; a vertical bar is escaped, since a table cell ends there.
std::string MdKey(char key)
{
    if (key == '\r' || key == ' ')
        return KeyName(key);
    if (key == '|')
        return "`\\|`";
    if (key == '`')
        return "`` ` ``";
    return std::string("`") + key + "`";
}

std::string MdKeys(std::string_view keys)
{
    std::string out;
    for (char k : keys) {
        if (!out.empty())
            out += ", ";
        out += MdKey(k);
    }
    return out;
}

// Plain text in a cell: vertical bars escaped, keys and patterns left as they are.
std::string MdText(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '|')
            out += "\\|";
        else if (c == '*' || c == '_' || c == '`' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out;
}

// ---- roff ----------------------------------------------------------------

std::string RoffText(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else if (c == '\'' || c == '.')
            out += std::string("\\&") + c;
        else if (c == '^')
            out += "\\(ha";
        else if (c == '~')
            out += "\\(ti";
        else if (c == '`')
            out += "\\(ga";
        else if (c == '"')
            out += "\\(dq";
        else
            out += c;
    }
    return out;
}

std::string RoffKeys(std::string_view keys)
{
    std::string out;
    for (char k : keys) {
        if (!out.empty())
            out += ", ";
        out += (k == '\r' || k == ' ') ? KeyName(k) : "\\fB" + RoffText(std::string(1, k)) + "\\fR";
    }
    return out;
}

// A table cell as a text block, so tbl wraps it.
std::string RoffCell(const std::string& text)
{
    if (text.empty())
        return "";
    return "T{\n" + text + "\nT}";
}

std::string RoffTable(const std::string& heading, const std::string& intro, const std::string& format,
                      const std::string& header, const std::string& rows)
{
    std::string out = ".SS " + heading + "\n";
    if (!intro.empty())
        out += intro + "\n";
    // Text blocks are too narrow to adjust to both edges.
    out += ".ad l\n.TS\nallbox tab(@);\n" + format + ".\n" + header + "\n" + rows + ".TE\n.ad b\n";
    return out;
}

// ---- plain text ----------------------------------------------------------

std::string Pad(std::string text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    else
        text += ' ';
    return text;
}

std::string PlainKeys(std::string_view keys)
{
    std::string out;
    for (char k : keys) {
        if (!out.empty())
            out += ' ';
        out += KeyName(k);
    }
    return out;
}

} // namespace

std::span<const CharacterCommand> CharacterCommands()
{
    return kCharacterCommands;
}
std::span<const SpecialKey> SpecialKeys()
{
    return kSpecialKeys;
}
std::span<const MouseAction> MouseActions()
{
    return kMouseActions;
}
std::span<const View> Views()
{
    return kViews;
}

std::string KeyName(char key)
{
    if (key == '\r')
        return "Enter";
    if (key == ' ')
        return "Space";
    return std::string(1, key);
}

std::string Markdown()
{
    std::string out;
    out += "### Character commands\n\n";
    out += "A key in the first column acts on the figure of the portrait (and on the right-hand figure of the "
           "scene show); the key in the second column does the same for the left-hand figure and works only "
           "while the scene show runs.\n\n";
    out += "| Main figure | Left figure (show) | What it does | Typing the left key |\n|---|---|---|---|\n";
    for (const CharacterCommand& c : kCharacterCommands)
        out +=
            "| " + MdKeys(c.main) + " | " + MdKeys(c.left) + " | " + MdText(c.what) + " | " + MdText(c.typing) + " |\n";

    out += "\n### Special keys\n\n";
    out += "| Key | What it does | With Shift | With Ctrl |\n|---|---|---|---|\n";
    for (const SpecialKey& k : kSpecialKeys)
        out += "| " + std::string(k.name) + " | " + MdText(k.what) + " | " + MdText(k.withShift) + " | " +
               MdText(k.withCtrl) + " |\n";

    out += "\n### Mouse and wheel\n\n";
    out += "| Action | View | What it does |\n|---|---|---|\n";
    for (const MouseAction& m : kMouseActions)
        out += "| " + MdText(m.gesture) + " | " + MdText(m.view) + " | " + MdText(m.what) + " |\n";

    out += "\n### Views\n\n";
    out += "| View | How to get there | How to leave |\n|---|---|---|\n";
    for (const View& v : kViews)
        out += "| " + MdText(v.name) + " | " + MdText(v.enter) + " | " + MdText(v.leave) + " |\n";
    return out;
}

std::string Roff()
{
    // Three columns fit a terminal: the typing note goes below the text.
    std::string rows;
    for (const CharacterCommand& c : kCharacterCommands) {
        std::string what = RoffText(c.what);
        if (!c.typing.empty())
            what += "\n.br\n(" + RoffText(c.typing) + ")";
        rows += RoffKeys(c.main) + "@" + RoffKeys(c.left) + "@" + RoffCell(what) + "\n";
    }
    std::string out = RoffTable("Character commands",
                                "The first key acts on the figure of the portrait (and on the right\\-hand figure of "
                                "the scene show); the second does the same for the left\\-hand figure and works "
                                "only while the scene show runs.",
                                "lB lB lB\nl l lx", "Main@Left@What it does", rows);

    rows.clear();
    for (const SpecialKey& k : kSpecialKeys) {
        std::string what = RoffText(k.what);
        if (!k.withShift.empty())
            what += "\n.br\n\\fIShift:\\fR " + RoffText(k.withShift);
        if (!k.withCtrl.empty())
            what += "\n.br\n\\fICtrl:\\fR " + RoffText(k.withCtrl);
        rows += RoffText(k.name) + "@" + RoffCell(what) + "\n";
    }
    out += RoffTable("Special keys", "With Shift or Ctrl held, some keys do more, as noted.", "lB lB\nl lx",
                     "Key@What it does", rows);

    rows.clear();
    for (const MouseAction& m : kMouseActions)
        rows +=
            RoffCell(RoffText(m.gesture)) + "@" + RoffCell(RoffText(m.view)) + "@" + RoffCell(RoffText(m.what)) + "\n";
    out += RoffTable("Mouse and wheel", "", "lB lB lB\nlx lx lx", "Action@View@What it does", rows);

    rows.clear();
    for (const View& v : kViews)
        rows +=
            RoffCell(RoffText(v.name)) + "@" + RoffCell(RoffText(v.enter)) + "@" + RoffCell(RoffText(v.leave)) + "\n";
    out += RoffTable("Views", "", "lB lB lB\nlx lx lx", "View@How to get there@How to leave", rows);
    return out;
}

std::string PlainText()
{
    std::string out = "Character commands (second key: the left figure, in the scene show only):\n";
    for (const CharacterCommand& c : kCharacterCommands) {
        out += "  " + Pad(PlainKeys(c.main), 12) + Pad(PlainKeys(c.left), 5) + std::string(c.what) + "\n";
        if (!c.typing.empty())
            out += "  " + std::string(17, ' ') + "(" + PlainKeys(c.left) + ": " + std::string(c.typing) + ")\n";
    }
    out += "\nSpecial keys:\n";
    for (const SpecialKey& k : kSpecialKeys) {
        out += "  " + Pad(std::string(k.name), 17) + std::string(k.what) + "\n";
        if (!k.withShift.empty())
            out += "  " + Pad("  Shift", 17) + std::string(k.withShift) + "\n";
        if (!k.withCtrl.empty())
            out += "  " + Pad("  Ctrl", 17) + std::string(k.withCtrl) + "\n";
    }
    out += "\nMouse and wheel:\n";
    for (const MouseAction& m : kMouseActions)
        out += "  " + std::string(m.gesture) + " (" + std::string(m.view) + "): " + std::string(m.what) + "\n";
    out += "\nViews:\n";
    for (const View& v : kViews)
        out += "  " + Pad(std::string(v.name), 26) + "from: " + std::string(v.enter) +
               "; leave: " + std::string(v.leave) + "\n";
    return out;
}

} // namespace velmia::keyhelp
