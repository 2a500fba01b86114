// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The user's own colours: key 1 paints the scene cell on screen in one flat
// colour, keys 2 and " recolour the hem of the main or the left figure's
// costume. The hem areas are the black pixels of the embedded one-bit
// HerimPattern. Both work pixel by pixel through the canvas, with Timer1
// stopped while the dialog is open and the pixels are written.
#include "commands/KeyCommandTable.h"

using namespace vcl;

namespace {

// Each third of the costume is scanned as a 500-column band of 61 rows and a
// 60-column block of 39 rows at its lower right.
struct HemArea {
    int Top, Bottom, Left, Right; // inclusive
};
constexpr HemArea kHemAreas[6] = {
    {0, 60, 0, 499},      {61, 99, 470, 529}, {100, 160, 0, 499},
    {161, 199, 470, 529}, {200, 260, 0, 499}, {261, 299, 470, 529},
};

void PaintHemAreas(TCanvas* pattern, TCanvas* target, TColor colour)
{
    for (const HemArea& a : kHemAreas)
        for (int y = a.Top; y <= a.Bottom; ++y)
            for (int x = a.Left; x <= a.Right; ++x)
                if (pattern->GetPixel(x, y) == clBlack)
                    target->SetPixel(x, y, colour);
}

} // namespace

bool TSvelmia::RecolourSceneCell(const KeyCommandRow& /*row*/)
{
    const Timer1Pause pause(*this);
    const bool accepted = ColorDialog1->Execute();
    if (accepted) {
        // The scene on screen is SceneIndex - 1, in cell row SceneIndex - 2;
        // with SceneIndex 0 it is scene 7, in row 6.
        int row = SceneIndex - 2;
        if (row < 0)
            row = 6;
        PaintSceneCell(row, ColorDialog1->GetColor());
    }
    return accepted;
}

void TSvelmia::PaintSceneCell(int row, TColor colour)
{
    TCanvas* canvas = SceneList->GetCanvas();
    for (int y = SceneTileSize * row; y < SceneTileSize * row + SceneTileSize; ++y)
        for (int x = 0; x < SceneTileSize; ++x)
            canvas->SetPixel(x, y, colour);
    if (row >= 0 && row < int(SceneCellColours.size()))
        SceneCellColours[size_t(row)] = colour;
}

bool TSvelmia::RecolourHem(const KeyCommandRow& row)
{
    const bool accepted = RecolourHemOf(row.figure);
    if (accepted)
        WornHem[size_t(row.figure)] = ColorDialog2->GetColor();
    return accepted;
}

// The hem of one figure's costume in the colour the user chooses. Only what
// lies inside the costume's own picture is painted (a paletted one takes the
// nearest entry of its palette); the cell the composition reads, and its
// mask, follow.
bool TSvelmia::RecolourHemOf(Figure figure)
{
    const Timer1Pause pause(*this);
    const bool accepted = ColorDialog2->Execute();
    if (accepted)
        PaintHem(figure, ColorDialog2->GetColor());
    return accepted;
}

void TSvelmia::PaintHem(Figure figure, TColor colour)
{
    TBitmap* picture = figure == Figure::Left ? LeftCostumePicture.get() : CostumePicture.get();
    PaintHemAreas(HerimPattern->GetCanvas(), picture->GetCanvas(), colour);
    RedrawCostume(figure);
}
