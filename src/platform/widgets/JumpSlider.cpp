// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/JumpSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

namespace platform {

void JumpSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && maximum() > minimum()) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        const QPoint at = event->position().toPoint();
        if (!handle.contains(at)) {
            const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
            const int span = groove.width() - handle.width();
            const int offset = at.x() - groove.x() - handle.width() / 2;
            setSliderPosition(QStyle::sliderValueFromPosition(minimum(), maximum(), offset, span, option.upsideDown));
        }
    }
    QSlider::mousePressEvent(event);
}

}  // namespace platform
