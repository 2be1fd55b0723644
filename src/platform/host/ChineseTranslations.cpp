// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/ChineseTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

bool installChineseStandardTexts(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace platform
