// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoreApplication>
#include <QString>

// The tool speaks to publishers in Chinese when their messages' locale is
// Chinese and in English otherwise. Its texts are written in English, in
// tr(); the Chinese are in translations/kardelo-library_zh_CN.ts, built into
// the tool by CMake. Installs that translation when the messages' locale
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) is Chinese, any Chinese.
void installTranslation(QCoreApplication& application);

// The tool's own output, UTF-8 whatever the locale.
void printOut(const QString& text);
void printError(const QString& text);
