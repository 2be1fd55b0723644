// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/IntervalTimer.h"

namespace platform {

IntervalTimer::IntervalTimer(int interval, QObject* parent) : QObject(parent)
{
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &IntervalTimer::timeout);
}

void IntervalTimer::setEnabled(bool enabled)
{
    if (enabled == timer_.isActive())
        return;
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}

}  // namespace platform
