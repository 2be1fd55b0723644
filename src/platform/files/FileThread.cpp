// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/FileThread.h"

#include "platform/ThreadHandOff.h"
#include "platform/files/PoolJob.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThreadPool>

namespace platform {

namespace {

// A result on its way back to the thread that made the FileThread. Posted
// whole, marked handed over, and taken over where it arrives: Qt's queue
// orders the two with locks the thread sanitizer cannot see.
class Report : public QEvent {
public:
    static inline const auto kType = static_cast<QEvent::Type>(QEvent::registerEventType());
    explicit Report(std::function<void()> call) : QEvent(kType), call_(std::move(call)) { }
    void run() { call_(); }

private:
    std::function<void()> call_;
};

class Reports : public QObject {
protected:
    bool event(QEvent* event) override
    {
        if (event->type() != Report::kType)
            return QObject::event(event);
        takeOver(event);
        static_cast<Report*>(event)->run();
        return true;
    }
};

}  // namespace

FileThread::FileThread() : pool_(std::make_unique<QThreadPool>()), reports_(std::make_unique<Reports>())
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
    auto* report = new Report(std::move(call));
    handOver(report);
    QCoreApplication::postEvent(reports_.get(), report);
}

}  // namespace platform
