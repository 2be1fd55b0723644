// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QFile;

namespace platform {

// A path that opens the very file `file` has open, whatever has become of
// its name since: renamed, deleted, or another file put in its place. It
// is the kernel's link to the open descriptor (/proc/self/fd/N), so it
// holds only while `file` stays open: after that the same number may name
// any other file. Empty when `file` is not open or the system offers no
// such link (no /proc mounted).
QString openFilePath(const QFile& file);

}  // namespace platform
