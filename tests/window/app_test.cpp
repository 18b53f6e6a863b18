// SPDX-License-Identifier: MIT
#include "window/app.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/support/temp_dir.h"
#include "tests/window/window_test_support.h"
#include "window/palette_view.h"

namespace chromabox {
namespace {

using testing::activate;
using testing::pressKey;

TEST(Dispatch, EveryControlHasItsAction) {
    struct Row {
        Control control;
        Action onClick;
        Action onFocusGained;
    };
    const Row rows[] = {
        {Control::CodeBox1, Action::None, Action::CopyCodeBox},
        {Control::CodeBox3, Action::None, Action::CopyCodeBox},
        {Control::CodeBox5, Action::None, Action::CopyCodeBox},
        {Control::OptionRgb, Action::ShowRgb, Action::ShowRgb},
        {Control::OptionBgrHex, Action::ShowBgrHex, Action::ShowBgrHex},
        {Control::OptionHtmlHex, Action::ShowHtmlHex, Action::ShowHtmlHex},
        {Control::FirstButton, Action::GoFirst, Action::GoFirst},
        {Control::PrevButton, Action::GoPrevious, Action::GoPrevious},
        {Control::NextButton, Action::GoNext, Action::GoNext},
        {Control::LastButton, Action::GoLast, Action::GoLast},
        {Control::DatabaseButton, Action::LaunchCompanion, Action::LaunchCompanion},
        {Control::QuitButton, Action::Quit, Action::Quit},
    };
    std::set<Control> seen;
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.control));
        EXPECT_EQ(actionFor(row.control, ControlEventType::Clicked), row.onClick);
        EXPECT_EQ(actionFor(row.control, ControlEventType::FocusGained), row.onFocusGained);
        seen.insert(row.control);
    }
    // Focus lost is never acted on; the other controls are in no row of the table at all.
    for (int i = 0; i < controlCount; ++i) {
        const auto c = static_cast<Control>(i);
        if (c >= Control::CodeBox1 && c <= Control::CodeBox5) {
            EXPECT_EQ(actionFor(c, ControlEventType::FocusLost), Action::None);
        } else if (!seen.count(c)) {
            for (auto type : {ControlEventType::Clicked, ControlEventType::FocusGained, ControlEventType::FocusLost})
                EXPECT_EQ(actionFor(c, type), Action::None) << i;
        }
    }
}

// Start-up and the commands with the outside world replaced by recorders.
class AppTest : public ::testing::Test {
protected:
    AppTest() {
        commands.copyToClipboard = [this](const QString& text) { copied.push_back(text); };
        commands.launchCompanion = [this] { ++launches; };
        commands.showListFailure = [this](QWidget* over) {
            failureShownOver = over;
            failureSawVisibleWindow = over && over->isVisible();
            failureSawInitialTexts = state.mainWindow.text(Control::CodeBox1) == "RGB(123,123,123)" &&
                                     state.mainWindow.text(Control::PaletteNameLabel) == "myChosen Palette";
        };
    }
    void start(const std::string& listBytes) {
        dir.write("Chromabox.ini", listBytes);
        startUp(state, commands, dir.path() / "Chromabox.ini", dir.path() / "Palette Logo.png");
    }
    void event(Control c, ControlEventType type = ControlEventType::Clicked) {
        handleControlEvent(state, commands, c, type);
    }

    TempDir dir;
    ProgramState state;
    Commands commands;
    std::vector<QString> copied;
    int launches = 0;
    QWidget* failureShownOver = nullptr;
    bool failureSawVisibleWindow = false;
    bool failureSawInitialTexts = false;
};

TEST_F(AppTest, StartsOnTheFirstPaletteInRgbWithNothingCopied) {
    start("Name1=Autumn\nHexString1=FFAA33,112233\nName2=Harbour\n");
    EXPECT_EQ(state.currentIndex, 1);
    EXPECT_EQ(state.paletteList.size(), 2u);
    EXPECT_TRUE(state.mainWindow.window()->isVisible());
    EXPECT_EQ(state.mainWindow.text(Control::PaletteNameLabel), "Autumn");
    EXPECT_EQ(state.mainWindow.text(Control::CodeBox1), "RGB(255, 170, 051)");
    EXPECT_TRUE(state.mainWindow.isChecked(Control::OptionRgb));
    EXPECT_EQ(failureShownOver, nullptr);
    ASSERT_TRUE(activate(state.mainWindow.window()));
    EXPECT_TRUE(copied.empty());
    EXPECT_FALSE(state.logoPicture.has_value());
}

TEST_F(AppTest, MissingListShowsTheMessageOverTheBuiltWindowThenGoesOnEmpty) {
    std::filesystem::create_directory(dir.path() / "Chromabox.ini");  // cannot be opened, even by root
    startUp(state, commands, dir.path() / "Chromabox.ini", dir.path() / "Palette Logo.png");
    EXPECT_EQ(failureShownOver, state.mainWindow.window());
    EXPECT_TRUE(failureSawVisibleWindow);
    EXPECT_TRUE(failureSawInitialTexts);
    EXPECT_TRUE(state.paletteList.empty());
    EXPECT_EQ(state.mainWindow.text(Control::CodeBox1), "RGB(123,123,123)");
    event(Control::NextButton);
    event(Control::OptionBgrHex);
    EXPECT_EQ(state.currentIndex, 1);
    EXPECT_EQ(state.mainWindow.text(Control::PaletteNameLabel), "myChosen Palette");
}

TEST_F(AppTest, EmptyListShowsNoMessage) {
    start("; nothing here\n[Group]\nName1=Hidden\n");
    EXPECT_EQ(failureShownOver, nullptr);
    EXPECT_TRUE(state.paletteList.empty());
}

TEST_F(AppTest, LoadsTheLogoFromTheWorkingFolder) {
    QImage picture(64, 48, QImage::Format_ARGB32);
    picture.fill(Qt::yellow);
    ASSERT_TRUE(picture.save(QString::fromStdString((dir.path() / "Palette Logo.png").string()), "PNG"));
    start("Name1=A\n");
    ASSERT_TRUE(state.logoPicture.has_value());
    EXPECT_EQ(state.mainWindow.control(Control::LogoImage)->geometry(), QRect(10, 5, 64, 48));
}

TEST_F(AppTest, CommandsDoWhatTheirButtonsSay) {
    start("Name1=A\nHexString1=FFAA33\nName2=B\nHexString2=#112233\nName3=C\n");
    event(Control::NextButton);
    EXPECT_EQ(state.currentIndex, 2);
    event(Control::OptionHtmlHex);
    EXPECT_EQ(state.mainWindow.text(Control::CodeBox1), "#112233");
    event(Control::OptionBgrHex);
    EXPECT_EQ(state.mainWindow.text(Control::CodeBox1), "$332211");
    event(Control::LastButton);
    EXPECT_EQ(state.currentIndex, 3);
    event(Control::FirstButton);
    EXPECT_EQ(state.currentIndex, 1);
    event(Control::DatabaseButton);
    event(Control::DatabaseButton);
    EXPECT_EQ(launches, 2);
    EXPECT_TRUE(copied.empty());  // rewriting the boxes copies nothing
    EXPECT_EQ(state.quitRequested, 0);
    event(Control::QuitButton);
    EXPECT_EQ(state.quitRequested, 1);
}

TEST_F(AppTest, FocusGainedCopiesExactlyTheBoxText) {
    start("Name1=A\nHexString1=FFAA33,,#abc\n");
    event(Control::CodeBox1, ControlEventType::FocusGained);
    event(Control::CodeBox1, ControlEventType::FocusLost);
    event(Control::CodeBox2, ControlEventType::FocusGained);
    event(Control::OptionHtmlHex);
    event(Control::CodeBox3, ControlEventType::FocusGained);
    EXPECT_EQ(copied, (std::vector<QString>{"RGB(255, 170, 051)", "RGB(000, 000, 000)", "#abc"}));
}

TEST_F(AppTest, RealFocusMovesCopyThroughTheLoop) {
    start("Name1=A\nHexString1=FFAA33,112233,445566,778899,AABBCC\nName2=B\nHexString2=010203,040506\n");
    state.mainWindow.onControlEvent = [this](Control c, ControlEventType t) { event(c, t); };
    ASSERT_TRUE(activate(state.mainWindow.window()));
    QWidget* box3 = state.mainWindow.control(Control::CodeBox3);
    QTest::mouseClick(box3, Qt::LeftButton, {}, QPoint(10, 9));
    QTest::mouseClick(box3, Qt::LeftButton, {}, QPoint(12, 9));  // already focused: nothing new
    QTest::mouseClick(state.mainWindow.control(Control::NextButton), Qt::LeftButton);
    QTest::mouseClick(box3, Qt::LeftButton, {}, QPoint(10, 9));
    pressKey(state.mainWindow.window(), Qt::Key_Tab);
    EXPECT_EQ(copied, (std::vector<QString>{"RGB(068, 085, 102)", "RGB(000, 000, 000)", "RGB(000, 000, 000)"}));
    EXPECT_EQ(state.currentIndex, 2);
}

TEST_F(AppTest, ShiftTabAtStartFocusesTheLastOptionAndCopiesNothing) {
    start("Name1=A\nHexString1=FFAA33\n");
    state.mainWindow.onControlEvent = [this](Control c, ControlEventType t) { event(c, t); };
    ASSERT_TRUE(activate(state.mainWindow.window()));
    pressKey(state.mainWindow.window(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), state.mainWindow.control(Control::OptionHtmlHex));
    EXPECT_TRUE(copied.empty());
    pressKey(state.mainWindow.window(), Qt::Key_Tab);
    EXPECT_EQ(copied, (std::vector<QString>{"RGB(255, 170, 051)"}));
}

TEST_F(AppTest, QuitEndsTheLoopAfterItsEvent) {
    start("Name1=A\n");
    QTimer::singleShot(0, [this] { QTest::mouseClick(state.mainWindow.control(Control::QuitButton), Qt::LeftButton); });
    runEventLoop(state, commands);
    EXPECT_EQ(state.quitRequested, 1);
    tearDown(state);
    EXPECT_EQ(state.mainWindow.window(), nullptr);
    EXPECT_EQ(state.mainWindow.control(Control::CodeBox1), nullptr);
}

TEST_F(AppTest, CloseRequestEndsTheLoopAtOnce) {
    start("Name1=A\n");
    QTimer::singleShot(0, [this] { state.mainWindow.window()->close(); });
    runEventLoop(state, commands);
    EXPECT_EQ(state.quitRequested, 0);
    EXPECT_TRUE(state.mainWindow.window()->isVisible());  // teardown, not the request, destroys it
    tearDown(state);
}

// Writes the window as a person first sees it on the example palettes to build/window.png, for
// people to look at, and checks the swatches' pixels.
TEST_F(AppTest, ScreenshotOfTheExamples) {
    startUp(state, commands, CHROMABOX_EXAMPLES "/Chromabox.ini", CHROMABOX_EXAMPLES "/Palette Logo.png");
    ASSERT_TRUE(state.logoPicture.has_value());
    ASSERT_FALSE(state.paletteList.empty());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(state.mainWindow.window()));
    const QImage image = state.mainWindow.window()->grab().toImage();
    EXPECT_EQ(image.size(), QSize(650, 450));
    const auto codes = palette::splitHexCodes(state.paletteList.front().hexString);
    for (int k = 0; k < 5; ++k) {
        const auto expected = colourFromValue(palette::hexCodeToColour(codes[static_cast<std::size_t>(k)]));
        EXPECT_EQ(QColor(image.pixel(85 + 120 * k, 215)), expected.value_or(QColor()));
    }
    EXPECT_TRUE(image.save(CHROMABOX_BINARY_DIR "/window.png"));
}

TEST_F(AppTest, TerminationSignalEndsTheLoopLikeACloseRequest) {
    start("Name1=A\n");
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    runEventLoop(state, commands);
    EXPECT_EQ(state.quitRequested, 0);
    EXPECT_TRUE(state.mainWindow.window()->isVisible());
    tearDown(state);
}

TEST(Clipboard, CopyReplacesTheClipboardText) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    copyToClipboard("RGB(255, 170, 051)");
    EXPECT_EQ(clipboard->text(), "RGB(255, 170, 051)");
    copyToClipboard("");
    EXPECT_EQ(clipboard->text(), "");
}

TEST(Companion, MissingCompanionDoesNothing) {
    TempDir dir;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(dir.path().string()));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    launchCompanion();  // nothing to start, nothing to open: no crash, no message
    QDir::setCurrent(cwd);
    qputenv("PATH", path);
    SUCCEED();
}

TEST(Companion, StartsTheFirstOnPathDetachedEachTime) {
    TempDir dir;
    const auto log = dir.path() / "starts.log";
    const std::string script = "#!/bin/sh\necho \"$# $PWD\" >> '" + log.string() + "'\n";
    const auto program = dir.write("Pigmora.exe", script);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(dir.path().string()) + ":" + path);
    launchCompanion();
    launchCompanion();
    qputenv("PATH", path);
    std::string lines;
    for (int i = 0; i < 100 && std::count(lines.begin(), lines.end(), '\n') < 2; ++i) {
        QTest::qWait(20);
        std::ifstream in(log);
        lines.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string expected = "0 " + QDir::currentPath().toStdString() + "\n";
    EXPECT_EQ(lines, expected + expected);
}

}  // namespace
}  // namespace chromabox
