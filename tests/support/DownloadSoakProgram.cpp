// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoakProgram.h"

#include "download/DownloadQueue.h"
#include "download/PartialDownload.h"
#include "platform/net/NetworkAccess.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThreadPool>
#include <QTimer>

namespace {

// What the program's start prunes: partial files older than this.
constexpr std::chrono::hours kPartialLifetime{24 * 30};

}  // namespace

DownloadSoakProgram::DownloadSoakProgram(QString folder, DownloadOptions options, Handlers handlers)
    : folder_(std::move(folder)),
      options_(std::move(options)),
      handlers_(std::move(handlers))
{
}

DownloadSoakProgram::~DownloadSoakProgram()
{
    close();
}

void DownloadSoakProgram::start()
{
    queue_ = std::make_unique<DownloadQueue>(options_);
    QObject::connect(queue_.get(), &DownloadQueue::stateChanged, queue_.get(), handlers_.stateChanged);
    QObject::connect(queue_.get(), &DownloadQueue::finished, queue_.get(),
                     [this](const QString& target, const QString&, const DownloadResult& result) {
                         handlers_.finished(target, result);
                     });
    prunePartialDownloads(folder_, kPartialLifetime);
}

void DownloadSoakProgram::close()
{
    queue_.reset();
    // The thread that did the renames holds a descriptor for its events
    // while it waits in the pool.
    QThreadPool::globalInstance()->waitForDone();
    // The renames' ends, the cancelled transfers' ends, and the jobs going.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void DownloadSoakProgram::later(std::function<void()> action)
{
    ++scheduled_;
    QTimer::singleShot(0, &pump_, [this, action = std::move(action)]() mutable {
        --scheduled_;
        if (!queue_)
            return later(std::move(action));
        action();
    });
}

bool DownloadSoakProgram::waitUntilQuiet(std::chrono::milliseconds timeout)
{
    const auto quiet = [this] { return scheduled_ == 0 && queue_ && queue_->isEmpty() && !queue_->isUnwinding(); };
    QEventLoop loop;
    QTimer look;
    look.callOnTimeout(&loop, [&] {
        if (quiet())
            loop.quit();
    });
    look.start(10);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    if (!quiet())
        loop.exec();
    return quiet();
}
