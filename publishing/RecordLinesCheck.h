// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"
#include "publishing/LibraryText.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// A line the client keeps, with the editor's number of the line it starts on.
struct KeptRecord {
    int line = 0;
    QString text;
};

// Reads a catalogue or lecture-list text with the client's own reader
// (splitAndKeep) and says which of its lines the client passes over, and
// why: a byte that is no GB2312, a line that ends without CR LF, a line with
// one marker only, a line too long to be kept. Headings (no marker at all)
// and empty lines are what the format has them for.
class RecordLinesCheck {
    Q_DECLARE_TR_FUNCTIONS(RecordLinesCheck)

public:
    enum class TextKind { Catalogue, LectureList };

    RecordLinesCheck(const QString& location, TextKind kind) : location_(location), kind_(kind) { }

    // The kept lines, in file order; findings are appended.
    QList<KeptRecord> run(const LibraryText& text, QList<LibraryFinding>& findings) const;
    // Just the encoding and the line ends (any text of the library).
    void checkEncoding(const LibraryText& text, QList<LibraryFinding>& findings) const;

private:
    void checkLineEnds(const LibraryText& text, QList<LibraryFinding>& findings) const;
    void checkDroppedLine(QStringView line, int number, QList<LibraryFinding>& findings) const;

    QString location_;
    TextKind kind_;
};
