// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ToneWav.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <cmath>

// A sine tone as 16-bit mono PCM in a WAV file.
bool writeTone(const QString& path, int milliseconds, int frequency)
{
    constexpr quint32 rate = 8000;
    const quint32 frames = rate * static_cast<quint32>(milliseconds) / 1000;
    QByteArray samples(static_cast<qsizetype>(frames) * 2, Qt::Uninitialized);
    for (quint32 i = 0; i < frames; ++i) {
        const double value = 8000.0 * std::sin(2.0 * M_PI * frequency * i / rate);
        qToLittleEndian<qint16>(static_cast<qint16>(value), samples.data() + 2 * i);
    }
    QByteArray header;
    auto put32 = [&header](quint32 v) {
        char bytes[4];
        qToLittleEndian(v, bytes);
        header.append(bytes, 4);
    };
    auto put16 = [&header](quint16 v) {
        char bytes[2];
        qToLittleEndian(v, bytes);
        header.append(bytes, 2);
    };
    header.append("RIFF");
    put32(36 + samples.size());
    header.append("WAVEfmt ");
    put32(16);
    put16(1);  // PCM
    put16(1);  // mono
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    header.append("data");
    put32(samples.size());

    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header) == header.size()
        && file.write(samples) == samples.size();
}
