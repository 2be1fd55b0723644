// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/SleepTimer.h"

#include "playback/Playback.h"

#include <QTimer>

#include <algorithm>
#include <utility>

SleepTimer::SleepTimer(Playback& playback, Clock clock, QObject* parent)
    : QObject(parent),
      playback_(playback),
      clock_(std::move(clock)),
      checkTimer_(new QTimer(this))
{
    connect(checkTimer_, &QTimer::timeout, this, &SleepTimer::check);
    // Another lecture: the place the fade began was in the old one.
    connect(&playback_, &Playback::sourceChanged, this, [this] {
        fadeStart_ = -1;
        heldAfterEnd_ = false;
    });
    // A place the listener chose during the fade is the one to go back to.
    connect(&playback_, &Playback::seeked, this, [this](qint64 position) {
        if (fadeStart_ >= 0)
            fadeStart_ = position;
    });
    connect(&playback_, &Playback::playbackStateChanged, this, [this](Playback::State state) {
        if (state == Playback::State::Playing)
            heldAfterEnd_ = false;
    });
    connect(&playback_, &Playback::statusChanged, this, [this](Playback::Status status) {
        if (status == Playback::Status::Ended && mode_ == Mode::EndOfLecture) {
            end();
            heldAfterEnd_ = true;
        }
    });
}

void SleepTimer::start(int minutes)
{
    deadline_ = clock_() + qint64(minutes) * 60000;
    begin(Mode::Minutes);
}

void SleepTimer::startUntilEndOfLecture()
{
    begin(Mode::EndOfLecture);
}

void SleepTimer::cancel()
{
    if (isActive())
        end();
}

void SleepTimer::begin(Mode mode)
{
    mode_ = mode;
    fadeStart_ = -1;
    heldAfterEnd_ = false;
    playback_.setFadeLevel(1.0);
    checkTimer_->start(kCheckInterval);
    check();
}

qint64 SleepTimer::remaining() const
{
    switch (mode_) {
    case Mode::Off:
        break;
    case Mode::Minutes:
        return std::max<qint64>(deadline_ - clock_(), 0);
    case Mode::EndOfLecture: {
        const qint64 duration = playback_.duration();
        if (duration <= 0)
            break;
        const qreal rate = playback_.playbackRate() > 0 ? playback_.playbackRate() : 1.0;
        return qRound64(std::max<qint64>(duration - playback_.position(), 0) / rate);
    }
    }
    return -1;
}

bool SleepTimer::holdsNextLecture() const
{
    // A lecture that ends during the fade of a deadline would be followed
    // by one that is stopped a few seconds in.
    return mode_ == Mode::EndOfLecture || fadeStart_ >= 0 || heldAfterEnd_;
}

void SleepTimer::check()
{
    const qint64 left = remaining();
    if (mode_ == Mode::Minutes && left == 0) {
        stopLecture();
        return;
    }
    const bool fading = left >= 0 && left <= kFade;
    if (fading) {
        if (fadeStart_ < 0 && playback_.playbackState() == Playback::State::Playing)
            fadeStart_ = playback_.position();
        playback_.setFadeLevel(qreal(left) / kFade);
    } else {
        // Back out of the fade: the lecture was taken back, or slowed down.
        fadeStart_ = -1;
        playback_.setFadeLevel(1.0);
    }
    const bool fadeNear = left >= 0 && left <= kFade + kCheckInterval.count();
    checkTimer_->setInterval(fadeNear ? kFadeStep : kCheckInterval);
    emit changed();
}

void SleepTimer::stopLecture()
{
    const qint64 fadeStart = fadeStart_;
    if (playback_.playbackState() == Playback::State::Playing) {
        playback_.pause();
        if (fadeStart >= 0)
            playback_.seek(fadeStart);
    }
    end();
}

void SleepTimer::end()
{
    checkTimer_->stop();
    mode_ = Mode::Off;
    fadeStart_ = -1;
    heldAfterEnd_ = false;
    // Once the sound has stopped, so no loud moment is heard.
    playback_.setFadeLevel(1.0);
    emit changed();
}
