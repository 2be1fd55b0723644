// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// A stored lecture is handed to the player under its play name: every "zip"
// in its file name (never in the folders above it) becomes "wma", so the
// player takes it for what it is. The file gets its stored name back right
// after; a small record in the favourites folder, on disk before the first
// rename and let go of after the second, lets the next start finish the job
// if the program died in between. It holds every rename still owed, not
// only the last, one name a line.
QString playNameFor(const QString& fileName);

// What the record holds: each rename owed as its stored name and its play
// name. A pair is only taken for one when the play name is the one this
// program gives that stored name: a damaged or crafted record can then
// never make the recovery rename one lecture onto another's name.
struct PendingRenames {
    QList<std::pair<QString, QString>> renames;
    QByteArrayList unreadable;  // lines kept as they were, two a pair

    bool isEmpty() const { return renames.isEmpty() && unreadable.isEmpty(); }
    bool operator==(const PendingRenames&) const = default;
};

// The record's text, and back: two lines a rename, each ended by a line feed.
PendingRenames parsePendingRenames(const QByteArray& text);
QByteArray formatPendingRenames(const PendingRenames& pending);

class PlayRename {
public:
    explicit PlayRename(const QString& folder);

    // Renames the stored file to its play name; returns the play name's
    // full path whether or not the rename worked. No rename is made that
    // the record could not announce first (a full disk). Nothing for a name the
    // record cannot hold (a line feed or another control character in it):
    // such a lecture is not played, so it is never left under a name that
    // the next start could not give back.
    std::optional<QString> toPlayName(const QString& storedName);
    // Gives the file its stored name back; true when it has it.
    bool back();

    // At start: brings back every lecture left under its play name. It
    // never renames onto a name that is taken; a rename it cannot make, and
    // a line it cannot read, stay in the record and are logged.
    static void recoverPending(const QString& folder);

private:
    static QString recordPath(const QString& folder);
    QString folder_;
    QString storedName_;
    QString playName_;
};
