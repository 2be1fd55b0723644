// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/TransportBar.h"

#include "parts/PlayTime.h"
#include "platform/widgets/MenuButton.h"
#include "playback/Playback.h"
#include "playback/SleepTimer.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

// What the bar shows of the playback: it follows the playback's signals.
// The controls, their keys and the context menu, which give the playback
// its commands, are in TransportBarControls.cpp.

TransportBar::TransportBar(Playback& playback, SleepTimer& sleepTimer, QWidget* parent)
    : QWidget(parent),
      playback_(playback),
      sleepTimer_(sleepTimer)
{
    buildContextMenu();
    buildSleepMenu();
    buildSkipActions();
    buildBar();
    showMuted(playback_.isMuted());
    showDuration(playback_.duration());
    showPosition(playback_.position());
    showState();
    showSpeed();
    showSleepTimer();
    connectPlayback();
}

void TransportBar::connectPlayback()
{
    connect(&playback_, &Playback::positionChanged, this, &TransportBar::showPosition);
    connect(&playback_, &Playback::durationChanged, this, &TransportBar::showDuration);
    connect(&playback_, &Playback::playbackStateChanged, this, &TransportBar::showState);
    connect(&playback_, &Playback::statusChanged, this, &TransportBar::showState);
    connect(&playback_, &Playback::seekableChanged, this, &TransportBar::showState);
    connect(&playback_, &Playback::mutedChanged, this, &TransportBar::showMuted);
    connect(&playback_, &Playback::volumeChanged, volumeSlider_, &QSlider::setValue);
    connect(&playback_, &Playback::playbackRateChanged, this, &TransportBar::showSpeed);
    connect(&sleepTimer_, &SleepTimer::changed, this, &TransportBar::showSleepTimer);
}

namespace {

// The quiet line in the bar: what became of the lecture.
QString statusLine(Playback::Status status)
{
    switch (status) {
    case Playback::Status::NoLecture:
        break;
    case Playback::Status::CannotOpen:
        return QStringLiteral("无法打开文件");
    case Playback::Status::CannotPlay:
        return QStringLiteral("无法播放此文件");
    case Playback::Status::Loading:
        return QStringLiteral("正在打开…");
    case Playback::Status::Buffering:
        return QStringLiteral("正在缓冲…");
    case Playback::Status::Ended:
        return QStringLiteral("播放完毕");
    case Playback::Status::Playing:
        return QStringLiteral("正在播放");
    case Playback::Status::Paused:
        return QStringLiteral("已暂停");
    case Playback::Status::Stopped:
        return QStringLiteral("已停止");
    }
    return QString();
}

}  // namespace

QString TransportBar::statusText() const
{
    return statusLabel_->text();
}

void TransportBar::showState()
{
    const bool playing = playback_.playbackState() == Playback::State::Playing;
    playPauseButton_->setEnabled(playback_.canPlay());
    playPauseButton_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    nameButton(playPauseButton_, playing ? QStringLiteral("暂停") : QStringLiteral("播放"));
    stopButton_->setEnabled(playback_.canPlay());
    positionSlider_->setEnabled(playback_.isSeekable());
    // The actions hold the keys too: no skip without a place to go to.
    skipBackAction_->setEnabled(playback_.isSeekable());
    skipAheadAction_->setEnabled(playback_.isSeekable());
    sleepAtEndAction_->setEnabled(playback_.canPlay());
    statusLabel_->setText(statusLine(playback_.status()));
}

void TransportBar::showPosition(qint64 position)
{
    if (!positionSlider_->isSliderDown()) {
        positionSlider_->setValue(static_cast<int>(position));
        elapsedLabel_->setText(formatPlayTime(position, playback_.duration()));
    }
}

void TransportBar::showDuration(qint64 duration)
{
    positionSlider_->setRange(0, static_cast<int>(duration));
    totalLabel_->setText(formatPlayTime(duration, duration));
    if (!positionSlider_->isSliderDown())
        elapsedLabel_->setText(formatPlayTime(playback_.position(), duration));
}

void TransportBar::showMuted(bool muted)
{
    muteButton_->setChecked(muted);
    muteButton_->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    muteButton_->setToolTip(muted ? QStringLiteral("取消静音") : QStringLiteral("静音"));
}

void TransportBar::showSpeed()
{
    const qreal rate = playback_.playbackRate();
    for (QAction* action : speedGroup_->actions())
        action->setChecked(qFuzzyCompare(action->data().toReal(), rate));
    // "1x", "1.25x": as short as the rate allows.
    speedButton_->setText(QString::number(rate, 'g', 3) + u'x');
    speedButton_->setAccessibleDescription(speedButton_->text());
}

void TransportBar::showSleepTimer()
{
    switch (sleepTimer_.mode()) {
    case SleepTimer::Mode::Off:
        sleepButton_->setText(QStringLiteral("定时"));
        break;
    case SleepTimer::Mode::Minutes: {
        // Whole seconds, rounded up: it shows 00:00 only when it stops.
        const qint64 seconds = (sleepTimer_.remaining() + 999) / 1000;
        sleepButton_->setText(QStringLiteral("%1:%2")
                                  .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                                  .arg(seconds % 60, 2, 10, QLatin1Char('0')));
        break;
    }
    case SleepTimer::Mode::EndOfLecture:
        sleepButton_->setText(QStringLiteral("本讲结束"));
        break;
    }
    cancelSleepAction_->setEnabled(sleepTimer_.isActive());
}

void TransportBar::contextMenuEvent(QContextMenuEvent* event)
{
    contextMenu_->popup(event->globalPos());
    event->accept();
}
