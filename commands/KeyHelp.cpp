// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "commands/KeyHelp.h"

#include "commands/KeyCommandTable.h"
#include "commands/NamedKeyTable.h"
#include "toolkit/Intl.h"
#include "toolkit/Utf8.h"

#include <algorithm>
#include <array>

namespace velmia::keyhelp {

namespace {

// A table's text in the user's language; an empty cell stays empty.
std::string Tr(std::string_view text)
{
    return text.empty() ? std::string() : std::string(_(std::string(text).c_str()));
}

// A key's name in the user's language.
std::string KeyTr(std::string_view name)
{
    return C_("key", std::string(name).c_str());
}

// The character commands come from the command table, in its order; a
// left-figure row without its own text shares the main-figure row above it.
// The window keys follow.

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
    size_t n = kWindowKeys.size();
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
    for (const WindowKeyRow& row : kWindowKeys)
        out[n++] = CharacterCommand{row.key, "", row.what};
    return out;
}

constexpr auto kCharacterCommands = MakeCharacterCommands();

// The README lists the character commands by what they are for. A command
// belongs to the first task that names its first key (the left key when it
// has no main one); every command must belong to one.
struct Task {
    std::string_view title;
    std::string_view keys;
};

constexpr std::array kTasks = {
    Task{N_("Eyes, face and hair"), "xflcypo"},
    Task{N_("Jewellery and accessories"), "egbnrhtk"},
    Task{N_("Clothes"), "va2"},
    Task{N_("Scenes"), "\r1"},
    Task{N_("The scene show"), "qwW"},
    Task{N_("Files: wearing your own parts, saving"), "\\789-0^sd"},
    Task{N_("The window"), "]m"},
};

constexpr const Task* FindTask(const CharacterCommand& c)
{
    const char key = c.main.empty() ? c.left.front() : c.main.front();
    for (const Task& task : kTasks)
        if (task.keys.find(key) != std::string_view::npos)
            return &task;
    return nullptr;
}

consteval bool EveryCommandHasATask()
{
    for (const CharacterCommand& c : kCharacterCommands)
        if (FindTask(c) == nullptr)
            return false;
    return true;
}
static_assert(EveryCommandHasATask());

const Task& TaskOf(const CharacterCommand& c)
{
    return *FindTask(c);
}

// The special keys come from their table, in its order; a row without a name
// acts for the key of the named row above it.
consteval bool RowsWithoutANameFollowTheirKey()
{
    for (size_t i = 0; i < kNamedKeyRows.size(); ++i)
        if (kNamedKeyRows[i].name.empty() && (i == 0 || kNamedKeyRows[i - 1].key != kNamedKeyRows[i].key))
            return false;
    return true;
}
static_assert(RowsWithoutANameFollowTheirKey());

consteval size_t NamedKeyCount()
{
    size_t n = 0;
    for (const NamedKeyRow& row : kNamedKeyRows)
        n += row.name.empty() ? 0 : 1;
    return n;
}

consteval std::array<NamedKey, NamedKeyCount()> MakeNamedKeys()
{
    std::array<NamedKey, NamedKeyCount()> out{};
    size_t n = 0;
    for (const NamedKeyRow& row : kNamedKeyRows)
        if (!row.name.empty())
            out[n++] = NamedKey{row.key, row.character, row.name, row.what, row.withShift, row.withCtrl};
    return out;
}

constexpr auto kNamedKeys = MakeNamedKeys();

constexpr std::array kMouseActions = {
    MouseAction{N_("Double-click below the face"), N_("portrait or show, eyes closed"),
                N_("She opens her eyes for a moment (the area is 100 x 50 pixels, at the middle of the chest)")},
    MouseAction{N_("Double-click"), N_("portrait"),
                N_("Back to the scene show, when a double-click or q took the left figure out")},
    MouseAction{N_("Shift+double-click"), N_("portrait"), N_("Grey view")},
    MouseAction{N_("Right press"), N_("portrait"), N_("Back to the scene show, when a right press left it")},
    MouseAction{N_("Shift+right press"), N_("portrait"), N_("Four-figure view")},
    MouseAction{N_("Wheel up / down"), N_("portrait"), N_("Move the figure 20 pixels left / right")},
    MouseAction{N_("Middle press"), N_("portrait or show"), N_("Back to the last close-up")},
    MouseAction{N_("Right press"), N_("show"), N_("Leave the show for the portrait")},
    MouseAction{N_("Double-click"), N_("show"), N_("Take the left figure into the portrait")},
    MouseAction{N_("Click or double-click"), N_("grey view"), N_("Back to the portrait")},
    MouseAction{N_("Right press or click"), N_("four-figure view"), N_("Back to the portrait")},
    MouseAction{N_("Wheel up / down"), N_("close-up"), N_("Zoom in / out")},
    MouseAction{N_("Right press"), N_("close-up"), N_("Switch to the kept close-up")},
    MouseAction{N_("Shift+right press"), N_("close-up"),
                N_("Show the unmagnified picture; the next press returns, a double-click leaves")},
    MouseAction{N_("Middle press or double-click"), N_("close-up"), N_("Leave the close-up")},
    MouseAction{N_("Double-click a thumbnail"), N_("part browser"), N_("Wear that part")},
    MouseAction{N_("Right press"), N_("part browser"), N_("Close the browser without a change")},
    MouseAction{N_("Wheel up / down"), N_("part browser"),
                N_("The previous / next page, when the files fill more than one")},
    MouseAction{N_("Two right presses within 0.2 s"), N_("any"), N_("Quit")},
};

constexpr std::array kViews = {
    View{N_("Portrait"), N_("at start"), "-"},
    View{N_("Scene show (two figures)"), N_("q in the portrait, then w"), N_("w, q, a right press or a double-click")},
    View{N_("Four-figure view"), N_("Shift+right press in the portrait"), N_("a right press or a click")},
    View{N_("Grey view"), N_("Shift+double-click in the portrait"), N_("a click or a double-click")},
    View{N_("Close-up"), N_("Page Up; Home or a middle press: the last one again"),
         N_("Home, Esc, a middle press or a double-click")},
    View{N_("Part browser"), N_("F2 to F7"), N_("double-click a thumbnail, a right press or Esc")},
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
    // Text blocks are too narrow to adjust to both edges; the page's own
    // adjustment comes back after the table (a bare .ad would adjust to both
    // edges, which lines of Japanese cannot be).
    out += ".nr velmia-adjust \\n[.j]\n.na\n.TS\nallbox tab(@);\n" + format + ".\n" + header + "\n" + rows +
           ".TE\n.ad \\n[velmia-adjust]\n";
    return out;
}

// ---- plain text ----------------------------------------------------------

// Columns a text takes on a terminal: two for a wide (East Asian) character.
size_t Columns(std::string_view text)
{
    size_t columns = 0;
    while (!text.empty()) {
        char32_t c = 0;
        const size_t length = std::max<size_t>(vcl::DecodeUtf8(text, c), 1);
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
        columns += wide ? 2 : 1;
        text.remove_prefix(length);
    }
    return columns;
}

std::string Pad(std::string text, size_t width)
{
    if (const size_t columns = Columns(text); columns < width)
        text.append(width - columns, ' ');
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
std::span<const NamedKey> NamedKeys()
{
    return kNamedKeys;
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
    out += "### Views\n\n";
    out += "| View | How to get there | How to leave |\n|---|---|---|\n";
    for (const View& v : kViews)
        out += "| " + MdText(v.name) + " | " + MdText(v.enter) + " | " + MdText(v.leave) + " |\n";

    out += "\n### Character commands\n\n";
    out += "A key in the first column acts on the figure of the portrait (and on the right-hand figure of the "
           "scene show); the key in the second column does the same for the left-hand figure and works only "
           "while the scene show runs.\n";
    for (const Task& task : kTasks) {
        out += "\n#### " + std::string(task.title) + "\n\n";
        out += "| Main figure | Left figure (show) | What it does | Typing the left key |\n|---|---|---|---|\n";
        for (const CharacterCommand& c : kCharacterCommands)
            if (&TaskOf(c) == &task)
                out += "| " + MdKeys(c.main) + " | " + MdKeys(c.left) + " | " + MdText(c.what) + " | " +
                       MdText(c.typing) + " |\n";
    }

    out += "\n### Special keys\n\n";
    out += "| Key | What it does | With Shift | With Ctrl |\n|---|---|---|---|\n";
    for (const NamedKey& k : kNamedKeys)
        out += "| " + std::string(k.name) + " | " + MdText(k.what) + " | " + MdText(k.withShift) + " | " +
               MdText(k.withCtrl) + " |\n";

    out += "\n### Mouse and wheel\n\n";
    out += "| Action | View | What it does |\n|---|---|---|\n";
    for (const MouseAction& m : kMouseActions)
        out += "| " + MdText(m.gesture) + " | " + MdText(m.view) + " | " + MdText(m.what) + " |\n";

    return out;
}

std::string Roff()
{
    // Three columns fit a terminal: the typing note goes below the text.
    std::string rows;
    for (const CharacterCommand& c : kCharacterCommands) {
        std::string what = RoffText(Tr(c.what));
        if (!c.typing.empty())
            what += "\n.br\n(" + RoffText(Tr(c.typing)) + ")";
        rows += RoffKeys(c.main) + "@" + RoffKeys(c.left) + "@" + RoffCell(what) + "\n";
    }
    std::string out = RoffTable(_("Character commands"),
                                RoffText(_("The first key acts on the figure of the portrait (and on the right-hand "
                                           "figure of the scene show); the second does the same for the left-hand "
                                           "figure and works only while the scene show runs.")),
                                "lB lB lB\nl l lx",
                                std::string(_("Main")) + "@" + C_("figure", "Left") + "@" + _("What it does"), rows);

    rows.clear();
    for (const NamedKey& k : kNamedKeys) {
        std::string what = RoffText(Tr(k.what));
        if (!k.withShift.empty())
            what += "\n.br\n\\fIShift:\\fR " + RoffText(Tr(k.withShift));
        if (!k.withCtrl.empty())
            what += "\n.br\n\\fICtrl:\\fR " + RoffText(Tr(k.withCtrl));
        rows += RoffText(KeyTr(k.name)) + "@" + RoffCell(what) + "\n";
    }
    out += RoffTable(_("Special keys"), RoffText(_("With Shift or Ctrl held, some keys do more, as noted.")),
                     "lB lB\nl lx", std::string(_("Key")) + "@" + _("What it does"), rows);

    rows.clear();
    for (const MouseAction& m : kMouseActions)
        rows += RoffCell(RoffText(Tr(m.gesture))) + "@" + RoffCell(RoffText(Tr(m.view))) + "@" +
                RoffCell(RoffText(Tr(m.what))) + "\n";
    out += RoffTable(_("Mouse and wheel"), "", "lB lB lB\nlx lx lx",
                     std::string(_("Action")) + "@" + _("View") + "@" + _("What it does"), rows);

    rows.clear();
    for (const View& v : kViews)
        rows += RoffCell(RoffText(Tr(v.name))) + "@" + RoffCell(RoffText(Tr(v.enter))) + "@" +
                RoffCell(RoffText(Tr(v.leave))) + "\n";
    out += RoffTable(_("Views"), "", "lB lB lB\nlx lx lx",
                     std::string(_("View")) + "@" + _("How to get there") + "@" + _("How to leave"), rows);
    return out;
}

std::string PlainText()
{
    // The README's tables, in its order and groups.
    std::string out = std::string(_("Views:")) + "\n";
    for (const View& v : kViews)
        out += "  " + Pad(Tr(v.name), 26) + vcl::Format(_("from: %s; leave: %s"), Tr(v.enter), Tr(v.leave)) + "\n";

    out += "\n" + std::string(_("Character commands (second key: the left figure, in the scene show only):")) + "\n";
    for (const Task& task : kTasks) {
        out += " " + Tr(task.title) + "\n";
        for (const CharacterCommand& c : kCharacterCommands) {
            if (&TaskOf(c) != &task)
                continue;
            out += "  " + Pad(PlainKeys(c.main), 12) + Pad(PlainKeys(c.left), 5) + Tr(c.what) + "\n";
            if (!c.typing.empty())
                out += "  " + std::string(17, ' ') + "(" + PlainKeys(c.left) + ": " + Tr(c.typing) + ")\n";
        }
    }
    out += "\n" + std::string(_("Special keys:")) + "\n";
    for (const NamedKey& k : kNamedKeys) {
        out += "  " + Pad(KeyTr(k.name), 17) + Tr(k.what) + "\n";
        if (!k.withShift.empty())
            out += "  " + Pad("  Shift", 17) + Tr(k.withShift) + "\n";
        if (!k.withCtrl.empty())
            out += "  " + Pad("  Ctrl", 17) + Tr(k.withCtrl) + "\n";
    }
    out += "\n" + std::string(_("Mouse and wheel:")) + "\n";
    for (const MouseAction& m : kMouseActions)
        out += "  " + vcl::Format(_("%s (%s): %s"), Tr(m.gesture), Tr(m.view), Tr(m.what)) + "\n";
    return out;
}

} // namespace velmia::keyhelp
