// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryCheck.h"

#include <QString>

// A check's report as the publisher reads it: one "LOCATION:LINE: error:
// message" line per finding, then a summary with the counts, the requests
// made and the time taken.
QString reportAsText(const QString& library, const CheckReport& report);

// The same as one JSON object, for scripts.
QString reportAsJson(const QString& library, const CheckReport& report);
