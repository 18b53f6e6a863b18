// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <utility>
#include <vector>

#include "window/main_window.h"

namespace chromabox::testing {

// Records every control event the window reports.
struct EventLog {
    std::vector<std::pair<Control, ControlEventType>> events;
    void attach(MainWindow& window) {
        window.onControlEvent = [this](Control c, ControlEventType t) { events.emplace_back(c, t); };
    }
    bool contains(Control c, ControlEventType t) const {
        for (const auto& e : events)
            if (e.first == c && e.second == t) return true;
        return false;
    }
};

// Makes the window the active one and waits until the platform agrees.
inline bool activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// Presses a key where the keyboard focus is, or on the window when no widget has it.
inline void pressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
}

}  // namespace chromabox::testing
