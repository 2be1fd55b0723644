// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QString>

// The phone-edition advertisement: a QR code of the phone edition's page
// with a one-line prompt, 137 x 170 logical pixels.
QPixmap phoneEditionAdvert(const QString& storedPhoneEditionAddress, qreal dpr);
