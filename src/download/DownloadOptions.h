// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

// How downloads work, besides where from and where to. A default-made value
// is how the program downloads.
struct DownloadOptions {
    // Whether a complete file's data reaches the disk before it gets its
    // name, and its folder's entry after, so that a lecture reported as
    // stored survives a power cut. The download benchmark turns it off to
    // measure what it costs.
    bool durable = true;
    platform::NetworkLimits limits;
};
