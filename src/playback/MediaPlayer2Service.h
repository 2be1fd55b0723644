// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

class LectureSequence;
class MediaPlayer2PlayerAdaptor;
class Playback;
class QDBusPendingCallWatcher;
class QWidget;

namespace platform {
class SessionBus;
}

// Offers `Playback` to the desktop's media keys and player controls on the
// session bus, as "org.mpris.MediaPlayer2.kardelo" (or, when another
// Kardelo has that name, ".instance<pid>" after it) at
// /org/mpris/MediaPlayer2, and announces each change of its properties.
//
// Nothing of it may hold up the window: it is offered once the session bus
// is there, the name is asked for without waiting for the answer, and
// without a session bus, or when the bus will not have it, the program
// simply goes without (a line in the "kardelo.desktop" or "kardelo.mpris"
// log says why).
class MediaPlayer2Service : public QObject {
    Q_OBJECT

public:
    static inline const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.kardelo");
    static inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

    // `window` is the one brought up by Raise and closed by Quit, and the
    // service's parent; Next and Previous move along `sequence`. Offered
    // once `bus` is connected.
    MediaPlayer2Service(Playback& playback, LectureSequence& sequence, QWidget* window, platform::SessionBus& bus);
    // Offered on `bus` now, connected or not.
    MediaPlayer2Service(Playback& playback, LectureSequence& sequence, QWidget* window, const QDBusConnection& bus);
    ~MediaPlayer2Service() override;

    // The name this service holds or has asked for; "" without a bus.
    QString busName() const { return busName_; }

private:
    void offer(Playback& playback, LectureSequence& sequence, QWidget* window);
    void requestName(const QString& name);
    void nameRequested(QDBusPendingCallWatcher* call);
    void queueChangeReport();
    void reportChanges();

    // Named by no name: no connection until offered.
    QDBusConnection bus_{QString()};
    QString busName_;
    MediaPlayer2PlayerAdaptor* player_ = nullptr;
    // The properties as last announced, to announce only what changed.
    QVariantMap announced_;
    bool reportQueued_ = false;
};
