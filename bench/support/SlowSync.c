// SPDX-License-Identifier: GPL-3.0-or-later

// A disk whose durable flush is slow, for the benchmarks: preloaded
// (LD_PRELOAD), it makes every fsync and fdatasync of the process, on any
// thread, wait KARDELO_SLOW_SYNC_MS milliseconds (2000 unless set) before
// flushing as usual. A program linked with the tests' support has an
// fdatasync of its own (tests/support/HeldFlush), found before this one,
// which flushes through syscall(): that is held here too. That is how long a flush can hold a busy disk's
// journal, and with it every thread that needs the journal meanwhile; here
// only the caller waits, so whatever stalls shows which thread flushed.
//
// slowSyncHeld(1) counts the flushes held on the process's first thread
// (the window's in the programs measured), slowSyncHeld(0) those held on
// any other; a program finds it with dlsym to know that it is preloaded.

#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdlib.h>
#include <time.h>

#include <errno.h>
#include <sys/syscall.h>
#include <unistd.h>

static atomic_int heldOnFirstThread;
static atomic_int heldElsewhere;
static long holdMs = 2000;
typedef int (*SyncCall)(int);
static SyncCall realFsync;
static SyncCall realFdatasync;
typedef long (*SystemCall)(long, ...);
static SystemCall realSyscall;

static pthread_once_t setUpOnce = PTHREAD_ONCE_INIT;

static void setUp(void)
{
    realFsync = (SyncCall)dlsym(RTLD_NEXT, "fsync");
    realFdatasync = (SyncCall)dlsym(RTLD_NEXT, "fdatasync");
    realSyscall = (SystemCall)dlsym(RTLD_NEXT, "syscall");
    const char* ms = getenv("KARDELO_SLOW_SYNC_MS");
    if (ms && *ms)
        holdMs = atol(ms);
}

// Other libraries' constructors may make system calls before this one is
// set up: each call sets it up first.
static void ready(void)
{
    pthread_once(&setUpOnce, setUp);
}

static void hold(void)
{
    if (gettid() == getpid())
        atomic_fetch_add(&heldOnFirstThread, 1);
    else
        atomic_fetch_add(&heldElsewhere, 1);
    struct timespec left = {holdMs / 1000, (holdMs % 1000) * 1000000L};
    // A signal does not cut the wait short: the flush would not be either.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) { }
}

int fsync(int fd)
{
    ready();
    const int saved = errno;
    hold();
    errno = saved;
    return realFsync(fd);
}

int fdatasync(int fd)
{
    ready();
    const int saved = errno;
    hold();
    errno = saved;
    return realFdatasync(fd);
}

long syscall(long number, ...)
{
    ready();
    // As the C library's own does: six arguments, whatever the call takes.
    va_list list;
    va_start(list, number);
    long arguments[6];
    for (int i = 0; i < 6; ++i)
        arguments[i] = va_arg(list, long);
    va_end(list);
    if (number == SYS_fsync || number == SYS_fdatasync) {
        const int saved = errno;
        hold();
        errno = saved;
    }
    return realSyscall(number, arguments[0], arguments[1], arguments[2], arguments[3], arguments[4], arguments[5]);
}

int slowSyncHeld(int onFirstThread)
{
    return onFirstThread ? atomic_load(&heldOnFirstThread) : atomic_load(&heldElsewhere);
}
