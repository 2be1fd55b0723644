#include "platform/MediaPlayer.h"

#include "platform/JumpSlider.h"
#include "platform/PlayTime.h"

#include <QActionGroup>
#include <QAudio>
#include <QAudioOutput>
#include <QBoxLayout>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

namespace platform {

namespace {

constexpr int kInitialVolume = 50;

struct SpeedEntry {
    qreal rate;
    const char16_t* text;
};

constexpr SpeedEntry kSpeeds[] = {
    {0.5, u"0.5 倍速"}, {0.75, u"0.75 倍速"}, {1.0, u"正常"},
    {1.25, u"1.25 倍速"}, {1.5, u"1.5 倍速"}, {2.0, u"2 倍速"},
};

QToolButton* makeButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

MediaPlayer::MediaPlayer(QWidget* parent) : QWidget(parent)
{
    // Without a sound device GStreamer's automatic sink falls back to a
    // silent one that still keeps time, so the player behaves the same.
    audioOutput_ = new QAudioOutput(this);
    makePlayer();

    buildTransportBar();
    buildContextMenu();

    connect(audioOutput_, &QAudioOutput::mutedChanged, this, [this](bool muted) {
        muteButton_->setChecked(muted);
        muteButton_->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
        muteButton_->setToolTip(muted ? QStringLiteral("取消静音") : QStringLiteral("静音"));
    });

    applyVolume();
    showDuration(0);
    showState();
}

MediaPlayer::~MediaPlayer()
{
    // The player reads from the file until it is told to let go of it.
    player_->stop();
    player_->setSource(QUrl());
    delete file_;
    file_ = nullptr;
}

void MediaPlayer::makePlayer()
{
    player_ = new QMediaPlayer(this);
    player_->setAudioOutput(audioOutput_);
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

void MediaPlayer::replacePlayer()
{
    // A back end that played one file can still deliver that file's late
    // errors and buffered data after it has been given the next one, which
    // then fails to play. A player of its own for each file keeps them apart.
    QMediaPlayer* previous = player_;
    disconnect(previous, nullptr, this, nullptr);
    previous->stop();
    previous->setAudioOutput(nullptr);
    // Deleted now, not later: it must stop reading the previous file before
    // the caller lets go of that file.
    delete previous;
    makePlayer();
}

void MediaPlayer::buildTransportBar()
{
    playPauseButton_ = makeButton(this, "playPauseButton", QStyle::SP_MediaPlay, QStringLiteral("播放"));
    stopButton_ = makeButton(this, "stopButton", QStyle::SP_MediaStop, QStringLiteral("停止"));
    muteButton_ = makeButton(this, "muteButton", QStyle::SP_MediaVolume, QStringLiteral("静音"));
    muteButton_->setCheckable(true);

    positionSlider_ = new JumpSlider(Qt::Horizontal, this);
    positionSlider_->setObjectName(QStringLiteral("positionSlider"));
    positionSlider_->setToolTip(QStringLiteral("播放进度"));
    positionSlider_->setRange(0, 0);
    positionSlider_->setSingleStep(5000);
    positionSlider_->setPageStep(30000);
    positionSlider_->setFocusPolicy(Qt::TabFocus);

    volumeSlider_ = new JumpSlider(Qt::Horizontal, this);
    volumeSlider_->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider_->setToolTip(QStringLiteral("音量"));
    volumeSlider_->setRange(0, 100);
    volumeSlider_->setSingleStep(5);
    volumeSlider_->setPageStep(10);
    volumeSlider_->setValue(kInitialVolume);
    volumeSlider_->setFixedWidth(90);
    volumeSlider_->setFocusPolicy(Qt::TabFocus);

    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    elapsedLabel_ = makeLabel("elapsedLabel");
    totalLabel_ = makeLabel("totalLabel");
    statusLabel_ = makeLabel("statusLabel");
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QPalette quiet = statusLabel_->palette();
    quiet.setColor(QPalette::WindowText, quiet.color(QPalette::Disabled, QPalette::WindowText));
    statusLabel_->setPalette(quiet);

    auto* timeRow = new QHBoxLayout;
    timeRow->setSpacing(6);
    timeRow->addWidget(elapsedLabel_);
    timeRow->addWidget(positionSlider_, 1);
    timeRow->addWidget(totalLabel_);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(2);
    buttonRow->addWidget(playPauseButton_);
    buttonRow->addWidget(stopButton_);
    buttonRow->addSpacing(8);
    buttonRow->addWidget(statusLabel_, 1);
    buttonRow->addWidget(muteButton_);
    buttonRow->addWidget(volumeSlider_);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 2, 6, 2);
    rows->setSpacing(0);
    rows->addLayout(timeRow);
    rows->addLayout(buttonRow);

    connect(playPauseButton_, &QToolButton::clicked, this, [this] {
        if (player_->playbackState() == QMediaPlayer::PlayingState)
            pause();
        else
            play();
    });
    connect(stopButton_, &QToolButton::clicked, this, &MediaPlayer::stop);
    connect(muteButton_, &QToolButton::clicked, this, &MediaPlayer::setMuted);
    connect(volumeSlider_, &QSlider::valueChanged, this, &MediaPlayer::applyVolume);

    // A drag seeks once, where it is let go; until then the player keeps
    // playing and only the elapsed time follows the handle.
    connect(positionSlider_, &QSlider::sliderMoved, this, [this](int value) {
        elapsedLabel_->setText(formatPlayTime(value, player_->duration()));
    });
    connect(positionSlider_, &QSlider::sliderReleased, this,
            [this] { seekTo(positionSlider_->sliderPosition()); });
    // Keys and the wheel move the bar by steps; each step seeks.
    connect(positionSlider_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove && !positionSlider_->isSliderDown())
            seekTo(positionSlider_->sliderPosition());
    });
}

void MediaPlayer::buildContextMenu()
{
    contextMenu_ = new QMenu(this);
    speedMenu_ = contextMenu_->addMenu(QStringLiteral("播放速度"));
    speedGroup_ = new QActionGroup(this);
    speedGroup_->setExclusive(true);
    for (const SpeedEntry& entry : kSpeeds) {
        QAction* action = speedMenu_->addAction(QString::fromUtf16(entry.text));
        action->setCheckable(true);
        action->setData(entry.rate);
        speedGroup_->addAction(action);
        const qreal rate = entry.rate;
        connect(action, &QAction::triggered, this, [this, rate] { setPlaybackRate(rate); });
    }
    checkCurrentSpeed();
}

void MediaPlayer::setSource(const QString& path)
{
    source_ = path;
    cannotPlay_ = false;
    // The old player is gone with this, so nothing reads the old file now.
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
    audioOutput_->setVolume(level);
}

bool MediaPlayer::isMuted() const
{
    return audioOutput_->isMuted();
}

void MediaPlayer::setMuted(bool muted)
{
    audioOutput_->setMuted(muted);
}

void MediaPlayer::setPlaybackRate(qreal rate)
{
    rate_ = rate;
    player_->setPlaybackRate(rate);
    checkCurrentSpeed();
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
        elapsedLabel_->setText(formatPlayTime(position, player_->duration()));
    }
}

void MediaPlayer::showDuration(qint64 duration)
{
    positionSlider_->setRange(0, static_cast<int>(duration));
    totalLabel_->setText(formatPlayTime(duration, duration));
    if (!positionSlider_->isSliderDown())
        elapsedLabel_->setText(formatPlayTime(player_->position(), duration));
}

QString MediaPlayer::statusText() const
{
    return statusLabel_->text();
}

void MediaPlayer::showState()
{
    const bool loaded = file_ && !cannotPlay_;
    const bool playing = player_->playbackState() == QMediaPlayer::PlayingState;

    playPauseButton_->setEnabled(loaded);
    playPauseButton_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    playPauseButton_->setToolTip(playing ? QStringLiteral("暂停") : QStringLiteral("播放"));
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
