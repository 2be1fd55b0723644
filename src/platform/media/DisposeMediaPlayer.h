// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QMediaPlayer;
class QObject;

namespace platform {

// Stops `player`, lets go of its media and deletes it, at once and without
// a word to `listener` (its connections to `listener` are cut first). Null
// does nothing. This is the one safe way to be rid of a QMediaPlayer that
// has played something.
void disposeMediaPlayer(QMediaPlayer* player, const QObject* listener);

}  // namespace platform
