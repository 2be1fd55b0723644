// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"

#include <QString>

// A finding; its message already in the user's language.
LibraryFinding errorFinding(const QString& kind, const QString& location, int line, const QString& message);
LibraryFinding warningFinding(const QString& kind, const QString& location, int line, const QString& message);
// "WHERE:LINE: error: message", the form editors and compilers use, with
// the finding's file below base (a folder or a root address); no line when
// the finding is about the whole file.
QString findingText(const QString& base, const LibraryFinding& finding);
