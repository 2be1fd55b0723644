// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoakFigures.h"

QString DownloadSoakFigures::text() const
{
    const auto megabytes = [](qint64 kib) { return QString::number(double(kib) / 1024.0, 'f', 1); };
    QStringList lines;
    lines << QStringLiteral("seed %1").arg(seed);
    lines << QStringLiteral("downloads %1 of %2 lectures: %3 presses of 下 载, %4 stored (%5 of them after "
                            "resuming), %6 cancelled, %7 pressed again while a cancel unwound, %8 refused while "
                            "another ran; %9 ended unstored")
                 .arg(downloads)
                 .arg(lectures)
                 .arg(starts)
                 .arg(stored)
                 .arg(storedAfterResuming)
                 .arg(cancelled)
                 .arg(pressedAgainAtOnce)
                 .arg(refused)
                 .arg(givenUp);
    lines << QStringLiteral("lectures changed on the server %1 (%2 mid-transfer), removed %3; program started "
                            "again %4 times; %5 brought up to date once the server was calm")
                 .arg(changedOnServer)
                 .arg(changedMidTransfer)
                 .arg(removedFromServer)
                 .arg(restarts)
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
    lines << QStringLiteral("long stalls the engine waited out: %1").arg(server.longStallsWaitedOut);
    lines << QStringLiteral("wall time %1 s").arg(seconds, 0, 'f', 1);
    lines << QStringLiteral("memory (VmRSS) %1 MB after %2 downloads, %3 MB after the run (%4%5 MB)")
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
