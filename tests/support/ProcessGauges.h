// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// What this process holds of the system, as /proc tells it.

// The open file descriptors (the entries of /proc/self/fd, the one
// reading them included); -1 when they cannot be listed.
int openDescriptorCount();
// The resident memory (VmRSS of /proc/self/status) in KiB; -1 when
// unknown.
qint64 residentKiB();
// The part of it that is the process's own (RssAnon), without the pages of
// mapped files, such as a library's data, which the system can drop and
// other processes share; -1 when unknown.
qint64 residentAnonymousKiB();
// The most resident memory this process has held (VmHWM) in KiB; -1 when
// unknown.
qint64 peakResidentKiB();
