// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// Turns the requests to quit that reach a desktop program as signals
// (SIGTERM at logout or shutdown, SIGHUP when its terminal goes, SIGINT from
// Ctrl+C) into a Qt signal on the event loop, so the program can go through
// its own close instead of dying mid-write. A second such signal while the
// first is still being handled ends the process the hard way, so a program
// that hangs can still be stopped.
//
// One instance at a time takes the handlers over, for its lifetime; any
// further one made while it lives never signals.
class TerminationRequests final : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequests(QObject* parent = nullptr);
    ~TerminationRequests() override;

    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;

signals:
    void requested(int signalNumber);

private:
    void readPending();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform
