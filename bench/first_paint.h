// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
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

// What Chromabox's start-up is measured against: a bare 650 x 450 window holding one text label,
// shown and painted once.
inline void bareWindowToFirstPaint() {
    QWidget window;
    window.resize(650, 450);
    QLabel label(QStringLiteral("Chromabox"), &window);
    label.move(10, 10);
    window.show();
    waitForFirstPaint(&window);
}

}  // namespace bench
