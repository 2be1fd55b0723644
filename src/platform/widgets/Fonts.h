// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>

namespace platform {

// "宋体" is the window's serif face; on this platform Noto Serif CJK SC
// stands in for it. Safe to call more than once.
void installFontSubstitutions();

// Bold 9 pt "宋体", the face of the row titles and the side-panel labels.
QFont songTiBold9();

}  // namespace platform
