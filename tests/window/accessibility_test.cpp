// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "window/app.h"
#include "window/palette_view.h"

namespace chromabox {
namespace {

QString accessibleText(QWidget* widget, QAccessible::Text which) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(which) : QString();
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.mainWindow.build(std::nullopt, 0, 0, 650, 450);
        state.paletteList = {{u"Autumn", u"FFAA33,112233"}};
        showPalette(state.mainWindow, state.paletteList, 1, palette::DisplayFormat::FormatRgb);
        commands.copyToClipboard = [](const QString&) {};
    }

    ProgramState state;
    Commands commands;
};

TEST_F(AccessibilityTest, EveryControlHasANameAScreenReaderCanSpeak) {
    struct Row {
        Control control;
        const char* name;
    };
    const Row rows[] = {
        {Control::HeaderBand, "Header"},
        {Control::Swatch1, "Colour 1"},
        {Control::Swatch5, "Colour 5"},
        {Control::LogoImage, "Logo"},
        {Control::CodeBox1, "Colour 1 code"},
        {Control::CodeBox3, "Colour 3 code"},
        {Control::PaletteNameLabel, "Autumn"},
        {Control::TitleLabel, "Chromabox"},
        {Control::TaglineLabel, "for form designs"},
        {Control::HintCaption, "Hint:"},
        {Control::HintText, "Click on a text-box and save the color to the clipboard."},
        {Control::FirstButton, "First palette"},
        {Control::PrevButton, "Previous palette"},
        {Control::NextButton, "Next palette"},
        {Control::LastButton, "Last palette"},
        {Control::DatabaseButton, "Database"},
        {Control::QuitButton, "Quit"},
        {Control::OptionRgb, "Display RGB()"},
        {Control::OptionBgrHex, "Display PB Hex"},
        {Control::OptionHtmlHex, "Display HTML Hex"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(accessibleText(state.mainWindow.control(row.control), QAccessible::Name), row.name)
            << static_cast<int>(row.control);
    }
    for (int i = 0; i < controlCount; ++i) {
        EXPECT_FALSE(accessibleText(state.mainWindow.control(static_cast<Control>(i)), QAccessible::Name).isEmpty()) << i;
    }
}

TEST_F(AccessibilityTest, SwatchesDescribeTheirColourInTheChosenFormat) {
    EXPECT_EQ(accessibleText(state.mainWindow.control(Control::Swatch1), QAccessible::Description), "RGB(255, 170, 051)");
    showInFormat(state, palette::DisplayFormat::FormatBgrHex);
    EXPECT_EQ(accessibleText(state.mainWindow.control(Control::Swatch1), QAccessible::Description), "$33AAFF");
    EXPECT_EQ(accessibleText(state.mainWindow.control(Control::Swatch3), QAccessible::Description), "$");
}

TEST_F(AccessibilityTest, CopyingACodeIsAnnouncedUntilTheCodeChanges) {
    QWidget* box = state.mainWindow.control(Control::CodeBox2);
    EXPECT_EQ(accessibleText(box, QAccessible::Description), codeBoxDescription);
    handleControlEvent(state, commands, Control::CodeBox2, ControlEventType::FocusGained);
    EXPECT_EQ(accessibleText(box, QAccessible::Description), "RGB(017, 034, 051) copied to the clipboard");
    // The same code shown again is still the copied one; a new code is not.
    showInFormat(state, palette::DisplayFormat::FormatRgb);
    EXPECT_EQ(accessibleText(box, QAccessible::Description), "RGB(017, 034, 051) copied to the clipboard");
    showInFormat(state, palette::DisplayFormat::FormatHtmlHex);
    EXPECT_EQ(accessibleText(box, QAccessible::Description), codeBoxDescription);
    // Nothing visible changed: the clipboard's text and the box's text are the user's.
    EXPECT_EQ(state.mainWindow.text(Control::CodeBox2), "112233");
}

}  // namespace
}  // namespace chromabox
