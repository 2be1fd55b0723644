// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

// A modal box with the title, prompt, icon and buttons given, the first
// button the default. Built apart from being shown so its look can be
// checked.
std::unique_ptr<QMessageBox> buildMessageBox(const QString& title, const QString& prompt, QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons, QWidget* owner = nullptr);

// Shows the box, as modal as it was built, and returns at once: the event
// loop goes on. Once the user has closed it, `answered` gets the button
// pressed and the box deletes itself. Closing a Yes/No box with Escape or
// the close box answers No.
QMessageBox* showMessageBox(std::unique_ptr<QMessageBox> box,
                            std::function<void(QMessageBox::StandardButton)> answered);

}  // namespace platform
