// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/PendingRenames.h"

#include <QString>

#include <optional>

// The play-time rename of one stored lecture and back, each announced first
// in the favourites folder's record (PendingRenames).
class PlayRename {
public:
    explicit PlayRename(const QString& folder);

    // Renames the stored file to its play name and returns the full path
    // to hand the player: the play name's, or the stored name's when the
    // file kept it. No rename is made that the record could not announce
    // first (a full disk). Nothing for a name the record cannot hold (a line
    // feed or another control character in it): such a lecture is not
    // played, so it is never left under a name that the next start could
    // not give back. Both this and back() wait for the disk: never on the
    // window's thread.
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
    bool renamed_ = false;
};
