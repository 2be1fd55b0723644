// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace platform {

// Hands the address to the user's default browser and returns at once.
// Whether a browser started is not reported.
void openAddressInBrowser(const QString& address);

// Ends the process at once: output flushed, then gone, without running
// destructors or any further handler.
[[noreturn]] void endProcessNow();

// The folder holding the program file, without a trailing separator.
QString executableFolder();

}  // namespace platform
