// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Root ignores a file's permission bits; without its override capabilities
// this process meets a read-only file or folder as any user does. For good:
// false when they could not be dropped.
bool obeyFilePermissions();
