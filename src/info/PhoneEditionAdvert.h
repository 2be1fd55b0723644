#pragma once

#include <QPixmap>
#include <QString>

// The phone-edition advertisement: a QR code of the phone edition's page
// with a one-line prompt, 137 x 170 logical pixels.
QPixmap PhoneEditionAdvert(const QString& storedPhoneEditionAddress, qreal dpr);
