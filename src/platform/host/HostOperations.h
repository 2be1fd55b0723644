// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace platform {

// The host operations several parts of the program share.

// Opens the address in the user's browser; owner may be null. Returns at
// once and reports nothing. An empty address opens nothing.
void openInBrowser(QWidget* owner, const QString& address);

// Shows a modal message box and returns the button the user pressed.
QMessageBox::StandardButton showMessage(const QString& title, const QString& prompt, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons, QWidget* owner = nullptr);

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
    std::function<QMessageBox::StandardButton(const QString& prompt, QMessageBox::Icon icon,
                                              QMessageBox::StandardButtons buttons)>
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
