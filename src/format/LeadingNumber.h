// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringView>

// The number a text begins with, read the forgiving way version texts have
// always been read: spaces, tabs and line feeds are dropped wherever they
// stand, then the longest numeric prefix counts (sign, digits, decimals,
// exponent with E or D, or &H / &O for hexadecimal and octal). A text with no
// leading number gives 0, and so does one too large to hold.
double leadingNumber(QStringView text);
