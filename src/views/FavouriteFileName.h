// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// The file a downloaded lecture is stored as: its SavedName followed by
// ".zip". The SavedName comes from the server, so a name that could leave
// the favourites folder or that no file system takes is refused: empty,
// "." or "..", or holding "/", "\" or a control character.
std::optional<QString> favouriteFileName(const QString& savedName);
