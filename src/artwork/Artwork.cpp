#include "artwork/Artwork.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <functional>
#include <utility>

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
    return QStringLiteral("kardelo-artwork/%1/%2@%3")
        .arg(QLatin1String(name))
        .arg(logicalSize)
        .arg(dpr, 0, 'g', 6);
}

// Paints into an image first: QImage needs no screen, and its ratio makes
// the painter work in logical units while every device pixel gets detail.
QPixmap render(const QString& key, QSize logical, qreal dpr, const std::function<void(QPainter&)>& paint)
{
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
        paint(painter);
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

// ---- loudspeaker ---------------------------------------------------------

// Drawn on a 32-unit grid so that, at the window-icon size, edges fall on
// whole or half pixels and stay crisp.
void paintLoudspeaker(QPainter& p, int logicalSize)
{
    p.scale(logicalSize / 32.0, logicalSize / 32.0);

    const QRectF tile(1.5, 0.5, 29.0, 29.0);
    const qreal radius = 7.0;

    // A soft contact shadow lifts the tile off a white list row.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 30, 60, 28));
    p.drawRoundedRect(tile.adjusted(-0.5, 0.5, 0.5, 1.5), radius + 0.5, radius + 0.5);
    p.setBrush(QColor(10, 30, 60, 40));
    p.drawRoundedRect(tile.adjusted(0, 0.5, 0, 1.0), radius, radius);

    QLinearGradient body(tile.topLeft(), tile.bottomLeft());
    body.setColorAt(0.0, QColor(0x4C, 0x9C, 0xEC));
    body.setColorAt(0.55, QColor(0x23, 0x6C, 0xC8));
    body.setColorAt(1.0, QColor(0x12, 0x4A, 0x9E));
    p.setBrush(body);
    p.setPen(QPen(QColor(0x0C, 0x3C, 0x80), 1.0));
    p.drawRoundedRect(tile, radius, radius);

    // Light from above: a bright inner rim at the top and a faint sheen on
    // the upper half give the tile its glassy finish.
    QLinearGradient rim(tile.topLeft(), tile.bottomLeft());
    rim.setColorAt(0.0, QColor(255, 255, 255, 150));
    rim.setColorAt(0.5, QColor(255, 255, 255, 25));
    rim.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawRoundedRect(tile.adjusted(1, 1, -1, -1), radius - 1, radius - 1);

    QPainterPath sheen;
    sheen.addRoundedRect(tile.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5, radius - 1.5);
    QPainterPath lowerHalf;
    lowerHalf.addEllipse(QRectF(-12, 12.5, 56, 40));
    sheen = sheen.subtracted(lowerHalf);
    QLinearGradient sheenFill(0, 2, 0, 16);
    sheenFill.setColorAt(0.0, QColor(255, 255, 255, 70));
    sheenFill.setColorAt(1.0, QColor(255, 255, 255, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(sheenFill);
    p.drawPath(sheen);

    // The speaker: a magnet box and a flaring cone. The outline sits half a
    // unit inside the shape so that the rounding stroke ends on whole units.
    QPainterPath speaker;
    speaker.moveTo(5.5, 12.5);
    speaker.lineTo(10.2, 12.5);
    speaker.lineTo(14.5, 7.5);
    speaker.lineTo(14.5, 22.5);
    speaker.lineTo(10.2, 17.5);
    speaker.lineTo(5.5, 17.5);
    speaker.closeSubpath();

    // Whole radii around a whole centre keep each 2-unit wave on exact
    // pixels at 32 where it crosses the axis.
    const QPointF waveCentre(14.0, 15.0);
    struct Wave {
        qreal radius;
        qreal halfAngle;
        int alpha;
    };
    const std::array<Wave, 3> waves{{{4.0, 46, 255}, {8.0, 48, 235}, {12.0, 46, 200}}};
    const qreal waveWidth = 2.0;

    auto drawGlyph = [&](const QBrush& fill, QPointF offset, bool fade) {
        p.save();
        p.translate(offset);
        // Rounded joins soften the speaker's corners without blurring it.
        p.setPen(QPen(fill, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(fill);
        p.drawPath(speaker);
        for (const Wave& wave : waves) {
            QBrush brush = fill;
            if (fade) {
                QColor c = fill.color();
                c.setAlpha(wave.alpha);
                brush = QBrush(c);
            }
            p.setPen(QPen(brush, waveWidth, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            const QRectF box(waveCentre.x() - wave.radius, waveCentre.y() - wave.radius, 2 * wave.radius,
                             2 * wave.radius);
            p.drawArc(box, qRound(-wave.halfAngle * 16), qRound(2 * wave.halfAngle * 16));
        }
        p.restore();
    };

    drawGlyph(QBrush(QColor(5, 35, 90, 110)), QPointF(0, 0.8), false);
    drawGlyph(QBrush(QColor(0xFF, 0xFF, 0xFF)), QPointF(0, 0), true);
}

// ---- button faces --------------------------------------------------------

void paintReleasedFace(QPainter& p)
{
    const QRectF face(0.5, 0.5, 49.0, 19.0);
    const qreal radius = 3.0;

    // One pixel of shadow under the face: the button stands on the row.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 20, 50, 30));
    p.drawRoundedRect(QRectF(0.0, 1.0, 50.0, 20.0), radius + 0.5, radius + 0.5);

    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    fill.setColorAt(0.45, QColor(0xF3, 0xF4, 0xF6));
    fill.setColorAt(0.55, QColor(0xEB, 0xED, 0xF0));
    fill.setColorAt(1.0, QColor(0xE0, 0xE3, 0xE8));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0xA4, 0xAC, 0xB7), 1.0));
    p.drawRoundedRect(face, radius, radius);

    QLinearGradient rim(face.topLeft(), face.bottomLeft());
    rim.setColorAt(0.0, QColor(255, 255, 255, 255));
    rim.setColorAt(1.0, QColor(255, 255, 255, 60));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.0));
    p.drawRoundedRect(face.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
}

void paintPressedFace(QPainter& p)
{
    const QRectF face(0.5, 0.5, 49.0, 20.0);
    const qreal radius = 3.0;

    QPainterPath shape;
    shape.addRoundedRect(face, radius, radius);

    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0.0, QColor(0xB7, 0xD3, 0xF0));
    fill.setColorAt(0.4, QColor(0xD0, 0xE4, 0xF8));
    fill.setColorAt(1.0, QColor(0xE4, 0xF0, 0xFC));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(shape);

    // The inner shadow falls from the top and, more faintly, from the
    // sides, as light would into a recess.
    p.save();
    p.setClipPath(shape);
    QLinearGradient top(0, 0.5, 0, 6.5);
    top.setColorAt(0.0, QColor(10, 50, 100, 100));
    top.setColorAt(1.0, QColor(10, 50, 100, 0));
    p.setBrush(top);
    p.drawRect(QRectF(0, 0, 50, 7));
    QLinearGradient left(0.5, 0, 3.5, 0);
    left.setColorAt(0.0, QColor(10, 50, 100, 40));
    left.setColorAt(1.0, QColor(10, 50, 100, 0));
    p.setBrush(left);
    p.drawRect(QRectF(0, 0, 4, 21));
    QLinearGradient right(49.5, 0, 46.5, 0);
    right.setColorAt(0.0, QColor(10, 50, 100, 40));
    right.setColorAt(1.0, QColor(10, 50, 100, 0));
    p.setBrush(right);
    p.drawRect(QRectF(46, 0, 4, 21));
    p.restore();

    // Bottom lip catches the light, which reads as depth.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    p.drawLine(QPointF(3.0, 19.5), QPointF(47.0, 19.5));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x5E, 0x8E, 0xC2), 1.0));
    p.drawPath(shape);
}

// ---- side panel ----------------------------------------------------------

constexpr qreal kGroundY = 284.0;

QPainterPath heartPath(const QRectF& box)
{
    // Drawn in a 100 x 90 design box: broad shoulders and a long, slightly
    // drawn-out point read as a symbol, not a sticker.
    auto at = [&](qreal x, qreal y) {
        return QPointF(box.left() + x * box.width() / 100.0, box.top() + y * box.height() / 90.0);
    };
    QPainterPath path;
    path.moveTo(at(50, 88));
    path.cubicTo(at(22, 68), at(2, 50), at(2, 28));
    path.cubicTo(at(2, 12), at(14, 2), at(28, 2));
    path.cubicTo(at(38, 2), at(46, 8), at(50, 17));
    path.cubicTo(at(54, 8), at(62, 2), at(72, 2));
    path.cubicTo(at(86, 2), at(98, 12), at(98, 28));
    path.cubicTo(at(98, 50), at(78, 68), at(50, 88));
    path.closeSubpath();
    return path;
}

QPainterPath pulsePath(qreal baseline)
{
    const qreal y = baseline;
    QPainterPath path;
    path.moveTo(-4, y);
    path.lineTo(46, y);
    path.quadTo(49, y - 6, 52, y);  // P
    path.lineTo(54, y);
    path.lineTo(56, y + 4);         // Q
    path.lineTo(61, y - 22);        // R
    path.lineTo(66, y + 14);        // S
    path.lineTo(69.5, y);
    path.lineTo(74, y);
    path.cubicTo(77, y - 10, 84, y - 10, 87, y);  // T
    path.lineTo(162, y);
    return path;
}

struct Building {
    qreal x;
    qreal width;
    qreal height;
    enum Roof { Flat, Spire, Stepped, Slant, Dome, Mast } roof;
};

// A fixed skyline: the same picture every run, and shaped by hand so that
// the tallest towers frame the middle rather than crowd the edges.
constexpr std::array<Building, 10> kFarBuildings{{
    {3, 11, 50, Building::Flat},
    {17, 9, 68, Building::Mast},
    {30, 13, 56, Building::Stepped},
    {47, 9, 44, Building::Flat},
    {60, 12, 72, Building::Spire},
    {78, 14, 60, Building::Slant},
    {97, 10, 76, Building::Mast},
    {112, 13, 54, Building::Stepped},
    {129, 9, 66, Building::Flat},
    {142, 14, 48, Building::Dome},
}};

constexpr std::array<Building, 13> kNearBuildings{{
    {0, 13, 30, Building::Flat},
    {13, 10, 21, Building::Slant},
    {23, 15, 46, Building::Stepped},
    {38, 11, 27, Building::Flat},
    {49, 19, 36, Building::Dome},
    {68, 9, 19, Building::Flat},
    {77, 13, 55, Building::Spire},
    {90, 11, 31, Building::Flat},
    {101, 17, 42, Building::Stepped},
    {118, 10, 23, Building::Slant},
    {128, 13, 35, Building::Flat},
    {141, 8, 26, Building::Mast},
    {149, 10, 31, Building::Flat},
}};

QPainterPath buildingPath(const Building& b)
{
    const qreal top = kGroundY - b.height;
    const qreal right = b.x + b.width;
    QPainterPath path;
    path.addRect(QRectF(b.x, top, b.width, b.height + 1));
    switch (b.roof) {
    case Building::Flat:
        break;
    case Building::Spire: {
        const qreal mid = b.x + b.width / 2;
        QPainterPath crown;
        crown.addRect(QRectF(b.x + 2, top - 5, b.width - 4, 5));
        crown.moveTo(mid - 2, top - 5);
        crown.lineTo(mid, top - 17);
        crown.lineTo(mid + 2, top - 5);
        crown.closeSubpath();
        path = path.united(crown);
        break;
    }
    case Building::Stepped: {
        QPainterPath steps;
        steps.addRect(QRectF(b.x + 2, top - 5, b.width - 4, 5));
        steps.addRect(QRectF(b.x + 4, top - 9, b.width - 8, 4));
        path = path.united(steps);
        break;
    }
    case Building::Slant: {
        QPainterPath roof;
        roof.moveTo(b.x, top);
        roof.lineTo(right, top - 6);
        roof.lineTo(right, top);
        roof.closeSubpath();
        path = path.united(roof);
        break;
    }
    case Building::Dome: {
        QPainterPath dome;
        const qreal r = b.width / 2 - 2;
        dome.moveTo(b.x + 2, top);
        dome.arcTo(QRectF(b.x + 2, top - r, 2 * r, 2 * r), 180, -180);
        dome.closeSubpath();
        path = path.united(dome);
        break;
    }
    case Building::Mast: {
        const qreal mid = b.x + b.width / 2;
        QPainterPath mast;
        mast.addRect(QRectF(mid - 0.6, top - 12, 1.2, 12));
        path = path.united(mast);
        break;
    }
    }
    return path;
}

// A cheap, stable hash: which windows are lit must not change between runs.
quint32 mix(quint32 a, quint32 b)
{
    quint32 h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u + (a << 6) + (a >> 2));
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

void paintSky(QPainter& p)
{
    QLinearGradient sky(0, 0, 0, kGroundY);
    sky.setColorAt(0.0, QColor(0x08, 0x2A, 0x66));
    sky.setColorAt(0.42, QColor(0x10, 0x45, 0x92));
    sky.setColorAt(0.78, QColor(0x21, 0x6A, 0xBE));
    sky.setColorAt(1.0, QColor(0x47, 0x93, 0xDC));
    p.fillRect(QRectF(0, 0, 158, kGroundY + 1), sky);

    // A faint glow at the upper left, behind the title, lifts the deep blue
    // without putting anything under the text.
    QRadialGradient glow(QPointF(20, 20), 150);
    glow.setColorAt(0.0, QColor(120, 180, 255, 30));
    glow.setColorAt(1.0, QColor(120, 180, 255, 0));
    p.fillRect(QRectF(0, 0, 158, kGroundY), glow);

    // Haze over the horizon, where the city lights would be.
    QRadialGradient haze(QPointF(72, kGroundY + 10), 110);
    haze.setColorAt(0.0, QColor(150, 210, 255, 90));
    haze.setColorAt(1.0, QColor(150, 210, 255, 0));
    p.fillRect(QRectF(0, 150, 158, kGroundY - 150), haze);
}

void paintMark(QPainter& p)
{
    const QPointF centre(70, 170);
    const QRectF heartBox(centre.x() - 29, centre.y() - 26, 58, 52);
    const QPainterPath heart = heartPath(heartBox);
    const qreal baseline = centre.y() + 1;
    const QPainterPath pulse = pulsePath(baseline);

    QRadialGradient halo(centre, 52);
    halo.setColorAt(0.0, QColor(170, 215, 255, 70));
    halo.setColorAt(0.6, QColor(170, 215, 255, 22));
    halo.setColorAt(1.0, QColor(170, 215, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, 52, 52);

    // A thin ring gives the mark a clear edge as an emblem.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 55), 1.0));
    p.drawEllipse(centre, 40.5, 40.5);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 20, 60, 60));
    p.drawPath(heart.translated(0, 1.5));

    QLinearGradient heartFill(heartBox.topLeft(), heartBox.bottomRight());
    heartFill.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    heartFill.setColorAt(1.0, QColor(0xCF, 0xE4, 0xFA));
    p.setBrush(heartFill);
    p.drawPath(heart);

    // The trace runs across the whole panel: light on the sky, cut in deep
    // blue where it crosses the heart.
    QPainterPath outside;
    outside.addRect(QRectF(-10, 0, 180, kGroundY));
    outside = outside.subtracted(heart);

    p.setBrush(Qt::NoBrush);
    p.save();
    p.setClipPath(outside);
    QLinearGradient traceFade(0, 0, 158, 0);
    traceFade.setColorAt(0.0, QColor(190, 230, 255, 0));
    traceFade.setColorAt(0.22, QColor(190, 230, 255, 200));
    traceFade.setColorAt(0.7, QColor(190, 230, 255, 200));
    traceFade.setColorAt(0.92, QColor(190, 230, 255, 0));
    QLinearGradient glowFade = traceFade;
    glowFade.setColorAt(0.22, QColor(190, 230, 255, 45));
    glowFade.setColorAt(0.7, QColor(190, 230, 255, 45));
    p.setPen(QPen(QBrush(glowFade), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(pulse);
    p.setPen(QPen(QBrush(traceFade), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(pulse);
    p.restore();

    p.save();
    p.setClipPath(heart);
    p.setPen(QPen(QColor(0x14, 0x56, 0xAE), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(pulse);
    p.restore();
}

void paintSkyline(QPainter& p)
{
    p.setPen(Qt::NoPen);

    QLinearGradient far(0, kGroundY - 90, 0, kGroundY);
    far.setColorAt(0.0, QColor(0x2C, 0x6C, 0xB8));
    far.setColorAt(1.0, QColor(0x24, 0x5E, 0xA8));
    p.setBrush(far);
    for (const Building& b : kFarBuildings)
        p.drawPath(buildingPath(b));

    // Far windows: a scatter of cool dots, as if seen through haze.
    for (std::size_t i = 0; i < kFarBuildings.size(); ++i) {
        const Building& b = kFarBuildings[i];
        for (qreal y = kGroundY - b.height + 4; y < kGroundY - 42; y += 4) {
            for (qreal x = b.x + 2; x + 1 <= b.x + b.width - 2; x += 3) {
                if (mix(quint32(i) + 101, quint32(x * 7 + y * 131)) % 7 != 0)
                    continue;
                p.fillRect(QRectF(x, y, 1, 1.5), QColor(200, 230, 255, 90));
            }
        }
    }

    QLinearGradient near(0, kGroundY - 60, 0, kGroundY);
    near.setColorAt(0.0, QColor(0x10, 0x33, 0x6E));
    near.setColorAt(1.0, QColor(0x0B, 0x27, 0x58));
    p.setBrush(near);
    for (const Building& b : kNearBuildings)
        p.drawPath(buildingPath(b));

    // Near windows: a few warm, a few cool, none in the bottom storey so the
    // ground line stays clean.
    for (std::size_t i = 0; i < kNearBuildings.size(); ++i) {
        const Building& b = kNearBuildings[i];
        for (qreal y = kGroundY - b.height + 4; y < kGroundY - 6; y += 4) {
            for (qreal x = b.x + 2; x + 1.5 <= b.x + b.width - 2; x += 3) {
                const quint32 h = mix(quint32(i) + 7, quint32(x * 13 + y * 29));
                if (h % 5 != 0)
                    continue;
                const QColor lamp = (h >> 8) % 3 == 0 ? QColor(180, 220, 255, 150) : QColor(255, 222, 150, 170);
                p.fillRect(QRectF(x, y, 1.5, 1.5), lamp);
            }
        }
    }
}

void paintGround(QPainter& p)
{
    QLinearGradient ground(0, kGroundY, 0, 511);
    ground.setColorAt(0.0, QColor(0x0B, 0x27, 0x58));
    ground.setColorAt(0.25, QColor(0x09, 0x22, 0x4E));
    ground.setColorAt(1.0, QColor(0x06, 0x1A, 0x40));
    p.fillRect(QRectF(0, kGroundY, 158, 511 - kGroundY), ground);

    // The city's glow lies on the water just below the horizon, with a few
    // short ripples; both stay too weak to disturb a label laid over them.
    QLinearGradient shine(0, kGroundY, 0, kGroundY + 22);
    shine.setColorAt(0.0, QColor(110, 170, 240, 46));
    shine.setColorAt(1.0, QColor(110, 170, 240, 0));
    p.fillRect(QRectF(0, kGroundY, 158, 22), shine);

    struct Ripple {
        qreal x, y, length;
    };
    // None lie where the version label goes (x 60 on, y 288 to 308).
    constexpr std::array<Ripple, 11> ripples{{
        {6, 288, 14}, {28, 290.5, 9}, {46, 288, 11}, {84, 286, 14}, {120, 286.5, 10},
        {14, 295, 8}, {40, 298, 10}, {10, 304, 7}, {36, 309, 6}, {92, 313, 10}, {124, 317, 7},
    }};
    for (const Ripple& r : ripples) {
        QLinearGradient dash(r.x, 0, r.x + r.length, 0);
        dash.setColorAt(0.0, QColor(255, 225, 160, 0));
        dash.setColorAt(0.5, QColor(255, 225, 160, 55));
        dash.setColorAt(1.0, QColor(255, 225, 160, 0));
        p.fillRect(QRectF(r.x, r.y, r.length, 1), dash);
    }

    // A hairline of light along the horizon separates city from ground.
    QLinearGradient line(0, 0, 158, 0);
    line.setColorAt(0.0, QColor(140, 200, 255, 30));
    line.setColorAt(0.45, QColor(140, 200, 255, 140));
    line.setColorAt(1.0, QColor(140, 200, 255, 30));
    p.fillRect(QRectF(0, kGroundY, 158, 1), line);
}

void paintSidePanel(QPainter& p)
{
    paintSky(p);
    paintMark(p);
    paintSkyline(p);
    paintGround(p);
}

}  // namespace

QPixmap loudspeakerIcon(int logicalSize, qreal dpr)
{
    if (logicalSize < 1)
        return {};
    dpr = usableRatio(dpr);
    return render(cacheKey("loudspeaker", logicalSize, dpr), QSize(logicalSize, logicalSize), dpr,
                  [logicalSize](QPainter& p) { paintLoudspeaker(p, logicalSize); });
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
    return render(cacheKey("pressed-face", 0, dpr), kButtonFaceSize, dpr, paintPressedFace);
}

QPixmap releasedButtonFace(qreal dpr)
{
    dpr = usableRatio(dpr);
    return render(cacheKey("released-face", 0, dpr), kButtonFaceSize, dpr, paintReleasedFace);
}

QPixmap sidePanelPicture(qreal dpr)
{
    dpr = usableRatio(dpr);
    return render(cacheKey("side-panel", 0, dpr), kSidePanelSize, dpr, paintSidePanel);
}

}  // namespace artwork
