// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/PictureBox.h"

#include <QGuiApplication>
#include <QPainter>

namespace platform {

PictureBox::PictureBox(QWidget* parent, bool border) : QFrame(parent)
{
    if (border)
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    else
        setFrameStyle(QFrame::NoFrame);
}

void PictureBox::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize() + QSize(2 * frameWidth(), 2 * frameWidth()));
    update();
}

void PictureBox::setBackgroundColour(const QColor& colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour.isValid() ? colour : QGuiApplication::palette().color(QPalette::Base));
    setPalette(colours);
    setAutoFillBackground(true);
}

void PictureBox::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    setPicture(picture_);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    if (!picture_.isNull()) {
        QPainter painter(this);
        painter.setClipRect(contentsRect());
        painter.drawPixmap(contentsRect().topLeft(), picture_);
    }
    QFrame::paintEvent(event);
}

}  // namespace platform
