// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadNotices.h"

#include "platform/host/DesktopNotification.h"
#include "platform/host/SessionBus.h"

#include <QWidget>

DownloadNotices::DownloadNotices(QWidget* window, platform::SessionBus& bus, QObject* parent)
    : QObject(parent),
      window_(window),
      bus_(&bus)
{
}

void DownloadNotices::downloadFinished(const QString& lectureTitle, bool stored)
{
    if (!bus_ || (window_ && window_->isActiveWindow()))
        return;
    platform::DesktopNotification notification;
    notification.applicationName = QStringLiteral("Kardelo");
    notification.iconName = QStringLiteral("org.kardelo.Kardelo");
    notification.desktopEntry = QStringLiteral("org.kardelo.Kardelo");
    notification.summary = stored ? QStringLiteral("下载完成") : QStringLiteral("下载失败!");
    // Notification servers may read the body as markup; a title comes from
    // the server and is shown as the text it is.
    notification.body = lectureTitle.toHtmlEscaped();
    notification.send(*bus_);
}
