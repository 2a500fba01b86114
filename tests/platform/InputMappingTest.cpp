// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/InputMapping.h"

#include "platform/qt/UsKeyboard.h"

#include <gtest/gtest.h>

using namespace velmia::qt;
using vcl::TMouseButton;

namespace {

struct KeyCase {
    const char* what;
    int key;
    Qt::KeyboardModifiers mods;
    const char* text;
    uint16_t vk;
    int ch; // -1: no character
};

std::string Describe(const KeyCase& c)
{
    return c.what;
}

} // namespace

TEST(MapKey, SpecialAndCharacterKeys)
{
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const KeyCase cases[] = {
        {"F1", Qt::Key_F1, none, "", 112, -1},
        {"F2", Qt::Key_F2, none, "", 113, -1},
        {"F3", Qt::Key_F3, none, "", 114, -1},
        {"F4", Qt::Key_F4, none, "", 115, -1},
        {"F5", Qt::Key_F5, none, "", 116, -1},
        {"F6", Qt::Key_F6, none, "", 117, -1},
        {"F7", Qt::Key_F7, none, "", 118, -1},
        {"Left", Qt::Key_Left, none, "", 37, -1},
        {"Up", Qt::Key_Up, none, "", 38, -1},
        {"Right", Qt::Key_Right, none, "", 39, -1},
        {"Down", Qt::Key_Down, none, "", 40, -1},
        {"Page Up", Qt::Key_PageUp, none, "", 33, -1},
        {"Page Down", Qt::Key_PageDown, none, "", 34, -1},
        {"Home", Qt::Key_Home, none, "", 36, -1},
        {"Insert", Qt::Key_Insert, none, "", 45, -1},
        {"Shift+Insert", Qt::Key_Insert, shift, "", 45, -1},
        {"Pause", Qt::Key_Pause, none, "", 19, -1},
        {"Backspace", Qt::Key_Backspace, none, "\b", 8, 8},
        {"Escape", Qt::Key_Escape, none, "\x1b", 27, 27},
        {"Enter", Qt::Key_Return, none, "\r", 13, 13},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", 13, 13},
        {"Space", Qt::Key_Space, none, " ", 32, ' '},
        {"a", Qt::Key_A, none, "a", 'A', 'a'},
        {"Shift+a", Qt::Key_A, shift, "A", 'A', 'A'},
        {"7", Qt::Key_7, none, "7", '7', '7'},
        {"keypad 7", Qt::Key_7, Qt::KeypadModifier, "7", 0x67, '7'},
        {"~", Qt::Key_AsciiTilde, shift, "~", velmia::VK_OEM_3, '~'},
        {"_", Qt::Key_Underscore, shift, "_", velmia::VK_OEM_MINUS, '_'},
        {"(", Qt::Key_ParenLeft, shift, "(", '9', '('},
        {")", Qt::Key_ParenRight, shift, ")", '0', ')'},
        {"\"", Qt::Key_QuoteDbl, shift, "\"", velmia::VK_OEM_7, '"'},
        {"'", Qt::Key_Apostrophe, none, "'", velmia::VK_OEM_7, '\''},
        {"Ctrl+a gives the control character", Qt::Key_A, Qt::ControlModifier, "\x01", 'A', 1},
        {"Ctrl+z without text from the platform", Qt::Key_Z, Qt::ControlModifier, "", 'Z', 26},
        {"Alt+a: key only", Qt::Key_A, Qt::AltModifier, "a", 'A', -1},
        {"non-ASCII letter: no character", Qt::Key_Eacute, none, "\xc3\xa9", 0, -2},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(Describe(c));
        const auto d = MapKey(c.key, c.mods, QString::fromUtf8(c.text));
        if (c.ch == -2) {
            EXPECT_FALSE(d.has_value());
            continue;
        }
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->Vk, c.vk);
        if (c.ch < 0)
            EXPECT_FALSE(d->Char.has_value());
        else
            EXPECT_EQ(d->Char, std::optional<char>(char(c.ch)));
    }
}

TEST(MapKey, ModifierOnlyPressesAreNotKeys)
{
    for (int key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_AltGr, Qt::Key_Meta, Qt::Key_CapsLock,
                    Qt::Key_NumLock, Qt::Key_Super_L}) {
        EXPECT_FALSE(MapKey(key, Qt::ShiftModifier, QString()).has_value()) << std::hex << key;
    }
}

// The host types characters through the same table; every shifted character
// must need Shift and every printable one must have a key.
TEST(UsKeyboard, EveryPrintableCharacterHasAKey)
{
    for (int c = 0x20; c <= 0x7e; ++c) {
        const auto k = velmia::KeyForCharacter(char(c));
        EXPECT_NE(k.Vk, 0) << char(c);
    }
    for (char c : std::string("~!@#$%^&*()_+{}|:\"<>?ABCXYZ"))
        EXPECT_TRUE(velmia::KeyForCharacter(c).Shift) << c;
    for (char c : std::string("`1234567890-=[]\\;',./abcxyz "))
        EXPECT_FALSE(velmia::KeyForCharacter(c).Shift) << c;
}

// ---- Mouse ---------------------------------------------------------------

namespace {

using A = MouseAction;
const A kDown{A::MouseDown, TMouseButton::mbLeft};
const A kDownDouble{A::MouseDown, TMouseButton::mbLeft, true};
const A kClick{A::Click};
const A kDbl{A::DblClick};

struct Step {
    bool press;
    Qt::MouseButton button;
    int x, y;
    uint64_t t;
};

std::vector<A> Feed(const std::vector<Step>& steps)
{
    MouseMapper m(400, 4);
    std::vector<A> out;
    for (const Step& s : steps) {
        auto got = s.press ? m.Press(s.button, s.x, s.y, s.t) : m.Release(s.button, s.x >= 0);
        out.insert(out.end(), got.begin(), got.end());
    }
    return out;
}

} // namespace

TEST(MouseMapper, ButtonSequences)
{
    const auto L = Qt::LeftButton;
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<A> expected;
    } cases[] = {
        {"single click", {{true, L, 5, 5, 1000}, {false, L, 5, 5, 1050}}, {kDown, kClick}},
        {"double-click: press, click, double-click, press, nothing on release",
         {{true, L, 5, 5, 1000}, {false, L, 5, 5, 1050}, {true, L, 6, 5, 1200}, {false, L, 6, 5, 1250}},
         {kDown, kClick, kDbl, kDownDouble}},
        {"triple press: the third starts afresh",
         {{true, L, 5, 5, 1000},
          {false, L, 5, 5, 1050},
          {true, L, 5, 5, 1100},
          {false, L, 5, 5, 1150},
          {true, L, 5, 5, 1200},
          {false, L, 5, 5, 1250}},
         {kDown, kClick, kDbl, kDownDouble, kDown, kClick}},
        {"second press too late",
         {{true, L, 5, 5, 1000}, {false, L, 5, 5, 1050}, {true, L, 5, 5, 1401}},
         {kDown, kClick, kDown}},
        {"second press too far",
         {{true, L, 5, 5, 1000}, {false, L, 5, 5, 1050}, {true, L, 10, 5, 1100}},
         {kDown, kClick, kDown}},
        {"release outside the window: no click", {{true, L, 5, 5, 1000}, {false, L, -1, 0, 1050}}, {kDown}},
        {"right and middle: press only",
         {{true, Qt::RightButton, 5, 5, 1000},
          {false, Qt::RightButton, 5, 5, 1010},
          {true, Qt::MiddleButton, 5, 5, 1020},
          {false, Qt::MiddleButton, 5, 5, 1030}},
         {{A::MouseDown, TMouseButton::mbRight}, {A::MouseDown, TMouseButton::mbMiddle}}},
        {"a right press between two left presses breaks the double-click",
         {{true, L, 5, 5, 1000}, {false, L, 5, 5, 1010}, {true, Qt::RightButton, 5, 5, 1020}, {true, L, 5, 5, 1030}},
         {kDown, kClick, {A::MouseDown, TMouseButton::mbRight}, kDown}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Feed(c.steps), c.expected);
    }
}

TEST(WheelAccumulator, WholeNotchesInBothDirections)
{
    struct Case {
        const char* what;
        std::vector<int> deltas;
        std::vector<int> notches;
    } cases[] = {
        {"one notch away from the user is up", {120}, {1}},
        {"one notch towards the user is down", {-120}, {-1}},
        {"two notches in one event", {240}, {2}},
        {"high-resolution wheel adds up", {40, 40, 40, 40}, {0, 0, 1, 0}},
        {"turning back drops the remainder", {100, -100, -20}, {0, 0, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WheelAccumulator w;
        std::vector<int> got;
        for (int d : c.deltas)
            got.push_back(w.Add(d));
        EXPECT_EQ(got, c.notches);
    }
}
