// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/FavouriteFileName.h"

#include "format/RecordFields.h"
#include "format/VisibleControls.h"

std::optional<QString> favouriteFileName(const QString& savedName)
{
    if (savedName.isEmpty() || savedName == u"." || savedName == u"..")
        return std::nullopt;
    for (QChar c : savedName) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return std::nullopt;
    }
    // Under the name its row shows: a file manager would otherwise show a
    // direction control's reordering too.
    return withVisibleControls(savedName) + QStringLiteral(".zip");
}

std::optional<QString> lectureFileName(QStringView lectureLine)
{
    const std::optional<QString> savedName = lectureSavedName(lectureLine);
    return savedName ? favouriteFileName(*savedName) : std::nullopt;
}
