// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "playback/LectureTags.h"

#include <QObject>
#include <QString>

class QAudioOutput;
class QFile;
class QFileInfo;
class QMediaPlayer;

// The playback of one lecture at a time: the lecture (a local file), where
// it is, how long it is, whether it plays, and the volume, mute and play
// speed the user chose. Every transport command is here, and a signal for
// every change, so the transport bar and any remote control are views of
// it. It never shows anything: a lecture it cannot open or play leaves a
// status and a warning in the "kardelo.player" log.
//
// The file is opened at once by `setSource`, and the back end reads that
// very file, on a thread of its own, for as long as the handle is open, so
// the caller may rename the file right after (it is played under a
// temporary name that is renamed back straight away), or delete it, and
// the lecture still plays to its end.
class Playback : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString source READ source NOTIFY sourceChanged)
    Q_PROPERTY(State playbackState READ playbackState NOTIFY playbackStateChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)
    Q_PROPERTY(qint64 position READ position NOTIFY positionChanged)
    Q_PROPERTY(qint64 duration READ duration NOTIFY durationChanged)
    Q_PROPERTY(bool seekable READ isSeekable NOTIFY seekableChanged)
    Q_PROPERTY(qreal playbackRate READ playbackRate WRITE setPlaybackRate NOTIFY playbackRateChanged)
    Q_PROPERTY(int volume READ volume WRITE setVolume NOTIFY volumeChanged)
    Q_PROPERTY(bool muted READ isMuted WRITE setMuted NOTIFY mutedChanged)

public:
    enum class State { Stopped, Playing, Paused };
    Q_ENUM(State)

    // What became of the lecture, the first that applies.
    enum class Status {
        NoLecture,  // none set, or an empty path
        CannotOpen,  // no file to read at that path
        CannotPlay,  // the back end failed on it
        Loading,
        Buffering,
        Ended,  // played to its end
        Playing,
        Paused,
        Stopped,
    };
    Q_ENUM(Status)

    explicit Playback(QObject* parent = nullptr);
    ~Playback() override;

    // The lecture's path as given; "" until one is set.
    QString source() const { return source_; }
    // Replaces whatever was playing by the local file `path` and starts it,
    // at `startAt` ms: the back end drops a seek made before it has loaded
    // the file, so the start is held until it can take it. An empty path
    // stops and empties the player; a path that cannot be opened plays
    // nothing.
    void setSource(const QString& path, const LectureTags& tags = {}, qint64 startAt = 0);
    // The tags given with the lecture.
    const LectureTags& tags() const { return tags_; }

    // The transport commands; without a lecture that plays they do nothing.
    void play();
    void pause();
    void togglePlay();
    // Stops and goes back to the start.
    void stop();
    // Where the lecture is, in ms; only while it is seekable.
    void seek(qint64 position);
    // By `step` ms from where it is, no further than its start or end.
    void seekBy(qint64 step);

    State playbackState() const { return state_; }
    Status status() const { return status_; }
    // A lecture is open and nothing has gone wrong with it (the status is
    // none of NoLecture, CannotOpen, CannotPlay).
    bool canPlay() const;
    qint64 position() const;
    // 0 until the back end knows it.
    qint64 duration() const { return duration_; }
    bool isSeekable() const { return seekable_; }

    // Volume 0 to 100 as the slider shows it; loudness follows it, not the
    // raw amplitude.
    int volume() const { return volume_; }
    void setVolume(int volume);
    bool isMuted() const { return muted_; }
    void setMuted(bool muted);
    // The play speed chosen; it carries over to the next lecture.
    qreal playbackRate() const { return rate_; }
    void setPlaybackRate(qreal rate);
    // A gain from 0 (silent) to 1 (as the volume says) on top of the
    // volume, for a fade that must not move the user's volume; it scales
    // loudness, as the volume does, so a fade sounds even.
    qreal fadeLevel() const { return fadeLevel_; }
    void setFadeLevel(qreal level);

signals:
    // A lecture was set, the same one again too: it starts afresh. Its tags
    // are set by then.
    void sourceChanged(const QString& source);
    void playbackStateChanged(Playback::State state);
    void statusChanged(Playback::Status status);
    void positionChanged(qint64 position);
    void durationChanged(qint64 duration);
    void seekableChanged(bool seekable);
    void playbackRateChanged(qreal rate);
    void volumeChanged(int volume);
    void mutedChanged(bool muted);
    // A seek was made to `position` (the position jumped, it did not play there).
    void seeked(qint64 position);

private:
    static constexpr int kInitialVolume = 50;

    QAudioOutput* audioOutput();
    void replacePlayer();
    void dropPlayer();
    // Has the player read the lecture open in `file`.
    void setPlayerSource(QFile& file, const QFileInfo& info);
    void reportPosition(qint64 position);
    // Takes the state, status and seekability from the back end and reports
    // what changed.
    void update();
    State currentState() const;
    Status currentStatus() const;
    void applyVolume();

    QString source_;
    LectureTags tags_;
    // Where the lecture is to start, until the back end can seek.
    qint64 pendingStart_ = 0;
    QFile* file_ = nullptr;
    bool cannotPlay_ = false;
    bool rateOwedToNewMedia_ = false;

    State state_ = State::Stopped;
    Status status_ = Status::NoLecture;
    qint64 reportedPosition_ = 0;
    qint64 duration_ = 0;
    bool seekable_ = false;
    qreal rate_ = 1.0;
    int volume_ = kInitialVolume;
    qreal fadeLevel_ = 1.0;
    bool muted_ = false;

    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audioOutput_ = nullptr;
};
