// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/VisibleControls.h"

bool isHiddenControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)
        || c == 0x200E || c == 0x200F || c == 0x061C;
}

QString withVisibleControls(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (isHiddenControl(c.unicode()))
            shown += QStringLiteral("<U+%1>").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
        else
            shown += c;
    }
    return shown;
}
