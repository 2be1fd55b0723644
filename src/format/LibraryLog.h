// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLoggingCategory>

// "kardelo.library": a text of the library (the version file, the
// catalogue, a lecture list) that came but could not be used, which the
// user sees only as the network message. Why it did not come at all is in
// "kardelo.net".
Q_DECLARE_LOGGING_CATEGORY(lcLibrary)
