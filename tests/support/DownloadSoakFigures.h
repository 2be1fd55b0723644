// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/ChaosServer.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// What a DownloadSoak did and found.
struct DownloadSoakFigures {
    std::uint64_t seed = 0;
    int lectures = 0;
    int downloads = 0;  // lectures a user set out to store
    int starts = 0;  // presses of 下 载, each one start of the engine
    int stored = 0;  // starts that stored the lecture
    int storedAfterResuming = 0;  // of those, starts whose answer continued kept bytes
    int cancelled = 0;
    int pressedAgainAtOnce = 0;  // starts made while a cancelled one was unwinding
    int refused = 0;  // presses on another lecture while one ran
    int restarts = 0;  // the program started again
    int givenUp = 0;  // downloads that ended unstored: cancelled, removed, or pressed ten times
    int changedOnServer = 0;  // by the soak, between downloads or mid-transfer
    int changedMidTransfer = 0;
    int removedFromServer = 0;
    int settled = 0;  // downloads of the calm pass at the end
    ChaosServer::Counts server;
    double seconds = 0;
    int warmUpDownloads = 0;
    qint64 residentAfterWarmUpKiB = 0;
    qint64 residentAfterKiB = 0;
    int descriptorsBefore = 0;
    int descriptorsAfter = 0;
    int violationCount = 0;
    QStringList violations;  // the first few, with what showed them

    bool held() const { return violationCount == 0; }
    // The figures and the broken invariants, a line each.
    QString text() const;
};
