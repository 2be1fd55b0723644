// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace platform {

// Makes the folder's entries (a file created or renamed in it) survive a
// power cut: a file's own data reaching the disk does not carry its name
// there too. False when the folder cannot be opened or flushed.
bool flushFolderToDisk(const QString& folder);

}  // namespace platform
