#include "platform/widgets/HorizontalLine.h"

#include "platform/widgets/ColourCode.h"

#include <QPainter>

namespace platform {

HorizontalLine::HorizontalLine(std::uint32_t colourCode, QWidget* parent) : QWidget(parent), colour_(colourCode)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void HorizontalLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(colourFromCode(colour_), 1));
    painter.drawLine(0, 0, width(), 0);
}

}  // namespace platform
