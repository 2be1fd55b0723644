// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// What a server says about a file when asked for its head only.
struct HeadAnswer {
    bool answered = false;  // a whole answer came (its status may still be an error)
    QString errorString;  // libcurl's reason when none came
    long status = 0;
    // From the one-byte GET that stood in for a HEAD the server refused.
    bool fromRangedGet = false;
    std::optional<QByteArray> contentType;
    std::optional<QByteArray> acceptRanges;
    std::optional<QByteArray> contentRange;
    std::optional<QByteArray> etag;
    std::optional<QByteArray> lastModified;
    // The first bytes of the body, when one came (at most kSniffedBytes).
    QByteArray firstBytes;
};

// Asks many addresses for their heads at once, on the calling thread (one
// libcurl multi handle), under the options every request of the program
// shares (CurlRequest). Each address gets a HEAD; when the server refuses
// HEAD (405, 501) a GET of the first byte alone ("Range: bytes=0-0")
// stands in for it, and a server that sends the whole file anyway is cut
// off after kSniffedBytes. No file is ever fetched whole.
class HeadRequests {
public:
    static constexpr qsizetype kSniffedBytes = 512;

    HeadRequests(const NetworkLimits& limits, int parallel);

    // One answer per address, in their order.
    QList<HeadAnswer> run(const QStringList& addresses);
    // Requests made so far, the stand-in GETs among them.
    int requestCount() const { return requestCount_; }

private:
    NetworkLimits limits_;
    int parallel_ = 1;
    int requestCount_ = 0;
};

}  // namespace platform
