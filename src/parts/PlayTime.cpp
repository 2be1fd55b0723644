// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PlayTime.h"

#include <algorithm>

QString formatPlayTime(qint64 milliseconds, qint64 lengthMilliseconds)
{
    const qint64 seconds = std::max<qint64>(milliseconds, 0) / 1000;
    const bool withHours = std::max({milliseconds, lengthMilliseconds, qint64{0}}) >= 3600 * 1000;
    const qint64 hours = seconds / 3600;
    const QChar zero(u'0');
    if (withHours) {
        return QStringLiteral("%1:%2:%3").arg(hours).arg(seconds / 60 % 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero);
    }
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero);
}
