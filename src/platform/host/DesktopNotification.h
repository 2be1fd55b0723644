// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace platform {

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

    // Hands the notification to the desktop and returns at once. With no
    // session bus or no notification service nothing is shown and a line
    // is logged under "kardelo.desktop".
    void send() const;
};

}  // namespace platform
