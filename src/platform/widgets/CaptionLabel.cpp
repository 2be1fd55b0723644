// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/CaptionLabel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

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
    updateToolTip();
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

void CaptionLabel::setElided(bool elided)
{
    elided_ = elided;
    updateToolTip();
    update();
}

bool CaptionLabel::isElidedNow() const
{
    return elided_ && fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void CaptionLabel::paintEvent(QPaintEvent* event)
{
    if (!isElidedNow())
        return QLabel::paintEvent(event);
    QPainter painter(this);
    const QRect box = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, box.width());
    style()->drawItemText(&painter, box, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shown, foregroundRole());
}

void CaptionLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    updateToolTip();
}

void CaptionLabel::updateToolTip()
{
    if (!elided_)
        return;
    setToolTip(isElidedNow() ? text() : QString());
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
