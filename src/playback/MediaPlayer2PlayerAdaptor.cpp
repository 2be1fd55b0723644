// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/MediaPlayer2PlayerAdaptor.h"

#include "playback/LectureSequence.h"
#include "playback/Playback.h"
#include "playback/TrackMetadata.h"

#include <QDBusError>
#include <QDBusMessage>

#include <algorithm>
#include <cmath>

MediaPlayer2PlayerAdaptor::MediaPlayer2PlayerAdaptor(Playback& playback, LectureSequence& sequence,
                                                     const QDBusConnection& bus, QObject* service)
    : QDBusAbstractAdaptor(service),
      playback_(playback),
      sequence_(sequence),
      bus_(bus)
{
    connect(&playback_, &Playback::sourceChanged, this, [this] { ++lecturesSet_; });
    connect(&playback_, &Playback::seeked, this, [this](qint64 position) { emit Seeked(position * 1000); });
}

QString MediaPlayer2PlayerAdaptor::playbackStatus() const
{
    switch (playback_.playbackState()) {
    case Playback::State::Playing:
        return QStringLiteral("Playing");
    case Playback::State::Paused:
        return QStringLiteral("Paused");
    case Playback::State::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MediaPlayer2PlayerAdaptor::metadata() const
{
    if (!hasLecture())
        return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(kNoTrack)}};
    return trackMetadata(trackId(), playback_.tags(), playback_.duration());
}

bool MediaPlayer2PlayerAdaptor::canGoNext() const
{
    return sequence_.next().has_value();
}

bool MediaPlayer2PlayerAdaptor::canGoPrevious() const
{
    return sequence_.previous().has_value();
}

void MediaPlayer2PlayerAdaptor::Next()
{
    sequence_.goNext();
}

void MediaPlayer2PlayerAdaptor::Previous()
{
    sequence_.goPrevious();
}

qlonglong MediaPlayer2PlayerAdaptor::position() const
{
    return playback_.position() * 1000;
}

double MediaPlayer2PlayerAdaptor::rate() const
{
    return playback_.playbackRate();
}

void MediaPlayer2PlayerAdaptor::setRate(double rate)
{
    if (rate == 0.0)
        playback_.pause();
    else if (std::isfinite(rate))
        playback_.setPlaybackRate(std::clamp(rate, kMinimumRate, kMaximumRate));
}

double MediaPlayer2PlayerAdaptor::volume() const
{
    return playback_.volume() / 100.0;
}

void MediaPlayer2PlayerAdaptor::setVolume(double volume)
{
    if (std::isfinite(volume))
        playback_.setVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
}

bool MediaPlayer2PlayerAdaptor::hasLecture() const
{
    return playback_.canPlay();
}

QDBusObjectPath MediaPlayer2PlayerAdaptor::trackId() const
{
    return hasLecture() ? lectureTrackId(lecturesSet_) : kNoTrack;
}

QVariantMap MediaPlayer2PlayerAdaptor::announcedProperties() const
{
    const bool loaded = hasLecture();
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Rate"), rate()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("CanPlay"), loaded},
        {QStringLiteral("CanPause"), loaded},
        {QStringLiteral("CanSeek"), loaded},
        {QStringLiteral("CanControl"), loaded},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
    };
}

void MediaPlayer2PlayerAdaptor::Play()
{
    playback_.play();
}

void MediaPlayer2PlayerAdaptor::Pause()
{
    playback_.pause();
}

void MediaPlayer2PlayerAdaptor::PlayPause()
{
    playback_.togglePlay();
}

void MediaPlayer2PlayerAdaptor::Stop()
{
    playback_.stop();
}

void MediaPlayer2PlayerAdaptor::Seek(qlonglong offset)
{
    // In milliseconds before it is added, so no offset a client sends can
    // overflow; Playback keeps the result within the lecture.
    playback_.seekBy(offset / 1000);
}

void MediaPlayer2PlayerAdaptor::SetPosition(const QDBusObjectPath& track, qlonglong position)
{
    if (track == trackId() && hasLecture() && position >= 0 && position <= playback_.duration() * 1000)
        playback_.seek(position / 1000);
}

void MediaPlayer2PlayerAdaptor::OpenUri(const QString& uri, const QDBusMessage& message)
{
    message.setDelayedReply(true);
    bus_.send(message.createErrorReply(
        QDBusError::NotSupported,
        QStringLiteral("Kardelo plays only the lectures in its favourites folder, not %1").arg(uri)));
}
