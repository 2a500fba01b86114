// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/InputMapping.h"

#include "platform/qt/UsKeyboard.h"

#include <cstdlib>

namespace velmia::qt {

using namespace vcl;

namespace {

bool IsModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

struct Special {
    int key;
    uint16_t vk;
    char ch; // 0: no character
};

constexpr Special kNamedKeys[] = {
    {Qt::Key_Backspace, VK_BACK, 8}, {Qt::Key_Tab, VK_TAB, 9},       {Qt::Key_Backtab, VK_TAB, 9},
    {Qt::Key_Return, VK_RETURN, 13}, {Qt::Key_Enter, VK_RETURN, 13}, {Qt::Key_Escape, VK_ESCAPE, 27},
    {Qt::Key_Pause, VK_PAUSE, 0},    {Qt::Key_PageUp, VK_PRIOR, 0},  {Qt::Key_PageDown, VK_NEXT, 0},
    {Qt::Key_End, VK_END, 0},        {Qt::Key_Home, VK_HOME, 0},     {Qt::Key_Left, VK_LEFT, 0},
    {Qt::Key_Up, VK_UP, 0},          {Qt::Key_Right, VK_RIGHT, 0},   {Qt::Key_Down, VK_DOWN, 0},
    {Qt::Key_Insert, VK_INSERT, 0},  {Qt::Key_Delete, VK_DELETE, 0},
};

constexpr uint16_t kVkNumpad0 = 0x60;

} // namespace

std::optional<KeyDelivery> MapKey(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (IsModifierKey(key))
        return std::nullopt;

    const bool alt = modifiers.testFlag(Qt::AltModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);

    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return KeyDelivery{uint16_t(VK_F1 + (key - Qt::Key_F1)), std::nullopt};
    for (const Special& s : kNamedKeys) {
        if (s.key == key) {
            KeyDelivery d{s.vk, std::nullopt};
            if (s.ch != 0 && !alt)
                d.Char = s.ch;
            return d;
        }
    }
    if (key == Qt::Key_Space)
        return KeyDelivery{VK_SPACE, alt ? std::nullopt : std::optional<char>(' ')};

    // Character keys. The key code of the character's key follows the US
    // layout; the character itself comes from the event text.
    KeyDelivery d;
    if (key >= 0x20 && key <= 0x7e)
        d.Vk = KeyForCharacter(char(key)).Vk;
    if (modifiers.testFlag(Qt::KeypadModifier) && key >= Qt::Key_0 && key <= Qt::Key_9)
        d.Vk = uint16_t(kVkNumpad0 + (key - Qt::Key_0));

    if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (!alt)
            d.Char = char(key - Qt::Key_A + 1);
    } else if (!alt && !ctrl && text.size() == 1) {
        const char16_t c = text.at(0).unicode();
        if (c >= 0x20 && c <= 0x7e) {
            d.Char = char(c);
            if (d.Vk == 0)
                d.Vk = KeyForCharacter(char(c)).Vk;
        }
    }
    if (d.Vk == 0 && !d.Char)
        return std::nullopt;
    return d;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        s |= ssShift;
    if (modifiers.testFlag(Qt::ControlModifier))
        s |= ssCtrl;
    if (modifiers.testFlag(Qt::AltModifier))
        s |= ssAlt;
    if (buttons.testFlag(Qt::LeftButton))
        s |= ssLeft;
    if (buttons.testFlag(Qt::RightButton))
        s |= ssRight;
    if (buttons.testFlag(Qt::MiddleButton))
        s |= ssMiddle;
    return s;
}

std::vector<MouseAction> MouseMapper::Press(Qt::MouseButton button, int x, int y, uint64_t timeMs)
{
    switch (button) {
    case Qt::LeftButton: {
        const bool isDouble = havePrevious_ && timeMs >= previousTime_ &&
                              timeMs - previousTime_ <= uint64_t(doubleClickMs_) &&
                              std::abs(x - previousX_) <= distance_ && std::abs(y - previousY_) <= distance_;
        if (isDouble) {
            // A third press starts afresh.
            havePrevious_ = false;
            clickArmed_ = false;
            return {{MouseAction::DblClick}, {MouseAction::MouseDown, TMouseButton::mbLeft, true}};
        }
        havePrevious_ = true;
        previousTime_ = timeMs;
        previousX_ = x;
        previousY_ = y;
        clickArmed_ = true;
        return {{MouseAction::MouseDown, TMouseButton::mbLeft}};
    }
    case Qt::RightButton:
        havePrevious_ = false;
        return {{MouseAction::MouseDown, TMouseButton::mbRight}};
    case Qt::MiddleButton:
        havePrevious_ = false;
        return {{MouseAction::MouseDown, TMouseButton::mbMiddle}};
    default:
        return {};
    }
}

std::vector<MouseAction> MouseMapper::Release(Qt::MouseButton button, bool inside)
{
    if (button != Qt::LeftButton || !clickArmed_)
        return {};
    clickArmed_ = false;
    if (!inside)
        return {};
    return {{MouseAction::Click}};
}

int WheelAccumulator::Add(int angleDelta)
{
    if ((angleDelta > 0 && rest_ < 0) || (angleDelta < 0 && rest_ > 0))
        rest_ = 0;
    rest_ += angleDelta;
    const int notches = rest_ / 120; // truncates toward zero
    rest_ -= notches * 120;
    return notches;
}

} // namespace velmia::qt
