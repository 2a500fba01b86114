// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A selection set: the variables that say how one figure is dressed. There
// are three sets of the same members: the main figure's (the names as they
// stand), the show's left figure's (`Left` names) and a backup (`Saved`
// names). The members are listed once, here; everything that walks a set
// (the copies, the show's figure descriptions, the tests) expands this list.
#pragma once

#include <cstdint>

// The three sets.
enum class SelectionSet : uint8_t { Main, Left, Saved };

// The figure a command acts on: the main one (the portrait, and the show's
// right figure, dressed by the main set) or the show's left one.
enum class Figure : uint8_t { Main, Left };

// X(type, name) for every member, in the order the set copies assign them.
#define VELMIA_SELECTION_MEMBERS(X)                                                                                    \
    X(int32_t, EarringIndex)                                                                                           \
    X(int32_t, EarringFrameIndex)                                                                                      \
    X(int32_t, BraceletIndex)                                                                                          \
    X(int32_t, FlowerAlt)                                                                                              \
    X(int32_t, FaceIndex)                                                                                              \
    X(bool, EarringAuto)                                                                                               \
    X(bool, FaceAuto)                                                                                                  \
    X(bool, BraceletShown)                                                                                             \
    X(bool, LongHair)                                                                                                  \
    X(bool, ShaggyHair)                                                                                                \
    X(bool, PankHair)                                                                                                  \
    X(bool, OtohimeHair)                                                                                               \
    X(bool, BraceletAuto)                                                                                              \
    X(int32_t, MainHairHidden)                                                                                         \
    X(bool, StringPatternOn)                                                                                           \
    X(bool, ThickStringOn)                                                                                             \
    X(bool, WStringOn)                                                                                                 \
    X(bool, CrossStringOn)                                                                                             \
    X(bool, RibbonShown)                                                                                               \
    X(int32_t, StringPatternIndex)                                                                                     \
    X(bool, HairBandShown)                                                                                             \
    X(bool, FlowerShown)                                                                                               \
    X(bool, ChokerShown)                                                                                               \
    X(bool, EyesClosed)                                                                                                \
    X(bool, TouchOpened)                                                                                               \
    X(bool, CamisoleShown)

// A view of one set's members; made by the form's MainSet(), LeftSet() and
// SavedSet(), so that one routine can serve either figure.
struct SelectionRef {
#define VELMIA_SELECTION_REF(type, name) type& name;
    VELMIA_SELECTION_MEMBERS(VELMIA_SELECTION_REF)
#undef VELMIA_SELECTION_REF

    // Copies every member of `from` into this set.
    void Assign(const SelectionRef& from) const
    {
#define VELMIA_SELECTION_COPY(type, name) name = from.name;
        VELMIA_SELECTION_MEMBERS(VELMIA_SELECTION_COPY)
#undef VELMIA_SELECTION_COPY
    }

    // The four string pattern flags, in pattern order (0 single .. 3 cross).
    bool* PatternFlag(int pattern) const
    {
        bool* flags[4] = {&StringPatternOn, &ThickStringOn, &WStringOn, &CrossStringOn};
        return pattern >= 0 && pattern < 4 ? flags[pattern] : nullptr;
    }

    // String pattern `pattern` on and the others off (all off for none: -1).
    void ShowPattern(int pattern) const
    {
        for (int p = 0; p < 4; ++p)
            *PatternFlag(p) = p == pattern;
    }
};
