// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// What a command-line tool prints, in English and in Chinese, held against a
// transcript kept in the tree. The publisher's tool's texts are what its
// users and their scripts read, so any change to one must be a change made
// on purpose: run the test with KARDELO_RECORD_TRANSCRIPTS=1 to write the
// transcript afresh, and read its diff.
class ToolTranscript {
public:
    // What varies from run to run (a scratch folder, a server's address)
    // and the fixed name it is written as.
    using StandIns = QList<std::pair<QString, QString>>;

    ToolTranscript(const QString& tool, const QString& transcriptFile);
    ~ToolTranscript();
    ToolTranscript(const ToolTranscript&) = delete;
    ToolTranscript& operator=(const ToolTranscript&) = delete;

    // Runs the tool with these arguments under an English and a Chinese
    // locale; a QTest failure when either differs from the transcript's
    // entry named key.
    void expect(const QString& key, const QStringList& arguments, const StandIns& standIns = {});

private:
    QString run(const QStringList& arguments, const QString& locale, const StandIns& standIns) const;

    QString tool_;
    QString file_;
    bool recording_;
    QStringList recorded_;
    QHash<QString, QString> expected_;
};
