// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Where the main window goes on a screen: borderless and centred on screens
// 600 pixels high or less, otherwise a captioned window "VelmiaAlive" centred
// with room for the caption bar. The client area is 800 x 600 either way.
#pragma once

#include "toolkit/Controls.h"

namespace velmia::qt {

struct Placement {
    vcl::TBorderStyle Border = vcl::TBorderStyle::bsNone;
    int Left = 0;
    int Top = 0;
    int CaptionOffset = 0; // caption bar height added to Top for client positions
    const char* Caption = "";
};

Placement PlaceMainWindow(int screenWidth, int screenHeight);
// Applies the placement to a form (the blank stand-in form uses it).
void ApplyPlacement(vcl::TForm& form, const Placement& p);

} // namespace velmia::qt
