// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/VersionFile.h"

#include <QString>

inline const QString kUpdatePrompt = QStringLiteral("检测到新版本，是否立即下载？");

struct StoredAddresses;

enum class StartOutcome {
    Continue,  // go on and bring up the main window
    Ended,  // the program has been ended
};

// With a newer version published, asks whether to get it now and, on Yes,
// opens the home page and ends the program.
StartOutcome offerNewerVersion(const QString& publishedVersionText, const StoredAddresses& addresses);
