// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/DesktopServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace platform {

void openAddressInBrowser(const QString& address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

QString executableFolder()
{
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    while (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

}  // namespace platform
