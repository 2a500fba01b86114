// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The floors of the idle measurement (bench/idle.sh).
//   velmia_empty_window
//     an empty 800 x 600 Qt window with a 100 ms timer that does nothing, what
//     any such program costs while it waits;
//   velmia_empty_window --paint WIDTH HEIGHT PER_SECOND
//     a window that wakes only to show a change of WIDTH x HEIGHT pixels,
//     PER_SECOND times a second, painted as the program paints (24-bit rows
//     converted by Qt into the backing store, 64 rows at a time): what showing that much change
//     costs through Qt, before any work of the program's own.
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

class PaintingWindow : public QWidget {
public:
    PaintingWindow(int width, int height) : area_(0, 300, width, height)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        for (int k = 0; k < 2; ++k) {
            pictures_[k] = QImage(800, 600, QImage::Format_BGR888);
            pictures_[k].fill(k ? QColor(250, 220, 230) : QColor(120, 160, 210));
        }
    }

    void Change()
    {
        shown_ ^= 1;
        update(area_);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        // In bands of 64 rows, as the program paints: Qt would hand a taller
        // area's conversion to its worker threads.
        QPainter painter(this);
        for (const QRect& r : e->region())
            for (int top = r.top(); top <= r.bottom(); top += 64) {
                const QRect band(r.left(), top, r.width(), std::min(64, r.bottom() + 1 - top));
                painter.drawImage(band, pictures_[shown_], band);
            }
    }

private:
    QRect area_;
    QImage pictures_[2];
    int shown_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    if (argc == 5 && std::strcmp(argv[1], "--paint") == 0) {
        static PaintingWindow window(std::atoi(argv[2]), std::atoi(argv[3]));
        window.setFixedSize(800, 600);
        window.setWindowTitle("painting window");
        window.show();
        const double perSecond = std::atof(argv[4]);
        QObject::connect(&timer, &QTimer::timeout, [] { window.Change(); });
        timer.start(perSecond > 0 ? int(1000.0 / perSecond) : 1000);
        return QApplication::exec();
    }
    QWidget window;
    window.setFixedSize(800, 600);
    window.setWindowTitle("empty window");
    window.show();
    QObject::connect(&timer, &QTimer::timeout, [] {});
    timer.start(100);
    return QApplication::exec();
}
