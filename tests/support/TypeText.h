// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QWidget;

// Types text into a widget the way a user's keyboard does: plain ASCII as
// key presses, Chinese as text committed by the input method.
void typeText(QWidget* widget, const QString& text);
