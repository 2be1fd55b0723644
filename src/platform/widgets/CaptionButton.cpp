// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/CaptionButton.h"

#include "platform/widgets/PressableAccessible.h"

#include <QKeyEvent>
#include <QPainter>

namespace platform {

CaptionButton::CaptionButton(QWidget* parent, QAccessible::Role role) : CaptionLabel(parent), role_(role)
{
    PressableAccessible<CaptionButton>::install();
    setFocusPolicy(Qt::TabFocus);
}

QString CaptionButton::description() const
{
    if (!accessibleDescription().isEmpty() || !describedBy_)
        return accessibleDescription();
    return describedBy_->text();
}

void CaptionButton::click()
{
    emit pressed(Qt::LeftButton);
    emit released(Qt::LeftButton, QRectF(rect()).center());
}

void CaptionButton::keyPressEvent(QKeyEvent* event)
{
    if (!isButtonActivationKey(event)) {
        CaptionLabel::keyPressEvent(event);
        return;
    }
    // The user is on the keyboard: from here the focus mark shows.
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
    if (!event->isAutoRepeat() && downKey_ == 0) {
        downKey_ = event->key();
        update();
        emit pressed(Qt::LeftButton);
    }
    event->accept();
}

void CaptionButton::keyReleaseEvent(QKeyEvent* event)
{
    if (downKey_ == 0 || event->key() != downKey_) {
        CaptionLabel::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    // Up before the command runs: a download runs inside it, and a second
    // press during the download must find the button up.
    downKey_ = 0;
    emit released(Qt::LeftButton, QRectF(rect()).center());
}

void CaptionButton::focusInEvent(QFocusEvent* event)
{
    CaptionLabel::focusInEvent(event);
    update();
}

void CaptionButton::focusOutEvent(QFocusEvent* event)
{
    CaptionLabel::focusOutEvent(event);
    update();
    // Its key-up goes elsewhere now; the next key down presses afresh.
    downKey_ = 0;
}

bool CaptionButton::showsFocusMark() const
{
    // Only for a keyboard user, as the desktop's own buttons do: a mouse
    // user never sees it.
    return hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void CaptionButton::paintEvent(QPaintEvent* event)
{
    CaptionLabel::paintEvent(event);
    if (!showsFocusMark())
        return;
    QPainter painter(this);
    paintFocusMark(painter, QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 3, palette());
}

void CaptionButton::paintFocusMark(QPainter& painter, const QRectF& ring, qreal radius, const QPalette& colours)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colours.color(QPalette::Highlight), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(ring, radius, radius);
    painter.restore();
}

}  // namespace platform
