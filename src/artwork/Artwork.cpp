// SPDX-License-Identifier: GPL-3.0-or-later

#include "artwork/Artwork.h"

#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <cmath>
#include <mutex>

// The pictures live in the program as a resource of this static library;
// Qt's macro that registers them must stand outside any namespace.
static void registerArtworkResources()
{
    Q_INIT_RESOURCE(artwork);
}

namespace artwork {

namespace {

// A ratio of zero, a negative one or NaN would make an empty or absurd
// canvas; such a value can only be a caller's mistake, so plain 1x is used.
qreal usableRatio(qreal dpr)
{
    return (dpr > 0 && std::isfinite(dpr)) ? dpr : 1.0;
}

QString cacheKey(const char* name, int logicalSize, qreal dpr)
{
    return QStringLiteral("kardelo-artwork/%1/%2@%3").arg(QLatin1String(name)).arg(logicalSize).arg(dpr, 0, 'g', 6);
}

// Renders one of the SVG pictures into an image of logical size x ratio
// device pixels: drawn at the screen's density, never scaled from a
// smaller bitmap.
QPixmap render(const QString& key, QSize logical, qreal dpr, const QString& picture)
{
    static std::once_flag registered;
    std::call_once(registered, registerArtworkResources);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;

    const QSize device(qMax(1, qRound(logical.width() * dpr)), qMax(1, qRound(logical.height() * dpr)));
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(dpr);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        QSvgRenderer(picture).render(&painter, QRectF(QPointF(0, 0), QSizeF(logical)));
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

}  // namespace

QPixmap loudspeakerIcon(int logicalSize, qreal dpr)
{
    if (logicalSize < 1)
        return {};
    dpr = usableRatio(dpr);
    return render(cacheKey("loudspeaker", logicalSize, dpr), QSize(logicalSize, logicalSize), dpr,
                  QStringLiteral(":/artwork/icon.svg"));
}

QIcon loudspeakerAppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(loudspeakerIcon(size, 1));
    icon.addPixmap(loudspeakerIcon(kIconSize, 2));
    return icon;
}

QPixmap pressedButtonFace(qreal dpr)
{
    dpr = usableRatio(dpr);
    return render(cacheKey("pressed-face", 0, dpr), kButtonFaceSize, dpr,
                  QStringLiteral(":/artwork/button-pressed.svg"));
}

QPixmap releasedButtonFace(qreal dpr)
{
    dpr = usableRatio(dpr);
    return render(cacheKey("released-face", 0, dpr), kButtonFaceSize, dpr,
                  QStringLiteral(":/artwork/button-released.svg"));
}

QPixmap sidePanelPicture(qreal dpr)
{
    dpr = usableRatio(dpr);
    return render(cacheKey("side-panel", 0, dpr), kSidePanelSize, dpr, QStringLiteral(":/artwork/side-panel.svg"));
}

}  // namespace artwork
