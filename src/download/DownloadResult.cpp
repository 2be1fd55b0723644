// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadResult.h"

#include <QMetaEnum>

DownloadResult::DownloadResult(Outcome outcome, QString errorString, int httpStatus)
    : outcome_(outcome),
      errorString_(std::move(errorString)),
      httpStatus_(httpStatus)
{
}

QDebug operator<<(QDebug debug, const DownloadResult& result)
{
    const QDebugStateSaver saver(debug);
    debug.nospace().noquote() << QMetaEnum::fromType<DownloadResult::Outcome>().valueToKey(int(result.outcome()));
    if (!result.errorString().isEmpty())
        debug << ": " << result.errorString();
    return debug;
}
