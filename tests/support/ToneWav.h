// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Writes a sine tone as 16-bit mono PCM in a WAV file: real audio that the
// player decodes, made on the spot.
bool writeTone(const QString& path, int milliseconds, int frequency = 440);
