// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QObject;

namespace platform {

// A sound output for a QMediaPlayer that keeps a voice at its own pitch
// when the play rate changes: a lecture at 1.5x sounds like its speaker,
// only faster, not a fifth higher.
//
// Qt before 6.10 changes the rate by a rate seek alone, which plays the
// samples faster and so raises every voice. There the output's own
// GStreamer chain gets a time stretcher (scaletempo) between its resampler
// and its volume. When that chain is not the one expected (another back
// end, another Qt) the output is left as Qt made it, and the result says
// why: speed changes still work, only the pitch moves with them.
struct PitchKeepingAudioOutput {
    QAudioOutput* output = nullptr;  // always made, owned by the parent given
    bool keepsPitch = false;
    QString whyNot;  // for the log, when it does not keep the pitch
};
PitchKeepingAudioOutput makePitchKeepingAudioOutput(QObject* parent);

// From Qt 6.10 on the player keeps the pitch itself once asked; before
// that the output above does, and this does nothing.
void keepPitchAtEveryRate(QMediaPlayer* player);

}  // namespace platform
