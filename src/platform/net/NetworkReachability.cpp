// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/NetworkReachability.h"

#include "platform/net/NetLog.h"

#include <QNetworkInformation>

namespace platform {

namespace {

QNetworkInformation* loadedInformation()
{
    // Loaded once for the process; Qt keeps the one instance.
    static const bool loaded = [] {
        const bool done = QNetworkInformation::loadDefaultBackend();
        if (!done)
            qCDebug(lcNet) << "the system says nothing of the network: no back end among"
                           << QNetworkInformation::availableBackends();
        return done;
    }();
    return loaded ? QNetworkInformation::instance() : nullptr;
}

}  // namespace

NetworkReachability::NetworkReachability(QObject* parent) : QObject(parent)
{
    if (QNetworkInformation* information = loadedInformation()) {
        connect(information, &QNetworkInformation::reachabilityChanged, this,
                [this](QNetworkInformation::Reachability reachability) {
                    if (reachability != QNetworkInformation::Reachability::Disconnected
                        && reachability != QNetworkInformation::Reachability::Unknown)
                        emit online();
                });
    }
}

bool NetworkReachability::isKnownOffline() const
{
    const QNetworkInformation* information = loadedInformation();
    return information && information->reachability() == QNetworkInformation::Reachability::Disconnected;
}

}  // namespace platform
