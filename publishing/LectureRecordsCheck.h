// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"
#include "publishing/RecordLinesCheck.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// A lecture's audio, where the list names it.
struct AudioReference {
    QString address;
    QString location;
    int line = 0;
};

// The client's reading of the kept lines of one conference's lecture list:
// the captions its rows show, the file a download is stored as and the
// address it comes from. Says which lecture the client cannot show whole,
// cannot store (a name no file can have, one too long for the file system,
// one another lecture of the conference already has), or cannot download.
class LectureRecordsCheck {
    Q_DECLARE_TR_FUNCTIONS(LectureRecordsCheck)

public:
    // Most Linux file systems take names of at most this many bytes.
    static constexpr qsizetype kLongestStoredName = 255;

    explicit LectureRecordsCheck(const QString& location) : location_(location) { }

    // The lectures' audio, one per kept line with an address; findings are
    // appended.
    QList<AudioReference> run(const QList<KeptRecord>& records, QList<LibraryFinding>& findings) const;

private:
    QString location_;
};
