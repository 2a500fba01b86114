// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/QtPlatform.h"

#include "platform/qt/FileFilter.h"
#include "platform/qt/PaintAreas.h"
#include "toolkit/Intl.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <QStyleHints>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace velmia::qt {

using namespace vcl;

namespace {

void ReportException(const char* what)
{
    if (Application) {
        Application->ShowNotice(what);
    } else {
        std::cerr << "velmia: " << what << "\n";
    }
}

// Runs program code from a Qt event: nothing it throws may cross into Qt, so
// whatever it throws is reported and the event loop goes on.
template <typename F> void Guarded(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        ReportException(e.what());
    } catch (...) {
        ReportException("unknown error");
    }
}

// Qt's raster engine spreads an area of 96 device rows or more over its
// thread pool.
constexpr int kPaintBandRows = 64;

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

// A timer sleeps through a minute of ticks at most.
constexpr int kLongestBatch = 600;

// How many ticks the timer may sleep through before one can change anything.
int BatchOf(TTimer* timer)
{
    return timer->TicksUntilChange ? std::clamp(timer->TicksUntilChange(), 1, kLongestBatch) : 1;
}

} // namespace

double MillisecondsSinceProcessStart()
{
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces: fields are counted after its ')'.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    unsigned long long startTicks = 0;
    // Field 3 is the state; the start time is field 22.
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22)
            startTicks = std::strtoull(field.c_str(), nullptr, 10);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    return nowMs - double(startTicks) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// ---- FormWindow ----------------------------------------------------------------

FormWindow::FormWindow(QtPlatform* platform, TForm* form)
    : QWidget(nullptr, Qt::Window), platform_(platform), form_(form),
      mouse_(QApplication::doubleClickInterval(), QGuiApplication::styleHints()->mouseDoubleClickDistance())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setFixedSize(form->GetClientWidth(), form->GetClientHeight());
}

bool FormWindow::event(QEvent* e)
{
    // Tab and Backtab would move the focus; the form wants them as keys.
    if (e->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QWidget::event(e);
}

void FormWindow::paintEvent(QPaintEvent* e)
{
    ++paintCount_;
    lastPaintRegion_ = e->region();
    const TBitmap& pic = form_->WindowPicture();
    QPainter painter(this);
    if (pic.Empty() || pic.GetPixelFormat() != pf24bit) {
        painter.fillRect(e->rect(), Qt::white);
        return;
    }
    // The window picture as it is: 24-bit rows of blue, green, red, which
    // Qt converts straight into the backing store (no copy of our own).
    const QImage shown(pic.ScanLineRO(0), pic.GetWidth(), pic.GetHeight(), qsizetype(pic.RowBytes()),
                       QImage::Format_BGR888);
    // Whole device pixels per client pixel, no smoothing: crisp on HiDPI.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const QRect& r : e->region()) {
        if (!shown.rect().contains(r))
            painter.fillRect(r, Qt::white); // beyond the picture: never left undefined
        const QRect inside = r.intersected(shown.rect());
        if (inside.isEmpty())
            continue;
        // Qt hands the conversion of an area of many device rows to its
        // worker threads; bands of a few rows are converted here, which costs
        // less than waking them (the idle window paints a few times a second).
        const int bandRows = std::max(1, int(kPaintBandRows / std::ceil(devicePixelRatioF())));
        auto drawInBands = [&](const QImage& from) {
            for (int top = inside.top(); top <= inside.bottom(); top += bandRows) {
                const QRect band(inside.left(), top, inside.width(), std::min(bandRows, inside.bottom() + 1 - top));
                painter.drawImage(band, from, band);
            }
        };
        if (devicePixelRatioF() == 1.0) {
            scaled_ = QImage();
            drawInBands(shown);
            continue;
        }
        // Scaled drawing is fast only from the backing store's own format:
        // keep a 32-bit copy of the picture, refreshed where painted.
        if (scaled_.size() != shown.size())
            scaled_ = QImage(shown.size(), QImage::Format_RGB32);
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            const uint8_t* from = pic.ScanLineRO(y) + 3 * inside.left();
            QRgb* to = reinterpret_cast<QRgb*>(scaled_.scanLine(y)) + inside.left();
            for (int x = 0; x < inside.width(); ++x, from += 3)
                to[x] = qRgb(from[2], from[1], from[0]);
        }
        drawInBands(scaled_);
    }
    if (!firstFrameReported_) {
        firstFrameReported_ = true;
        if (std::getenv("VELMIA_REPORT_FIRST_FRAME")) {
            timespec wall{};
            clock_gettime(CLOCK_REALTIME, &wall);
            std::fprintf(stderr, "velmia: first frame painted %.1f ms after process start (wall clock %lld.%06ld)\n",
                         MillisecondsSinceProcessStart(), (long long)wall.tv_sec, long(wall.tv_nsec / 1000));
        }
    }
}

void FormWindow::HandleKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    const std::optional<KeyDelivery> d = MapKey(key, modifiers, text);
    if (!d)
        return;
    const TShiftState shift = ShiftStateOf(modifiers);
    platform_->CatchUp();
    platform_->Dispatch(form_, [&] {
        form_->DoKeyDown(d->Vk, shift);
        if (d->Char && !closed_)
            form_->DoKeyPress(*d->Char);
    });
}

void FormWindow::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    HandleKeyPress(e->key(), e->modifiers(), e->text());
}

void FormWindow::HandleMousePress(Qt::MouseButton button, QPoint pos, Qt::KeyboardModifiers modifiers,
                                  Qt::MouseButtons buttons, uint64_t timeMs)
{
    const std::vector<MouseAction> actions = mouse_.Press(button, pos.x(), pos.y(), timeMs);
    const TShiftState shift = ShiftStateOf(modifiers, buttons);
    platform_->CatchUp();
    platform_->Dispatch(form_, [&] {
        for (const MouseAction& a : actions) {
            if (closed_)
                break;
            if (a.kind == MouseAction::DblClick)
                form_->DoDblClick(pos.x(), pos.y());
            else
                form_->DoMouseDown(a.button, TShiftState(shift | (a.isDouble ? ssDouble : 0)), pos.x(), pos.y());
        }
    });
}

void FormWindow::HandleMouseRelease(Qt::MouseButton button, QPoint pos)
{
    const bool inside = rect().contains(pos);
    const std::vector<MouseAction> actions = mouse_.Release(button, inside);
    if (actions.empty())
        return;
    platform_->CatchUp();
    platform_->Dispatch(form_, [&] { form_->DoClick(pos.x(), pos.y()); });
}

void FormWindow::HandleWheel(int angleDeltaY, Qt::KeyboardModifiers modifiers)
{
    const int notches = wheel_.Add(angleDeltaY);
    const TShiftState shift = ShiftStateOf(modifiers);
    if (notches != 0)
        platform_->CatchUp();
    for (int i = 0; i < std::abs(notches) && !closed_; ++i) {
        platform_->Dispatch(form_, [&] {
            TPoint p{};
            GetCursorPos(&p);
            form_->DoMouseWheel(notches > 0, shift, p);
        });
    }
}

void FormWindow::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    pressSeen_ = true;
    HandleMousePress(e->button(), e->position().toPoint(), e->modifiers(), e->buttons(), e->timestamp());
}

void FormWindow::mouseDoubleClickEvent(QMouseEvent* e)
{
    // Double-clicks are recognised from the presses themselves (MouseMapper).
    // Depending on the platform plug-in, Qt reports the second press as a
    // press followed by this event, or as this event alone: only in the
    // second case is it the press.
    e->accept();
    if (pressSeen_)
        return;
    pressSeen_ = true;
    HandleMousePress(e->button(), e->position().toPoint(), e->modifiers(), e->buttons(), e->timestamp());
}

void FormWindow::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    pressSeen_ = false;
    HandleMouseRelease(e->button(), e->position().toPoint());
}

void FormWindow::wheelEvent(QWheelEvent* e)
{
    e->accept();
    HandleWheel(e->angleDelta().y(), e->modifiers());
}

void FormWindow::closeEvent(QCloseEvent* e)
{
    if (!closed_) {
        platform_->CatchUp();
        closed_ = true;
        Guarded([this] { form_->DoClose(); });
    }
    e->accept();
}

// ---- QtPlatform ----------------------------------------------------------------

QtPlatform::QtPlatform()
{
    clock_.start();
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    wallAtStart_ = double(wall.tv_sec) + double(wall.tv_nsec) / 1e9;
    reportTicks_ = std::getenv("VELMIA_REPORT_TICKS") != nullptr;
}

QtPlatform::~QtPlatform()
{
    if (cursorHidden_)
        QGuiApplication::restoreOverrideCursor();
    for (auto& [t, slot] : timers_)
        delete slot.q;
}

FormWindow* QtPlatform::WindowOf(TForm* form)
{
    auto it = windows_.find(form);
    if (it == windows_.end())
        it = windows_.emplace(form, std::make_unique<FormWindow>(this, form)).first;
    return it->second.get();
}

void QtPlatform::Dispatch(TForm* form, const std::function<void()>& f)
{
    if (dispatchDepth_ == 0)
        ++eventSerial_;
    ++dispatchDepth_;
    Guarded(f);
    if (!WindowOf(form)->IsClosed())
        Guarded([form] { form->Repaint(); });
    --dispatchDepth_;
    // The event may have changed how long the timers can sleep.
    if (dispatchDepth_ == 0 && !inBatch_)
        ArmAll();
}

int QtPlatform::CaptionOffsetOf(const TForm& form)
{
    return form.GetBorderStyle() == TBorderStyle::bsNone ? 0 : 25;
}

int QtPlatform::ScreenWidth()
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 800;
}

int QtPlatform::ScreenHeight()
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 600;
}

TPoint QtPlatform::CursorPos()
{
    const QPoint global = QCursor::pos();
    if (windows_.empty())
        return TPoint{global.x(), global.y()};
    // The program turns a screen position into a client position by taking
    // away the form's Left, and its Top plus the caption offset. Answer with
    // the position that makes that sum come out at the true client position,
    // whatever frame the window manager actually drew.
    auto& [form, window] = *windows_.begin();
    const QPoint client = window->mapFromGlobal(global);
    return TPoint{client.x() + form->GetLeft(), client.y() + form->GetTop() + CaptionOffsetOf(*form)};
}

int16_t QtPlatform::KeyState(int vk)
{
    const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
    bool down = false;
    switch (vk) {
    case VK_SHIFT:
        down = m.testFlag(Qt::ShiftModifier);
        break;
    case VK_CONTROL:
        down = m.testFlag(Qt::ControlModifier);
        break;
    case VK_MENU:
        down = m.testFlag(Qt::AltModifier);
        break;
    default:
        break;
    }
    return down ? int16_t(-128) : int16_t(0);
}

// Enabling a timer starts its interval; a tick run in a batch enables it at
// the tick's own time, so that the ticks keep the phase the plain timer has.
// A timer that keeps its rhythm keeps the start of its interval while a
// handler holds it, and owes at most one tick when it is enabled again in
// the same event.
void QtPlatform::TimerChanged(TTimer* timer)
{
    TimerSlot& slot = timers_[timer];
    if (!slot.q) {
        slot.q = new QTimer();
        slot.q->setTimerType(Qt::PreciseTimer);
        slot.q->setSingleShot(true);
        QObject::connect(slot.q, &QTimer::timeout, [this, timer] { TimerFired(timer); });
    }
    const qint64 now = inBatch_ ? tickTime_ : Now();
    const qint64 interval = qint64(timer->GetInterval());
    // An interval of 0 never fires, as before.
    const bool running = timer->GetEnabled() && interval > 0;
    const bool heldInThisEvent = slot.on || slot.heldIn == eventSerial_;
    if (!timer->KeepsRhythm || !slot.started || (running && !heldInThisEvent))
        slot.armedAt = now;
    else if (running)
        slot.armedAt = std::max(slot.armedAt, now - interval);
    if (slot.on && !running)
        slot.heldIn = eventSerial_;
    slot.on = running;
    slot.started = slot.started || running;
    slot.batch = 1;
    if (!running) {
        slot.q->stop();
        return;
    }
    if (inBatch_)
        return; // armed when the batch is over
    // Inside a handler the state may change further: the next tick's time
    // until the event is over, when the timer is asked how long it may sleep.
    if (dispatchDepth_ > 0)
        slot.q->start(int(std::max<qint64>(0, slot.armedAt + interval - now)));
    else
        Arm(timer, slot);
}

void QtPlatform::Arm(TTimer* timer, TimerSlot& slot)
{
    if (!timer->GetEnabled() || timer->GetInterval() == 0) {
        slot.q->stop();
        return;
    }
    slot.batch = BatchOf(timer);
    const qint64 due = slot.armedAt + qint64(slot.batch) * qint64(timer->GetInterval());
    slot.q->start(int(std::max<qint64>(0, due - Now())));
}

void QtPlatform::ArmAll()
{
    for (auto& [timer, slot] : timers_)
        Arm(timer, slot);
}

void QtPlatform::TimerFired(TTimer* timer)
{
    if (!timer->GetEnabled() || windows_.empty() || windows_.begin()->second->IsClosed())
        return;
    // Other timers' ticks that are due come first.
    CatchUp(timer);
    auto it = timers_.find(timer);
    if (it == timers_.end() || !timer->GetEnabled())
        return;
    const int batch = it->second.batch;
    ++it->second.wakeUps;
    RunTicks(timer, batch, true);
    if (dispatchDepth_ == 0)
        ArmAll();
    else if ((it = timers_.find(timer)) != timers_.end())
        Arm(timer, it->second); // fired inside a modal loop: keep going
}

void QtPlatform::RunTicks(TTimer* timer, int n, bool lastNow)
{
    const bool outer = !inBatch_;
    inBatch_ = true;
    for (int i = 0; i < n; ++i) {
        auto it = timers_.find(timer);
        if (it == timers_.end() || !timer->GetEnabled() || windows_.empty() || windows_.begin()->second->IsClosed())
            break;
        TimerSlot& slot = it->second;
        tickTime_ = lastNow && i == n - 1 ? Now() : slot.armedAt + qint64(timer->GetInterval());
        slot.armedAt = tickTime_;
        ++slot.ticks;
        // For the tests of the real window: each tick with its own time on
        // the wall clock, as `date +%s.%N` gives it.
        if (reportTicks_)
            std::fprintf(stderr, "velmia: %s tick at %.6f\n", timer->GetName().c_str(),
                         wallAtStart_ + double(tickTime_) / 1000.0);
        Dispatch(windows_.begin()->first, [timer] { timer->Fire(); });
    }
    inBatch_ = !outer;
}

void QtPlatform::CatchUp(TTimer* except)
{
    if (inBatch_ || windows_.empty())
        return;
    std::vector<std::pair<TTimer*, int>> due;
    for (auto& [timer, slot] : timers_) {
        if (timer == except || !timer->TicksUntilChange || !timer->GetEnabled() || timer->GetInterval() == 0)
            continue;
        const int passed = int(std::min<qint64>(slot.batch, (Now() - slot.armedAt) / qint64(timer->GetInterval())));
        if (passed > 0)
            due.push_back({timer, passed});
    }
    for (auto [timer, n] : due)
        RunTicks(timer, n, false);
    if (!due.empty() && dispatchDepth_ == 0)
        ArmAll();
}

long QtPlatform::TicksRun(TTimer* timer) const
{
    auto it = timers_.find(timer);
    return it == timers_.end() ? 0 : it->second.ticks;
}

long QtPlatform::WakeUps(TTimer* timer) const
{
    auto it = timers_.find(timer);
    return it == timers_.end() ? 0 : it->second.wakeUps;
}

void QtPlatform::TimerDestroyed(TTimer* timer)
{
    auto it = timers_.find(timer);
    if (it == timers_.end())
        return;
    it->second.q->stop();
    it->second.q->deleteLater();
    timers_.erase(it);
}

bool QtPlatform::TimerActive(TTimer* timer) const
{
    auto it = timers_.find(timer);
    return it != timers_.end() && it->second.q->isActive();
}

QWidget* QtPlatform::DialogParent() const
{
    return windows_.empty() ? nullptr : windows_.begin()->second.get();
}

bool QtPlatform::RunFileDialog(TFileDialogRequest& request)
{
    QFileDialog dialog(DialogParent());
    const bool save = request.Kind == TDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program saves over existing files without asking.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!request.Title.empty())
        dialog.setWindowTitle(QString::fromStdString(request.Title));
    QStringList filters;
    for (const std::string& f : ConvertFilter(request.Filter))
        filters << QString::fromStdString(f);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.DefaultExt.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
    // Names go in and come out as the bytes they are (FileNameToQt). Without
    // a folder of its own, the dialog opens in the current one, or in the home
    // folder when the current one was removed, never at the file system's top.
    QString dir = FileNameToQt(request.InitialDir);
    if (dir.isEmpty()) {
        dir = QDir::currentPath();
        if (dir.isEmpty() || !QDir(dir).exists())
            dir = QDir::homePath();
    }
    dialog.setDirectory(dir);
    if (!request.FileName.empty())
        dialog.selectFile(FileNameToQt(request.FileName));
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    request.FileName = ApplyDefaultExt(FileNameFromQt(dialog.selectedFiles().front()), request.DefaultExt);
    return true;
}

bool QtPlatform::RunColorDialog(TColor& color)
{
    // Colours are 0x00BBGGRR.
    QColorDialog dialog(QColor(GetRValue(color), GetGValue(color), GetBValue(color)), DialogParent());
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QColor c = dialog.selectedColor();
    color = RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
    return true;
}

void QtPlatform::MessageBox(const std::string& caption, const std::string& text)
{
    // A timer whose handler keeps failing must not pile up boxes: while one
    // is open, further messages only go to standard error.
    if (messageDepth_ > 0) {
        std::cerr << "velmia: " << text << "\n";
        return;
    }
    ++messageDepth_;
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, DialogParent());
    box.exec();
    --messageDepth_;
}

bool QtPlatform::AskYesNo(const std::string& caption, const std::string& question)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(question),
                    QMessageBox::Yes | QMessageBox::No, DialogParent());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPlatform::FormChanged(TForm* form)
{
    FormWindow* w = WindowOf(form);
    if (w->IsClosed())
        return;
    const bool captioned = form->GetBorderStyle() != TBorderStyle::bsNone;
    Qt::WindowFlags flags = Qt::Window;
    if (captioned)
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    else
        flags |= Qt::FramelessWindowHint;
    const bool wasVisible = w->isVisible();
    if (w->windowFlags() != flags) {
        w->setWindowFlags(flags); // hides the window
    }
    w->setWindowTitle(QString::fromStdString(form->GetCaption()));
    // A fixed client size: the captioned window cannot be resized either.
    w->setFixedSize(form->GetClientWidth(), form->GetClientHeight());
    // Left and Top place the outer window, caption bar included.
    w->move(form->GetLeft(), form->GetTop());
    if (form->GetVisible()) {
        if (form->GetWindowState() == TWindowState::wsMinimized)
            w->showMinimized();
        else if (!w->isVisible() || !wasVisible)
            w->show();
    } else if (w->isVisible()) {
        w->hide();
    }
}

void QtPlatform::Invalidate(TForm* form, const std::vector<TRect>& rects)
{
    FormWindow* w = WindowOf(form);
    for (const TRect& r : PaintAreas(rects))
        w->update(ToQRect(r));
}

void QtPlatform::CloseRequested(TForm* form)
{
    FormWindow* w = WindowOf(form);
    // Close after the current handler has returned, as the old message loop did.
    QMetaObject::invokeMethod(
        w, [w] { w->close(); }, Qt::QueuedConnection);
}

void QtPlatform::SetCursorVisible(bool visible)
{
    if (!visible && !cursorHidden_) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        cursorHidden_ = true;
    } else if (visible && cursorHidden_) {
        QGuiApplication::restoreOverrideCursor();
        cursorHidden_ = false;
    }
}

void QtPlatform::Minimize()
{
    for (auto& [form, w] : windows_)
        w->showMinimized();
}

// The clipboard keeps its own copy: the picture goes on changing.
bool QtPlatform::CopyPicture(const TBitmap& picture)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || picture.Empty() || picture.GetPixelFormat() != pf24bit)
        return false;
    const QImage shown(picture.ScanLineRO(0), picture.GetWidth(), picture.GetHeight(), qsizetype(picture.RowBytes()),
                       QImage::Format_BGR888);
    clipboard->setImage(shown.copy());
    return true;
}

bool QtPlatform::SetPriority(TPriority p)
{
    // Nice values are per thread on Linux: set every thread of the process.
    const int nice = p == TPriority::Idle ? 19 : 0;
    bool ok = true;
    int failure = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* ent = readdir(d)) {
            if (ent->d_name[0] == '.')
                continue;
            const int tid = std::atoi(ent->d_name);
            if (setpriority(PRIO_PROCESS, id_t(tid), nice) != 0) {
                ok = false;
                failure = errno;
            }
        }
        closedir(d);
    } else if (setpriority(PRIO_PROCESS, 0, nice) != 0) {
        ok = false;
        failure = errno;
    }
    // Said once: a user who presses Pause again gets the same answer. The
    // system's reason comes in the user's language too (strerror).
    if (!ok && !priorityRefusalReported_) {
        priorityRefusalReported_ = true;
        const char* message =
            p == TPriority::Idle
                ? _("the system refused to set the process priority to idle (%s); running on at the current "
                    "priority")
            : failure == EACCES || failure == EPERM
                ? _("the system refused to set the process priority to normal (%s): an ordinary user may lower a "
                    "process's priority but not raise it again; running on at the current priority")
                : _("the system refused to set the process priority to normal (%s); running on at the current "
                    "priority");
        std::cerr << "velmia: " << vcl::Format(message, std::strerror(failure)) << "\n";
    }
    return ok;
}

} // namespace velmia::qt
