// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/TextPlacement.h"

#include <QFont>

namespace platform {

void placeText(QWidget* control, QRect box)
{
    const int needed = control->fontMetrics().height() + 2;
    if (box.height() < needed) {
        const int extra = needed - box.height();
        box.adjust(0, -extra / 2, 0, extra - extra / 2);
    }
    control->setGeometry(box);
}

CaptionLabel* makeLabel(QWidget* parent, const QString& caption, QRect box, const QColor& textColour, bool autoSize,
                        const QFont* font)
{
    auto* label = new CaptionLabel(parent);
    if (font)
        label->setFont(*font);
    label->setTextColour(textColour);
    label->setCaption(caption);
    placeText(label, box);
    label->setAutoSize(autoSize);
    return label;
}

}  // namespace platform
