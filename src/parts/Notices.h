// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The program's message boxes, all under the title "提示". Each returns at
// once; what follows the user's answer goes in its callback.
inline const QString kNoticeTitle = QStringLiteral("提示");

// Tells the user something; `closed`, if given, runs once the box is closed.
void showNotice(const QString& prompt, QMessageBox::Icon icon, QWidget* owner = nullptr,
                std::function<void()> closed = {});

// Asks a question with Yes and No under a warning sign; `answered` gets true
// for Yes once the user has answered.
void askYesNo(const QString& prompt, QWidget* owner, std::function<void(bool yes)> answered);
