// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/RecordFields.h"

std::optional<QString> substring(QStringView line, qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0)
        return std::nullopt;
    if (start > line.size())
        return QString();
    return line.sliced(start - 1).left(length).toString();
}

qsizetype markerPosition(QStringView line, QChar marker)
{
    return line.indexOf(marker) + 1;
}

std::optional<QString> recordTitle(QStringView line)
{
    return substring(line, 1, markerPosition(line, u'%') - 1);
}

std::optional<QString> conferenceUpdateDate(QStringView line)
{
    const qsizetype percent = markerPosition(line, u'%');
    return substring(line, percent + 1, markerPosition(line, u'*') - percent - 1);
}

std::optional<QString> lectureDetail(QStringView line)
{
    const qsizetype percent = markerPosition(line, u'%');
    return substring(line, percent + 1, markerPosition(line, u'$') - percent - 1);
}

std::optional<QString> lectureNote(QStringView line)
{
    const qsizetype dollar = markerPosition(line, u'$');
    return substring(line, dollar + 1, markerPosition(line, u'*') - dollar - 1);
}

std::optional<QString> lectureDownloadAddress(QStringView line)
{
    const qsizetype star = markerPosition(line, u'*');
    return substring(line, star + 1, line.size() - star);
}

std::optional<QString> lectureSavedName(QStringView line)
{
    return substring(line, 1, markerPosition(line, u'*') - 1);
}
