// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// The version file publishes an eight-digit date before this marker; it is
// compared with the program's own (kReleaseStamp).
inline const QString kVersionMarker = QStringLiteral("[QorVersion]");
inline const QString kUpdatePrompt = QStringLiteral("检测到新版本，是否立即下载？");

struct StoredAddresses;

enum class StartOutcome {
    Continue,  // go on and bring up the main window
    Ended,  // the program has been ended
};

// The published version is the text before the first marker.
// No marker at all: no value.
std::optional<QString> publishedVersionText(const QString& versionFileText);

// Whether the published version is newer than ours, both read by their
// leading number.
bool isNewerThanOurs(const QString& publishedVersionText);

// With a newer version published, asks whether to get it now and, on Yes,
// opens the home page and ends the program.
StartOutcome offerNewerVersion(const QString& publishedVersionText, const StoredAddresses& addresses);
