// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The generated library (bench/views/GeneratedLibrary, 500 conferences of
// 40 lectures) as a server holds it: the catalogue, one lecture list for
// each conference and the library's index, every text GB2312 with CR LF,
// each conference's list named by its own date. The same every time, so
// that the server's process and the client's make the same texts.
struct ServedLibrary {
    QStringList conferenceLines;  // as the catalogue holds them, newest first
    QStringList lectureTitles;
    QByteArray catalogue;
    QList<std::pair<QString, QByteArray>> lists;  // file name ("20131228.zip"), text
    QByteArray index;

    qint64 listBytes() const;
};

ServedLibrary makeServedLibrary();

// Below each root the server lays the library out as the real one: lists/
// holds the catalogue and the lecture lists; only the first root's lists/
// also holds the index, the second's is an older library's, without one.
inline const QString kIndexedRoot = QStringLiteral("/indexed/");
inline const QString kUnindexedRoot = QStringLiteral("/unindexed/");

// The server's process: serves the library on loopback under both roots,
// prints its port on a line of its own, and serves until its standard
// input ends (the client has gone).
int serveLibraryUntilInputEnds();
