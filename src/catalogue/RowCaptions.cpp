#include "catalogue/RowCaptions.h"

#include "catalogue/RecordFields.h"

namespace {

std::optional<QString> JoinedWithDash(const std::optional<QString>& left, const std::optional<QString>& right)
{
    if (!left || !right)
        return std::nullopt;
    return *left + QStringLiteral(" - ") + *right;
}

}  // namespace

RowCaptions ConferenceRowCaptions(QStringView line)
{
    RowCaptions captions;
    captions.first = RecordTitle(line);
    if (const auto date = ConferenceUpdateDate(line))
        captions.second = kUpdateDatePrefix + *date;
    return captions;
}

RowCaptions LectureRowCaptions(QStringView line)
{
    return {JoinedWithDash(RecordTitle(line), LectureNote(line)), LectureDetail(line)};
}

RowCaptions FavouriteRowCaptions(QStringView fileName)
{
    const qsizetype dollar = MarkerPosition(fileName, u'$');
    const auto tail = Substring(fileName, dollar + 1, MarkerPosition(fileName, u'.') - dollar - 1);
    return {JoinedWithDash(RecordTitle(fileName), tail), LectureDetail(fileName)};
}

QString LectureListFileName(const QString& dateCaption)
{
    return (dateCaption + QStringLiteral(".zip")).right(12);
}
