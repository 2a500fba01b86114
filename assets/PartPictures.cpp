// Putting a part file's picture in place, for the key commands and the part
// browser alike. Whatever the file's size, the part picture keeps its cell
// size: the cell is cleared to white (transparent), the file's picture goes
// into its top-left corner (a larger one is cropped), and the mask is then
// built over the whole cell. So a file looks the same whichever way it came.
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

void TSvelmia::PlacePartPicture(int kind, bool left, TBitmap& loaded)
{
    switch (kind) {
    case kPartCostume:
        PutIntoCell(left ? CostumeWork : Costume->GetBitmap(), loaded, CostumeWidth, CostumeHeight, 0);
        return;
    case kPartCamisole: {
        const TRect whole = Rect(0, 0, CamisoleWidth, CamisoleHeight);
        if (left) {
            PutIntoCell(CamisoleWork, loaded, CamisoleWidth, CamisoleHeight, 0);
            MakeWhiteMaskFromBitmap(CamisoleWorkMask, CamisoleWork, whole, whole);
        } else {
            PutIntoCell(Camisole->GetBitmap(), loaded, CamisoleWidth, CamisoleHeight, 0);
            MakeWhiteMaskFromImage(CamisoleMask, Camisole, whole, whole);
        }
        break;
    }
    case kPartHairBand: {
        const TRect whole = Rect(0, 0, HairBandWidth, HairBandHeight);
        if (left) {
            PutIntoCell(HairBandWork, loaded, HairBandWidth, HairBandHeight, 0);
            MakeWhiteMaskFromBitmap(HairBandWorkMask, HairBandWork, whole, whole);
        } else {
            PutIntoCell(HairBand->GetBitmap(), loaded, HairBandWidth, HairBandHeight, 0);
            MakeWhiteMaskFromImage(HairBandMask, HairBand, whole, whole);
        }
        break;
    }
    case kPartRibbon: {
        const TRect whole = Rect(0, 0, RibbonWidth, RibbonHeight);
        if (left) {
            PutIntoCell(RibbonWork, loaded, RibbonWidth, RibbonHeight, 0);
            MakeWhiteMaskFromBitmap(RibbonWorkMask, RibbonWork, whole, whole);
        } else {
            PutIntoCell(Ribborn->GetBitmap(), loaded, RibbonWidth, RibbonHeight, 0);
            MakeWhiteMaskFromImage(RibbonMask, Ribborn, whole, whole);
        }
        break;
    }
    // Strip parts: the picture in the lower cell, its mask in the upper one.
    case kPartFlower:
    case kPartChoker: {
        const bool flower = kind == kPartFlower;
        const int width = flower ? FlowerWidth : ChokerWidth;
        const int cell = flower ? FlowerCellHeight : ChokerCellHeight;
        const TRect maskCell = Rect(0, 0, width, cell);
        const TRect pictureCell = Rect(0, cell, width, 2 * cell);
        if (left) {
            TBitmap* strip = flower ? FlowerWork : ChokerWork;
            PutIntoCell(strip, loaded, width, cell, cell);
            MakeWhiteMask24(strip, strip, maskCell, pictureCell);
        } else {
            TImage* strip = flower ? FlowerPict : Choker;
            strip->SetHeight(2 * cell);
            PutIntoCell(strip->GetBitmap(), loaded, width, cell, cell);
            CreateScratchMask();
            DrawWhiteMask(strip, strip, maskCell, pictureCell);
        }
        break;
    }
    default:
        return;
    }
    // The mask routine's work area is not kept between commands.
    delete ScratchMask;
    ScratchMask = nullptr;
}
