// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/Fonts.h"

#include <QStringList>

namespace platform {

void installFontSubstitutions()
{
    static const bool installed = [] {
        QFont::insertSubstitutions(QStringLiteral("宋体"),
                                   {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
        QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("Noto Serif CJK SC")});
        return true;
    }();
    (void)installed;
}

QFont songTiBold9()
{
    installFontSubstitutions();
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    font.setBold(true);
    return font;
}

}  // namespace platform
