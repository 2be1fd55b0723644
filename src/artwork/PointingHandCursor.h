// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCursor>
#include <QPoint>
#include <QSize>

namespace artwork {

inline constexpr QSize kPointingHandSize{32, 32};
// The tip of the index finger: where the click lands.
inline constexpr QPoint kPointingHandHotSpot{12, 1};

// A white hand with a black outline, its index finger pointing up, for
// text that opens a page when clicked. Call only once the application
// object exists.
QCursor pointingHandCursor();

}  // namespace artwork
