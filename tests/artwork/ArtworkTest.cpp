// SPDX-License-Identifier: GPL-3.0-or-later

#include "artwork/Artwork.h"

#include <QImage>
#include <QPixmapCache>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

struct Picture {
    const char* name;
    std::function<QPixmap(qreal dpr)> paint;
    QSize logical;
};

QList<Picture> allPictures()
{
    return {
        {"loudspeaker 32", [](qreal dpr) { return artwork::loudspeakerIcon(32, dpr); }, QSize(32, 32)},
        {"loudspeaker 256", [](qreal dpr) { return artwork::loudspeakerIcon(256, dpr); }, QSize(256, 256)},
        {"released face", [](qreal dpr) { return artwork::releasedButtonFace(dpr); }, QSize(50, 21)},
        {"pressed face", [](qreal dpr) { return artwork::pressedButtonFace(dpr); }, QSize(50, 21)},
        {"side panel", [](qreal dpr) { return artwork::sidePanelPicture(dpr); }, QSize(158, 511)},
    };
}

QImage pixels(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Mean absolute difference over all channels of two ARGB32 images, 0 to 255.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (qsizetype i = 0; i < a.sizeInBytes(); ++i)
        sum += std::abs(a.constBits()[i] - b.constBits()[i]);
    return sum / double(a.sizeInBytes());
}

double lightness(QRgb c)
{
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

// Averaged along a row, so a single antialiased pixel cannot decide.
double rowLightness(const QImage& image, int y, int fromX, int toX)
{
    double sum = 0;
    for (int x = fromX; x < toX; ++x)
        sum += lightness(image.pixel(x, y));
    return sum / (toX - fromX);
}

// The largest distance of any channel from the band's average colour.
int colourSpread(const QImage& image, const QRect& band)
{
    auto forEach = [&](auto visit) {
        for (int y = band.top(); y <= band.bottom(); ++y) {
            for (int x = band.left(); x <= band.right(); ++x)
                visit(image.pixel(x, y));
        }
    };
    double r = 0, g = 0, b = 0, spread = 0;
    forEach([&](QRgb c) { r += qRed(c), g += qGreen(c), b += qBlue(c); });
    const double n = double(band.width()) * band.height();
    r /= n, g /= n, b /= n;
    forEach([&](QRgb c) {
        spread = std::max({spread, std::abs(qRed(c) - r), std::abs(qGreen(c) - g), std::abs(qBlue(c) - b)});
    });
    return int(std::lround(spread));
}

}  // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void sizeAndRatioMatchTheScreen_data();
    void sizeAndRatioMatchTheScreen();
    void denseRenderingIsTheSamePictureEveryTime_data();
    void denseRenderingIsTheSamePictureEveryTime();

    void iconIsATileWithTransparentCornersAndAWhiteGlyph_data();
    void iconIsATileWithTransparentCornersAndAWhiteGlyph();
    void iconBelowOnePixelIsNull();
    void appIconHandsOutThePixmapForTheRatio();

    void facesArePaleInsideADarkerBorder_data();
    void facesArePaleInsideADarkerBorder();

    void sidePanelIsOpaque();
    void sidePanelKeepsTheLabelBandsPlain_data();
    void sidePanelKeepsTheLabelBandsPlain();
};

void ArtworkTest::init()
{
    // Each test must see freshly painted pictures, not an earlier one's.
    QPixmapCache::clear();
}

void ArtworkTest::sizeAndRatioMatchTheScreen_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<qreal>("usedDpr");
    const QList<Picture> pictures = allPictures();
    for (int i = 0; i < pictures.size(); ++i) {
        for (qreal dpr : {1.0, 2.0, 1.5})
            QTest::addRow("%s @%gx", pictures[i].name, dpr) << i << dpr << dpr;
        // A ratio that makes no sense falls back to plain pixels.
        for (qreal dpr : {0.0, -2.0, qQNaN(), qInf()})
            QTest::addRow("%s @%gx", pictures[i].name, dpr) << i << dpr << 1.0;
    }
}

void ArtworkTest::sizeAndRatioMatchTheScreen()
{
    QFETCH(int, which);
    QFETCH(qreal, dpr);
    QFETCH(qreal, usedDpr);
    const Picture picture = allPictures().at(which);
    const QSize device(qRound(picture.logical.width() * usedDpr), qRound(picture.logical.height() * usedDpr));

    // The second call is answered from the cache and must carry the ratio too.
    for (int call = 0; call < 2; ++call) {
        const QPixmap pixmap = picture.paint(dpr);
        QCOMPARE(pixmap.devicePixelRatio(), usedDpr);
        QCOMPARE(pixmap.size(), device);
        QCOMPARE(pixmap.deviceIndependentSize().toSize(), picture.logical);
    }
}

void ArtworkTest::denseRenderingIsTheSamePictureEveryTime_data()
{
    QTest::addColumn<int>("which");
    for (int i = 0; i < allPictures().size(); ++i)
        QTest::newRow(allPictures()[i].name) << i;
}

void ArtworkTest::denseRenderingIsTheSamePictureEveryTime()
{
    // Painting at 2x without working in logical units would leave a
    // quarter-sized picture in one corner, or scale it twice.
    QFETCH(int, which);
    const Picture picture = allPictures().at(which);
    const QImage single = pixels(picture.paint(1));
    QImage dense = pixels(picture.paint(2));
    dense.setDevicePixelRatio(1);
    const QImage reduced = dense.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32);
    const double difference = meanDifference(single, reduced);
    QVERIFY2(difference < 6.0, qPrintable(QStringLiteral("mean difference %1").arg(difference)));

    // Nothing random may go in: a window repainted after the cache let go
    // of its picture must look the same.
    QPixmapCache::clear();
    QImage again = pixels(picture.paint(2));
    again.setDevicePixelRatio(1);
    QCOMPARE(again, dense);
}

void ArtworkTest::iconIsATileWithTransparentCornersAndAWhiteGlyph_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<qreal>("dpr");
    for (int size : {16, 32, 64, 256}) {
        for (qreal dpr : {1.0, 2.0})
            QTest::addRow("%d @%gx", size, dpr) << size << dpr;
    }
}

void ArtworkTest::iconIsATileWithTransparentCornersAndAWhiteGlyph()
{
    QFETCH(int, size);
    QFETCH(qreal, dpr);
    const QImage image = pixels(artwork::loudspeakerIcon(size, dpr));
    const int w = image.width();
    const int h = image.height();

    for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);

    int opaque = 0, white = 0, blue = 0;
    for (int y = h / 4; y < h - h / 4; ++y) {
        for (int x = w / 4; x < w - w / 4; ++x) {
            const QRgb c = image.pixel(x, y);
            opaque += qAlpha(c) == 255;
            if (qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235)
                ++white;
            else if (qBlue(c) > qRed(c) + 60)
                ++blue;
        }
    }
    const int middle = (w - 2 * (w / 4)) * (h - 2 * (h / 4));
    QCOMPARE(opaque, middle);
    // The speaker and its waves must be there and must not swallow the tile.
    QVERIFY2(white > middle / 8, qPrintable(QStringLiteral("white %1 of %2").arg(white).arg(middle)));
    QVERIFY2(blue > middle / 4, qPrintable(QStringLiteral("blue %1 of %2").arg(blue).arg(middle)));
}

void ArtworkTest::iconBelowOnePixelIsNull()
{
    QVERIFY(artwork::loudspeakerIcon(0).isNull());
    QVERIFY(artwork::loudspeakerIcon(-32, 2).isNull());
}

void ArtworkTest::appIconHandsOutThePixmapForTheRatio()
{
    // The window icon must be the one drawn for the screen, not a larger
    // one scaled down.
    const QIcon icon = artwork::loudspeakerAppIcon();
    for (int size : {16, 32, 64, 256})
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QStringLiteral("no %1 px").arg(size)));
    for (qreal dpr : {1.0, 2.0}) {
        const QPixmap pixmap = icon.pixmap(QSize(32, 32), dpr);
        QCOMPARE(pixmap.devicePixelRatio(), dpr);
        QCOMPARE(pixels(pixmap), pixels(artwork::loudspeakerIcon(32, dpr)));
    }
}

void ArtworkTest::facesArePaleInsideADarkerBorder_data()
{
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<qreal>("dpr");
    for (qreal dpr : {1.0, 2.0}) {
        QTest::addRow("released @%gx", dpr) << false << dpr;
        QTest::addRow("pressed @%gx", dpr) << true << dpr;
    }
}

void ArtworkTest::facesArePaleInsideADarkerBorder()
{
    QFETCH(bool, pressed);
    QFETCH(qreal, dpr);
    const QImage image = pixels(pressed ? artwork::pressedButtonFace(dpr) : artwork::releasedButtonFace(dpr));
    const int w = image.width();
    const int h = image.height();

    // Where the black caption goes the face is opaque and pale.
    for (int y = h / 4; y < h - h / 4; ++y) {
        for (int x = w / 5; x < w - w / 5; ++x) {
            const QRgb c = image.pixel(x, y);
            QCOMPARE(qAlpha(c), 255);
            QVERIFY2(lightness(c) > 190, qPrintable(QStringLiteral("dark pixel at %1,%2").arg(x).arg(y)));
        }
    }
    // The border stands out from a white row.
    const double border = rowLightness(image, h / 2, 0, qRound(dpr));
    const double face = rowLightness(image, h / 2, w / 4, w - w / 4);
    QVERIFY2(face - border > 40, qPrintable(QStringLiteral("border %1, face %2").arg(border).arg(face)));

    // Just inside the border a pressed face is shaded at the top and lit
    // below, a released one the other way round; swapped faces would show
    // every row's state wrongly.
    const int px = qRound(dpr);
    const double top = rowLightness(image, 2 * px, w / 4, w - w / 4);
    const double bottom = rowLightness(image, h - 4 * px, w / 4, w - w / 4);
    QVERIFY2(pressed ? top + 10 < bottom : top > bottom + 10,
             qPrintable(QStringLiteral("top %1, bottom %2").arg(top).arg(bottom)));
}

void ArtworkTest::sidePanelIsOpaque()
{
    for (qreal dpr : {1.0, 2.0}) {
        const QImage image = pixels(artwork::sidePanelPicture(dpr));
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        QVERIFY(std::all_of(pixels, pixels + image.width() * image.height(), [](QRgb c) { return qAlpha(c) == 255; }));
    }
}

void ArtworkTest::sidePanelKeepsTheLabelBandsPlain_data()
{
    QTest::addColumn<QRect>("band");
    // The three labels at the top, in the 141 px the window shows.
    QTest::newRow("title labels") << QRect(0, 50, 141, 78);
    QTest::newRow("version label") << QRect(60, 288, 81, 20);
}

void ArtworkTest::sidePanelKeepsTheLabelBandsPlain()
{
    QFETCH(QRect, band);
    for (qreal dpr : {1.0, 2.0}) {
        const QImage image = pixels(artwork::sidePanelPicture(dpr));
        const QRect device(QPoint(qRound(band.left() * dpr), qRound(band.top() * dpr)),
                           QSize(qRound(band.width() * dpr), qRound(band.height() * dpr)));
        const int spread = colourSpread(image, device);
        QVERIFY2(spread <= 24, qPrintable(QStringLiteral("spread %1 at %2x").arg(spread).arg(dpr)));
    }
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
