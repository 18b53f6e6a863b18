// SPDX-License-Identifier: MIT
#include "window/palette_view.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "window/program_state.h"

namespace chromabox {
namespace {

using palette::DisplayFormat;
using palette::PaletteList;

PaletteList numberedPalettes(int count) {
    PaletteList list;
    for (int k = 1; k <= count; ++k) {
        const std::string name = "P" + std::to_string(k);
        const std::string codes = std::to_string(100000 + k);  // "100001", one code per palette
        list.push_back({std::u16string(name.begin(), name.end()), std::u16string(codes.begin(), codes.end())});
    }
    return list;
}

class PaletteViewTest : public ::testing::Test {
protected:
    void SetUp() override { state.mainWindow.build(std::nullopt, 0, 0, 650, 450); }
    void load(PaletteList list) { state.paletteList = std::move(list); }
    QString name() const { return state.mainWindow.text(Control::PaletteNameLabel); }
    QString box(int k) const { return state.mainWindow.text(codeBox(k)); }
    QColor swatchColour(int k) const {
        const QWidget* w = state.mainWindow.control(swatch(k));
        return w->palette().color(w->backgroundRole());
    }

    ProgramState state;
};

TEST(SelectPalette, ClampsAboveAndSelectsNothingAtZeroOrBelow) {
    const PaletteList three = numberedPalettes(3);
    struct Row {
        std::int32_t index;
        int expected;  // 0-based entry, -1 for none
    };
    const Row rows[] = {{1, 0}, {2, 1}, {3, 2}, {4, 2}, {2147483647, 2}, {0, -1}, {-1, -1}, {-2147483647 - 1, -1}};
    for (const auto& row : rows) {
        const auto* entry = selectPalette(three, row.index);
        EXPECT_EQ(entry ? static_cast<int>(entry - three.data()) : -1, row.expected) << row.index;
    }
    EXPECT_EQ(selectPalette(PaletteList{}, 1), nullptr);
}

TEST_F(PaletteViewTest, ShowsNameColoursAndCodesInEachFormat) {
    load({{u"Harbour & Co", u"#0B3C5D,#328cc1,D9B310, 1D2731,F4F4F4,999999"}});
    struct Row {
        DisplayFormat format;
        std::array<const char*, 5> texts;
    };
    const Row rows[] = {
        {DisplayFormat::FormatRgb,
         {"RGB(011, 060, 093)", "RGB(050, 140, 193)", "RGB(217, 179, 016)", "RGB(-25, 210, 049)", "RGB(244, 244, 244)"}},
        {DisplayFormat::FormatBgrHex, {"$5D3C0B", "$C18C32", "$10B3D9", "$31D2 1", "$F4F4F4"}},
        {DisplayFormat::FormatHtmlHex, {"#0B3C5D", "#328cc1", "D9B310", " 1D2731", "F4F4F4"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.format));
        showPalette(state.mainWindow, state.paletteList, 1, row.format);
        EXPECT_EQ(name(), "Harbour & Co");
        for (int k = 0; k < 5; ++k) EXPECT_EQ(box(k), row.texts[static_cast<std::size_t>(k)]);
        // The swatches follow the codes whatever the format.
        EXPECT_EQ(swatchColour(0), QColor(0x0B, 0x3C, 0x5D));
        EXPECT_EQ(swatchColour(1), QColor(0x32, 0x8C, 0xC1));
        EXPECT_EQ(swatchColour(4), QColor(0xF4, 0xF4, 0xF4));
    }
    EXPECT_EQ(state.currentIndex, 1);
}

TEST_F(PaletteViewTest, MissingCodesShowBlackAndZeros) {
    load({{u"Two", u"FFAA33,112233"}});
    showPalette(state.mainWindow, state.paletteList, 1, DisplayFormat::FormatRgb);
    EXPECT_EQ(swatchColour(0), QColor(0xFF, 0xAA, 0x33));
    EXPECT_EQ(swatchColour(1), QColor(0x11, 0x22, 0x33));
    for (int k = 2; k < 5; ++k) {
        EXPECT_EQ(swatchColour(k), QColor(Qt::black));
        EXPECT_EQ(box(k), "RGB(000, 000, 000)");
    }
    showPalette(state.mainWindow, state.paletteList, 1, DisplayFormat::FormatBgrHex);
    EXPECT_EQ(box(4), "$");
    showPalette(state.mainWindow, state.paletteList, 1, DisplayFormat::FormatHtmlHex);
    EXPECT_EQ(box(4), "");
}

TEST_F(PaletteViewTest, MinusOneShowsTheDefaultFace) {
    load({{u"Odd", u"00FF00FFFFFF,FFAA33"}});  // the first code packs to -1
    showPalette(state.mainWindow, state.paletteList, 1, DisplayFormat::FormatRgb);
    EXPECT_EQ(swatchColour(0), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(swatchColour(1), QColor(0xFF, 0xAA, 0x33));
}

TEST_F(PaletteViewTest, FormatCommandsKeepTheIndexAndLeaveTheCheckToTheToolkit) {
    load(numberedPalettes(3));
    state.currentIndex = 2;
    showInFormat(state, DisplayFormat::FormatBgrHex);
    EXPECT_EQ(box(0), "$020010");
    EXPECT_EQ(name(), "P2");
    EXPECT_EQ(state.currentIndex, 2);
    EXPECT_TRUE(state.mainWindow.isChecked(Control::OptionRgb));  // only a click moves the check
    showInFormat(state, DisplayFormat::FormatHtmlHex);
    EXPECT_EQ(box(0), "100002");
}

// Each row: how many palettes, a sequence of commands, and where the index must end.
struct NavigationCase {
    const char* name;
    int palettes;
    std::vector<void (*)(ProgramState&)> commands;
    std::int32_t expected;
};

const NavigationCase navigationCases[] = {
    {"OnePaletteFirst", 1, {goFirst}, 1},
    {"OnePalettePrevious", 1, {goPrevious}, 1},
    {"OnePaletteNext", 1, {goNext}, 1},
    {"OnePaletteLast", 1, {goLast}, 1},
    {"TwoNextNext", 2, {goNext, goNext}, 2},
    {"TwoLastPrevious", 2, {goLast, goPrevious}, 1},
    {"ManyNextStopsAtLast", 5, {goNext, goNext, goNext, goNext, goNext, goNext}, 5},
    {"ManyNextAtLastThenPrevious", 5, {goLast, goNext, goPrevious}, 4},
    {"ManyPreviousStopsAtFirst", 5, {goNext, goPrevious, goPrevious, goPrevious}, 1},
    {"ManyLastFirst", 5, {goLast, goFirst}, 1},
};

TEST_F(PaletteViewTest, NavigationMovesTheIndexWithinTheList) {
    for (const auto& c : navigationCases) {
        SCOPED_TRACE(c.name);
        load(numberedPalettes(c.palettes));
        state.currentIndex = 1;
        for (auto command : c.commands) command(state);
        EXPECT_EQ(state.currentIndex, c.expected);
        EXPECT_EQ(name(), QString("P%1").arg(c.expected));
        EXPECT_EQ(box(0), QString("RGB(016, 000, %1)").arg(c.expected, 3, 10, QChar('0')));
    }
}

TEST_F(PaletteViewTest, NavigationReturnsToRgbAndChecksItEvenWithoutMoving) {
    load(numberedPalettes(2));
    showPalette(state.mainWindow, state.paletteList, 1, DisplayFormat::FormatRgb);
    QTest::mouseClick(state.mainWindow.control(Control::OptionBgrHex), Qt::LeftButton);
    showInFormat(state, DisplayFormat::FormatBgrHex);
    ASSERT_EQ(box(0), "$010010");
    goPrevious(state);  // already at 1: the index stays, the display does not
    EXPECT_EQ(state.currentIndex, 1);
    EXPECT_EQ(box(0), "RGB(016, 000, 001)");
    EXPECT_TRUE(state.mainWindow.isChecked(Control::OptionRgb));
    EXPECT_FALSE(state.mainWindow.isChecked(Control::OptionBgrHex));
}

TEST_F(PaletteViewTest, WithNoPalettesNothingChanges) {
    for (auto command : {goFirst, goPrevious, goNext, goLast}) command(state);
    showInFormat(state, DisplayFormat::FormatHtmlHex);
    showPalette(state.mainWindow, state.paletteList, 1, DisplayFormat::FormatRgb);
    EXPECT_EQ(state.currentIndex, 1);
    EXPECT_EQ(name(), "myChosen Palette");
    for (int k = 0; k < 5; ++k) EXPECT_EQ(box(k), "RGB(123,123,123)");
    EXPECT_EQ(swatchColour(0), QApplication::palette().color(QPalette::Button));
}

}  // namespace
}  // namespace chromabox
