// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>

#include "palette/palette_list.h"
#include "window/main_window.h"

namespace chromabox {

// Everything the program keeps for the whole run, in one place, handed explicitly to whatever
// needs it.
struct ProgramState {
    palette::PaletteList paletteList;   // filled once at start-up, never changed afterwards
    std::int32_t currentIndex = 1;      // the 1-based number of the palette on screen
    std::int32_t quitRequested = 0;     // 1 once Quit was clicked; nothing clears it
    std::optional<QImage> logoPicture;  // absent when the logo could not be loaded
    MainWindow mainWindow;
};

}  // namespace chromabox
