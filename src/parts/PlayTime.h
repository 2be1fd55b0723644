// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// A play time as the transport bar shows it: "mm:ss", or "h:mm:ss" once the
// media is an hour long or more. The elapsed time takes the format of the
// whole length so that both readings line up and do not change width while
// playing. Whole seconds are cut, not rounded, so elapsed never passes total.
QString formatPlayTime(qint64 milliseconds, qint64 lengthMilliseconds);
