// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace platform {

class SessionBus;

// The session's screen saver kept from starting, and with it the idle
// blanking and idle sleep it drives, through the org.freedesktop.ScreenSaver
// service on the session bus. It holds off idle only: a suspend the user
// asks for (the lid, the power button, the menu) still happens.
//
// Every call is asynchronous and nothing waits for the desktop. A hold
// asked for before the session bus is there is asked for once it comes,
// if it is still wanted then. With no session bus or no such service
// nothing is held, and the first such failure is logged under
// "kardelo.desktop".
class ScreenSaverInhibition : public QObject {
    Q_OBJECT

public:
    // applicationName: who holds it, as the desktop may show it.
    ScreenSaverInhibition(QString applicationName, SessionBus& bus, QObject* parent = nullptr);
    // Lets go of what is held, or of a hold still on its way.
    ~ScreenSaverInhibition() override;

    // Asks the desktop to hold off idle for `reason`; while it is held or
    // asked for already, nothing more is asked.
    void hold(const QString& reason);
    // Lets go. A hold whose answer has not come yet is let go as soon as
    // the answer brings its cookie.
    void release();
    // Asked for and not released; the session bus or the desktop's answer
    // may still be on its way, or the answer may have been a refusal.
    bool isWanted() const { return wanted_; }
    // The desktop has answered and holds it.
    bool isHeld() const { return cookie_.has_value(); }

private:
    void ask();
    void answered(std::optional<uint> cookie, const QString& error);

    QString applicationName_;
    // Named by no name: no connection until the session bus is there.
    QDBusConnection bus_{QString()};
    QString reason_;
    bool wanted_ = false;
    bool asking_ = false;
    std::optional<uint> cookie_;
    bool failureLogged_ = false;
};

}  // namespace platform
