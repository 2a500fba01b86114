// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The fixed geometry and counts of the window and its pictures: the numbers
// several subsystems must agree on. The layer rectangles that the pan and the
// show move live in PortraitState and start from these; these never change.
#pragma once

#include "toolkit/Types.h"

#include <array>
#include <cstdint>

// Entries of the part placement list, in the order the pan and the show layout
// walk them. Entry 0 is the whole picture (the "window" of a figure).
enum PlacementEntry : int {
    peWindow = 0,
    peEye = 1,
    peFace = 2,
    peHairMain = 3,
    peShaggy = 4,
    pePank = 5,
    peOtohime = 6,
    peHairSub = 7,
    peHairSide = 8,
    peHairLong = 9,
    peHairLongLeft = 10,
    peHairBottom = 11,
    peCostume = 12,
    peCamisole = 13,
    peEarring = 14,
    peEarringFrame = 15,
    peBracelet = 16,
    peHairBand = 17,
    peRibbon = 18, // 18..21: the four ribbon placements
    peFlower = 22, // 22..25: the four flower placements
    peChoker = 26,
    peString = 27,
    peThickString = 28,
    peWString = 29,
    peCrossString = 30,
    kPlacementCount = 31
};

// The parts whose lying wholly outside a show figure's strip the show layout
// records (LeftPartOut, RightPartOut): the long hair's lock on the figure's
// outer side (the left lock for the left figure, the right one for the right
// figure), the hair's bottom, the bracelet, the hairband and the flower.
enum OutsidePart : int {
    opLongHairLock = 0,
    opHairBottom = 1,
    opBracelet = 2,
    opHairBand = 3,
    opFlower = 4,
    kOutsideParts = 5
};

namespace layout {

// The portrait's cycle: ticks 0 to kCycleLength - 1 of 100 ms each. The tick
// that finds the counter at the last value ends the cycle and recomposes.
constexpr int kCycleLength = 601;
constexpr int kLastCycleTick = kCycleLength - 1;

// The window: the head (upper picture) over the body (lower picture); every
// full-size picture of the composer, the show and the close-up is one half.
constexpr int kWindowWidth = 800;
constexpr int kHalfHeight = 300;
constexpr int kWindowHeight = 2 * kHalfHeight;
constexpr vcl::TRect kUpperPicture = vcl::Rect(0, 0, kWindowWidth, kHalfHeight);
constexpr vcl::TRect kLowerOnWindow = vcl::Rect(0, kHalfHeight, kWindowWidth, kWindowHeight);
// The close-up's capture: the upper picture and the body's top half.
constexpr int kCaptureBodyRows = kHalfHeight / 2;
constexpr vcl::TRect kCapture = vcl::Rect(0, 0, kWindowWidth, kHalfHeight + kCaptureBodyRows);

// The eye patch: the part of the head the closed-eye pictures replace.
constexpr int kEyeWidth = 243;
constexpr int kEyeHeight = 123;
constexpr int kEyeLeftAtRest = 238; // at pan 0
constexpr vcl::TRect kEyePatch = vcl::Rect(0, 0, kEyeWidth, kEyeHeight);
constexpr vcl::TRect kEyePatchAtRest = vcl::Rect(kEyeLeftAtRest, 0, kEyeLeftAtRest + kEyeWidth, kEyeHeight);

// Scenes (0 the strawberries, 1 to 7 the scene list's tiles; 7 is the night)
// and the five cells of the earrings, earring frames and bracelets.
constexpr int kScenes = 8;
constexpr int kNightScene = 7;
constexpr int kCells = 5;
// Where the night's shooting star starts: its sprite's left and bottom edges.
constexpr int kShootingStarStartX = 290;
constexpr int kShootingStarStartY = 10;
// The scene list's square tiles, one above the other, and the body's
// breathing frames (three 800 x 300 bands of one picture).
constexpr int kSceneTile = 75;
constexpr int kSceneCells = 10;
constexpr int kBodyFrames = 3;

// Band k of a picture that stacks whole 800 x 300 pictures (the body frames,
// a picture over its mask), and cell k of the scene list.
constexpr vcl::TRect Band(int k)
{
    return vcl::Rect(0, kHalfHeight * k, kWindowWidth, kHalfHeight * (k + 1));
}
constexpr vcl::TRect SceneCell(int k)
{
    return vcl::Rect(0, kSceneTile * k, kSceneTile, kSceneTile * (k + 1));
}

// Steps through a list of `count` entries, wrapping round at either end. An
// empty list keeps its index at 0.
inline void NextIndex(int32_t& index, int count)
{
    if (++index >= count)
        index = 0;
}
inline void PreviousIndex(int32_t& index, int count)
{
    if (--index < 0)
        index = count > 0 ? count - 1 : 0;
}

// The pan: a wheel or arrow step moves the figure kPanStep columns (Shift:
// kPanFineStep), and only while PanX is within kPanLeftLimit..kPanRightLimit.
constexpr int kPanStep = 20;
constexpr int kPanFineStep = 10;
constexpr int kPanLeftLimit = -380;
constexpr int kPanRightLimit = 500;

// The title banner (F1) and the part browser's screen, which stands at
// kBrowserOnScreen while it is open.
constexpr vcl::TPoint kBannerAt{20, 180};
constexpr int kBrowserWidth = 760;
constexpr int kBrowserHeight = 520;
constexpr vcl::TPoint kBrowserOnScreen{20, 40};

// The quad view: the columns of the small closed-eye pictures over the left
// and the right quarter pictures.
constexpr int kQuadLeftEyes = 110;
constexpr int kQuadRightEyes = 510;

// The close-up's magnification, in percent.
constexpr int kZoomMin = 140;
constexpr int kZoomMax = 200;
constexpr int kZoomStep = 10;

// The scene show: the left figure stands kShowLeftGap to the left of the
// portrait's place, the right one kShowRightGap - kShowRightBase to the right.
constexpr int kShowLeftGap = 120;
constexpr int kShowRightBase = 100;
constexpr int kShowRightGap = 360;
constexpr int kShowSpan = 550; // the columns of the left figure's strip

struct RowSpan {
    int32_t top, bottom;
};

// One placement entry: its width and left edge at pan 0, its rows on its
// 800 x 300 target picture, the rows of its picture (the picture cell of
// split pictures) and of its mask (equal to the picture's where the mask is a
// separate bitmap). Never changed.
struct Placement {
    int entry;
    int32_t width, left;
    RowSpan dest, source, mask;
};

// The otohime hair's lower part: these rows of its picture are drawn on the
// top rows of every body frame.
constexpr RowSpan kOtohimeLower = {300, 400};

// The string patterns take their colour from this pixel of the costume
// picture; they are tinted in the top-left kTintArea of the work picture.
constexpr vcl::TPoint kTintPoint{100, 15};
constexpr vcl::TRect kTintArea = vcl::Rect(0, 0, 400, 300);

// clang-format off
constexpr std::array<Placement, kPlacementCount> kPlacements = {{
    // entry          width left dest        source      mask
    {peWindow,        800, 0,   {0, 300},   {0, 300},   {0, 300}},
    {peEye,           243, 238, {0, 123},   {0, 123},   {0, 123}},
    {peFace,          279, 221, {0, 123},   {0, 123},   {0, 123}},
    {peHairMain,      600, 100, {0, 300},   {0, 300},   {0, 300}},
    {peShaggy,        450, 150, {0, 250},   {0, 250},   {0, 250}},
    {pePank,          450, 150, {0, 200},   {0, 200},   {0, 200}},
    {peOtohime,       500, 150, {0, 300},   {0, 300},   {0, 300}},
    {peHairSub,       500, 200, {0, 120},   {0, 120},   {0, 120}},
    {peHairSide,      420, 170, {0, 200},   {0, 200},   {0, 200}},
    {peHairLong,      260, 410, {0, 260},   {0, 260},   {0, 260}},
    {peHairLongLeft,  150, 100, {0, 150},   {150, 300}, {0, 150}},
    {peHairBottom,    60,  620, {250, 300}, {0, 50},    {0, 50}},
    {peCostume,       530, 110, {200, 300}, {0, 100},   {0, 100}},
    {peCamisole,      550, 100, {50, 300},  {0, 250},   {0, 250}},
    {peEarring,       330, 250, {180, 300}, {0, 120},   {0, 120}},
    {peEarringFrame,  340, 250, {180, 300}, {0, 120},   {0, 120}},
    {peBracelet,      130, 670, {260, 300}, {40, 80},   {0, 40}},
    {peHairBand,      80,  480, {0, 100},   {0, 100},   {0, 100}},
    {peRibbon,        200, 370, {175, 255}, {0, 80},    {0, 80}},
    {peRibbon + 1,    200, 370, {173, 253}, {0, 80},    {0, 80}},
    {peRibbon + 2,    200, 370, {172, 252}, {0, 80},    {0, 80}},
    {peRibbon + 3,    200, 370, {172, 252}, {0, 80},    {0, 80}},
    {peFlower,        100, 480, {0, 120},   {120, 240}, {0, 120}},
    {peFlower + 1,    100, 428, {133, 253}, {120, 240}, {0, 120}},
    {peFlower + 2,    100, 428, {131, 251}, {120, 240}, {0, 120}},
    {peFlower + 3,    100, 428, {130, 250}, {120, 240}, {0, 120}},
    {peChoker,        150, 350, {260, 300}, {150, 190}, {0, 40}},
    {peString,        280, 200, {10, 220},  {0, 210},   {0, 210}},
    {peThickString,   290, 200, {10, 220},  {0, 210},   {0, 210}},
    {peWString,       390, 200, {50, 210},  {0, 160},   {0, 160}},
    {peCrossString,   290, 210, {30, 220},  {0, 190},   {0, 190}},
}};
// clang-format on

consteval bool PlacementsInEntryOrder()
{
    for (int i = 0; i < kPlacementCount; ++i)
        if (kPlacements[i].entry != i)
            return false;
    return true;
}
static_assert(PlacementsInEntryOrder());

// One column of the placement list, in entry order.
template <typename T> constexpr std::array<T, kPlacementCount> PlacementColumn(T Placement::*column)
{
    std::array<T, kPlacementCount> out{};
    for (int i = 0; i < kPlacementCount; ++i)
        out[i] = kPlacements[i].*column;
    return out;
}

constexpr std::array<int32_t, kPlacementCount> kEntryWidth = PlacementColumn(&Placement::width);
constexpr std::array<int32_t, kPlacementCount> kEntryLeft = PlacementColumn(&Placement::left);

// The width of an entry's pictures.
constexpr int32_t PlacementWidth(int entry)
{
    return kPlacements[entry].width;
}

// An entry's rectangle on its target picture at pan 0, and its picture and
// mask cells (from column 0).
constexpr vcl::TRect DestAtRest(int entry)
{
    const Placement& p = kPlacements[entry];
    return vcl::Rect(p.left, p.dest.top, p.left + p.width, p.dest.bottom);
}
constexpr vcl::TRect SourceCell(int entry)
{
    const Placement& p = kPlacements[entry];
    return vcl::Rect(0, p.source.top, p.width, p.source.bottom);
}
constexpr vcl::TRect MaskCell(int entry)
{
    const Placement& p = kPlacements[entry];
    return vcl::Rect(0, p.mask.top, p.width, p.mask.bottom);
}

// The height of an entry's picture cell (one of the cells of a picture that
// holds several, as the string patterns' frames).
constexpr int SourceRows(int entry)
{
    return kPlacements[entry].source.bottom - kPlacements[entry].source.top;
}

// Band k of a picture that stacks an entry's cells one above the other (the
// costume's and the camisole's three breathing bands).
constexpr vcl::TRect CellBand(int entry, int k)
{
    const int rows = SourceRows(entry);
    return vcl::Rect(0, rows * k, kPlacements[entry].width, rows * (k + 1));
}

// The choker's picture holds two cells of kChokerCell rows, its mask above
// its picture. Its placement entry draws the first rows of each (on the upper
// picture); the rest of each cell is the lower part, drawn on the top rows of
// every body frame.
constexpr int kChokerCell = 150;
static_assert(kPlacements[peChoker].source.top == kChokerCell);
constexpr RowSpan kChokerLowerMask = {kPlacements[peChoker].mask.bottom, kChokerCell};
constexpr RowSpan kChokerLowerSource = {kPlacements[peChoker].source.bottom, 2 * kChokerCell};
constexpr RowSpan kChokerLowerDest = {0, kChokerLowerMask.bottom - kChokerLowerMask.top};

// The flower as the body frames draw it: always at column kFlowerBodyLeft,
// on the rows of the placement entries peFlower + 1 + frame. The entries of
// all three frames hold that column, so the show, which places each frame's
// flower from its own entry, keeps it still while she breathes.
constexpr int kFlowerBodyLeft = kPlacements[peFlower + 1].left;
constexpr vcl::TRect FlowerOnBody(int frame)
{
    const RowSpan rows = kPlacements[peFlower + 1 + frame].dest;
    return vcl::Rect(kFlowerBodyLeft, rows.top, kFlowerBodyLeft + kPlacements[peFlower].width, rows.bottom);
}

// The night: kStarCells twinkling-star cells one above the other, and the
// shooting star's square sprite.
constexpr int kStarWidth = 120;
constexpr int kStarHeight = 100;
constexpr int kStarCells = 5;
constexpr vcl::TRect kStarCell = vcl::Rect(0, 0, kStarWidth, kStarHeight);
constexpr int kShootingStarSize = 100;
constexpr vcl::TRect kShootingStar = vcl::Rect(0, 0, kShootingStarSize, kShootingStarSize);

// The part browser's thumbnails: costumes and camisoles show these columns
// of one band at 1 / kBandThumbScale, the small parts their whole picture.
constexpr vcl::TRect kCostumeThumbSource = vcl::Rect(10, 0, 500, 100);
constexpr vcl::TRect kCamisoleThumbSource = vcl::Rect(10, 150, 500, 250);
constexpr int kBandThumbScale = 2;

// The columns of `columns` with other rows: the cell of a layer's picture.
constexpr vcl::TRect RowsOf(const vcl::TRect& columns, int top, int bottom)
{
    return vcl::Rect(columns.Left, top, columns.Right, bottom);
}

// Rectangles of one figure with only the rows of one placement column set
// (Left and Right 0): the show layout fills the columns.
constexpr std::array<vcl::TRect, kPlacementCount> RowsOnly(RowSpan Placement::*rows)
{
    std::array<vcl::TRect, kPlacementCount> r{};
    for (int i = 0; i < kPlacementCount; ++i)
        r[i] = vcl::TRect{0, (kPlacements[i].*rows).top, 0, (kPlacements[i].*rows).bottom};
    return r;
}
constexpr vcl::TRect RowsOnly(RowSpan rows)
{
    return vcl::TRect{0, rows.top, 0, rows.bottom};
}

} // namespace layout
