// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

class QWidget;

namespace platform {

// A modal box with the title, prompt, icon and buttons given, the first
// button the default. Built apart from being run so its look can be checked.
std::unique_ptr<QMessageBox> buildMessageBox(const QString& title, const QString& prompt, QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons, QWidget* owner = nullptr);

// Runs the box until the user closes it and returns the button pressed.
// Closing a Yes/No box with Escape or the close box answers No.
QMessageBox::StandardButton runMessageBox(QMessageBox& box);

}  // namespace platform
