// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/LibraryIndex.h"
#include "views/SearchKey.h"

#include <QList>
#include <QString>
#include <QStringList>

// The whole library as a search goes through it: each conference's name
// and each lecture's title, speaker and note, with the search keys computed
// once (the pinyin takes ICU its time: built off the window's thread), so
// that a keystroke only compares.
class LibrarySearch {
public:
    // What a search found, in the library's order, the conferences first:
    // each line with the line of its lecture's conference (empty for a
    // conference), as the page model's found view takes them.
    struct Found {
        QStringList lines;
        QStringList conferenceOfEach;
    };

    explicit LibrarySearch(const LibraryIndex& library);

    Found find(const SearchQuery& query) const;
    int lectureCount() const { return static_cast<int>(lectures_.size()); }

    // The fields a search compares of a lecture line: its title, speaker
    // and note, without its address.
    static QStringList lectureFields(const QString& lectureLine);

private:
    struct Entry {
        QString line;
        int conference = -1;  // the conference of a lecture, -1 for a conference
        SearchKey key;
    };

    QStringList conferenceLines_;
    QList<Entry> conferences_;
    QList<Entry> lectures_;
};
