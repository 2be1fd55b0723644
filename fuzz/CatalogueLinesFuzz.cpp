// SPDX-License-Identifier: GPL-3.0-or-later

// A catalogue or lecture-list text once decoded: cut into record lines, each
// line's fields, and the captions the rows show of a line or of a stored
// lecture's file name.

#include "FuzzCheck.h"
#include "catalogue/RowCaptions.h"
#include "format/CatalogueLines.h"
#include "format/RecordFields.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

using Field = std::optional<QString>;

// Every piece between CR LF pairs, the text after the last one left out,
// and of those the lines holding both markers, no longer than a record can be.
QStringList referenceLines(QStringView text)
{
    QStringList lines;
    for (qsizetype start = 0, end; (end = text.indexOf(u"\r\n", start)) >= 0; start = end + 2) {
        const QStringView line = text.sliced(start, end - start);
        if (line.contains(u'%') && line.contains(u'*') && line.size() <= kLongestCatalogueLine)
            lines.append(line.toString());
    }
    return lines;
}

// A field as the line format has always cut it: a 1-based start and a
// length, from the first place of each marker (0 when it is missing).
Field cut(QStringView line, qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0)
        return std::nullopt;
    if (start > line.size())
        return QString();
    return line.sliced(start - 1, std::min(length, line.size() - start + 1)).toString();
}

qsizetype place(QStringView line, char16_t marker)
{
    return line.indexOf(QChar(marker)) + 1;
}

Field joined(const Field& left, const Field& right)
{
    return left && right ? Field(*left + QStringLiteral(" - ") + *right) : std::nullopt;
}

// A caption as a row shows it: control characters and the characters that
// steer the direction of text written out as "<U+XXXX>".
Field visible(const Field& field)
{
    if (!field)
        return std::nullopt;
    QString shown;
    for (const QChar c : *field) {
        const char16_t u = c.unicode();
        const bool hidden = u < 0x20 || (u >= 0x7F && u <= 0x9F) || (u >= 0x202A && u <= 0x202E)
            || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F || u == 0x061C;
        if (hidden)
            shown += QStringLiteral("<U+%1>").arg(uint(u), 4, 16, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

void checkFields(QStringView line)
{
    const qsizetype percent = place(line, u'%');
    const qsizetype dollar = place(line, u'$');
    const qsizetype star = place(line, u'*');

    const Field title = cut(line, 1, percent - 1);
    const Field date = cut(line, percent + 1, star - percent - 1);
    const Field detail = cut(line, percent + 1, dollar - percent - 1);
    const Field note = cut(line, dollar + 1, star - dollar - 1);
    const Field address = cut(line, star + 1, line.size() - star);
    const Field savedName = cut(line, 1, star - 1);
    const Field favouriteTail = cut(line, dollar + 1, place(line, u'.') - dollar - 1);

    FUZZ_CHECK(recordTitle(line) == title);
    FUZZ_CHECK(conferenceUpdateDate(line) == date);
    FUZZ_CHECK(lectureDetail(line) == detail);
    FUZZ_CHECK(lectureNote(line) == note);
    FUZZ_CHECK(lectureDownloadAddress(line) == address);
    FUZZ_CHECK(lectureSavedName(line) == savedName);
    for (const Field& field : {title, date, detail, note, address, savedName, favouriteTail})
        FUZZ_CHECK(!field || line.contains(*field));

    const RowCaptions conference = conferenceRowCaptions(line);
    FUZZ_CHECK(conference.first == visible(title));
    FUZZ_CHECK(conference.second == visible(date ? Field(kUpdateDatePrefix + *date) : std::nullopt));
    const RowCaptions lecture = lectureRowCaptions(line);
    FUZZ_CHECK(lecture.first == visible(joined(title, note)));
    FUZZ_CHECK(lecture.second == visible(detail));
    const RowCaptions favourite = favouriteRowCaptions(line);
    FUZZ_CHECK(favourite.first == visible(joined(title, favouriteTail)));
    FUZZ_CHECK(favourite.second == visible(detail));

    // A conference's list is named by the last 12 characters of its date
    // caption and ".zip", and the publisher's tool, which shows no rows,
    // names the same list.
    if (conference.second) {
        const QString caption = *conference.second + QStringLiteral(".zip");
        FUZZ_CHECK(lectureListFileName(*conference.second)
                   == QStringView(caption).last(std::min<qsizetype>(caption.size(), 12)));
    }
    FUZZ_CHECK(conferenceListFileName(line)
               == (conference.second ? Field(lectureListFileName(*conference.second)) : std::nullopt));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    QStringList lines{QStringLiteral("an earlier line")};
    splitAndKeep(text, lines);
    FUZZ_CHECK(lines.takeFirst() == QStringLiteral("an earlier line"));
    FUZZ_CHECK(lines == referenceLines(text));
    for (const QString& line : std::as_const(lines))
        FUZZ_CHECK(isCatalogueLine(line));

    // The lines handed on one by one are the same lines.
    QStringList handedOn;
    splitAndKeep(text, [&handedOn](const QString& line) { handedOn.append(line); });
    FUZZ_CHECK(handedOn == lines);

    // Joined again, each with its CR LF, they cut into the same lines:
    // cutting loses nothing of a line it keeps.
    QString rejoined;
    for (const QString& line : std::as_const(lines))
        rejoined += line + QStringLiteral("\r\n");
    QStringList again;
    splitAndKeep(rejoined, again);
    FUZZ_CHECK(again == lines);

    // A few lines are enough: the fields of one line know nothing of the
    // others. Stored lectures' file names and lines the cut dropped are
    // read too, the whole text taken as one.
    for (const QString& line : lines.first(std::min<qsizetype>(lines.size(), 4)))
        checkFields(line);
    checkFields(text);
    return 0;
}
