// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/ScrollBar.h"

namespace platform {

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    // A fresh scroll bar carries the control's defaults until code sets a
    // range: 0 to 32767, one step per arrow or track click.
    setRange(0, 32767);
    setSingleStep(1);
    setPageStep(1);
    // Without tracking the value moves only when the thumb is let go, so a
    // drag reports dragged() positions and one changed() at the end.
    setTracking(false);
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::changed);
    connect(this, &QScrollBar::sliderMoved, this, &ScrollBar::dragged);
}

}  // namespace platform
