// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The two figures of the scene show and the sets that dress them.
//
// A selection set is the group of variables that says how one figure is
// dressed, plus eleven part pictures the user can replace. There are three sets:
// the main figure's (the portrait, and the right figure of the show), the left
// show figure's (`Left` names) and a backup (`Saved` names). The copy routines
// move a whole set, members first, then the pictures.
//
// The show layout cuts every part of a figure to the strip of the screen the
// figure occupies: the left figure shows portrait columns L .. L+S-1 at screen
// columns 0 .. S-1, the right figure portrait columns from B on at screen
// columns from G on, up to the right edge of the window.
#include "shell/Velmiaunit1.h"

#include <array>
#include <variant>

using namespace vcl;
using namespace layout;

namespace {

// The bitmap behind an image control's picture or a plain bitmap.
TBitmap* BitmapOf(std::variant<TImage*, TBitmap*> p)
{
    if (auto* image = std::get_if<TImage*>(&p))
        return (*image)->GetBitmap();
    return std::get<TBitmap*>(p);
}

// The closed-eye overlay of one figure: the lids (long-hair lids for long
// hair), with the fringe of the shaggy or pank style laid over them.
struct EyeOverlay {
    TImage* Control;
    int Left;
    int Width;
    TRect Dest;
    TRect Source;
    bool LongHair, ShaggyHair, PankHair;
};

} // namespace

// ---- Set copies -------------------------------------------------------------

#define VELMIA_BIND_MAIN(type, name) name,
#define VELMIA_BIND_LEFT(type, name) Left##name,
#define VELMIA_BIND_SAVED(type, name) Saved##name,

SelectionRef TSvelmia::MainSet()
{
    return SelectionRef{VELMIA_SELECTION_MEMBERS(VELMIA_BIND_MAIN)};
}

SelectionRef TSvelmia::LeftSet()
{
    return SelectionRef{VELMIA_SELECTION_MEMBERS(VELMIA_BIND_LEFT)};
}

SelectionRef TSvelmia::SavedSet()
{
    return SelectionRef{VELMIA_SELECTION_MEMBERS(VELMIA_BIND_SAVED)};
}

#undef VELMIA_BIND_MAIN
#undef VELMIA_BIND_LEFT
#undef VELMIA_BIND_SAVED

namespace {

// One of the eleven part pictures in the main, left and saved sets (the columns,
// in SelectionSet order). A mask row travels with the picture row above it.
struct SetPicture {
    std::array<std::variant<TImage*, TBitmap*>, 3> sets;
    bool mask = false;
};
using SetPictures = std::array<SetPicture, 11>;

// In copy order.
SetPictures PicturesOfTheSets(const TSvelmia& form, const PortraitState& s)
{
    return {{
        {{form.Choker, s.ChokerWork.get(), s.ChokerTemp.get()}},
        {{form.Costume, s.CostumeWork.get(), s.CostumeTemp.get()}},
        {{s.CostumeMask.get(), s.CostumeWorkMask.get(), s.CostumeTempMask.get()}, true},
        {{form.Camisole, s.CamisoleWork.get(), s.CamisoleTempA.get()}},
        {{s.CamisoleMask.get(), s.CamisoleWorkMask.get(), s.CamisoleTempB.get()}, true},
        {{s.FaceWorkB.get(), s.FaceWorkC.get(), s.FaceWorkA.get()}},
        {{form.FlowerPict, s.FlowerWork.get(), s.FlowerTemp.get()}},
        {{form.HairBand, s.HairBandWork.get(), s.HairBandTempA.get()}},
        {{s.HairBandMask.get(), s.HairBandWorkMask.get(), s.HairBandTempB.get()}, true},
        {{form.Ribborn, s.RibbonWork.get(), s.RibbonTempA.get()}},
        {{s.RibbonMask.get(), s.RibbonWorkMask.get(), s.RibbonTempB.get()}, true},
    }};
}

// The copies between sets use one rectangle for both sides: the whole area
// of the main figure's picture of that kind (a mask row takes the picture
// row's).
void CopySetPictures(const SetPictures& pictures, SelectionSet from, SelectionSet to)
{
    TRect area{};
    for (const SetPicture& row : pictures) {
        if (!row.mask)
            area = BitmapOf(row.sets[0])->GetCanvas()->ClipRect();
        TCanvas* target = BitmapOf(row.sets[size_t(to)])->GetCanvas();
        target->CopyMode = SRCCOPY;
        target->CopyRect(area, BitmapOf(row.sets[size_t(from)])->GetCanvas(), area);
    }
}

} // namespace

void TSvelmia::CopyMainToLeft()
{
    LeftSet().Assign(MainSet());
    for (const SetPicture& row : PicturesOfTheSets(*this, *this)) {
        TCanvas* target = BitmapOf(row.sets[size_t(SelectionSet::Left)])->GetCanvas();
        target->CopyMode = SRCCOPY;
        target->Draw(0, 0, BitmapOf(row.sets[size_t(SelectionSet::Main)]));
    }
    LeftCostumePicture->Assign(*CostumePicture);
    wornFiles_[size_t(SelectionSet::Left)] = wornFiles_[size_t(SelectionSet::Main)];
    WornFiles[size_t(SelectionSet::Left)] = WornFiles[size_t(SelectionSet::Main)];
    WornHem[size_t(SelectionSet::Left)] = WornHem[size_t(SelectionSet::Main)];
    LeftCostumeFileName = CostumeFileName;
}

SelectionRef TSvelmia::SetRef(SelectionSet set)
{
    return set == SelectionSet::Main ? MainSet() : set == SelectionSet::Left ? LeftSet() : SavedSet();
}

void TSvelmia::CopySet(SelectionSet from, SelectionSet to)
{
    SetRef(to).Assign(SetRef(from));
    CopySetPictures(PicturesOfTheSets(*this, *this), from, to);
    TBitmap* const costumes[3] = {CostumePicture.get(), LeftCostumePicture.get(), SavedCostumePicture.get()};
    costumes[size_t(to)]->Assign(*costumes[size_t(from)]);
    wornFiles_[size_t(to)] = wornFiles_[size_t(from)];
    WornFiles[size_t(to)] = WornFiles[size_t(from)];
    WornHem[size_t(to)] = WornHem[size_t(from)];
    // The costume's file goes with it.
    std::string* const files[3] = {&CostumeFileName, &LeftCostumeFileName, &SavedCostumeFileName};
    *files[size_t(to)] = *files[size_t(from)];
}

void TSvelmia::SaveMainSet()
{
    CopySet(SelectionSet::Main, SelectionSet::Saved);
}

void TSvelmia::TakeLeftSet()
{
    CopySet(SelectionSet::Left, SelectionSet::Main);
}

void TSvelmia::RestoreMainSet()
{
    CopySet(SelectionSet::Saved, SelectionSet::Main);
}

void TSvelmia::RestoreLeftSet()
{
    CopySet(SelectionSet::Saved, SelectionSet::Left);
}

// ---- Entering the show --------------------------------------------------------

void TSvelmia::StartShow()
{
    StepBackCounters();
    HideBlinkOverlays();
    LayoutLeftFigure();
    RefreshLeftClosedEyes();
    LayoutRightFigure();
    RefreshRightClosedEyes();
    ShowOrigin = ShowStage::Running;
    CopyToLeftArmed = true;
    EnterShowView();
}

// Leaves the show for the portrait of the main figure; w or a right press
// brings the show back. The portrait's overlay held the right figure's eyes.
void TSvelmia::LeaveShowForPortrait()
{
    ShowOrigin = ShowStage::LeftForPortrait;
    CopyToLeftArmed = false;
    HideBlinkOverlays();
    RefreshClosedEyes();
    EnterPortraitView();
}

// Leaves the show: the left figure comes into the portrait, the main figure
// waits in the saved set.
void TSvelmia::TakeLeftFigureOut()
{
    SaveMainSet();
    HideBlinkOverlays();
    TakeLeftSet();
    RefreshClosedEyes();
    MainSwapped = true;
    ShowOrigin = ShowStage::LeftForPortrait;
    CopyToLeftArmed = true;
    EnterPortraitView();
}

// Back from the portrait view that showed the left figure: the figure edited
// there becomes the left figure again and the parked main figure returns.
void TSvelmia::ReturnToShow()
{
    HideBlinkOverlays();
    CopyMainToLeft();
    RefreshLeftClosedEyes();
    RestoreMainSet();
    RefreshRightClosedEyes();
    ShowOrigin = ShowStage::Running;
    MainSwapped = false;
    CopyToLeftArmed = true;
    EnterShowView();
}

// ---- Closed-eye overlays ------------------------------------------------------

namespace {

// Two of the alternative hair styles cover the eyes with their fringe, so the
// overlay is rebuilt whenever the hair changes.
void BuildEyeOverlay(TSvelmia& form, const EyeOverlay& e, TImage* lids, TImage* longLids, TBitmap* shaggy,
                     TBitmap* shaggyMask, TBitmap* pank, TBitmap* pankMask)
{
    e.Control->SetVisible(false);
    e.Control->SetLeft(e.Left);
    e.Control->SetWidth(e.Width);
    TCanvas* overlay = e.Control->GetCanvas();
    overlay->CopyMode = SRCCOPY;
    if (e.LongHair) {
        overlay->CopyRect(e.Dest, longLids->GetCanvas(), e.Source);
        return; // long hair never goes with the shaggy or pank style
    }
    overlay->CopyRect(e.Dest, lids->GetCanvas(), e.Source);
    if (e.ShaggyHair && shaggy && shaggyMask)
        form.MaskedCopy(overlay, e.Dest, shaggyMask->GetCanvas(), e.Source, shaggy->GetCanvas(), e.Source);
    if (e.PankHair && pank && pankMask)
        form.MaskedCopy(overlay, e.Dest, pankMask->GetCanvas(), e.Source, pank->GetCanvas(), e.Source);
}

} // namespace

// The portrait's overlay follows the pan: it covers only the visible part of
// the eye patch (at pan 0 the whole 243 columns).
void TSvelmia::RefreshClosedEyes()
{
    const EyeOverlay e{CloseEye_disp, EyeLeft,  EyeVisibleWidth, Rect(0, 0, EyeSrcRect.Width(), EyeSrcRect.Bottom),
                       EyeSrcRect,    LongHair, ShaggyHair,      PankHair};
    BuildEyeOverlay(*this, e, CloseeyePict, CloseeyePict_lg, ShaggyEyeBmp.get(), ShaggyEyeMask.get(), PankEyeBmp.get(),
                    PankEyeMask.get());
}

void TSvelmia::RefreshLeftClosedEyes()
{
    const EyeOverlay e{CloseEye_disp_Left, LeftEyeLeft,  LeftEyeWidth,   LeftEyeOverlayRect,
                       LeftEyeOverlayRect, LeftLongHair, LeftShaggyHair, LeftPankHair};
    BuildEyeOverlay(*this, e, CloseeyePict, CloseeyePict_lg, ShaggyEyeBmp.get(), ShaggyEyeMask.get(), PankEyeBmp.get(),
                    PankEyeMask.get());
}

void TSvelmia::RefreshRightClosedEyes()
{
    const EyeOverlay e{CloseEye_disp,   RightEyeLeft, RightEyeWidth, RightEyeOverlayRect,
                       RightEyeSrcRect, LongHair,     ShaggyHair,    PankHair};
    BuildEyeOverlay(*this, e, CloseeyePict, CloseeyePict_lg, ShaggyEyeBmp.get(), ShaggyEyeMask.get(), PankEyeBmp.get(),
                    PankEyeMask.get());
}

// ---- Show layout ----------------------------------------------------------------

// A part of width w whose left edge in the portrait is x, for the left figure.
// The left figure is not clipped on its right side: the right figure is drawn
// over it.
bool TSvelmia::ClipLeftPart(int width, int left)
{
    const int L = ShowLeftGap;
    const int S = ShowSpan;
    if (left < L) {
        ClipSL = L - left;
        ClipDL = 0;
    } else {
        ClipSL = 0;
        ClipDL = left - L;
    }
    ClipSR = width;
    ClipDR = left + width - L;
    if (left + width <= L || left >= L + S) {
        ClipSL = 0;
        ClipSR = 0;
        return true;
    }
    return false;
}

// The same for the right figure, whose strip ends at the window's right edge.
bool TSvelmia::ClipRightPart(int width, int left)
{
    const int B = ShowRightBase;
    const int G = ShowRightGap;
    const int E = B - G + kWindowWidth;
    if (left < B) {
        ClipSL = B - left;
        ClipDL = G;
    } else {
        ClipSL = 0;
        ClipDL = left - B + G;
    }
    if (left + width > E) {
        ClipSR = E - left;
        ClipDR = kWindowWidth;
    } else {
        ClipSR = width;
        ClipDR = left + width - B + G;
    }
    if (left + width <= B || left >= E) {
        ClipSL = 0;
        ClipSR = 0;
        return true;
    }
    return false;
}

namespace {

// The entry of each outside part (OutsidePart order) whose "wholly outside"
// result goes into the figure's flags.
constexpr int kLeftFlagged[kOutsideParts] = {peHairLongLeft, peHairBottom, peBracelet, peHairBand, peFlower};
constexpr int kRightFlagged[kOutsideParts] = {peHairLong, peHairBottom, peBracelet, peHairBand, peFlower};

void SetColumns(TRect& r, int left, int right)
{
    r.Left = left;
    r.Right = right;
}

} // namespace

void TSvelmia::LayoutLeftFigure()
{
    const int L = ShowLeftGap;
    const int S = ShowSpan;
    for (bool& out : LeftPartOut)
        out = false;

    LeftEyeLeft = EyeBaseLeft - L;
    LeftEyeShowRect = Rect(LeftEyeLeft, 0, LeftEyeLeft + EyeWidth, EyeHeight);
    LeftEyeOverlayRect = Rect(0, 0, EyeWidth, EyeHeight);
    LeftEyeWidth = EyeWidth;
    SetColumns(LeftDestRect[peEye], LeftEyeLeft, LeftEyeLeft + EyeWidth);
    SetColumns(LeftSrcRect[peEye], 0, EyeWidth);
    SetColumns(LeftMaskRect[peEye], 0, EyeWidth);

    SetColumns(LeftDestRect[peWindow], 0, S);
    SetColumns(LeftSrcRect[peWindow], L, L + S);
    SetColumns(LeftMaskRect[peWindow], L, L + S);

    LayoutFigureParts({&TSvelmia::ClipLeftPart, LeftDestRect, LeftSrcRect, LeftMaskRect, LeftChokerLowerDestRect,
                       LeftChokerLowerSrcRect, LeftChokerLowerMaskRect, kLeftFlagged, LeftPartOut, LeftFaceWidth});
}

void TSvelmia::LayoutRightFigure()
{
    const int B = ShowRightBase;
    const int G = ShowRightGap;
    for (bool& out : RightPartOut)
        out = false;

    ClipRightPart(EyeWidth, EyeBaseLeft);
    RightEyeShowRect = Rect(ClipDL, 0, ClipDR, EyeHeight);
    RightEyeSrcRect = Rect(ClipSL, 0, ClipSR, EyeHeight);
    RightEyeWidth = ClipSR - ClipSL;
    RightEyeOverlayRect = Rect(0, 0, RightEyeWidth, EyeHeight);
    RightEyeLeft = ClipDL;
    SetColumns(RightDestRect[peEye], ClipDL, ClipDR);
    SetColumns(RightSrcRect[peEye], ClipSL, ClipSR);
    SetColumns(RightMaskRect[peEye], ClipSL, ClipSR);

    SetColumns(RightDestRect[peWindow], G, kWindowWidth);
    SetColumns(RightSrcRect[peWindow], B, B - G + kWindowWidth);
    SetColumns(RightMaskRect[peWindow], B, B - G + kWindowWidth);

    LayoutFigureParts({&TSvelmia::ClipRightPart, RightDestRect, RightSrcRect, RightMaskRect, RightChokerLowerDestRect,
                       RightChokerLowerSrcRect, RightChokerLowerMaskRect, kRightFlagged, RightPartOut, RightFaceWidth});
}

// Every part from the face on, cut to the figure's strip.
void TSvelmia::LayoutFigureParts(const FigureColumns& f)
{
    for (int entry = peFace; entry < kPlacementCount; ++entry) {
        const bool outside = (this->*f.Clip)(EntryWidth[entry], EntryLeft[entry]);
        SetColumns(f.Dest[entry], ClipDL, ClipDR);
        SetColumns(f.Src[entry], ClipSL, ClipSR);
        SetColumns(f.Mask[entry], ClipSL, ClipSR);
        if (entry == peChoker) {
            SetColumns(f.ChokerLowerDest, ClipDL, ClipDR);
            SetColumns(f.ChokerLowerSrc, ClipSL, ClipSR);
            SetColumns(f.ChokerLowerMask, ClipSL, ClipSR);
        }
        if (entry == peFace)
            f.FaceWidth = ClipSR - ClipSL;
        for (int k = 0; k < kOutsideParts; ++k)
            if (entry == f.Flagged[k] && outside)
                f.Out[k] = true;
    }
}
