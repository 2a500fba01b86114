// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The look a user keeps and shares (commands/Look.h holds its file): Ctrl+S
// writes it, Ctrl+O and `velmia --look FILE` wear one, Ctrl+C copies the
// window's picture. Wearing a look sets what a user could have set by hand
// and asks for one redraw, as a key command does.
#include "shell/Velmiaunit1.h"
#include "toolkit/BmpCodec.h"
#include "toolkit/Intl.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace vcl;
using namespace layout;

namespace fs = std::filesystem;

namespace {

constexpr unsigned char kCtrlO = 15;
constexpr unsigned char kCtrlS = 19;

// The start-up pictures a look without a part file names, in look::PartSlot order.
constexpr const char* kStartPartFiles[look::kPartSlots] = {"vlm_co.bmp", "vlm_ca.bmp", "vlm_hb.bmp",
                                                           "vlm_fl.bmp", "vlm_ri.bmp", "vlm_ch.bmp"};
constexpr const char* kStartSceneList = "vlm_scene_list.bmp";

std::string LookFilter()
{
    return std::string(_("looks")) + "|*." + look::kExtension;
}

bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    std::error_code ec;
    return fs::absolute(a, ec).lexically_normal() == fs::absolute(b, ec).lexically_normal();
}

look::Hair HairOf(const SelectionRef& s)
{
    if (s.LongHair)
        return look::Hair::Long;
    if (s.ShaggyHair)
        return look::Hair::Shaggy;
    if (s.PankHair)
        return look::Hair::Punk;
    if (s.OtohimeHair)
        return look::Hair::Otohime;
    return s.MainHairHidden ? look::Hair::Hidden : look::Hair::Standard;
}

void SetHair(const SelectionRef& s, look::Hair hair)
{
    s.LongHair = hair == look::Hair::Long;
    s.ShaggyHair = hair == look::Hair::Shaggy;
    s.PankHair = hair == look::Hair::Punk;
    s.OtohimeHair = hair == look::Hair::Otohime;
    s.MainHairHidden = hair == look::Hair::Standard || hair == look::Hair::Long ? 0 : 1;
}

// The string pattern on screen: under the camisole the one it hides.
int32_t StringsOf(const SelectionRef& s)
{
    if (s.CamisoleShown)
        return s.StringPatternIndex;
    for (int p = 0; p < 4; ++p)
        if (*s.PatternFlag(p))
            return p;
    return 4;
}

// An automatic cell has moved on past the one on screen when its figure was
// last composed.
int32_t OnScreen(int32_t index, bool automatic, bool composed, int count)
{
    if (automatic && composed)
        PreviousIndex(index, count);
    return index;
}

} // namespace

look::Limits TSvelmia::LookLimits() const
{
    return look::Limits{FaceCount};
}

look::Look TSvelmia::CurrentLook(const std::string& folder)
{
    look::Look l;
    l.ShownView = ShowMode || (CloseUpMode && SavedShowMode) ? look::View::Show : look::View::Portrait;
    l.Scene = CurrentScene;
    l.StrawberriesUpper = CurrentScene == 0 ? !AlternatePhase : AlternatePhase;
    l.Pan = PanX;
    l.ShowLeftGap = ShowLeftGap;
    l.ShowRightGap = ShowRightGap;
    if (!WornSceneList.empty())
        l.SceneList = look::NameFor(WornSceneList, folder);
    for (size_t cell = 0; cell < l.SceneColours.size(); ++cell)
        l.SceneColours[cell] = SceneCellColours[cell];
    for (const Figure figure : {Figure::Main, Figure::Left}) {
        const SelectionRef s = FigureSet(figure);
        // The show composes both sets; the portrait only the main one, once
        // it has composed at all.
        const bool composed = l.ShownView == look::View::Show || (figure == Figure::Main && PortraitComposed);
        look::FigureLook& f = figure == Figure::Main ? l.Main : l.Left;
        f.Face = OnScreen(s.FaceIndex, s.FaceAuto, composed, FaceCount);
        f.FaceAuto = s.FaceAuto;
        f.Earring = OnScreen(s.EarringIndex, s.EarringAuto, composed, kCells);
        f.EarringAuto = s.EarringAuto;
        f.EarringFrame = s.EarringFrameIndex;
        f.Bracelet = OnScreen(s.BraceletIndex, s.BraceletAuto, composed, kCells);
        f.BraceletAuto = s.BraceletAuto;
        f.BraceletShown = s.BraceletShown;
        f.HairStyle = HairOf(s);
        f.Strings = StringsOf(s);
        f.Camisole = s.CamisoleShown;
        f.Ribbon = s.RibbonShown;
        f.Hairband = s.HairBandShown;
        f.Flower = s.FlowerShown;
        f.FlowerOnChest = s.FlowerAlt != 0;
        f.Choker = s.ChokerShown;
        f.EyesClosed = s.EyesClosed;
        for (size_t slot = 0; slot < f.Files.size(); ++slot)
            if (const std::string& worn = WornFiles[size_t(figure)][slot]; !worn.empty())
                f.Files[slot] = look::NameFor(worn, folder);
        f.Hem = WornHem[size_t(figure)];
    }
    return l;
}

bool TSvelmia::SaveLookFile(const std::string& path)
{
    std::error_code ec;
    const fs::path target = fs::absolute(path, ec);
    const look::Look current = CurrentLook(target.parent_path().string());
    const std::string text = look::Format(current);
    // What is written must read back the same: a file name with a line break,
    // spaces at its ends or bytes that are not UTF-8 cannot be in a look.
    look::Look written;
    int line = 0;
    std::string reason;
    if (!look::Parse(text, LookLimits(), written, line, reason) || !(written == current)) {
        Application->ShowNotice(vcl::Format(
            _("The look could not be saved as \"%s\": the name of a part file it wears cannot be written in a "
              "look file (it breaks a line, starts or ends with a space, or is not UTF-8)"),
            path));
        return false;
    }
    // Written beside the target first: a failed save leaves an older look whole.
    const fs::path temporary = target.string() + ".new";
    bool ok = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        ok = out && out.write(text.data(), std::streamsize(text.size())) && out.flush();
    }
    if (ok)
        fs::rename(temporary, target, ec);
    if (!ok || ec) {
        fs::remove(temporary, ec);
        Application->ShowNotice(vcl::Format(_("The look could not be saved as \"%s\""), path));
        return false;
    }
    return true;
}

bool TSvelmia::OpenLookFile(const std::string& path)
{
    look::Look wanted;
    std::string message;
    if (!look::ReadFile(path, LookLimits(), wanted, message)) {
        Application->ShowNotice(message);
        return false;
    }
    std::vector<std::string> refused;
    WearLook(wanted, refused);
    if (!refused.empty()) {
        std::string names;
        for (const std::string& name : refused)
            names += (names.empty() ? "\"" : ", \"") + name + "\"";
        Application->ShowNotice(vcl::Format(
            vcl::TranslatePlural("The look \"%s\" is worn without the part file %s: it could not be read, and that "
                                 "part stays as it was",
                                 "The look \"%s\" is worn without the part files %s: they could not be read, and "
                                 "those parts stay as they were",
                                 refused.size()),
            path, names));
    }
    return true;
}

void TSvelmia::WearLook(const look::Look& l, std::vector<std::string>& refused)
{
    // The left figure taken out of the show goes back first, so that both
    // sets are where the look puts them.
    if (MainSwapped)
        ReturnToShow();

    // Part files: whatever is read goes on; what cannot be read stays. A
    // left figure that no q has made yet has no pictures at all: it gets
    // every one, and from now on w shows it.
    const bool leftIsNew = ShowOrigin == ShowStage::NoLeftFigure;
    WearLookParts(l, leftIsNew, refused);
    WearLookSceneList(l, refused);
    if (leftIsNew)
        ShowOrigin = ShowStage::LeftForPortrait;
    WearLookSelections(l);
    WearLookView(l);
    WearLookCells(l);
}

void TSvelmia::WearLookParts(const look::Look& l, bool leftIsNew, std::vector<std::string>& refused)
{
    for (const Figure figure : {Figure::Main, Figure::Left}) {
        const look::FigureLook& f = figure == Figure::Main ? l.Main : l.Left;
        const bool everyPart = figure == Figure::Left && leftIsNew;
        for (int slot = 0; slot < look::kPartSlots; ++slot) {
            const std::string& want = f.Files[size_t(slot)];
            std::string& worn = WornFiles[size_t(figure)][size_t(slot)];
            const bool hemChanges = slot == look::kCostume && f.Hem != WornHem[size_t(figure)];
            if (SameFile(want, worn) && !hemChanges && !everyPart)
                continue;
            const std::string path = want.empty() ? kStartPartFiles[slot] : want;
            TBitmap loaded;
            try {
                ReadBmpFile(path, loaded);
            } catch (const std::exception&) {
                refused.push_back(path);
                continue;
            }
            const PartKind kind = PartKind(kPartCostume + slot);
            PlacePartPicture(kind, figure == Figure::Left, loaded);
            WearPart(kind, figure, path);
            worn = want;
            if (slot == look::kCostume && f.Hem) {
                PaintHem(figure, *f.Hem);
                WornHem[size_t(figure)] = f.Hem;
            }
        }
    }
}

void TSvelmia::WearLookSceneList(const look::Look& l, std::vector<std::string>& refused)
{
    if (!SameFile(l.SceneList, WornSceneList) ||
        !std::equal(l.SceneColours.begin(), l.SceneColours.end(), SceneCellColours.begin())) {
        const std::string path = l.SceneList.empty() ? kStartSceneList : l.SceneList;
        TBitmap loaded;
        try {
            ReadBmpFile(path, loaded);
            SceneList->GetBitmap()->Assign(loaded);
            WornSceneList = l.SceneList;
            SceneCellColours = {};
            for (size_t row = 0; row < l.SceneColours.size(); ++row)
                if (l.SceneColours[row])
                    PaintSceneCell(int(row), *l.SceneColours[row]);
        } catch (const std::exception&) {
            refused.push_back(path);
        }
    }
}

// The members of both sets, and the faces their hair needs.
void TSvelmia::WearLookSelections(const look::Look& l)
{
    for (const Figure figure : {Figure::Main, Figure::Left}) {
        const look::FigureLook& f = figure == Figure::Main ? l.Main : l.Left;
        const SelectionRef s = FigureSet(figure);
        s.FaceAuto = f.FaceAuto;
        s.EarringAuto = f.EarringAuto;
        s.EarringFrameIndex = f.EarringFrame;
        s.BraceletAuto = f.BraceletAuto;
        s.BraceletShown = f.BraceletShown;
        SetHair(s, f.HairStyle);
        s.StringPatternIndex = f.Strings;
        s.CamisoleShown = f.Camisole;
        s.ShowPattern(f.Camisole ? -1 : f.Strings);
        s.RibbonShown = f.Ribbon;
        s.HairBandShown = f.Hairband;
        s.FlowerShown = f.Flower;
        s.FlowerAlt = f.FlowerOnChest ? 1 : 0;
        s.ChokerShown = f.Choker;
        s.EyesClosed = f.EyesClosed;
        TBitmap* faces = figure == Figure::Main ? FaceWorkB.get() : FaceWorkC.get();
        const TRect all = Rect(0, 0, FaceWidth, FaceListHeight);
        faces->GetCanvas()->CopyMode = SRCCOPY;
        faces->GetCanvas()->CopyRect(all, (s.LongHair ? FaceListLarge : FaceList)->GetCanvas(), all);
    }
}

// The view, the pan and the show's spacing.
void TSvelmia::WearLookView(const look::Look& l)
{
    HideBlinkOverlays();
    PanX = l.Pan;
    ApplyPan();
    ShowLeftGap = l.ShowLeftGap;
    ShowRightGap = l.ShowRightGap;
    ShowSpan = (ShowRightGap <= 280 ? 590 : ShowRightGap + 310) - ShowLeftGap;
    if (l.ShownView == look::View::Show) {
        if (ShowMode)
            LayoutShowFigures();
        else
            StartShow();
    } else {
        if (ShowMode)
            LeaveShowForPortrait();
        RefreshClosedEyes();
    }
}

// The scene and the cells the redraw composes (entering the show has
// stepped the counters back; these are the values to draw).
void TSvelmia::WearLookCells(const look::Look& l)
{
    SceneIndex = l.Scene;
    AlternatePhase = l.StrawberriesUpper;
    for (const Figure figure : {Figure::Main, Figure::Left}) {
        const look::FigureLook& f = figure == Figure::Main ? l.Main : l.Left;
        const SelectionRef s = FigureSet(figure);
        s.FaceIndex = f.Face;
        s.EarringIndex = f.Earring;
        s.BraceletIndex = f.Bracelet;
    }
    RoundCounter = 0;
    RequestRedraw();
}

bool TSvelmia::LookKeyPress(unsigned char key)
{
    if (key != kCtrlS && key != kCtrlO)
        return false;
    if (GrayMode || QuadMode)
        return true;
    TOpenDialog dialog(key == kCtrlS ? TDialogKind::Save : TDialogKind::Open);
    dialog.Filter = LookFilter();
    dialog.DefaultExt = look::kExtension;
    std::error_code ec;
    dialog.InitialDir = fs::current_path(ec).string();
    if (key == kCtrlS)
        dialog.FileName = look::kProposedName;
    if (!dialog.Execute())
        return true;
    if (key == kCtrlS)
        SaveLookFile(dialog.GetFileName());
    else
        OpenLookFile(dialog.GetFileName());
    return true;
}

void TSvelmia::CopyWindowPicture()
{
    Repaint();
    if (IPlatform* platform = CurrentPlatform())
        platform->CopyPicture(WindowPicture());
}
