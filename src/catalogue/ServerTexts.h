// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/TextCodec.h"

#include <QString>

// Shown when the version file, the catalogue or a lecture list cannot be
// read; the program ends after it.
inline const QString kNetworkFailureMessage = QStringLiteral("网络暂时无法链接，请稍后再试！");
