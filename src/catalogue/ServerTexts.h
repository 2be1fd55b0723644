// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Every text the server sends is in this character set.
inline const QString kServerCharset = QStringLiteral("GB2312");

// Shown when the version file, the catalogue or a lecture list cannot be
// read; the program ends after it.
inline const QString kNetworkFailureMessage = QStringLiteral("网络暂时无法链接，请稍后再试！");
