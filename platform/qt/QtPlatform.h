// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The toolkit's platform on Qt 6 Widgets: one window per form, showing the
// form's composed window picture, feeding it keys, mouse and wheel, running
// its timers, and answering dialogs, message boxes, cursor, minimise and
// process priority.
#pragma once

#include "platform/qt/InputMapping.h"
#include "toolkit/Controls.h"
#include "toolkit/Platform.h"

#include <QElapsedTimer>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

class QTimer;

namespace velmia::qt {

class QtPlatform;

// The window of one form. Its client area is the form's 800 x 600 picture,
// drawn at an integer scale without smoothing on HiDPI screens.
class FormWindow : public QWidget {
public:
    FormWindow(QtPlatform* platform, vcl::TForm* form);

    vcl::TForm* Form() const { return form_; }
    // Paint events handled so far, and the region of the last one (tests).
    int PaintCount() const { return paintCount_; }
    const QRegion& LastPaintRegion() const { return lastPaintRegion_; }
    // Set when the window has been closed and the form's OnClose has run.
    bool IsClosed() const { return closed_; }

    // Input entry points, also used by tests to feed events without a display.
    void HandleKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text);
    void HandleMousePress(Qt::MouseButton button, QPoint pos, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                          uint64_t timeMs);
    void HandleMouseRelease(Qt::MouseButton button, QPoint pos);
    void HandleWheel(int angleDeltaY, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QtPlatform* platform_;
    vcl::TForm* form_;
    MouseMapper mouse_;
    WheelAccumulator wheel_;
    int paintCount_ = 0;
    QRegion lastPaintRegion_;
    // On a scaled screen: the window picture in the backing store's format,
    // refreshed where a paint asks for it (scaling from it is a plain blit).
    QImage scaled_;
    bool closed_ = false;
    bool firstFrameReported_ = false;
    bool pressSeen_ = false; // a press event came since the last release
};

class QtPlatform : public vcl::IPlatform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // The window of a form, created on first use.
    FormWindow* WindowOf(vcl::TForm* form);
    // Destroys the window of a form that is going away.
    void DropWindow(vcl::TForm* form) { windows_.erase(form); }
    // Runs `f` (a call into the form) and then brings the window up to date.
    // An exception from the program is reported as the toolkit reports
    // errors (a message box and standard error) and the program goes on.
    void Dispatch(vcl::TForm* form, const std::function<void()>& f);
    // The height the caption bar adds for client positions (25 when captioned).
    static int CaptionOffsetOf(const vcl::TForm& form);
    bool TimerActive(vcl::TTimer* timer) const;
    // A timer that answers TicksUntilChange sleeps that many intervals and
    // then runs the ticks in a row. Before any input or another timer reaches
    // the form, this runs the ticks whose time has passed.
    void CatchUp() { CatchUp(nullptr); }
    // Ticks of the timer run so far, and how many of them woke the process.
    long TicksRun(vcl::TTimer* timer) const;
    long WakeUps(vcl::TTimer* timer) const;

    int ScreenWidth() override;
    int ScreenHeight() override;
    vcl::TPoint CursorPos() override;
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
    void SetCursorVisible(bool visible) override;
    void Minimize() override;
    bool SetPriority(vcl::TPriority p) override;
    bool CopyPicture(const vcl::TBitmap& picture) override;

private:
    struct TimerSlot {
        QTimer* q = nullptr;
        qint64 armedAt = 0;   // ms on clock_: when the current interval started
        int batch = 1;        // ticks the timer sleeps through before it wakes
        bool started = false; // enabled at least once (a rhythm to keep)
        bool on = false;      // enabled, as last told
        long heldIn = -1;     // the event in which it was last disabled
        long ticks = 0;
        long wakeUps = 0;
    };
    QWidget* DialogParent() const;
    qint64 Now() const { return clock_.elapsed(); }
    void TimerFired(vcl::TTimer* timer);
    void CatchUp(vcl::TTimer* except);
    // Runs up to n ticks, each at its own time; the last at the real time
    // when `lastNow` is set (the timer woke for it).
    void RunTicks(vcl::TTimer* timer, int n, bool lastNow);
    // Asks the timer how many ticks it may sleep and arms the system timer.
    void Arm(vcl::TTimer* timer, TimerSlot& slot);
    void ArmAll();

    std::map<vcl::TForm*, std::unique_ptr<FormWindow>> windows_;
    std::map<vcl::TTimer*, TimerSlot> timers_;
    QElapsedTimer clock_;
    double wallAtStart_ = 0;   // the wall clock when clock_ started, in seconds
    bool reportTicks_ = false; // VELMIA_REPORT_TICKS: every tick on standard error
    int dispatchDepth_ = 0;
    long eventSerial_ = 0; // counts the events handed to the form (nested ones count with theirs)
    bool inBatch_ = false;
    qint64 tickTime_ = 0; // the time of the tick that is running in a batch
    bool cursorHidden_ = false;
    bool priorityRefusalReported_ = false;
    int messageDepth_ = 0;
};

// Milliseconds since the process started, from the system's record of it.
double MillisecondsSinceProcessStart();

} // namespace velmia::qt
