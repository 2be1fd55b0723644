// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <utility>

class QThreadPool;

namespace platform {

// A thread of its own for file work that may wait on the disk (a flush
// waits its turn behind everything else being made durable, seconds while
// a large file is stored): whoever made it hands it jobs and hears back by a
// queued call, never waiting for one. Jobs run one at a time, in the order
// given.
class FileThread {
public:
    FileThread();
    // Waits for every job given: only once the event loop has ended, or
    // from a thread that may wait.
    ~FileThread();
    FileThread(const FileThread&) = delete;
    FileThread& operator=(const FileThread&) = delete;

    void run(std::function<void()> job);
    // Runs `job` there, then `done` with its result on the thread that made
    // this object, from its event loop. A result that comes after this
    // object is gone is dropped.
    template <typename Job, typename Done> void run(Job job, Done done)
    {
        run([this, job = std::move(job), done = std::move(done)]() mutable {
            report([done, result = job()]() mutable { done(std::move(result)); });
        });
    }
    // Waits for every job given so far, as the destructor does.
    void finish();

private:
    void report(std::function<void()> call);

    std::unique_ptr<QThreadPool> pool_;
    // Lives on the thread that made this object; the reports go through it.
    std::unique_ptr<QObject> reports_;
};

}  // namespace platform
