// SPDX-License-Identifier: MIT
#include "window/main_window.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "window/logo_picture.h"

namespace chromabox {

// Stands between the platform and the window's controls: it sees every event of the window and of
// the focusable controls before they do. It takes Tab and Shift+Tab to walk the fixed focus order,
// reports the code boxes' focus changes, and turns a close request into onCloseRequest. It compares
// event types and pointers only and allocates nothing.
class MainWindowHook : public QObject {
public:
    explicit MainWindowHook(MainWindow& owner) : owner_(owner) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress: {
                const auto* key = static_cast<QKeyEvent*>(event);
                if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) break;
                if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier))) {
                    moveFocus(/*forward=*/false);
                    return true;
                }
                if (key->key() == Qt::Key_Tab) {
                    moveFocus(/*forward=*/true);
                    return true;
                }
                break;
            }
            case QEvent::FocusIn:
            case QEvent::FocusOut: {
                const auto control = owner_.controlOf(watched);
                if (!control || *control < Control::CodeBox1 || *control > Control::CodeBox5) break;
                // A context menu closing hands the focus back to the box it came from: the focus
                // never left the box as far as the user is concerned.
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason == Qt::PopupFocusReason) break;
                owner_.report(*control, event->type() == QEvent::FocusIn ? ControlEventType::FocusGained
                                                                         : ControlEventType::FocusLost);
                break;
            }
            case QEvent::Paint:
                // The window manager frames the window only after it is shown; once the first
                // paint comes, the frame is known and the window is centred by its outer size.
                if (watched == owner_.window() && centrePending_) {
                    centrePending_ = false;
                    owner_.centreOnScreen();
                }
                break;
            case QEvent::Close:
                if (watched == owner_.window()) {
                    // The request neither closes nor destroys the window: whoever listens decides.
                    event->ignore();
                    if (owner_.onCloseRequest) owner_.onCloseRequest();
                    return true;
                }
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Tab from no focused control goes to the first control of the order, Shift+Tab to the last.
    void moveFocus(bool forward) {
        const auto current = owner_.controlOf(QApplication::focusWidget());
        const auto at = current ? std::find(focusOrder.begin(), focusOrder.end(), *current) : focusOrder.end();
        const int n = static_cast<int>(focusOrder.size());
        int index = at == focusOrder.end() ? (forward ? -1 : n) : static_cast<int>(at - focusOrder.begin());
        for (int step = 0; step < n; ++step) {
            index = (index + (forward ? 1 : n - 1)) % n;
            QWidget* next = owner_.control(focusOrder[static_cast<std::size_t>(index)]);
            if (next && next->isEnabled() && next->isVisible()) {
                next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return;
            }
        }
    }

    MainWindow& owner_;
    bool centrePending_ = true;
};

namespace {

// The platform's face colour for controls that have no colour of their own.
QColor defaultFaceColour() { return QApplication::palette().color(QPalette::Button); }

// The screen's vertical dots per inch, read once; 96 when there is no screen to ask.
qreal screenDotsPerInch() {
    static const qreal dpi = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const qreal value = screen ? screen->logicalDotsPerInchY() : 0.0;
        return value > 0.0 ? value : 96.0;
    }();
    return dpi;
}

int pixelsForPoints(qreal points) { return static_cast<int>(std::lround(points * screenDotsPerInch() / 72.0)); }

void setRoleColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* newLabel(QWidget* parent, const QString& text, Qt::Alignment horizontal) {
    auto* label = new QLabel(parent);
    // Names come from the user's file: never markup, never a mnemonic.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(horizontal | Qt::AlignTop);
    label->setText(text);
    return label;
}

// A label in its own colours; without a font of its own it takes the window's.
QLabel* newColouredLabel(QWidget* parent, const QString& text, Qt::Alignment horizontal,
                         const std::optional<QFont>& font, const QColor& textColour, const QColor& background) {
    QLabel* label = newLabel(parent, text, horizontal);
    if (font) label->setFont(*font);
    setRoleColour(label, QPalette::WindowText, textColour);
    label->setAutoFillBackground(true);
    setRoleColour(label, QPalette::Window, background);
    return label;
}

QFrame* newContainer(QWidget* parent, bool flatBorder) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(flatBorder ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    frame->setLineWidth(1);
    frame->setAutoFillBackground(true);
    return frame;
}

QLineEdit* newCodeBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFrame(true);
    setRoleColour(box, QPalette::Base, BoxYellow);
    box->setText(QStringLiteral("RGB(123,123,123)"));
    box->setCursorPosition(0);
    return box;
}

QPushButton* newPushButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);  // a click takes the focus, as Tab does
    return button;
}

// The title bar and the task switcher take small sizes; the large ones come from the icon theme
// through the desktop entry. Decoding only these keeps start-up short, and decoding them with the
// logo's own PNG reader spares Qt's image readers, whose first use scans and loads every image
// format plugin installed.
QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QFile file(QStringLiteral(":/chromabox/chromabox-%1.png").arg(size));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = file.readAll();
        const auto image = decodePng({reinterpret_cast<const unsigned char*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size())});
        if (image) icon.addPixmap(QPixmap::fromImage(*image));
    }
    return icon;
}

// Centres the window's outer size (frame included) on the whole primary screen; a window larger
// than the screen in one direction goes to 0 there.
QPoint centredPosition(const QSize& outer) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0};
    const QRect area = screen->geometry();
    return {area.x() + std::max(0, (area.width() - outer.width()) / 2),
            area.y() + std::max(0, (area.height() - outer.height()) / 2)};
}

}  // namespace

std::optional<QColor> colourFromValue(std::int32_t value) {
    if (value == -1) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(value);
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

QFont labelFont(const QString& face, int points, bool italic, const QStringList& substitutes) {
    // The first installed of the face and its substitutes, asked of the font database directly:
    // handed the whole list, Qt first searches fallbacks for a missing face and ignores a foundry
    // named after any family but the first.
    QFont font(face);
    if (!substitutes.isEmpty() && !QFontDatabase::hasFamily(face)) {
        const auto installed = std::find_if(substitutes.begin(), substitutes.end(),
                                             [](const QString& s) { return QFontDatabase::hasFamily(s); });
        if (installed != substitutes.end()) {
            font.setFamily(*installed);
        } else {
            font.setFamilies(QStringList{face} + substitutes);
        }
    }
    font.setPixelSize(pixelsForPoints(points));
    font.setItalic(italic);
    font.setWeight(QFont::Normal);
    return font;
}

QFont defaultControlFont() {
    // A sans face of 7.5 points (10 pixels at 96 dots per inch): the widest captions and codes fit
    // the fixed sizes of their controls, "Display HTML Hex" beside its circle included.
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"),
                      QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelsForPoints(7.5));
    return font;
}

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() { release(); }

void MainWindow::setText(Control c, const QString& text) {
    QWidget* widget = control(c);
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        // A new code has not been copied yet.
        if (box->text() != text) setAccessibleDescription(c, codeBoxDescription);
        box->setText(text);
        box->setCursorPosition(0);  // a long code shows its beginning
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    }
}

QString MainWindow::text(Control c) const {
    const QWidget* widget = control(c);
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) return box->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    return {};
}

void MainWindow::setBackground(Control c, std::optional<QColor> colour) {
    QWidget* widget = control(c);
    if (!widget) return;
    const bool isBox = qobject_cast<QLineEdit*>(widget) != nullptr;
    widget->setAutoFillBackground(true);
    setRoleColour(widget, isBox ? QPalette::Base : QPalette::Window, colour.value_or(defaultFaceColour()));
}

void MainWindow::setAccessibleDescription(Control c, const QString& description) {
    QWidget* widget = control(c);
    if (!widget || widget->accessibleDescription() == description) return;
    widget->setAccessibleDescription(description);
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void MainWindow::announceCopied(Control box, const QString& text) {
    setAccessibleDescription(box, QStringLiteral("%1 copied to the clipboard").arg(text));
}

void MainWindow::setChecked(Control c, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(control(c))) button->setChecked(checked);
}

bool MainWindow::isChecked(Control c) const {
    const auto* button = qobject_cast<const QAbstractButton*>(control(c));
    return button && button->isChecked();
}

void MainWindow::createControl(Control c, QWidget* widget, int x, int y, int width, int height) {
    widget->setGeometry(x, y, width, height);
    widget->show();
    controls_[static_cast<std::size_t>(c)] = widget;
}

void MainWindow::centreOnScreen() {
    if (!window_) return;
    const QPoint centred = centredPosition(window_->frameGeometry().size());
    if (window_->frameGeometry().topLeft() != centred) window_->move(centred);
}

void MainWindow::report(Control c, ControlEventType type) {
    if (onControlEvent) onControlEvent(c, type);
}

std::optional<Control> MainWindow::controlOf(const QObject* object) const {
    if (!object) return std::nullopt;
    for (int i = 0; i < controlCount; ++i) {
        if (controls_[static_cast<std::size_t>(i)] == object) return static_cast<Control>(i);
    }
    return std::nullopt;
}

void MainWindow::build(const std::optional<QImage>& logoPicture, int /*x*/, int /*y*/, int width, int height) {
    release();

    // 1-2. The window: fixed client size, no maximise button, tan background. It holds the focus
    // itself, so that no control has it when the window is first activated.
    window_ = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                                     Qt::WindowCloseButtonHint);
    QWidget* w = window_.get();
    w->setWindowTitle(QStringLiteral("Chromabox 1.0"));
    w->setWindowIcon(programIcon());
    w->setFixedSize(width, height);
    w->setAutoFillBackground(true);
    setRoleColour(w, QPalette::Window, WindowTan);
    w->setFont(defaultControlFont());
    w->setFocusPolicy(Qt::NoFocus);
    w->setFocus(Qt::OtherFocusReason);
    w->move(centredPosition(QSize(width, height)));
    w->show();

    // 3. HeaderBand.
    QFrame* band = newContainer(w, /*flatBorder=*/false);
    setRoleColour(band, QPalette::Window, HeaderBlue);
    createControl(Control::HeaderBand, band, 0, 0, 650, 60);

    // 4. The swatches, in the face colour until a palette is shown.
    for (int k = 0; k < 5; ++k) {
        QFrame* swatchFrame = newContainer(w, /*flatBorder=*/true);
        setRoleColour(swatchFrame, QPalette::Window, defaultFaceColour());
        createControl(swatch(k), swatchFrame, 30 + 120 * k, 125, 110, 180);
    }

    // 5. LogoImage: the picture at its own size, blended over the band; 50 x 40 and empty without.
    auto* logo = new QLabel(w);
    logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QSize logoSize(50, 40);
    if (logoPicture && !logoPicture->isNull()) {
        logo->setPixmap(QPixmap::fromImage(*logoPicture));
        logoSize = logoPicture->size();
    }
    createControl(Control::LogoImage, logo, 10, 5, logoSize.width(), logoSize.height());

    // 6-8. The three labels with fonts of their own exist only when their font does.
    fonts_[0] = labelFont(QStringLiteral("Arial Rounded MT Bold"), 32, /*italic=*/true);
    if (fonts_[0]) {
        createControl(Control::TitleLabel,
                      newColouredLabel(w, QStringLiteral("Chromabox"), Qt::AlignLeft, fonts_[0], Qt::white, HeaderBlue),
                      90, 5, 510, 50);
    }
    fonts_[1] = labelFont(QStringLiteral("Arial Rounded MT Bold"), 24, /*italic=*/false);
    if (fonts_[1]) {
        createControl(Control::PaletteNameLabel,
                      newColouredLabel(w, QStringLiteral("myChosen Palette"), Qt::AlignHCenter, fonts_[1], Qt::white,
                                       WindowTan),
                      130, 75, 390, 50);
    }
    // A calligraphic face stands in for the tagline's when it is not installed: a plain sans face
    // of that size would not fit "for form designs" on the label's one line. Debian installs that
    // face twice; its OpenType file (filed by fontconfig under the foundry "UKWN") opens in half the
    // time of the Type 1 one that a bare "Z003" picks, which start-up notices.
    fonts_[2] = labelFont(QStringLiteral("Cataneo BT"), 14, /*italic=*/false,
                          {QStringLiteral("Z003 [UKWN]"), QStringLiteral("Z003"), QStringLiteral("URW Chancery L"),
                           QStringLiteral("TeX Gyre Chorus")});
    if (fonts_[2]) {
        createControl(Control::TaglineLabel,
                      newColouredLabel(w, QStringLiteral("for form designs"), Qt::AlignLeft, fonts_[2], Qt::white,
                                       HeaderBlue),
                      360, 27, 130, 25);
    }

    // 9. The code boxes.
    for (int k = 0; k < 5; ++k) createControl(codeBox(k), newCodeBox(w), 30 + 120 * k, 315, 110, 18);

    // 10. The hint.
    createControl(Control::HintCaption,
                  newColouredLabel(w, QStringLiteral("Hint:"), Qt::AlignLeft, std::nullopt, Qt::red, WindowTan), 147,
                  340, 80, 18);
    QLabel* hint = newLabel(w, QStringLiteral("Click on a text-box and save the color to the clipboard."), Qt::AlignLeft);
    hint->setAutoFillBackground(true);
    setRoleColour(hint, QPalette::Window, WindowTan);
    createControl(Control::HintText, hint, 160, 355, 300, 35);

    // 11. The push buttons.
    createControl(Control::FirstButton, newPushButton(w, QStringLiteral("|<")), 500, 360, 30, 30);
    createControl(Control::PrevButton, newPushButton(w, QStringLiteral("<")), 530, 360, 30, 30);
    createControl(Control::NextButton, newPushButton(w, QStringLiteral(">")), 560, 360, 30, 30);
    createControl(Control::LastButton, newPushButton(w, QStringLiteral(">|")), 590, 360, 30, 30);
    createControl(Control::DatabaseButton, newPushButton(w, QStringLiteral("Database")), 365, 400, 130, 35);
    createControl(Control::QuitButton, newPushButton(w, QStringLiteral("Quit")), 500, 400, 120, 35);

    // 12. The option buttons: one exclusive group, painted with the one tan brush.
    optionBackgroundBrush_ = QBrush(WindowTan, Qt::SolidPattern);
    auto* group = new QButtonGroup(w);
    group->setExclusive(true);
    const struct {
        Control control;
        const char* caption;
        int y;
    } options[] = {{Control::OptionRgb, "Display RGB()", 360},
                   {Control::OptionBgrHex, "Display PB Hex", 390},
                   {Control::OptionHtmlHex, "Display HTML Hex", 420}};
    for (const auto& option : options) {
        auto* button = new QRadioButton(QString::fromLatin1(option.caption), w);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoFillBackground(true);
        QPalette palette = button->palette();
        palette.setBrush(button->backgroundRole(), optionBackgroundBrush_);
        button->setPalette(palette);
        group->addButton(button, static_cast<int>(option.control));
        createControl(option.control, button, 30, option.y, 110, 20);
        if (option.control == Control::OptionRgb) button->setChecked(true);
    }

    // Clicks of every button are reported by control number; nothing the program sets reports anything.
    for (Control c : focusOrder) {
        if (auto* button = qobject_cast<QAbstractButton*>(control(c))) {
            QObject::connect(button, &QAbstractButton::clicked, w, [this, c] { report(c, ControlEventType::Clicked); });
        }
    }

    describeForAssistiveTechnology();

    // 13. The hook sees the window's and the focusable controls' events first.
    hook_ = std::make_unique<MainWindowHook>(*this);
    w->installEventFilter(hook_.get());
    for (Control c : focusOrder) {
        if (QWidget* widget = control(c)) widget->installEventFilter(hook_.get());
    }
}

void MainWindow::describeForAssistiveTechnology() {
    // Names a screen reader speaks where the caption alone says too little; labels and option
    // buttons are read by their own texts.
    const struct {
        Control control;
        const char* name;
        const char* description;
    } rows[] = {
        {Control::HeaderBand, "Header", nullptr},
        {Control::LogoImage, "Logo", nullptr},
        {Control::PaletteNameLabel, nullptr, "Palette name"},
        {Control::FirstButton, "First palette", nullptr},
        {Control::PrevButton, "Previous palette", nullptr},
        {Control::NextButton, "Next palette", nullptr},
        {Control::LastButton, "Last palette", nullptr},
        {Control::DatabaseButton, nullptr, "Start the colour database program"},
        {Control::QuitButton, nullptr, "Close Chromabox"},
        {Control::OptionRgb, nullptr, "Show the codes as RGB() values"},
        {Control::OptionBgrHex, nullptr, "Show the codes as $ followed by blue, green and red in hexadecimal"},
        {Control::OptionHtmlHex, nullptr, "Show the codes as the palette list writes them"},
    };
    for (const auto& row : rows) {
        QWidget* widget = control(row.control);
        if (!widget) continue;
        if (row.name) widget->setAccessibleName(QString::fromLatin1(row.name));
        if (row.description) widget->setAccessibleDescription(QString::fromLatin1(row.description));
    }
    for (int k = 0; k < 5; ++k) {
        if (QWidget* widget = control(swatch(k))) widget->setAccessibleName(QStringLiteral("Colour %1").arg(k + 1));
        if (QWidget* widget = control(codeBox(k))) {
            widget->setAccessibleName(QStringLiteral("Colour %1 code").arg(k + 1));
            widget->setAccessibleDescription(codeBoxDescription);
        }
    }
}

void MainWindow::release() {
    optionBackgroundBrush_ = QBrush();
    // Focus changes while the controls are destroyed are no user's doing: report none of them.
    if (hook_) {
        if (window_) window_->removeEventFilter(hook_.get());
        for (QWidget* widget : controls_) {
            if (widget) widget->removeEventFilter(hook_.get());
        }
    }
    window_.reset();  // deletes every control with it
    controls_.fill(nullptr);
    hook_.reset();
    for (auto& font : fonts_) font.reset();
}

void buildMainWindow(MainWindow& mainWindow, const std::optional<QImage>& logoPicture, int x, int y, int width,
                     int height) {
    mainWindow.build(logoPicture, x, y, width, height);
}

}  // namespace chromabox
