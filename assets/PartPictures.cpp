// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Putting a part file's picture in place, for the key commands and the part
// browser alike. Whatever the file's size, the part picture keeps its cell
// size: the cell is cleared to white (transparent), the file's picture goes
// into its top-left corner (a larger one is cropped), and the mask is then
// built over the whole cell. So a file looks the same whichever way it came.
// The costume is also kept as its file holds it, so that a save gives the
// user's file back in its own size, depth and palette.
#include "assets/Transparency.h"
#include "shell/Velmiaunit1.h"

#include <algorithm>

using namespace vcl;

namespace {

// Clears the cell to white and draws `loaded` into its top-left corner; the
// bitmap keeps its pixel format and is made `width` x `top + height`.
void PutIntoCell(TBitmap* target, TBitmap& loaded, int width, int height, int top)
{
    if (target->GetWidth() != width || target->GetHeight() != top + height)
        target->SetSize(width, top + height);
    TCanvas* canvas = target->GetCanvas();
    canvas->CopyMode = SRCCOPY;
    canvas->Brush.Color = clWhite;
    const TRect cell = Rect(0, top, width, top + height);
    canvas->FillRect(cell);
    const int w = std::min(width, loaded.GetWidth());
    const int h = std::min(height, loaded.GetHeight());
    canvas->CopyRect(Rect(0, top, w, top + h), loaded.GetCanvas(), Rect(0, 0, w, h));
}

} // namespace

// The costume's own outline: white is transparent in a costume as in every
// part, so its mask is built from the cell it has just been drawn into.
void TSvelmia::RedrawCostume(Figure figure)
{
    const bool left = figure == Figure::Left;
    TBitmap* cell = left ? CostumeWork.get() : Costume->GetBitmap();
    TBitmap* mask = left ? CostumeWorkMask.get() : CostumeMask.get();
    // The picture keeps its alpha for a save; the cell shows it over white.
    TBitmap shown;
    shown.Assign(*(left ? LeftCostumePicture : CostumePicture));
    velmia::assets::LayOverWhite(shown);
    PutIntoCell(cell, shown, CostumeWidth, CostumeHeight, 0);
    const TRect whole = Rect(0, 0, CostumeWidth, CostumeHeight);
    MakeWhiteMaskFromBitmap(mask, cell, whole, whole);
}

PictureSize TSvelmia::PartCellSize(PartKind kind) const
{
    switch (kind) {
    case kPartCostume:
        return {CostumeWidth, CostumeHeight};
    case kPartCamisole:
        return {CamisoleWidth, CamisoleHeight};
    case kPartHairBand:
        return {HairBandWidth, HairBandHeight};
    case kPartFlower:
        return {FlowerWidth, FlowerCellHeight};
    case kPartRibbon:
        return {RibbonWidth, RibbonHeight};
    case kPartChoker:
        return {ChokerWidth, ChokerCellHeight};
    default:
        return {};
    }
}

// A costume takes the camisole off, a camisole hides the string pattern, any
// other part is shown. The file becomes the kind's last file; a costume's
// file stays with the costume of its figure, wherever the sets take it, since
// that name is what a save of the main figure's costume proposes.
void TSvelmia::WearPart(PartKind kind, Figure figure, const std::string& path)
{
    RememberWornFile(kind, figure, path);
    const SelectionRef set = FigureSet(figure);
    if (kind >= kPartCostume && kind < kPartCostume + kWornKinds)
        WornFiles[size_t(figure)][size_t(kind - kPartCostume)] = path;
    if (kind == kPartCostume)
        WornHem[size_t(figure)].reset();
    switch (kind) {
    case kPartCostume:
        set.CamisoleShown = false;
        (figure == Figure::Main ? CostumeFileName : LeftCostumeFileName) = path;
        return;
    case kPartCamisole:
        set.CamisoleShown = true;
        set.ShowPattern(-1);
        CamisoleFileName = path;
        return;
    case kPartHairBand:
        set.HairBandShown = true;
        HairBandFileName = path;
        return;
    case kPartFlower:
        set.FlowerShown = true;
        FlowerFileName = path;
        return;
    case kPartRibbon:
        set.RibbonShown = true;
        RibbonFileName = path;
        return;
    case kPartChoker:
        set.ChokerShown = true;
        ChokerFileName = path;
        return;
    default:
        return;
    }
}

void TSvelmia::PlacePartPicture(PartKind kind, bool left, TBitmap& loaded)
{
    // A part with a mask bitmap of its own: the main figure's picture is an
    // image control, the left figure's a work bitmap.
    auto masked = [&](TImage* main, TBitmap* mainMask, TBitmap* leftPicture, TBitmap* leftMask, int width, int height) {
        const TRect whole = Rect(0, 0, width, height);
        if (left) {
            PutIntoCell(leftPicture, loaded, width, height, 0);
            MakeWhiteMaskFromBitmap(leftMask, leftPicture, whole, whole);
        } else {
            PutIntoCell(main->GetBitmap(), loaded, width, height, 0);
            MakeWhiteMaskFromImage(mainMask, main, whole, whole);
        }
    };
    if (kind != kPartCostume)
        velmia::assets::LayOverWhite(loaded);
    switch (kind) {
    case kPartCostume:
        (left ? LeftCostumePicture : CostumePicture)->Assign(loaded);
        RedrawCostume(left ? Figure::Left : Figure::Main);
        return;
    case kPartCamisole:
        masked(Camisole, CamisoleMask.get(), CamisoleWork.get(), CamisoleWorkMask.get(), CamisoleWidth, CamisoleHeight);
        return;
    case kPartHairBand:
        masked(HairBand, HairBandMask.get(), HairBandWork.get(), HairBandWorkMask.get(), HairBandWidth, HairBandHeight);
        return;
    case kPartRibbon:
        masked(Ribborn, RibbonMask.get(), RibbonWork.get(), RibbonWorkMask.get(), RibbonWidth, RibbonHeight);
        return;
    // Strip parts: the picture in the lower cell, its mask in the upper one.
    case kPartFlower:
    case kPartChoker: {
        const bool flower = kind == kPartFlower;
        const int width = flower ? FlowerWidth : ChokerWidth;
        const int cell = flower ? FlowerCellHeight : ChokerCellHeight;
        const TRect maskCell = Rect(0, 0, width, cell);
        const TRect pictureCell = Rect(0, cell, width, 2 * cell);
        if (left) {
            TBitmap* strip = flower ? FlowerWork.get() : ChokerWork.get();
            PutIntoCell(strip, loaded, width, cell, cell);
            MakeWhiteMask24(strip, strip, maskCell, pictureCell);
            return;
        }
        TImage* strip = flower ? FlowerPict : Choker;
        strip->SetHeight(2 * cell);
        PutIntoCell(strip->GetBitmap(), loaded, width, cell, cell);
        DrawWhiteMask(strip, strip, maskCell, pictureCell);
        return;
    }
    default:
        return;
    }
}
