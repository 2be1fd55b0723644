// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// Average speed in whole kilobytes (1024 bytes) per second of a download
// that has written progress bytes in elapsedMs milliseconds. The value is
// first written with two decimals (halves away from zero), read back in
// single precision and then rounded to a whole number with ties going to
// the even one, so 1.50 gives 2 and 2.50 gives 2 as well. 0 when no time
// has passed or when the speed does not fit in 32 bits.
qint32 downloadSpeed(qint64 progress, qint64 elapsedMs);
