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

// Width and left edge (at pan 0) of each placement entry; never changed.
constexpr std::array<int32_t, kPlacementCount> kEntryWidth = {800, 243, 279, 600, 450, 450, 500, 500, 420, 260, 150,
                                                              60,  530, 550, 330, 340, 130, 80,  200, 200, 200, 200,
                                                              100, 100, 100, 100, 150, 280, 290, 390, 290};
constexpr std::array<int32_t, kPlacementCount> kEntryLeft = {0,   238, 221, 100, 150, 150, 150, 200, 170, 410, 100,
                                                             620, 110, 100, 250, 250, 670, 480, 370, 370, 370, 370,
                                                             480, 428, 480, 480, 350, 200, 200, 200, 210};

struct RowSpan {
    int32_t top, bottom;
};
// Destination rows of each entry on its 800 x 300 target picture.
constexpr std::array<RowSpan, kPlacementCount> kDestRows = {
    {{0, 300},   {0, 123},   {0, 123},   {0, 300},   {0, 250},   {0, 200},   {0, 300},   {0, 120},
     {0, 200},   {0, 260},   {0, 150},   {250, 300}, {200, 300}, {50, 300},  {180, 300}, {180, 300},
     {260, 300}, {0, 100},   {175, 255}, {173, 253}, {172, 252}, {172, 252}, {0, 120},   {133, 253},
     {131, 251}, {130, 250}, {260, 300}, {10, 220},  {10, 220},  {50, 210},  {30, 220}}};
// Source rows of each entry's picture (the picture cell of split pictures).
constexpr std::array<RowSpan, kPlacementCount> kSourceRows = {
    {{0, 300},   {0, 123},   {0, 123},   {0, 300}, {0, 250}, {0, 200}, {0, 300},   {0, 120},
     {0, 200},   {0, 260},   {150, 300}, {0, 50},  {0, 100}, {0, 250}, {0, 120},   {0, 120},
     {40, 80},   {0, 100},   {0, 80},    {0, 80},  {0, 80},  {0, 80},  {120, 240}, {120, 240},
     {120, 240}, {120, 240}, {150, 190}, {0, 210}, {0, 210}, {0, 160}, {0, 190}}};
// Mask rows of each entry (equal to the source rows where the mask is a separate bitmap).
constexpr std::array<RowSpan, kPlacementCount> kMaskRows = {
    {{0, 300}, {0, 123}, {0, 123}, {0, 300}, {0, 250}, {0, 200}, {0, 300}, {0, 120}, {0, 200}, {0, 260}, {0, 150},
     {0, 50},  {0, 100}, {0, 250}, {0, 120}, {0, 120}, {0, 40},  {0, 100}, {0, 80},  {0, 80},  {0, 80},  {0, 80},
     {0, 120}, {0, 120}, {0, 120}, {0, 120}, {0, 40},  {0, 210}, {0, 210}, {0, 160}, {0, 190}}};

// The columns of `columns` with other rows: the cell of a layer's picture.
constexpr vcl::TRect RowsOf(const vcl::TRect& columns, int top, int bottom)
{
    return vcl::Rect(columns.Left, top, columns.Right, bottom);
}

// Rectangles of one figure with only the rows set (Left and Right 0): the show
// layout fills the columns.
constexpr std::array<vcl::TRect, kPlacementCount> RowsOnly(const std::array<RowSpan, kPlacementCount>& rows)
{
    std::array<vcl::TRect, kPlacementCount> r{};
    for (int i = 0; i < kPlacementCount; ++i)
        r[i] = vcl::TRect{0, rows[i].top, 0, rows[i].bottom};
    return r;
}

} // namespace layout
