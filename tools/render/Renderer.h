// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Runs the program's own form on the headless platform, in the current
// folder, and takes the 800 x 600 window picture: the default start, dressed
// with part files through the program's own key commands, after typed keys,
// ticks and a view.
#pragma once

#include "toolkit/Graphics.h"
#include "tools/render/Keys.h"

#include <optional>
#include <string>
#include <vector>

namespace velmia::render {

enum class View { Portrait, Show, Gray, Quad, CloseUp };

// One part kind: the file-name prefix and the command key that loads a file
// of it through its open dialog.
struct PartKind {
    const char* id;     // "costume"
    const char* prefix; // "vlm_co"
    char key;           // '\\'
};
const std::vector<PartKind>& PartKinds();
const PartKind* PartKindById(const std::string& id);
// The kind of a part file from its name (prefix in any case, ".bmp" at the end).
const PartKind* PartKindForName(const std::string& name);

struct PartChoice {
    const PartKind* kind = nullptr;
    std::string path; // as the dialog answers it (best absolute)
};

struct RenderRequest {
    std::vector<PartChoice> parts;
    std::vector<KeyStroke> keys;
    std::optional<int> ticks; // none: until what was asked for is composed
    View view = View::Portrait;
    std::optional<int> frame; // 0, 1, 2: the breathing pose of the body
    std::string look;         // a look file worn before the keys (empty: none)
    std::string saveLook;     // where the look the keys made is written (empty: nowhere)
};

struct RenderResult {
    bool ok = false;
    std::string message; // the program's message when it refused something
    vcl::TBitmap picture;
};

// Not re-entrant: installs a headless platform for its run.
void Render(const RenderRequest& request, RenderResult& result);

struct SheetResult {
    vcl::TBitmap sheet;
    int cells = 0;
    std::vector<std::string> messages; // one per part file the program refused
};

// The figure wearing each part file of the current folder, one labelled cell
// per file, `columns` cells a row. Returns false (with the program's message)
// when even the default start fails.
bool RenderSheet(SheetResult& result, std::string& message, int columns = 3);

} // namespace velmia::render
