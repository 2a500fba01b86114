// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The horizontal pan. The part pictures never move: every layer rectangle of
// the composer is recomputed so that the layer lands PanX pixels further
// right, clipped to the 800-pixel window with its source clipped to match.
// A layer that ends up wholly outside gets its flag set and is skipped.
#include "shell/Velmiaunit1.h"

#include <initializer_list>

using namespace vcl;
using namespace layout;

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
    // Clips the layer of one placement entry and writes the columns into all
    // its destination and source rectangles (rows are never touched).
    auto pan = [this](int entry, std::initializer_list<TRect*> dests, std::initializer_list<TRect*> sources) {
        int dl = 0, dr = 0, sl = 0, sr = 0;
        const bool outside = ClipSpan(kEntryLeft[entry], kEntryWidth[entry], dl, dr, sl, sr);
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

    pan(peWindow, {&MainRect}, {&BandRect[0], &BandRect[1], &BandRect[2]});
    pan(peEye, {&EyeDestRect}, {&EyeSrcRect});
    pan(peFace, {&FaceDestRect}, {&FaceSrcRect});
    HairLongLeftOut = pan(peHairLongLeft, {&HairLongLeftDestRect}, {&HairLongLeftMaskRect, &HairLongLeftSrcRect});
    pan(peHairMain, {&HairMainDestRect}, {&HairMainSrcRect});
    pan(peHairSub, {&HairSubDestRect}, {&HairSubSrcRect});
    pan(peHairSide, {&HairSideDestRect}, {&HairSideSrcRect});
    pan(peHairLong, {&HairLongDestRect}, {&HairLongSrcRect});
    HairBottomOut = pan(peHairBottom, {&HairBottomDestRect}, {&HairBottomSrcRect});
    pan(peEarring, {&EarringDestRect}, {&EarringSrcRect});
    pan(peEarringFrame, {&EarringFrameDestRect}, {&EarringFrameSrcRect});
    BraceletOut = pan(peBracelet, {&BraceletDestRect}, {&BraceletMaskRect, &BraceletSrcRect});
    pan(peCostume, {&CostumeDestRect}, {&CostumeBandRect[0], &CostumeBandRect[1], &CostumeBandRect[2]});
    pan(peCamisole, {&CamisoleDestRect}, {&CamisoleBandRect[0], &CamisoleBandRect[1], &CamisoleBandRect[2]});
    RibbonOut = pan(peRibbon, {&RibbonDestRect[0], &RibbonDestRect[1], &RibbonDestRect[2], &RibbonDestRect[3]},
                    {&RibbonSrcRect});
    FlowerOut = pan(peFlower, {&FlowerDestRect[0]}, {&FlowerMaskRect, &FlowerSrcRect});
    // The flower on the body sits at 428 in all three body frames; the body
    // placements take their source columns from their own destination
    // (DrawFlowerOnBody), so the shared source follows the first placement.
    FlowerBodyOut = pan(peFlower + 1, {&FlowerDestRect[1], &FlowerDestRect[2], &FlowerDestRect[3]}, {});
    ChokerOut = pan(peChoker, {&ChokerUpperDestRect, &ChokerLowerDestRect},
                    {&ChokerMaskRect, &ChokerSrcRect, &ChokerUpperMaskRect, &ChokerLowerMaskRect, &ChokerUpperSrcRect,
                     &ChokerLowerSrcRect});
    HairBandOut = pan(peHairBand, {&HairBandDestRect}, {&HairBandSrcRect});
    pan(peString, {&StringDestRect}, {&StringSrcRect});
    pan(peWString, {&WStringDestRect}, {&WStringSrcRect});
    pan(peCrossString, {&CrossStringDestRect}, {&CrossStringSrcRect});
    pan(peThickString, {&ThickStringDestRect}, {&ThickStringSrcRect});
    // The alternative hair styles move with the head they are drawn on;
    // within the pan's limits none of them ever lies wholly outside.
    pan(peShaggy, {&ShaggyDestRect}, {&ShaggySrcRect});
    pan(pePank, {&PankDestRect}, {&PankSrcRect});
    pan(peOtohime, {&OtohimeDestRect}, {&OtohimeSrcRect});

    // The blink overlay covers the visible part of the eye patch.
    EyeLeft = EyeDestRect.Left;
    EyeVisibleWidth = EyeSrcRect.Right - EyeSrcRect.Left;
    CloseEye_disp->SetWidth(EyeVisibleWidth);
    HideBlinkOverlays();
    RefreshClosedEyes();
}
