// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/headless/HeadlessHost.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <stdexcept>

namespace velmia::headless {

using namespace vcl;

HeadlessHost::HeadlessHost()
{
    SetPlatform(this);
}

// A form that was created and not closed is closed here (the real window
// always closes before the program ends), so that everything FormClose frees
// is freed in tests too.
HeadlessHost::~HeadlessHost()
{
    if (form_ && created_ && !closed_) {
        closed_ = true;
        try {
            form_->DoClose();
        } catch (const std::exception& e) {
            std::cerr << "HeadlessHost: OnClose threw: " << e.what() << "\n";
        }
    }
    // The form's timers tell the platform they go away; keep it installed
    // until the form is gone.
    form_.reset();
    SetPlatform(nullptr);
}

void HeadlessHost::AdoptForm(std::unique_ptr<TForm> form)
{
    if (form_)
        throw std::logic_error("HeadlessHost: a form was already created");
    form_ = std::move(form);
}

void HeadlessHost::RunCreate(bool rethrow)
{
    try {
        form_->DoCreate();
        created_ = true;
    } catch (const std::exception& e) {
        startupFailed_ = true;
        if (rethrow)
            throw;
        if (Application)
            Application->ShowException(e);
        else
            MessageBox("Error", e.what());
        return;
    }
    AfterEvent();
}

TForm& HeadlessHost::RequireForm() const
{
    if (!form_)
        throw std::logic_error("HeadlessHost: no form yet (call CreateForm first)");
    return *form_;
}

void HeadlessHost::AfterEvent()
{
    ++events_;
    if (!form_ || closed_)
        return;
    if (closeRequested_) {
        closed_ = true;
        form_->DoClose();
        return;
    }
    form_->Repaint();
    // What the event changed may change how long a batched timer sleeps.
    Rearm();
}

void HeadlessHost::CloseWindow()
{
    RequireForm();
    CatchUp();
    closeRequested_ = true;
    AfterEvent();
}

// ---- The machine -----------------------------------------------------------

void HeadlessHost::SetScreenSize(int width, int height)
{
    screenWidth_ = width;
    screenHeight_ = height;
}

void HeadlessHost::SetKeyDown(int vk, bool down)
{
    if (down)
        keysDown_.insert(vk);
    else
        keysDown_.erase(vk);
}

int16_t HeadlessHost::KeyState(int vk)
{
    // GetKeyState answers with the high bit set while the key is down.
    return keysDown_.count(vk) ? int16_t(-128) : int16_t(0);
}

void HeadlessHost::SetCursorToClient(int x, int y)
{
    TForm& f = RequireForm();
    const int caption = f.GetBorderStyle() == TBorderStyle::bsNone ? 0 : kCaptionHeight;
    cursor_ = TPoint{x + f.GetLeft(), y + f.GetTop() + caption};
}

static TShiftState Modifiers(const std::set<int>& keys)
{
    TShiftState s = 0;
    if (keys.count(VK_SHIFT))
        s |= ssShift;
    if (keys.count(VK_CONTROL))
        s |= ssCtrl;
    if (keys.count(VK_MENU))
        s |= ssAlt;
    return s;
}

// ---- Keyboard ----------------------------------------------------------------

void HeadlessHost::PressKey(uint16_t vk, char ch)
{
    CatchUp();
    if (!Live())
        return;
    form_->DoKeyDown(vk, Modifiers(keysDown_));
    if (ch != 0 && Live())
        form_->DoKeyPress(ch);
    AfterEvent();
}

void HeadlessHost::TypeChar(char c)
{
    const KeyForChar k = KeyForCharacter(c);
    const bool held = keysDown_.count(VK_SHIFT) != 0;
    if (k.Shift && !held)
        SetKeyDown(VK_SHIFT, true);
    PressKey(k.Vk, c);
    if (k.Shift && !held)
        SetKeyDown(VK_SHIFT, false);
}

void HeadlessHost::TypeText(const std::string& text)
{
    for (char c : text)
        TypeChar(c);
}

// ---- Mouse -------------------------------------------------------------------

void HeadlessHost::LeftPress(int x, int y)
{
    CatchUp();
    if (!Live())
        return;
    SetCursorToClient(x, y);
    form_->DoMouseDown(TMouseButton::mbLeft, Modifiers(keysDown_) | ssLeft, x, y);
    AfterEvent();
}

void HeadlessHost::Click(int x, int y)
{
    LeftPress(x, y);
    if (!Live())
        return;
    form_->DoClick(x, y);
    AfterEvent();
}

void HeadlessHost::DoubleClick(int x, int y)
{
    Click(x, y);
    if (!Live())
        return;
    form_->DoDblClick(x, y);
    if (Live())
        form_->DoMouseDown(TMouseButton::mbLeft, Modifiers(keysDown_) | ssLeft | ssDouble, x, y);
    AfterEvent();
    // The release that ends a double-click makes no click.
}

void HeadlessHost::RightPress(int x, int y)
{
    CatchUp();
    if (!Live())
        return;
    SetCursorToClient(x, y);
    form_->DoMouseDown(TMouseButton::mbRight, Modifiers(keysDown_) | ssRight, x, y);
    AfterEvent();
}

void HeadlessHost::MiddlePress(int x, int y)
{
    CatchUp();
    if (!Live())
        return;
    SetCursorToClient(x, y);
    form_->DoMouseDown(TMouseButton::mbMiddle, Modifiers(keysDown_) | ssMiddle, x, y);
    AfterEvent();
}

void HeadlessHost::Wheel(bool up, int notches)
{
    CatchUp();
    for (int i = 0; i < notches && Live(); ++i) {
        form_->DoMouseWheel(up, Modifiers(keysDown_), cursor_);
        AfterEvent();
    }
}

// ---- Timers ------------------------------------------------------------------

void HeadlessHost::TimerChanged(TTimer* timer)
{
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](auto& t) { return t.first == timer; });
    if (it == timers_.end()) {
        timers_.push_back({timer, {}});
        it = timers_.end() - 1;
    }
    TimerSlot& slot = it->second;
    // A batched tick enables its timer at the tick's own time; the batch is
    // asked for once the event is over (Rearm).
    const uint64_t now = inBatch_ ? tickTime_ : now_;
    const uint64_t interval = timer->GetInterval();
    const bool running = timer->GetEnabled() && interval > 0;
    const bool heldInThisEvent = slot.on || slot.heldIn == events_;
    slot.batch = 1;
    if (!timer->KeepsRhythm || !slot.started || (running && !heldInThisEvent)) {
        slot.armedAt = now;
        slot.due = now_ + interval;
    } else if (running) {
        // Held by a handler, not restarted: the next tick keeps its time,
        // and one that fell due meanwhile comes at once.
        slot.armedAt = std::max(slot.armedAt, now - std::min(now, interval));
        slot.due = std::max(slot.due, now_);
    }
    if (slot.on && !running)
        slot.heldIn = events_;
    slot.on = running;
    slot.started = slot.started || running;
    if (Batched(timer))
        slot.due = slot.armedAt + interval;
}

HeadlessHost::TimerSlot* HeadlessHost::SlotOf(TTimer* timer)
{
    for (auto& [t, slot] : timers_)
        if (t == timer)
            return &slot;
    return nullptr;
}

void HeadlessHost::TimerDestroyed(TTimer* timer)
{
    std::erase_if(timers_, [&](auto& t) { return t.first == timer; });
}

TTimer* HeadlessHost::FindTimer(const std::string& name) const
{
    for (auto& t : timers_)
        if (t.first->GetName() == name)
            return t.first;
    return nullptr;
}

int HeadlessHost::FireTimer(TTimer* timer, int n)
{
    if (Batched(timer))
        throw std::logic_error("HeadlessHost: timer \"" + timer->GetName() + "\" runs in batches; use PassTime");
    CatchUp();
    const auto known = [&] {
        return std::any_of(timers_.begin(), timers_.end(), [&](auto& t) { return t.first == timer; });
    };
    const bool wasKnown = known();
    int fired = 0;
    for (int i = 0; i < n && Live(); ++i) {
        if (wasKnown && !known())
            break; // destroyed by its own handler
        if (!timer->GetEnabled())
            continue;
        timer->Fire();
        ++fired;
        AfterEvent();
    }
    return fired;
}

int HeadlessHost::FireTimer(const std::string& name, int n)
{
    TTimer* t = FindTimer(name);
    if (!t)
        throw std::logic_error("HeadlessHost: no timer named \"" + name + "\" was ever enabled");
    return FireTimer(t, n);
}

void HeadlessHost::AdvanceTime(uint64_t ms)
{
    for (auto& [t, slot] : timers_)
        if (Batched(t))
            throw std::logic_error("HeadlessHost: timer \"" + t->GetName() + "\" runs in batches; use PassTime");
    const uint64_t end = now_ + ms;
    while (Live()) {
        TTimer* next = nullptr;
        uint64_t due = std::numeric_limits<uint64_t>::max();
        for (auto& [t, slot] : timers_) {
            if (t->GetEnabled() && t->GetInterval() > 0 && slot.due < due) {
                due = slot.due;
                next = t;
            }
        }
        if (!next || due > end)
            break;
        now_ = due;
        for (auto& [t, slot] : timers_)
            if (t == next)
                slot.due = now_ + t->GetInterval();
        next->Fire();
        AfterEvent();
    }
    now_ = end;
}

// ---- Ticks in batches --------------------------------------------------------

void HeadlessHost::SetTickBatching(bool on)
{
    batching_ = on;
    for (auto& [t, slot] : timers_) {
        slot.armedAt = now_;
        slot.due = now_ + t->GetInterval();
        slot.batch = 1;
    }
    Rearm();
}

void HeadlessHost::Rearm()
{
    if (!batching_ || inBatch_ || !Live())
        return;
    for (auto& [t, slot] : timers_) {
        if (!Batched(t) || !t->GetEnabled() || t->GetInterval() == 0)
            continue;
        slot.batch = std::max(1, t->TicksUntilChange());
        slot.due = slot.armedAt + uint64_t(slot.batch) * t->GetInterval();
    }
}

void HeadlessHost::RunTicks(TTimer* timer, int n)
{
    inBatch_ = true;
    for (int i = 0; i < n && Live(); ++i) {
        TimerSlot* slot = SlotOf(timer);
        if (!slot || !timer->GetEnabled())
            break;
        // Each tick runs at its own time; a tick that enables the timer
        // again starts the next interval there (TimerChanged).
        tickTime_ = slot->armedAt + timer->GetInterval();
        slot->armedAt = tickTime_;
        timer->Fire();
        AfterEvent();
    }
    inBatch_ = false;
}

void HeadlessHost::CatchUp()
{
    if (!batching_ || inBatch_)
        return;
    for (size_t i = 0; i < timers_.size() && Live(); ++i) {
        TTimer* t = timers_[i].first;
        if (Batched(t) && t->GetEnabled())
            RunTicks(t, std::min(TicksOwed(t), timers_[i].second.batch));
    }
    Rearm();
}

int HeadlessHost::TicksOwed(TTimer* timer) const
{
    for (auto& [t, slot] : timers_)
        if (t == timer && Batched(t) && t->GetEnabled() && t->GetInterval() > 0 && now_ > slot.armedAt)
            return int((now_ - slot.armedAt) / t->GetInterval());
    return 0;
}

void HeadlessHost::PassTime(uint64_t ms)
{
    const uint64_t end = now_ + ms;
    Rearm();
    while (Live()) {
        TTimer* next = nullptr;
        uint64_t due = std::numeric_limits<uint64_t>::max();
        for (auto& [t, slot] : timers_) {
            if (Batched(t) && t->GetEnabled() && t->GetInterval() > 0 && slot.due < due) {
                due = slot.due;
                next = t;
            }
        }
        if (!next || due > end)
            break;
        now_ = due;
        ++wakeUps_;
        RunTicks(next, SlotOf(next)->batch);
        Rearm();
    }
    now_ = end;
}

// ---- Dialogs -----------------------------------------------------------------

void HeadlessHost::ScriptOpenDialog(const std::string& path)
{
    answers_.push_back({Answer::Open, path});
}
void HeadlessHost::ScriptSaveDialog(const std::string& path)
{
    answers_.push_back({Answer::Save, path});
}
void HeadlessHost::ScriptColor(TColor color)
{
    answers_.push_back({Answer::Color, {}, color});
}
void HeadlessHost::ScriptCancel()
{
    answers_.push_back({Answer::Cancel, {}});
}
void HeadlessHost::ScriptAnswer(bool yes)
{
    answers_.push_back({yes ? Answer::Yes : Answer::No, {}});
}

void HeadlessHost::ClearRecords()
{
    dialogs_.clear();
    messages_.clear();
}

static bool HasExtension(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

bool HeadlessHost::RunFileDialog(TFileDialogRequest& request)
{
    DialogRecord rec;
    rec.Kind = request.Kind;
    rec.Filter = request.Filter;
    rec.FileName = request.FileName;
    rec.DefaultExt = request.DefaultExt;
    rec.InitialDir = request.InitialDir;
    const Answer::Kind wanted = request.Kind == TDialogKind::Save ? Answer::Save : Answer::Open;
    if (answers_.empty()) {
        rec.Scripted = false;
        dialogs_.push_back(rec);
        return false;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    if (a.kind != wanted) {
        rec.Scripted = a.kind == Answer::Cancel;
        dialogs_.push_back(rec);
        return false;
    }
    std::string chosen = a.path.empty() ? request.FileName : a.path;
    if (request.Kind == TDialogKind::Save && !request.DefaultExt.empty() && !HasExtension(chosen))
        chosen += "." + request.DefaultExt;
    // A real dialog answers with a full path: a name is taken in the folder
    // it shows. Names pass as they are, byte for byte.
    if (!request.InitialDir.empty() && !chosen.empty() && chosen[0] != '/')
        chosen = request.InitialDir + (request.InitialDir.back() == '/' ? "" : "/") + chosen;
    request.FileName = chosen;
    rec.Accepted = true;
    dialogs_.push_back(rec);
    return true;
}

bool HeadlessHost::RunColorDialog(TColor& color)
{
    DialogRecord rec;
    rec.Kind = TDialogKind::Color;
    rec.Color = color;
    if (answers_.empty()) {
        rec.Scripted = false;
        dialogs_.push_back(rec);
        return false;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    if (a.kind != Answer::Color) {
        rec.Scripted = a.kind == Answer::Cancel;
        dialogs_.push_back(rec);
        return false;
    }
    color = a.color;
    rec.Accepted = true;
    dialogs_.push_back(rec);
    return true;
}

void HeadlessHost::MessageBox(const std::string& caption, const std::string& text)
{
    messages_.push_back({caption, text});
}

// A question takes the next answer only when it is a yes or a no, so that an
// unexpected question leaves the answers of the dialogs alone (and is
// answered no).
bool HeadlessHost::AskYesNo(const std::string& /*caption*/, const std::string& question)
{
    DialogRecord rec;
    rec.Kind = TDialogKind::Question;
    rec.Text = question;
    if (answers_.empty() || (answers_.front().kind != Answer::Yes && answers_.front().kind != Answer::No)) {
        rec.Scripted = false;
        dialogs_.push_back(rec);
        return false;
    }
    rec.Accepted = answers_.front().kind == Answer::Yes;
    answers_.pop_front();
    dialogs_.push_back(rec);
    return rec.Accepted;
}

// ---- The window ----------------------------------------------------------------

void HeadlessHost::FormChanged(TForm*) {}

void HeadlessHost::Invalidate(TForm*, const std::vector<TRect>& rects)
{
    invalidated_.insert(invalidated_.end(), rects.begin(), rects.end());
}

void HeadlessHost::CloseRequested(TForm*)
{
    closeRequested_ = true;
}

bool HeadlessHost::SetPriority(TPriority p)
{
    if (priorityRefused_ && p == TPriority::Normal && priority_ != TPriority::Normal)
        return false;
    priority_ = p;
    return true;
}

bool HeadlessHost::CopyPicture(const TBitmap& picture)
{
    clipboard_.Assign(picture);
    ++clipboardCopies_;
    return true;
}

const TBitmap& HeadlessHost::WindowPicture()
{
    TForm& f = RequireForm();
    if (!closed_)
        f.Repaint();
    return f.WindowPicture();
}

TColor HeadlessHost::WindowPixel(int x, int y)
{
    return WindowPicture().GetPixelColor(x, y);
}

void HeadlessHost::SaveWindow(const std::string& path)
{
    WindowPicture().SaveToFile(path);
}

} // namespace velmia::headless
