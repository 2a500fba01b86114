// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A small program on the real Qt window for the end-to-end tests: placed like
// the real program, it writes every event that reaches its form on standard
// output, one line each, and draws a known picture so that screenshots can be
// compared.
//
//   keydown <vk> shift=<0|1> ctrl=<0|1>     (modifiers read with GetKeyState)
//   keypress <code>
//   mousedown <L|R|M> <x> <y> [double]
//   click <x> <y>                           (client position from GetCursorPos)
//   dblclick <x> <y>                        (client position from GetCursorPos)
//   wheel <up|down>
//   saved <path> / cancelled                ('s' opens a save dialog)
//   priority <idle|normal> <ok|refused>     (Pause)
//   ready <left> <top> <captionOffset>
//
// A double-click draws a 10 x 10 black square at the pointer. Escape closes.
// A 100 ms timer runs all the time and changes nothing on screen.
#include "platform/qt/Placement.h"
#include "platform/qt/QtHost.h"
#include "toolkit/Controls.h"

#include <cstdio>
#include <memory>

using namespace vcl;

namespace {

class ProbeForm : public TForm {
public:
    ProbeForm()
    {
        OnCreate = [this](TObject*) { Create(); };
        OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) {
            Print("keydown %d shift=%d ctrl=%d", key, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0);
            if (key == VK_PAUSE) {
                lowPriority_ = !lowPriority_;
                const bool ok = SetPriorityClass(lowPriority_ ? TPriority::Idle : TPriority::Normal);
                Print("priority %s %s", lowPriority_ ? "idle" : "normal", ok ? "ok" : "refused");
            }
        };
        OnKeyPress = [this](TObject*, char& c) {
            Print("keypress %d", int(c));
            if (c == 27)
                Close();
            if (c == 's') {
                save_.FileName = "vlm_scenelist";
                save_.DefaultExt = "bmp";
                save_.Filter = "Bitmaps (*.bmp)|*.bmp";
                if (save_.Execute())
                    Print("saved %s", save_.FileName.c_str());
                else
                    Print("cancelled");
            }
        };
        OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            const char* name = b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
            Print("mousedown %s %d %d%s", name, x, y, (s & ssDouble) ? " double" : "");
        };
        OnClick = [this](TObject*) {
            const TPoint p = ClientCursor();
            Print("click %d %d", p.x, p.y);
        };
        OnDblClick = [this](TObject*) {
            const TPoint p = ClientCursor();
            Print("dblclick %d %d", p.x, p.y);
            canvas_->GetCanvas()->Brush.Color = clBlack;
            canvas_->GetCanvas()->FillRect(Rect(p.x - 5, p.y - 5, p.x + 5, p.y + 5));
        };
        OnMouseWheelUp = [this](TObject*, TShiftState, TPoint, bool&) { Print("wheel up"); };
        OnMouseWheelDown = [this](TObject*, TShiftState, TPoint, bool&) { Print("wheel down"); };
        OnClose = [this](TObject*, TCloseAction&) { Print("closed"); };
        timer_.OnTimer = [this](TObject*) { ++ticks_; };
    }

private:
    void Create()
    {
        placement_ = velmia::qt::PlaceMainWindow(Screen->GetWidth(), Screen->GetHeight());
        velmia::qt::ApplyPlacement(*this, placement_);
        // Four quadrants: red, green / blue, white.
        canvas_ = NewImage("canvas", 0, 0, 800, 600);
        TCanvas* c = canvas_->GetCanvas();
        const struct {
            TRect r;
            TColor color;
        } quads[] = {{Rect(0, 0, 400, 300), RGB(255, 0, 0)},
                     {Rect(400, 0, 800, 300), RGB(0, 255, 0)},
                     {Rect(0, 300, 400, 600), RGB(0, 0, 255)},
                     {Rect(400, 300, 800, 600), clWhite}};
        for (const auto& q : quads) {
            c->Brush.Color = q.color;
            c->FillRect(q.r);
        }
        canvas_->SetVisible(true);
        SetVisible(true);
        timer_.SetEnabled(true);
        Print("ready %d %d %d", GetLeft(), GetTop(), placement_.CaptionOffset);
    }

    TPoint ClientCursor()
    {
        TPoint p{};
        GetCursorPos(&p);
        return TPoint{p.x - GetLeft(), p.y - (GetTop() + placement_.CaptionOffset)};
    }

    template <class... Args> void Print(const char* format, Args... args)
    {
        std::printf(format, args...);
        std::printf("\n");
        std::fflush(stdout);
    }

    velmia::qt::Placement placement_;
    TImage* canvas_ = nullptr;
    TTimer timer_{"Tick", 100};
    TSavePictureDialog save_;
    bool lowPriority_ = false;
    long ticks_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    return velmia::qt::RunApplication(argc, argv, [] { return new ProbeForm(); });
}
