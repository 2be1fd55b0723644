// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LectureRecordsCheck.h"

#include "format/FavouriteFileName.h"
#include "format/RecordFields.h"
#include "publishing/FindingText.h"

#include <QFile>
#include <QHash>

QList<AudioReference> LectureRecordsCheck::run(const QList<KeptRecord>& records, QList<LibraryFinding>& findings) const
{
    QList<AudioReference> audio;
    QHash<QString, int> storedNames;  // a stored file's name, the line that has it first
    for (const KeptRecord& record : records) {
        // The row's two captions need all three: Title " - " Note / Detail.
        if (!recordTitle(record.text) || !lectureNote(record.text) || !lectureDetail(record.text))
            findings.append(
                errorFinding(QStringLiteral("broken-fields"), location_, record.line,
                             tr("the client cannot cut this line into Title%Detail$Note*DownloadAddress (a \"$\" "
                                "missing, or the markers out of order): its row shows the row before's text")));

        const std::optional<QString> address = lectureDownloadAddress(record.text);
        if (!address || address->trimmed().isEmpty())
            findings.append(errorFinding(QStringLiteral("broken-fields"), location_, record.line,
                                         tr("no download address after the \"*\"")));
        else
            audio.append({*address, location_, record.line});

        const std::optional<QString> savedName = lectureSavedName(record.text);
        const std::optional<QString> fileName = savedName ? favouriteFileName(*savedName) : std::nullopt;
        if (!fileName) {
            findings.append(
                errorFinding(QStringLiteral("unstorable-name"), location_, record.line,
                             tr("the part before the \"*\" is no file name (empty, \".\", \"..\", or holding \"/\", "
                                "\"\\\" or a control character): the client will not download it")));
            continue;
        }
        const qsizetype bytes = QFile::encodeName(*fileName).size();
        if (bytes > kLongestStoredName)
            findings.append(errorFinding(QStringLiteral("name-too-long"), location_, record.line,
                                         tr("the stored file's name \"%1\" has %2 bytes; file systems take at most %3")
                                             .arg(*fileName)
                                             .arg(bytes)
                                             .arg(kLongestStoredName)));
        const auto first = storedNames.constFind(*fileName);
        if (first == storedNames.constEnd()) {
            storedNames.insert(*fileName, record.line);
            continue;
        }
        findings.append(
            errorFinding(QStringLiteral("duplicate-name"), location_, record.line,
                         tr("stored as \"%1\" like line %2: one download overwrites the other in the favourites")
                             .arg(*fileName)
                             .arg(*first)));
    }
    return audio;
}
