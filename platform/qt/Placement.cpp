// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/Placement.h"

namespace velmia::qt {

Placement PlaceMainWindow(int screenWidth, int screenHeight)
{
    Placement p;
    // Integer division truncates toward zero: 799 wide gives Left 0, and
    // 601 high gives Top (601 - 620) / 2 = -9.
    p.Left = (screenWidth - 800) / 2;
    if (screenHeight <= 600) {
        p.Border = vcl::TBorderStyle::bsNone;
        p.Top = (screenHeight - 600) / 2;
    } else {
        p.Border = vcl::TBorderStyle::bsSingle;
        p.Top = (screenHeight - 620) / 2;
        p.CaptionOffset = 25;
        p.Caption = "VelmiaAlive";
    }
    return p;
}

void ApplyPlacement(vcl::TForm& form, const Placement& p)
{
    if (p.Border != vcl::TBorderStyle::bsNone) {
        form.SetWindowState(vcl::TWindowState::wsNormal);
        form.SetCaption(p.Caption);
    }
    form.SetBorderStyle(p.Border);
    form.SetLeft(p.Left);
    form.SetTop(p.Top);
    form.SetClientHeight(600);
    form.SetClientWidth(800);
}

} // namespace velmia::qt
