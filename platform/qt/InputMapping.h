// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Turning Qt's keyboard and mouse input into the events the form expects.
// Everything here is a plain function or a small state machine fed with the
// values a QKeyEvent / QMouseEvent / QWheelEvent carries, so that it can be
// tested without a window.
#pragma once

#include "toolkit/Types.h"

#include <QString>
#include <Qt>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmia::qt {

// What one key press gives the form: OnKeyDown with Vk, then OnKeyPress with
// Char when the key makes a character.
struct KeyDelivery {
    uint16_t Vk = 0;
    std::optional<char> Char;
    friend bool operator==(const KeyDelivery&, const KeyDelivery&) = default;
};

// Maps a key press. `key` is QKeyEvent::key(), `text` QKeyEvent::text().
// Modifier-only presses (Shift, Ctrl, Alt, ...) give nothing.
//  - Special keys give their virtual-key code; Backspace, Tab, Enter and
//    Escape also give their characters 8, 9, 13 and 27.
//  - Printable ASCII gives the character from the event text and the code of
//    the key that types it on a US keyboard ('~' -> 0xC0, '(' -> '9').
//  - Ctrl+letter gives the control character (Ctrl+A -> 1), as the old
//    toolkit did; the program reads the Ctrl key itself with GetKeyState.
//  - With Alt held (not AltGr) a key gives OnKeyDown only, no character.
//  - Characters outside ASCII give no character.
std::optional<KeyDelivery> MapKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// The shift-state flags of the toolkit for these modifiers and buttons.
vcl::TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

// What the form sees of the mouse buttons. Windows' order is kept for a
// double-click: press (MouseDown), release (Click), second press (DblClick,
// then MouseDown), release (nothing). Right and middle presses give MouseDown
// only. A click needs the release inside the client area, as before.
struct MouseAction {
    enum Kind { MouseDown, Click, DblClick } kind;
    vcl::TMouseButton button = vcl::TMouseButton::mbLeft;
    bool isDouble = false; // MouseDown of the second press of a double-click
    friend bool operator==(const MouseAction&, const MouseAction&) = default;
};

class MouseMapper {
public:
    // Double-click limits: time between the presses and distance in pixels.
    MouseMapper(int doubleClickMs = 400, int doubleClickDistance = 4)
        : doubleClickMs_(doubleClickMs), distance_(doubleClickDistance)
    {
    }

    // A button went down at client (x, y) at `timeMs` (event timestamp).
    // Double-clicks are recognised here from the timing and distance of the
    // presses, whatever Qt reports as double-click events, so the order
    // does not depend on the Qt version or the platform plug-in.
    std::vector<MouseAction> Press(Qt::MouseButton button, int x, int y, uint64_t timeMs);
    // A button went up; `inside` says whether the pointer is over the client area.
    std::vector<MouseAction> Release(Qt::MouseButton button, bool inside);

private:
    int doubleClickMs_;
    int distance_;
    bool havePrevious_ = false; // a left press that may start a double-click
    uint64_t previousTime_ = 0;
    int previousX_ = 0, previousY_ = 0;
    bool clickArmed_ = false; // the left release will click
};

// Turns wheel angle deltas (1/8 degree; 120 per notch) into whole notches,
// keeping the remainder of high-resolution wheels. Positive = away from the
// user (wheel up). A change of direction drops the remainder.
class WheelAccumulator {
public:
    // Returns the signed number of whole notches completed by this delta.
    int Add(int angleDelta);

private:
    int rest_ = 0;
};

} // namespace velmia::qt
