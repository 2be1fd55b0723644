#include "platform/media/MediaPlayer.h"

#include "platform/media/PlayTime.h"

#include <QActionGroup>
#include <QAudio>
#include <QAudioOutput>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include <utility>

namespace platform {

MediaPlayer::MediaPlayer(QWidget* parent) : QWidget(parent)
{
    // The back end (GStreamer and the sound output) is made when the first
    // file is set, not here: loading it would cost the program's start more
    // than all the rest of the window, and its memory for as long as nothing
    // plays. Until then the bar keeps the volume, mute and speed chosen.
    buildTransportBar();
    buildContextMenu();
    showMuted(false);
    showDuration(0);
    showState();
}

MediaPlayer::~MediaPlayer()
{
    // The player reads from the file until it is told to let go of it.
    dropPlayer();
    delete file_;
    file_ = nullptr;
}

QAudioOutput* MediaPlayer::audioOutput()
{
    if (!audioOutput_) {
        // Without a sound device GStreamer's automatic sink falls back to a
        // silent one that still keeps time, so the player behaves the same.
        audioOutput_ = new QAudioOutput(this);
        audioOutput_->setMuted(muted_);
        applyVolume();
        connect(audioOutput_, &QAudioOutput::mutedChanged, this, &MediaPlayer::showMuted);
    }
    return audioOutput_;
}

void MediaPlayer::makePlayer()
{
    player_ = new QMediaPlayer(this);
    player_->setAudioOutput(audioOutput());
    player_->setPlaybackRate(rate_);
    connect(player_, &QMediaPlayer::positionChanged, this, &MediaPlayer::showPosition);
    connect(player_, &QMediaPlayer::durationChanged, this, &MediaPlayer::showDuration);
    connect(player_, &QMediaPlayer::playbackStateChanged, this, &MediaPlayer::showState);
    connect(player_, &QMediaPlayer::seekableChanged, this, &MediaPlayer::showState);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, &MediaPlayer::onMediaStatus);
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (error != QMediaPlayer::NoError) {
            cannotPlay_ = true;
            // The back end stays in the playing state after an error; the
            // transport should not look as if something still played.
            player_->stop();
            showState();
        }
    });
}

void MediaPlayer::dropPlayer()
{
    QMediaPlayer* previous = std::exchange(player_, nullptr);
    if (!previous)
        return;
    disconnect(previous, nullptr, this, nullptr);
    previous->stop();
    // Emptied before it is deleted: the GStreamer back end of Qt 6.4 leaves
    // its decoder's signals connected while it is destroyed, and a decoder
    // still in the pipeline then calls into the half-destroyed player and
    // crashes it now and then. Emptying takes the decoder out while the
    // player is whole.
    previous->setSource(QUrl());
    previous->setAudioOutput(nullptr);
    // Deleted now, not later: it must stop reading the previous file
    // before the caller lets go of that file.
    delete previous;
}

void MediaPlayer::replacePlayer()
{
    // A back end that played one file can still deliver that file's late
    // errors and buffered data after it has been given the next one, which
    // then fails to play. A player of its own for each file keeps them apart.
    dropPlayer();
    makePlayer();
}

void MediaPlayer::setSource(const QString& path)
{
    source_ = path;
    cannotPlay_ = false;
    // The old player is gone with this, so nothing reads the old file now.
    // Emptying a player that was never made needs no back end.
    if (!path.isEmpty() || player_)
        replacePlayer();
    delete file_;
    file_ = nullptr;

    // Opened here and now: the caller renames the file as soon as this
    // returns, and an open handle follows the file whatever its name.
    auto* next = new QFile(path, this);
    if (!path.isEmpty() && QFileInfo(path).isFile() && next->open(QIODevice::ReadOnly)) {
        file_ = next;
        // The name tells the player the format, as the extension would.
        player_->setSourceDevice(file_, QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    } else {
        delete next;
        cannotPlay_ = !path.isEmpty();
    }
    // The new player reports no duration until it knows one.
    showDuration(0);
    positionSlider_->setSliderPosition(0);
    showPosition(0);
    showState();
    if (file_)
        player_->play();
}

void MediaPlayer::play()
{
    if (file_)
        player_->play();
}

void MediaPlayer::pause()
{
    if (file_)
        player_->pause();
}

void MediaPlayer::stop()
{
    if (player_)
        player_->stop();
    if (!positionSlider_->isSliderDown())
        positionSlider_->setValue(0);
    showPosition(0);
}

void MediaPlayer::seekTo(qint64 position)
{
    if (!file_ || !player_->isSeekable())
        return;
    player_->setPosition(position);
    showPosition(position);
}

int MediaPlayer::volume() const
{
    return volumeSlider_->value();
}

void MediaPlayer::setVolume(int volume)
{
    volumeSlider_->setValue(volume);
}

void MediaPlayer::applyVolume()
{
    // The ear hears loudness, not amplitude: the usual cubic curve makes the
    // middle of the slider sound like the middle.
    const float level = QAudio::convertVolume(volumeSlider_->value() / 100.0f, QAudio::CubicVolumeScale,
                                              QAudio::LinearVolumeScale);
    if (audioOutput_)
        audioOutput_->setVolume(level);
}

bool MediaPlayer::isMuted() const
{
    // Kept by showMuted, which follows the sound output once there is one.
    return muted_;
}

void MediaPlayer::setMuted(bool muted)
{
    if (audioOutput_)
        audioOutput_->setMuted(muted);
    else
        showMuted(muted);
}

void MediaPlayer::showMuted(bool muted)
{
    muted_ = muted;
    muteButton_->setChecked(muted);
    muteButton_->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    muteButton_->setToolTip(muted ? QStringLiteral("取消静音") : QStringLiteral("静音"));
}

void MediaPlayer::setPlaybackRate(qreal rate)
{
    rate_ = rate;
    if (player_)
        player_->setPlaybackRate(rate);
    checkCurrentSpeed();
}

bool MediaPlayer::isPlaying() const
{
    return player_ && player_->playbackState() == QMediaPlayer::PlayingState;
}

qint64 MediaPlayer::duration() const
{
    return player_ ? player_->duration() : 0;
}

void MediaPlayer::checkCurrentSpeed()
{
    for (QAction* action : speedGroup_->actions())
        action->setChecked(qFuzzyCompare(action->data().toReal(), rate_));
}

void MediaPlayer::onMediaStatus(QMediaPlayer::MediaStatus status)
{
    if (status == QMediaPlayer::InvalidMedia)
        cannotPlay_ = true;
    // The GStreamer back end keeps the rate it was given but plays new media
    // at normal speed until the rate changes; give it the rate again once
    // its media has loaded.
    if (status == QMediaPlayer::LoadingMedia)
        rateOwedToNewMedia_ = true;
    if (rateOwedToNewMedia_ && (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia)) {
        rateOwedToNewMedia_ = false;
        if (!qFuzzyCompare(rate_, 1.0)) {
            player_->setPlaybackRate(1.0);
            player_->setPlaybackRate(rate_);
        }
    }
    showState();
}

void MediaPlayer::showPosition(qint64 position)
{
    if (!positionSlider_->isSliderDown()) {
        positionSlider_->setValue(static_cast<int>(position));
        elapsedLabel_->setText(formatPlayTime(position, duration()));
    }
}

void MediaPlayer::showDuration(qint64 duration)
{
    positionSlider_->setRange(0, static_cast<int>(duration));
    totalLabel_->setText(formatPlayTime(duration, duration));
    if (!positionSlider_->isSliderDown())
        elapsedLabel_->setText(formatPlayTime(player_ ? player_->position() : 0, duration));
}

QString MediaPlayer::statusText() const
{
    return statusLabel_->text();
}

void MediaPlayer::showState()
{
    const bool loaded = file_ && !cannotPlay_;
    const bool playing = isPlaying();

    playPauseButton_->setEnabled(loaded);
    playPauseButton_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    nameButton(playPauseButton_, playing ? QStringLiteral("暂停") : QStringLiteral("播放"));
    stopButton_->setEnabled(loaded);
    positionSlider_->setEnabled(loaded && player_->isSeekable());

    QString text;
    if (source_.isEmpty()) {
        text.clear();
    } else if (!file_) {
        text = QStringLiteral("无法打开文件");
    } else if (cannotPlay_) {
        text = QStringLiteral("无法播放此文件");
    } else {
        switch (player_->mediaStatus()) {
        case QMediaPlayer::LoadingMedia:
            text = QStringLiteral("正在打开…");
            break;
        case QMediaPlayer::StalledMedia:
        case QMediaPlayer::BufferingMedia:
            text = QStringLiteral("正在缓冲…");
            break;
        case QMediaPlayer::EndOfMedia:
            text = QStringLiteral("播放完毕");
            break;
        default:
            switch (player_->playbackState()) {
            case QMediaPlayer::PlayingState:
                text = QStringLiteral("正在播放");
                break;
            case QMediaPlayer::PausedState:
                text = QStringLiteral("已暂停");
                break;
            case QMediaPlayer::StoppedState:
                text = QStringLiteral("已停止");
                break;
            }
        }
    }
    statusLabel_->setText(text);
}

void MediaPlayer::contextMenuEvent(QContextMenuEvent* event)
{
    checkCurrentSpeed();
    contextMenu_->popup(event->globalPos());
    event->accept();
}

}  // namespace platform
