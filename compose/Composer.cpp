// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The portrait composer: builds the upper picture (head, 800 x 300) and the
// three body frames from the part pictures, back to front, with masked copies,
// and puts them on screen. It runs at the end of every portrait cycle, which
// is also how every command gets its change onto the screen. Each run advances
// the scene and the automatically changing cells after drawing them.
//
// Layer columns come from the layer rectangles, which the pan keeps moved and
// clipped to the window; the rows of a cell are chosen here. Backgrounds and
// the copies onto the screen always cover the whole 800 x 300.
#include "shell/Velmiaunit1.h"

#include <cstring>
#include <vector>

using namespace vcl;
using namespace layout;

namespace {

// Panned this far to her right, the figure leaves the sky area free: the
// night background and the sky key come in.
constexpr int kSkyFromPan = 100;

} // namespace

// Masked copy: the white-key mask erases what the opaque pixels will cover
// (S AND NOT D leaves the inverse of the old content under white), then the
// picture is XOR-ed in (white turns the inverse back, opaque pixels land as
// they are). Leaves the target in SRCCOPY.
void TSvelmia::MaskedCopy(TCanvas* target, const TRect& dest, TCanvas* mask, const TRect& maskRect, TCanvas* picture,
                          const TRect& pictureRect)
{
    target->CopyMode = SRCERASE;
    target->CopyRect(dest, mask, maskRect);
    target->CopyMode = SRCINVERT;
    target->CopyRect(dest, picture, pictureRect);
    target->CopyMode = SRCCOPY;
}

void TSvelmia::ComposePortrait()
{
    const Timer1Pause pause(*this);
    ComposePortraitLayers();

    // Final stage (the cycle counter is 0 here).
    if (EyesClosed || TouchOpened)
        SaveComposedEyes();
    if (EyesClosed)
        CloseEyesInComposition();
    if (PanX >= kSkyFromPan && CurrentScene >= 1)
        MakeSkyKey();
    ShowComposedPicture();
}

// The scene, the figure and what it wears, into the upper picture and the
// body frames; then the counters move on.
void TSvelmia::ComposePortraitLayers()
{
    const BusyHold busy(*this);
    TCanvas* upper = UpperBmp->GetCanvas();

    CurrentScene = SceneIndex;
    DrawBackgroundAndHair(CurrentScene);
    DrawHeadLayers();

    if (BackgroundLoaded && EyesClosed && CurrentScene == kNightScene && PanX >= kSkyFromPan)
        SetUpNightBackground();

    upper->CopyMode = SRCCOPY;
    DrawBodyFrames(CurrentScene);
    if (BraceletShown && !BraceletOut)
        DrawBracelet(BraceletIndex);
    if (FlowerShown && FlowerAlt == 1 && !FlowerBodyOut)
        DrawFlowerOnBody();
    AdvancePortraitCounters();
}

// What the upper picture shows over the hair, for the current selection: the
// face cell, the earring and its frame, the fringes of the shaggy and punk
// styles, the hairband, the flower in the hair and the choker's band. The
// hairband lies over the shaggy and punk hair, which would otherwise hide it.
void TSvelmia::DrawHeadLayers()
{
    TCanvas* upper = UpperBmp->GetCanvas();
    DrawFace(FaceIndex);
    DrawEarring(EarringIndex);
    if (EarringFramesLoaded)
        DrawEarringFrame(EarringFrameIndex);
    if (ShaggyHair)
        MaskedCopy(upper, ShaggyDestRect, ShaggyMask->GetCanvas(), ShaggySrcRect, ShaggyBmp->GetCanvas(),
                   ShaggySrcRect);
    if (PankHair)
        MaskedCopy(upper, PankDestRect, PankMask->GetCanvas(), PankSrcRect, PankBmp->GetCanvas(), PankSrcRect);
    if (HairBandShown && !HairBandOut && !LongHair)
        MaskedCopy(upper, HairBandDestRect, HairBandMask->GetCanvas(), HairBandSrcRect, HairBand->GetCanvas(),
                   HairBandSrcRect);
    if (FlowerShown && !FlowerOut && !LongHair && FlowerAlt == 0)
        MaskedCopy(upper, FlowerDestRect[0], FlowerPict->GetCanvas(), FlowerMaskRect, FlowerPict->GetCanvas(),
                   FlowerSrcRect);
    if (ChokerShown && !ChokerOut)
        MaskedCopy(upper, ChokerUpperDestRect, Choker->GetCanvas(), ChokerUpperMaskRect, Choker->GetCanvas(),
                   ChokerUpperSrcRect);
}

// The composed head, whatever the pan, and the first body frame go on screen.
void TSvelmia::ShowComposedPicture()
{
    TCanvas* screen = Mainpict->GetCanvas();
    screen->CopyMode = SRCCOPY;
    screen->CopyRect(kUpperPicture, UpperBmp->GetCanvas(), kUpperPicture);
    PlaceLowerHalf();
    TCanvas* lower = mySubcanvas->GetCanvas();
    lower->CopyMode = SRCCOPY;
    lower->CopyRect(kUpperPicture, FrameBmp[0]->GetCanvas(), kUpperPicture);
}

void TSvelmia::DrawSceneBackground(int scene, TImage* strawberries, std::span<const OwnedBitmap> pictures)
{
    for (const OwnedBitmap& picture : pictures)
        picture->GetCanvas()->CopyMode = SRCCOPY;
    if (scene == 0) {
        const int top = AlternatePhase ? 0 : kHalfHeight;
        const TRect half = Rect(0, top, kWindowWidth, top + kHalfHeight);
        for (const OwnedBitmap& picture : pictures)
            picture->GetCanvas()->CopyRect(kUpperPicture, strawberries->GetCanvas(), half);
    } else if (scene >= 1 && scene <= kSceneCells) {
        // A scene is a 75 x 75 sky tile blown up to the whole width: stretched
        // once, then copied unscaled into the other pictures.
        TCanvas* tile = scenebuff->GetCanvas();
        tile->CopyMode = SRCCOPY;
        // A scene list too small for this scene's cell shows white where the
        // tile is missing, not what the last scene left in the tile.
        const TBitmap* list = SceneList->GetBitmap();
        const TRect& cell = SceneCellRect[scene - 1];
        if (cell.Right > list->GetWidth() || cell.Bottom > list->GetHeight()) {
            tile->Brush.Color = clWhite;
            tile->FillRect(SceneTileRect);
        }
        tile->CopyRect(SceneTileRect, SceneList->GetCanvas(), cell);
        TBitmap* stretched = StretchedSkyTile();
        for (const OwnedBitmap& picture : pictures)
            if (!stretched || picture->GetWidth() != kWindowWidth || picture->GetHeight() != kHalfHeight ||
                picture->GetPixelFormat() != pf24bit)
                stretched = nullptr;
        if (stretched) {
            // Whole copies of one 24-bit picture: they share its pixels.
            for (const OwnedBitmap& picture : pictures)
                picture->GetCanvas()->Draw(0, 0, stretched);
            return;
        }
        pictures[0]->GetCanvas()->StretchDraw(kUpperPicture, scenebuff->GetBitmap());
        for (const OwnedBitmap& picture : pictures.subspan(1))
            picture->GetCanvas()->Draw(0, 0, pictures[0].get());
    }
}

TBitmap* TSvelmia::StretchedSkyTile()
{
    const TBitmap* tile = scenebuff->GetBitmap();
    if (tile->Empty() || tile->GetPixelFormat() != pf24bit)
        return nullptr;
    const size_t rowBytes = tile->RowBytes();
    const size_t bytes = rowBytes * size_t(tile->GetHeight());
    const uint8_t* first = tile->ScanLineRO(0);
    // The rows are one block of memory; the size names the tile's shape too.
    std::vector<uint8_t> key(sizeof(int32_t) * 2);
    const int32_t shape[2] = {tile->GetWidth(), tile->GetHeight()};
    std::memcpy(key.data(), shape, sizeof shape);
    key.insert(key.end(), first, first + bytes);
    if (stretchedSky_ && key == stretchedSkyTile_)
        return stretchedSky_.get();
    stretchedSky_ = std::make_unique<TBitmap>(kWindowWidth, kHalfHeight, pf24bit);
    TCanvas* c = stretchedSky_->GetCanvas();
    c->CopyMode = SRCCOPY;
    c->StretchDraw(kUpperPicture, scenebuff->GetBitmap());
    stretchedSkyTile_ = std::move(key);
    return stretchedSky_.get();
}

void TSvelmia::DrawBackgroundAndHair(int scene)
{
    if (RedrawPending())
        return; // a redraw is pending and will do this again
    TCanvas* upper = UpperBmp->GetCanvas();
    DrawSceneBackground(scene, SceneStrawberry_Main, {&UpperBmp, 1});

    // The base figure: a split picture, mask above, picture below.
    MaskedCopy(upper, MainRect, MainPictList->GetCanvas(), BandRect[0], MainPictList->GetCanvas(), BandRect[1]);
    if (PankHair)
        return; // the pank hair replaces all standard hair

    MaskedCopy(upper, HairSideDestRect, HairSideMask->GetCanvas(), HairSideSrcRect, HairSide->GetCanvas(),
               HairSideSrcRect);
    if (OtohimeHair) {
        // Rows 0..300 here; rows 300..400 belong to the body frames.
        MaskedCopy(upper, OtohimeDestRect, OtohimeMask->GetCanvas(), OtohimeSrcRect, OtohimeBmp->GetCanvas(),
                   OtohimeSrcRect);
        return;
    }
    if (MainHairHidden)
        return;

    MaskedCopy(upper, HairMainDestRect, HairMainMask->GetCanvas(), HairMainSrcRect, HairMain->GetCanvas(),
               HairMainSrcRect);
    if (!LongHair) {
        MaskedCopy(upper, HairLongDestRect, HairNotLongMask->GetCanvas(), HairLongSrcRect, HairNotLong->GetCanvas(),
                   HairLongSrcRect);
    } else {
        MaskedCopy(upper, HairLongDestRect, HairLongMask->GetCanvas(), HairLongSrcRect, HairLong->GetCanvas(),
                   HairLongSrcRect);
        if (!HairLongLeftOut)
            MaskedCopy(upper, HairLongLeftDestRect, Hair_LongLeft->GetCanvas(), HairLongLeftMaskRect,
                       Hair_LongLeft->GetCanvas(), HairLongLeftSrcRect);
    }
    upper->CopyMode = SRCCOPY;
}

// The face is an opaque 279 x 123 cell over the eye region, except its
// bottom-left 12 x 12 corner, which keeps what was drawn there before: the
// 12-column strip under the cell's left edge is put aside in subworkcanvas and
// its bottom rows are put back afterwards. At the left window edge only the
// visible part of the strip is kept, and nothing once it is wholly outside.
void TSvelmia::DrawFace(int cell)
{
    if (RedrawPending())
        return;
    constexpr int kStrip = 12;
    constexpr int kKeptTop = 111;
    TCanvas* upper = UpperBmp->GetCanvas();
    TCanvas* store = subworkcanvas->GetCanvas();

    const int x = FaceBaseLeft + PanX;
    TRect column = Rect(x, 0, x + kStrip, FaceCellHeight);
    TRect stored = Rect(0, 0, kStrip, FaceCellHeight);
    bool keep = true;
    if (x < 0) {
        if (-x >= kStrip) {
            keep = false;
        } else {
            const int w = kStrip + x;
            stored = Rect(0, 0, w, FaceCellHeight);
            column = Rect(0, 0, w, FaceCellHeight);
        }
    }
    if (keep) {
        store->CopyMode = SRCCOPY;
        store->CopyRect(stored, upper, column);
    }

    upper->CopyMode = SRCCOPY;
    const int top = FaceCellHeight * cell;
    upper->CopyRect(FaceDestRect, FaceWorkB->GetCanvas(), RowsOf(FaceSrcRect, top, top + FaceCellHeight));

    if (keep) {
        stored.Top = kKeptTop;
        column.Top = kKeptTop;
        upper->CopyRect(column, store, stored);
    }
}

// Earrings and earring frames: each cell is cut by its own shape (the masks
// hold every cell, row for row with the lists).
void TSvelmia::DrawEarring(int cell)
{
    const int top = EarringCellHeight * cell;
    const TRect rows = RowsOf(EarringSrcRect, top, top + EarringCellHeight);
    MaskedCopy(UpperBmp->GetCanvas(), EarringDestRect, EarringListMask->GetCanvas(), rows, EarringListPict->GetCanvas(),
               rows);
}

void TSvelmia::DrawEarringFrame(int cell)
{
    if (!EarringFrameMask)
        return; // exists only while the frame list loaded
    const int top = EarringFrameHeight * cell;
    const TRect rows = RowsOf(EarringFrameSrcRect, top, top + EarringFrameHeight);
    MaskedCopy(UpperBmp->GetCanvas(), EarringFrameDestRect, EarringFrameMask->GetCanvas(), rows,
               EarringFrameList->GetCanvas(), rows);
}
