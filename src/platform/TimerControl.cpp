#include "platform/TimerControl.h"

namespace platform {

TimerControl::TimerControl(int interval, QObject* parent) : QObject(parent)
{
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &TimerControl::Timer);
}

void TimerControl::setEnabled(bool enabled)
{
    if (enabled == timer_.isActive())
        return;
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}

}  // namespace platform
