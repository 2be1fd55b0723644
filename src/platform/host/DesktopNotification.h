// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QDBusConnection;

namespace platform {

class SessionBus;

// One notification for the desktop's notification area, shown through the
// org.freedesktop.Notifications service on the session bus.
struct DesktopNotification {
    QString applicationName;
    // An icon name from the icon theme, or empty for none.
    QString iconName;
    QString summary;
    QString body;
    // The desktop entry's name without ".desktop", which lets the desktop
    // group the notification with the program; empty for none.
    QString desktopEntry;

    // Hands the notification to the desktop on `bus` and returns at once;
    // before the bus is there, it is handed over once it comes. With no
    // session bus or no notification service nothing is shown and a line
    // is logged under "kardelo.desktop".
    void send(SessionBus& bus) const;

private:
    void sendOn(const QDBusConnection& bus) const;
};

}  // namespace platform
