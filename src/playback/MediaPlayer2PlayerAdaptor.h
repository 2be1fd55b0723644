// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

class LectureSequence;
class Playback;

// `Playback` as the desktop's player controls and media keys see it. Every
// command goes through Playback's own, as the transport bar's buttons do,
// so the bar shows what a remote control did. Times on the bus are in
// microseconds, Playback's in milliseconds; the volume is Playback's 0 to
// 100 as 0.0 to 1.0.
class MediaPlayer2PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ minimumRate)
    Q_PROPERTY(double MaximumRate READ maximumRate)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(bool CanPlay READ hasLecture)
    Q_PROPERTY(bool CanPause READ hasLecture)
    Q_PROPERTY(bool CanSeek READ hasLecture)
    Q_PROPERTY(bool CanControl READ hasLecture)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)

public:
    // The speeds the transport bar's menu offers lie in this range.
    static constexpr double kMinimumRate = 0.5;
    static constexpr double kMaximumRate = 2.0;

    // `bus` is the connection `service` is offered on; Next and Previous
    // move along `sequence`.
    MediaPlayer2PlayerAdaptor(Playback& playback, LectureSequence& sequence, const QDBusConnection& bus,
                              QObject* service);

    QString playbackStatus() const;
    QVariantMap metadata() const;
    qlonglong position() const;
    double rate() const;
    // Clamped into the range; 0 pauses, as clients expect of it.
    void setRate(double rate);
    double minimumRate() const { return kMinimumRate; }
    double maximumRate() const { return kMaximumRate; }
    double volume() const;
    void setVolume(double volume);
    bool hasLecture() const;
    // A stored lecture comes after, or before, the one playing in the list
    // it was started from.
    bool canGoNext() const;
    bool canGoPrevious() const;

    // The lecture now set, or the path that says there is none.
    QDBusObjectPath trackId() const;
    // Every property whose change is announced: all but the constants and
    // Position, which clients work out from the rate and `Seeked`.
    QVariantMap announcedProperties() const;

public slots:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // By `offset` µs, no further than the lecture's start or end.
    void Seek(qlonglong offset);
    // To `position` µs of `track`; a request for another lecture than the
    // one playing, or beyond its ends, is stale and left alone.
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    // Only the favourites are played; an outside address is refused.
    void OpenUri(const QString& uri, const QDBusMessage& message);

signals:
    // The lecture jumped to `position` µs.
    void Seeked(qlonglong position);

private:
    Playback& playback_;
    LectureSequence& sequence_;
    QDBusConnection bus_;
    // Counts the lectures set; each is a track of its own.
    quint64 lecturesSet_ = 0;
};
