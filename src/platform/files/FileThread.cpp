// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/FileThread.h"

#include "platform/files/PoolJob.h"

#include <QThreadPool>

namespace platform {

FileThread::FileThread() : pool_(std::make_unique<QThreadPool>()), reports_(std::make_unique<QObject>())
{
    // One thread: the jobs keep their order, and no two touch a file at once.
    pool_->setMaxThreadCount(1);
    pool_->setObjectName(QStringLiteral("files"));
}

FileThread::~FileThread()
{
    finish();
    // Reports still queued go with their receiver.
    reports_.reset();
}

void FileThread::run(std::function<void()> job)
{
    startPoolJob(*pool_, std::move(job));
}

void FileThread::finish()
{
    pool_->waitForDone();
}

void FileThread::report(std::function<void()> call)
{
    QMetaObject::invokeMethod(reports_.get(), std::move(call), Qt::QueuedConnection);
}

}  // namespace platform
