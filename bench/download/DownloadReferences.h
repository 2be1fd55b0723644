// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// What the download benches measure the program against, run in the same
// process run: the curl command-line tool, and the download benchmark of an
// earlier build of the program.

struct CurlFigures {
    bool ok = false;
    double seconds = 0;
};

// Runs "curl -s -o paths[i] addresses[i]" for every i at once and waits for
// all; with sync, each file is flushed ("sync paths[i]") as soon as its own
// curl has ended, as a durable download flushes each file when it is whole.
// The time runs from the first start to the last end.
CurlFigures runCurlsAtOnce(const QStringList& addresses, const QStringList& paths, bool sync);

// One download's figures as an earlier build's download_bench prints them.
struct EarlierFigures {
    bool ok = false;
    double curlMiBPerSecond = 0;
    double unflushedMiBPerSecond = 0;  // "ours, no flush"
    double durableMiBPerSecond = 0;  // "ours"
    QString output;
};

// Runs program (an earlier build's download_bench) once over a file of
// sizeMiB, each side downloading it once.
EarlierFigures runEarlierBench(const QString& program, qint64 sizeMiB);
