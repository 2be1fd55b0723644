// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A PulseAudio server of the test's own with one null sink, the default for
// every player this process makes from now on (PULSE_SERVER points at it),
// whose sound can be recorded: what a listener would hear, without a sound
// card and without touching the user's own server.
class PrivateSoundServer {
public:
    static constexpr int kSampleRate = 44100;

    PrivateSoundServer();
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    // Empty once the server answers; else why it does not.
    QString failure() const { return failure_; }

    // Records the sink from now on, as mono 16-bit samples at kSampleRate.
    void startRecording();
    QList<qint16> stopRecording();

private:
    QTemporaryDir folder_;
    QProcess server_;
    QProcess recorder_;
    QByteArray previousServer_;
    QString failure_;
};

// The frequency, in whole hertz from low to high, that holds most of the
// energy of the middle half second of the loud part of samples; 0 when
// there is less than that of sound.
int dominantFrequency(const QList<qint16>& samples, int sampleRate, int low, int high);
