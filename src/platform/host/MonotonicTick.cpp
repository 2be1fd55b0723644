// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/MonotonicTick.h"

#include <chrono>

namespace platform {

qint64 monotonicMilliseconds()
{
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
}

}  // namespace platform
