// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QWidget;

// Which of the button faces a row button paints right now: "pressed",
// "released" or "neither", read beside the caption and inside the focus
// ring, where only the face shows.
QString paintedFace(QWidget& button);
