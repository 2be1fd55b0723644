// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace platform {

// Gives a file a new name in one step, and only when nothing has that name
// yet: never over another file, and never by copying, so a failure leaves
// both names as they were. False when it did not happen (the new name is
// taken, a name holds a NUL, the file system refuses).
bool renameWithoutReplacing(const QString& from, const QString& to);

}  // namespace platform
