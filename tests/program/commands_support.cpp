// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Definitions of the helpers of the key command and scene show tests.
#include "tests/program/commands_support.h"

using namespace vcl;

namespace velmia::test {

std::vector<int64_t> CommandTest::Fingerprint()
{
    std::vector<int64_t> v;
    for (const SelectionRef& set : {form_->MainSet(), form_->LeftSet()}) {
#define VELMIA_FINGERPRINT(type, name) v.push_back(int64_t(set.name));
        VELMIA_SELECTION_MEMBERS(VELMIA_FINGERPRINT)
#undef VELMIA_FINGERPRINT
    }
    // views and the redraw request
    const PortraitState& s = S();
    v.insert(v.end(), {s.PortraitMode, s.ShowMode, s.GrayMode, s.QuadMode, s.CloseUpMode, s.CycleCounter, s.SceneIndex,
                       int(s.ShowOrigin), s.MainSwapped, s.CopyToLeftArmed, s.QuadEyesClosed, s.GrayEyesClosed,
                       s.GrayBlinkTable[0], s.QuitRequested});
    return v;
}

uint64_t CommandTest::Digest(const TBitmap* b)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t x) { h = (h ^ x) * 1099511628211ull; };
    mix(uint64_t(b->GetWidth()));
    mix(uint64_t(b->GetHeight()));
    mix(uint64_t(b->GetPixelFormat()));
    for (int y = 0; y < b->GetHeight(); ++y)
        for (int x = 0; x < b->GetWidth(); ++x)
            mix(uint64_t(uint32_t(b->GetPixelColor(x, y))));
    return h;
}

void CommandTest::EnterView(View v)
{
    switch (v) {
    case View::Portrait:
        break;
    case View::Show:
        EnterShow();
        break;
    case View::Gray:
    case View::Quad:
        S().PortraitMode = false;
        (v == View::Gray ? S().GrayMode : S().QuadMode) = true;
        break;
    case View::Waiting:
        S().ShutCountdown = 3;
        break;
    }
}

} // namespace velmia::test
