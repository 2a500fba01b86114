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

// Clips the layer of one placement entry and writes the columns into all its
// destination and source rectangles (rows are never touched); true when the
// layer lies wholly outside.
bool TSvelmia::PanEntry(int entry, std::initializer_list<TRect*> dests, std::initializer_list<TRect*> sources)
{
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
}

void TSvelmia::ApplyPan()
{
    HairLongLeftOut = HairBottomOut = HairBandOut = FlowerOut = FlowerBodyOut = ChokerOut = RibbonOut = BraceletOut =
        false;
    PanFigureAndHair();
    PanWornParts();

    // The blink overlay covers the visible part of the eye patch.
    EyeLeft = EyeDestRect.Left;
    EyeVisibleWidth = EyeSrcRect.Right - EyeSrcRect.Left;
    CloseEye_disp->SetWidth(EyeVisibleWidth);
    HideBlinkOverlays();
    RefreshClosedEyes();
}

// The whole picture, the eyes, the face, the hair and the earrings.
void TSvelmia::PanFigureAndHair()
{
    PanEntry(peWindow, {&MainRect}, {&BandRect[0], &BandRect[1], &BandRect[2]});
    PanEntry(peEye, {&EyeDestRect}, {&EyeSrcRect});
    PanEntry(peFace, {&FaceDestRect}, {&FaceSrcRect});
    HairLongLeftOut = PanEntry(peHairLongLeft, {&HairLongLeftDestRect}, {&HairLongLeftMaskRect, &HairLongLeftSrcRect});
    PanEntry(peHairMain, {&HairMainDestRect}, {&HairMainSrcRect});
    PanEntry(peHairSub, {&HairSubDestRect}, {&HairSubSrcRect});
    PanEntry(peHairSide, {&HairSideDestRect}, {&HairSideSrcRect});
    PanEntry(peHairLong, {&HairLongDestRect}, {&HairLongSrcRect});
    HairBottomOut = PanEntry(peHairBottom, {&HairBottomDestRect}, {&HairBottomSrcRect});
    PanEntry(peEarring, {&EarringDestRect}, {&EarringSrcRect});
    PanEntry(peEarringFrame, {&EarringFrameDestRect}, {&EarringFrameSrcRect});
}

// The parts the figure wears, the strings and the alternative hair styles.
void TSvelmia::PanWornParts()
{
    BraceletOut = PanEntry(peBracelet, {&BraceletDestRect}, {&BraceletMaskRect, &BraceletSrcRect});
    PanEntry(peCostume, {&CostumeDestRect}, {&CostumeBandRect[0], &CostumeBandRect[1], &CostumeBandRect[2]});
    PanEntry(peCamisole, {&CamisoleDestRect}, {&CamisoleBandRect[0], &CamisoleBandRect[1], &CamisoleBandRect[2]});
    RibbonOut = PanEntry(peRibbon, {&RibbonDestRect[0], &RibbonDestRect[1], &RibbonDestRect[2], &RibbonDestRect[3]},
                         {&RibbonSrcRect});
    FlowerOut = PanEntry(peFlower, {&FlowerDestRect[0]}, {&FlowerMaskRect, &FlowerSrcRect});
    // The flower on the body sits at 428 in all three body frames; the body
    // placements take their source columns from their own destination
    // (DrawFlowerOnBody), so the shared source follows the first placement.
    FlowerBodyOut = PanEntry(peFlower + 1, {&FlowerDestRect[1], &FlowerDestRect[2], &FlowerDestRect[3]}, {});
    ChokerOut = PanEntry(peChoker, {&ChokerUpperDestRect, &ChokerLowerDestRect},
                         {&ChokerMaskRect, &ChokerSrcRect, &ChokerUpperMaskRect, &ChokerLowerMaskRect,
                          &ChokerUpperSrcRect, &ChokerLowerSrcRect});
    HairBandOut = PanEntry(peHairBand, {&HairBandDestRect}, {&HairBandSrcRect});
    PanEntry(peString, {&StringDestRect}, {&StringSrcRect});
    PanEntry(peWString, {&WStringDestRect}, {&WStringSrcRect});
    PanEntry(peCrossString, {&CrossStringDestRect}, {&CrossStringSrcRect});
    PanEntry(peThickString, {&ThickStringDestRect}, {&ThickStringSrcRect});
    // The alternative hair styles move with the head they are drawn on;
    // within the pan's limits none of them ever lies wholly outside.
    PanEntry(peShaggy, {&ShaggyDestRect}, {&ShaggySrcRect});
    PanEntry(pePank, {&PankDestRect}, {&PankSrcRect});
    PanEntry(peOtohime, {&OtohimeDestRect}, {&OtohimeSrcRect});
}
