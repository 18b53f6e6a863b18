// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <filesystem>
#include <functional>

#include "window/logo_picture.h"
#include "window/main_window.h"
#include "window/program_state.h"

namespace chromabox {

// What one control event asks for: the dispatch table, a plain function of the event.
enum class Action {
    None,
    CopyCodeBox,
    ShowRgb,
    ShowBgrHex,
    ShowHtmlHex,
    GoFirst,
    GoPrevious,
    GoNext,
    GoLast,
    LaunchCompanion,
    Quit,
};
Action actionFor(Control control, ControlEventType type);

// The program's effects on the world outside its window, each behind one function that a test
// can replace or observe.
struct Commands {
    std::function<void(const QString&)> copyToClipboard;
    std::function<void()> launchCompanion;
    std::function<void(QWidget* over)> showListFailure;  // the "Couldn't read list" message
};

// The real ones: the system clipboard, the companion program, a modal message box.
Commands platformCommands();

// Replaces the clipboard's contents with `text` as Unicode text. Fails silently.
void copyToClipboard(const QString& text);

// Starts "Pigmora.exe" by bare name (looked up on PATH), detached and without arguments; when that
// fails, hands the file of that name in the working directory to the desktop's opener. Never waits,
// keeps no handle, reports nothing.
void launchCompanion();

// The modal "Couldn't read list" message box over `over`, with a single OK button and no icon.
void showListFailure(QWidget* over);

// Carries out one control event; sets quitRequested for Quit.
void handleControlEvent(ProgramState& state, const Commands& commands, Control control, ControlEventType type);

// Start-up after the platform is up: empty list, index 1, logo, window, list, palette 1. The
// window is visible when this returns, and the list failure, if any, has been shown.
void startUp(ProgramState& state, const Commands& commands,
             const std::filesystem::path& listFile = palette::ListFileName,
             const std::filesystem::path& logoFile = LogoFileName);

// Hands events to handleControlEvent until Quit or a close request; returns when the loop ends.
void runEventLoop(ProgramState& state, const Commands& commands);

// Releases the brush, the window with its controls, the picture, the fonts and the list.
void tearDown(ProgramState& state);

// The whole program; always returns 0.
int runChromabox();

}  // namespace chromabox
