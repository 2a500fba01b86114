// Definitions of the helpers of the key command and scene show tests.
#include "tests/program/commands_support.h"

using namespace vcl;

namespace velmia::test {

std::vector<int64_t> CommandTest::Fingerprint()
{
    const PortraitState& s = S();
    std::vector<int64_t> v = {
        s.EarringIndex, s.EarringFrameIndex, s.BraceletIndex, s.FlowerAlt, s.FaceIndex, s.EarringAuto, s.FaceAuto,
        s.BraceletShown, s.LongHair, s.ShaggyHair, s.PankHair, s.OtohimeHair, s.BraceletAuto, s.MainHairHidden,
        s.StringPatternOn, s.ThickStringOn, s.WStringOn, s.CrossStringOn, s.RibbonShown, s.StringPatternIndex,
        s.HairBandShown, s.FlowerShown, s.ChokerShown, s.EyesClosed, s.CamisoleShown,
        // the left set
        s.LeftEarringIndex, s.LeftEarringFrameIndex, s.LeftBraceletIndex, s.LeftFlowerAlt, s.LeftFaceIndex,
        s.LeftEarringAuto, s.LeftFaceAuto, s.LeftBraceletShown, s.LeftLongHair, s.LeftShaggyHair, s.LeftPankHair,
        s.LeftOtohimeHair, s.LeftBraceletAuto, s.LeftMainHairHidden, s.LeftStringPatternOn, s.LeftThickStringOn,
        s.LeftWStringOn, s.LeftCrossStringOn, s.LeftRibbonShown, s.LeftStringPatternIndex, s.LeftHairBandShown,
        s.LeftFlowerShown, s.LeftChokerShown, s.LeftEyesClosed, s.LeftCamisoleShown,
        // views and the redraw request
        s.PortraitMode, s.ShowMode, s.GrayMode, s.QuadMode, s.CloseUpMode, s.CycleCounter, s.SceneIndex, s.ShowOrigin,
        s.MainSwapped, s.CopyToLeftArmed, s.QuadEyesClosed, s.GrayEyesClosed, s.GrayBlinkTable[0], s.QuitRequested};
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

std::filesystem::path CommandTest::SampleBitmaps()
{
    return VELMIA_SAMPLE_BITMAPS;
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
