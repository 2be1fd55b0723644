#pragma once

#include <chrono>

namespace platform {

// How long a request may wait before it counts as failed. These are the
// platform's own safety limits, not program settings: a blocking request on
// the interface thread must never hang the program for good.
struct NetworkLimits {
    std::chrono::seconds connectTimeout{30};
    // A transfer fails when no byte has arrived for this long.
    std::chrono::seconds stallTimeout{60};
};

NetworkLimits& currentNetworkLimits();

}  // namespace platform
