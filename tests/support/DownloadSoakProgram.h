// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadOptions.h"
#include "download/DownloadResult.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class DownloadQueue;
namespace platform {
class NetworkAccess;
}  // namespace platform

// The program as a DownloadSoak runs it: a DownloadQueue on a NetworkAccess
// of its own, started and closed as the window does, and the clicks that
// land a turn of the event loop later.
class DownloadSoakProgram {
public:
    struct Handlers {
        std::function<void(const QString& target)> stateChanged;
        std::function<void(const QString& target, const DownloadResult& result)> finished;
    };

    DownloadSoakProgram(QString folder, DownloadOptions options, Handlers handlers);
    ~DownloadSoakProgram();
    DownloadSoakProgram(const DownloadSoakProgram&) = delete;
    DownloadSoakProgram& operator=(const DownloadSoakProgram&) = delete;

    // As the window's start does: a new queue, and the
    // partial files that will not be resumed pruned.
    void start();
    // As the window closes: the queue stops every download, keeping the
    // bytes written whole, and says nothing. Then
    // until the renames under way and the cancelled downloads unwinding
    // have ended.
    void close();
    // Only while started.
    DownloadQueue& queue() { return *queue_; }

    // Runs action a turn of the event loop later, as a click lands; while
    // the program is closed, once it has started again.
    void later(std::function<void()> action);
    // Serves events until every click has landed and the queue is empty,
    // nothing unwinding; false when that has not come after timeout.
    bool waitUntilQuiet(std::chrono::milliseconds timeout);

private:
    const QString folder_;
    const DownloadOptions options_;
    const Handlers handlers_;
    std::unique_ptr<DownloadQueue> queue_;
    // Receives the clicks; going first, it takes those still to come.
    QObject pump_;
    int scheduled_ = 0;
};
