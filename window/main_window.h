// SPDX-License-Identifier: MIT
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace chromabox {

// The 26 controls of the main window by their fixed numbers; a number addresses the same control
// for the whole run.
enum class Control : int {
    HeaderBand = 0,
    Swatch1 = 1, Swatch2 = 2, Swatch3 = 3, Swatch4 = 4, Swatch5 = 5,
    LogoImage = 6,
    CodeBox1 = 7, CodeBox2 = 8, CodeBox3 = 9, CodeBox4 = 10, CodeBox5 = 11,
    PaletteNameLabel = 12,
    TitleLabel = 13,
    TaglineLabel = 14,
    HintCaption = 15,
    HintText = 16,
    OptionRgb = 17,
    FirstButton = 18, PrevButton = 19, NextButton = 20, LastButton = 21,
    OptionBgrHex = 22,
    DatabaseButton = 23,
    QuitButton = 24,
    OptionHtmlHex = 25,
};
inline constexpr int controlCount = 26;

// Column k (0 to 4) of the swatches and code boxes.
constexpr Control swatch(int k) { return static_cast<Control>(static_cast<int>(Control::Swatch1) + k); }
constexpr Control codeBox(int k) { return static_cast<Control>(static_cast<int>(Control::CodeBox1) + k); }

// Tab and Shift+Tab run through these, wrapping at both ends.
inline constexpr std::array<Control, 14> focusOrder = {
    Control::CodeBox1,    Control::CodeBox2,  Control::CodeBox3,   Control::CodeBox4,
    Control::CodeBox5,    Control::FirstButton, Control::PrevButton, Control::NextButton,
    Control::LastButton,  Control::DatabaseButton, Control::QuitButton, Control::OptionRgb,
    Control::OptionBgrHex, Control::OptionHtmlHex,
};

// What a control reports. Texts and checked states set by the program report nothing.
enum class ControlEventType { Clicked, FocusGained, FocusLost };

// The window's fixed colours as red, green, blue.
inline const QColor WindowTan{218, 186, 162};
inline const QColor HeaderBlue{0, 103, 153};
inline const QColor BoxYellow{255, 249, 204};

// What a code box tells a screen reader until its code is copied.
inline const QString codeBoxDescription = QStringLiteral("Moving the focus here copies the code to the clipboard");

// A colour value (red + green * 256 + blue * 65536) as the swatches show it. -1 means "no colour
// of its own": the default face colour. Any other value outside 0 to 16777215 shows the colour of
// its low three bytes, the top byte being ignored.
std::optional<QColor> colourFromValue(std::int32_t value);

// The title, name and tagline fonts, numbered 1 to 3.
enum class FontNumber : int { TitleFont = 1, NameFont = 2, TaglineFont = 3 };

class MainWindowHook;

// The main window and its control table. It builds the controls, sets their fixed looks and reports
// their events; what is shown in them is decided elsewhere. Operations on the number of a control
// that does not exist do nothing.
class MainWindow {
public:
    MainWindow();
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Receives every control event, in the order the events arose.
    std::function<void(Control, ControlEventType)> onControlEvent;
    // Receives a request to close the window (close box, system menu, Alt+F4). The window stays.
    std::function<void()> onCloseRequest;

    QWidget* window() const { return window_.get(); }
    QWidget* control(Control c) const { return controls_[static_cast<std::size_t>(c)]; }
    const std::optional<QFont>& font(FontNumber f) const { return fonts_[static_cast<std::size_t>(f) - 1]; }
    const QBrush& optionBackgroundBrush() const { return optionBackgroundBrush_; }

    void setText(Control c, const QString& text);
    QString text(Control c) const;
    // nullopt gives the control back its default background.
    void setBackground(Control c, std::optional<QColor> colour);
    void setChecked(Control c, bool checked);
    bool isChecked(Control c) const;
    // What a screen reader says about a control besides its name; assistive technology hears of
    // every change.
    void setAccessibleDescription(Control c, const QString& description);
    // Tells screen-reader users that the code of `box` went to the clipboard.
    void announceCopied(Control box, const QString& text);

    // Opens the window, centred on the primary screen, and creates its controls in their fixed
    // order; x and y are replaced by the centring. The window is visible when this returns.
    void build(const std::optional<QImage>& logoPicture, int x, int y, int width, int height);
    // Destroys the window with its controls, then the fonts and the brush.
    void release();

private:
    friend class MainWindowHook;

    void createControl(Control c, QWidget* widget, int x, int y, int width, int height);
    void centreOnScreen();
    void describeForAssistiveTechnology();
    void report(Control c, ControlEventType type);
    std::optional<Control> controlOf(const QObject* object) const;

    std::unique_ptr<QWidget> window_;
    std::array<QWidget*, controlCount> controls_{};
    std::array<std::optional<QFont>, 3> fonts_;
    QBrush optionBackgroundBrush_;
    std::unique_ptr<MainWindowHook> hook_;
};

// Builds the main window into `mainWindow`; the name the rest of the program calls it by.
void buildMainWindow(MainWindow& mainWindow, const std::optional<QImage>& logoPicture, int x, int y, int width,
                     int height);

// The font for a label: face, size in points turned into an em height in pixels at the screen's
// vertical dots per inch (96 when the screen does not say), and style. When the face is not
// installed the first installed substitute is used, else the platform's closest match.
QFont labelFont(const QString& face, int points, bool italic, const QStringList& substitutes = {});

// The font of every control that has none of its own.
QFont defaultControlFont();

}  // namespace chromabox
