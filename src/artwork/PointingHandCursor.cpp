// SPDX-License-Identifier: GPL-3.0-or-later

#include "artwork/PointingHandCursor.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace artwork {
namespace {

// The outline runs along pixel centres (x.5) so that a one-pixel pen lands
// on whole pixels and the hand stays crisp at the cursor's native size.
QPainterPath handOutline()
{
    QPainterPath hand;
    // Index finger, tip on the hot spot.
    hand.moveTo(10.5, 3.5);
    hand.arcTo(QRectF(10.5, 1.5, 4.0, 4.0), 180, -180);
    hand.lineTo(14.5, 11.5);
    // The knuckles of the three curled fingers, each a little lower.
    hand.arcTo(QRectF(14.5, 9.5, 3.0, 3.0), 180, -180);
    hand.lineTo(17.5, 12.5);
    hand.arcTo(QRectF(17.5, 10.5, 3.0, 3.0), 180, -180);
    hand.lineTo(20.5, 13.5);
    hand.arcTo(QRectF(20.5, 11.5, 3.0, 3.0), 180, -180);
    // Back of the hand down to the wrist.
    hand.lineTo(23.5, 21.5);
    hand.cubicTo(23.5, 24.5, 22.0, 26.0, 20.5, 27.5);
    hand.lineTo(20.5, 30.5);
    hand.lineTo(11.5, 30.5);
    hand.lineTo(11.5, 28.5);
    // Palm and thumb, which rests against the base of the index finger.
    hand.cubicTo(9.5, 26.5, 6.0, 22.0, 4.5, 19.0);
    hand.cubicTo(3.5, 17.0, 5.5, 15.5, 7.0, 16.8);
    hand.lineTo(10.5, 20.0);
    hand.closeSubpath();
    return hand;
}

QPixmap handPicture()
{
    QImage image(kPointingHandSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(handOutline());
    // Creases between the curled fingers.
    painter.drawLine(QPointF(17.5, 12.5), QPointF(17.5, 15.5));
    painter.drawLine(QPointF(20.5, 13.5), QPointF(20.5, 16.5));
    // The cuff band at the wrist.
    painter.drawLine(QPointF(11.5, 28.5), QPointF(20.5, 28.5));
    painter.end();
    return QPixmap::fromImage(image);
}

}  // namespace

QCursor pointingHandCursor()
{
    return QCursor(handPicture(), kPointingHandHotSpot.x(), kPointingHandHotSpot.y());
}

}  // namespace artwork
