#include "shell/Artwork.h"

#include <QImage>
#include <QPixmapCache>
#include <QSet>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

using Painter = std::function<QPixmap(qreal dpr)>;

struct Picture {
    const char* name;
    Painter paint;
    QSize logical;
};

QList<Picture> AllPictures()
{
    return {
        {"loudspeaker 32", [](qreal dpr) { return artwork::LoudspeakerIcon(32, dpr); }, QSize(32, 32)},
        {"loudspeaker 256", [](qreal dpr) { return artwork::LoudspeakerIcon(256, dpr); }, QSize(256, 256)},
        {"released face", [](qreal dpr) { return artwork::ReleasedButtonFace(dpr); }, QSize(50, 21)},
        {"pressed face", [](qreal dpr) { return artwork::PressedButtonFace(dpr); }, QSize(50, 21)},
        {"side panel", [](qreal dpr) { return artwork::SidePanel(dpr); }, QSize(158, 511)},
    };
}

QImage Pixels(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Mean over all pixels and channels (alpha included) of the absolute
// difference, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b)
{
    Q_ASSERT(a.size() == b.size());
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

double Lightness(QRgb c)
{
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

// Average lightness of one device-pixel row between two columns, so a
// single antialiased pixel cannot decide a comparison.
double RowLightness(const QImage& image, int y, int fromX, int toX)
{
    double sum = 0;
    for (int x = fromX; x < toX; ++x)
        sum += Lightness(image.pixel(x, y));
    return sum / (toX - fromX);
}

// The largest distance of any channel from the band's average colour: a
// band a label sits on should vary only gently.
int Spread(const QImage& image, const QRect& band)
{
    double r = 0, g = 0, b = 0;
    const double n = double(band.width()) * band.height();
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    }
    r /= n;
    g /= n;
    b /= n;
    int spread = 0;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            spread = qMax(spread, int(std::lround(std::abs(qRed(c) - r))));
            spread = qMax(spread, int(std::lround(std::abs(qGreen(c) - g))));
            spread = qMax(spread, int(std::lround(std::abs(qBlue(c) - b))));
        }
    }
    return spread;
}

}  // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void sizeAndRatioMatchTheScreen_data();
    void sizeAndRatioMatchTheScreen();
    void denseRenderingIsTheSamePictureWithMoreDetail_data();
    void denseRenderingIsTheSamePictureWithMoreDetail();
    void repaintingGivesTheSamePixels_data();
    void repaintingGivesTheSamePixels();
    void unusableRatioFallsBackToPlainPixels();

    void iconIsATileWithTransparentCornersAndAWhiteGlyph_data();
    void iconIsATileWithTransparentCornersAndAWhiteGlyph();
    void iconBelowOnePixelIsNull();
    void appIconOffersWindowAndDesktopSizes();

    void facesArePaleOpaqueGradients_data();
    void facesArePaleOpaqueGradients();
    void pressedFaceIsBlueAndDarkerAtTheTop_data();
    void pressedFaceIsBlueAndDarkerAtTheTop();

    void sidePanelIsOpaqueAndMostlyBlue_data();
    void sidePanelIsOpaqueAndMostlyBlue();
    void sidePanelSkyDeepensTowardsTheTop();
    void sidePanelKeepsTheLabelBandsPlain_data();
    void sidePanelKeepsTheLabelBandsPlain();
    void sidePanelCarriesAMarkAndASkyline();
};

void ArtworkTest::init()
{
    // Each test must see freshly painted pictures, not what an earlier one
    // left in the cache.
    QPixmapCache::clear();
}

void ArtworkTest::sizeAndRatioMatchTheScreen_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<qreal>("dpr");
    const QList<Picture> pictures = AllPictures();
    for (int i = 0; i < pictures.size(); ++i) {
        for (qreal dpr : {1.0, 2.0, 1.5}) {
            QTest::addRow("%s @%gx", pictures[i].name, dpr) << i << dpr;
        }
    }
}

void ArtworkTest::sizeAndRatioMatchTheScreen()
{
    QFETCH(int, which);
    QFETCH(qreal, dpr);
    const Picture picture = AllPictures().at(which);

    const QPixmap pixmap = picture.paint(dpr);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.devicePixelRatio(), dpr);
    const QSize device(qRound(picture.logical.width() * dpr), qRound(picture.logical.height() * dpr));
    QCOMPARE(pixmap.size(), device);
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), picture.logical);

    // A second call, answered from the cache, must carry the ratio too.
    const QPixmap again = picture.paint(dpr);
    QCOMPARE(again.devicePixelRatio(), dpr);
    QCOMPARE(again.size(), device);
}

void ArtworkTest::denseRenderingIsTheSamePictureWithMoreDetail_data()
{
    QTest::addColumn<int>("which");
    const QList<Picture> pictures = AllPictures();
    for (int i = 0; i < pictures.size(); ++i)
        QTest::newRow(pictures[i].name) << i;
}

void ArtworkTest::denseRenderingIsTheSamePictureWithMoreDetail()
{
    // Painting at 2x without working in logical units would leave a
    // quarter-sized picture in one corner, or scale it twice.
    QFETCH(int, which);
    const Picture picture = AllPictures().at(which);

    const QImage single = Pixels(picture.paint(1));
    QImage dense = Pixels(picture.paint(2));
    dense.setDevicePixelRatio(1);
    const QImage reduced =
        dense.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_ARGB32);
    const double difference = MeanDifference(single, reduced);
    QVERIFY2(difference < 6.0, qPrintable(QStringLiteral("mean difference %1").arg(difference)));
}

void ArtworkTest::repaintingGivesTheSamePixels_data()
{
    denseRenderingIsTheSamePictureWithMoreDetail_data();
}

void ArtworkTest::repaintingGivesTheSamePixels()
{
    // Nothing random may go into a picture: a window repainted after the
    // cache let go of it must look the same.
    QFETCH(int, which);
    const Picture picture = AllPictures().at(which);
    const QImage first = Pixels(picture.paint(2));
    QPixmapCache::clear();
    const QImage second = Pixels(picture.paint(2));
    QCOMPARE(second, first);
}

void ArtworkTest::unusableRatioFallsBackToPlainPixels()
{
    for (qreal dpr : {0.0, -2.0, qQNaN(), qInf()}) {
        const QPixmap side = artwork::SidePanel(dpr);
        QCOMPARE(side.devicePixelRatio(), 1.0);
        QCOMPARE(side.size(), artwork::kSidePanelSize);
        QCOMPARE(artwork::LoudspeakerIcon(32, dpr).size(), QSize(32, 32));
        QCOMPARE(artwork::PressedButtonFace(dpr).size(), artwork::kButtonFaceSize);
    }
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
    const QImage image = Pixels(artwork::LoudspeakerIcon(size, dpr));
    const int w = image.width();
    const int h = image.height();

    for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);

    int opaque = 0, white = 0, blue = 0;
    for (int y = h / 4; y < h - h / 4; ++y) {
        for (int x = w / 4; x < w - w / 4; ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) == 255)
                ++opaque;
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
    QVERIFY(artwork::LoudspeakerIcon(0).isNull());
    QVERIFY(artwork::LoudspeakerIcon(-32, 2).isNull());
}

void ArtworkTest::appIconOffersWindowAndDesktopSizes()
{
    const QIcon icon = artwork::LoudspeakerAppIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 64, 256})
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QStringLiteral("no %1 px").arg(size)));

    const QPixmap dense = icon.pixmap(QSize(32, 32), 2.0);
    QCOMPARE(dense.size(), QSize(64, 64));
    QCOMPARE(dense.devicePixelRatio(), 2.0);
    QCOMPARE(Pixels(dense), Pixels(artwork::LoudspeakerIcon(32, 2)));

    const QPixmap plain = icon.pixmap(QSize(32, 32), 1.0);
    QCOMPARE(plain.size(), QSize(32, 32));
    QCOMPARE(Pixels(plain), Pixels(artwork::LoudspeakerIcon(32, 1)));
}

void ArtworkTest::facesArePaleOpaqueGradients_data()
{
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<qreal>("dpr");
    for (qreal dpr : {1.0, 2.0}) {
        QTest::addRow("released @%gx", dpr) << false << dpr;
        QTest::addRow("pressed @%gx", dpr) << true << dpr;
    }
}

void ArtworkTest::facesArePaleOpaqueGradients()
{
    QFETCH(bool, pressed);
    QFETCH(qreal, dpr);
    const QImage image = Pixels(pressed ? artwork::PressedButtonFace(dpr) : artwork::ReleasedButtonFace(dpr));
    const int w = image.width();
    const int h = image.height();

    // Rounded corners: the outermost corner pixel is not fully covered.
    QVERIFY(qAlpha(image.pixel(0, 0)) < 255);
    QVERIFY(qAlpha(image.pixel(w - 1, 0)) < 255);

    // Where the black caption goes the face is opaque and pale.
    QSet<QRgb> colours;
    for (int y = h / 4; y < h - h / 4; ++y) {
        for (int x = w / 5; x < w - w / 5; ++x) {
            const QRgb c = image.pixel(x, y);
            QCOMPARE(qAlpha(c), 255);
            QVERIFY2(Lightness(c) > 190, qPrintable(QStringLiteral("dark pixel at %1,%2").arg(x).arg(y)));
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            colours.insert(image.pixel(x, y));
    }
    // A gradient, a border and a rim, not a flat fill.
    QVERIFY2(colours.size() >= 8, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));

    // The border is clearly darker than the face, so the button stands out
    // from a white row.
    const double border = RowLightness(image, h / 2, 0, qRound(dpr));
    const double face = RowLightness(image, h / 2, w / 4, w - w / 4);
    QVERIFY2(face - border > 40, qPrintable(QStringLiteral("border %1, face %2").arg(border).arg(face)));
}

void ArtworkTest::pressedFaceIsBlueAndDarkerAtTheTop_data()
{
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("2x") << 2.0;
}

void ArtworkTest::pressedFaceIsBlueAndDarkerAtTheTop()
{
    QFETCH(qreal, dpr);
    const QImage released = Pixels(artwork::ReleasedButtonFace(dpr));
    const QImage pressed = Pixels(artwork::PressedButtonFace(dpr));
    QVERIFY(MeanDifference(released, pressed) > 10);

    const int w = pressed.width();
    const int h = pressed.height();
    const int px = qRound(dpr);
    const QRgb pressedMiddle = pressed.pixel(w / 2, h / 2);
    const QRgb releasedMiddle = released.pixel(w / 2, h / 2);
    QVERIFY2(qBlue(pressedMiddle) - qRed(pressedMiddle) > 15, "pressed face is not blue");
    QVERIFY2(std::abs(qBlue(releasedMiddle) - qRed(releasedMiddle)) < 12, "released face is not grey");

    // Just inside the border: pressed is shaded at the top and lit below,
    // released the other way round.
    const int top = 2 * px;
    const int bottom = h - 4 * px;
    QVERIFY(RowLightness(pressed, top, w / 4, w - w / 4) + 10 < RowLightness(pressed, bottom, w / 4, w - w / 4));
    QVERIFY(RowLightness(released, top, w / 4, w - w / 4) > RowLightness(released, bottom, w / 4, w - w / 4) + 10);
}

void ArtworkTest::sidePanelIsOpaqueAndMostlyBlue_data()
{
    pressedFaceIsBlueAndDarkerAtTheTop_data();
}

void ArtworkTest::sidePanelIsOpaqueAndMostlyBlue()
{
    QFETCH(qreal, dpr);
    const QImage image = Pixels(artwork::SidePanel(dpr));
    qint64 blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) != 255)
                QFAIL(qPrintable(QStringLiteral("see-through pixel at %1,%2").arg(x).arg(y)));
            if (qBlue(c) > qRed(c) + 30 && qBlue(c) > qGreen(c) + 15)
                ++blue;
        }
    }
    const double share = double(blue) / (qint64(image.width()) * image.height());
    QVERIFY2(share > 0.85, qPrintable(QStringLiteral("blue share %1").arg(share)));
}

void ArtworkTest::sidePanelSkyDeepensTowardsTheTop()
{
    const QImage image = Pixels(artwork::SidePanel(1));
    // Left edge, clear of the mark; just above the far rooftops.
    const double top = RowLightness(image, 5, 0, 20);
    const double low = RowLightness(image, 200, 0, 6);
    QVERIFY2(top + 25 < low, qPrintable(QStringLiteral("top %1, low %2").arg(top).arg(low)));
}

void ArtworkTest::sidePanelKeepsTheLabelBandsPlain_data()
{
    QTest::addColumn<QRect>("band");
    QTest::addColumn<int>("limit");
    // The three labels at the top, in the 141 px the window shows.
    QTest::newRow("title labels") << QRect(0, 50, 141, 78) << 24;
    // The version label on the ground.
    QTest::newRow("version label") << QRect(60, 288, 81, 20) << 24;
}

void ArtworkTest::sidePanelKeepsTheLabelBandsPlain()
{
    QFETCH(QRect, band);
    QFETCH(int, limit);
    for (qreal dpr : {1.0, 2.0}) {
        const QImage image = Pixels(artwork::SidePanel(dpr));
        const QRect device(QPoint(qRound(band.left() * dpr), qRound(band.top() * dpr)),
                           QSize(qRound(band.width() * dpr), qRound(band.height() * dpr)));
        const int spread = Spread(image, device);
        QVERIFY2(spread <= limit, qPrintable(QStringLiteral("spread %1 at %2x").arg(spread).arg(dpr)));
    }
}

void ArtworkTest::sidePanelCarriesAMarkAndASkyline()
{
    const QImage image = Pixels(artwork::SidePanel(1));

    // The mark: a bright patch in the empty middle of the visible box.
    int bright = 0;
    for (int y = 135; y < 210; ++y) {
        for (int x = 30; x < 110; ++x)
            bright += Lightness(image.pixel(x, y)) > 200 ? 1 : 0;
    }
    QVERIFY2(bright > 600, qPrintable(QStringLiteral("%1 bright pixels").arg(bright)));

    // The skyline: along a row through the towers, dark buildings alternate
    // with lighter sky between them.
    const int row = 250;
    int edges = 0;
    bool wasDark = Lightness(image.pixel(0, row)) < 60;
    for (int x = 1; x < 141; ++x) {
        const bool dark = Lightness(image.pixel(x, row)) < 60;
        edges += dark != wasDark ? 1 : 0;
        wasDark = dark;
    }
    QVERIFY2(edges >= 4, qPrintable(QStringLiteral("%1 edges").arg(edges)));
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
