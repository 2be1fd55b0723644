// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLoggingCategory>

// "kardelo.net": what the network layer saw go wrong (libcurl's errors, a
// GET that failed, a limit that was hit). Warnings and above are shown by
// default; QT_LOGGING_RULES="kardelo.net.debug=true" adds each request.
Q_DECLARE_LOGGING_CATEGORY(lcNet)
