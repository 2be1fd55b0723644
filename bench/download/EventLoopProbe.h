// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A precise 1 ms timer on the thread it lives on: the longest gap between
// two of its ticks is the longest the thread went without serving its
// events, to within the tick. It costs the thread a wake-up a millisecond,
// where an event re-posted at every pass would keep it spinning and take
// the core the downloads need.
class EventLoopProbe : public QObject {
public:
    static constexpr qint64 kLongNs = 50'000'000;

    EventLoopProbe();

    void start();
    void stop();
    double longestMs() const { return longestNs_ / 1e6; }
    // The gaps of kLongNs and over.
    int longGaps() const { return longGaps_; }

private:
    void note(qint64 gapNs);

    QTimer timer_;
    QElapsedTimer sinceTick_;
    qint64 longestNs_ = 0;
    int longGaps_ = 0;
};
