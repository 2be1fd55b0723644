// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/PublisherTexts.h"

#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

#include <cstdio>

namespace {

Q_LOGGING_CATEGORY(lcTexts, "kardelo.publishing.texts", QtWarningMsg)

}  // namespace

void installTranslation(QCoreApplication& application)
{
    // The messages' locale, as for any other program's messages, not the
    // one for numbers; there is one translation, for every Chinese.
    if (!QLocale::system().uiLanguages().value(0).startsWith(u"zh"))
        return;
    auto* translator = new QTranslator(&application);
    const QString file = QStringLiteral(":/i18n/kardelo-library_zh_CN.qm");
    if (translator->load(file))
        application.installTranslator(translator);
    else
        qCWarning(lcTexts) << "cannot load" << file << "; the tool speaks English";
}

void printOut(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

void printError(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stderr);
}
