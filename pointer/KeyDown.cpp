// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Keys that make no character: the title banner (F1), the process priority
// (Pause), the pan and the show spacing (arrows, Backspace, Insert), the
// close-up (Page Up / Down, Up / Down, Home, Backspace) and the part browser
// (F2 to F7; Page Down / Up turn its pages). The character keys of the same
// press go on to FormKeyPress.
#include "shell/Velmiaunit1.h"

#include <algorithm>

using namespace vcl;
using namespace layout;

namespace {

// One part kind of the browser: its file pattern and thumbnail size (the
// part's own size is its cell's).
struct BrowserRequest {
    uint16_t key;
    int kind;
    const char* pattern;
    int thumbWidth, thumbHeight;
};

constexpr BrowserRequest kBrowserRequests[] = {
    {VK_F2, TSvelmia::kPartCostume, "vlm_co*.bmp", 245, 50},  {VK_F3, TSvelmia::kPartCamisole, "vlm_ca*.bmp", 245, 50},
    {VK_F4, TSvelmia::kPartHairBand, "vlm_hb*.bmp", 80, 100}, {VK_F5, TSvelmia::kPartFlower, "vlm_fl*.bmp", 100, 120},
    {VK_F6, TSvelmia::kPartRibbon, "vlm_ri*.bmp", 200, 80},   {VK_F7, TSvelmia::kPartChoker, "vlm_ch*.bmp", 150, 150},
};

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

void TSvelmia::FormKeyDown(TObject* /*Sender*/, uint16_t& Key, TShiftState /*Shift*/)
{
    if (BrowserOpen) {
        // The browser's own keys: Page Down and Page Up turn its pages.
        if (Key == VK_NEXT || Key == VK_PRIOR)
            TurnBrowserPage(Key == VK_NEXT ? 1 : -1);
        return;
    }
    if (Key == VK_F1) {
        logo->SetLeft(20);
        logo->SetTop(180);
        logo->SetVisible(true);
        return;
    }
    if (Key == VK_PAUSE) {
        // The flag says what is true: an ordinary user may lower the
        // priority but not raise it again, and a refused change keeps the
        // priority the process has (the platform says why).
        const bool low = !LowPriority;
        if (SetPriorityClass(low ? TPriority::Idle : TPriority::Normal))
            LowPriority = low;
    }
    if (Busy || GrayMode || QuadMode)
        return;

    Timer1Pause pause(*this);
    ShiftDown = GetKeyState(VK_SHIFT) < 0;
    CtrlDown = GetKeyState(VK_CONTROL) < 0;

    // Insert: Shift remembers the pan, plain Insert returns to it.
    if (Key == VK_INSERT && PortraitMode) {
        if (ShiftDown) {
            SavedPanX = PanX;
        } else {
            PanX = SavedPanX;
            ApplyPan();
            StepBackCounters();
            RequestRedraw();
        }
        return;
    }

    // The close-up: Page Up enters it and zooms in, Up zooms in, Down and
    // Page Down zoom out.
    const bool closeUpKeysAllowed = !ShowMode && !TouchOpened;
    if (Key == VK_PRIOR && closeUpKeysAllowed) {
        if (!CloseUpMode) {
            KeepPreviousShot = ShiftDown;
            CloseUpPanX = PanX;
            EnterCloseUpView();
            TakeCloseUpSnapshot();
            DrawCloseUp();
            CycleCounter = 0;
        } else if (ZoomPercent < kZoomMax) {
            ZoomPercent += kZoomStep;
            DrawCloseUp();
            CycleCounter = 0;
        }
        return;
    }
    if (Key == VK_UP && closeUpKeysAllowed && CloseUpMode) {
        if (ZoomPercent < kZoomMax) {
            ZoomPercent += kZoomStep;
            DrawCloseUp();
            CycleCounter = 0;
        }
        return;
    }
    if ((Key == VK_DOWN || Key == VK_NEXT) && closeUpKeysAllowed && CloseUpMode) {
        if (ZoomPercent > kZoomMin) {
            ZoomPercent -= kZoomStep;
            DrawCloseUp();
            CycleCounter = 0;
        }
        return;
    }
    if (Key == VK_HOME) {
        if (CloseUpMode) {
            LeaveCloseUp();
            return;
        }
        if (CloseUpReady) {
            ReenterCloseUp();
            return;
        }
    }
    if (CloseUpMode) {
        // Backspace swaps with the kept capture; other keys do nothing here.
        if (Key == VK_BACK && CloseUpHasSecond)
            SwapCloseUpCaptures();
        return;
    }

    // Backspace resets the layout: the show's spacing, or the pan.
    if (Key == VK_BACK) {
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
        return;
    }

    if (Key == VK_LEFT || Key == VK_RIGHT) {
        if (ShowMode) {
            // The two gaps keep ShowLeftGap + ShowRightGap >= 450,
            // ShowLeftGap <= 230 and ShowRightGap <= 440.
            const int step = CtrlDown ? 20 : 10;
            bool changed = false;
            if (ShiftDown && Key == VK_RIGHT) {
                if (ShowLeftGap > 450 - ShowRightGap) {
                    ShowLeftGap = std::max(ShowLeftGap - step, 450 - ShowRightGap);
                    changed = true;
                }
            } else if (ShiftDown) {
                if (ShowLeftGap < 230) {
                    ShowLeftGap = std::min(ShowLeftGap + step, 230);
                    changed = true;
                }
            } else if (Key == VK_LEFT) {
                if (ShowRightGap > 450 - ShowLeftGap) {
                    ShowRightGap = std::max(ShowRightGap - step, 450 - ShowLeftGap);
                    changed = true;
                }
            } else if (ShowRightGap < 440) {
                ShowRightGap = std::min(ShowRightGap + step, 440);
                changed = true;
            }
            if (changed) {
                ShowSpan = (ShowRightGap <= 280 ? 590 : ShowRightGap + 310) - ShowLeftGap;
                StepBackCounters();
                LayoutShowFigures();
                RequestRedraw();
            }
        } else {
            // Pan the portrait; Left moves her left.
            int step = 0;
            if (Key == VK_LEFT && PanX >= -380)
                step = CtrlDown ? CtrlStepLeft(PanX) : (ShiftDown ? -10 : -20);
            else if (Key == VK_RIGHT && PanX <= 500)
                step = CtrlDown ? CtrlStepRight(PanX) : (ShiftDown ? 10 : 20);
            if (step != 0) {
                PanX += step;
                ApplyPan();
                StepBackCounters();
                RequestRedraw();
            }
        }
        return;
    }

    for (const BrowserRequest& request : kBrowserRequests) {
        if (Key != request.key)
            continue;
        BrowserPattern = request.pattern;
        ThumbWidth = request.thumbWidth;
        ThumbHeight = request.thumbHeight;
        const PictureSize part = PartCellSize(request.kind);
        PartWidth = part.Width;
        PartHeight = part.Height;
        BrowserKind = request.kind;
        BrowserNames = std::make_unique<char[]>(kBrowserNamesSize);
        if (FindPartFiles(BrowserPattern, BrowserNames.get())) {
            Screen->SetCursor(SavedCursor);
            if (ShowPartBrowser()) {
                Busy = true;
                BrowserOpen = true;
                pause.KeepStopped(); // until the browser closes
                return;
            }
        }
        BrowserNames.reset();
        break;
    }
}

// The show's figures laid out again for new spacing, right figure first.
void TSvelmia::LayoutShowFigures()
{
    LayoutRightFigure();
    RefreshRightClosedEyes();
    LayoutLeftFigure();
    RefreshLeftClosedEyes();
}
