// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The tool speaks to publishers in Chinese when their locale is Chinese and
// in English otherwise. Both texts stand side by side where they are used,
// so a message is never left untranslated.
bool chineseLocale();
QString localized(const QString& english, const QString& chinese);

// The tool's own output, UTF-8 whatever the locale.
void printOut(const QString& text);
void printError(const QString& text);
