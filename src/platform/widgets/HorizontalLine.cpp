// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/HorizontalLine.h"

#include <QPainter>

namespace platform {

HorizontalLine::HorizontalLine(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void HorizontalLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(colour_, 1));
    painter.drawLine(0, 0, width(), 0);
}

}  // namespace platform
