// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/widgets/CaptionLabel.h"

#include <QColor>
#include <QRect>

class QFont;

namespace platform {

// Text needs the height its font asks for; where the layout's box is
// shorter the control grows evenly up and down, so its middle stays put.
void placeText(QWidget* control, QRect box);

// A label with its caption, colour and font, placed as placeText does.
CaptionLabel* makeLabel(QWidget* parent, const QString& caption, QRect box, const QColor& textColour, bool autoSize,
                        const QFont* font = nullptr);

}  // namespace platform
