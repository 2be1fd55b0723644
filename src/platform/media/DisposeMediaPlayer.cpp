// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/media/DisposeMediaPlayer.h"

#include <QMediaPlayer>
#include <QUrl>

namespace platform {

void disposeMediaPlayer(QMediaPlayer* player, const QObject* listener)
{
    if (!player)
        return;
    QObject::disconnect(player, nullptr, listener, nullptr);
    player->stop();
    // Emptied before it is deleted: the GStreamer back end of Qt 6.4 leaves
    // its decoder's signals connected while it is destroyed, and a decoder
    // still in the pipeline then calls into the half-destroyed player and
    // crashes it now and then. Emptying takes the decoder out while the
    // player is whole.
    player->setSource(QUrl());
    player->setAudioOutput(nullptr);
    // Deleted now, not later: it must stop reading the previous file
    // before the caller lets go of that file.
    delete player;
}

}  // namespace platform
