// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace platform {

// Hands the address to the user's default browser and returns at once.
// Whether a browser started is not reported.
void openAddressInBrowser(const QString& address);

// The folder holding the program file, without a trailing separator.
QString executableFolder();

}  // namespace platform
