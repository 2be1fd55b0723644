// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/CheckReportOutput.h"

#include "publishing/FindingText.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The context of these texts in the translations.
class CheckReportOutput {
    Q_DECLARE_TR_FUNCTIONS(CheckReportOutput)
};

}  // namespace

QString reportAsText(const QString& library, const CheckReport& report)
{
    QString text;
    for (const LibraryFinding& finding : report.findings)
        text += findingText(finding.location.contains(u"://") ? QString() : library, finding);
    const QString seconds = QString::number(report.seconds, 'f', 2);
    // Filled in on its own: a finding may quote a line holding "%3".
    const QString summary = report.fit()
        ? CheckReportOutput::tr("%1: fit to publish: %2 errors, %3 warnings; %4 HTTP requests in %5 s\n")
        : CheckReportOutput::tr("%1: not fit to publish: %2 errors, %3 warnings; %4 HTTP requests in %5 s\n");
    return text
        + summary.arg(library).arg(report.errorCount()).arg(report.warningCount()).arg(report.requests).arg(seconds);
}

QString reportAsJson(const QString& library, const CheckReport& report)
{
    QJsonArray findings;
    for (const LibraryFinding& finding : report.findings) {
        findings.append(QJsonObject{
            {QStringLiteral("severity"), finding.isError() ? QStringLiteral("error") : QStringLiteral("warning")},
            {QStringLiteral("kind"), finding.kind},
            {QStringLiteral("location"), finding.location},
            {QStringLiteral("line"), finding.line},
            {QStringLiteral("message"), finding.message},
        });
    }
    const QJsonObject object{
        {QStringLiteral("library"), library},
        {QStringLiteral("fit"), report.fit()},
        {QStringLiteral("errors"), report.errorCount()},
        {QStringLiteral("warnings"), report.warningCount()},
        {QStringLiteral("requests"), report.requests},
        {QStringLiteral("seconds"), report.seconds},
        {QStringLiteral("findings"), findings},
    };
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}
