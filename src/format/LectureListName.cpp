// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/LectureListName.h"

#include "format/RecordFields.h"
#include "format/VisibleControls.h"

QString lectureListFileName(const QString& dateCaption)
{
    return (dateCaption + QStringLiteral(".zip")).right(12);
}

std::optional<QString> conferenceListFileName(QStringView conferenceLine)
{
    const std::optional<QString> date = conferenceUpdateDate(conferenceLine);
    if (!date)
        return std::nullopt;
    // The row shows the date with its hidden controls made visible, and the
    // client cuts the name from what the row shows.
    return lectureListFileName(withVisibleControls(kUpdateDatePrefix + *date));
}
