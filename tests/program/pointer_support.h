// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Helpers of the pointer tests: a started portrait over the default artwork,
// ticks, keys with modifiers, and part files written into the test folder.
#pragma once

#include "tests/program/ProgramFixture.h"

#include <gtest/gtest.h>
#include <string>

namespace velmia::test {

class PointerTest : public ProgramTest {
protected:
    // Starts the portrait and runs the first tick, after which input counts.
    void StartPortrait()
    {
        form_ = Start();
        ASSERT_NE(form_, nullptr);
        ASSERT_FALSE(host_.StartupFailed());
        Tick();
    }

    PortraitState& S() { return form_->MutableState(); }
    int Tick(int n = 1) { return host_.FireTimer(form_->Timer1, n); }

    // A special key with the modifiers held for it.
    void Key(uint16_t vk, bool shift = false, bool ctrl = false)
    {
        host_.SetShift(shift);
        host_.SetCtrl(ctrl);
        host_.PressKey(vk);
        host_.SetShift(false);
        host_.SetCtrl(false);
    }

    // Picture files of one colour in the test folder.
    void WriteParts(const std::string& prefix, int count, int width, int height, vcl::TColor base = 0x00102030)
    {
        for (int i = 0; i < count; ++i)
            WritePicture(prefix + std::to_string(100 + i) + ".bmp", width, height, base + 0x000101 * i);
    }

    vcl::TColor ScreenPixel(int x, int y) { return form_->DispTargetsScreen->GetBitmap()->GetPixelColor(x, y); }

    TSvelmia* form_ = nullptr;
};

} // namespace velmia::test
