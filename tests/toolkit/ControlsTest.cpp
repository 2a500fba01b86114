// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Image controls, the form's window picture and its change reports, timers,
// dialogs and input dispatch, against a small fake platform.
#include "toolkit/Controls.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

class FakePlatform : public IPlatform {
public:
    FakePlatform() { SetPlatform(this); }
    ~FakePlatform() override { SetPlatform(nullptr); }

    int ScreenWidth() override { return 1280; }
    int ScreenHeight() override { return 1024; }
    TPoint CursorPos() override { return TPoint{5, 6}; }
    int16_t KeyState(int vk) override { return vk == VK_SHIFT ? int16_t(-128) : int16_t(0); }
    void TimerChanged(TTimer* t) override { timerChanges.push_back(t->GetEnabled()); }
    void TimerDestroyed(TTimer*) override { ++timersDestroyed; }
    bool RunFileDialog(TFileDialogRequest& r) override
    {
        lastRequest = r;
        if (accept)
            r.FileName = "chosen.bmp";
        return accept;
    }
    bool RunColorDialog(TColor& c) override
    {
        if (accept)
            c = RGB(1, 2, 3);
        return accept;
    }
    void MessageBox(const std::string& caption, const std::string& text) override
    {
        messages.push_back(caption + "|" + text);
    }
    bool AskYesNo(const std::string& caption, const std::string& question) override
    {
        messages.push_back(caption + "|" + question + "?");
        return accept;
    }
    void FormChanged(TForm*) override { ++formChanges; }
    void Invalidate(TForm*, const std::vector<TRect>& rects) override { invalidated.push_back(rects); }
    void CloseRequested(TForm*) override { ++closeRequests; }
    void SetCursorVisible(bool v) override { cursorVisible = v; }
    void Minimize() override {}
    bool SetPriority(TPriority) override { return true; }

    bool accept = true;
    TFileDialogRequest lastRequest;
    std::vector<bool> timerChanges;
    int timersDestroyed = 0, formChanges = 0, closeRequests = 0;
    bool cursorVisible = true;
    std::vector<std::string> messages;
    std::vector<std::vector<TRect>> invalidated;
};

void Fill(TImage* img, TColor c)
{
    TCanvas* canvas = img->GetCanvas();
    canvas->Brush.Color = c;
    canvas->FillRect(canvas->ClipRect());
}

// A 20 x 10 white form.
struct SmallForm : TForm {
    SmallForm()
    {
        SetClientWidth(20);
        SetClientHeight(10);
        Color = clWhite;
    }
    TColor At(int x, int y) const { return WindowPicture().GetPixelColor(x, y); }
};

constexpr TColor kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

} // namespace

TEST(Image, BitmapCreatedAtControlSizeOnFirstUse)
{
    TForm form;
    TImage* a = form.NewImage("a", 0, 0, 30, 20);
    TImage* b = form.NewImage("b", 0, 0, 7, 5);
    EXPECT_FALSE(a->GetPicture()->HasGraphic());
    EXPECT_EQ(a->GetBitmap()->GetWidth(), 30);
    EXPECT_EQ(a->GetBitmap()->GetHeight(), 20);
    EXPECT_EQ(b->GetPicture()->GetBitmap()->GetWidth(), 7);
    EXPECT_EQ(form.FindImage("b"), b);
    EXPECT_EQ(form.FindImage("c"), nullptr);
    TPicture loose;
    EXPECT_TRUE(loose.GetBitmap()->Empty());
    EXPECT_THROW(TPicture().SaveToFile("never.bmp"), EInvalidGraphic);
}

TEST(Form, ComposesVisibleImagesInOrderClippedAndCentred)
{
    SmallForm form;
    TImage* a = form.NewImage("a", 2, 2, 6, 4); // red, with a bitmap larger than the control
    a->GetBitmap()->SetSize(12, 12);
    Fill(a, kRed);
    TImage* b = form.NewImage("b", 4, 3, 3, 3); // blue, on top of a
    Fill(b, kBlue);
    TImage* c = form.NewImage("c", 10, 0, 6, 6); // green 2 x 2, centred
    c->GetBitmap()->SetSize(2, 2);
    Fill(c, kGreen);
    c->SetCenter(true);
    TImage* hidden = form.NewImage("hidden", 0, 0, 20, 10);
    Fill(hidden, clBlack);
    for (TImage* img : {a, b, c})
        img->SetVisible(true);

    EXPECT_EQ(form.UpdateWindow(), std::vector<TRect>{Rect(0, 0, 20, 10)});
    EXPECT_EQ(c->PictureOrigin(), (TPoint{12, 2}));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            TColor want = clWhite;
            if (Rect(2, 2, 8, 6).Contains(x, y))
                want = kRed;
            if (Rect(4, 3, 7, 6).Contains(x, y))
                want = kBlue;
            if (Rect(12, 2, 14, 4).Contains(x, y))
                want = kGreen;
            EXPECT_EQ(form.At(x, y), want) << x << "," << y;
        }
    }
}

TEST(Form, ReportsOnlyPixelsThatReallyChanged)
{
    SmallForm form;
    form.SetClientWidth(40);
    TImage* a = form.NewImage("a", 5, 2, 24, 4);
    Fill(a, kRed);
    a->SetVisible(true);
    form.UpdateWindow();

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<TRect> want;
    } steps[] = {
        {"nothing", [] {}, {}},
        {"rows touched but unchanged", [&] { a->GetBitmap()->ScanLine(1); }, {}},
        {"same colour drawn again", [&] { Fill(a, kRed); }, {}},
        {"one pixel", [&] { a->GetCanvas()->SetPixel(2, 1, kBlue); }, {Rect(7, 3, 8, 4)}},
        {"two pixels far apart on one row",
         [&] {
             a->GetCanvas()->SetPixel(0, 0, kBlue);
             a->GetCanvas()->SetPixel(20, 0, kBlue);
         },
         {Rect(5, 2, 6, 3), Rect(25, 2, 26, 3)}},
        {"hidden", [&] { a->SetVisible(false); }, {Rect(5, 2, 29, 6)}},
        {"changes while hidden", [&] { Fill(a, kGreen); }, {}},
        {"shown again", [&] { a->SetVisible(true); }, {Rect(5, 2, 29, 6)}},
        {"moved right by 2", [&] { a->SetLeft(7); }, {Rect(5, 2, 7, 6), Rect(29, 2, 31, 6)}},
        {"form colour", [&] { form.Color = clBlack; }, {Rect(0, 0, 40, 10)}},
        {"picture replaced by a smaller one",
         [&] {
             auto small = std::make_unique<TBitmap>(2, 4);
             small->GetCanvas()->Brush.Color = kGreen;
             small->GetCanvas()->FillRect(Rect(0, 0, 2, 4));
             a->GetPicture()->SetBitmap(std::move(small));
         },
         {Rect(9, 2, 31, 6)}},
    };
    // Compares the covered pixels, so that the same area split differently
    // still matches.
    auto covered = [](const std::vector<TRect>& rs) {
        std::vector<int> m(400, 0);
        for (const TRect& r : rs)
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    m[size_t(y * 40 + x)] = 1;
        return m;
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(covered(form.UpdateWindow()), covered(s.want)) << s.what;
    }
}

TEST(Form, ControlsUnderAnOpaqueCoverStayHiddenUntilItGoes)
{
    SmallForm form;
    TImage* under = form.NewImage("under", 0, 0, 20, 10);
    Fill(under, kRed);
    TImage* cover = form.NewImage("cover", 0, 0, 20, 5); // covers the top half only
    Fill(cover, kBlue);
    under->SetVisible(true);
    cover->SetVisible(true);
    form.UpdateWindow();

    Fill(under, kGreen); // the top half of it cannot show
    EXPECT_EQ(form.UpdateWindow(), std::vector<TRect>{Rect(0, 5, 20, 10)});
    EXPECT_EQ(form.At(3, 2), kBlue);
    EXPECT_EQ(form.At(3, 7), kGreen);

    // A cover whose picture is smaller than the control does not hide the rest.
    cover->GetBitmap()->SetSize(20, 2);
    Fill(cover, kBlue);
    form.UpdateWindow();
    EXPECT_EQ(form.At(3, 1), kBlue);
    EXPECT_EQ(form.At(3, 3), kGreen);

    cover->SetVisible(false);
    form.UpdateWindow();
    EXPECT_EQ(form.At(3, 1), kGreen);
}

TEST(Form, RepaintInvalidatesOnlyWhenSomethingChanged)
{
    FakePlatform platform;
    SmallForm form;
    TImage* a = form.NewImage("a", 0, 0, 4, 4);
    Fill(a, kRed);
    a->SetVisible(true);
    form.Repaint();
    form.Repaint();
    a->GetCanvas()->SetPixel(0, 0, kBlue);
    form.Repaint();
    ASSERT_EQ(platform.invalidated.size(), 2u);
    EXPECT_EQ(platform.invalidated[1], std::vector<TRect>{Rect(0, 0, 1, 1)});
}

TEST(Form, MouseGoesToTopmostEnabledImageWithHandlersElseToForm)
{
    SmallForm form;
    std::vector<std::string> log;
    TImage* target = form.NewImage("target", 2, 2, 10, 6);
    TImage* plain = form.NewImage("plain", 0, 0, 20, 10); // on top, but no handlers
    plain->SetVisible(true);
    plain->SetEnabled(true);
    target->SetVisible(true);
    target->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        log.push_back((s == target ? "image " : "? ") + std::to_string(x) + "," + std::to_string(y));
    };
    target->OnDblClick = [&](TObject*) { log.push_back("image dbl"); };
    form.OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        log.push_back((s == &form ? "form " : "? ") + std::to_string(x) + "," + std::to_string(y));
    };
    form.OnClick = [&](TObject*) { log.push_back("form click"); };

    form.DoMouseDown(TMouseButton::mbLeft, 0, 5, 5); // image disabled: the form
    target->SetEnabled(true);
    form.DoMouseDown(TMouseButton::mbLeft, 0, 5, 5);  // the image, in its coordinates
    form.DoMouseDown(TMouseButton::mbLeft, 0, 15, 5); // outside it
    form.DoClick(5, 5);                               // image has no OnClick: nobody
    form.DoDblClick(5, 5);
    target->SetVisible(false);
    form.DoClick(5, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"form 5,5", "image 3,3", "form 15,5", "image dbl", "form click"}));
}

TEST(Form, KeysWheelCloseAndPropertyChanges)
{
    FakePlatform platform;
    TForm form;
    std::string log;
    form.OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { log += "down" + std::to_string(key) + " "; };
    form.OnKeyPress = [&](TObject*, char& key) { log += std::string("press") + key + " "; };
    form.OnMouseWheelUp = [&](TObject*, TShiftState, TPoint p, bool&) { log += "up" + std::to_string(p.x) + " "; };
    form.OnClose = [&](TObject*, TCloseAction& a) { a = TCloseAction::caHide; };
    form.DoKeyDown(VK_F1, 0);
    form.DoKeyPress('g');
    form.DoMouseWheel(true, 0, TPoint{9, 9});
    form.DoMouseWheel(false, 0, TPoint{9, 9});
    EXPECT_EQ(log, "down112 pressg up9 ");
    EXPECT_EQ(form.DoClose(), TCloseAction::caHide);
    form.Close();
    EXPECT_EQ(platform.closeRequests, 1);
    form.SetLeft(10);
    form.SetCaption("x");
    form.SetVisible(true);
    EXPECT_EQ(platform.formChanges, 3);
    EXPECT_EQ(GetKeyState(VK_SHIFT), -128);
    TPoint p;
    EXPECT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p, (TPoint{5, 6}));
}

TEST(Timer, DisabledNeverFiresAndChangesReachThePlatform)
{
    FakePlatform platform;
    int fired = 0;
    {
        TTimer t("Timer1", 100);
        t.OnTimer = [&](TObject*) { ++fired; };
        t.Fire();
        t.SetEnabled(true);
        t.Fire();
        t.SetEnabled(false);
        t.Fire();
        t.SetInterval(200);
        EXPECT_EQ(t.GetInterval(), 200u);
    }
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(platform.timerChanges, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(platform.timersDestroyed, 1);
}

TEST(Dialogs, ExecuteWritesBackOnlyWhenAccepted)
{
    FakePlatform platform;
    TSavePictureDialog save;
    save.FileName = "scene.bmp";
    save.Filter = "Bitmaps|*.bmp";
    save.DefaultExt = "bmp";
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "chosen.bmp");
    EXPECT_EQ(platform.lastRequest.Kind, TDialogKind::Save);
    EXPECT_EQ(platform.lastRequest.FileName, "scene.bmp");
    EXPECT_EQ(platform.lastRequest.Filter, "Bitmaps|*.bmp");
    EXPECT_EQ(platform.lastRequest.DefaultExt, "bmp");

    platform.accept = false;
    TOpenPictureDialog open;
    open.FileName = "keep.bmp";
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.FileName, "keep.bmp");
    TColorDialog colour;
    colour.Color = kRed;
    EXPECT_FALSE(colour.Execute());
    EXPECT_EQ(colour.Color, kRed);
    platform.accept = true;
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color, RGB(1, 2, 3));
}

TEST(ScreenAndApplication, AnswerThroughThePlatform)
{
    FakePlatform platform;
    EXPECT_EQ(Screen->GetWidth(), 1280);
    Screen->SetCursor(-1);
    EXPECT_FALSE(platform.cursorVisible);
    Screen->SetCursor(0);
    EXPECT_TRUE(platform.cursorVisible);
    Application->ShowException(std::runtime_error("vlm_x.bmp: truncated"));
    EXPECT_EQ(platform.messages, std::vector<std::string>{"VelmiaAlive|vlm_x.bmp: truncated"});
    EXPECT_TRUE(SetPriorityClass(TPriority::Idle));
}
