// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoakFigures.h"

#include <QDebug>

void DownloadSoakFigures::countFailure(const DownloadResult& result)
{
    using Outcome = DownloadResult::Outcome;
    switch (result.outcome()) {
    case Outcome::HttpStatus:
        ++failures[QStringLiteral("HTTP %1").arg(result.httpStatus())];
        break;
    case Outcome::Network:
        ++failures[QStringLiteral("network")];
        break;
    case Outcome::File:
        ++failures[QStringLiteral("file")];
        break;
    default:
        ++failures[QDebug::toString(result)];
        break;
    }
}

QString DownloadSoakFigures::text() const
{
    const auto megabytes = [](qint64 kib) { return QString::number(double(kib) / 1024.0, 'f', 1); };
    QStringList lines;
    lines << QStringLiteral("seed %1").arg(seed);
    lines << QStringLiteral("downloads %1 of %2 lectures: %3 presses of 下 载 queued, %4 ended, %5 stored (%6 of them "
                            "after resuming); %7 ended unstored; at most %8 running at once")
                 .arg(downloads)
                 .arg(lectures)
                 .arg(presses)
                 .arg(ends)
                 .arg(stored)
                 .arg(storedAfterResuming)
                 .arg(givenUp)
                 .arg(mostRunning);
    QStringList reasons;
    for (const auto& [reason, count] : failures)
        reasons << QStringLiteral("%1 %2").arg(reason).arg(count);
    lines << QStringLiteral("failures by reason: ") + reasons.join(QStringLiteral(", "));
    lines << QStringLiteral("cancelled %1 waiting and %2 running (%3 stored all the same, the rename begun), %4 "
                            "pressed again while a cancel unwound; %5 presses on a lecture queued or stored refused")
                 .arg(cancelledWaiting)
                 .arg(cancelledRunning)
                 .arg(storedDespiteCancel)
                 .arg(pressedAgainAtOnce)
                 .arg(refused);
    lines << QStringLiteral("program closed and started again %1 times, %2 with downloads in the queue: %3 stored by "
                            "a rename under way, %4 presses afterwards asked for the rest of kept bytes")
                 .arg(restarts)
                 .arg(restartsInFlight)
                 .arg(storedAtClose)
                 .arg(resumedAfterRestart);
    lines << QStringLiteral("lectures changed on the server %1 (%2 mid-transfer), removed %3; %4 brought up to date "
                            "once the server was calm")
                 .arg(changedOnServer)
                 .arg(changedMidTransfer)
                 .arg(removedFromServer)
                 .arg(settled);
    lines << QStringLiteral("requests %1, %2 for a range, resumes %3 (206 answers continuing kept bytes)")
                 .arg(server.requests)
                 .arg(server.rangeRequests)
                 .arg(server.rangesContinued);
    QStringList faults;
    for (int kind = 0; kind < ChaosServer::kFaultKinds; ++kind)
        faults << QStringLiteral("%1 %2")
                      .arg(QLatin1StringView(ChaosServer::faultName(ChaosServer::Fault(kind))))
                      .arg(server.faults[size_t(kind)]);
    lines << QStringLiteral("faults injected: ") + faults.join(QStringLiteral(", "));
    lines << QStringLiteral("long stalls waited out: %1").arg(server.longStallsWaitedOut);
    lines << QStringLiteral("wall time %1 s").arg(seconds, 0, 'f', 1);
    lines << QStringLiteral(
                 "memory (VmRSS) %1 MB at the start, %2 MB after %3 downloads, %4 MB after the run (%5%6 MB)")
                 .arg(megabytes(residentBeforeKiB))
                 .arg(megabytes(residentAfterWarmUpKiB))
                 .arg(warmUpDownloads)
                 .arg(megabytes(residentAfterKiB))
                 .arg(residentAfterKiB >= residentAfterWarmUpKiB ? QStringLiteral("+") : QString())
                 .arg(megabytes(residentAfterKiB - residentAfterWarmUpKiB));
    lines << QStringLiteral("file descriptors %1 before, %2 after").arg(descriptorsBefore).arg(descriptorsAfter);
    if (held()) {
        lines << QStringLiteral("every invariant held");
    } else {
        lines << QStringLiteral("%1 invariant(s) broken:").arg(violationCount);
        for (const QString& violation : violations)
            lines << QStringLiteral("  ") + violation;
        if (violationCount > violations.size())
            lines << QStringLiteral("  ... and %1 more").arg(violationCount - violations.size());
    }
    return lines.join(u'\n');
}
