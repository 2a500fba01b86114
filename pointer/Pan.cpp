// The horizontal pan. The part pictures never move: every layer rectangle of
// the composer is recomputed so that the layer lands PanX pixels further
// right, clipped to the 800-pixel window with its source clipped to match.
// A layer that ends up wholly outside gets its flag set and is skipped.
#include "shell/Velmiaunit1.h"

#include <initializer_list>

using namespace vcl;

namespace {
constexpr int kWindowWidth = 800;
} // namespace

// The steps run in this order and a later one overrides an earlier one; a
// layer whose right edge lands exactly on 0, or whose left edge lands exactly
// on the window's right edge, is outside.
bool TSvelmia::ClipSpan(int left, int width, int& destLeft, int& destRight, int& sourceLeft, int& sourceRight)
{
    const int l = left + PanX;
    destLeft = l;
    destRight = l + width;
    sourceLeft = 0;
    sourceRight = width;
    bool outside = false;
    if (l < 0) {
        sourceLeft = -l;
        destLeft = 0;
    }
    if (l + width <= 0) {
        destRight = 0;
        sourceLeft = width;
        outside = true;
    }
    if (l + width > kWindowWidth) {
        destRight = kWindowWidth;
        sourceRight = kWindowWidth - l;
    }
    if (l >= kWindowWidth) {
        destRight = l;
        sourceRight = 0;
        outside = true;
    }
    return outside;
}

void TSvelmia::ApplyPan()
{
    // Clips one layer and writes the columns into all its destination and
    // source rectangles (rows are never touched).
    auto pan = [this](int left, int width, std::initializer_list<TRect*> dests, std::initializer_list<TRect*> sources) {
        int dl = 0, dr = 0, sl = 0, sr = 0;
        const bool outside = ClipSpan(left, width, dl, dr, sl, sr);
        for (TRect* r : dests) {
            r->Left = dl;
            r->Right = dr;
        }
        for (TRect* r : sources) {
            r->Left = sl;
            r->Right = sr;
        }
        return outside;
    };

    HairLongLeftOut = HairBottomOut = HairBandOut = FlowerOut = FlowerBodyOut = ChokerOut = RibbonOut = BraceletOut =
        false;

    pan(0, 800, {&MainRect}, {&BandRect[0], &BandRect[1], &BandRect[2]});
    pan(238, 243, {&EyeDestRect}, {&EyeSrcRect});
    pan(221, 279, {&FaceDestRect}, {&FaceSrcRect});
    HairLongLeftOut = pan(100, 150, {&HairLongLeftDestRect}, {&HairLongLeftMaskRect, &HairLongLeftSrcRect});
    pan(100, 600, {&HairMainDestRect}, {&HairMainSrcRect});
    pan(200, 500, {&HairSubDestRect}, {&HairSubSrcRect});
    pan(170, 420, {&HairSideDestRect}, {&HairSideSrcRect});
    pan(410, 260, {&HairLongDestRect}, {&HairLongSrcRect});
    HairBottomOut = pan(620, 60, {&HairBottomDestRect}, {&HairBottomSrcRect});
    pan(250, 330, {&EarringDestRect}, {&EarringSrcRect});
    pan(250, 340, {&EarringFrameDestRect}, {&EarringFrameSrcRect});
    BraceletOut = pan(670, 130, {&BraceletDestRect}, {&BraceletMaskRect, &BraceletSrcRect});
    pan(110, 530, {&CostumeDestRect}, {&CostumeBandRect[0], &CostumeBandRect[1], &CostumeBandRect[2]});
    pan(100, 550, {&CamisoleDestRect}, {&CamisoleBandRect[0], &CamisoleBandRect[1], &CamisoleBandRect[2]});
    RibbonOut = pan(370, 200, {&RibbonDestRect[0], &RibbonDestRect[1], &RibbonDestRect[2], &RibbonDestRect[3]},
                    {&RibbonSrcRect});
    FlowerOut = pan(480, 100, {&FlowerDestRect[0]}, {&FlowerMaskRect, &FlowerSrcRect});
    // The flower on the body sits at 428 in all three body frames; the body
    // placements take their source columns from their own destination
    // (DrawFlowerOnBody), so the shared source follows the first placement.
    FlowerBodyOut = pan(428, 100, {&FlowerDestRect[1], &FlowerDestRect[2], &FlowerDestRect[3]}, {});
    ChokerOut = pan(350, 150, {&ChokerUpperDestRect, &ChokerLowerDestRect},
                    {&ChokerMaskRect, &ChokerSrcRect, &ChokerUpperMaskRect, &ChokerLowerMaskRect, &ChokerUpperSrcRect,
                     &ChokerLowerSrcRect});
    HairBandOut = pan(480, 80, {&HairBandDestRect}, {&HairBandSrcRect});
    pan(200, 280, {&StringDestRect}, {&StringSrcRect});
    pan(200, 390, {&WStringDestRect}, {&WStringSrcRect});
    pan(210, 290, {&CrossStringDestRect}, {&CrossStringSrcRect});
    pan(200, 290, {&ThickStringDestRect}, {&ThickStringSrcRect});

    // The blink overlay covers the visible part of the eye patch.
    EyeLeft = EyeDestRect.Left;
    EyeVisibleWidth = EyeSrcRect.Right - EyeSrcRect.Left;
    CloseEye_disp->SetWidth(EyeVisibleWidth);
    HideBlinkOverlays();
    RefreshClosedEyes();
}
