// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Helpers of the tick, composer, body-frame and blink tests: a started
// portrait over the default artwork, ticks, redraw requests and pixel reads.
#pragma once

#include "tests/program/ProgramFixture.h"

#include <gtest/gtest.h>

namespace velmia::test {

class ComposeFixture : public ProgramTest {
protected:
    // Starts the portrait; the test fails if start-up does.
    void StartPortrait()
    {
        form_ = Start();
        ASSERT_NE(form_, nullptr);
        ASSERT_FALSE(host_.StartupFailed());
    }

    PortraitState& S() { return form_->MutableState(); }

    // Fires Timer1 n times; returns how many ticks ran.
    int Tick(int n = 1) { return host_.FireTimer(form_->Timer1, n); }

    // What the input handlers do to get a change on screen: the same scene and
    // cells again, composed at the next tick.
    void RequestRedraw()
    {
        form_->StepBackCounters();
        form_->RequestRedraw();
        S().RoundCounter = 0;
    }

    // Redraw request followed by the tick that composes.
    void Recompose()
    {
        RequestRedraw();
        Tick();
    }

    static vcl::TColor Px(const vcl::TBitmap* b, int x, int y) { return b->GetPixelColor(x, y); }
    static vcl::TColor Px(vcl::TImage* image, int x, int y) { return image->GetBitmap()->GetPixelColor(x, y); }

    // True when the two bitmaps hold the same colours over the rectangle.
    static bool SameArea(const vcl::TBitmap* a, const vcl::TBitmap* b, const vcl::TRect& r)
    {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (a->GetPixelColor(x, y) != b->GetPixelColor(x, y))
                    return false;
        return true;
    }

    // A copy of a bitmap, for comparing before and after.
    static std::unique_ptr<vcl::TBitmap> Snapshot(const vcl::TBitmap* b)
    {
        auto copy = std::make_unique<vcl::TBitmap>();
        copy->Assign(*b);
        return copy;
    }

    TSvelmia* form_ = nullptr;
};

} // namespace velmia::test
