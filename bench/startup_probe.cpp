// SPDX-License-Identifier: MIT
// A whole process for hyperfine: `startup_probe chromabox [list] [logo]` runs Chromabox's start-up up
// to the first paint and ends; `startup_probe bare` does the same for a bare 650 x 450 window with
// one label.
#include <QApplication>

#include <cstring>

#include "bench/first_paint.h"
#include "window/app.h"

int main(int argc, char** argv) {
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (bare) {
        bench::bareWindowToFirstPaint();
        return 0;
    }
    chromabox::ProgramState state;
    chromabox::startUp(state, chromabox::Commands{}, argc > 2 ? argv[2] : "Chromabox.ini",
                       argc > 3 ? argv[3] : "Palette Logo.png");
    bench::waitForFirstPaint(state.mainWindow.window());
    chromabox::tearDown(state);
    return 0;
}
