// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Keys that make no character: the title banner (F1), the process priority
// (Pause), the pan and the show spacing (arrows, Backspace, Insert), the
// close-up (Page Up / Down, Up / Down, Home, Backspace) and the part browser
// (F2 to F7; Page Down / Up turn its pages). The character keys of the same
// press go on to FormKeyPress.
#include "commands/NamedKeyTable.h"

#include <algorithm>

using namespace vcl;
using namespace layout;

namespace {

// The Ctrl pan steps slow down near both ends of the range.
int CtrlStepLeft(int pan)
{
    if (pan > -280)
        return -100;
    if (pan > -300)
        return -80;
    if (pan > -320)
        return -60;
    if (pan > -340)
        return -40;
    return -20;
}

int CtrlStepRight(int pan)
{
    if (pan < 400)
        return 100;
    if (pan < 420)
        return 80;
    if (pan < 440)
        return 60;
    if (pan < 460)
        return 40;
    return 20;
}

} // namespace

// The keys are rows of commands/NamedKeyTable.h: the row of the key whose
// state holds acts.
bool TSvelmia::NamedKeyActs(KeyState when) const
{
    switch (when) {
    case KeyState::Browser:
        return BrowserOpen;
    case KeyState::Always:
    case KeyState::AlwaysThenOn:
        return !BrowserOpen;
    case KeyState::InEveryView:
        return true;
    case KeyState::Portrait:
        return PortraitMode;
    case KeyState::CloseUpAllowed:
        return CloseUpKeysAllowed();
    case KeyState::CloseUpZoom:
        return CloseUpZoomAllowed();
    case KeyState::OutsideCloseUp:
        return !CloseUpMode;
    default:
        return false;
    }
}

void TSvelmia::FormKeyDown(TObject* /*Sender*/, uint16_t& Key, TShiftState /*Shift*/)
{
    SettleAskedRedraw();
    const auto acts = [this](KeyState when) { return NamedKeyActs(when); };
    const bool browser = BrowserOpen;
    if (const NamedKeyRow* row = FindNamedKey(Key, true, acts)) {
        (this->*row->action)(Key);
        if (row->when != KeyState::AlwaysThenOn)
            return;
    }
    if (browser || Busy || GrayMode || QuadMode)
        return;

    Timer1Pause pause(*this);
    ShiftDown = GetKeyState(VK_SHIFT) < 0;
    CtrlDown = GetKeyState(VK_CONTROL) < 0;
    if (const NamedKeyRow* row = FindNamedKey(Key, false, acts))
        (this->*row->action)(Key);
    if (BrowserOpen)
        pause.KeepStopped(); // until the browser closes
}

// ---- Keys that act first -----------------------------------------------------------

// Page Down and Page Up turn the browser's pages.
void TSvelmia::TurnBrowserPageKey(uint16_t key)
{
    TurnBrowserPage(key == VK_NEXT ? 1 : -1);
}

void TSvelmia::ShowTitleBanner(uint16_t /*key*/)
{
    logo->SetLeft(kBannerAt.x);
    logo->SetTop(kBannerAt.y);
    logo->SetVisible(true);
}

// The flag says what is true: an ordinary user may lower the priority but not
// raise it again, and a refused change keeps the priority the process has (the
// platform says why).
void TSvelmia::TogglePriority(uint16_t /*key*/)
{
    const bool low = !LowPriority;
    if (SetPriorityClass(low ? TPriority::Idle : TPriority::Normal))
        LowPriority = low;
}

// ---- The close-up ------------------------------------------------------------------

// Page Up enters the close-up and then zooms in, as Up does; Down and Page
// Down zoom out.
void TSvelmia::EnterOrZoomCloseUp(uint16_t key)
{
    if (CloseUpMode) {
        ZoomCloseUpKey(key);
        return;
    }
    // The capture takes the window as the tick draws it: with the change
    // asked for just before, at the pan it was asked for.
    DrawAskedRedraw();
    KeepPreviousShot = ShiftDown;
    CloseUpPanX = PanX;
    EnterCloseUpView();
    TakeCloseUpSnapshot();
    DrawCloseUp();
    CycleCounter = 0;
}

void TSvelmia::ZoomCloseUpKey(uint16_t key)
{
    const int direction = key == VK_UP || key == VK_PRIOR ? 1 : -1;
    if (CloseUpCanZoom(direction))
        ZoomCloseUp(direction);
}

// Home leaves the close-up, or brings the last one back.
void TSvelmia::LeaveOrReenterCloseUp(uint16_t /*key*/)
{
    if (CloseUpMode)
        LeaveCloseUp();
    else if (CloseUpReady)
        ReenterCloseUp();
}

// ---- Layout ------------------------------------------------------------------------

// Insert: Shift remembers the pan, plain Insert returns to it.
void TSvelmia::RememberedPlace(uint16_t /*key*/)
{
    if (ShiftDown) {
        SavedPanX = PanX;
        return;
    }
    PanX = SavedPanX;
    ApplyPan();
    StepBackCounters();
    RequestRedraw();
}

// Backspace resets the layout: the show's spacing, or the pan; in the
// close-up it switches to the kept capture.
void TSvelmia::ResetOrSwitch(uint16_t /*key*/)
{
    if (CloseUpMode) {
        if (CloseUpHasSecond)
            SwapCloseUpCaptures();
        return;
    }
    if (ShowMode) {
        ShowLeftGap = kShowLeftGap;
        ShowRightGap = kShowRightGap;
        ShowSpan = kShowSpan;
        StepBackCounters();
        LayoutShowFigures();
    } else {
        PanX = 0;
        ApplyPan();
        StepBackCounters();
    }
    RequestRedraw();
}

void TSvelmia::MoveFigures(uint16_t key)
{
    if (ShowMode)
        SpaceShowFigures(key);
    else
        PanPortrait(key);
}

// The show: the two gaps keep ShowLeftGap + ShowRightGap >= kMinGaps,
// ShowLeftGap <= kMaxLeftGap and ShowRightGap <= kMaxRightGap.
void TSvelmia::SpaceShowFigures(uint16_t key)
{
    constexpr int kMinGaps = 450;
    constexpr int kMaxLeftGap = 230;
    constexpr int kMaxRightGap = 440;
    const int step = CtrlDown ? 20 : 10;
    bool changed = false;
    if (ShiftDown && key == VK_RIGHT) {
        if (ShowLeftGap > kMinGaps - ShowRightGap) {
            ShowLeftGap = std::max(ShowLeftGap - step, kMinGaps - ShowRightGap);
            changed = true;
        }
    } else if (ShiftDown) {
        if (ShowLeftGap < kMaxLeftGap) {
            ShowLeftGap = std::min(ShowLeftGap + step, kMaxLeftGap);
            changed = true;
        }
    } else if (key == VK_LEFT) {
        if (ShowRightGap > kMinGaps - ShowLeftGap) {
            ShowRightGap = std::max(ShowRightGap - step, kMinGaps - ShowLeftGap);
            changed = true;
        }
    } else if (ShowRightGap < kMaxRightGap) {
        ShowRightGap = std::min(ShowRightGap + step, kMaxRightGap);
        changed = true;
    }
    if (!changed)
        return;
    ShowSpan = (ShowRightGap <= 280 ? 590 : ShowRightGap + 310) - ShowLeftGap;
    StepBackCounters();
    LayoutShowFigures();
    RequestRedraw();
}

// The portrait; Left moves her left.
void TSvelmia::PanPortrait(uint16_t key)
{
    int step = 0;
    if (key == VK_LEFT && PanX >= kPanLeftLimit)
        step = CtrlDown ? CtrlStepLeft(PanX) : (ShiftDown ? -kPanFineStep : -kPanStep);
    else if (key == VK_RIGHT && PanX <= kPanRightLimit)
        step = CtrlDown ? CtrlStepRight(PanX) : (ShiftDown ? kPanFineStep : kPanStep);
    if (step == 0)
        return;
    PanX += step;
    ApplyPan();
    StepBackCounters();
    RequestRedraw();
}

// ---- The part browser --------------------------------------------------------------

// F2 to F7: the browser of one part kind, when the folder holds files of it.
void TSvelmia::OpenPartBrowser(uint16_t key)
{
    const auto row = std::find_if(kNamedKeyRows.begin(), kNamedKeyRows.end(),
                                  [key](const NamedKeyRow& r) { return r.key == key && r.browser.pattern; });
    if (row == kNamedKeyRows.end())
        return;
    const BrowserColumn* request = &row->browser;
    // The browser stops the ticks and covers the portrait: what was asked
    // for just before is drawn first.
    DrawAskedRedraw();
    BrowserPattern = request->pattern;
    ThumbWidth = request->thumbWidth;
    ThumbHeight = request->thumbHeight;
    const PictureSize part = PartCellSize(request->kind);
    PartWidth = part.Width;
    PartHeight = part.Height;
    BrowserKind = request->kind;
    BrowserNames = std::make_unique<char[]>(kBrowserNamesSize);
    if (FindPartFiles(BrowserPattern, BrowserNames.get())) {
        Screen->SetCursor(SavedCursor);
        ShowPartBrowser();
        Busy = true;
        BrowserOpen = true;
        return;
    }
    BrowserNames.reset();
}

// The show's figures laid out again for new spacing, right figure first.
void TSvelmia::LayoutShowFigures()
{
    LayoutRightFigure();
    RefreshRightClosedEyes();
    LayoutLeftFigure();
    RefreshLeftClosedEyes();
}
