// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"
#include "publishing/LibraryText.h"
#include "publishing/RecordLinesCheck.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

// A conference of the catalogue as the lists give it: what the library
// index should say of it.
struct ListedConference {
    KeptRecord record;  // its catalogue line
    QString listPath;  // "lists/20131015.zip"
    // The kept lines of its list; nothing when the list cannot be read or
    // the line names none, which are errors of their own.
    std::optional<QList<KeptRecord>> lectures;
};

// Reads lists/library-index.txt as a reader of the whole library would and
// holds it against the catalogue and the lists, which win: an index that
// cannot be read is an error, and so is one that says other than the lists.
// Of the conferences, the first disagreement is told (one missing conference
// shifts all after it); of each conference the index has, the first
// disagreement of its lectures.
class LibraryIndexCheck {
    Q_DECLARE_TR_FUNCTIONS(LibraryIndexCheck)

public:
    explicit LibraryIndexCheck(const QString& location) : location_(location) { }

    void run(const LibraryText& text, const QList<ListedConference>& listed, QList<LibraryFinding>& findings) const;

private:
    void compareLectures(const ListedConference& conference, const QStringList& indexed,
                         QList<LibraryFinding>& findings) const;
    void addDisagreement(const QString& what, QList<LibraryFinding>& findings) const;

    QString location_;
};
