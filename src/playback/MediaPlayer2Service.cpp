// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/MediaPlayer2Service.h"

#include "platform/host/SessionBus.h"
#include "playback/LectureSequence.h"
#include "playback/MediaPlayer2PlayerAdaptor.h"
#include "playback/MediaPlayer2RootAdaptor.h"
#include "playback/Playback.h"

#include <QCoreApplication>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcMpris, "kardelo.mpris", QtWarningMsg)

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The bus's flag and answers for RequestName.
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kAlreadyOwner = 4;

}  // namespace

MediaPlayer2Service::MediaPlayer2Service(Playback& playback, LectureSequence& sequence, QWidget* window,
                                         platform::SessionBus& bus)
    : QObject(window)
{
    bus.whenConnected(this,
                      [this, playback = QPointer(&playback), sequence = QPointer(&sequence),
                       window](const QDBusConnection& connection) {
                          bus_ = connection;
                          if (playback && sequence)
                              offer(*playback, *sequence, window);
                      });
}

MediaPlayer2Service::MediaPlayer2Service(Playback& playback, LectureSequence& sequence, QWidget* window,
                                         const QDBusConnection& bus)
    : QObject(window),
      bus_(bus)
{
    offer(playback, sequence, window);
}

void MediaPlayer2Service::offer(Playback& playback, LectureSequence& sequence, QWidget* window)
{
    if (!bus_.isConnected()) {
        qCInfo(lcMpris) << "no session bus; media keys and the desktop's player controls are not offered -"
                        << bus_.lastError().message();
        return;
    }
    new MediaPlayer2RootAdaptor(window, bus_, this);
    player_ = new MediaPlayer2PlayerAdaptor(playback, sequence, bus_, this);
    // Registering the object is local to this process; only the name needs
    // the bus, and its answer is taken when it comes.
    if (!bus_.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) {
        // Qt leaves no error when the path is only taken by another object
        // of this process on the same connection.
        const QDBusError error = bus_.lastError();
        qCWarning(lcMpris) << "cannot offer the player controls at" << kObjectPath << "-"
                           << (error.isValid() ? error.message() : QStringLiteral("another player has it here"));
        player_ = nullptr;
        return;
    }
    announced_ = player_->announcedProperties();
    connect(&playback, &Playback::sourceChanged, this, &MediaPlayer2Service::queueChangeReport);
    connect(&playback, &Playback::durationChanged, this, &MediaPlayer2Service::queueChangeReport);
    connect(&playback, &Playback::playbackStateChanged, this, &MediaPlayer2Service::queueChangeReport);
    connect(&playback, &Playback::statusChanged, this, &MediaPlayer2Service::queueChangeReport);
    connect(&playback, &Playback::seekableChanged, this, &MediaPlayer2Service::queueChangeReport);
    connect(&playback, &Playback::playbackRateChanged, this, &MediaPlayer2Service::queueChangeReport);
    connect(&playback, &Playback::volumeChanged, this, &MediaPlayer2Service::queueChangeReport);
    connect(&sequence, &LectureSequence::neighboursChanged, this, &MediaPlayer2Service::queueChangeReport);
    requestName(kBusName);
}

MediaPlayer2Service::~MediaPlayer2Service()
{
    if (!player_)
        return;
    bus_.unregisterObject(kObjectPath);
    // Sent after the request on the same connection, so it lets go of the
    // name even if the answer to the request never arrived.
    if (!busName_.isEmpty())
        bus_.send(QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("ReleaseName"))
                  << busName_);
}

void MediaPlayer2Service::requestName(const QString& name)
{
    busName_ = name;
    QDBusMessage request =
        QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("RequestName"));
    request << name << kDoNotQueue;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(request), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &MediaPlayer2Service::nameRequested);
}

void MediaPlayer2Service::nameRequested(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isValid() && (reply.value() == kPrimaryOwner || reply.value() == kAlreadyOwner))
        return;
    // Another Kardelo has the name; each runs its own lecture, so this one
    // takes a name of its own beside it.
    if (reply.isValid() && busName_ == kBusName) {
        requestName(kBusName + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid()));
        return;
    }
    qCWarning(lcMpris) << "the session bus did not give the name" << busName_ << "-"
                       << (reply.isError() ? reply.error().message() : QStringLiteral("it is taken"));
    busName_.clear();
}

void MediaPlayer2Service::queueChangeReport()
{
    // Playback reports one change as several signals; a client hears of
    // them together, once this turn of the event loop is over.
    if (std::exchange(reportQueued_, true))
        return;
    QMetaObject::invokeMethod(this, &MediaPlayer2Service::reportChanges, Qt::QueuedConnection);
}

void MediaPlayer2Service::reportChanges()
{
    reportQueued_ = false;
    const QVariantMap now = player_->announcedProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (announced_.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    announced_ = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}
