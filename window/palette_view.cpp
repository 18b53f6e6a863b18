// SPDX-License-Identifier: MIT
#include "window/palette_view.h"

#include <QString>

namespace chromabox {
namespace {

QString toQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Shows the current palette in "RGB(" and checks its option button, as every navigation does.
void showCurrentAsRgb(ProgramState& state) {
    showPalette(state.mainWindow, state.paletteList, state.currentIndex, palette::DisplayFormat::FormatRgb);
    state.mainWindow.setChecked(Control::OptionRgb, true);
}

}  // namespace

const palette::PaletteEntry* selectPalette(const palette::PaletteList& list, std::int32_t index) {
    const std::int32_t count = palette::paletteCount(list);
    if (index <= 0 || count == 0) return nullptr;
    return &list[static_cast<std::size_t>(std::min(index, count) - 1)];
}

void showPalette(MainWindow& window, const palette::PaletteList& list, std::int32_t index,
                 palette::DisplayFormat format) {
    const palette::PaletteEntry* entry = selectPalette(list, index);
    if (!entry) return;
    window.setText(Control::PaletteNameLabel, toQString(entry->name));
    const auto codes = palette::splitHexCodes(entry->hexString);
    for (int k = 0; k < 5; ++k) {
        window.setBackground(swatch(k), colourFromValue(palette::hexCodeToColour(codes[static_cast<std::size_t>(k)])));
    }
    for (int k = 0; k < 5; ++k) {
        const QString text = toQString(palette::codeText(codes[static_cast<std::size_t>(k)], format));
        window.setText(codeBox(k), text);
        // A screen reader tells a swatch's colour by the code its box shows.
        window.setAccessibleDescription(swatch(k), text);
    }
}

void goFirst(ProgramState& state) {
    if (state.paletteList.empty()) return;
    state.currentIndex = 1;
    showCurrentAsRgb(state);
}

void goPrevious(ProgramState& state) {
    if (state.paletteList.empty()) return;
    if (state.currentIndex != 1) state.currentIndex -= 1;
    showCurrentAsRgb(state);
}

void goNext(ProgramState& state) {
    if (state.paletteList.empty()) return;
    if (state.currentIndex != palette::paletteCount(state.paletteList)) state.currentIndex += 1;
    showCurrentAsRgb(state);
}

void goLast(ProgramState& state) {
    if (state.paletteList.empty()) return;
    state.currentIndex = palette::paletteCount(state.paletteList);
    showCurrentAsRgb(state);
}

void showInFormat(ProgramState& state, palette::DisplayFormat format) {
    showPalette(state.mainWindow, state.paletteList, state.currentIndex, format);
}

}  // namespace chromabox
