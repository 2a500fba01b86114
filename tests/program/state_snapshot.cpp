// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tests/program/state_snapshot.h"

#include <cstring>
#include <type_traits>

using namespace vcl;

namespace velmia::test {

// Every member of PortraitState but the palette start-up fills once.
// clang-format off
#define VELMIA_STATE_MEMBERS(X) \
    X(ScreenHeight) X(ScreenWidth) X(CaptionOffset) X(SavedCursor) X(CursorVisible) X(AlternatePhase) X(Busy) \
    X(QuitRequested) X(LastRightClickTick) X(LowPriority) X(ShiftDown) X(CtrlDown) X(PortraitMode) X(QuadMode) \
    X(GrayMode) X(ShowMode) X(CloseUpMode) X(TickCount) X(CycleCounter) X(BodyPhase) X(RoundCounter) \
    X(RoundsPerCompose) X(PortraitComposed) X(CurrentScene) X(SceneIndex) X(RedrawAsked) X(RedrawSettled) \
    X(OwedCounters) X(FaceIndex) X(FaceAuto) X(EarringIndex) \
    X(EarringAuto) X(EarringFrameIndex) X(BraceletIndex) X(BraceletAuto) X(BraceletShown) X(LongHair) \
    X(MainHairHidden) X(ShaggyHair) X(PankHair) X(OtohimeHair) X(StringPatternIndex) X(StringPatternOn) \
    X(ThickStringOn) X(WStringOn) X(CrossStringOn) X(CamisoleShown) X(RibbonShown) X(HairBandShown) X(FlowerShown) \
    X(FlowerAlt) X(ChokerShown) X(LeftFaceIndex) X(LeftFaceAuto) X(LeftEarringIndex) X(LeftEarringAuto) \
    X(LeftEarringFrameIndex) X(LeftBraceletIndex) X(LeftBraceletAuto) X(LeftBraceletShown) X(LeftLongHair) \
    X(LeftMainHairHidden) X(LeftShaggyHair) X(LeftPankHair) X(LeftOtohimeHair) X(LeftStringPatternIndex) \
    X(LeftStringPatternOn) X(LeftThickStringOn) X(LeftWStringOn) X(LeftCrossStringOn) X(LeftCamisoleShown) \
    X(LeftRibbonShown) X(LeftHairBandShown) X(LeftFlowerShown) X(LeftFlowerAlt) X(LeftChokerShown) X(SavedFaceIndex) \
    X(SavedFaceAuto) X(SavedEarringIndex) X(SavedEarringAuto) X(SavedEarringFrameIndex) X(SavedBraceletIndex) \
    X(SavedBraceletAuto) X(SavedBraceletShown) X(SavedLongHair) X(SavedMainHairHidden) X(SavedShaggyHair) \
    X(SavedPankHair) X(SavedOtohimeHair) X(SavedStringPatternIndex) X(SavedStringPatternOn) X(SavedThickStringOn) \
    X(SavedWStringOn) X(SavedCrossStringOn) X(SavedCamisoleShown) X(SavedRibbonShown) X(SavedHairBandShown) \
    X(SavedFlowerShown) X(SavedFlowerAlt) X(SavedChokerShown) X(SavedEyesClosed) X(SavedTouchOpened) X(EyesClosed) \
    X(PeekOpen) X(TouchOpened) X(ShutCountdown) X(LeftEyesClosed) X(LeftTouchOpened) X(LeftPeekOpen) \
    X(TouchLeftFigure) X(GrayEyesClosed) X(QuadEyesClosed) X(GrayEyeShift) X(GrayBlinkTable) X(LastEyeSwapTick) \
    X(PanX) X(SavedPanX) X(EyeBaseLeft) X(EyeLeft) X(FaceBaseLeft) X(HairLongLeftOut) X(HairBottomOut) \
    X(HairBandOut) X(FlowerOut) X(FlowerBodyOut) X(ChokerOut) X(RibbonOut) X(BraceletOut) X(EyeVisibleWidth) \
    X(ShowLeftGap) X(ShowRightBase) X(ShowRightGap) X(ShowSpan) X(LeftEyeLeft) X(RightEyeLeft) X(LeftEyeWidth) \
    X(RightEyeWidth) X(LeftFaceWidth) X(RightFaceWidth) X(LeftPartOut) X(RightPartOut) X(ShowOrigin) \
    X(CopyToLeftArmed) X(MainSwapped) X(ZoomPercent) X(ZoomTopTrim) X(CloseUpReady) X(CloseUpHasSecond) \
    X(CloseUpHalfShown) X(CloseUpRestored) X(CloseUpEyesClosed) X(CaptureEyesClosed) X(SecondEyesClosed) \
    X(SecondCaptureEyesClosed) X(CloseUpPanX) X(SecondPanX) X(LastCapturePanX) X(SecondZoomPercent) \
    X(KeepPreviousShot) X(SavedPortraitMode) X(SavedShowMode) X(ViewWidth) X(ViewHeight) X(ViewLeft) X(ViewRight) \
    X(CloseUpEyeLeft) X(ZoomEyeWidth) X(ZoomEyeBottom) X(ZoomEyeRect) X(BrowserOpen) X(BrowserKind) \
    X(BrowserPattern) X(ThumbWidth) X(ThumbHeight) X(PartWidth) X(PartHeight) X(BrowserNames) X(BrowserCount) X(BrowserPage) X(ChosenPartFile) \
    X(SceneListFileName) X(CostumeFileName) X(LeftCostumeFileName) X(SavedCostumeFileName) X(RibbonFileName) X(HairBandFileName) X(FlowerFileName) \
    X(ChokerFileName) X(CamisoleFileName) X(EarringFramesLoaded) X(BackgroundLoaded) X(StreamingLoaded) \
    X(StarListLoaded) X(ShaggyMissing) X(PankMissing) X(OtohimeMissing) X(FaceListHeight) X(FaceCellHeight) \
    X(FaceCount) X(StarWidth) X(StarHeight) X(StarTwinkleActive) X(ShootingStarActive) X(StarX) X(StarY) \
    X(TwinkleDelay) X(TwinkleCell) X(SkyColour) X(BackgroundRect) X(BackgroundRectCopy) X(CamisoleWidth) \
    X(CamisoleHeight) X(CamisoleBandHeight) X(CostumeWidth) X(CostumeHeight) X(CostumeBandHeight) X(EarringWidth) \
    X(EarringCellHeight) X(EarringFrameWidth) X(EarringFrameHeight) X(HairBandWidth) X(HairBandHeight) \
    X(FlowerWidth) X(FlowerCellHeight) X(ChokerWidth) X(ChokerCellHeight) X(RibbonWidth) X(RibbonHeight) \
    X(BraceletWidth) X(BraceletCellHeight) X(EyeWidth) X(EyeHeight) X(FaceWidth) X(SceneTileSize) X(EntryWidth) \
    X(EntryLeft) X(MainRect) X(LowerRect) X(BandRect) X(SceneCellRect) X(SceneTileRect) X(EyeDestRect) X(EyeSrcRect) \
    X(FaceDestRect) X(FaceSrcRect) X(HairMainDestRect) X(HairMainSrcRect) X(HairSubDestRect) X(HairSubSrcRect) \
    X(HairSideDestRect) X(HairSideSrcRect) X(ShaggyDestRect) X(ShaggySrcRect) X(PankDestRect) X(PankSrcRect) \
    X(OtohimeDestRect) X(OtohimeSrcRect) X(HairBottomDestRect) X(HairBottomSrcRect) X(HairLongDestRect) \
    X(HairLongSrcRect) X(HairLongLeftDestRect) X(HairLongLeftMaskRect) X(HairLongLeftSrcRect) X(EarringDestRect) \
    X(EarringSrcRect) X(EarringFrameDestRect) X(EarringFrameSrcRect) X(BraceletDestRect) X(BraceletMaskRect) \
    X(BraceletSrcRect) X(CostumeDestRect) X(CostumeBandRect) X(CamisoleDestRect) X(CamisoleBandRect) \
    X(StringDestRect) X(StringSrcRect) X(ThickStringDestRect) X(ThickStringSrcRect) X(WStringDestRect) \
    X(WStringSrcRect) X(CrossStringDestRect) X(CrossStringSrcRect) X(RibbonDestRect) X(RibbonSrcRect) \
    X(HairBandDestRect) X(HairBandSrcRect) X(FlowerDestRect) X(FlowerMaskRect) X(FlowerSrcRect) \
    X(ChokerUpperDestRect) X(ChokerLowerDestRect) X(ChokerMaskRect) X(ChokerSrcRect) X(ChokerUpperMaskRect) \
    X(ChokerLowerMaskRect) X(ChokerUpperSrcRect) X(ChokerLowerSrcRect) X(StreamingRect) X(StarCellRect) \
    X(StarListRect) X(LeftDestRect) X(LeftSrcRect) X(LeftMaskRect) X(RightDestRect) X(RightSrcRect) X(RightMaskRect) \
    X(LeftChokerLowerDestRect) X(LeftChokerLowerSrcRect) X(LeftChokerLowerMaskRect) X(RightChokerLowerDestRect) \
    X(RightChokerLowerSrcRect) X(RightChokerLowerMaskRect) X(LeftEyeShowRect) X(LeftEyeOverlayRect) \
    X(RightEyeShowRect) X(RightEyeSrcRect) X(RightEyeOverlayRect) X(ClipSL) X(ClipDL) X(ClipSR) X(ClipDR) \
    X(FrameBmp) X(UpperBmp) X(ZoomBmp) X(SubPictListMask) X(HairMainMask) X(HairSubMask) \
    X(HairLongMask) X(HairNotLongMask) X(HairSideMask) X(CostumeMask) X(CostumeWorkMask) X(CostumeTempMask) \
    X(CamisoleMask) X(EarringListMask) X(BraceletMask) \
    X(HairBandMask) X(RibbonMask) X(EarringFrameMask) X(BackgroundMask) X(StreamingMask) X(StarListMask) X(StarCell) \
    X(ShaggyBmp) X(ShaggyMask) X(ShaggyEyeBmp) X(ShaggyEyeMask) X(PankBmp) X(PankMask) X(PankEyeBmp) X(PankEyeMask) \
    X(OtohimeBmp) X(OtohimeMask) X(FaceList) X(FaceListLarge) X(FaceWorkA) X(FaceWorkB) X(FaceWorkC) X(CostumeWork) \
    X(CamisoleWork) X(ChokerWork) X(FlowerWork) X(HairBandWork) X(RibbonWork) X(CamisoleWorkMask) \
    X(HairBandWorkMask) X(RibbonWorkMask) X(SceneKeyMask) X(CostumeTemp) X(CamisoleTempA) X(CamisoleTempB) \
    X(ChokerTemp) X(FlowerTemp) X(HairBandTempA) X(HairBandTempB) X(RibbonTempA) X(RibbonTempB) X(WideBufA) \
    X(WideBufB) X(FullBuf) X(EyeBuf) X(PartBitmap) X(CostumePicture) X(LeftCostumePicture) X(SavedCostumePicture) \
    X(ClosedEyeWork)
// clang-format on

namespace {

std::string Hex(uint64_t v)
{
    static const char digits[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4)
        s[size_t(i)] = digits[v & 15];
    return s;
}

// Off while a snapshot without pixel digests is taken.
bool digestPictures = true;

void Put(Snapshot& s, const std::string& name, bool v)
{
    s[name] = v ? "1" : "0";
}
template <class T>
requires std::is_integral_v<T>
void Put(Snapshot& s, const std::string& name, T v)
{
    s[name] = std::to_string(v);
}
void Put(Snapshot& s, const std::string& name, const TRect& r)
{
    s[name] = "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
              std::to_string(r.Bottom) + ")";
}
void Put(Snapshot& s, const std::string& name, const std::string& v)
{
    s[name] = "\"" + v + "\"";
}
void Put(Snapshot& s, const std::string& name, const char* v)
{
    s[name] = v ? "\"" + std::string(v) + "\"" : "null";
}
void Put(Snapshot& s, const std::string& name, const std::unique_ptr<char[]>& v)
{
    s[name] = v ? "buffer" : "null";
}
void Put(Snapshot& s, const std::string& name, const TBitmap* b)
{
    s[name] = b ? std::to_string(b->GetWidth()) + "x" + std::to_string(b->GetHeight()) + ":" +
                      (digestPictures ? Hex(PixelDigest(b)) : std::string("-"))
                : "null";
}
template <class T>
requires std::is_enum_v<T>
void Put(Snapshot& s, const std::string& name, T v)
{
    Put(s, name, int(v));
}
void Put(Snapshot& s, const std::string& name, const std::unique_ptr<TBitmap>& b)
{
    Put(s, name, b.get());
}
void Put(Snapshot& s, const std::string& name, const AutoCounters& c)
{
    s[name] = "scene " + std::to_string(c.SceneIndex) + (c.AlternatePhase ? " upper" : " lower") +
              (c.PortraitComposed ? " composed" : "") + " cells " + std::to_string(c.FaceIndex) + "," +
              std::to_string(c.EarringIndex) + "," + std::to_string(c.BraceletIndex) + (c.BraceletAuto ? "+" : "") +
              " left " + std::to_string(c.LeftFaceIndex) + "," + std::to_string(c.LeftEarringIndex) + "," +
              std::to_string(c.LeftBraceletIndex);
}
template <class T, size_t N> void Put(Snapshot& s, const std::string& name, const T (&a)[N])
{
    for (size_t i = 0; i < N; ++i)
        Put(s, name + "[" + std::to_string(i) + "]", a[i]);
}
template <class T, size_t N> void Put(Snapshot& s, const std::string& name, const std::array<T, N>& a)
{
    for (size_t i = 0; i < N; ++i)
        Put(s, name + "[" + std::to_string(i) + "]", a[i]);
}

template <class T> bool Assign(T& member, int64_t v)
{
    if constexpr (std::is_same_v<T, bool>) {
        member = v != 0;
        return true;
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        member = static_cast<T>(v);
        return true;
    } else {
        return false;
    }
}

int PixelBits(TPixelFormat f)
{
    switch (f) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    }
    return 32;
}

} // namespace

uint64_t PixelDigest(const TBitmap* b)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t x) { h = (h ^ x) * 1099511628211ull; };
    mix(uint64_t(b->GetWidth()));
    mix(uint64_t(b->GetHeight()));
    mix(uint64_t(b->GetPixelFormat()));
    const size_t bytes = (size_t(b->GetWidth()) * size_t(PixelBits(b->GetPixelFormat())) + 7) / 8;
    for (int y = 0; y < b->GetHeight(); ++y) {
        const uint8_t* row = b->ScanLine(y);
        size_t i = 0;
        for (; i + 8 <= bytes; i += 8) {
            uint64_t w;
            std::memcpy(&w, row + i, 8);
            mix(w);
        }
        for (; i < bytes; ++i)
            mix(row[i]);
    }
    return h;
}

Snapshot TakeSnapshot(TSvelmia& form, bool pictures)
{
    digestPictures = pictures;
    const PortraitState& st = form.State();
    Snapshot s;
#define VELMIA_PUT(m) Put(s, #m, st.m);
    VELMIA_STATE_MEMBERS(VELMIA_PUT)
#undef VELMIA_PUT
    for (TImage* i : {form.Costume, form.Camisole, form.Ribborn, form.HairBand, form.FlowerPict, form.Choker,
                      form.SceneList, form.Mainpict, form.mySubcanvas})
        Put(s, "image " + i->GetName(), i->GetBitmap());
    for (TImage* i :
         {form.CloseEye_disp, form.CloseEye_disp_Left, form.SmallClosedPict0, form.SmallClosedPict01,
          form.SmallClosedPict1, form.SmallClosedPict11, form.CloseEye_disp_stretch, form.logo, form.DispTargetsScreen})
        Put(s, "visible " + i->GetName(), i->GetVisible());
    return s;
}

const std::vector<std::string>& SnapshotMembers()
{
#define VELMIA_NAME(m) #m,
    static const std::vector<std::string> names = {VELMIA_STATE_MEMBERS(VELMIA_NAME)};
#undef VELMIA_NAME
    return names;
}

bool SetMember(PortraitState& st, const std::string& name, int64_t value)
{
#define VELMIA_SET(m)                                                                                                  \
    if (name == #m)                                                                                                    \
        return Assign(st.m, value);
    VELMIA_STATE_MEMBERS(VELMIA_SET)
#undef VELMIA_SET
    return false;
}

std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after)
{
    std::vector<std::string> out;
    for (const auto& [name, value] : after) {
        const auto it = before.find(name);
        const std::string old = it == before.end() ? "(none)" : it->second;
        if (old != value)
            out.push_back(name + ": " + old + " -> " + value);
    }
    return out;
}

} // namespace velmia::test
