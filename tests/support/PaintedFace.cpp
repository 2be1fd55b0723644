// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/PaintedFace.h"

#include "artwork/Artwork.h"

#include <QImage>
#include <QWidget>

QString paintedFace(QWidget& button)
{
    const qreal ratio = button.devicePixelRatio();
    const QRectF strip(2, 3, 2, 15);
    const QRect pixelStrip(QRectF(strip.topLeft() * ratio, strip.size() * ratio).toRect());
    auto pixels = [&pixelStrip](const QPixmap& picture) {
        return picture.toImage().convertToFormat(QImage::Format_ARGB32).copy(pixelStrip);
    };
    const QImage shown = pixels(button.grab());
    if (shown == pixels(artwork::pressedButtonFace(ratio)))
        return QStringLiteral("pressed");
    if (shown == pixels(artwork::releasedButtonFace(ratio)))
        return QStringLiteral("released");
    return QStringLiteral("neither");
}
