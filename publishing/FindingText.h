// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"

#include <QString>

// A finding, its message in both languages side by side.
LibraryFinding errorFinding(const QString& kind, const QString& location, int line, const QString& english,
                            const QString& chinese);
LibraryFinding warningFinding(const QString& kind, const QString& location, int line, const QString& english,
                              const QString& chinese);
