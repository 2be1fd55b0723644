// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// The version file publishes an eight-digit date before this marker; it is
// compared with the program's own (kReleaseStamp).
inline const QString kVersionMarker = QStringLiteral("[QorVersion]");

// The published version is the text before the first marker.
// No marker at all: no value.
std::optional<QString> publishedVersionText(const QString& versionFileText);

// Whether the published version is newer than ours, both read by their
// leading number.
bool isNewerThanOurs(const QString& publishedVersionText);
