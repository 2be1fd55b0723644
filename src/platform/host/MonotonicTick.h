// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

namespace platform {

// Milliseconds of a clock that only moves forward and never wraps (the
// system's steady clock). Only differences between two readings mean
// anything.
qint64 monotonicMilliseconds();

}  // namespace platform
