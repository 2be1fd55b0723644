// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/RecordLinesCheck.h"

#include "format/CatalogueLines.h"
#include "publishing/FindingText.h"

QList<KeptRecord> RecordLinesCheck::run(const LibraryText& text, QList<LibraryFinding>& findings) const
{
    checkEncoding(text, findings);
    checkLineEnds(text, findings);

    QStringList kept;
    splitAndKeep(text.text(), kept);
    // The client's lines are what lies between CR LFs; each is matched, in
    // order, with what the reader kept, to say where it stands.
    QList<KeptRecord> records;
    const QString& whole = text.text();
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = whole.indexOf(QStringLiteral("\r\n"), start);
        if (end < 0)
            break;
        const QStringView line = QStringView(whole).sliced(start, end - start);
        const int number = text.lineAt(start);
        if (records.size() < kept.size() && kept[records.size()] == line)
            records.append({number, kept[records.size()]});
        else
            checkDroppedLine(line, number, findings);
        start = end + 2;
    }
    return records;
}

void RecordLinesCheck::checkEncoding(const LibraryText& text, QList<LibraryFinding>& findings) const
{
    const std::optional<LibraryText::EncodingFault> fault = text.encodingFault();
    if (!fault)
        return;
    if (fault->looksLikeUtf8)
        findings.append(
            errorFinding(QStringLiteral("not-gb2312"), location_, fault->line,
                         tr("not GB2312 from this line on (it looks like UTF-8): the client shows it garbled")));
    else
        findings.append(errorFinding(QStringLiteral("not-gb2312"), location_, fault->line,
                                     tr("bytes that are not GB2312 from this line on: the client "
                                        "shows them as �")));
}

void RecordLinesCheck::checkLineEnds(const LibraryText& text, QList<LibraryFinding>& findings) const
{
    const QList<LibraryText::Line>& lines = text.lines();
    int firstBare = 0;
    int bare = 0;
    for (const LibraryText::Line& line : lines) {
        if (line.end != LibraryText::LineEnd::LineFeedOnly)
            continue;
        if (bare++ == 0)
            firstBare = line.number;
    }
    if (bare > 0)
        findings.append(errorFinding(QStringLiteral("missing-crlf"), location_, firstBare,
                                     tr("%1 line(s) from here on end in a line feed without CR: the client reads each "
                                        "as one with the next")
                                         .arg(bare)));
    if (lines.isEmpty() || lines.last().end != LibraryText::LineEnd::None)
        return;
    const LibraryText::Line& last = lines.last();
    const bool record = isCatalogueLine(last.text);
    const QString message = tr("the last line has no CR LF after it: the client never reads it");
    findings.append(record ? errorFinding(QStringLiteral("unterminated-last-line"), location_, last.number, message)
                           : warningFinding(QStringLiteral("unterminated-last-line"), location_, last.number, message));
}

void RecordLinesCheck::checkDroppedLine(QStringView line, int number, QList<LibraryFinding>& findings) const
{
    if (line.size() > kLongestCatalogueLine) {
        findings.append(errorFinding(QStringLiteral("line-too-long"), location_, number,
                                     tr("%1 characters: the client passes over lines longer than %2")
                                         .arg(line.size())
                                         .arg(kLongestCatalogueLine)));
        return;
    }
    const bool percent = line.contains(u'%');
    const bool star = line.contains(u'*');
    if (percent == star)
        return;  // a heading or an empty line
    const QString missing = percent ? QStringLiteral("*") : QStringLiteral("%");
    const QString layout = kind_ == TextKind::Catalogue ? QStringLiteral("Title%UpdateDate*Rest")
                                                        : QStringLiteral("Title%Detail$Note*DownloadAddress");
    findings.append(errorFinding(QStringLiteral("dropped-line"), location_, number,
                                 tr("no \"%1\": the client drops this line (a record is %2)").arg(missing, layout)));
}
