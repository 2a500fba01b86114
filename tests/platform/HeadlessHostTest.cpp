// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The test host itself: later behaviour tests rely on it delivering events in
// the window's order and on its records being exact.
#include "platform/headless/HeadlessHost.h"

#include <gtest/gtest.h>

using namespace velmia::headless;
using namespace vcl;

namespace {

// A form that writes down what reaches it.
class LogForm : public TForm {
public:
    LogForm()
    {
        timer.OnTimer = [this](TObject*) { log.push_back("tick"); };
        OnCreate = [this](TObject*) {
            canvas = NewImage("canvas", 0, 0, 800, 600);
            canvas->GetCanvas()->Brush.Color = clWhite;
            canvas->GetCanvas()->FillRect(Rect(0, 0, 800, 600));
            canvas->SetVisible(true);
            timer.SetEnabled(true);
        };
        OnKeyDown = [this](TObject*, uint16_t& k, TShiftState) {
            log.push_back("down " + std::to_string(k) + (GetKeyState(VK_SHIFT) < 0 ? " shift" : ""));
        };
        OnKeyPress = [this](TObject*, char& c) { log.push_back(std::string("press ") + c); };
        OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int x, int y) {
            log.push_back(std::string("mouse ") + (b == TMouseButton::mbLeft ? "L " : "R ") + std::to_string(x) + "," +
                          std::to_string(y));
        };
        OnClick = [this](TObject*) { log.push_back("click"); };
        OnDblClick = [this](TObject*) {
            // The program computes the client position from the pointer.
            TPoint p;
            GetCursorPos(&p);
            const int caption = GetBorderStyle() == TBorderStyle::bsNone ? 0 : 25;
            log.push_back("dbl " + std::to_string(p.x - GetLeft()) + "," + std::to_string(p.y - GetTop() - caption));
        };
        OnClose = [this](TObject*, TCloseAction&) { log.push_back("close"); };
    }
    TTimer timer{"Timer1", 100};
    TImage* canvas = nullptr;
    std::vector<std::string> log;
};

} // namespace

TEST(HeadlessHost, TypesShiftedCharactersWithShiftHeld)
{
    HeadlessHost host;
    auto* f = host.CreateForm<LogForm>();
    host.TypeText("a~_()\"'");
    EXPECT_EQ(f->log, (std::vector<std::string>{"down 65", "press a", "down 192 shift", "press ~", "down 189 shift",
                                                "press _", "down 57 shift", "press (", "down 48 shift", "press )",
                                                "down 222 shift", "press \"", "down 222", "press '"}));
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0); // released again
}

TEST(HeadlessHost, DoubleClickInTheWindowOrderAndTrueClientPosition)
{
    for (int screenHeight : {600, 768}) {
        SCOPED_TRACE(screenHeight);
        HeadlessHost host;
        auto* f = host.CreateForm<LogForm>();
        f->SetBorderStyle(screenHeight <= 600 ? TBorderStyle::bsNone : TBorderStyle::bsSingle);
        f->SetLeft(112);
        f->SetTop(-9);
        host.DoubleClick(400, 350);
        EXPECT_EQ(f->log, (std::vector<std::string>{"mouse L 400,350", "click", "dbl 400,350", "mouse L 400,350"}));
    }
}

TEST(HeadlessHost, TimersFireOnlyWhenTheTestSaysAndOnlyWhenEnabled)
{
    HeadlessHost host;
    auto* f = host.CreateForm<LogForm>();
    EXPECT_TRUE(f->log.empty());
    EXPECT_EQ(host.FireTimer("Timer1", 2), 2);
    f->timer.SetEnabled(false);
    EXPECT_EQ(host.FireTimer("Timer1", 3), 0);
    f->timer.SetEnabled(true);
    host.AdvanceTime(250); // fires at 100 and 200
    EXPECT_EQ(f->log, (std::vector<std::string>{"tick", "tick", "tick", "tick"}));
    EXPECT_THROW(host.FireTimer("NoSuchTimer"), std::logic_error);
}

// The same timer held (disabled and enabled again) every 30 ms for a second:
// a plain one restarts its interval each time and never ticks; one that
// keeps its rhythm ticks as if it had never been held. A long hold owes one
// tick, which comes at once; a timer left disabled past an event (as the
// part browser leaves Timer1) starts afresh.
TEST(HeadlessHost, HoldingATimerThatKeepsItsRhythmDelaysNoTick)
{
    for (const bool keeps : {false, true}) {
        SCOPED_TRACE(keeps);
        HeadlessHost host;
        auto* f = host.CreateForm<LogForm>();
        f->timer.KeepsRhythm = keeps;
        for (int held = 0; held < 33; ++held) {
            host.AdvanceTime(30);
            f->timer.SetEnabled(false);
            f->timer.SetEnabled(true);
        }
        EXPECT_EQ(f->log.size(), keeps ? 9u : 0u); // 990 ms: the ticks at 100, 200 ... 900
        f->log.clear();
        f->timer.SetEnabled(false);
        host.AdvanceTime(1000);
        f->timer.SetEnabled(true);
        host.AdvanceTime(0);
        EXPECT_EQ(f->log.size(), keeps ? 1u : 0u);
        host.AdvanceTime(100);
        EXPECT_EQ(f->log.size(), keeps ? 2u : 1u);

        f->log.clear();
        f->timer.SetEnabled(false);
        host.PressKey(VK_F9);
        host.AdvanceTime(1000);
        f->timer.SetEnabled(true);
        host.AdvanceTime(99);
        EXPECT_EQ(f->log, (std::vector<std::string>{"down 120"}));
        host.AdvanceTime(1);
        EXPECT_EQ(f->log.size(), 2u);
    }
}

TEST(HeadlessHost, DialogsAnsweredFromTheScriptAndRecorded)
{
    HeadlessHost host;
    host.CreateForm<LogForm>();
    TSavePictureDialog save;
    save.Filter = "Bitmaps|*.bmp";
    save.DefaultExt = "bmp";
    save.FileName = "vlm_scenelist";
    TOpenPictureDialog open;
    open.Filter = "costume files|vlm_co.bmp;vlm_co?.bmp";
    TColorDialog colour;
    colour.Color = RGB(1, 2, 3);

    host.ScriptSaveDialog("");
    host.ScriptSaveDialog("/tmp/picked.bmp");
    host.ScriptCancel();
    host.ScriptColor(RGB(9, 8, 7));
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "vlm_scenelist.bmp"); // default extension added
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "/tmp/picked.bmp");
    EXPECT_FALSE(open.Execute());
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color, RGB(9, 8, 7));
    EXPECT_FALSE(open.Execute()); // nothing scripted: cancelled, and marked

    const auto& d = host.Dialogs();
    ASSERT_EQ(d.size(), 5u);
    EXPECT_EQ(d[0].Kind, TDialogKind::Save);
    EXPECT_EQ(d[0].FileName, "vlm_scenelist");
    EXPECT_EQ(d[1].FileName, "vlm_scenelist.bmp");
    EXPECT_EQ(d[2].Kind, TDialogKind::Open);
    EXPECT_EQ(d[2].Filter, "costume files|vlm_co.bmp;vlm_co?.bmp");
    EXPECT_FALSE(d[2].Accepted);
    EXPECT_TRUE(d[2].Scripted);
    EXPECT_EQ(d[3].Kind, TDialogKind::Color);
    EXPECT_EQ(d[3].Color, RGB(1, 2, 3));
    EXPECT_FALSE(d[4].Scripted);
}

TEST(HeadlessHost, WindowPixelsAndDirtyRectangles)
{
    HeadlessHost host;
    auto* f = host.CreateForm<LogForm>();
    EXPECT_EQ(host.WindowPixel(5, 5), clWhite);
    EXPECT_EQ(host.WindowPixel(800, 0), -1);
    host.ClearInvalidated();
    f->canvas->GetCanvas()->Brush.Color = RGB(0, 0, 255);
    f->canvas->GetCanvas()->FillRect(Rect(10, 20, 30, 25));
    host.FireTimer("Timer1");
    EXPECT_EQ(host.Invalidated(), (std::vector<TRect>{Rect(10, 20, 30, 25)}));
    EXPECT_EQ(host.WindowPixel(10, 20), RGB(0, 0, 255));
    host.ClearInvalidated();
    host.FireTimer("Timer1");
    EXPECT_TRUE(host.Invalidated().empty());
}

TEST(HeadlessHost, CloseRunsAfterTheHandlerAndStopsEvents)
{
    HeadlessHost host;
    auto* f = host.CreateForm<LogForm>();
    f->OnKeyPress = [f](TObject*, char&) {
        f->log.push_back("quit");
        f->Close();
    };
    host.TypeChar('q');
    EXPECT_TRUE(host.Closed());
    host.TypeChar('x'); // the window is gone
    EXPECT_EQ(f->log, (std::vector<std::string>{"down 81", "quit", "close"}));
}

TEST(HeadlessHost, FailedStartUpIsReportedLikeTheProgramEntry)
{
    struct Failing : TForm {
        Failing()
        {
            OnCreate = [](TObject*) { throw EFileError("cannot open vlm_co.bmp"); };
        }
    };
    {
        HeadlessHost host;
        EXPECT_THROW(host.CreateForm<Failing>(), EFileError);
    }
    HeadlessHost host;
    host.StartForm<Failing>();
    EXPECT_TRUE(host.StartupFailed());
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_NE(host.MessageBoxes()[0].Text.find("vlm_co.bmp"), std::string::npos);
}
