// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A platform with no window: nothing happens on its own. The tests, the
// preview renderer and the random driver run the program on it.
//
// The caller sets the screen size, the modifier keys and the pointer; it fires
// timers itself; it scripts the answers of the dialogs and reads back what was
// opened and which message boxes appeared; it reads the composed window
// picture pixel by pixel. After every event it delivers, the host brings the
// window picture up to date (TForm::Repaint), as the real window does.
//
//     velmia::headless::HeadlessHost host;          // installs itself
//     host.SetScreenSize(1024, 768);
//     auto* form = host.CreateForm<TSvelmia>();     // constructs, runs OnCreate
//     host.TypeChar('g');
//     host.FireTimer("Timer1", 2);
//     EXPECT_EQ(host.WindowPixel(10, 10), vcl::clWhite);
#pragma once

#include "platform/qt/UsKeyboard.h"
#include "toolkit/Controls.h"
#include "toolkit/Platform.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmia::headless {

// One opening of a dialog, as the program asked for it.
struct DialogRecord {
    vcl::TDialogKind Kind = vcl::TDialogKind::Open;
    std::string Filter;     // file dialogs only
    std::string FileName;   // the initial name the program set
    std::string DefaultExt; // file dialogs only
    std::string InitialDir; // file dialogs only: the folder it opens in ("" = the current one)
    vcl::TColor Color = 0;  // colour dialog: the initial colour
    std::string Text;       // question: what it asked
    bool Accepted = false;  // what the scripted answer said
    bool Scripted = true;   // false when no answer was waiting (then cancelled)
};

struct MessageRecord {
    std::string Caption;
    std::string Text;
};

class HeadlessHost : public vcl::IPlatform {
public:
    // Installs this host as the toolkit's platform; the destructor removes it.
    HeadlessHost();
    ~HeadlessHost() override;
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    // ---- The form ------------------------------------------------------------

    // Constructs the form (owned by the host), runs OnCreate and brings the
    // window picture up to date. An exception from construction or OnCreate
    // propagates to the test.
    template <class F, class... Args> F* CreateForm(Args&&... args)
    {
        auto form = std::make_unique<F>(std::forward<Args>(args)...);
        F* raw = form.get();
        AdoptForm(std::move(form));
        RunCreate(true);
        return raw;
    }

    // As the program entry does it: an exception from OnCreate is reported as
    // an error message box (recorded) and StartupFailed() turns true; the form
    // is still returned so that the test can look at what start-up left behind.
    template <class F, class... Args> F* StartForm(Args&&... args)
    {
        auto form = std::make_unique<F>(std::forward<Args>(args)...);
        F* raw = form.get();
        AdoptForm(std::move(form));
        RunCreate(false);
        return raw;
    }

    vcl::TForm* Form() const { return form_.get(); }
    bool StartupFailed() const { return startupFailed_; }
    // True once the form asked to close and OnClose has run.
    bool Closed() const { return closed_; }
    // Closes the window as the user would (OnClose runs).
    void CloseWindow();

    // ---- The machine ---------------------------------------------------------

    // The screen starts 1024 x 768 (a captioned window); no keys down; the
    // pointer at (0, 0).
    void SetScreenSize(int width, int height);
    // Holds or releases a key (VK_SHIFT, VK_CONTROL, ...) for GetKeyState.
    void SetKeyDown(int vk, bool down);
    void SetShift(bool down) { SetKeyDown(vcl::VK_SHIFT, down); }
    void SetCtrl(bool down) { SetKeyDown(vcl::VK_CONTROL, down); }
    // Puts the pointer over client pixel (x, y) of the form, whatever its
    // window style: the screen position is the client position plus the form's
    // Left and Top, plus 25 for the caption bar of a captioned window.
    void SetCursorToClient(int x, int y);
    // Height of the caption bar the host pretends the captioned window has.
    static constexpr int kCaptionHeight = 25;

    // ---- Keyboard ------------------------------------------------------------

    // One key press: OnKeyDown with `vk`, then OnKeyPress with `ch` when the
    // key makes a character (ch != 0).
    void PressKey(uint16_t vk, char ch = 0);
    // Types one character as a person would: its key goes down (with Shift
    // held for shifted characters such as 'A', '~', '_', '(' or '"'), then the
    // character arrives; Shift is released afterwards unless the test held it.
    void TypeChar(char c);
    void TypeText(const std::string& text);

    // ---- Mouse (client coordinates; the pointer is moved there first) -------

    // Left press and release: OnMouseDown, then OnClick.
    void Click(int x, int y);
    // Left double-click: press (OnMouseDown), release (OnClick), second press
    // (OnDblClick, then OnMouseDown), release (nothing).
    void DoubleClick(int x, int y);
    void LeftPress(int x, int y);
    void RightPress(int x, int y);
    void MiddlePress(int x, int y);
    // Wheel notches: up = away from the user.
    void Wheel(bool up, int notches = 1);

    // ---- Timers --------------------------------------------------------------

    // Fires the timer n times (each time only if it is enabled then), bringing
    // the window picture up to date after each. Returns how many fired.
    int FireTimer(vcl::TTimer* timer, int n = 1);
    // By name; throws std::logic_error when no live timer has that name (a
    // timer becomes known to the host when it is first enabled or changed).
    int FireTimer(const std::string& name, int n = 1);
    vcl::TTimer* FindTimer(const std::string& name) const;
    // Advances a simulated clock by `ms`, firing every enabled timer each time
    // its interval elapses (in time order; enabling restarts the interval,
    // unless the timer keeps its rhythm).
    void AdvanceTime(uint64_t ms);
    uint64_t Now() const { return now_; }

    // ---- Ticks in batches (off unless asked for) ----------------------------

    // Runs every timer that answers TicksUntilChange as the real window does:
    // it sleeps the answered number of intervals on the host's clock and then
    // runs those ticks in a row. Every input, CloseWindow and FireTimer of
    // another timer first runs the ticks whose time has come. Such a timer is
    // driven by PassTime only (FireTimer and AdvanceTime of it throw
    // std::logic_error). Other timers fire when the caller says, as before.
    void SetTickBatching(bool on);
    bool TickBatching() const { return batching_; }
    // Moves the clock on by `ms`, running the batches that fall due.
    void PassTime(uint64_t ms);
    // Runs the ticks whose time has come, as an input does first.
    void CatchUp();
    // Batches run by the clock so far: the timer wake-ups of a real window.
    long WakeUps() const { return wakeUps_; }
    // Ticks of a batched timer whose time has come but which have not run
    // yet (it sleeps through them); 0 for other timers.
    int TicksOwed(vcl::TTimer* timer) const;

    // ---- Dialogs and message boxes -------------------------------------------

    // Answers for the next dialogs, used in order. An open or save answer is a
    // path ("" = the user accepted with the initial name); the save dialog adds
    // the default extension when the path has none, and a relative path is
    // taken in the dialog's initial folder when the program gave one. An answer of the wrong kind
    // or no answer at all cancels the dialog and is marked in the record.
    void ScriptOpenDialog(const std::string& path);
    void ScriptSaveDialog(const std::string& path);
    void ScriptColor(vcl::TColor color);
    void ScriptCancel();
    // The answer to the next yes-or-no question (unscripted: no).
    void ScriptAnswer(bool yes);
    size_t PendingAnswers() const { return answers_.size(); }
    // Forgets the answers no dialog has used.
    void DropAnswers() { answers_.clear(); }
    const std::vector<DialogRecord>& Dialogs() const { return dialogs_; }
    const std::vector<MessageRecord>& MessageBoxes() const { return messages_; }
    void ClearRecords();

    // ---- The window ----------------------------------------------------------

    // Colour (0x00BBGGRR) of a pixel of the composed window picture, brought up
    // to date first; -1 outside the client area.
    vcl::TColor WindowPixel(int x, int y);
    const vcl::TBitmap& WindowPicture();
    // Rectangles passed to Invalidate since the last ClearInvalidated, in order.
    const std::vector<vcl::TRect>& Invalidated() const { return invalidated_; }
    void ClearInvalidated() { invalidated_.clear(); }
    // Writes the window picture as a BMP file (for looking at a failure).
    void SaveWindow(const std::string& path);

    bool CursorVisible() const { return cursorVisible_; }
    int MinimizeCount() const { return minimizeCount_; }
    vcl::TPriority Priority() const { return priority_; }
    // Makes SetPriority fail, as a system that refuses raising it again would.
    void SetPriorityRefused(bool v) { priorityRefused_ = v; }
    // The picture last put on the clipboard, and how many were put there.
    const vcl::TBitmap& Clipboard() const { return clipboard_; }
    int ClipboardCopies() const { return clipboardCopies_; }

    // ---- vcl::IPlatform ------------------------------------------------------

    int ScreenWidth() override { return screenWidth_; }
    int ScreenHeight() override { return screenHeight_; }
    vcl::TPoint CursorPos() override { return cursor_; }
    int16_t KeyState(int vk) override;
    void TimerChanged(vcl::TTimer* timer) override;
    void TimerDestroyed(vcl::TTimer* timer) override;
    bool RunFileDialog(vcl::TFileDialogRequest& request) override;
    bool RunColorDialog(vcl::TColor& color) override;
    void MessageBox(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& question) override;
    void FormChanged(vcl::TForm* form) override;
    void Invalidate(vcl::TForm* form, const std::vector<vcl::TRect>& rects) override;
    void CloseRequested(vcl::TForm* form) override;
    void SetCursorVisible(bool visible) override { cursorVisible_ = visible; }
    void Minimize() override { ++minimizeCount_; }
    bool SetPriority(vcl::TPriority p) override;
    bool CopyPicture(const vcl::TBitmap& picture) override;

private:
    struct Answer {
        enum Kind { Open, Save, Color, Cancel, Yes, No } kind;
        std::string path;
        vcl::TColor color = 0;
    };
    struct TimerSlot {
        uint64_t due = 0;
        // Batched timers: when the interval last started (the time of the
        // tick that enabled it), and the ticks of the batch it sleeps through.
        uint64_t armedAt = 0;
        int batch = 1;
        bool started = false; // enabled at least once (a rhythm to keep)
        bool on = false;      // enabled, as last told
        long heldIn = -1;     // the event in which it was last disabled
    };

    void AdoptForm(std::unique_ptr<vcl::TForm> form);
    void RunCreate(bool rethrow);
    vcl::TForm& RequireForm() const;
    // Runs after every delivered event: handles a pending close, repaints.
    void AfterEvent();
    bool Live() const { return form_ && !closed_; }
    bool Batched(const vcl::TTimer* timer) const { return batching_ && timer->TicksUntilChange != nullptr; }
    TimerSlot* SlotOf(vcl::TTimer* timer);
    // Runs up to n ticks of a batched timer, each at its own time.
    void RunTicks(vcl::TTimer* timer, int n);
    // Asks every batched timer again how long it may sleep.
    void Rearm();

    std::unique_ptr<vcl::TForm> form_;
    bool created_ = false;
    bool startupFailed_ = false;
    bool closeRequested_ = false;
    bool closed_ = false;

    int screenWidth_ = 1024;
    int screenHeight_ = 768;
    vcl::TPoint cursor_{};
    std::set<int> keysDown_;

    std::vector<std::pair<vcl::TTimer*, TimerSlot>> timers_;
    uint64_t now_ = 0;
    bool batching_ = false;
    bool inBatch_ = false;
    uint64_t tickTime_ = 0; // the time of the batched tick that is running
    long wakeUps_ = 0;
    long events_ = 0; // events delivered so far (counted when each is over)

    std::deque<Answer> answers_;
    std::vector<DialogRecord> dialogs_;
    std::vector<MessageRecord> messages_;
    std::vector<vcl::TRect> invalidated_;

    bool cursorVisible_ = true;
    int minimizeCount_ = 0;
    vcl::TBitmap clipboard_;
    int clipboardCopies_ = 0;
    vcl::TPriority priority_ = vcl::TPriority::Normal;
    bool priorityRefused_ = false;
};

} // namespace velmia::headless

// The tests name the host and its records without the namespace.
namespace velmia::test {
using namespace headless;
} // namespace velmia::test
