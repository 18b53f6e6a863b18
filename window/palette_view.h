// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "palette/colour_codes.h"
#include "palette/palette_list.h"
#include "window/main_window.h"
#include "window/program_state.h"

namespace chromabox {

// The palette whose fields the display reads: an index above the count selects the last palette,
// one of 0 or below (or an empty list) selects none.
const palette::PaletteEntry* selectPalette(const palette::PaletteList& list, std::int32_t index);

// Shows palette `index` in `format`: its name, its five swatch colours and its five codes. With no
// palette to select, the window keeps what it shows. Does not change currentIndex.
void showPalette(MainWindow& window, const palette::PaletteList& list, std::int32_t index,
                 palette::DisplayFormat format);

// The navigation buttons: each moves currentIndex, shows that palette in the "RGB(" format and
// checks "Display RGB()", even when the index did not move. With no palettes they do nothing.
void goFirst(ProgramState& state);
void goPrevious(ProgramState& state);
void goNext(ProgramState& state);
void goLast(ProgramState& state);

// The option buttons: show the current palette again in another format; currentIndex stays.
void showInFormat(ProgramState& state, palette::DisplayFormat format);

}  // namespace chromabox
