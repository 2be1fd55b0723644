// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QThreadPool;

namespace platform {

// Starts `job` on `pool`, which then owns all the job holds. The pool runs
// it after everything this thread did before, and the thread sanitizer is
// told so (platform/ThreadHandOff.h): QThreadPool::start() of a function
// would make the job's runnable inside the call, too late to mark it.
void startPoolJob(QThreadPool& pool, std::function<void()> job);

}  // namespace platform
