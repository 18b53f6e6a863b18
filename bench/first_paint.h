// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QWidget>

namespace bench {

// Processes events until `window` has been painted once (a paint event handled), as a person
// would first see it.
inline void waitForFirstPaint(QWidget* window) {
    struct Watcher : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted = true;
            return false;
        }
    } watcher;
    window->installEventFilter(&watcher);
    QElapsedTimer timer;
    timer.start();
    while (!watcher.painted && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    window->removeEventFilter(&watcher);
}

}  // namespace bench
