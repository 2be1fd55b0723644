// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/JobRun.h"

#include "download/DownloadJob.h"

#include <QTest>

DownloadResult runToEnd(DownloadJob& job, const std::function<void(qint64 received, qint64 total)>& onProgress)
{
    QObject context;
    if (onProgress)
        QObject::connect(&job, &DownloadJob::progressed, &context, onProgress);
    bool ended = false;
    QObject::connect(&job, &DownloadJob::finished, &context, [&ended] { ended = true; });
    job.start();
    if (!QTest::qWaitFor([&ended] { return ended; }, 60000))
        return {DownloadResult::Outcome::Refused, QStringLiteral("did not finish")};
    return job.result();
}
