// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The window picture when one control alone paints an area and its picture
// goes back and forth between a few contents (the breathing body): what is
// reported and what the window shows must be what composing from scratch
// gives, however often a switch repeats and whatever happens in between.
#include "toolkit/Controls.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace vcl;

namespace {

constexpr int W = 60, H = 24;

// Three body frames: a common background, and a band that rises frame by frame.
std::unique_ptr<TBitmap> Frame(int k)
{
    auto b = std::make_unique<TBitmap>(W, H / 2);
    for (int y = 0; y < H / 2; ++y)
        for (int x = 0; x < W; ++x)
            b->SetPixelColor(x, y, RGB(uint8_t(x * 3), uint8_t(y * 9), 40));
    TCanvas* c = b->GetCanvas();
    c->Brush.Color = RGB(200, 10, uint8_t(10 + k));
    c->FillRect(Rect(10, 8 - k, 30, 11 - k));
    b->SetPixelColor(50 + k, 2, clBlack); // a lone pixel far from the band
    return b;
}

struct BodyForm : TForm {
    TImage* head;
    TImage* body;
    TImage* overlay;
    std::unique_ptr<TBitmap> frames[3];
    BodyForm()
    {
        SetClientWidth(W);
        SetClientHeight(H);
        Color = clWhite;
        head = NewImage("head", 0, 0, W, H / 2);
        body = NewImage("body", 0, H / 2, W, H / 2);
        overlay = NewImage("overlay", 20, H / 2 + 2, 8, 4);
        for (int k = 0; k < 3; ++k)
            frames[k] = Frame(k);
        head->GetCanvas()->Brush.Color = RGB(1, 2, 3);
        head->GetCanvas()->FillRect(Rect(0, 0, W, H / 2));
        overlay->GetCanvas()->Brush.Color = clBlack;
        overlay->GetCanvas()->FillRect(Rect(0, 0, 8, 4));
        head->SetVisible(true);
        body->SetVisible(true);
        Show(0);
        UpdateWindow();
    }
    void Show(int k)
    {
        body->GetCanvas()->CopyMode = SRCCOPY;
        body->GetCanvas()->CopyRect(Rect(0, 0, W, H / 2), frames[k]->GetCanvas(), Rect(0, 0, W, H / 2));
    }
};

// What the window must show: the form composed from scratch.
std::vector<TColor> Expected(BodyForm& f)
{
    std::vector<TColor> v;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            TColor c = f.Color;
            for (TImage* img : {f.head, f.body, f.overlay})
                if (img->GetVisible() && img->BoundsRect().Contains(x, y))
                    c = img->GetBitmap()->GetPixelColor(x - img->GetLeft(), y - img->GetTop());
            v.push_back(c);
        }
    return v;
}

std::vector<TColor> Shown(const TForm& f)
{
    std::vector<TColor> v;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            v.push_back(f.WindowPicture().GetPixelColor(x, y));
    return v;
}

// Every changed pixel lies in a reported rectangle, and every reported
// rectangle holds a changed pixel.
void CheckReport(const std::vector<TColor>& before, const std::vector<TColor>& after, const std::vector<TRect>& rects,
                 const char* what)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const size_t i = size_t(y * W + x);
            if (before[i] == after[i])
                continue;
            bool covered = false;
            for (const TRect& r : rects)
                covered = covered || r.Contains(x, y);
            EXPECT_TRUE(covered) << what << ": pixel " << x << "," << y << " changed unreported";
        }
    for (const TRect& r : rects) {
        bool any = false;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                any = any || before[size_t(y * W + x)] != after[size_t(y * W + x)];
        EXPECT_TRUE(any) << what << ": reported rectangle without a change";
    }
}

} // namespace

TEST(WindowUpdate, BreathingFramesReportWhatChangedEveryRound)
{
    BodyForm f;
    const int order[] = {1, 2, 1, 0};
    std::vector<std::vector<TRect>> firstRound;
    for (int round = 0; round < 3; ++round) {
        for (int step = 0; step < 4; ++step) {
            const std::vector<TColor> before = Shown(f);
            f.Show(order[step]);
            const std::vector<TRect> rects = f.UpdateWindow();
            const std::vector<TColor> after = Shown(f);
            ASSERT_EQ(after, Expected(f)) << "round " << round << " step " << step;
            CheckReport(before, after, rects, "switch");
            EXPECT_FALSE(rects.empty());
            if (round == 0)
                firstRound.push_back(rects);
            else
                EXPECT_EQ(rects, firstRound[size_t(step)]) << "round " << round << " step " << step;
        }
    }
}

TEST(WindowUpdate, ChangesBetweenSwitchesAreNotLost)
{
    struct Between {
        const char* what;
        void (*act)(BodyForm&);
    } cases[] = {
        {"nothing", [](BodyForm&) {}},
        {"a frame drawn into", [](BodyForm& f) { f.frames[1]->SetPixelColor(5, 5, RGB(9, 9, 9)); }},
        {"the shown picture drawn into", [](BodyForm& f) { f.body->GetCanvas()->SetPixel(40, 1, RGB(7, 7, 7)); }},
        {"an overlay shown over the body", [](BodyForm& f) { f.overlay->SetVisible(true); }},
        {"the overlay hidden again", [](BodyForm& f) { f.overlay->SetVisible(false); }},
        {"the body moved", [](BodyForm& f) { f.body->SetLeft(2); }},
        {"the body moved back", [](BodyForm& f) { f.body->SetLeft(0); }},
        {"the form colour", [](BodyForm& f) { f.Color = clBlack; }},
        {"a frame replaced by a copy of another",
         [](BodyForm& f) {
             f.frames[2]->GetCanvas()->CopyRect(Rect(0, 0, W, H / 2), f.frames[0]->GetCanvas(), Rect(0, 0, W, H / 2));
         }},
    };
    BodyForm f;
    // Prime the known changes between the frames.
    for (int k : {1, 2, 1, 0, 1, 2, 1, 0}) {
        f.Show(k);
        f.UpdateWindow();
    }
    for (const Between& c : cases) {
        for (int k : {1, 2, 1, 0}) {
            c.act(f);
            const std::vector<TColor> before = Shown(f);
            f.Show(k);
            const std::vector<TRect> rects = f.UpdateWindow();
            const std::vector<TColor> after = Shown(f);
            ASSERT_EQ(after, Expected(f)) << c.what << ", frame " << k;
            CheckReport(before, after, rects, c.what);
        }
    }
}

TEST(WindowUpdate, SameContentAgainReportsNothing)
{
    BodyForm f;
    f.Show(0); // the frame already shown
    EXPECT_TRUE(f.UpdateWindow().empty());
    // An equal picture that is not the same content by origin.
    auto twin = Frame(0);
    f.body->GetCanvas()->CopyRect(Rect(0, 0, W, H / 2), twin->GetCanvas(), Rect(0, 0, W, H / 2));
    EXPECT_TRUE(f.UpdateWindow().empty());
    EXPECT_EQ(Shown(f), Expected(f));
}
