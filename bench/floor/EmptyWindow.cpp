// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The floor of the idle measurement (bench/idle.sh): an empty 800 x 600 Qt
// window with a 100 ms timer that does nothing, what any such program costs
// while it waits.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(800, 600);
    window.setWindowTitle("empty window");
    window.show();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [] {});
    timer.start(100);
    return QApplication::exec();
}
