// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The Qt window on the offscreen platform: placement reflected in the
// window, repainting only what changed, the order of mouse events as the
// form sees them, timers, and the file dialog's names and folders.
#include "platform/qt/Placement.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

using namespace velmia::qt;
using namespace vcl;

namespace {

class QtWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPlatform(&platform);
        NewForm();
    }
    void NewForm()
    {
        if (form)
            platform.DropWindow(form.get());
        form = std::make_unique<TForm>();
        canvas = form->NewImage("canvas", 0, 0, 800, 600);
        canvas->SetEnabled(false);
        canvas->GetCanvas()->Brush.Color = clWhite;
        canvas->GetCanvas()->FillRect(Rect(0, 0, 800, 600));
        canvas->SetVisible(true);
        window = platform.WindowOf(form.get());
    }
    void TearDown() override
    {
        platform.DropWindow(form.get());
        form.reset();
        SetPlatform(nullptr);
    }
    void Show(int screenW = 1024, int screenH = 768)
    {
        ApplyPlacement(*form, PlaceMainWindow(screenW, screenH));
        form->SetVisible(true);
        form->Repaint();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        Settle();
    }
    static void Settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    void Log(const std::string& s) { events.push_back(s); }
    void BindLogging()
    {
        form->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            Log(std::string("down ") +
                (b == TMouseButton::mbLeft    ? "L"
                 : b == TMouseButton::mbRight ? "R"
                                              : "M") +
                (s & ssDouble ? " double" : "") + " " + std::to_string(x) + "," + std::to_string(y));
        };
        form->OnClick = [this](TObject*) { Log("click"); };
        form->OnDblClick = [this](TObject*) { Log("dblclick"); };
        form->OnMouseWheelUp = [this](TObject*, TShiftState, TPoint, bool&) { Log("wheel up"); };
        form->OnMouseWheelDown = [this](TObject*, TShiftState, TPoint, bool&) { Log("wheel down"); };
    }

    QtPlatform platform;
    std::unique_ptr<TForm> form;
    TImage* canvas = nullptr;
    FormWindow* window = nullptr;
    std::vector<std::string> events;
};

} // namespace

TEST_F(QtWindow, BorderlessOnLowScreensCaptionedAndFixedOtherwise)
{
    struct Case {
        int w, h;
        bool frameless;
        QString title;
        QPoint pos;
    } cases[] = {
        {800, 600, true, "", {0, 0}},
        {800, 601, false, "VelmiaAlive", {0, -9}},
        {799, 600, true, "", {0, 0}},
        {1024, 768, false, "VelmiaAlive", {112, 74}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        NewForm();
        Show(c.w, c.h);
        EXPECT_EQ(window->windowFlags().testFlag(Qt::FramelessWindowHint), c.frameless);
        if (!c.frameless) {
            EXPECT_EQ(window->windowTitle(), c.title);
        }
        EXPECT_EQ(window->pos(), c.pos);
        // Client area exactly 800 x 600 and not resizable.
        EXPECT_EQ(window->size(), QSize(800, 600));
        EXPECT_EQ(window->minimumSize(), QSize(800, 600));
        EXPECT_EQ(window->maximumSize(), QSize(800, 600));
        EXPECT_TRUE(window->isVisible());
    }
}

TEST_F(QtWindow, RepaintsOnlyTheChangedRectangles)
{
    Show();
    const int before = window->PaintCount();
    // Nothing changed: no paint at all.
    form->Repaint();
    Settle();
    EXPECT_EQ(window->PaintCount(), before);

    // A small change repaints that rectangle only.
    canvas->GetCanvas()->Brush.Color = RGB(255, 0, 0);
    canvas->GetCanvas()->FillRect(Rect(100, 50, 110, 70));
    form->Repaint();
    Settle();
    ASSERT_EQ(window->PaintCount(), before + 1);
    EXPECT_EQ(window->LastPaintRegion().boundingRect(), QRect(100, 50, 10, 20));

    // Writing the same pixels again changes nothing on screen.
    canvas->GetCanvas()->FillRect(Rect(100, 50, 110, 70));
    form->Repaint();
    Settle();
    EXPECT_EQ(window->PaintCount(), before + 1);

    // And the window shows the new pixels.
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(105, 60), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(99, 60), QColor(255, 255, 255));
}

TEST_F(QtWindow, MouseEventsReachTheFormInWindowsOrder)
{
    BindLogging();
    Show();
    const QPointF p(30, 40);
    auto send = [&](QEvent::Type type, Qt::MouseButton b, ulong t) {
        QMouseEvent e(type, p, window->mapToGlobal(p), b, type == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                      Qt::NoModifier);
        e.setTimestamp(t);
        QApplication::sendEvent(window, &e);
    };
    // Qt reports the second press of a double-click either as a press and a
    // double-click event, or as the double-click event alone (xcb).
    for (bool pressToo : {true, false}) {
        SCOPED_TRACE(pressToo);
        events.clear();
        const ulong t0 = pressToo ? 1000 : 3000;
        send(QEvent::MouseButtonPress, Qt::LeftButton, t0);
        send(QEvent::MouseButtonRelease, Qt::LeftButton, t0 + 40);
        if (pressToo)
            send(QEvent::MouseButtonPress, Qt::LeftButton, t0 + 100);
        send(QEvent::MouseButtonDblClick, Qt::LeftButton, t0 + 100);
        send(QEvent::MouseButtonRelease, Qt::LeftButton, t0 + 140);
        EXPECT_EQ(events, (std::vector<std::string>{"down L 30,40", "click", "dblclick", "down L double 30,40"}));
    }
    events.clear();
    send(QEvent::MouseButtonPress, Qt::RightButton, 5000);
    send(QEvent::MouseButtonRelease, Qt::RightButton, 5010);
    send(QEvent::MouseButtonPress, Qt::MiddleButton, 6000);
    EXPECT_EQ(events, (std::vector<std::string>{"down R 30,40", "down M 30,40"}));

    events.clear();
    for (int delta : {120, 120, -240, 60, 60}) {
        QWheelEvent w(p, window->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(window, &w);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"wheel up", "wheel up", "wheel down", "wheel down", "wheel up"}));
}

TEST_F(QtWindow, KeysReachTheFormAsKeyDownThenKeyPress)
{
    Show();
    form->OnKeyDown = [this](TObject*, uint16_t& k, TShiftState) { Log("down " + std::to_string(k)); };
    form->OnKeyPress = [this](TObject*, char& c) { Log("press " + std::to_string(int(c))); };
    QTest::keyClick(window, Qt::Key_F3);
    QTest::keyClick(window, Qt::Key_Escape);
    QTest::keyClick(window, Qt::Key_Tab); // not taken for focus moves
    QTest::keyClick(window, Qt::Key_Shift);
    QTest::keyClick(window, Qt::Key_AsciiTilde, Qt::ShiftModifier);
    EXPECT_EQ(events, (std::vector<std::string>{"down 114", "down 27", "press 27", "down 9", "press 9", "down 192",
                                                "press 126"}));
}

TEST_F(QtWindow, TimersFireOnlyWhileEnabled)
{
    Show();
    TTimer on("on", 10), off("off", 10);
    int onCount = 0, offCount = 0;
    on.OnTimer = [&](TObject*) { ++onCount; };
    off.OnTimer = [&](TObject*) { ++offCount; };
    on.SetEnabled(true);
    off.SetEnabled(true);
    off.SetEnabled(false);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 120)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(onCount, 3);
    EXPECT_EQ(offCount, 0);
    EXPECT_TRUE(platform.TimerActive(&on));
    EXPECT_FALSE(platform.TimerActive(&off));
}

// Held every 15 ms, as a handler holds Timer1 while keys repeat: the plain
// timer never gets to tick, the one that keeps its rhythm ticks about every
// 50 ms all the same (a loaded machine may make it late, never silent).
TEST_F(QtWindow, AHeldTimerThatKeepsItsRhythmGoesOnTicking)
{
    Show();
    TTimer plain("plain", 50), steady("steady", 50);
    steady.KeepsRhythm = true;
    int plainCount = 0, steadyCount = 0;
    plain.OnTimer = [&](TObject*) { ++plainCount; };
    steady.OnTimer = [&](TObject*) { ++steadyCount; };
    plain.SetEnabled(true);
    steady.SetEnabled(true);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 600) {
        QElapsedTimer slice;
        slice.start();
        while (slice.elapsed() < 15)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        for (TTimer* t : {&plain, &steady}) {
            t->SetEnabled(false);
            t->SetEnabled(true);
        }
    }
    EXPECT_EQ(plainCount, 0);
    EXPECT_GE(steadyCount, 6);
}

TEST_F(QtWindow, CloseRunsOnCloseOnce)
{
    Show();
    int closes = 0;
    form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    form->Close();
    EXPECT_EQ(closes, 0); // after the current handler, not inside it
    Settle();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(window->IsClosed());
    window->close();
    EXPECT_EQ(closes, 1);
}

TEST_F(QtWindow, ErrorsInHandlersAreReportedAndTheProgramGoesOn)
{
    Show();
    // A message box would wait for a person; answer it from a timer.
    QTimer::singleShot(200, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    form->OnKeyPress = [](TObject*, char&) { throw std::runtime_error("broken handler"); };
    QTest::keyClick(window, Qt::Key_A);
    form->OnKeyPress = [this](TObject*, char&) { Log("still here"); };
    QTest::keyClick(window, Qt::Key_A);
    EXPECT_EQ(events, (std::vector<std::string>{"still here"}));
}

TEST_F(QtWindow, ScreenCursorHiddenAndRestored)
{
    Show();
    Screen->SetCursor(-1);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    Screen->SetCursor(-1); // hiding twice needs one restore only
    Screen->SetCursor(0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The file dialog answers with the bytes of the name it was given, whatever
// they are, in the folder it was asked to open; without one, in the current
// folder, or the home folder when the current one was removed: never at the
// top of the file system. Each dialog is accepted as it opens.
TEST(QtFileDialog, NamesComeBackAsTheirBytesInTheFolderShown)
{
    QtPlatform platform;
    SetPlatform(&platform);
    QTemporaryDir work;
    QTemporaryDir home;
    ASSERT_TRUE(work.isValid() && home.isValid());
    const std::string folder = work.path().toStdString();
    const struct Row {
        std::string name;
        bool removedFolder; // run in a removed folder, the dialog given none
        std::string expected;
    } rows[] = {
        {"vlm_co\xff\xfe.bmp", false, folder + "/vlm_co\xff\xfe.bmp"},
        {"vlm_co\xc3.bmp", false, folder + "/vlm_co\xc3.bmp"},                 // a character cut short
        {"vlm_co\xed\xb3\xbf.bmp", false, folder + "/vlm_co\xed\xb3\xbf.bmp"}, // an encoded surrogate
        {"vlm_co\xc3\xa9\xf0\x9f\x8e\x80.bmp", false, folder + "/vlm_co\xc3\xa9\xf0\x9f\x8e\x80.bmp"},
        {"vlm_co\xfe", false, folder + "/vlm_co\xfe.bmp"},
        {"vlm_co", true, home.path().toStdString() + "/vlm_co.bmp"},
    };
    const QByteArray oldHome = qgetenv("HOME");
    const QString oldFolder = QDir::currentPath();
    qputenv("HOME", home.path().toLocal8Bit());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QString gone;
        if (r.removedFolder) {
            gone = work.path() + "/gone";
            ASSERT_TRUE(QDir().mkdir(gone));
            ASSERT_TRUE(QDir::setCurrent(gone));
            ASSERT_TRUE(QDir().rmdir(gone));
        }
        TFileDialogRequest request;
        request.Kind = TDialogKind::Save;
        request.Filter = "costume files|vlm_co.bmp;vlm_co?.bmp;vlm_co??.bmp";
        request.FileName = r.name;
        request.DefaultExt = "bmp";
        request.InitialDir = r.removedFolder ? "" : folder;
        QTimer accept;
        QObject::connect(&accept, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                QMetaObject::invokeMethod(dialog, "accept");
        });
        accept.start(20);
        const bool accepted = platform.RunFileDialog(request);
        accept.stop();
        QDir::setCurrent(oldFolder);
        EXPECT_TRUE(accepted);
        EXPECT_EQ(request.FileName, r.expected);
    }
    qputenv("HOME", oldHome);
    SetPlatform(nullptr);
}
