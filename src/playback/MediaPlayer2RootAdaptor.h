// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QPointer>
#include <QStringList>
#include <QWidget>

// The desktop's view of the program as a player: its name and menu entry,
// and bringing up or closing its window. None of it changes while it runs.
class MediaPlayer2RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(bool CanSetFullscreen READ canSetFullscreen)
    Q_PROPERTY(bool Fullscreen READ isFullscreen WRITE setFullscreen)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

public:
    // `window` is the one Raise brings up and Quit closes; it may go first.
    // `bus` is the connection `service` is offered on.
    MediaPlayer2RootAdaptor(QWidget* window, const QDBusConnection& bus, QObject* service);

    QString identity() const { return QStringLiteral("Kardelo"); }
    QString desktopEntry() const { return QStringLiteral("org.kardelo.Kardelo"); }
    bool canRaise() const { return true; }
    bool canQuit() const { return true; }
    bool hasTrackList() const { return false; }
    bool canSetFullscreen() const { return false; }
    bool isFullscreen() const { return false; }
    // The window has a fixed size; a request for full screen is not taken.
    void setFullscreen(bool) { }
    // Only stored lectures are played, and they are WMA.
    QStringList supportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList supportedMimeTypes() const { return {QStringLiteral("audio/x-ms-wma")}; }

public slots:
    void Raise();
    // As the window's close button: the window's own close handling ends
    // the program cleanly.
    void Quit(const QDBusMessage& message);

private:
    // Bounds the wait for the bus before the window closes all the same.
    static constexpr int kQuitPingTimeoutMs = 1000;

    QPointer<QWidget> window_;
    QDBusConnection bus_;
};
