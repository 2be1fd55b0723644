// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Gb2312.h"

#include <QStringEncoder>

QByteArray toGb2312(const QString& text)
{
    QStringEncoder encoder("windows-936");
    return encoder.encode(text);
}
