// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The night sky of scene 7. When the figure is panned at least 100 pixels to
// the right, the free strip of sky on the left gets the night background
// picture, a twinkling star in the top-left corner and a shooting star that
// falls through the sky behind her. Both animations work in a small scratch
// corner of the upper picture and copy only the changed area to the screen.
#include "shell/Velmiaunit1.h"

#include <algorithm>
#include <utility>

using namespace vcl;

namespace {

constexpr int kTwinkleTicks = 10;
constexpr int kSprite = layout::kShootingStarSize;
constexpr int kStep = 7;        // pixels left and down per tick
constexpr int kSkyRight = 300;  // right edge of the sky area
constexpr int kSkyBottom = 300; // bottom edge of the sky area
constexpr TRect kSkyArea = Rect(0, 0, kSkyRight, kSkyBottom);

} // namespace

// The twinkle's saved sky, then the night background picture.
void TSvelmia::SetUpNightBackground()
{
    TCanvas* upper = UpperBmp->GetCanvas();
    if (StarListLoaded && StarCell) {
        StarCell->GetCanvas()->CopyMode = SRCCOPY;
        StarCell->GetCanvas()->CopyRect(layout::kStarCell, upper, layout::kStarCell);
        TwinkleDelay = kTwinkleTicks;
        TwinkleCell = 0;
        StarTwinkleActive = true;
    }
    if (BackgroundMask)
        MaskedCopy(upper, BackgroundRectCopy, BackgroundMask->GetCanvas(), BackgroundRect, Background->GetCanvas(),
                   BackgroundRect);
}

// Cuts the figure out of the sky area: everything that is not the sky colour
// of the scene's tile goes into mainsave, with its mask in SceneKeyMask. The
// shooting star is drawn first and the figure laid over it.
void TSvelmia::MakeSkyKey()
{
    TBitmap* tiles = SceneList->GetBitmap();
    const int y = SceneTileSize * (CurrentScene - 1);
    if (y < 0 || y >= tiles->GetHeight())
        return;
    // The colour, not the stored bytes: a scene list may hold palette indices.
    SkyColour = SceneList->GetCanvas()->GetPixel(0, y);
    CopyKeyedToWhite(SceneKeyMask.get(), mainsave, UpperBmp.get(), kSkyArea, uint8_t(SkyColour >> 16),
                     uint8_t(SkyColour >> 8), uint8_t(SkyColour));
    if (CurrentScene == layout::kNightScene && StreamingLoaded && EyesClosed) {
        StarX = layout::kShootingStarStartX;
        StarY = layout::kShootingStarStartY;
        ShootingStarActive = true;
    }
}

// Once a second the next of the five star cells, over the saved sky.
void TSvelmia::StarTwinkleStep()
{
    if (!StarCell || !StarListMask) {
        StarTwinkleActive = false;
        return;
    }
    if (--TwinkleDelay > 0)
        return;
    TwinkleDelay = kTwinkleTicks;
    const TRect cell = Rect(0, StarHeight * TwinkleCell, StarWidth, StarHeight * TwinkleCell + StarHeight);

    TCanvas* upper = UpperBmp->GetCanvas();
    upper->CopyMode = SRCCOPY;
    upper->CopyRect(layout::kStarCell, StarCell->GetCanvas(), layout::kStarCell);
    MaskedCopy(upper, layout::kStarCell, StarListMask->GetCanvas(), cell, StarList->GetCanvas(), cell);
    Mainpict->GetCanvas()->CopyMode = SRCCOPY;
    Mainpict->GetCanvas()->CopyRect(layout::kStarCell, upper, layout::kStarCell);
    layout::NextIndex(TwinkleCell, layout::kStarCells);
}

// One step of the shooting star: (StarX, StarY) is the sprite's left edge and
// bottom edge. The work area is the sprite plus a 7-pixel margin on its right
// and top, where the star was one tick earlier; filling it with the sky colour
// wipes the old position.
void TSvelmia::ShootingStarStep()
{
    if (CycleCounter < timetable::kShootingStarFirstMove)
        return;
    if (!StreamingMask) {
        ShootingStarActive = false;
        return;
    }
    TCanvas* upper = UpperBmp->GetCanvas();
    TCanvas* screen = Mainpict->GetCanvas();

    bool gone = false;
    int sL = 0, dL = StarX;
    if (StarX < 0) {
        sL = -StarX;
        dL = 0;
        if (StarX + kSprite <= 0)
            gone = true;
    }
    int sB = kSprite, dB = StarY;
    if (StarY > kSkyBottom) {
        sB = kSprite - (StarY - kSkyBottom);
        dB = kSkyBottom;
        if (StarY - kSprite >= kSkyBottom)
            gone = true;
    }

    if (!gone) {
        int vH = std::min(StarY, kSprite);
        if (StarY > kSkyBottom)
            vH -= StarY - kSkyBottom;
        int vW = StarX < kSkyRight - kSprite ? kSprite : kSkyRight - StarX;
        if (StarX < 0)
            vW += StarX;
        const int eW = dL + vW + kStep < kSkyRight ? vW + kStep : kSkyRight - dL;
        const int eH = vH + kStep > dB ? dB : vH + kStep;

        const TRect work = Rect(0, 0, eW, eH);
        const TRect sprite = Rect(0, eH - vH, vW, eH);
        const TRect source = Rect(sL, sB - vH, sL + vW, sB);
        const TRect place = Rect(dL, dB - eH, dL + eW, dB);

        upper->Brush.Color = SkyColour;
        upper->FillRect(work);
        MaskedCopy(upper, sprite, StreamingMask->GetCanvas(), source, Streaming->GetCanvas(), source);
        MaskedCopy(upper, work, SceneKeyMask->GetCanvas(), place, mainsave->GetCanvas(), place);
        screen->CopyMode = SRCCOPY;
        screen->CopyRect(place, upper, work);
        upper->CopyMode = SRCCOPY;
        StarX -= kStep;
        StarY += kStep;
        return;
    }
    WipeShootingStarTrace();
    ShootingStarActive = false;
}

// The star has left the sky: wipe its last trace in the bottom-left corner.
void TSvelmia::WipeShootingStarTrace()
{
    TCanvas* upper = UpperBmp->GetCanvas();
    TCanvas* screen = Mainpict->GetCanvas();
    const TRect corner = Rect(0, 0, kStep, kStep);
    const TRect last = Rect(0, kSkyBottom - kStep, kStep, kSkyBottom);
    upper->Brush.Color = SkyColour;
    upper->FillRect(corner);
    MaskedCopy(upper, corner, SceneKeyMask->GetCanvas(), last, mainsave->GetCanvas(), last);
    screen->CopyMode = SRCCOPY;
    screen->CopyRect(last, upper, corner);
}
