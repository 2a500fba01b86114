// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/soak/Event.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace velmia::soak {

namespace {

constexpr const char* kKindNames[] = {"tick1", "tick2",  "char",    "key",       "click", "dblclick",
                                      "right", "middle", "wheelup", "wheeldown", "pick",  "check"};
static_assert(sizeof(kKindNames) / sizeof(kKindNames[0]) == size_t(EventKind::Count));

bool ParseInt(const std::string& text, long& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 0);
    return end && *end == '\0';
}

} // namespace

const char* KindName(EventKind kind)
{
    return kKindNames[size_t(kind)];
}

std::string FormatEvent(const Event& e)
{
    std::ostringstream out;
    out << KindName(e.kind);
    switch (e.kind) {
    case EventKind::Char:
    case EventKind::Key:
        out << " code=" << e.code;
        break;
    case EventKind::Click:
    case EventKind::DblClick:
    case EventKind::RightPress:
    case EventKind::MiddlePress:
        out << " x=" << e.x << " y=" << e.y;
        break;
    case EventKind::Pick:
        out << " cell=" << e.x;
        break;
    case EventKind::Check:
        out << " name=" << e.name;
        if (!e.arg.empty())
            out << " arg=" << e.arg;
        break;
    default:
        break;
    }
    if (e.shift)
        out << " shift=1";
    if (e.ctrl)
        out << " ctrl=1";
    switch (e.answer.kind) {
    case Answer::Kind::None:
        break;
    case Answer::Kind::Cancel:
        out << " answer=cancel";
        break;
    case Answer::Kind::Open:
        out << " answer=open:" << e.answer.path;
        break;
    case Answer::Kind::Save:
        out << " answer=save:" << e.answer.path;
        break;
    case Answer::Kind::Colour:
        out << " answer=colour:" << e.answer.colour;
        break;
    }
    return out.str();
}

std::optional<Event> ParseEvent(const std::string& line)
{
    std::istringstream in(line);
    std::string word;
    if (!(in >> word))
        return std::nullopt;
    Event e;
    bool known = false;
    for (size_t k = 0; k < size_t(EventKind::Count); ++k)
        if (word == kKindNames[k]) {
            e.kind = EventKind(k);
            known = true;
        }
    if (!known)
        return std::nullopt;
    while (in >> word) {
        const size_t eq = word.find('=');
        if (eq == std::string::npos)
            return std::nullopt;
        const std::string key = word.substr(0, eq);
        const std::string value = word.substr(eq + 1);
        long n = 0;
        if (key == "name") {
            e.name = value;
        } else if (key == "arg") {
            e.arg = value;
        } else if (key == "answer") {
            const size_t colon = value.find(':');
            const std::string what = value.substr(0, colon);
            const std::string rest = colon == std::string::npos ? std::string() : value.substr(colon + 1);
            if (what == "cancel") {
                e.answer.kind = Answer::Kind::Cancel;
            } else if (what == "open" && !rest.empty()) {
                e.answer = {Answer::Kind::Open, rest, 0};
            } else if (what == "save" && !rest.empty()) {
                e.answer = {Answer::Kind::Save, rest, 0};
            } else if (what == "colour" && ParseInt(rest, n)) {
                e.answer = {Answer::Kind::Colour, {}, uint32_t(n)};
            } else {
                return std::nullopt;
            }
        } else if (!ParseInt(value, n)) {
            return std::nullopt;
        } else if (key == "code") {
            e.code = int(n);
        } else if (key == "x" || key == "cell") {
            e.x = int(n);
        } else if (key == "y") {
            e.y = int(n);
        } else if (key == "shift") {
            e.shift = n != 0;
        } else if (key == "ctrl") {
            e.ctrl = n != 0;
        } else {
            return std::nullopt;
        }
    }
    return e;
}

} // namespace velmia::soak
