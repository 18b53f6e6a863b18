// SPDX-License-Identifier: MIT
#include "window/app.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QSocketNotifier>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include "window/logo_picture.h"
#include "window/palette_view.h"

namespace chromabox {

Action actionFor(Control control, ControlEventType type) {
    switch (control) {
        case Control::CodeBox1:
        case Control::CodeBox2:
        case Control::CodeBox3:
        case Control::CodeBox4:
        case Control::CodeBox5:
            return type == ControlEventType::FocusGained ? Action::CopyCodeBox : Action::None;
        case Control::OptionRgb: return Action::ShowRgb;
        case Control::FirstButton: return Action::GoFirst;
        case Control::PrevButton: return Action::GoPrevious;
        case Control::NextButton: return Action::GoNext;
        case Control::LastButton: return Action::GoLast;
        case Control::OptionBgrHex: return Action::ShowBgrHex;
        case Control::DatabaseButton: return Action::LaunchCompanion;
        case Control::QuitButton: return Action::Quit;
        case Control::OptionHtmlHex: return Action::ShowHtmlHex;
        // Whatever the band, the swatches, the labels and the logo report is ignored.
        case Control::HeaderBand:
        case Control::Swatch1:
        case Control::Swatch2:
        case Control::Swatch3:
        case Control::Swatch4:
        case Control::Swatch5:
        case Control::LogoImage:
        case Control::PaletteNameLabel:
        case Control::TitleLabel:
        case Control::TaglineLabel:
        case Control::HintCaption:
        case Control::HintText:
            return Action::None;
    }
    return Action::None;
}

void handleControlEvent(ProgramState& state, const Commands& commands, Control control, ControlEventType type) {
    switch (actionFor(control, type)) {
        case Action::None: break;
        case Action::CopyCodeBox: {
            const QString text = state.mainWindow.text(control);
            if (commands.copyToClipboard) commands.copyToClipboard(text);
            state.mainWindow.announceCopied(control, text);
            break;
        }
        case Action::ShowRgb: showInFormat(state, palette::DisplayFormat::FormatRgb); break;
        case Action::ShowBgrHex: showInFormat(state, palette::DisplayFormat::FormatBgrHex); break;
        case Action::ShowHtmlHex: showInFormat(state, palette::DisplayFormat::FormatHtmlHex); break;
        case Action::GoFirst: goFirst(state); break;
        case Action::GoPrevious: goPrevious(state); break;
        case Action::GoNext: goNext(state); break;
        case Action::GoLast: goLast(state); break;
        case Action::LaunchCompanion:
            if (commands.launchCompanion) commands.launchCompanion();
            break;
        case Action::Quit: state.quitRequested = 1; break;
    }
}

void copyToClipboard(const QString& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text, QClipboard::Clipboard);
}

void launchCompanion() {
    const QString name = QStringLiteral("Pigmora.exe");
    if (QProcess::startDetached(name, {})) return;
    // The second attempt goes through the desktop's opener, which only knows files: hand it the
    // file of that name in the working directory, if there is one, so that it has nothing to
    // complain about otherwise.
    const QFileInfo local(QDir::current().absoluteFilePath(name));
    if (local.isFile()) QDesktopServices::openUrl(QUrl::fromLocalFile(local.absoluteFilePath()));
}

void showListFailure(QWidget* over) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Chromabox List"), QStringLiteral("Couldn't read list"),
                    QMessageBox::Ok, over);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Commands platformCommands() { return {&copyToClipboard, &launchCompanion, &showListFailure}; }

void startUp(ProgramState& state, const Commands& commands, const std::filesystem::path& listFile,
             const std::filesystem::path& logoFile) {
    state.paletteList.clear();
    state.currentIndex = 1;
    state.quitRequested = 0;
    state.logoPicture = loadLogoPicture(logoFile);
    buildMainWindow(state.mainWindow, state.logoPicture, 0, 0, 650, 450);
    if (auto list = palette::loadPaletteList(listFile)) {
        state.paletteList = std::move(*list);
    } else if (commands.showListFailure) {
        commands.showListFailure(state.mainWindow.window());
    }
    showPalette(state.mainWindow, state.paletteList, 1, palette::DisplayFormat::FormatRgb);
}

namespace {

// SIGTERM (a session ending) and SIGINT (Ctrl+C in a terminal) are close requests too: the handler
// only writes a byte to a pipe, and the loop reads it like any other event.
int terminationPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
}

class TerminationSignals {
public:
    TerminationSignals() {
        if (terminationPipe[0] < 0 && ::pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
        notifier_ = std::make_unique<QSocketNotifier>(terminationPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [] {
            char byte;
            while (::read(terminationPipe[0], &byte, 1) > 0) {
            }
            QCoreApplication::exit(0);
        });
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, &previousTerm_);
        ::sigaction(SIGINT, &action, &previousInt_);
    }
    ~TerminationSignals() {
        if (!notifier_) return;
        ::sigaction(SIGTERM, &previousTerm_, nullptr);
        ::sigaction(SIGINT, &previousInt_, nullptr);
    }
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
};

}  // namespace

void runEventLoop(ProgramState& state, const Commands& commands) {
    state.mainWindow.onControlEvent = [&state, &commands](Control control, ControlEventType type) {
        handleControlEvent(state, commands, control, type);
        if (state.quitRequested == 1) QCoreApplication::exit(0);
    };
    state.mainWindow.onCloseRequest = [] { QCoreApplication::exit(0); };
    const TerminationSignals terminationSignals;
    QApplication::exec();
    state.mainWindow.onControlEvent = nullptr;
    state.mainWindow.onCloseRequest = nullptr;
}

void tearDown(ProgramState& state) {
    state.mainWindow.release();
    state.logoPicture.reset();
    state.paletteList = {};
}

int runChromabox() {
    // The program reads no command line: Qt gets a name and nothing else to parse.
    int argc = 1;
    char name[] = "chromabox";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Lets a Wayland compositor match the window to its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.chromabox.Chromabox"));
    QApplication::setApplicationName(QStringLiteral("Chromabox"));
    {
        ProgramState state;
        const Commands commands = platformCommands();
        startUp(state, commands);
        runEventLoop(state, commands);
        tearDown(state);
    }
    return 0;
}

}  // namespace chromabox
