// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/soak/Invariants.h"

#include <sstream>

using namespace vcl;

namespace velmia::soak {

namespace {

std::string Range(const char* name, int value, int low, int high)
{
    if (value >= low && value <= high)
        return {};
    std::ostringstream out;
    out << name << " = " << value << ", outside " << low << ".." << high;
    return out.str();
}

// The first non-empty message of a list.
std::string First(std::initializer_list<std::string> messages)
{
    for (const std::string& m : messages)
        if (!m.empty())
            return m;
    return {};
}

// At most the flag of the pattern index is set, and none with the camisole.
// (A costume loaded over the camisole hides it and leaves all four clear
// until the next pattern or camisole key.)
std::string Flags(const char* who, bool camisole, int index, bool plain, bool thick, bool w, bool cross)
{
    const bool have[4] = {plain, thick, w, cross};
    for (int k = 0; k < 4; ++k)
        if (have[k] && (camisole || k != index)) {
            std::ostringstream out;
            out << who << " string flags " << plain << thick << w << cross << " for pattern " << index
                << (camisole ? " with the camisole" : "");
            return out.str();
        }
    return {};
}

std::string Views(const PortraitState& s)
{
    std::ostringstream out;
    out << "close-up " << s.CloseUpMode << ", show " << s.ShowMode << ", gray " << s.GrayMode << ", portrait "
        << s.PortraitMode << ", four-figure " << s.QuadMode;
    return out.str();
}

const std::vector<Invariant> kInvariants = {
    // The show breathes over 40 ticks, the other views over 30.
    {"cycle counter",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         return First({Range("CycleCounter", s.CycleCounter, 0, layout::kLastCycleTick),
                       Range("BodyPhase", s.BodyPhase, 0, 39)});
     }},
    {"face index",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         return First({Range("FaceIndex", s.FaceIndex, 0, s.FaceCount - 1),
                       Range("LeftFaceIndex", s.LeftFaceIndex, 0, s.FaceCount - 1)});
     }},
    {"five-cell indices",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         return First(
             {Range("EarringIndex", s.EarringIndex, 0, 4), Range("EarringFrameIndex", s.EarringFrameIndex, 0, 4),
              Range("BraceletIndex", s.BraceletIndex, 0, 4), Range("LeftEarringIndex", s.LeftEarringIndex, 0, 4),
              Range("LeftEarringFrameIndex", s.LeftEarringFrameIndex, 0, 4),
              Range("LeftBraceletIndex", s.LeftBraceletIndex, 0, 4), Range("TwinkleCell", s.TwinkleCell, 0, 4)});
     }},
    {"scene index", [](const Probe& p) { return Range("SceneIndex", p.form.State().SceneIndex, 0, 7); }},
    {"string pattern",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         return First({Range("StringPatternIndex", s.StringPatternIndex, 0, 4),
                       Range("LeftStringPatternIndex", s.LeftStringPatternIndex, 0, 4),
                       Flags("main", s.CamisoleShown, s.StringPatternIndex, s.StringPatternOn, s.ThickStringOn,
                             s.WStringOn, s.CrossStringOn),
                       Flags("left", s.LeftCamisoleShown, s.LeftStringPatternIndex, s.LeftStringPatternOn,
                             s.LeftThickStringOn, s.LeftWStringOn, s.LeftCrossStringOn)});
     }},
    {"pan limits",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         return First({Range("PanX", s.PanX, -400, 520), Range("SavedPanX", s.SavedPanX, -400, 520)});
     }},
    {"show layout",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         return First({Range("ShowOrigin", int(s.ShowOrigin), 0, 2), Range("ShowLeftGap", s.ShowLeftGap, 10, 230),
                       Range("ShowRightGap", s.ShowRightGap, 220, 440),
                       Range("ShowLeftGap + ShowRightGap", s.ShowLeftGap + s.ShowRightGap, 450, 670)});
     }},
    {"close-up zoom",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         if (s.ZoomPercent % 10 != 0)
             return std::string("ZoomPercent ") + std::to_string(s.ZoomPercent) + " is off the 10 % steps";
         return First({Range("ZoomPercent", s.ZoomPercent, 140, 200),
                       s.CloseUpMode ? Range("CycleCounter in the close-up", s.CycleCounter, 0, 300) : ""});
     }},
    {"gray blink table",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         static constexpr int kTable[5] = {48, 148, 297, 398, 448};
         for (int k = 0; k < 5; ++k)
             if (s.GrayBlinkTable[k] != kTable[k] - (s.GrayEyesClosed ? s.GrayEyeShift : 0))
                 return std::string("GrayBlinkTable[") + std::to_string(k) +
                        "] = " + std::to_string(s.GrayBlinkTable[k]);
         return std::string();
     }},
    {"display-mode precedence",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         const int views = s.CloseUpMode + s.ShowMode + s.GrayMode + s.PortraitMode + s.QuadMode;
         if (views == 0)
             return "no view at all (" + Views(s) + ")";
         if ((s.GrayMode || s.QuadMode) && views != 1)
             return "the gray or four-figure view with another (" + Views(s) + ")";
         if (s.ShowMode && s.PortraitMode && !s.CloseUpMode)
             return "the show and the portrait at once (" + Views(s) + ")";
         return std::string();
     }},
    {"browser page",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         if (!s.BrowserOpen)
             return s.BrowserPage == 0 ? std::string()
                                       : "BrowserPage = " + std::to_string(s.BrowserPage) + " with the browser closed";
         return Range("BrowserPage", s.BrowserPage, 0, p.form.BrowserPageCount() - 1);
     }},
    {"busy between events",
     [](const Probe& p) {
         const PortraitState& s = p.form.State();
         const bool timer = p.form.Timer1->GetEnabled();
         if (s.BrowserOpen)
             return std::string(timer ? "Timer1 runs while the part browser is open" : "");
         if (s.QuitRequested || s.CloseUpHalfShown || s.TickCount == 0)
             return std::string(); // the quit, the close-up's hold and the start wait for a tick or a press
         if (s.Busy)
             return std::string("Busy is still set");
         if (!timer)
             return std::string("Timer1 is off");
         if (s.ShutCountdown < 0)
             return "ShutCountdown = " + std::to_string(s.ShutCountdown);
         return std::string();
     }},
    {"picture shapes",
     [](const Probe& p) {
         for (const PictureShape& shape : p.baseline.Shapes()) {
             if (!shape.present)
                 continue;
             const TBitmap* now = shape.slot->get();
             if (!now)
                 return std::string(shape.name) + " is gone";
             if (now->GetWidth() != shape.width || now->GetHeight() != shape.height ||
                 now->GetPixelFormat() != shape.format) {
                 std::ostringstream out;
                 out << shape.name << " is " << now->GetWidth() << " x " << now->GetHeight() << " format "
                     << int(now->GetPixelFormat()) << ", was " << shape.width << " x " << shape.height << " format "
                     << int(shape.format);
                 return out.str();
             }
         }
         return std::string();
     }},
    {"portrait pictures",
     [](const Probe& p) {
         for (TImage* image : {p.form.Mainpict, p.form.mySubcanvas}) {
             const TBitmap* b = image->GetBitmap();
             if (b->GetWidth() != 800 || b->GetHeight() != 300)
                 return image->GetName() + " holds " + std::to_string(b->GetWidth()) + " x " +
                        std::to_string(b->GetHeight());
         }
         return std::string();
     }},
    {"window picture",
     [](const Probe& p) {
         if (p.window.GetWidth() != 800 || p.window.GetHeight() != 600)
             return "the window is " + std::to_string(p.window.GetWidth()) + " x " +
                    std::to_string(p.window.GetHeight());
         return std::string();
     }},
};

} // namespace

Baseline::Baseline(const TSvelmia& form)
{
    const PortraitState& s = form.State();
    auto add = [&](const char* name, const std::unique_ptr<TBitmap>& slot) {
        PictureShape shape{name, &slot};
        if (slot) {
            shape.present = true;
            shape.width = slot->GetWidth();
            shape.height = slot->GetHeight();
            shape.format = slot->GetPixelFormat();
        }
        shapes_.push_back(shape);
    };
    static const char* const kFrames[7] = {"FrameBmp[0]", "FrameBmp[1]", "FrameBmp[2]", "FrameBmp[3]",
                                           "FrameBmp[4]", "FrameBmp[5]", "FrameBmp[6]"};
    for (int k = 0; k < 7; ++k)
        add(kFrames[k], s.FrameBmp[k]);
#define VELMIA_PICTURE(member) add(#member, s.member)
    VELMIA_PICTURE(UpperBmp);
    VELMIA_PICTURE(ZoomBmp);
    VELMIA_PICTURE(SubPictListMask);
    VELMIA_PICTURE(HairMainMask);
    VELMIA_PICTURE(HairSubMask);
    VELMIA_PICTURE(HairLongMask);
    VELMIA_PICTURE(HairNotLongMask);
    VELMIA_PICTURE(HairSideMask);
    VELMIA_PICTURE(CostumeMask);
    VELMIA_PICTURE(CostumeWorkMask);
    VELMIA_PICTURE(CostumeTempMask);
    VELMIA_PICTURE(CamisoleMask);
    VELMIA_PICTURE(EarringListMask);
    VELMIA_PICTURE(BraceletMask);
    VELMIA_PICTURE(HairBandMask);
    VELMIA_PICTURE(RibbonMask);
    VELMIA_PICTURE(EarringFrameMask);
    VELMIA_PICTURE(BackgroundMask);
    VELMIA_PICTURE(StreamingMask);
    VELMIA_PICTURE(StarListMask);
    VELMIA_PICTURE(StarCell);
    VELMIA_PICTURE(ShaggyBmp);
    VELMIA_PICTURE(ShaggyMask);
    VELMIA_PICTURE(ShaggyEyeBmp);
    VELMIA_PICTURE(ShaggyEyeMask);
    VELMIA_PICTURE(PankBmp);
    VELMIA_PICTURE(PankMask);
    VELMIA_PICTURE(PankEyeBmp);
    VELMIA_PICTURE(PankEyeMask);
    VELMIA_PICTURE(OtohimeBmp);
    VELMIA_PICTURE(OtohimeMask);
    VELMIA_PICTURE(FaceList);
    VELMIA_PICTURE(FaceListLarge);
    VELMIA_PICTURE(FaceWorkA);
    VELMIA_PICTURE(FaceWorkB);
    VELMIA_PICTURE(FaceWorkC);
    VELMIA_PICTURE(CostumeWork);
    VELMIA_PICTURE(CamisoleWork);
    VELMIA_PICTURE(ChokerWork);
    VELMIA_PICTURE(FlowerWork);
    VELMIA_PICTURE(HairBandWork);
    VELMIA_PICTURE(RibbonWork);
    VELMIA_PICTURE(CamisoleWorkMask);
    VELMIA_PICTURE(HairBandWorkMask);
    VELMIA_PICTURE(RibbonWorkMask);
    VELMIA_PICTURE(SceneKeyMask);
    VELMIA_PICTURE(CostumeTemp);
    VELMIA_PICTURE(CamisoleTempA);
    VELMIA_PICTURE(CamisoleTempB);
    VELMIA_PICTURE(ChokerTemp);
    VELMIA_PICTURE(FlowerTemp);
    VELMIA_PICTURE(HairBandTempA);
    VELMIA_PICTURE(HairBandTempB);
    VELMIA_PICTURE(RibbonTempA);
    VELMIA_PICTURE(RibbonTempB);
    VELMIA_PICTURE(WideBufA);
    VELMIA_PICTURE(WideBufB);
    VELMIA_PICTURE(FullBuf);
    VELMIA_PICTURE(EyeBuf);
    VELMIA_PICTURE(ClosedEyeWork);
    // The costumes as their files hold them take each loaded file's shape;
    // their cells above keep theirs.
#undef VELMIA_PICTURE
}

const std::vector<Invariant>& Invariants()
{
    return kInvariants;
}

std::vector<std::pair<std::string, std::string>> CheckInvariants(const Probe& probe)
{
    std::vector<std::pair<std::string, std::string>> failed;
    for (const Invariant& rule : kInvariants)
        if (std::string detail = rule.check(probe); !detail.empty())
            failed.emplace_back(rule.name, std::move(detail));
    return failed;
}

} // namespace velmia::soak
