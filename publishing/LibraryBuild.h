// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/Gb2312Encoder.h"
#include "publishing/LibraryFinding.h"
#include "publishing/RecordLineRules.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

struct SourceText;

// Turns a library's UTF-8 sources (version.txt, catalogue.txt,
// lectures/<UpdateDate>.txt) into the GB2312 files the client fetches, and
// judges every line with the client's own readers: whatever the client
// would drop, cut wrongly, fail to store or fail to find is an error at the
// source's file and line. Every fault is found, not only the first.
class LibraryBuild {
    Q_DECLARE_TR_FUNCTIONS(LibraryBuild)

public:
    // root is what "{root}" in a source stands for; empty when none is given.
    LibraryBuild(const QString& sourceFolder, const QString& root);

    void run();

    // Locations are paths below the source folder.
    const QList<LibraryFinding>& findings() const { return findings_; }
    bool refused() const;
    // Each file of the built library by its path below the library's root:
    // "version.txt", "lists/catalogue.txt", "lists/20131015.zip",
    // "lists/library-index.txt".
    const QMap<QString, QByteArray>& files() const { return files_; }

private:
    void buildVersionFile();
    void buildCatalogue();
    void buildLectureList(const QString& location, const QString& listName);
    // lists/library-index.txt, from the catalogue and the lists built.
    void buildLibraryIndex();
    // Each line the client keeps is judged by rules; their faults are errors
    // at its line, and a line without any is handed to accepted.
    void judgeRecordLines(const SourceText& text, QList<LineFault> (*rules)(const QString& line),
                          const std::function<void(const QString& line, int number)>& accepted);
    void warnOfUnusedLectureLists(const QSet<QString>& used);
    // Puts the root in, judges what every line has in common (and, in the
    // catalogue and the lecture lists, what the client keeps of them) and
    // encodes the text with CR LF after each line; no bytes when a line is
    // refused.
    enum class TextKind { Version, Records };
    std::optional<QByteArray> encodeText(SourceText& text, TextKind kind);
    void checkReadBack(const SourceText& text, const QByteArray& bytes);
    void addFinding(LibraryFinding::Severity severity, const QString& location, int line, const QString& kind,
                    const QString& message);

    QString sourceFolder_;
    QString root_;
    Gb2312Encoder encoder_;
    QList<LibraryFinding> findings_;
    QMap<QString, QByteArray> files_;
};
