// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// A blocking HTTP GET on the calling thread. The body comes back whatever
// the status code; nothing at all comes back when no complete response
// arrived (no network, refused, timed out, cut off, not an http address)
// and when the body passes the text limits of limits. Each failure is
// logged under "kardelo.net" with libcurl's reason.
std::optional<QByteArray> httpGet(const QString& address, const NetworkLimits& limits = {});

// The same request, with the status of the answer that carried the body
// (after any redirects), for callers that tell an error page from a file.
struct HttpAnswer {
    long status = 0;
    QByteArray body;
};
std::optional<HttpAnswer> httpGetAnswer(const QString& address, const NetworkLimits& limits = {});

}  // namespace platform
