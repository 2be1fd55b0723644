// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The file a downloaded lecture is stored as: its SavedName followed by
// ".zip". The SavedName comes from the server, so a name that could leave
// the favourites folder or that no file system takes is refused: empty,
// "." or "..", or holding "/", "\" or a control character (as it always
// was; stored names never held one). The other characters that hide what a
// name says, the direction controls, are stored written out as "<U+202E>",
// exactly as the lecture's row shows them (withVisibleControls).
std::optional<QString> favouriteFileName(const QString& savedName);

// The file a lecture line's lecture is stored as, from its SavedName field.
std::optional<QString> lectureFileName(QStringView lectureLine);
