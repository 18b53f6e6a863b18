// SPDX-License-Identifier: MIT
// Runs under a QT_SCALE_FACTOR set by CTest: the window keeps its layout in proportion, and no
// text that fits at scale 1 is clipped.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

#include "window/app.h"
#include "window/palette_view.h"

namespace chromabox {
namespace {

qreal scale() { return qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble(); }

class ScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        startUp(state, commands, CHROMABOX_EXAMPLES "/Chromabox.ini", CHROMABOX_EXAMPLES "/Palette Logo.png");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(state.mainWindow.window()));
    }
    ProgramState state;
    Commands commands;
};

TEST_F(ScaleTest, WindowGrowsInProportion) {
    const QPixmap shot = state.mainWindow.window()->grab();
    EXPECT_DOUBLE_EQ(shot.devicePixelRatio(), scale());
    EXPECT_EQ(shot.size(), QSize(qRound(650 * scale()), qRound(450 * scale())));
    const QImage image = shot.toImage();
    // Positions in device pixels: the band, the first swatch, the first code box, the window.
    const auto at = [&](int x, int y) { return QColor(image.pixel(qFloor(x * scale()), qFloor(y * scale()))); };
    EXPECT_EQ(at(640, 3), HeaderBlue);
    EXPECT_EQ(at(85, 215), QColor(0x8C, 0x3B, 0x1F));
    EXPECT_EQ(at(33, 331), BoxYellow);
    EXPECT_EQ(at(5, 445), WindowTan);
    if (qFuzzyCompare(scale(), 2.0)) {
        EXPECT_TRUE(image.save(CHROMABOX_BINARY_DIR "/window@2x.png"));
    }
}

TEST_F(ScaleTest, TextsThatFitAtOneStillFit) {
    // Fonts are laid out in device pixels; text must still fit the unscaled sizes it was given.
    for (int i = 0; i < controlCount; ++i) {
        QWidget* w = state.mainWindow.control(static_cast<Control>(i));
        const QString text = state.mainWindow.text(static_cast<Control>(i));
        if (!w || text.isEmpty() || qobject_cast<QLabel*>(w)) continue;
        if (qobject_cast<QRadioButton*>(w)) {
            // The circle and its spacing come before the caption.
            EXPECT_LE(w->sizeHint().width(), w->width()) << text.toStdString();
            continue;
        }
        // A line edit keeps a few pixels of frame and margin on each side.
        const int room = qobject_cast<QLineEdit*>(w) ? w->width() - 8 : w->width();
        EXPECT_LE(w->fontMetrics().horizontalAdvance(text), room) << i << " " << text.toStdString();
    }
    const auto* tagline = qobject_cast<QLabel*>(state.mainWindow.control(Control::TaglineLabel));
    EXPECT_LE(tagline->fontMetrics().horizontalAdvance(tagline->text()), tagline->width());
    const auto* hint = qobject_cast<QLabel*>(state.mainWindow.control(Control::HintText));
    EXPECT_LE(hint->heightForWidth(hint->width()), hint->height());
}

}  // namespace
}  // namespace chromabox
