// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>

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

// A name the record can hold and the recovery may act on: one line, within
// the folder.
bool isRecordableName(const QString& name);

// The record's text, and back: two lines a rename, each ended by a line feed.
PendingRenames parsePendingRenames(const QByteArray& text);
QByteArray formatPendingRenames(const PendingRenames& pending);
