// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

namespace platform {

// What the system says of the network, where it says anything: Qt's
// network information on its default back end (NetworkManager's on a Linux
// desktop). Without a back end that knows, nothing is ever known offline
// and online() never comes; callers fall back on their own timers.
class NetworkReachability : public QObject {
    Q_OBJECT

public:
    explicit NetworkReachability(QObject* parent = nullptr);

    // The system says there is no network at all: waiting for a server is
    // pointless.
    bool isKnownOffline() const;

signals:
    // The system reports a network again, after having none.
    void online();
};

}  // namespace platform
