// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The breathing lower body: three body frames with the same layers, where the
// breathing pictures (body, camisole, costume, string patterns) take a
// different band per frame and the small accessories on the chest rise by 0,
// 2 and 3 pixels. The tick shows the frames in turn.
#include "shell/Velmiaunit1.h"

using namespace vcl;
using namespace layout;

namespace {

constexpr int kFrames = 3;

} // namespace

void TSvelmia::DrawBodyFrames(int scene)
{
    if (RedrawPending())
        return; // a redraw is pending and will do this again
    TCanvas* frame[kFrames] = {FrameBmp[0]->GetCanvas(), FrameBmp[1]->GetCanvas(), FrameBmp[2]->GetCanvas()};
    for (TCanvas* f : frame)
        f->CopyMode = SRCCOPY;

    DrawSceneBackground(scene, SceneStrawberry_Sub, {FrameBmp, kFrames});

    // Hair ends, opaque, behind the body.
    if (!MainHairHidden && !HairBottomOut)
        for (TCanvas* f : frame)
            f->CopyRect(HairBottomDestRect, HairBottom->GetCanvas(), HairBottomSrcRect);

    for (int k = 0; k < kFrames; ++k)
        MaskedCopy(frame[k], MainRect, SubPictListMask->GetCanvas(), BandRect[k], SubPictList->GetCanvas(),
                   BandRect[k]);

    for (int k = 0; k < kFrames; ++k) {
        if (CamisoleShown)
            MaskedCopy(frame[k], CamisoleDestRect, CamisoleMask->GetCanvas(), CamisoleBandRect[k],
                       Camisole->GetCanvas(), CamisoleBandRect[k]);
        else
            MaskedCopy(frame[k], CostumeDestRect, CostumeMask->GetCanvas(), CostumeBandRect[k], Costume->GetCanvas(),
                       CostumeBandRect[k]);
    }

    // Lower hair, the same band in every frame.
    if (OtohimeHair) {
        const TRect lowerPart = RowsOf(OtohimeSrcRect, kOtohimeLower.top, kOtohimeLower.bottom);
        const TRect onFrame = RowsOf(OtohimeDestRect, 0, kOtohimeLower.bottom - kOtohimeLower.top);
        for (TCanvas* f : frame)
            MaskedCopy(f, onFrame, OtohimeMask->GetCanvas(), lowerPart, OtohimeBmp->GetCanvas(), lowerPart);
    } else if (!MainHairHidden) {
        for (TCanvas* f : frame)
            MaskedCopy(f, HairSubDestRect, HairSubMask->GetCanvas(), HairSubSrcRect, HairSub->GetCanvas(),
                       HairSubSrcRect);
    }

    if (!CamisoleShown)
        DrawStringPatterns();

    // The ribbon rises with the chest.
    if (RibbonShown && !RibbonOut)
        for (int k = 0; k < kFrames; ++k)
            MaskedCopy(frame[k], RibbonDestRect[k], RibbonMask->GetCanvas(), RibbonSrcRect, Ribborn->GetCanvas(),
                       RibbonSrcRect);

    // The choker's lower part does not move.
    if (ChokerShown)
        for (TCanvas* f : frame)
            MaskedCopy(f, ChokerLowerDestRect, Choker->GetCanvas(), ChokerLowerMaskRect, Choker->GetCanvas(),
                       ChokerLowerSrcRect);
}

// The string patterns that are on, over the costume only, in this order.
void TSvelmia::DrawStringPatterns()
{
    if (StringPatternOn)
        DrawStringPattern(StringPattern, StringDestRect, StringSrcRect, SourceRows(peString));
    if (ThickStringOn)
        DrawStringPattern(ThickStringPattern, ThickStringDestRect, ThickStringSrcRect, SourceRows(peThickString));
    if (WStringOn)
        DrawStringPattern(WStringPattern, WStringDestRect, WStringSrcRect, SourceRows(peWString));
    if (CrossStringOn)
        DrawStringPattern(CrossStringPattern, CrossStringDestRect, CrossStringSrcRect, SourceRows(peCrossString));
}

// A string pattern is its own mask: white where transparent, dark strokes.
// It is tinted with the costume colour first: over a fill of that colour the
// pattern is OR-ed in, so its white stays white and the strokes take the
// colour. Then the pattern erases its strokes from the frame and the tinted
// copy is XOR-ed in.
void TSvelmia::DrawStringPattern(TImage* pattern, const TRect& dest, const TRect& source, int cellHeight)
{
    TColor colour = Costume->GetCanvas()->GetPixel(kTintPoint.x, kTintPoint.y);
    if (colour < 0)
        colour = clWhite; // a costume picture too small to have that pixel
    TCanvas* work = subworkcanvas->GetCanvas();
    work->Brush.Color = colour;
    const TRect tinted = Rect(0, 0, source.Width(), cellHeight);
    for (int k = 0; k < kFrames; ++k) {
        const TRect cell = RowsOf(source, cellHeight * k, cellHeight * k + cellHeight);
        work->FillRect(kTintArea);
        work->CopyMode = SRCPAINT;
        work->CopyRect(tinted, pattern->GetCanvas(), cell);
        MaskedCopy(FrameBmp[k]->GetCanvas(), dest, pattern->GetCanvas(), cell, work, tinted);
    }
    work->CopyMode = SRCPAINT;
}

void TSvelmia::DrawBracelet(int cell)
{
    // Each cell is cut by its own shape: BraceletMask holds the mask of every
    // cell, row for row with the list.
    const int top = BraceletCellHeight * cell + BraceletSrcRect.Top;
    const TRect picture = RowsOf(BraceletSrcRect, top, top + BraceletCellHeight);
    for (int k = 0; k < kFrames; ++k)
        MaskedCopy(FrameBmp[k]->GetCanvas(), BraceletDestRect, BraceletMask->GetCanvas(), picture,
                   BraceletList->GetCanvas(), picture);
}

// The flower's second placement, on the chest: it rises with the breath. Its
// source columns follow its own placement (the first placement, on the head,
// is clipped at other columns when the figure is panned).
void TSvelmia::DrawFlowerOnBody()
{
    for (int k = 0; k < kFrames; ++k) {
        const TRect& dest = FlowerDestRect[k + 1];
        const int left = dest.Left - (EntryLeft[peFlower + 1] + PanX);
        const int right = left + dest.Width();
        MaskedCopy(FrameBmp[k]->GetCanvas(), dest, FlowerPict->GetCanvas(),
                   Rect(left, FlowerMaskRect.Top, right, FlowerMaskRect.Bottom), FlowerPict->GetCanvas(),
                   Rect(left, FlowerSrcRect.Top, right, FlowerSrcRect.Bottom));
    }
}
