// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/FindingText.h"

#include "publishing/PublisherTexts.h"

namespace {

LibraryFinding finding(LibraryFinding::Severity severity, const QString& kind, const QString& location, int line,
                       const QString& english, const QString& chinese)
{
    return {severity, kind, location, line, localized(english, chinese)};
}

}  // namespace

LibraryFinding errorFinding(const QString& kind, const QString& location, int line, const QString& english,
                            const QString& chinese)
{
    return finding(LibraryFinding::Severity::Error, kind, location, line, english, chinese);
}

LibraryFinding warningFinding(const QString& kind, const QString& location, int line, const QString& english,
                              const QString& chinese)
{
    return finding(LibraryFinding::Severity::Warning, kind, location, line, english, chinese);
}

QString findingText(const QString& base, const LibraryFinding& finding)
{
    QString where = base.isEmpty() || base.endsWith(u'/') ? base + finding.location : base + u'/' + finding.location;
    if (finding.line > 0)
        where += u':' + QString::number(finding.line);
    const QString severity = finding.isError() ? localized(QStringLiteral("error"), QStringLiteral("错误"))
                                               : localized(QStringLiteral("warning"), QStringLiteral("警告"));
    return QStringLiteral("%1: %2: %3\n").arg(where, severity, finding.message);
}
