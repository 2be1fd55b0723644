// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "playback/LectureTags.h"

#include <QtGlobal>

class Playback;
class QString;

// Playback runs against the wall clock; these waits only bound a hang.
constexpr int kLoadWait = 15000;
constexpr int kPlayWait = 20000;

// Sets `path` (with `tags`) and plays it; true once it plays, knows its
// length and has played a little (the position can be asked for before it
// has loaded).
bool startPlaying(Playback& playback, const QString& path, const LectureTags& tags = {});
// Pauses a playing lecture and takes it to `position` ms; true once there.
bool pauseAt(Playback& playback, qint64 position);
