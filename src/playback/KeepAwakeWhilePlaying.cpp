// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/KeepAwakeWhilePlaying.h"

#include "playback/Playback.h"

KeepAwakeWhilePlaying::KeepAwakeWhilePlaying(Playback& playback, platform::SessionBus& bus, QObject* parent)
    : QObject(parent),
      inhibition_(QStringLiteral("Kardelo"), bus)
{
    connect(&playback, &Playback::playbackStateChanged, this,
            [this](Playback::State state) { follow(state == Playback::State::Playing); });
    follow(playback.playbackState() == Playback::State::Playing);
}

void KeepAwakeWhilePlaying::stopHolding()
{
    stopped_ = true;
    inhibition_.release();
}

void KeepAwakeWhilePlaying::follow(bool playing)
{
    if (playing && !stopped_)
        inhibition_.hold(QStringLiteral("正在播放讲座"));
    else
        inhibition_.release();
}
