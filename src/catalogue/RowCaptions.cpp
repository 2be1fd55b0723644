// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/RowCaptions.h"

#include "format/RecordFields.h"
#include "format/VisibleControls.h"

namespace {

std::optional<QString> joinedWithDash(const std::optional<QString>& left, const std::optional<QString>& right)
{
    if (!left || !right)
        return std::nullopt;
    return *left + QStringLiteral(" - ") + *right;
}

// What comes from the server is shown with its hidden controls made
// visible, so a row never reads as another name than the one it has.
RowCaptions shown(RowCaptions captions)
{
    for (std::optional<QString>* caption : {&captions.first, &captions.second}) {
        if (*caption)
            **caption = withVisibleControls(**caption);
    }
    return captions;
}

}  // namespace

RowCaptions conferenceRowCaptions(QStringView line)
{
    RowCaptions captions;
    captions.first = recordTitle(line);
    if (const auto date = conferenceUpdateDate(line))
        captions.second = kUpdateDatePrefix + *date;
    return shown(captions);
}

RowCaptions lectureRowCaptions(QStringView line)
{
    return shown({joinedWithDash(recordTitle(line), lectureNote(line)), lectureDetail(line)});
}

RowCaptions favouriteRowCaptions(QStringView fileName)
{
    const qsizetype dollar = markerPosition(fileName, u'$');
    const auto tail = substring(fileName, dollar + 1, markerPosition(fileName, u'.') - dollar - 1);
    return shown({joinedWithDash(recordTitle(fileName), tail), lectureDetail(fileName)});
}
