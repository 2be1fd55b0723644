// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ToolTranscript.h"

#include "support/FileBytes.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kEntryMark = QStringLiteral("== ");

// The two locales the tool speaks, as a publisher's shell would set them.
const QList<std::pair<QString, QString>> kLocales = {{QStringLiteral("en"), QStringLiteral("C.UTF-8")},
                                                     {QStringLiteral("zh"), QStringLiteral("zh_CN.UTF-8")}};

// Each line marked with the stream it came on, so an entry shows what a
// script piping one of them would get.
QString markedLines(const QByteArray& output, const QString& stream)
{
    if (output.isEmpty())
        return {};
    QStringList lines = QString::fromUtf8(output).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    else
        lines.last() += QStringLiteral(" [no newline at the end]");
    QString marked;
    for (const QString& line : lines)
        marked += stream + u' ' + line + u'\n';
    return marked;
}

}  // namespace

ToolTranscript::ToolTranscript(const QString& tool, const QString& transcriptFile)
    : tool_(tool),
      file_(transcriptFile),
      recording_(qEnvironmentVariableIntValue("KARDELO_RECORD_TRANSCRIPTS") == 1)
{
    if (recording_)
        return;
    QString key;
    for (const QString& line : QString::fromUtf8(readWholeFile(file_)).split(u'\n')) {
        if (line.startsWith(kEntryMark))
            key = line.mid(kEntryMark.size());
        else if (!key.isEmpty() && !line.isEmpty())
            expected_[key] += line + u'\n';
    }
}

ToolTranscript::~ToolTranscript()
{
    if (recording_ && !writeWholeFile(file_, recorded_.join(QString()).toUtf8()))
        qWarning("cannot write %s", qPrintable(file_));
}

void ToolTranscript::expect(const QString& key, const QStringList& arguments, const StandIns& standIns)
{
    for (const auto& [language, locale] : kLocales) {
        const QString entry = language + u' ' + key;
        const QString output = run(arguments, locale, standIns);
        if (recording_) {
            recorded_.append(kEntryMark + entry + u'\n' + output + u'\n');
            continue;
        }
        QVERIFY2(expected_.contains(entry), qPrintable(QStringLiteral("%1 has no \"%2\"").arg(file_, entry)));
        QCOMPARE(output, expected_.value(entry));
    }
}

QString ToolTranscript::run(const QStringList& arguments, const QString& locale, const StandIns& standIns) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), locale);
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(tool_, arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("did not end: %1\n").arg(tool.errorString());
    QString output = QStringLiteral("exit %1\n").arg(tool.exitCode())
        + markedLines(tool.readAllStandardOutput(), QStringLiteral("out"))
        + markedLines(tool.readAllStandardError(), QStringLiteral("err"));
    for (const auto& [varying, standIn] : standIns)
        output.replace(varying, standIn);
    // How long a check took, and what a refused connection says of its port and time.
    static const QList<std::pair<QRegularExpression, QString>> varyingParts = {
        {QRegularExpression(QStringLiteral(R"(\d+\.\d\d (s|秒)\n)")), QStringLiteral("N.NN \\1\n")},
        {QRegularExpression(QStringLiteral(R"("seconds": [0-9.e-]+)")), QStringLiteral(R"("seconds": N)")},
        {QRegularExpression(QStringLiteral(R"(127\.0\.0\.1(:| port )\d+)")), QStringLiteral("127.0.0.1\\1PORT")},
        {QRegularExpression(QStringLiteral(R"(after \d+ ms)")), QStringLiteral("after N ms")},
    };
    for (const auto& [pattern, standIn] : varyingParts)
        output.replace(pattern, standIn);
    return output;
}
