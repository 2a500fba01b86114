// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Helpers of the key command and scene show tests: a started portrait, ticks,
// the show entered as a user enters it, and a fingerprint of the state the
// commands change.
#pragma once

#include "tests/program/ProgramFixture.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace velmia::test {

class CommandTest : public ProgramTest {
public:
    void StartPortrait()
    {
        form_ = Start();
        ASSERT_NE(form_, nullptr);
        ASSERT_FALSE(host_.StartupFailed());
        Tick(); // the first tick ends start-up's Busy
        Compose();
        Compose(); // SceneIndex 2: scene 1 on screen
    }

    PortraitState& S() { return form_->MutableState(); }
    int Tick(int n = 1) { return host_.FireTimer(form_->Timer1, n); }
    // The tick that ends the cycle and composes.
    void Compose()
    {
        form_->RequestRedraw();
        Tick();
    }
    void Type(char c) { host_.TypeChar(c); }

    enum class View { Portrait, Show, Gray, Quad, Waiting };
    // Puts the started portrait into a view (Waiting: a touch has opened
    // the eyes and Timer2 has not closed them yet).
    void EnterView(View v);

    // q copies the figure into the left set, w starts the show; the next tick
    // composes it.
    void EnterShow()
    {
        Type('q');
        Type('w');
        ASSERT_TRUE(S().ShowMode);
        Tick();
    }

    // Everything a key command may change, as one list of numbers.
    std::vector<int64_t> Fingerprint();

    // A digest of a bitmap's size, format and pixels.
    static uint64_t Digest(const vcl::TBitmap* b);

    static vcl::TColor Px(const vcl::TBitmap* b, int x, int y) { return b->GetPixelColor(x, y); }
    static vcl::TColor Px(vcl::TImage* image, int x, int y) { return image->GetBitmap()->GetPixelColor(x, y); }

    TSvelmia* form_ = nullptr;
};

} // namespace velmia::test
