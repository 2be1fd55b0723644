// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Whether a stored file name is a hit for the search text: the text with
// its leading and trailing spaces (U+0020 only) removed occurs anywhere in
// the name, compared character by character, case included. An empty text
// is in every name.
bool passesSearch(const QString& fileName, const QString& searchText);

// The search text as it is compared: outer U+0020 spaces removed, every
// other kind of blank kept.
QString trimmedSearchText(const QString& searchText);
