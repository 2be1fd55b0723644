// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/DesktopNotification.h"

#include "platform/host/DesktopLog.h"
#include "platform/host/SessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace platform {

void DesktopNotification::send(SessionBus& bus) const
{
    bus.whenConnected(&bus,
                      [notification = *this](const QDBusConnection& connection) { notification.sendOn(connection); });
}

void DesktopNotification::sendOn(const QDBusConnection& bus) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    if (!desktopEntry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), desktopEntry);
    const uint replacesNone = 0;
    const int serverTimeout = -1;
    call << applicationName << replacesNone << iconName << summary << body << QStringList() << hints << serverTimeout;
    // Only a failure is waited for, to log it; the notification's id is of
    // no use, as it is never replaced or closed.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, summary = summary] {
        watcher->deleteLater();
        if (watcher->isError())
            qCWarning(lcDesktop) << "the notification" << summary << "was not shown:" << watcher->error().message();
    });
}

}  // namespace platform
