#include "platform/LineControl.h"

#include "platform/VbColor.h"

#include <QPainter>

namespace platform {

LineControl::LineControl(std::uint32_t vbColor, QWidget* parent) : QWidget(parent), colour_(vbColor)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(ColorFromVb(colour_), 1));
    painter.drawLine(0, 0, width(), 0);
}

}  // namespace platform
