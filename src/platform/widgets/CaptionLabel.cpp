// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/CaptionLabel.h"

#include <QGuiApplication>
#include <QMouseEvent>

namespace platform {

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void CaptionLabel::setCaption(const QString& caption)
{
    setText(caption);
    if (autoSize_)
        adjustSize();
}

void CaptionLabel::setTextColour(const QColor& colour)
{
    textColour_ = colour;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText,
                     colour.isValid() ? colour : QGuiApplication::palette().color(QPalette::ButtonText));
    setPalette(colours);
}

void CaptionLabel::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    if (autoSize_)
        adjustSize();
}

void CaptionLabel::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button());
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->button(), event->position());
}

}  // namespace platform
