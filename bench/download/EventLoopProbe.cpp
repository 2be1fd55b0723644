// SPDX-License-Identifier: GPL-3.0-or-later

#include "EventLoopProbe.h"

#include <algorithm>

EventLoopProbe::EventLoopProbe()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    connect(&timer_, &QTimer::timeout, this, [this] {
        note(sinceTick_.nsecsElapsed());
        sinceTick_.start();
    });
}

void EventLoopProbe::start()
{
    longestNs_ = 0;
    longGaps_ = 0;
    sinceTick_.start();
    timer_.start();
}

void EventLoopProbe::stop()
{
    timer_.stop();
    // The last gap, up to now, counts too.
    note(sinceTick_.nsecsElapsed());
}

void EventLoopProbe::note(qint64 gapNs)
{
    longestNs_ = std::max(longestNs_, gapNs);
    longGaps_ += gapNs >= kLongNs ? 1 : 0;
}
