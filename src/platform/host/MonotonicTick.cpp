// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/MonotonicTick.h"

#include <QLoggingCategory>

#include <cerrno>
#include <chrono>
#include <time.h>

namespace platform {
namespace {

// Only the sleep timer asks for the boot-time clock.
Q_LOGGING_CATEGORY(lcTick, "kardelo.player")

}  // namespace

qint64 monotonicMilliseconds()
{
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
}

qint64 bootTimeMilliseconds()
{
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        // Only a kernel older than any this runs on lacks it; the steady
        // clock then keeps the time, less the suspends.
        qCWarning(lcTick) << "no boot-time clock:" << qt_error_string(errno);
        return monotonicMilliseconds();
    }
    return static_cast<qint64>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace platform
