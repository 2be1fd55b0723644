// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/RecordLineRules.h"

#include "format/RecordFields.h"
#include "publishing/WebAddress.h"

#include <QCoreApplication>

namespace {

// The context of these texts in the translations.
class RecordLineRules {
    Q_DECLARE_TR_FUNCTIONS(RecordLineRules)
};

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
                       RecordLineRules::tr("%1 %2 holds the marker \"%3\": the client cuts the line at the "
                                           "first \"%\", \"$\" and \"*\", so this field is not what it seems")
                           .arg(field, quoted(value), markers)});
    const QString unfit = heldOf(value, kNotInStoredNames, true);
    if (!unfit.isEmpty())
        faults.append({QStringLiteral("name-character"),
                       RecordLineRules::tr("%1 %2 holds \"%3\", which cannot be part of the name a "
                                           "downloaded lecture is stored under")
                           .arg(field, quoted(value), unfit)});
}

}  // namespace

QList<LineFault> conferenceLineFaults(const QString& line)
{
    const std::optional<QString> updateDate = conferenceUpdateDate(line);
    if (!updateDate)
        return {{QStringLiteral("marker-order"),
                 RecordLineRules::tr("\"*\" before \"%\": expected Title%UpdateDate*Rest")}};
    if (updateDate->isEmpty())
        return {{QStringLiteral("empty-update-date"),
                 RecordLineRules::tr("no UpdateDate between \"%\" and \"*\": it names the lecture list")}};
    QList<LineFault> faults;
    if (updateDate->contains(u'%'))
        faults.append({QStringLiteral("marker-in-field"),
                       RecordLineRules::tr("UpdateDate %1 holds a second \"%\": the client takes all from the "
                                           "first \"%\" to the first \"*\" as the date")
                           .arg(quoted(*updateDate))});
    const QString unfit = heldOf(*updateDate, u"/\\", true);
    if (!unfit.isEmpty())
        faults.append({QStringLiteral("name-character"),
                       RecordLineRules::tr("UpdateDate %1 holds \"%2\", which cannot be part of the lecture "
                                           "list's file name")
                           .arg(quoted(*updateDate), unfit)});
    return faults;
}

QList<LineFault> lectureLineFaults(const QString& line)
{
    const qsizetype percent = markerPosition(line, u'%');
    const qsizetype dollar = markerPosition(line, u'$');
    const qsizetype star = markerPosition(line, u'*');
    if (star < percent)
        return {{QStringLiteral("marker-order"),
                 RecordLineRules::tr("\"*\" before \"%\": expected Title%Detail$Note*Address")}};
    if (dollar < percent || dollar > star)
        return {{QStringLiteral("marker-order"),
                 RecordLineRules::tr("no \"$\" between \"%\" and \"*\": expected Title%Detail$Note*Address")}};

    QList<LineFault> faults;
    judgeNamePart(RecordLineRules::tr("Title"), recordTitle(line).value_or(QString()), faults);
    judgeNamePart(RecordLineRules::tr("Detail"), lectureDetail(line).value_or(QString()), faults);
    judgeNamePart(RecordLineRules::tr("Note"), lectureNote(line).value_or(QString()), faults);

    const QString storedName = lectureSavedName(line).value_or(QString());
    if (storedName.contains(u"zip"))
        faults.append({QStringLiteral("zip-in-name"),
                       RecordLineRules::tr("\"zip\" in the stored name: the client turns every \"zip\" into "
                                           "\"wma\" when the lecture is played, and would not find it")});
    const QString address = lectureDownloadAddress(line).value_or(QString());
    if (!isAbsoluteWebAddress(address))
        faults.append({QStringLiteral("address-not-absolute"),
                       RecordLineRules::tr("the address %1 is not an absolute http:// or https:// address")
                           .arg(quoted(address))});
    return faults;
}
