// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/PublisherTexts.h"

#include <QLocale>

#include <cstdio>

bool chineseLocale()
{
    // The messages' locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), as for any
    // other program's messages, not the one for numbers.
    static const bool chinese = QLocale::system().uiLanguages().value(0).startsWith(u"zh");
    return chinese;
}

QString localized(const QString& english, const QString& chinese)
{
    return chineseLocale() ? chinese : english;
}

void printOut(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

void printError(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stderr);
}
