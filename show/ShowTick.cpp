// The tick of the scene show. Once per 601-tick cycle the whole picture is
// composed for the next scene; between compositions a tick only switches the
// lower half between the seven prepared frames (a 40-tick breath in which the
// two figures move out of step) and shows or hides the two closed-eye
// overlays on their blink schedules.
#include "shell/Velmiaunit1.h"

#include <algorithm>
#include <initializer_list>

using namespace vcl;
using namespace layout;

namespace {

constexpr int kShowBreath = 40;

void Advance(int& index, bool on, int count)
{
    if (on)
        NextIndex(index, count);
}

} // namespace

void TSvelmia::ShowTick()
{
    Mainpict->SetLeft(0);
    Mainpict->SetTop(0);
    mySubcanvas->SetLeft(0);
    mySubcanvas->SetTop(300);
    CloseEye_disp_Left->SetLeft(LeftEyeLeft);
    CloseEye_disp_Left->SetTop(0);
    CloseEye_disp->SetLeft(RightEyeLeft);
    CloseEye_disp->SetTop(0);

    BodyPhase = CycleCounter % kShowBreath;
    ShowSceneFrame(BodyPhase);
    ShowBlink(CycleCounter);

    if (++CycleCounter < kCycleLength) {
        Busy = false;
        Timer1->SetEnabled(true);
        return;
    }

    // End of the cycle.
    CycleCounter = 0;
    PeekOpen = true;
    LeftPeekOpen = true;
    ++RoundCounter;
    if (RoundCounter == RoundsPerCompose) {
        RoundCounter = 0;
        Timer1->SetEnabled(false);
        Busy = true;
        CurrentScene = SceneIndex;

        ComposeShowUpper(CurrentScene);
        Advance(LeftFaceIndex, LeftFaceAuto, FaceCount);
        Advance(FaceIndex, FaceAuto, FaceCount);
        UpperBmp->GetCanvas()->CopyMode = SRCCOPY;
        ComposeShowLower(CurrentScene);

        if (SceneIndex == 0)
            AlternatePhase = !AlternatePhase;
        NextIndex(SceneIndex, kScenes);
        Advance(EarringIndex, EarringAuto, kCells);
        Advance(LeftEarringIndex, LeftEarringAuto, kCells);
        Advance(BraceletIndex, BraceletAuto, kCells);
        Advance(LeftBraceletIndex, LeftBraceletAuto, kCells);

        // A figure in the closed-eye state: keep its fresh open eyes for the
        // peek and the touch, and put the closed ones into the picture.
        TCanvas* upper = UpperBmp->GetCanvas();
        upper->CopyMode = SRCCOPY;
        if (LeftEyesClosed) {
            CloseEye_disp_Left->SetLeft(LeftEyeLeft);
            CloseEye_disp_Left->SetTop(0);
            CloseEye_disp_Left->SetVisible(false);
            TCanvas* save = EyeSave_Left->GetCanvas();
            save->CopyMode = SRCCOPY;
            save->CopyRect(LeftEyeOverlayRect, upper, LeftEyeShowRect);
            upper->CopyRect(LeftEyeShowRect, CloseEye_disp_Left->GetCanvas(), LeftEyeOverlayRect);
            LeftPeekOpen = false;
        }
        if (EyesClosed) {
            CloseEye_disp->SetLeft(RightEyeLeft);
            CloseEye_disp->SetTop(0);
            CloseEye_disp->SetVisible(false);
            TCanvas* save = EyeSave->GetCanvas();
            save->CopyMode = SRCCOPY;
            save->CopyRect(RightEyeOverlayRect, upper, RightEyeShowRect);
            upper->CopyRect(RightEyeShowRect, CloseEye_disp->GetCanvas(), RightEyeOverlayRect);
            PeekOpen = false;
        }

        TCanvas* screen = Mainpict->GetCanvas();
        screen->CopyMode = SRCCOPY;
        screen->CopyRect(kUpperPicture, upper, kUpperPicture); // the whole picture, whatever the pan
        mySubcanvas->SetLeft(0);
        mySubcanvas->SetTop(300);
        TCanvas* lower = mySubcanvas->GetCanvas();
        lower->CopyMode = SRCCOPY;
        lower->CopyRect(kUpperPicture, FrameBmp[0]->GetCanvas(), kUpperPicture);
    }
    Busy = false;
    Timer1->SetEnabled(true);
}

// The frame due at this phase of the 40-tick breath; at other phases the
// frame on screen stays.
void TSvelmia::ShowSceneFrame(int phase)
{
    mySubcanvas->SetLeft(0);
    mySubcanvas->SetTop(300);
    int frame;
    switch (phase) {
    case 5:
        frame = 1;
        break;
    case 7:
        frame = 2;
        break;
    case 17:
        frame = 4;
        break;
    case 19:
        frame = 6;
        break;
    case 22:
        frame = 5;
        break;
    case 31:
        frame = 3;
        break;
    case 34:
        frame = 0;
        break;
    default:
        return;
    }
    TCanvas* canvas = mySubcanvas->GetCanvas();
    canvas->CopyMode = SRCCOPY;
    canvas->CopyRect(kUpperPicture, FrameBmp[frame]->GetCanvas(), kUpperPicture);
}

void TSvelmia::ShowBlink(int cycleTick)
{
    TCanvas* screen = Mainpict->GetCanvas();
    screen->CopyMode = SRCCOPY;

    // Left figure: in the closed-eye state its eyes peek open once every
    // 150 ticks; otherwise it blinks unless a touch holds its eyes open.
    if (LeftEyesClosed) {
        const int c = cycleTick % 150;
        if (c == 70) {
            CloseEye_disp_Left->SetVisible(false);
            screen->CopyRect(LeftEyeShowRect, EyeSave_Left->GetCanvas(), LeftEyeOverlayRect);
            LeftPeekOpen = true;
        } else if (c == 80) {
            screen->CopyRect(LeftEyeShowRect, CloseEye_disp_Left->GetCanvas(), LeftEyeOverlayRect);
            CloseEye_disp_Left->SetVisible(true);
            LeftPeekOpen = false;
        }
    } else if (!LeftTouchOpened) {
        ScheduleOverlay(CloseEye_disp_Left, cycleTick, {18, 117, 218, 277, 418, 562, 565},
                        {20, 120, 220, 280, 420, 564, 570});
    }

    if (EyesClosed) {
        const int c = cycleTick % 150;
        if (c == 120) {
            CloseEye_disp->SetVisible(false);
            screen->CopyRect(RightEyeShowRect, EyeSave->GetCanvas(), RightEyeOverlayRect);
            PeekOpen = true;
        } else if (c == 130) {
            screen->CopyRect(RightEyeShowRect, CloseEye_disp->GetCanvas(), RightEyeOverlayRect);
            CloseEye_disp->SetVisible(true);
            PeekOpen = false;
        }
    } else if (!TouchOpened) {
        ScheduleOverlay(CloseEye_disp, cycleTick, {48, 147, 248, 297, 448, 592, 596},
                        {50, 150, 250, 300, 450, 594, 600});
    }
}
