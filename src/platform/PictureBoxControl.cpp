#include "platform/PictureBoxControl.h"

#include "platform/VbColor.h"

#include <QPainter>

namespace platform {

PictureBoxControl::PictureBoxControl(QWidget* parent, bool border) : QFrame(parent)
{
    if (border)
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    else
        setFrameStyle(QFrame::NoFrame);
}

void PictureBoxControl::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize() + QSize(2 * frameWidth(), 2 * frameWidth()));
    update();
}

void PictureBoxControl::setBackColor(std::uint32_t vbColor)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ColorFromVb(vbColor));
    setPalette(colours);
    setAutoFillBackground(true);
}

void PictureBoxControl::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    setPicture(picture_);
}

void PictureBoxControl::paintEvent(QPaintEvent* event)
{
    if (!picture_.isNull()) {
        QPainter painter(this);
        painter.setClipRect(contentsRect());
        painter.drawPixmap(contentsRect().topLeft(), picture_);
    }
    QFrame::paintEvent(event);
}

}  // namespace platform
