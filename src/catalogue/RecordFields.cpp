#include "catalogue/RecordFields.h"

std::optional<QString> Substring(QStringView line, qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0)
        return std::nullopt;
    if (start > line.size())
        return QString();
    return line.sliced(start - 1).left(length).toString();
}

qsizetype MarkerPosition(QStringView line, QChar marker)
{
    return line.indexOf(marker) + 1;
}

std::optional<QString> RecordTitle(QStringView line)
{
    return Substring(line, 1, MarkerPosition(line, u'%') - 1);
}

std::optional<QString> ConferenceUpdateDate(QStringView line)
{
    const qsizetype percent = MarkerPosition(line, u'%');
    return Substring(line, percent + 1, MarkerPosition(line, u'*') - percent - 1);
}

std::optional<QString> LectureDetail(QStringView line)
{
    const qsizetype percent = MarkerPosition(line, u'%');
    return Substring(line, percent + 1, MarkerPosition(line, u'$') - percent - 1);
}

std::optional<QString> LectureNote(QStringView line)
{
    const qsizetype dollar = MarkerPosition(line, u'$');
    return Substring(line, dollar + 1, MarkerPosition(line, u'*') - dollar - 1);
}

std::optional<QString> LectureDownloadAddress(QStringView line)
{
    const qsizetype star = MarkerPosition(line, u'*');
    return Substring(line, star + 1, line.size() - star);
}

std::optional<QString> LectureSavedName(QStringView line)
{
    return Substring(line, 1, MarkerPosition(line, u'*') - 1);
}
