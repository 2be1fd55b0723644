// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace platform {

// The host operations several parts of the program share.

// The button the user closed a message box with.
using MessageAnswer = std::function<void(QMessageBox::StandardButton pressed)>;

// Opens the address in the user's browser; owner may be null. Returns at
// once and reports nothing. An empty address opens nothing.
void openInBrowser(QWidget* owner, const QString& address);

// Shows a message box modal to the whole program and returns at once;
// `answered`, if given, gets the button pressed once the user has closed it.
// Whatever waits for the answer waits in `answered`, not in a loop of its
// own.
void showMessage(const QString& title, const QString& prompt, QMessageBox::Icon icon,
                 QMessageBox::StandardButtons buttons, QWidget* owner, MessageAnswer answered = {});

// Opens a window-modal message box with an OK button and returns at once;
// the box deletes itself once closed. Null when a test answers boxes.
QMessageBox* openMessage(const QString& title, const QString& prompt, QMessageBox::Icon icon, QWidget* owner);

// Ends the program: its event loop, nested ones included, stops on its
// next turn, and everything is then destroyed in order, so files are
// closed and flushed. Callers return right after it.
void endProgram();

// The folder holding the program file, without a trailing separator.
QString programFolder();

// What a test process cannot do for real: answer a modal box, end itself,
// start a browser. Each replacement stays in force while its guard lives.
struct HostReplacements {
    // Stands in for the user before a box: hands `answer` the button
    // pressed, at once or later, as the user would.
    std::function<void(const QString& prompt, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                       MessageAnswer answer)>
        answerMessage;
    std::function<void()> endProgram;
    std::function<void(const QString& address)> openInBrowser;
};

class ScopedHostReplacements {
public:
    explicit ScopedHostReplacements(HostReplacements replacements);
    ~ScopedHostReplacements();
    ScopedHostReplacements(const ScopedHostReplacements&) = delete;
    ScopedHostReplacements& operator=(const ScopedHostReplacements&) = delete;

private:
    HostReplacements previous_;
};

}  // namespace platform
