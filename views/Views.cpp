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

TSvelmia::Timer1Pause::Timer1Pause(TSvelmia& form) : form_(form)
{
    if (form_.timer1Pauses_++ == 0)
        form_.timer1KeptStopped_ = false;
    form_.Timer1->SetEnabled(false);
}

TSvelmia::Timer1Pause::~Timer1Pause()
{
    if (--form_.timer1Pauses_ == 0 && !form_.timer1KeptStopped_)
        form_.Timer1->SetEnabled(true);
}
