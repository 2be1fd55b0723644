// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/RowCaptions.h"

#include "catalogue/RecordFields.h"

namespace {

std::optional<QString> joinedWithDash(const std::optional<QString>& left, const std::optional<QString>& right)
{
    if (!left || !right)
        return std::nullopt;
    return *left + QStringLiteral(" - ") + *right;
}

}  // namespace

RowCaptions conferenceRowCaptions(QStringView line)
{
    RowCaptions captions;
    captions.first = recordTitle(line);
    if (const auto date = conferenceUpdateDate(line))
        captions.second = kUpdateDatePrefix + *date;
    return captions;
}

RowCaptions lectureRowCaptions(QStringView line)
{
    return {joinedWithDash(recordTitle(line), lectureNote(line)), lectureDetail(line)};
}

RowCaptions favouriteRowCaptions(QStringView fileName)
{
    const qsizetype dollar = markerPosition(fileName, u'$');
    const auto tail = substring(fileName, dollar + 1, markerPosition(fileName, u'.') - dollar - 1);
    return {joinedWithDash(recordTitle(fileName), tail), lectureDetail(fileName)};
}

QString lectureListFileName(const QString& dateCaption)
{
    return (dateCaption + QStringLiteral(".zip")).right(12);
}
