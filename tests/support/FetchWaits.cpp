// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FetchWaits.h"

#include "catalogue/TextFetch.h"
#include "platform/net/NetworkAccess.h"

#include <QSignalSpy>

QString fetchTextAndWait(const QString& address, const platform::NetworkLimits& limits)
{
    platform::NetworkAccess network;
    TextFetch fetch(network, address, QStringLiteral("GB2312"), nullptr, limits);
    QSignalSpy finished(&fetch, &TextFetch::finished);
    if (!finished.wait(60000))
        return QStringLiteral("<no answer>");
    return finished.first().first().toString();
}
