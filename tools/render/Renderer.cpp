// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "tools/render/Renderer.h"

#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "toolkit/Intl.h"
#include "tools/render/Label.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>

using velmia::headless::HeadlessHost;

namespace velmia::render {

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
// A redraw asked for by a key is composed by the next tick; a few more cover
// a show that composes its two halves on separate ticks.
constexpr int kMaxSettleTicks = 8;
constexpr int kRedrawPending = 600;

const std::vector<PartKind> kPartKinds = {
    {"costume", "vlm_co", '\\'}, {"camisole", "vlm_ca", '7'}, {"hairband", "vlm_hb", '0'},
    {"flower", "vlm_fl", '9'},   {"ribbon", "vlm_ri", '-'},   {"choker", "vlm_ch", '8'},
};

bool StartsWithLetters(const std::string& s, const std::string& prefix)
{
    return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

bool EndsWithBmp(const std::string& s)
{
    if (s.size() < 4)
        return false;
    std::string ext = s.substr(s.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); });
    return ext == ".bmp";
}

// One run of the form on its own headless platform.
class Session {
public:
    Session() { form_ = host_.StartForm<TSvelmia>(); }

    bool Failed(std::string& message) const
    {
        // The program shows a message box only for what it refuses.
        if (!host_.StartupFailed() && host_.MessageBoxes().empty())
            return false;
        message = host_.MessageBoxes().empty() ? _("the program could not start") : host_.MessageBoxes().back().Text;
        return true;
    }

    // Ticks while the form has a redraw to do, as the real window's timer
    // would between two keys typed at a person's pace; a stopped timer ends it.
    void Settle()
    {
        for (int i = 0; i < kMaxSettleTicks && Live(); ++i) {
            if (form_->State().CycleCounter != kRedrawPending)
                return;
            if (host_.FireTimer(form_->Timer1, 1) == 0)
                return;
        }
    }

    void Tick(int n) { host_.FireTimer(form_->Timer1, n); }

    // Wears a look file as Ctrl+O does; false with the program's message
    // when it refused the file or a part file the look names.
    bool WearLook(const std::string& path, std::string& message)
    {
        form_->OpenLookFile(path);
        if (Failed(message))
            return false;
        Settle();
        return true;
    }

    bool SaveLook(const std::string& path, std::string& message)
    {
        form_->SaveLookFile(path);
        return !Failed(message);
    }

    bool Live() const { return !host_.StartupFailed() && !host_.Closed(); }

    // The kind's command key with the dialog answered by `path`.
    bool LoadPart(const PartChoice& part, std::string& message)
    {
        host_.ScriptOpenDialog(part.path);
        host_.TypeChar(part.kind->key);
        if (host_.PendingAnswers() != 0) {

            host_.ClearRecords();
            message = vcl::Format(_("the %s key did nothing in this state of the program"), part.kind->id);
            return false;
        }
        if (Failed(message))
            return false;
        Settle();
        return true;
    }

    void Press(const KeyStroke& k)
    {
        if (k.vk == 0) {
            host_.TypeChar(k.character);
        } else {
            host_.SetShift(k.shift);
            host_.SetCtrl(k.ctrl);
            host_.PressKey(k.vk, k.vkCharacter);
            host_.SetShift(false);
            host_.SetCtrl(false);
        }
        Settle();
    }

    bool EnterView(View view, std::string& message)
    {
        const PortraitState& s = form_->State();
        switch (view) {
        case View::Portrait:
            return true;
        case View::Show:
            // Copy the figure to the left one (the first q arms the copy),
            // then start the show.
            host_.TypeText("qqw");
            Settle();
            if (s.ShowMode)
                return true;
            break;
        case View::Gray:
            host_.SetShift(true);
            host_.DoubleClick(100, 100);
            host_.SetShift(false);
            if (s.GrayMode)
                return true;
            break;
        case View::Quad:
            host_.SetShift(true);
            host_.RightPress(400, 300);
            host_.SetShift(false);
            if (s.QuadMode)
                return true;
            break;
        case View::CloseUp:
            host_.PressKey(vcl::VK_PRIOR);
            if (s.CloseUpMode)
                return true;
            break;
        }
        message = _("the view could not be entered from the state the keys left");
        return false;
    }

    bool ShowFrame(int frame, std::string& message)
    {
        const PortraitState& s = form_->State();
        // The phases of the breathing period at which each pose appears.
        static constexpr int kBodyPhase[3] = {19, 5, 7};
        static constexpr int kShowPhase[3] = {34, 5, 7};
        if (s.CloseUpMode || s.QuadMode) {
            message = "--frame works in the portrait, show and gray views";
            return false;
        }
        if (s.ShowMode)
            form_->ShowSceneFrame(kShowPhase[frame]);
        else
            form_->ShowBodyFrame(kBodyPhase[frame]);
        return true;
    }

    void TakePicture(vcl::TBitmap& out)
    {
        out.Assign(host_.WindowPicture());
        if (out.GetPixelFormat() != vcl::pf24bit)
            out.SetPixelFormat(vcl::pf24bit);
        if (out.GetWidth() != kWindowWidth || out.GetHeight() != kWindowHeight)
            out.SetSize(kWindowWidth, kWindowHeight);
    }

    bool Closed() const { return host_.Closed(); }

private:
    HeadlessHost host_;
    TSvelmia* form_ = nullptr;
};

} // namespace

const std::vector<PartKind>& PartKinds()
{
    return kPartKinds;
}

const PartKind* PartKindById(const std::string& id)
{
    for (const PartKind& k : kPartKinds)
        if (id == k.id)
            return &k;
    return nullptr;
}

const PartKind* PartKindForName(const std::string& name)
{
    for (const PartKind& k : kPartKinds)
        if (StartsWithLetters(name, k.prefix) && EndsWithBmp(name) && name.size() >= std::string(k.prefix).size() + 4)
            return &k;
    return nullptr;
}

void Render(const RenderRequest& request, RenderResult& result)
{
    result.ok = false;
    result.message.clear();
    Session session;
    if (session.Failed(result.message))
        return;
    // Start-up has composed the first picture, the window's first frame, and
    // leaves the form busy until the first tick, 100 ms later in the real
    // window; input counts only from then on.
    session.Tick(1);
    for (const PartChoice& part : request.parts)
        if (!session.LoadPart(part, result.message))
            return;
    if (!request.look.empty() && !session.WearLook(request.look, result.message))
        return;
    for (const KeyStroke& key : request.keys) {
        session.Press(key);
        if (session.Failed(result.message))
            return;
        if (session.Closed()) {
            result.message = _("the keys closed the program's window");
            return;
        }
    }
    if (!request.saveLook.empty() && !session.SaveLook(request.saveLook, result.message))
        return;
    if (!session.EnterView(request.view, result.message))
        return;
    if (request.ticks)
        session.Tick(*request.ticks);
    if (request.frame && !session.ShowFrame(*request.frame, result.message))
        return;
    if (session.Failed(result.message))
        return;
    session.TakePicture(result.picture);
    result.ok = true;
}

bool RenderSheet(SheetResult& result, std::string& message, int columns)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(".")) {
        while (const dirent* entry = readdir(dir))
            if (PartKindForName(entry->d_name))
                names.emplace_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());

    constexpr int kMargin = 10;
    constexpr int kScale = 2;
    constexpr int kLabelHeight = kGlyphHeight * kScale + 10;
    const int cellWidth = kWindowWidth + kMargin;
    const int cellHeight = kWindowHeight + kLabelHeight + kMargin;
    const int count = std::max<int>(1, int(names.size()));
    const int across = std::min(columns, count);
    const int down = (count + across - 1) / across;
    vcl::TBitmap& sheet = result.sheet;
    sheet.SetPixelFormat(vcl::pf24bit);
    sheet.SetSize(kMargin + across * cellWidth, kMargin + down * cellHeight);
    sheet.GetCanvas()->Brush.Color = 0x00303030;
    sheet.GetCanvas()->FillRect(vcl::Rect(0, 0, sheet.GetWidth(), sheet.GetHeight()));
    sheet.GetCanvas()->CopyMode = vcl::SRCCOPY;

    // The default start first: when it fails nothing else can work.
    RenderResult start;
    Render(RenderRequest{}, start);
    if (!start.ok) {
        message = start.message;
        return false;
    }
    if (names.empty()) {
        DrawLabel(sheet, kMargin, kMargin + 5, "no part files in this folder: the default start", vcl::clWhite, kScale);
        sheet.GetCanvas()->CopyRect(
            vcl::Rect(kMargin, kMargin + kLabelHeight, kMargin + kWindowWidth, kMargin + kLabelHeight + kWindowHeight),
            start.picture.GetCanvas(), vcl::Rect(0, 0, kWindowWidth, kWindowHeight));
        return true;
    }

    for (size_t i = 0; i < names.size(); ++i) {
        const int left = kMargin + int(i % across) * cellWidth;
        const int top = kMargin + int(i / across) * cellHeight;
        RenderRequest request;
        request.parts.push_back(PartChoice{PartKindForName(names[i]), names[i]});
        RenderResult cell;
        Render(request, cell);
        std::string label = names[i];
        if (cell.ok) {
            sheet.GetCanvas()->CopyRect(
                vcl::Rect(left, top + kLabelHeight, left + kWindowWidth, top + kLabelHeight + kWindowHeight),
                cell.picture.GetCanvas(), vcl::Rect(0, 0, kWindowWidth, kWindowHeight));
        } else {
            label += ": refused";
            result.messages.push_back(cell.message);
            DrawLabel(sheet, left + 10, top + kLabelHeight + 10, cell.message.substr(0, 120), 0x008080FF, 1);
        }
        DrawLabel(sheet, left, top + 5, label, cell.ok ? vcl::clWhite : 0x008080FF, kScale);
        ++result.cells;
    }
    return true;
}

} // namespace velmia::render
