// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// One input of the random driver: a timer tick, a key, a mouse action, a
// browser pick or a paired check, with the answer its dialog gets. Events are
// written one a line to replay files and read back from them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmia::soak {

enum class EventKind {
    Tick1,      // Timer1 fires
    Tick2,      // Timer2 fires
    Char,       // a typed character (its key goes down first)
    Key,        // a key that makes no character, with Ctrl and Shift
    Click,      // left press and release
    DblClick,   // left double-click
    RightPress, // with or without Shift
    MiddlePress,
    WheelUp,
    WheelDown,
    Pick,  // double-click on cell `x` of the open part browser
    Check, // a paired check (see Checks.h); `name` says which
    Count
};

const char* KindName(EventKind kind);

// What the next dialog is told.
struct Answer {
    enum class Kind { None, Cancel, Open, Save, Colour } kind = Kind::None;
    std::string path; // Open and Save
    uint32_t colour = 0;
};

struct Event {
    EventKind kind = EventKind::Tick1;
    int code = 0; // character code or virtual key
    int x = 0, y = 0;
    bool shift = false;
    bool ctrl = false;
    Answer answer;
    std::string name; // checks: which one; its arguments follow in `arg`
    std::string arg;
};

// One line of a replay file (no newline). Paths and names hold no spaces.
std::string FormatEvent(const Event& e);
// The inverse of FormatEvent; nullopt for a line that is not an event.
std::optional<Event> ParseEvent(const std::string& line);

} // namespace velmia::soak
