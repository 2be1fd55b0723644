// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <chrono>
#include <functional>

class Playback;
class QTimer;

// Stops the lecture for a listener who falls asleep to it: after a number
// of minutes, or at the end of the lecture playing. Over the last kFade of
// it the sound fades out, through the playback's fade level, so the volume
// the listener chose stays as it was. At a deadline of minutes the lecture
// then pauses and goes back to where the fade began, the place the
// listening memory keeps: the listener takes it up again from the last
// words heard whole. "Until the end of the lecture" fades over the
// lecture's last kFade of play at its speed and is over once it has ended.
//
// The deadline is on a clock that goes on while the machine is suspended
// (platform::bootTimeMilliseconds in the program): a timer that ran out
// during a suspend ends at once on waking, instead of playing on for as
// long as the machine slept. It is looked at once a second, ten times a
// second during the fade so the fade is smooth; never by one timer as long
// as the time set, which would stand still during a suspend.
//
// Going on to the next lecture when one ends: ask holdsNextLecture() then.
// It is true while the timer waits for the end of the lecture, and after
// it has ended with the lecture until another lecture is set or this one
// plays again; so the answer is the same whether the timer or the asker
// hears of the end first.
class SleepTimer : public QObject {
    Q_OBJECT

public:
    enum class Mode { Off, Minutes, EndOfLecture };
    Q_ENUM(Mode)

    // Milliseconds of a clock that counts suspended time; only differences
    // between two readings mean anything.
    using Clock = std::function<qint64()>;

    static constexpr qint64 kFade = 10000;
    static constexpr std::chrono::milliseconds kCheckInterval{1000};
    static constexpr std::chrono::milliseconds kFadeStep{100};

    // playback must outlive the timer.
    SleepTimer(Playback& playback, Clock clock, QObject* parent = nullptr);

    // Each replaces the timer running, if any, and undoes its fade.
    void start(int minutes);
    void startUntilEndOfLecture();
    void cancel();

    Mode mode() const { return mode_; }
    bool isActive() const { return mode_ != Mode::Off; }
    // Until the lecture stops, in ms: on the clock for minutes, of play at
    // the current speed for the end of the lecture. -1 when off, or while
    // the lecture's length is not known.
    qint64 remaining() const;
    // Whether the lecture that ends now must not be followed by the next.
    bool holdsNextLecture() const;

signals:
    // Started, cancelled or over, or the time left moved on.
    void changed();

private:
    void begin(Mode mode);
    void check();
    // The deadline of minutes has come: the lecture stops where the fade began.
    void stopLecture();
    void end();

    Playback& playback_;
    Clock clock_;
    QTimer* checkTimer_ = nullptr;
    Mode mode_ = Mode::Off;
    qint64 deadline_ = 0;
    // Where the lecture was when the fade began; -1 until then.
    qint64 fadeStart_ = -1;
    // The timer ended with the end of the lecture, which stays ended.
    bool heldAfterEnd_ = false;
};
