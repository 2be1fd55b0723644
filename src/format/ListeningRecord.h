// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

// Where a stored lecture was left: a place in it, or heard to its end.
struct ListeningPlace {
    qint64 position = 0;  // ms; 0 once listened
    bool listened = false;

    bool operator==(const ListeningPlace&) const = default;
};

// The places of a folder's stored lectures, by stored name.
using ListeningPlaces = QMap<QString, ListeningPlace>;

// The hidden file in the favourites folder that keeps where each lecture
// was left. It is bookkeeping beside the lectures, like the play-rename
// record, not a setting: it goes where the lectures go. One header line
// with the format's version, then a line a lecture, sorted by name:
//
//     kardelo-listening 1
//     754000<TAB>讲座%医生$说明.zip
//     done<TAB>另一讲座%医生$说明.zip
//
// It is replaced whole through a temporary file, so a crash or a power cut
// leaves the old record or the new one, never half of one.
namespace listeningRecord {

inline const QString kFileName = QStringLiteral(".listening-places");
// The version of the format this program reads and writes.
inline constexpr int kVersion = 1;

// A name the record can hold: one line and no tab, within the folder.
bool canHold(const QString& storedName);

QByteArray format(const ListeningPlaces& places);
// Nothing for a text that is not a whole record of this version.
std::optional<ListeningPlaces> parse(const QByteArray& text);
// The version a record's header line names; 0 when it names none.
int versionOf(const QByteArray& text);

}  // namespace listeningRecord
