// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/FindingText.h"

#include <QCoreApplication>

namespace {

class FindingText {
    Q_DECLARE_TR_FUNCTIONS(FindingText)
};

}  // namespace

LibraryFinding errorFinding(const QString& kind, const QString& location, int line, const QString& message)
{
    return {LibraryFinding::Severity::Error, kind, location, line, message};
}

LibraryFinding warningFinding(const QString& kind, const QString& location, int line, const QString& message)
{
    return {LibraryFinding::Severity::Warning, kind, location, line, message};
}

QString findingText(const QString& base, const LibraryFinding& finding)
{
    QString where = base.isEmpty() || base.endsWith(u'/') ? base + finding.location : base + u'/' + finding.location;
    if (finding.line > 0)
        where += u':' + QString::number(finding.line);
    const QString severity = finding.isError() ? FindingText::tr("error") : FindingText::tr("warning");
    return QStringLiteral("%1: %2: %3\n").arg(where, severity, finding.message);
}
