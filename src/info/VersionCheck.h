// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/VersionFile.h"

#include <QString>

#include <functional>

inline const QString kUpdatePrompt = QStringLiteral("检测到新版本，是否立即下载？");

struct StoredAddresses;

enum class StartOutcome {
    Continue,  // go on and bring up the main window
    Ended,  // the program has been ended
};

// With a newer version published, asks whether to get it now and, on Yes,
// opens the home page and ends the program. Returns at once; `decided` gets
// the outcome, at once when nothing newer is published and otherwise once
// the user has answered.
void offerNewerVersion(const QString& publishedVersionText, const StoredAddresses& addresses,
                       std::function<void(StartOutcome)> decided);
