// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

namespace platform {

// Milliseconds of a clock that only moves forward and never wraps (the
// system's steady clock). Only differences between two readings mean
// anything.
qint64 monotonicMilliseconds();
// Milliseconds of a clock that also counts the time the machine was
// suspended (CLOCK_BOOTTIME): a deadline on it passes during a suspend, as
// it would on the wall clock, but a change of the system's time leaves it
// alone. Only differences between two readings mean anything.
qint64 bootTimeMilliseconds();

}  // namespace platform
