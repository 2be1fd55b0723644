// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/ResumeRecord.h"

#include "format/HeaderValues.h"

#include <QList>

namespace {

const QByteArray kRecordHeading = "kardelo-partial 1";

}  // namespace

std::optional<QByteArray> formatResumeRecord(const ResumeRecord& stored)
{
    const DownloadRecord& record = stored.record;
    // A line feed would end a field early and read back as another record
    // (a lecture's name from the server's list may hold one); a record
    // longer than is read would lose its total. Such bytes are not kept.
    if (stored.name.isEmpty() || stored.name.contains('\n') || record.address.contains('\n')
        || record.validator.contains('\n') || record.total < 0)
        return std::nullopt;
    QByteArray text = kRecordHeading + "\nname " + stored.name + "\naddress " + record.address + "\nvalidator "
        + record.validator + "\ntotal " + QByteArray::number(record.total) + '\n';
    if (text.size() > kLongestResumeRecord)
        return std::nullopt;
    return text;
}

std::optional<ResumeRecord> parseResumeRecord(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.front() != kRecordHeading)
        return std::nullopt;
    ResumeRecord stored;
    bool totalRead = false;
    for (const QByteArray& line : lines) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray key = line.left(space);
        const QByteArray value = space < 0 ? QByteArray() : line.mid(space + 1);
        if (key == "name")
            stored.name = value;
        else if (key == "address")
            stored.record.address = value;
        else if (key == "validator")
            stored.record.validator = value;
        else if (key == "total") {
            // The same strict count as a server's headers: a sign or a number
            // past 2^63 makes the record unreadable, not a size.
            const std::optional<qint64> total = parseByteCount(value);
            totalRead = total.has_value();
            stored.record.total = total.value_or(0);
        }
    }
    if (stored.name.isEmpty() || !totalRead)
        return std::nullopt;
    return stored;
}
