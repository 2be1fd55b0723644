// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <chrono>

namespace platform {

// How long a request may wait, and how much text it may read, before it
// counts as failed. A default-made value holds the program's own limits;
// every request is handed the limits it works under (tests and benchmarks
// hand it shorter ones). These are safety limits, not settings: a blocking
// request on the interface thread must never hang the program for good.
struct NetworkLimits {
    std::chrono::seconds connectTimeout{30};
    // A transfer fails when no byte has arrived for this long.
    std::chrono::seconds stallTimeout{60};
    // A text (version file, catalogue, lecture list) is read whole into
    // memory on the interface thread: one that grows past this size, or
    // that has not come completely in this time, counts as not read.
    qint64 textBodyLimit = qint64(256) * 1024 * 1024;
    std::chrono::seconds textFetchTimeout{120};
    // Which certificate authorities an https server's certificate may be
    // signed by. Empty, the program's own value, keeps libcurl's default:
    // the system's trust store. A file named here replaces that store for
    // the request; only tests name one, the system's roots and their own
    // test authority in one file.
    QString certificateAuthorityFile;
};

}  // namespace platform
