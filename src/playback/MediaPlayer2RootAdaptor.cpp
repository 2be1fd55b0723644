// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/MediaPlayer2RootAdaptor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

MediaPlayer2RootAdaptor::MediaPlayer2RootAdaptor(QWidget* window, const QDBusConnection& bus, QObject* service)
    : QDBusAbstractAdaptor(service),
      window_(window),
      bus_(bus)
{
}

void MediaPlayer2RootAdaptor::Raise()
{
    if (!window_)
        return;
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void MediaPlayer2RootAdaptor::Quit(const QDBusMessage& message)
{
    // Closing the main window ends the process on the spot, so the caller
    // is answered first; the bus answers its own ping only after it has
    // taken that answer, and then the window closes.
    message.setDelayedReply(true);
    bus_.send(message.createReply());
    const QDBusMessage ping =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    auto* answered = new QDBusPendingCallWatcher(bus_.asyncCall(ping, kQuitPingTimeoutMs), this);
    connect(answered, &QDBusPendingCallWatcher::finished, this, [this, answered] {
        answered->deleteLater();
        if (window_)
            window_->close();
    });
}
