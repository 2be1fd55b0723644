// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/PlaybackWaits.h"

#include "playback/Playback.h"

#include <QTest>

bool startPlaying(Playback& playback, const QString& path, const LectureTags& tags)
{
    playback.setSource(path, tags);
    playback.play();
    return QTest::qWaitFor(
        [&playback] {
            return playback.status() == Playback::Status::Playing && playback.duration() > 0
                && playback.position() > 100;
        },
        kLoadWait);
}

bool pauseAt(Playback& playback, qint64 position)
{
    playback.pause();
    if (!QTest::qWaitFor([&playback] { return playback.playbackState() == Playback::State::Paused; }))
        return false;
    playback.seek(position);
    return QTest::qWaitFor([&playback, position] { return playback.position() == position; });
}
