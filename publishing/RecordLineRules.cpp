// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/RecordLineRules.h"

#include "format/RecordFields.h"
#include "publishing/PublisherTexts.h"
#include "publishing/WebAddress.h"

namespace {

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// The characters among chars (and the control characters, when asked)
// that text holds, each once.
QString heldOf(const QString& text, QStringView chars, bool controls = false)
{
    QString held;
    for (const QChar character : text) {
        const bool control = character.unicode() < 0x20 || character.unicode() == 0x7F;
        if ((chars.contains(character) || (controls && control)) && !held.contains(character))
            held += character;
    }
    return held;
}

// A stored lecture is later cut back at its first "." and renamed with
// every "zip" turned into "wma"; the rest are what file systems refuse.
constexpr QStringView kNotInStoredNames = u"/\\:*?\"<>|.";

void judgeNamePart(const QString& field, const QString& value, QList<LineFault>& faults)
{
    const QString markers = heldOf(value, u"%$");
    if (!markers.isEmpty())
        faults.append({QStringLiteral("marker-in-field"),
                       localized(QStringLiteral("%1 %2 holds the marker \"%3\": the client cuts the line at the "
                                                "first \"%\", \"$\" and \"*\", so this field is not what it seems")
                                     .arg(field, quoted(value), markers),
                                 QStringLiteral("%1 %2 中含有标记“%3”：客户端在第一个“%”“$”“*”处切分，"
                                                "此字段会被切错")
                                     .arg(field, quoted(value), markers))});
    const QString unfit = heldOf(value, kNotInStoredNames, true);
    if (!unfit.isEmpty())
        faults.append(
            {QStringLiteral("name-character"),
             localized(
                 QStringLiteral("%1 %2 holds \"%3\", which cannot be part of the name a "
                                "downloaded lecture is stored under")
                     .arg(field, quoted(value), unfit),
                 QStringLiteral("%1 %2 中含有“%3”，不能用在下载后保存的文件名中").arg(field, quoted(value), unfit))});
}

}  // namespace

QList<LineFault> conferenceLineFaults(const QString& line)
{
    const std::optional<QString> updateDate = conferenceUpdateDate(line);
    if (!updateDate)
        return {{QStringLiteral("marker-order"),
                 localized(QStringLiteral("\"*\" before \"%\": expected Title%UpdateDate*Rest"),
                           QStringLiteral("“*”在“%”之前：应为 标题%更新日期*其余"))}};
    if (updateDate->isEmpty())
        return {{QStringLiteral("empty-update-date"),
                 localized(QStringLiteral("no UpdateDate between \"%\" and \"*\": it names the lecture list"),
                           QStringLiteral("“%”与“*”之间没有更新日期：讲座列表以它命名"))}};
    QList<LineFault> faults;
    if (updateDate->contains(u'%'))
        faults.append({QStringLiteral("marker-in-field"),
                       localized(QStringLiteral("UpdateDate %1 holds a second \"%\": the client takes all from the "
                                                "first \"%\" to the first \"*\" as the date")
                                     .arg(quoted(*updateDate)),
                                 QStringLiteral("更新日期 %1 中有第二个“%”：客户端把第一个“%”到第一个“*”之间的"
                                                "全部当作日期")
                                     .arg(quoted(*updateDate)))});
    const QString unfit = heldOf(*updateDate, u"/\\", true);
    if (!unfit.isEmpty())
        faults.append({QStringLiteral("name-character"),
                       localized(QStringLiteral("UpdateDate %1 holds \"%2\", which cannot be part of the lecture "
                                                "list's file name")
                                     .arg(quoted(*updateDate), unfit),
                                 QStringLiteral("更新日期 %1 中含有“%2”，不能用在讲座列表的文件名中")
                                     .arg(quoted(*updateDate), unfit))});
    return faults;
}

QList<LineFault> lectureLineFaults(const QString& line)
{
    const qsizetype percent = markerPosition(line, u'%');
    const qsizetype dollar = markerPosition(line, u'$');
    const qsizetype star = markerPosition(line, u'*');
    if (star < percent)
        return {{QStringLiteral("marker-order"),
                 localized(QStringLiteral("\"*\" before \"%\": expected Title%Detail$Note*Address"),
                           QStringLiteral("“*”在“%”之前：应为 标题%详情$备注*下载地址"))}};
    if (dollar < percent || dollar > star)
        return {{QStringLiteral("marker-order"),
                 localized(QStringLiteral("no \"$\" between \"%\" and \"*\": expected Title%Detail$Note*Address"),
                           QStringLiteral("“%”与“*”之间没有“$”：应为 标题%详情$备注*下载地址"))}};

    QList<LineFault> faults;
    judgeNamePart(localized(QStringLiteral("Title"), QStringLiteral("标题")), recordTitle(line).value_or(QString()),
                  faults);
    judgeNamePart(localized(QStringLiteral("Detail"), QStringLiteral("详情")), lectureDetail(line).value_or(QString()),
                  faults);
    judgeNamePart(localized(QStringLiteral("Note"), QStringLiteral("备注")), lectureNote(line).value_or(QString()),
                  faults);

    const QString storedName = lectureSavedName(line).value_or(QString());
    if (storedName.contains(u"zip"))
        faults.append({QStringLiteral("zip-in-name"),
                       localized(QStringLiteral("\"zip\" in the stored name: the client turns every \"zip\" into "
                                                "\"wma\" when the lecture is played, and would not find it"),
                                 QStringLiteral("保存的文件名中有“zip”：播放时客户端把每个“zip”换成“wma”，"
                                                "会找不到文件"))});
    const QString address = lectureDownloadAddress(line).value_or(QString());
    if (!isAbsoluteWebAddress(address))
        faults.append(
            {QStringLiteral("address-not-absolute"),
             localized(
                 QStringLiteral("the address %1 is not an absolute http:// or https:// address").arg(quoted(address)),
                 QStringLiteral("地址 %1 不是完整的 http:// 或 https:// 地址").arg(quoted(address)))});
    return faults;
}
