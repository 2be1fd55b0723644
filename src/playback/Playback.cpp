// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/Playback.h"

#include "platform/files/OpenFilePath.h"
#include "platform/media/DisposeMediaPlayer.h"
#include "platform/media/PitchKeepingAudio.h"

#include <QAudio>
#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMediaPlayer>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcPlayer, "kardelo.player")

}  // namespace

Playback::Playback(QObject* parent) : QObject(parent)
{
    // The back end (GStreamer and the sound output) is made when the first
    // lecture is set, not here: loading it would cost the program's start
    // more than all the rest of the window, and its memory for as long as
    // nothing plays. Until then the volume, mute and speed chosen are kept.
}

Playback::~Playback()
{
    // The player reads from the file until it is told to let go of it.
    dropPlayer();
    delete file_;
    file_ = nullptr;
}

QAudioOutput* Playback::audioOutput()
{
    if (!audioOutput_) {
        // Without a sound device GStreamer's automatic sink falls back to a
        // silent one that still keeps time, so the player behaves the same.
        const platform::PitchKeepingAudioOutput made = platform::makePitchKeepingAudioOutput(this);
        if (!made.keepsPitch)
            qCWarning(lcPlayer) << "a faster or slower play speed will change the speaker's pitch:" << made.whyNot;
        audioOutput_ = made.output;
        audioOutput_->setMuted(muted_);
        applyVolume();
    }
    return audioOutput_;
}

void Playback::replacePlayer()
{
    // A back end that played one lecture can still deliver that lecture's
    // late errors and buffered data after it has been given the next one,
    // which then fails to play. A player of its own for each lecture keeps
    // them apart.
    dropPlayer();
    player_ = new QMediaPlayer(this);
    player_->setAudioOutput(audioOutput());
    platform::keepPitchAtEveryRate(player_);
    player_->setPlaybackRate(rate_);
    connect(player_, &QMediaPlayer::positionChanged, this, &Playback::reportPosition);
    connect(player_, &QMediaPlayer::durationChanged, this, [this](qint64 duration) {
        if (duration != duration_) {
            duration_ = duration;
            emit durationChanged(duration);
            update();
        }
    });
    connect(player_, &QMediaPlayer::playbackStateChanged, this, &Playback::update);
    connect(player_, &QMediaPlayer::seekableChanged, this, &Playback::update);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia)
            cannotPlay_ = true;
        // The GStreamer back end keeps the rate it was given but plays new
        // media at normal speed until the rate changes; give it the rate
        // again once its media has loaded.
        if (status == QMediaPlayer::LoadingMedia)
            rateOwedToNewMedia_ = true;
        if (rateOwedToNewMedia_ && (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia)) {
            rateOwedToNewMedia_ = false;
            if (!qFuzzyCompare(rate_, 1.0)) {
                player_->setPlaybackRate(1.0);
                player_->setPlaybackRate(rate_);
            }
        }
        update();
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString& reason) {
        if (error == QMediaPlayer::NoError)
            return;
        // The first reason is the one that counts; the errors that follow
        // from it would only repeat it less clearly.
        if (!cannotPlay_)
            qCWarning(lcPlayer) << "cannot play" << source_ << "-" << reason;
        cannotPlay_ = true;
        // The back end stays in the playing state after an error; the
        // lecture should not look as if it still played.
        player_->stop();
        update();
    });
}

void Playback::dropPlayer()
{
    rateOwedToNewMedia_ = false;
    platform::disposeMediaPlayer(std::exchange(player_, nullptr), this);
}

void Playback::setPlayerSource(QFile& file, const QFileInfo& info)
{
    // GStreamer's own file source reads on its streaming thread. A device
    // would be read on the player's thread, the window's, a request at a
    // time: every stall there (a flush of a lecture being stored holding
    // the disk's journal) would starve the sound. The source opens the
    // file anew through the link to the handle open here, which leads to
    // this very file whatever its name is by then; the handle stays open
    // for as long as the player may open it again.
    const QString reopenable = platform::openFilePath(file);
    if (!reopenable.isEmpty()) {
        player_->setSource(QUrl::fromLocalFile(reopenable));
        return;
    }
    qCWarning(lcPlayer) << "reading" << source_ << "on the window's thread: the system names no open file";
    // The name tells the player the format, as the extension would.
    player_->setSourceDevice(&file, QUrl::fromLocalFile(info.absoluteFilePath()));
}

void Playback::setSource(const QString& path, const LectureTags& tags, qint64 startAt)
{
    source_ = path;
    tags_ = tags;
    pendingStart_ = std::max<qint64>(startAt, 0);
    cannotPlay_ = false;
    // The old player is gone with this, so nothing reads the old file now.
    // Emptying a player that was never made needs no back end.
    if (!path.isEmpty() || player_)
        replacePlayer();
    delete file_;
    file_ = nullptr;

    // Opened here and now: the caller renames the file as soon as this
    // returns, and an open handle follows the file whatever its name.
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        auto* next = new QFile(path, this);
        if (info.isFile() && next->open(QIODevice::ReadOnly)) {
            file_ = next;
            setPlayerSource(*file_, info);
        } else {
            qCWarning(lcPlayer) << "cannot open" << path << "-"
                                << (!info.exists()       ? QStringLiteral("no such file")
                                        : !info.isFile() ? QStringLiteral("not a file")
                                                         : next->errorString());
            delete next;
        }
    }

    // The new player knows nothing of the old lecture's length. All is
    // taken in before anything is said, so whoever hears of one change
    // reads the others as they are now.
    const bool durationReset = std::exchange(duration_, 0) != 0;
    update();
    emit sourceChanged(path);
    if (durationReset)
        emit durationChanged(0);
    reportPosition(0);
    if (file_)
        player_->play();
}

void Playback::play()
{
    if (canPlay())
        player_->play();
}

void Playback::pause()
{
    if (canPlay())
        player_->pause();
}

void Playback::togglePlay()
{
    if (state_ == State::Playing)
        pause();
    else
        play();
}

void Playback::stop()
{
    pendingStart_ = 0;
    if (player_)
        player_->stop();
    reportPosition(0);
}

void Playback::seek(qint64 position)
{
    if (!seekable_)
        return;
    player_->setPosition(position);
    reportPosition(position);
    emit seeked(position);
}

void Playback::seekBy(qint64 step)
{
    if (canPlay())
        seek(std::clamp<qint64>(position() + step, 0, duration_));
}

bool Playback::canPlay() const
{
    return status_ != Status::NoLecture && status_ != Status::CannotOpen && status_ != Status::CannotPlay;
}

qint64 Playback::position() const
{
    return player_ ? player_->position() : 0;
}

void Playback::reportPosition(qint64 position)
{
    if (position != reportedPosition_) {
        reportedPosition_ = position;
        emit positionChanged(position);
    }
}

void Playback::setVolume(int volume)
{
    volume = std::clamp(volume, 0, 100);
    if (volume == volume_)
        return;
    volume_ = volume;
    applyVolume();
    emit volumeChanged(volume);
}

void Playback::applyVolume()
{
    // The ear hears loudness, not amplitude: the usual cubic curve makes the
    // middle of the slider sound like the middle.
    if (audioOutput_) {
        const auto loudness = static_cast<float>(volume_ / 100.0 * fadeLevel_);
        audioOutput_->setVolume(QAudio::convertVolume(loudness, QAudio::CubicVolumeScale, QAudio::LinearVolumeScale));
    }
}

void Playback::setFadeLevel(qreal level)
{
    level = std::clamp<qreal>(level, 0.0, 1.0);
    if (level == fadeLevel_)
        return;
    fadeLevel_ = level;
    applyVolume();
}

void Playback::setMuted(bool muted)
{
    if (muted == muted_)
        return;
    muted_ = muted;
    if (audioOutput_)
        audioOutput_->setMuted(muted);
    emit mutedChanged(muted);
}

void Playback::setPlaybackRate(qreal rate)
{
    if (qFuzzyCompare(rate, rate_))
        return;
    rate_ = rate;
    if (player_)
        player_->setPlaybackRate(rate);
    emit playbackRateChanged(rate);
}

Playback::State Playback::currentState() const
{
    if (!player_)
        return State::Stopped;
    switch (player_->playbackState()) {
    case QMediaPlayer::PlayingState:
        return State::Playing;
    case QMediaPlayer::PausedState:
        return State::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return State::Stopped;
}

Playback::Status Playback::currentStatus() const
{
    if (source_.isEmpty())
        return Status::NoLecture;
    if (!file_)
        return Status::CannotOpen;
    if (cannotPlay_)
        return Status::CannotPlay;
    switch (player_->mediaStatus()) {
    case QMediaPlayer::LoadingMedia:
        return Status::Loading;
    case QMediaPlayer::StalledMedia:
    case QMediaPlayer::BufferingMedia:
        return Status::Buffering;
    case QMediaPlayer::EndOfMedia:
        return Status::Ended;
    default:
        break;
    }
    switch (state_) {
    case State::Playing:
        return Status::Playing;
    case State::Paused:
        return Status::Paused;
    case State::Stopped:
        break;
    }
    return Status::Stopped;
}

void Playback::update()
{
    // Everything is taken first, so whoever hears of one change reads the
    // others as they are now.
    const State oldState = std::exchange(state_, currentState());
    const Status oldStatus = std::exchange(status_, currentStatus());
    const bool oldSeekable = std::exchange(seekable_, canPlay() && player_->isSeekable());
    if (state_ != oldState)
        emit playbackStateChanged(state_);
    if (status_ != oldStatus)
        emit statusChanged(status_);
    if (seekable_ != oldSeekable)
        emit seekableChanged(seekable_);
    // Loaded at last: the held start can be taken now.
    if (seekable_ && pendingStart_ > 0 && duration_ > 0)
        seek(std::min(std::exchange(pendingStart_, 0), duration_));
}
