// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The program's message boxes, all under the title "提示".
inline const QString kNoticeTitle = QStringLiteral("提示");

// Tells the user something; returns once the box is closed.
void showNotice(const QString& prompt, QMessageBox::Icon icon, QWidget* owner = nullptr);

// Asks a question with Yes and No under a warning sign; true for Yes.
bool askYesNo(const QString& prompt, QWidget* owner = nullptr);
