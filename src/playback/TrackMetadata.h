// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "playback/LectureTags.h"

#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>

// The desktop's player controls name the track by an object path; this one
// says that nothing is loaded.
inline const QDBusObjectPath kNoTrack{QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")};

// The path that names the `number`th lecture set since start: a new one for
// each, so a client can tell a lecture started again from one going on.
QDBusObjectPath lectureTrackId(quint64 number);

// What the desktop's player controls show of a lecture, as the a{sv} map
// they read: the track, its tags, its length in microseconds as a 64-bit
// integer (a lecture of an hour and a half does not fit in 32 bits) once it
// is known. No file address: the player reads the lecture under a
// temporary name that is gone by the time anyone asks.
QVariantMap trackMetadata(const QDBusObjectPath& trackId, const LectureTags& tags, qint64 durationMs);
