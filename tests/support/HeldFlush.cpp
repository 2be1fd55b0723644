// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/HeldFlush.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct Gate {
    std::mutex mutex;
    std::condition_variable released;
    qint64 fileSize = -1;  // none held
    bool holding = false;
};

Gate& gate()
{
    static Gate instance;
    return instance;
}

bool isHeld(int fd, qint64 fileSize)
{
    struct stat status { };
    if (fileSize < 0 || ::fstat(fd, &status) != 0 || status.st_size != fileSize)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[4096];
    const ssize_t length = ::readlink(link, path, sizeof path - 1);
    if (length < 0)
        return false;
    path[length] = '\0';
    return std::strstr(path, ".partial") != nullptr;
}

}  // namespace

// Found before the C library's by every caller linked into the program.
extern "C" int fdatasync(int fd)
{
    {
        Gate& held = gate();
        std::unique_lock lock(held.mutex);
        if (isHeld(fd, held.fileSize)) {
            held.holding = true;
            held.released.wait(lock, [&held] { return held.fileSize < 0; });
            held.holding = false;
        }
    }
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

HeldFlush::HeldFlush(qint64 fileSize)
{
    const std::lock_guard lock(gate().mutex);
    gate().fileSize = fileSize;
}

HeldFlush::~HeldFlush()
{
    release();
}

bool HeldFlush::isHolding() const
{
    const std::lock_guard lock(gate().mutex);
    return gate().holding;
}

void HeldFlush::release()
{
    {
        const std::lock_guard lock(gate().mutex);
        gate().fileSize = -1;
    }
    gate().released.notify_all();
}
