// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// An object one thread hands to another through Qt, by a posted event or a
// thread pool's queue, is safe to use there: the hand-over goes through
// Qt's locks, so all the giving thread did before it happens before all the
// taking thread does after. The thread sanitizer cannot see that, as those
// locks are taken inside Qt's libraries, which are not built with it, and
// it would report the taking thread's first use as a race. handOver(p) on
// the giving thread, once everything handed over is written, just before
// the hand-over, and takeOver(p) on the taking thread as it receives it,
// tell it what Qt guarantees. In a build without the thread sanitizer they
// are nothing.
//
// Only where Qt really carries the hand-over: a mark anywhere else would
// hide a race the sanitizer is there to find. And only where the giving
// thread writes nothing handed over after handOver(): a queued call of
// Qt's own (QMetaObject::invokeMethod, a queued signal) writes its slot
// object and arguments inside the call, too late for a mark.

// KARDELO_THREAD_SANITIZER: this is a build with the thread sanitizer.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KARDELO_THREAD_SANITIZER 1
#endif
#elif defined(__SANITIZE_THREAD__)
#define KARDELO_THREAD_SANITIZER 1
#endif

#ifdef KARDELO_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace platform {

inline void handOver([[maybe_unused]] const void* object)
{
#ifdef KARDELO_THREAD_SANITIZER
    __tsan_release(const_cast<void*>(object));
#endif
}

inline void takeOver([[maybe_unused]] const void* object)
{
#ifdef KARDELO_THREAD_SANITIZER
    __tsan_acquire(const_cast<void*>(object));
#endif
}

}  // namespace platform
