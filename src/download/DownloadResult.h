// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDebug>
#include <QObject>
#include <QString>

// How a download ended, with the reason when it did not store the file.
class DownloadResult {
    Q_GADGET

public:
    enum class Outcome {
        Complete,  // the whole file is stored under the target's name
        Cancelled,  // cancelled while it ran
        // The transfer broke off or never got going: no connection, the
        // server refused or stalled, the body ended before its announced
        // length, not an http(s) address. The bytes that came are kept for
        // the next attempt when the server named a validator.
        Network,
        // The server answered with something other than the file asked for:
        // an error status, a 204, a range that was not asked for.
        // httpStatus() says which.
        HttpStatus,
        // The partial file could not be created, written, flushed or
        // renamed onto the target. Of one that could take no more (a full
        // disk), the bytes written whole are kept as for Network.
        File,
        // Never started, nothing asked of the server and nothing written:
        // the target's name is longer than its file system allows, or
        // another download was running.
        Refused,
    };
    Q_ENUM(Outcome)

    // A download that has not run: Refused, without a reason.
    DownloadResult() = default;
    DownloadResult(Outcome outcome, QString errorString, int httpStatus = 0);
    static DownloadResult complete() { return DownloadResult(Outcome::Complete, {}); }

    Outcome outcome() const { return outcome_; }
    bool isComplete() const { return outcome_ == Outcome::Complete; }
    // The status of the answer that was not the file; 0 when there is none.
    int httpStatus() const { return httpStatus_; }
    // What went wrong, in English, for the log: "HTTP status 404 ...",
    // libcurl's reason, the file operation that failed. Empty for Complete.
    QString errorString() const { return errorString_; }

private:
    Outcome outcome_ = Outcome::Refused;
    QString errorString_;
    int httpStatus_ = 0;
};

// "Network: Failed to connect to ...", for the log.
QDebug operator<<(QDebug debug, const DownloadResult& result);
