// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The whole library in one text, lists/library-index.txt, so that a reader
// learns every lecture with one request instead of one per conference. It
// is made from the catalogue and the lecture lists, which stay what the
// library is: where they disagree, the lists win. GB2312 with CR LF after
// every line, like the other texts of the library:
//
//     KardeloLibraryIndex 1
//     C<TAB>a line of the catalogue, as it stands there
//     L<TAB>a line of that conference's lecture list, as it stands there
//     L<TAB>...
//     C<TAB>the next conference ...
//     E<TAB><number of C lines><TAB><number of L lines>
//
// The conferences come in the catalogue's order, each with its lectures in
// its list's order; a conference whose list is missing has no L lines. The
// E line, with its counts, is how a reader knows it has the whole text: an
// index cut short or damaged is refused whole, never read in part. A C or L
// line whose record a list would drop (one marker only, longer than
// kLongestCatalogueLine) is dropped from the index the same way; a C line
// dropped takes its L lines with it.
struct LibraryIndex {
    struct Conference {
        QString line;
        QStringList lectureLines;

        bool operator==(const Conference&) const = default;
    };
    QList<Conference> conferences;

    bool operator==(const LibraryIndex&) const = default;
};

inline const QString kLibraryIndexPath = QStringLiteral("lists/library-index.txt");
inline const QString kLibraryIndexHeader = QStringLiteral("KardeloLibraryIndex 1");

// What reading an index gave: the whole index, or why none.
struct LibraryIndexReading {
    enum class Fault {
        None,
        NoHeader,  // the first line is not kLibraryIndexHeader: another format, or a later version of this one
        BrokenLine,  // a line that is none of C, L, E (or an E line whose counts are not numbers)
        LectureBeforeConference,
        NoEnd,  // no E line: the text was cut short
        CountsDiffer,  // the E line counts other lines than there are: lines lost or added
        TextAfterEnd,
    };

    LibraryIndex index;  // empty unless read
    Fault fault = Fault::None;
    qsizetype line = 0;  // 1-based line of the fault; 0 when it is about the whole text
    QString error;  // what was wrong, in English, for the log; empty when read

    bool ok() const { return fault == Fault::None; }
};

// The text of an index (the caller encodes it in GB2312). Lines an index
// cannot hold are left out: those a list would drop, and any holding a CR LF.
QString formatLibraryIndex(const LibraryIndex& index);

// Reads a decoded index; a fault leaves the index empty.
LibraryIndexReading parseLibraryIndex(QStringView text);
