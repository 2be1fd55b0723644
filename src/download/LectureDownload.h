// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadResult.h"
#include "platform/net/NetworkLimits.h"

#include <QString>

#include <functional>

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

// Downloads one address into one file, blocking the calling thread, and
// says how it went.
//
// The body goes to a hidden partial file beside the target
// (PartialDownload) and is renamed onto the target only when it is the
// whole file: the body of a 200 answer (after redirects) complete against
// its Content-Length; the exact continuation of kept bytes that was asked
// for (a 206 from the kept length to the end, naming the same total, if
// any, and the same validator as the kept bytes' record); or, for a
// request of the whole file, a 206 "bytes 0-(n-1)/n". Whatever was at the
// target before stays as it was until then.
//
// A transfer that broke off (cut, stalled, the process ended), or whose
// file would take no more (a full disk), keeps the bytes written whole,
// when the server named a validator, for the next download of the same
// address into the same target, which asks the server for the rest only.
// When the server does not continue them (another file now, a range not
// asked for, a 416), they are dropped and the whole file is asked for once
// more, at once. A cancel, an answer that is not the file and a file that
// cannot be created or stored keep nothing.
//
// A download that does not store the file is logged under
// "kardelo.download" with its reason.
class LectureDownload {
public:
    // received: bytes of the file there so far, kept bytes included; total:
    // the whole file's size, 0 while it is not known. Called at the start
    // (0, 0), regularly while the transfer runs, even while the server is
    // quiet (then with the same values), and once more when the whole body
    // is in, before it is stored.
    using ProgressHandler = std::function<void(qint64 received, qint64 total)>;

    LectureDownload(QString address, QString targetPath, DownloadOptions options = {});

    // Runs the download once; progressed is called on this thread while it runs.
    DownloadResult run(const ProgressHandler& progressed);
    // Asks the running download to stop, from inside progressed or anything
    // it calls; it stops before another byte is read, and run() returns
    // Cancelled. Even the last notification's cancel wins over storing.
    void abort() { aborted_ = true; }

private:
    class Run;

    QString address_;
    QString targetPath_;
    DownloadOptions options_;
    bool aborted_ = false;
};
