// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Composition of the scene show: two figures side by side in front of one
// scene. The left figure is dressed from the left selection set, the right one
// from the main set; each part is drawn at the figure's rectangles computed by
// the show layout. The upper half goes into UpperBmp; the lower half exists in
// seven frames that combine the breathing bands of the two figures:
//
//   frame             0  1  2  3  4  5  6
//   left figure band  0  1  2  0  2  0  1
//   right figure band 0  0  0  1  1  2  2
//
// Transparent layers use the white-key pair of the portrait (mask with
// SRCERASE, picture with SRCINVERT).
#include "shell/Velmiaunit1.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

using namespace vcl;
using namespace layout;

namespace {

constexpr int kFaceStrip = 12; // the face cell's first columns are not shown
// The part of the left figure's closed-eye overlay that the right figure may
// cover: its columns from kOverlayUnderRight on, its first kOverlayUnderRows.
constexpr int kOverlayUnderRight = 216;
constexpr int kOverlayUnderRows = 70;
// The strings take their colour from kTintPoint of the costume picture. (A
// point of the composed frame would be another figure's ribbon or the hem's
// edge, depending on where the figures stand.)

bool EmptySource(const TRect& r)
{
    return r.Right <= r.Left;
}

} // namespace

namespace showcompose {

// Everything the drawing needs of one figure: its rectangles, its selection
// and its part pictures.
struct DrawnFigure {
    const std::array<TRect, kPlacementCount>* Dest;
    const std::array<TRect, kPlacementCount>* Src;
    const std::array<TRect, kPlacementCount>* Mask;
    TRect ChokerLowerDest, ChokerLowerSrc, ChokerLowerMask;
    bool IsLeft;
    const bool* Out;
    SelectionRef Sel;
    TCanvas *Face, *Costume, *CostumeMask, *Camisole, *CamisoleMask, *HairBand, *HairBandMask, *Ribbon, *RibbonMask,
        *Flower, *Choker;

    const TRect& D(int e) const { return (*Dest)[e]; }
    const TRect& S(int e) const { return (*Src)[e]; }
    const TRect& M(int e) const { return (*Mask)[e]; }
};

// One masked layer's rectangles in one body band.
struct LayerRects {
    TRect Dest, Mask, Picture;
};

} // namespace showcompose

using showcompose::DrawnFigure;
using showcompose::LayerRects;

namespace {

DrawnFigure LeftFigure(TSvelmia& form, const PortraitState& s)
{
    return DrawnFigure{.Dest = &s.LeftDestRect,
                       .Src = &s.LeftSrcRect,
                       .Mask = &s.LeftMaskRect,
                       .ChokerLowerDest = s.LeftChokerLowerDestRect,
                       .ChokerLowerSrc = s.LeftChokerLowerSrcRect,
                       .ChokerLowerMask = s.LeftChokerLowerMaskRect,
                       .IsLeft = true,
                       .Out = s.LeftPartOut,
                       .Sel = form.LeftSet(),
                       .Face = s.FaceWorkC->GetCanvas(),
                       .Costume = s.CostumeWork->GetCanvas(),
                       .CostumeMask = s.CostumeWorkMask->GetCanvas(),
                       .Camisole = s.CamisoleWork->GetCanvas(),
                       .CamisoleMask = s.CamisoleWorkMask->GetCanvas(),
                       .HairBand = s.HairBandWork->GetCanvas(),
                       .HairBandMask = s.HairBandWorkMask->GetCanvas(),
                       .Ribbon = s.RibbonWork->GetCanvas(),
                       .RibbonMask = s.RibbonWorkMask->GetCanvas(),
                       .Flower = s.FlowerWork->GetCanvas(),
                       .Choker = s.ChokerWork->GetCanvas()};
}

DrawnFigure RightFigure(TSvelmia& form, const PortraitState& s)
{
    return DrawnFigure{.Dest = &s.RightDestRect,
                       .Src = &s.RightSrcRect,
                       .Mask = &s.RightMaskRect,
                       .ChokerLowerDest = s.RightChokerLowerDestRect,
                       .ChokerLowerSrc = s.RightChokerLowerSrcRect,
                       .ChokerLowerMask = s.RightChokerLowerMaskRect,
                       .IsLeft = false,
                       .Out = s.RightPartOut,
                       .Sel = form.MainSet(),
                       .Face = s.FaceWorkB->GetCanvas(),
                       .Costume = form.Costume->GetCanvas(),
                       .CostumeMask = s.CostumeMask->GetCanvas(),
                       .Camisole = form.Camisole->GetCanvas(),
                       .CamisoleMask = s.CamisoleMask->GetCanvas(),
                       .HairBand = form.HairBand->GetCanvas(),
                       .HairBandMask = s.HairBandMask->GetCanvas(),
                       .Ribbon = form.Ribborn->GetCanvas(),
                       .RibbonMask = s.RibbonMask->GetCanvas(),
                       .Flower = form.FlowerPict->GetCanvas(),
                       .Choker = form.Choker->GetCanvas()};
}

// The frames a figure is drawn into, with the body band of each.
using FrameBands = TSvelmia::FrameBandList;
const FrameBands kLeftFrames = {{0, 0}, {1, 1}, {2, 2}};
const FrameBands kRightFrames = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 2}, {6, 2}};

} // namespace

void TSvelmia::SetFramesCopyMode(bool erase)
{
    for (const OwnedBitmap& frame : FrameBmp)
        frame->GetCanvas()->CopyMode = erase ? SRCERASE : SRCINVERT;
}

void TSvelmia::ComposeShowUpper(int scene)
{
    DrawSceneBackground(scene, SceneStrawberry_Main, {&UpperBmp, 1});
    DrawShowFigureUpper(LeftFigure(*this, *this));
    DrawShowFigureUpper(RightFigure(*this, *this));

    // The right edge of the left figure's closed-eye overlay may lie under the
    // right figure: take it from the fresh picture.
    TCanvas* overlay = CloseEye_disp_Left->GetCanvas();
    overlay->CopyMode = SRCCOPY;
    overlay->CopyRect(Rect(kOverlayUnderRight, 0, kEyeWidth, kOverlayUnderRows), UpperBmp->GetCanvas(),
                      Rect(LeftEyeLeft + kOverlayUnderRight, 0, LeftEyeLeft + kEyeWidth, kOverlayUnderRows));
}

// A masked copy into the upper picture that skips parts cut away by the layout.
void TSvelmia::ShowMaskedCopy(const TRect& dest, TCanvas* mask, const TRect& maskRect, TCanvas* picture,
                              const TRect& pictureRect)
{
    if (EmptySource(pictureRect))
        return;
    MaskedCopy(UpperBmp->GetCanvas(), dest, mask, maskRect, picture, pictureRect);
}

// A layer with a separate mask bitmap of the same layout as its picture.
void TSvelmia::ShowLayer(const DrawnFigure& f, int e, TCanvas* mask, TCanvas* picture)
{
    ShowMaskedCopy(f.D(e), mask, f.M(e), picture, f.S(e));
}

// The layers of one figure, in the portrait's order: the hairband lies over the
// shaggy and punk hair.
void TSvelmia::DrawShowFigureUpper(const DrawnFigure& f)
{
    // Upper body: mask in the upper half of the list, picture in the lower.
    ShowMaskedCopy(f.D(peWindow), MainPictList->GetCanvas(), RowsOf(f.S(peWindow), 0, kHalfHeight),
                   MainPictList->GetCanvas(), RowsOf(f.S(peWindow), kHalfHeight, 2 * kHalfHeight));
    if (!f.Sel.PankHair)
        ShowLayer(f, peHairSide, HairSideMask->GetCanvas(), HairSide->GetCanvas());
    if (f.Sel.OtohimeHair) {
        ShowLayer(f, peOtohime, OtohimeMask->GetCanvas(), OtohimeBmp->GetCanvas());
    } else if (!f.Sel.MainHairHidden) {
        ShowLayer(f, peHairMain, HairMainMask->GetCanvas(), HairMain->GetCanvas());
        if (!f.Sel.LongHair) {
            ShowLayer(f, peHairLong, HairNotLongMask->GetCanvas(), HairNotLong->GetCanvas());
        } else {
            ShowLayer(f, peHairLong, HairLongMask->GetCanvas(), HairLong->GetCanvas());
            if (!(f.IsLeft && f.Out[opLongHairLock]))
                ShowLayer(f, peHairLongLeft, Hair_LongLeft->GetCanvas(), Hair_LongLeft->GetCanvas());
        }
    }
    DrawShowFace(f);

    // Each earring and frame cell is cut by its own shape.
    const int earringTop = EarringCellHeight * f.Sel.EarringIndex;
    ShowMaskedCopy(f.D(peEarring), EarringListMask->GetCanvas(),
                   RowsOf(f.M(peEarring), earringTop, earringTop + EarringCellHeight), EarringListPict->GetCanvas(),
                   RowsOf(f.S(peEarring), earringTop, earringTop + EarringCellHeight));
    if (EarringFramesLoaded && EarringFrameMask) {
        const int frameTop = EarringFrameHeight * f.Sel.EarringFrameIndex;
        ShowMaskedCopy(f.D(peEarringFrame), EarringFrameMask->GetCanvas(),
                       RowsOf(f.M(peEarringFrame), frameTop, frameTop + EarringFrameHeight),
                       EarringFrameList->GetCanvas(),
                       RowsOf(f.S(peEarringFrame), frameTop, frameTop + EarringFrameHeight));
    }
    if (f.Sel.ShaggyHair)
        ShowLayer(f, peShaggy, ShaggyMask->GetCanvas(), ShaggyBmp->GetCanvas());
    if (f.Sel.PankHair)
        ShowLayer(f, pePank, PankMask->GetCanvas(), PankBmp->GetCanvas());
    if (f.Sel.HairBandShown && !f.Sel.LongHair && !(!f.IsLeft && f.Out[opHairBand]))
        ShowLayer(f, peHairBand, f.HairBandMask, f.HairBand);
    if (f.Sel.FlowerShown && !f.Sel.LongHair && f.Sel.FlowerAlt == 0 && !(!f.IsLeft && f.Out[opFlower]))
        ShowLayer(f, peFlower, f.Flower, f.Flower);
    if (f.Sel.ChokerShown)
        ShowLayer(f, peChoker, f.Choker, f.Choker);
    UpperBmp->GetCanvas()->CopyMode = SRCCOPY;
}

// The face cell, opaque, except its first columns: what lies under them (as
// far as the clipped cell covers them) is put back. The portrait's DrawFace
// puts back only the bottom 12 rows of the same columns, so there the cell's
// own left edge shows above them; the show hides the whole strip. The two
// looks are established (the show's and the portrait's pixel tests pin each),
// so they are not one routine.
void TSvelmia::DrawShowFace(const DrawnFigure& f)
{
    const TRect& faceDest = f.D(peFace);
    const TRect& faceSrc = f.S(peFace);
    if (EmptySource(faceSrc))
        return;
    TCanvas* upper = UpperBmp->GetCanvas();
    const int strip = std::min(kFaceStrip, faceSrc.Right) - faceSrc.Left;
    const TRect under = Rect(faceDest.Left, 0, faceDest.Left + strip, FaceCellHeight);
    const TRect stored = Rect(0, 0, strip, FaceCellHeight);
    TCanvas* store = subworkcanvas->GetCanvas();
    if (strip > 0) {
        store->CopyMode = SRCCOPY;
        store->CopyRect(stored, upper, under);
    }
    const int top = FaceCellHeight * f.Sel.FaceIndex;
    upper->CopyMode = SRCCOPY;
    upper->CopyRect(faceDest, f.Face, RowsOf(faceSrc, top, top + FaceCellHeight));
    if (strip > 0)
        upper->CopyRect(under, store, stored);
}

void TSvelmia::ComposeShowLower(int scene)
{
    for (const OwnedBitmap& frame : FrameBmp)
        frame->GetCanvas()->CopyMode = SRCCOPY;

    DrawSceneBackground(scene, SceneStrawberry_Sub, FrameBmp);
    DrawShowFigureLower(LeftFigure(*this, *this), kLeftFrames);

    // The frames that share the left figure's band start from its frames.
    FrameBmp[3]->GetCanvas()->Draw(0, 0, FrameBmp[0].get());
    FrameBmp[5]->GetCanvas()->Draw(0, 0, FrameBmp[0].get());
    FrameBmp[6]->GetCanvas()->Draw(0, 0, FrameBmp[1].get());
    FrameBmp[4]->GetCanvas()->Draw(0, 0, FrameBmp[2].get());

    DrawShowFigureLower(RightFigure(*this, *this), kRightFrames);
}

// One masked layer into every frame of the figure: all mask passes, then all
// picture passes. `rects(band)` gives destination, mask and picture.
template <class RectsOf>
void TSvelmia::LayerIntoFrames(const FrameBandList& frames, TCanvas* mask, TCanvas* picture, RectsOf rects)
{
    if (EmptySource(rects(0).Picture))
        return;
    SetFramesCopyMode(true);
    for (auto [frame, band] : frames) {
        const LayerRects r = rects(band);
        FrameBmp[frame]->GetCanvas()->CopyRect(r.Dest, mask, r.Mask);
    }
    SetFramesCopyMode(false);
    for (auto [frame, band] : frames) {
        const LayerRects r = rects(band);
        FrameBmp[frame]->GetCanvas()->CopyRect(r.Dest, picture, r.Picture);
    }
    for (const OwnedBitmap& frame : FrameBmp)
        frame->GetCanvas()->CopyMode = SRCCOPY;
}

// String patterns are their own masks, tinted with the colour of the figure's
// own costume, as in the portrait: over a fill of that colour the pattern is
// OR-ed in, so white stays white and the strokes take the colour. One tint
// per band.
void TSvelmia::TintPatternIntoFrames(const DrawnFigure& f, const FrameBandList& frames, int e, TImage* picture,
                                     int cellHeight, TColor colour)
{
    const TRect& src = f.S(e);
    if (EmptySource(src))
        return;
    TCanvas* work = subworkcanvas->GetCanvas();
    work->Brush.Color = colour < 0 ? clWhite : colour;
    const int fullWidth = EntryWidth[e];
    for (int band = 0; band < 3; ++band) {
        const int top = cellHeight * band;
        work->FillRect(kTintArea);
        work->CopyMode = SRCPAINT;
        work->CopyRect(Rect(0, 0, fullWidth, cellHeight), picture->GetCanvas(),
                       Rect(0, top, fullWidth, top + cellHeight));
        for (auto [frame, frameBand] : frames) {
            if (frameBand != band)
                continue;
            TCanvas* target = FrameBmp[frame]->GetCanvas();
            target->CopyMode = SRCERASE;
            target->CopyRect(f.D(e), picture->GetCanvas(), RowsOf(src, top, top + cellHeight));
            target->CopyMode = SRCINVERT;
            target->CopyRect(f.D(e), work, RowsOf(src, 0, cellHeight));
            target->CopyMode = SRCCOPY;
        }
    }
    work->CopyMode = SRCPAINT;
}

void TSvelmia::DrawShowFigureLower(const DrawnFigure& f, const FrameBandList& frames)
{
    DrawShowBody(f, frames);
    if (!f.Sel.CamisoleShown) {
        const TColor colour = f.Costume->GetPixel(kTintPoint.x, kTintPoint.y);
        TImage* pictures[4] = {StringPattern, ThickStringPattern, WStringPattern, CrossStringPattern};
        const int cellHeights[4] = {SourceRows(peString), SourceRows(peThickString), SourceRows(peWString),
                                    SourceRows(peCrossString)};
        for (int i = 0; i < 4; ++i)
            if (*f.Sel.PatternFlag(i))
                TintPatternIntoFrames(f, frames, peString + i, pictures[i], cellHeights[i], colour);
    }
    DrawShowWornOnBody(f, frames);
}

// The hair ends, the body, the costume or the camisole, the hair over them.
void TSvelmia::DrawShowBody(const DrawnFigure& f, const FrameBandList& frames)
{
    // Hair ends, opaque, behind the body.
    if (!f.Sel.MainHairHidden && !f.Out[opHairBottom] && !EmptySource(f.S(peHairBottom)))
        for (auto [frame, band] : frames) {
            TCanvas* target = FrameBmp[frame]->GetCanvas();
            target->CopyMode = SRCCOPY;
            target->CopyRect(f.D(peHairBottom), HairBottom->GetCanvas(), f.S(peHairBottom));
        }

    LayerIntoFrames(frames, SubPictListMask->GetCanvas(), SubPictList->GetCanvas(), [&](int band) {
        const TRect src = RowsOf(f.S(peWindow), kHalfHeight * band, kHalfHeight * band + kHalfHeight);
        return LayerRects{f.D(peWindow), src, src};
    });

    if (f.Sel.CamisoleShown)
        LayerIntoFrames(frames, f.CamisoleMask, f.Camisole, [&](int band) {
            const TRect src =
                RowsOf(f.S(peCamisole), CamisoleBandHeight * band, CamisoleBandHeight * band + CamisoleBandHeight);
            return LayerRects{f.D(peCamisole), src, src};
        });
    else
        LayerIntoFrames(frames, f.CostumeMask, f.Costume, [&](int band) {
            const TRect src =
                RowsOf(f.S(peCostume), CostumeBandHeight * band, CostumeBandHeight * band + CostumeBandHeight);
            return LayerRects{f.D(peCostume), src, src};
        });

    if (f.Sel.OtohimeHair) {
        LayerIntoFrames(frames, OtohimeMask->GetCanvas(), OtohimeBmp->GetCanvas(), [&](int) {
            const TRect src = RowsOf(f.S(peOtohime), kOtohimeLower.top, kOtohimeLower.bottom);
            return LayerRects{RowsOf(f.D(peOtohime), 0, kOtohimeLower.bottom - kOtohimeLower.top), src, src};
        });
    } else if (!f.Sel.MainHairHidden) {
        LayerIntoFrames(frames, HairSubMask->GetCanvas(), HairSub->GetCanvas(), [&](int) {
            return LayerRects{f.D(peHairSub), f.M(peHairSub), f.S(peHairSub)};
        });
    }
}

// The bracelet, the ribbon, the choker and the flower on the body.
void TSvelmia::DrawShowWornOnBody(const DrawnFigure& f, const FrameBandList& frames)
{
    if (f.Sel.BraceletShown && !f.Out[opBracelet])
        LayerIntoFrames(frames, BraceletMask->GetCanvas(), BraceletList->GetCanvas(), [&](int) {
            const int top = BraceletCellHeight * f.Sel.BraceletIndex + BraceletCellHeight;
            const TRect cell = RowsOf(f.S(peBracelet), top, top + BraceletCellHeight);
            return LayerRects{f.D(peBracelet), cell, cell};
        });
    if (f.Sel.RibbonShown)
        LayerIntoFrames(frames, f.RibbonMask, f.Ribbon, [&](int band) {
            return LayerRects{f.D(peRibbon + band), f.M(peRibbon + band), f.S(peRibbon + band)};
        });
    if (f.Sel.ChokerShown)
        LayerIntoFrames(frames, f.Choker, f.Choker, [&](int) {
            return LayerRects{f.ChokerLowerDest, f.ChokerLowerMask, f.ChokerLowerSrc};
        });
    if (f.Sel.FlowerShown && f.Sel.FlowerAlt == 1)
        LayerIntoFrames(frames, f.Flower, f.Flower, [&](int band) {
            const int e = peFlower + 1 + band;
            return LayerRects{f.D(e), f.M(e), f.S(e)};
        });
}
