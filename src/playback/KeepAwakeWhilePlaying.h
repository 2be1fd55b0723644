// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/host/ScreenSaverInhibition.h"

#include <QObject>

class Playback;

namespace platform {
class SessionBus;
}

// Keeps the screen lit and the computer out of idle sleep while a lecture
// plays, so a long one heard from across the room is not cut off by a
// session that sees no keys pressed. It holds off idle only: a suspend the
// user asks for still happens. The hold goes at a pause, a stop, the
// lecture's end, and when this object goes or the program ends.
class KeepAwakeWhilePlaying : public QObject {
    Q_OBJECT

public:
    // Held through the screen saver service on `bus`.
    KeepAwakeWhilePlaying(Playback& playback, platform::SessionBus& bus, QObject* parent = nullptr);

    // For the program's end: lets go now and holds nothing any more,
    // whatever plays, as the process ends without its destructors.
    void stopHolding();

private:
    void follow(bool playing);

    platform::ScreenSaverInhibition inhibition_;
    bool stopped_ = false;
};
