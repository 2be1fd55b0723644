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
    // No lecture is larger: an answer that names a larger file is refused,
    // and one that names no length is cut off and its bytes dropped once it
    // passes this, so that a server that streams for ever never fills the
    // disk. A lecture is speech, hours of it at the most: a whole day of
    // eight hours at 320 kbit/s, far above any rate speech is encoded at (the
    // sample library's is 24), is 1.15 GB.
    qint64 largestFile = qint64(2) * 1024 * 1024 * 1024;
};
