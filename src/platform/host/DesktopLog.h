// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLoggingCategory>

// "kardelo.desktop": what the desktop session would not do for the program
// (no session bus, no screen saver or notification service, a call it
// refused). Nothing the user would see depends on it, so only the log says.
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)
