// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/FavouriteFileName.h"

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
