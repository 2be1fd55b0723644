// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadResult.h"
#include "support/ChaosServer.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>

// What a DownloadSoak did and found.
struct DownloadSoakFigures {
    std::uint64_t seed = 0;
    int lectures = 0;
    int downloads = 0;  // lectures a user set out to store
    int presses = 0;  // presses of 下 载 the queue took
    int ends = 0;  // downloads the queue reported ended
    int stored = 0;  // of those, the ones that stored the lecture
    int storedAfterResuming = 0;  // of those, the ones whose answer continued kept bytes
    std::map<QString, int> failures;  // the other ends, by reason
    int cancelledWaiting = 0;
    int cancelledRunning = 0;
    int storedDespiteCancel = 0;  // a cancel that came once the rename had begun
    int pressedAgainAtOnce = 0;  // presses made while a cancelled download unwound
    int refused = 0;  // presses on a lecture already queued or stored
    int mostRunning = 0;  // downloads running at once
    int restarts = 0;  // the program closed and started again
    int restartsInFlight = 0;  // of those, with downloads in the queue
    int storedAtClose = 0;  // running downloads whose rename had begun when the program closed
    int resumedAfterRestart = 0;  // presses after a restart that asked for the rest of kept bytes
    int givenUp = 0;  // downloads that ended unstored: cancelled, removed, or pressed ten times
    int changedOnServer = 0;  // by the soak, between rounds or mid-transfer
    int changedMidTransfer = 0;
    int removedFromServer = 0;
    int settled = 0;  // downloads of the calm pass at the end
    ChaosServer::Counts server;
    double seconds = 0;
    int warmUpDownloads = 0;
    qint64 residentBeforeKiB = 0;
    qint64 residentAfterWarmUpKiB = 0;
    qint64 residentAfterKiB = 0;
    int descriptorsBefore = 0;
    int descriptorsAfter = 0;
    int violationCount = 0;
    QStringList violations;  // the first few, with what showed them

    bool held() const { return violationCount == 0; }
    // Counts an end that did not store its lecture under its reason.
    void countFailure(const DownloadResult& result);
    // The figures and the broken invariants, a line each.
    QString text() const;
};
