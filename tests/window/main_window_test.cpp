// SPDX-License-Identifier: MIT
#include "window/main_window.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/window/window_test_support.h"

namespace chromabox {
namespace {

using testing::activate;
using testing::EventLog;
using testing::pressKey;

enum class Kind { Container, Image, Label, TextBox, PushButton, OptionButton };

struct ControlRow {
    Control control;
    Kind kind;
    QRect geometry;
    const char* text;
};

const ControlRow controlRows[] = {
    {Control::HeaderBand, Kind::Container, {0, 0, 650, 60}, nullptr},
    {Control::Swatch1, Kind::Container, {30, 125, 110, 180}, nullptr},
    {Control::Swatch2, Kind::Container, {150, 125, 110, 180}, nullptr},
    {Control::Swatch3, Kind::Container, {270, 125, 110, 180}, nullptr},
    {Control::Swatch4, Kind::Container, {390, 125, 110, 180}, nullptr},
    {Control::Swatch5, Kind::Container, {510, 125, 110, 180}, nullptr},
    {Control::LogoImage, Kind::Image, {10, 5, 50, 40}, nullptr},
    {Control::TitleLabel, Kind::Label, {90, 5, 510, 50}, "Chromabox"},
    {Control::PaletteNameLabel, Kind::Label, {130, 75, 390, 50}, "myChosen Palette"},
    {Control::TaglineLabel, Kind::Label, {360, 27, 130, 25}, "for form designs"},
    {Control::CodeBox1, Kind::TextBox, {30, 315, 110, 18}, "RGB(123,123,123)"},
    {Control::CodeBox2, Kind::TextBox, {150, 315, 110, 18}, "RGB(123,123,123)"},
    {Control::CodeBox3, Kind::TextBox, {270, 315, 110, 18}, "RGB(123,123,123)"},
    {Control::CodeBox4, Kind::TextBox, {390, 315, 110, 18}, "RGB(123,123,123)"},
    {Control::CodeBox5, Kind::TextBox, {510, 315, 110, 18}, "RGB(123,123,123)"},
    {Control::HintCaption, Kind::Label, {147, 340, 80, 18}, "Hint:"},
    {Control::HintText, Kind::Label, {160, 355, 300, 35}, "Click on a text-box and save the color to the clipboard."},
    {Control::FirstButton, Kind::PushButton, {500, 360, 30, 30}, "|<"},
    {Control::PrevButton, Kind::PushButton, {530, 360, 30, 30}, "<"},
    {Control::NextButton, Kind::PushButton, {560, 360, 30, 30}, ">"},
    {Control::LastButton, Kind::PushButton, {590, 360, 30, 30}, ">|"},
    {Control::DatabaseButton, Kind::PushButton, {365, 400, 130, 35}, "Database"},
    {Control::QuitButton, Kind::PushButton, {500, 400, 120, 35}, "Quit"},
    {Control::OptionRgb, Kind::OptionButton, {30, 360, 110, 20}, "Display RGB()"},
    {Control::OptionBgrHex, Kind::OptionButton, {30, 390, 110, 20}, "Display PB Hex"},
    {Control::OptionHtmlHex, Kind::OptionButton, {30, 420, 110, 20}, "Display HTML Hex"},
};

bool isKind(QWidget* w, Kind kind) {
    switch (kind) {
        case Kind::Container: return qobject_cast<QFrame*>(w) && !qobject_cast<QLabel*>(w);
        case Kind::Image: return qobject_cast<QLabel*>(w) != nullptr;
        case Kind::Label: return qobject_cast<QLabel*>(w) != nullptr;
        case Kind::TextBox: return qobject_cast<QLineEdit*>(w) != nullptr;
        case Kind::PushButton: return qobject_cast<QPushButton*>(w) != nullptr;
        case Kind::OptionButton: return qobject_cast<QRadioButton*>(w) != nullptr;
    }
    return false;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.build(std::nullopt, 0, 0, 650, 450);
        log.attach(window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.window()));
    }
    QImage grab() { return window.window()->grab().toImage(); }

    MainWindow window;
    EventLog log;
};

TEST_F(MainWindowTest, EveryControlStandsAtItsPlaceWithItsText) {
    ASSERT_EQ(std::size(controlRows), static_cast<std::size_t>(controlCount));
    for (const auto& row : controlRows) {
        SCOPED_TRACE(static_cast<int>(row.control));
        QWidget* w = window.control(row.control);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(isKind(w, row.kind));
        EXPECT_EQ(w->parentWidget(), window.window());
        EXPECT_EQ(w->geometry(), row.geometry);
        EXPECT_TRUE(w->isVisible());
        if (row.text) {
            EXPECT_EQ(window.text(row.control), QString::fromUtf8(row.text));
        }
    }
}

TEST_F(MainWindowTest, WindowHasFixedClientSizeTitleAndNoMaximise) {
    QWidget* w = window.window();
    EXPECT_EQ(w->windowTitle(), "Chromabox 1.0");
    EXPECT_EQ(w->size(), QSize(650, 450));
    EXPECT_EQ(w->minimumSize(), QSize(650, 450));
    EXPECT_EQ(w->maximumSize(), QSize(650, 450));
    const Qt::WindowFlags flags = w->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    // Every size the title bar and task switcher ask for is decoded, not left to be scaled.
    const QList<QSize> sizes = w->windowIcon().availableSizes();
    for (int side : {16, 32, 48, 64}) EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    EXPECT_EQ(w->windowIcon().pixmap(QSize(32, 32)).toImage().pixelColor(16, 16).alpha(), 255);
}

TEST_F(MainWindowTest, WindowIsCentredOnThePrimaryScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect outer = window.window()->frameGeometry();
    EXPECT_EQ(outer.left(), screen.left() + std::max(0, (screen.width() - outer.width()) / 2));
    EXPECT_EQ(outer.top(), screen.top() + std::max(0, (screen.height() - outer.height()) / 2));
}

// Colours checked where a person sees them: in the rendered window.
TEST_F(MainWindowTest, PaintsTheFixedColours) {
    const QImage image = grab();
    const QColor face = QApplication::palette().color(QPalette::Button);
    struct Spot {
        const char* name;
        QPoint at;
        QColor colour;
    };
    const Spot spots[] = {
        {"window", {5, 445}, WindowTan},
        {"band", {640, 2}, HeaderBlue},
        {"band under the empty logo", {30, 20}, HeaderBlue},
        {"title label background", {595, 50}, HeaderBlue},
        {"name label background", {135, 120}, WindowTan},
        {"swatch face", {85, 215}, face},
        {"swatch border", {30, 200}, QApplication::palette().color(QPalette::WindowText)},
        {"code box", {33, 331}, BoxYellow},
        {"hint background", {455, 385}, WindowTan},
        {"option button background", {135, 375}, WindowTan},
        {"option button background", {135, 435}, WindowTan},
    };
    for (const auto& spot : spots) {
        SCOPED_TRACE(spot.name);
        EXPECT_EQ(QColor(image.pixel(spot.at)).name(), spot.colour.name());
    }
}

TEST_F(MainWindowTest, LabelsUseTheirColoursAndFonts) {
    struct LabelRow {
        Control control;
        QColor text;
        QColor background;
    };
    const LabelRow rows[] = {
        {Control::TitleLabel, Qt::white, HeaderBlue},
        {Control::PaletteNameLabel, Qt::white, WindowTan},
        {Control::TaglineLabel, Qt::white, HeaderBlue},
        {Control::HintCaption, Qt::red, WindowTan},
        {Control::HintText, QApplication::palette().color(QPalette::WindowText), WindowTan},
    };
    for (const auto& row : rows) {
        const auto* label = qobject_cast<QLabel*>(window.control(row.control));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), row.text);
        EXPECT_EQ(label->palette().color(QPalette::Window), row.background);
        EXPECT_TRUE(label->autoFillBackground());
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_TRUE(label->wordWrap());
    }
    EXPECT_TRUE(qobject_cast<QLabel*>(window.control(Control::PaletteNameLabel))->alignment() & Qt::AlignHCenter);
}

TEST_F(MainWindowTest, FontsHaveTheirEmHeightAt96Dpi) {
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    struct FontRow {
        FontNumber number;
        Control label;
        const char* face;
        int points;
        bool italic;
    };
    const FontRow rows[] = {
        {FontNumber::TitleFont, Control::TitleLabel, "Arial Rounded MT Bold", 32, true},
        {FontNumber::NameFont, Control::PaletteNameLabel, "Arial Rounded MT Bold", 24, false},
        {FontNumber::TaglineFont, Control::TaglineLabel, "Cataneo BT", 14, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.face);
        const auto& font = window.font(row.number);
        ASSERT_TRUE(font.has_value());
        // The face itself where installed; otherwise the tagline's stand-in is a calligraphic one.
        if (QFontDatabase::hasFamily(row.face) || row.number != FontNumber::TaglineFont) {
            EXPECT_EQ(font->families().value(0), row.face);
        } else if (QFontDatabase::hasFamily("Z003")) {
            EXPECT_TRUE(QFontInfo(*font).family().startsWith("Z003")) << QFontInfo(*font).family().toStdString();
        }
        EXPECT_EQ(font->pixelSize(), qRound(row.points * dpi / 72.0));
        EXPECT_EQ(font->italic(), row.italic);
        EXPECT_EQ(font->weight(), QFont::Normal);
        EXPECT_EQ(window.control(row.label)->font().pixelSize(), font->pixelSize());
    }
    if (qFuzzyCompare(dpi, 96.0)) {
        EXPECT_EQ(window.font(FontNumber::TitleFont)->pixelSize(), 43);
        EXPECT_EQ(window.font(FontNumber::NameFont)->pixelSize(), 32);
        EXPECT_EQ(window.font(FontNumber::TaglineFont)->pixelSize(), 19);
    }
}

TEST_F(MainWindowTest, CodeBoxesAreReadOnlyCentredAndScrollLongTexts) {
    for (int k = 0; k < 5; ++k) {
        auto* box = qobject_cast<QLineEdit*>(window.control(codeBox(k)));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isReadOnly());
        EXPECT_TRUE(box->hasFrame());
        EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        EXPECT_EQ(box->palette().color(QPalette::Base), BoxYellow);
    }
    // The default font fits the widest code of the "RGB(" format without scrolling.
    auto* box = qobject_cast<QLineEdit*>(window.control(Control::CodeBox1));
    EXPECT_LT(box->fontMetrics().horizontalAdvance("RGB(255, 255, 255)"), box->width() - 8);
    // A longer text keeps one line, shows its beginning, and is never changed by typing.
    const QString longCode = "FFAA33FFAA33FFAA33FFAA33FFAA33FFAA33";
    window.setText(Control::CodeBox1, longCode);
    EXPECT_EQ(box->cursorPosition(), 0);
    box->setFocus();
    QTest::keyClicks(box, "xyz");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), longCode);
    EXPECT_EQ(box->height(), 18);
}

TEST_F(MainWindowTest, OptionButtonsShareOneBrushAndOneGroup) {
    const QBrush& brush = window.optionBackgroundBrush();
    EXPECT_EQ(brush.color(), WindowTan);
    EXPECT_EQ(brush.style(), Qt::SolidPattern);
    QButtonGroup* group = nullptr;
    for (Control c : {Control::OptionRgb, Control::OptionBgrHex, Control::OptionHtmlHex}) {
        auto* option = qobject_cast<QRadioButton*>(window.control(c));
        ASSERT_NE(option, nullptr);
        EXPECT_TRUE(option->autoFillBackground());
        EXPECT_EQ(option->palette().brush(option->backgroundRole()), brush);
        if (!group) group = option->group();
        EXPECT_EQ(option->group(), group);
    }
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->exclusive());
    EXPECT_TRUE(window.isChecked(Control::OptionRgb));
    EXPECT_FALSE(window.isChecked(Control::OptionBgrHex));
    EXPECT_FALSE(window.isChecked(Control::OptionHtmlHex));
}

TEST_F(MainWindowTest, ClickingAnOptionButtonChecksOnlyItAndReportsEveryClick) {
    QTest::mouseClick(window.control(Control::OptionBgrHex), Qt::LeftButton);
    EXPECT_TRUE(window.isChecked(Control::OptionBgrHex));
    EXPECT_FALSE(window.isChecked(Control::OptionRgb));
    EXPECT_FALSE(window.isChecked(Control::OptionHtmlHex));
    QTest::mouseClick(window.control(Control::OptionBgrHex), Qt::LeftButton);
    EXPECT_TRUE(window.isChecked(Control::OptionBgrHex));
    int clicks = 0;
    for (const auto& e : log.events) clicks += e == std::pair{Control::OptionBgrHex, ControlEventType::Clicked};
    EXPECT_EQ(clicks, 2);
}

TEST_F(MainWindowTest, ButtonsReportClicksByControlNumber) {
    for (Control c : {Control::FirstButton, Control::PrevButton, Control::NextButton, Control::LastButton,
                      Control::DatabaseButton, Control::QuitButton, Control::OptionRgb, Control::OptionHtmlHex}) {
        log.events.clear();
        QTest::mouseClick(window.control(c), Qt::LeftButton);
        EXPECT_TRUE(log.contains(c, ControlEventType::Clicked)) << static_cast<int>(c);
    }
}

TEST_F(MainWindowTest, WhatTheProgramSetsReportsNothing) {
    window.setText(Control::CodeBox2, "RGB(001, 002, 003)");
    window.setText(Control::PaletteNameLabel, "Other");
    window.setChecked(Control::OptionHtmlHex, true);
    window.setChecked(Control::OptionRgb, true);
    window.setBackground(Control::Swatch1, QColor(1, 2, 3));
    EXPECT_TRUE(log.events.empty());
}

TEST_F(MainWindowTest, LabelsShowNamesExactlyAsTyped) {
    const QString names[] = {"Salt & Pepper", "<b>Red</b>", "&&&", "Tab\there"};
    for (const auto& name : names) {
        window.setText(Control::PaletteNameLabel, name);
        EXPECT_EQ(window.text(Control::PaletteNameLabel), name);
    }
    // "&" is not a mnemonic: the label has no buddy and no shortcut was made.
    EXPECT_EQ(qobject_cast<QLabel*>(window.control(Control::PaletteNameLabel))->buddy(), nullptr);
}

TEST_F(MainWindowTest, LongNamesWrapAtWordsAndAreCutAtTheBottom) {
    auto* label = qobject_cast<QLabel*>(window.control(Control::PaletteNameLabel));
    window.setText(Control::PaletteNameLabel, "A rather long palette name that cannot fit on one line of this label");
    EXPECT_GT(label->heightForWidth(label->width()), label->height());
    EXPECT_EQ(label->geometry(), QRect(130, 75, 390, 50));
}

TEST_F(MainWindowTest, SwatchesTakeColoursAndGiveThemBack) {
    window.setBackground(Control::Swatch3, QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(QColor(grab().pixel(325, 215)), QColor(0x11, 0x22, 0x33));
    window.setBackground(Control::Swatch3, std::nullopt);
    EXPECT_EQ(QColor(grab().pixel(325, 215)), QApplication::palette().color(QPalette::Button));
}

TEST(ColourFromValue, ReadsTheLowThreeBytes) {
    struct Row {
        std::int32_t value;
        std::optional<QColor> colour;
    };
    const Row rows[] = {
        {0, QColor(0, 0, 0)},
        {3386111, QColor(0xFF, 0xAA, 0x33)},  // "FFAA33"
        {16777215, QColor(255, 255, 255)},
        {-1, std::nullopt},                   // no colour of its own
        {54376959, QColor(0xFF, 0xB9, 0x3D)}, // 0x033DB9FF: the top byte is dropped
        {-2, QColor(0xFE, 0xFF, 0xFF)},
        {272, QColor(0x10, 0x01, 0x00)},
    };
    for (const auto& row : rows) EXPECT_EQ(colourFromValue(row.value), row.colour) << row.value;
}

TEST(MainWindowLogo, TakesThePicturesOwnSize) {
    QImage picture(64, 48, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 0, 128));
    MainWindow window;
    window.build(picture, 0, 0, 650, 450);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.window()));
    EXPECT_EQ(window.control(Control::LogoImage)->geometry(), QRect(10, 5, 64, 48));
    // Half-transparent red over the blue band: blended, not replaced.
    const QColor seen(window.window()->grab().toImage().pixel(40, 30));
    EXPECT_NEAR(seen.red(), 128, 2);
    EXPECT_NEAR(seen.green(), 51, 2);
    EXPECT_NEAR(seen.blue(), 76, 2);
    EXPECT_EQ(QColor(window.window()->grab().toImage().pixel(76, 30)), HeaderBlue);
}

// Keyboard focus: nothing focused at first, then the fixed order in both directions.
class MainWindowFocus : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(activate(window.window()));
    }
    std::optional<Control> focused() const {
        for (int i = 0; i < controlCount; ++i)
            if (window.control(static_cast<Control>(i)) == QApplication::focusWidget()) return static_cast<Control>(i);
        return std::nullopt;
    }
};

TEST_F(MainWindowFocus, NoControlHasFocusAtFirst) {
    EXPECT_EQ(focused(), std::nullopt);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(MainWindowFocus, TabFromNothingGoesToTheFirstCodeBox) {
    pressKey(window.window(), Qt::Key_Tab);
    EXPECT_EQ(focused(), Control::CodeBox1);
    EXPECT_TRUE(log.contains(Control::CodeBox1, ControlEventType::FocusGained));
}

TEST_F(MainWindowFocus, ShiftTabFromNothingGoesToTheLastOptionButton) {
    pressKey(window.window(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), Control::OptionHtmlHex);
}

TEST_F(MainWindowFocus, TabWalksAllFourteenControlsAndWraps) {
    for (std::size_t round = 0; round < 2; ++round) {
        for (Control expected : focusOrder) {
            pressKey(window.window(), Qt::Key_Tab);
            EXPECT_EQ(focused(), expected);
        }
    }
}

TEST_F(MainWindowFocus, ShiftTabWalksBackwardsAndWraps) {
    pressKey(window.window(), Qt::Key_Tab);  // CodeBox1
    for (auto it = focusOrder.rbegin(); it != focusOrder.rend(); ++it) {
        pressKey(window.window(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focused(), *it);
    }
}

TEST_F(MainWindowFocus, TabPassesUncheckedOptionButtons) {
    // Qt alone would stop only at the checked button of a group; here all three are stops.
    window.window()->setFocus();
    window.control(Control::QuitButton)->setFocus(Qt::OtherFocusReason);
    for (Control expected : {Control::OptionRgb, Control::OptionBgrHex, Control::OptionHtmlHex, Control::CodeBox1}) {
        pressKey(window.window(), Qt::Key_Tab);
        EXPECT_EQ(focused(), expected);
    }
    EXPECT_TRUE(window.isChecked(Control::OptionRgb));  // Tab moves focus, never the check
}

TEST_F(MainWindowFocus, ClickedButtonsTakeTheFocus) {
    for (Control c : {Control::NextButton, Control::OptionBgrHex, Control::DatabaseButton}) {
        QTest::mouseClick(window.control(c), Qt::LeftButton);
        EXPECT_EQ(focused(), c);
    }
}

TEST_F(MainWindowFocus, ClicksIntoCodeBoxesReportFocusOnlyWhenItMoves) {
    QWidget* box3 = window.control(Control::CodeBox3);
    QTest::mouseClick(box3, Qt::LeftButton, {}, QPoint(10, 9));
    ASSERT_EQ(focused(), Control::CodeBox3);
    EXPECT_EQ(log.events.size(), 1u);
    EXPECT_TRUE(log.contains(Control::CodeBox3, ControlEventType::FocusGained));
    QTest::mouseClick(box3, Qt::LeftButton, {}, QPoint(20, 9));
    EXPECT_EQ(log.events.size(), 1u);  // it already had the focus
    QTest::mouseClick(window.control(Control::CodeBox4), Qt::LeftButton, {}, QPoint(10, 9));
    EXPECT_TRUE(log.contains(Control::CodeBox3, ControlEventType::FocusLost));
    EXPECT_TRUE(log.contains(Control::CodeBox4, ControlEventType::FocusGained));
}

TEST_F(MainWindowFocus, ClicksOnLabelsSwatchesAndTheBandChangeNothing) {
    QTest::mouseClick(window.control(Control::CodeBox2), Qt::LeftButton, {}, QPoint(10, 9));
    log.events.clear();
    for (Control c : {Control::HeaderBand, Control::Swatch1, Control::LogoImage, Control::PaletteNameLabel,
                      Control::TitleLabel, Control::TaglineLabel, Control::HintCaption, Control::HintText}) {
        QTest::mouseClick(window.control(c), Qt::LeftButton, {}, QPoint(3, 3));
    }
    QTest::mouseClick(window.window(), Qt::LeftButton, {}, QPoint(5, 445));
    EXPECT_EQ(focused(), Control::CodeBox2);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(MainWindowFocus, ReactivationGivesTheFocusBackAndReportsIt) {
    QTest::mouseClick(window.control(Control::CodeBox2), Qt::LeftButton, {}, QPoint(10, 9));
    log.events.clear();
    QWidget other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(activate(&other));
    ASSERT_TRUE(activate(window.window()));
    EXPECT_EQ(focused(), Control::CodeBox2);
    EXPECT_TRUE(log.contains(Control::CodeBox2, ControlEventType::FocusGained));
}

TEST_F(MainWindowFocus, CloseRequestLeavesTheWindowStanding) {
    int requests = 0;
    window.onCloseRequest = [&] { ++requests; };
    EXPECT_FALSE(window.window()->close());
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(window.window()->isVisible());
}

TEST(MainWindowAbsent, OperationsOnMissingControlsDoNothing) {
    MainWindow window;  // never built: every control is absent
    window.setText(Control::CodeBox1, "x");
    window.setBackground(Control::Swatch1, QColor(1, 2, 3));
    window.setChecked(Control::OptionRgb, true);
    EXPECT_EQ(window.text(Control::CodeBox1), QString());
    EXPECT_FALSE(window.isChecked(Control::OptionRgb));
    EXPECT_EQ(window.control(Control::HeaderBand), nullptr);
}

}  // namespace
}  // namespace chromabox
