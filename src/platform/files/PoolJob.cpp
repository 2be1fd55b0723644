// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/PoolJob.h"

#include "platform/ThreadHandOff.h"

#include <QRunnable>
#include <QThreadPool>

namespace platform {

namespace {

// Made whole on the starting thread, then handed over by the pool's queue,
// which deletes it on its thread after the run.
class PoolJob : public QRunnable {
public:
    explicit PoolJob(std::function<void()> job) : job_(std::move(job)) { }

    void run() override
    {
        takeOver(this);
        job_();
    }

private:
    std::function<void()> job_;
};

}  // namespace

void startPoolJob(QThreadPool& pool, std::function<void()> job)
{
    auto* runnable = new PoolJob(std::move(job));
    handOver(runnable);
    pool.start(runnable);
}

}  // namespace platform
