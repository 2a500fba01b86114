// Stand-ins for routines of subsystems that are not built yet, so that the
// tick, the composer and start-up can call them today. Each is replaced by
// its real version when its subsystem lands (and this file shrinks with it):
// the pan with the pointer subsystem, the closed-eye overlays with the
// selection sets, the show with the scene show, the night sky effects with
// the night sky.
#include "shell/Velmiaunit1.h"

#include <initializer_list>

using namespace vcl;

// ---- Pan (replaced with the pointer subsystem) -----------------------------

// Places a layer of `width` whose left edge at pan 0 is `left`, clipped to the
// 800-pixel window; true when it lies wholly outside.
bool TSvelmia::ClipSpan(int left, int width, int& destLeft, int& destRight, int& sourceLeft, int& sourceRight)
{
    const int l = left + PanX;
    destLeft = l;
    destRight = l + width;
    sourceLeft = 0;
    sourceRight = width;
    bool outside = false;
    if (l < 0) {
        sourceLeft = -l;
        destLeft = 0;
    }
    if (l + width <= 0) {
        destRight = 0;
        sourceLeft = width;
        outside = true;
    }
    if (l + width > 800) {
        destRight = 800;
        sourceRight = 800 - l;
    }
    if (l >= 800) {
        destRight = l;
        sourceRight = 0;
        outside = true;
    }
    return outside;
}

void TSvelmia::ApplyPan()
{
    auto pan = [this](int left, int width, std::initializer_list<TRect*> dests, std::initializer_list<TRect*> sources) {
        int dl = 0, dr = 0, sl = 0, sr = 0;
        const bool outside = ClipSpan(left, width, dl, dr, sl, sr);
        for (TRect* r : dests) {
            r->Left = dl;
            r->Right = dr;
        }
        for (TRect* r : sources) {
            r->Left = sl;
            r->Right = sr;
        }
        return outside;
    };

    pan(0, 800, {&MainRect}, {&BandRect[0], &BandRect[1], &BandRect[2]});
    pan(238, 243, {&EyeDestRect}, {&EyeSrcRect});
    pan(221, 279, {&FaceDestRect}, {&FaceSrcRect});
    HairLongLeftOut = pan(100, 150, {&HairLongLeftDestRect}, {&HairLongLeftMaskRect, &HairLongLeftSrcRect});
    pan(100, 600, {&HairMainDestRect}, {&HairMainSrcRect});
    pan(200, 500, {&HairSubDestRect}, {&HairSubSrcRect});
    pan(170, 420, {&HairSideDestRect}, {&HairSideSrcRect});
    pan(410, 260, {&HairLongDestRect}, {&HairLongSrcRect});
    HairBottomOut = pan(620, 60, {&HairBottomDestRect}, {&HairBottomSrcRect});
    pan(250, 330, {&EarringDestRect}, {&EarringSrcRect});
    pan(250, 340, {&EarringFrameDestRect}, {&EarringFrameSrcRect});
    BraceletOut = pan(670, 130, {&BraceletDestRect}, {&BraceletMaskRect, &BraceletSrcRect});
    pan(110, 530, {&CostumeDestRect}, {&CostumeBandRect[0], &CostumeBandRect[1], &CostumeBandRect[2]});
    pan(100, 550, {&CamisoleDestRect}, {&CamisoleBandRect[0], &CamisoleBandRect[1], &CamisoleBandRect[2]});
    RibbonOut = pan(370, 200, {&RibbonDestRect[0], &RibbonDestRect[1], &RibbonDestRect[2], &RibbonDestRect[3]},
                    {&RibbonSrcRect});
    // The body placements of the flower take their source columns from their
    // own destination (DrawFlowerOnBody); the shared source follows the first.
    FlowerBodyOut = pan(428, 100, {&FlowerDestRect[1], &FlowerDestRect[2], &FlowerDestRect[3]}, {});
    FlowerOut = pan(480, 100, {&FlowerDestRect[0]}, {&FlowerMaskRect, &FlowerSrcRect});
    ChokerOut = pan(350, 150, {&ChokerUpperDestRect, &ChokerLowerDestRect},
                    {&ChokerMaskRect, &ChokerSrcRect, &ChokerUpperMaskRect, &ChokerLowerMaskRect, &ChokerUpperSrcRect,
                     &ChokerLowerSrcRect});
    HairBandOut = pan(480, 80, {&HairBandDestRect}, {&HairBandSrcRect});
    pan(200, 280, {&StringDestRect}, {&StringSrcRect});
    pan(200, 390, {&WStringDestRect}, {&WStringSrcRect});
    pan(210, 290, {&CrossStringDestRect}, {&CrossStringSrcRect});
    pan(200, 290, {&ThickStringDestRect}, {&ThickStringSrcRect});

    EyeLeft = EyeDestRect.Left;
    EyeVisibleWidth = EyeSrcRect.Right - EyeSrcRect.Left;
    CloseEye_disp->SetWidth(EyeVisibleWidth);
    HideBlinkOverlays();
    RefreshClosedEyes();
}

// ---- Closed-eye overlay (replaced with the selection sets) -----------------

// Rebuilds the portrait's blink overlay for the current hair and eye patch.
void TSvelmia::RefreshClosedEyes()
{
    CloseEye_disp->SetVisible(false);
    CloseEye_disp->SetLeft(EyeLeft);
    CloseEye_disp->SetWidth(EyeVisibleWidth);
    TCanvas* overlay = CloseEye_disp->GetCanvas();
    const TRect dest = Rect(0, 0, EyeSrcRect.Width(), EyeSrcRect.Bottom);
    overlay->CopyMode = SRCCOPY;
    if (LongHair) {
        overlay->CopyRect(dest, CloseeyePict_lg->GetCanvas(), EyeSrcRect);
        return;
    }
    overlay->CopyRect(dest, CloseeyePict->GetCanvas(), EyeSrcRect);
    if (ShaggyHair)
        MaskedCopy(overlay, dest, ShaggyEyeMask->GetCanvas(), EyeSrcRect, ShaggyEyeBmp->GetCanvas(), EyeSrcRect);
    if (PankHair)
        MaskedCopy(overlay, dest, PankEyeMask->GetCanvas(), EyeSrcRect, PankEyeBmp->GetCanvas(), EyeSrcRect);
}

// ---- Scene show (replaced with the scene show) ------------------------------

void TSvelmia::ShowTick() {}

// ---- Night sky (replaced with the night sky effects) ------------------------

void TSvelmia::SetUpNightBackground() {}
void TSvelmia::MakeSkyKey() {}
void TSvelmia::StarTwinkleStep()
{
    StarTwinkleActive = false;
}
void TSvelmia::ShootingStarStep()
{
    ShootingStarActive = false;
}
