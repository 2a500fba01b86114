// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The five views (portrait, scene show, grey, four-figure, close-up) and the
// switches between them. Exactly one mode flag is on while a view runs; the
// tick picks its routine from them. The close-up remembers the view it was
// entered from and goes back to it.
#include "shell/Velmiaunit1.h"

void TSvelmia::EnterView(ViewMode view)
{
    PortraitMode = view == ViewMode::Portrait;
    ShowMode = view == ViewMode::Show;
    GrayMode = view == ViewMode::Gray;
    QuadMode = view == ViewMode::Quad;
    CloseUpMode = view == ViewMode::CloseUp;
}

void TSvelmia::EnterCloseUpView()
{
    SavedPortraitMode = PortraitMode;
    SavedShowMode = ShowMode;
    EnterView(ViewMode::CloseUp);
}

void TSvelmia::ReturnFromCloseUpView()
{
    CloseUpMode = GrayMode = QuadMode = false;
    PortraitMode = SavedPortraitMode;
    ShowMode = SavedShowMode;
}

TSvelmia::Timer1Pause::Timer1Pause(TSvelmia& form) : timer_(form.Timer1)
{
    timer_->SetEnabled(false);
}

TSvelmia::Timer1Pause::~Timer1Pause()
{
    if (!keepStopped_)
        timer_->SetEnabled(true);
}
