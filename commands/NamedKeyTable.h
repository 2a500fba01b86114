// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The keys that make no character, as one table: for every key the state in
// which it acts, the action, and the text the key help shows for it.
// FormKeyDown looks a key up here; `velmia --help`, the manual page and the
// README are written from the same rows, as the character commands are from
// theirs (commands/KeyCommandTable.h).
#pragma once

#include "shell/Velmiaunit1.h"
#include "toolkit/Intl.h"

#include <array>
#include <cstdint>
#include <string_view>

// When a row acts. The first four act before anything else: on the character
// the key delivers, while the part browser is open (which takes every key),
// and in every view even while the form is busy. The others act only outside
// the browser, when the form is not busy and neither the grey nor the
// four-figure view is on.
enum class KeyState : uint8_t {
    HelpOnly,       // handled elsewhere (Ctrl with a letter: FormKeyPress)
    Character,      // FormKeyPress, on the row's character, in every state
    Browser,        // the part browser is open
    Always,         // the browser is closed; the press ends here
    AlwaysThenOn,   // the same, and the press goes on to the rows below
    InEveryView,    // from here on: not busy, not the grey or four-figure view
    Portrait,       // the portrait view
    CloseUpAllowed, // the close-up may be entered: not the show, no touch holding the eyes open
    CloseUpZoom,    // in the close-up, when its magnification may change
    OutsideCloseUp, // any view but the close-up
};

// The states checked before the busy check.
constexpr bool ActsFirst(KeyState when)
{
    return when == KeyState::Browser || when == KeyState::Always || when == KeyState::AlwaysThenOn;
}

// The part browser a key opens: the part kind, the pattern of its files, and
// the size of its thumbnails (the part's own size is its cell's).
struct BrowserColumn {
    TSvelmia::PartKind kind{};
    const char* pattern = nullptr; // null: the key opens no browser
    int thumbWidth = 0, thumbHeight = 0;
};

struct NamedKeyRow {
    uint16_t key; // virtual-key code as the form receives it
    KeyState when;
    void (TSvelmia::*action)(uint16_t key);
    // The key help. A row without a name is listed with the key's row above.
    std::string_view name = {};
    std::string_view what = {};
    std::string_view withShift = {}; // empty: Shift changes nothing
    std::string_view withCtrl = {};  // empty: Ctrl changes nothing
    char character = 0;              // the character the key also delivers, 0 for none
    BrowserColumn browser = {};
};

// In the order of the help.
inline constexpr std::array kNamedKeyRows = {
    // clang-format off
    NamedKeyRow{vcl::VK_ESCAPE, KeyState::Character, &TSvelmia::CloseOrQuit, "Esc",
                  N_("Close the part browser, the close-up or the title banner; otherwise quit"), {}, {}, 27},
    NamedKeyRow{vcl::VK_F1, KeyState::Always, &TSvelmia::ShowTitleBanner, "F1",
                  N_("Show the title banner (the next mouse press hides it)")},
    NamedKeyRow{vcl::VK_F2, KeyState::OutsideCloseUp, &TSvelmia::OpenPartBrowser, "F2",
                  N_("Part browser: costumes (vlm_co*.bmp)"), {}, {}, 0,
                  {TSvelmia::kPartCostume, "vlm_co*.bmp", layout::kCostumeThumbSource.Width() / layout::kBandThumbScale, layout::kCostumeThumbSource.Height() / layout::kBandThumbScale}},
    NamedKeyRow{vcl::VK_F3, KeyState::OutsideCloseUp, &TSvelmia::OpenPartBrowser, "F3",
                  N_("Part browser: camisoles (vlm_ca*.bmp)"), {}, {}, 0,
                  {TSvelmia::kPartCamisole, "vlm_ca*.bmp", layout::kCamisoleThumbSource.Width() / layout::kBandThumbScale, layout::kCamisoleThumbSource.Height() / layout::kBandThumbScale}},
    NamedKeyRow{vcl::VK_F4, KeyState::OutsideCloseUp, &TSvelmia::OpenPartBrowser, "F4",
                  N_("Part browser: hairbands (vlm_hb*.bmp)"), {}, {}, 0,
                  {TSvelmia::kPartHairBand, "vlm_hb*.bmp", layout::PlacementWidth(peHairBand), layout::SourceRows(peHairBand)}},
    NamedKeyRow{vcl::VK_F5, KeyState::OutsideCloseUp, &TSvelmia::OpenPartBrowser, "F5",
                  N_("Part browser: flowers (vlm_fl*.bmp)"), {}, {}, 0,
                  {TSvelmia::kPartFlower, "vlm_fl*.bmp", layout::PlacementWidth(peFlower), layout::SourceRows(peFlower)}},
    NamedKeyRow{vcl::VK_F6, KeyState::OutsideCloseUp, &TSvelmia::OpenPartBrowser, "F6",
                  N_("Part browser: ribbons (vlm_ri*.bmp)"), {}, {}, 0,
                  {TSvelmia::kPartRibbon, "vlm_ri*.bmp", layout::PlacementWidth(peRibbon), layout::SourceRows(peRibbon)}},
    NamedKeyRow{vcl::VK_F7, KeyState::OutsideCloseUp, &TSvelmia::OpenPartBrowser, "F7",
                  N_("Part browser: chokers (vlm_ch*.bmp)"), {}, {}, 0,
                  {TSvelmia::kPartChoker, "vlm_ch*.bmp", layout::PlacementWidth(peChoker), layout::kChokerCell}},
    NamedKeyRow{vcl::VK_LEFT, KeyState::OutsideCloseUp, &TSvelmia::MoveFigures, NC_("key", "Left"),
                  N_("Portrait: move the figure 20 pixels left. Show: move the right figure 10 pixels left"),
                  N_("Portrait: 10 pixels. Show: move the left figure instead"),
                  N_("Portrait: 100 pixels, slower near the edge. Show: 20 pixels")},
    NamedKeyRow{vcl::VK_RIGHT, KeyState::OutsideCloseUp, &TSvelmia::MoveFigures, NC_("key", "Right"),
                  N_("Portrait: move the figure 20 pixels right. Show: move the right figure 10 pixels right"),
                  N_("Portrait: 10 pixels. Show: move the left figure instead"),
                  N_("Portrait: 100 pixels, slower near the edge. Show: 20 pixels")},
    NamedKeyRow{vcl::VK_INSERT, KeyState::Portrait, &TSvelmia::RememberedPlace, "Insert",
                  N_("Portrait: move the figure back to the remembered place"), N_("Remember the figure's place")},
    NamedKeyRow{vcl::VK_BACK, KeyState::InEveryView, &TSvelmia::ResetOrSwitch, "Backspace",
                  N_("Portrait: the figure back to the middle. Show: the figures back to their places. Close-up: "
                     "switch to the kept close-up")},
    NamedKeyRow{vcl::VK_PRIOR, KeyState::CloseUpAllowed, &TSvelmia::EnterOrZoomCloseUp, "Page Up",
                  N_("Close-up of the face at 140 %; in the close-up: zoom in, up to 200 % (not in the show). Part "
                     "browser: the previous page"),
                  N_("Enter the close-up keeping the previous one (Backspace switches)")},
    NamedKeyRow{vcl::VK_PRIOR, KeyState::Browser, &TSvelmia::TurnBrowserPageKey},
    NamedKeyRow{vcl::VK_UP, KeyState::CloseUpZoom, &TSvelmia::ZoomCloseUpKey, NC_("key", "Up"), N_("Close-up: zoom in")},
    NamedKeyRow{vcl::VK_NEXT, KeyState::CloseUpZoom, &TSvelmia::ZoomCloseUpKey, "Page Down",
                  N_("Close-up: zoom out, down to 140 %. Part browser: the next page")},
    NamedKeyRow{vcl::VK_NEXT, KeyState::Browser, &TSvelmia::TurnBrowserPageKey},
    NamedKeyRow{vcl::VK_DOWN, KeyState::CloseUpZoom, &TSvelmia::ZoomCloseUpKey, NC_("key", "Down"), N_("Close-up: zoom out")},
    NamedKeyRow{vcl::VK_HOME, KeyState::InEveryView, &TSvelmia::LeaveOrReenterCloseUp, "Home",
                  N_("Leave the close-up; elsewhere: back to the last close-up")},
    NamedKeyRow{vcl::VK_PAUSE, KeyState::AlwaysThenOn, &TSvelmia::TogglePriority, "Pause",
                  N_("Run at low priority, on or off")},
    // Ctrl with a letter makes a control character: FormKeyPress.
    NamedKeyRow{'S', KeyState::HelpOnly, nullptr, "Ctrl+S",
                  N_("Save the look (what she wears, her hair, the scene, the pan, the view) as a .velmia-look file "
                     "(portrait or show)"), {}, {}, 19},
    NamedKeyRow{'O', KeyState::HelpOnly, nullptr, "Ctrl+O",
                  N_("Open a look file and wear it (portrait or show)"), {}, {}, 15},
    NamedKeyRow{'C', KeyState::HelpOnly, nullptr, "Ctrl+C",
                  N_("Copy the window's picture to the clipboard"), {}, {}, 3},
    // clang-format on
};

// The help of a browser key names the files it shows.
consteval bool BrowserKeysNameTheirPattern()
{
    for (const NamedKeyRow& row : kNamedKeyRows)
        if (row.browser.pattern && row.what.find(row.browser.pattern) == std::string_view::npos)
            return false;
    return true;
}
static_assert(BrowserKeysNameTheirPattern());

// The row that acts on the character `key` delivers; null for none.
constexpr const NamedKeyRow* FindCharacterKey(unsigned char key)
{
    for (const NamedKeyRow& row : kNamedKeyRows)
        if (row.when == KeyState::Character && static_cast<unsigned char>(row.character) == key)
            return &row;
    return nullptr;
}

// The row of `key` that acts first (`first`) or among the views' keys when
// `acts` says its state holds; null for none.
template <typename Acts> constexpr const NamedKeyRow* FindNamedKey(uint16_t key, bool first, Acts acts)
{
    for (const NamedKeyRow& row : kNamedKeyRows)
        if (row.key == key && row.action && ActsFirst(row.when) == first && acts(row.when))
            return &row;
    return nullptr;
}
