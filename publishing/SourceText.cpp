// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/SourceText.h"

#include <QFile>
#include <QStringDecoder>

namespace {

LibraryFinding sourceError(const QString& location, int line, const QString& kind, const QString& message)
{
    return {LibraryFinding::Severity::Error, kind, location, line, message};
}

}  // namespace

std::optional<SourceText> SourceText::read(const QString& sourceFolder, const QString& location,
                                           QList<LibraryFinding>& findings)
{
    QFile file(sourceFolder + u'/' + location);
    if (!file.open(QIODevice::ReadOnly)) {
        findings.append(sourceError(location, 0, QStringLiteral("unreadable-source"),
                                    tr("cannot be read: %1").arg(file.errorString())));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    QList<QByteArray> rawLines = bytes.split('\n');
    if (!rawLines.isEmpty() && rawLines.last().isEmpty())
        rawLines.removeLast();

    SourceText text{location, {}};
    // Each fault is told once per file, at its first line: a source saved
    // with CR LF would otherwise give a finding for every line.
    bool notUtf8 = false;
    bool carriageReturn = false;
    for (qsizetype index = 0; index < rawLines.size(); ++index) {
        const int number = int(index + 1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = utf8.decode(rawLines[index]);
        if (utf8.hasError() && !notUtf8) {
            findings.append(sourceError(location, number, QStringLiteral("not-utf8"),
                                        tr("not UTF-8 text; save the source as UTF-8")));
            notUtf8 = true;
        } else if (!utf8.hasError() && line.contains(u'\r') && !carriageReturn) {
            // Line ends are the build's to write; a CR kept inside a line
            // would reach the client as part of its text.
            findings.append(sourceError(location, number, QStringLiteral("carriage-return"),
                                        tr("carriage return in a source; save it with plain line feeds, the build "
                                           "adds CR LF itself")));
            carriageReturn = true;
        }
        text.lines.append(line);
    }
    if (notUtf8 || carriageReturn)
        return std::nullopt;
    return text;
}
