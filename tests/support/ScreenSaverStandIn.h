// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

// The desktop's screen saver service, stood in for on the test's own
// session bus. It is registered on a connection of its own, so the
// program's calls travel through the bus daemon as they would to a real
// desktop. It hands out cookies from 42 up and records every call.
class ScreenSaverStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    ScreenSaverStandIn()
    {
        registered =
            bus_.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this, QDBusConnection::ExportAllSlots)
            && bus_.registerService(kService);
    }
    // The name is given back at once, so the next stand-in can take it.
    ~ScreenSaverStandIn() override
    {
        bus_.unregisterService(kService);
        QDBusConnection::disconnectFromBus(bus_.name());
    }

    bool registered = false;
    // "Inhibit 42 Kardelo 正在播放讲座", "UnInhibit 42", in the order they came.
    QStringList calls;

public slots:
    uint Inhibit(const QString& application, const QString& reason)
    {
        calls << QStringLiteral("Inhibit %1 %2 %3").arg(nextCookie_).arg(application, reason);
        return nextCookie_++;
    }
    void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }

private:
    static inline const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
    QDBusConnection bus_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
    uint nextCookie_ = 42;
};
