// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/PhoneEditionAdvert.h"

#include "format/DecodeAddress.h"
#include "support/MainWindowFixture.h"

#include <QImage>
#include <QtTest>
#include <qrencode.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

class PhoneEditionAdvertTest : public QObject {
    Q_OBJECT

private slots:
    void drawsTheCodeOfTheDecodedAddress_data();
    void drawsTheCodeOfTheDecodedAddress();
    void malformedListGivesThePromptAlone_data();
    void malformedListGivesThePromptAlone();
    void mainWindowShowsTheCodeOfItsPhoneEditionPage();
};

namespace {

// What libqrencode itself makes of the address, straight from the library:
// the drawing must show exactly this.
struct Symbol {
    int width = 0;
    std::vector<bool> modules;
};

Symbol referenceSymbol(const QString& address)
{
    const QByteArray utf8 = address.toUtf8();
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    Symbol symbol;
    if (!code)
        return symbol;
    symbol.width = code->width;
    for (int i = 0; i < code->width * code->width; ++i)
        symbol.modules.push_back((code->data[i] & 1) != 0);
    return symbol;
}

bool dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

bool light(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// Where the drawing puts the symbol, found from the picture alone: the
// top-most dark row starts with the top edge of the upper-left finder
// pattern, seven modules wide.
struct Placement {
    QPoint origin;
    int module = 0;
};

std::optional<Placement> findSymbol(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!dark(image, x, y))
                continue;
            int run = 0;
            while (x + run < image.width() && dark(image, x + run, y))
                ++run;
            if (run % 7 != 0)
                return std::nullopt;
            return Placement{QPoint(x, y), run / 7};
        }
    }
    return std::nullopt;
}

// The box around every pixel that is not white.
QRect inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!light(image, x, y))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// One line of prompt text, far lower than a symbol would be.
void verifyPromptLine(const QRect& ink, qreal dpr)
{
    QVERIFY2(!ink.isEmpty(), "the prompt is missing");
    QVERIFY(ink.height() >= qRound(8 * dpr));
    QVERIFY(ink.height() <= qRound(20 * dpr));
}

// 137 x 170 logical pixels, to the nearest whole device pixel.
void verifySize(const QPixmap& pixmap, qreal dpr)
{
    QCOMPARE(pixmap.devicePixelRatio(), dpr);
    QCOMPARE(pixmap.size(), QSize(qRound(137 * dpr), qRound(170 * dpr)));
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), QSize(137, 170));
}

// Checks the picture against the reference symbol: size and ratio, every
// pixel of every module in the module's colour (sharp edges, no offset),
// four light modules all round, and the prompt under the quiet zone.
void verifyAdvert(const QPixmap& pixmap, qreal dpr, const QString& address)
{
    verifySize(pixmap, dpr);

    const Symbol reference = referenceSymbol(address);
    QVERIFY(reference.width > 0);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    const std::optional<Placement> at = findSymbol(image);
    QVERIFY2(at, "no finder pattern at the top of the picture");
    const int side = reference.width * at->module;
    const int quiet = 4 * at->module;
    const QRect symbolBox(at->origin, QSize(side, side));
    QVERIFY2(image.rect().contains(symbolBox.adjusted(-quiet, -quiet, quiet, quiet)),
             "the symbol with its quiet zone does not fit the picture");
    // Large enough for a phone camera held at the screen, and centred.
    QVERIFY(side >= image.width() / 2);
    QVERIFY2(std::abs(symbolBox.left() - (image.width() - 1 - symbolBox.right())) <= 1,
             qPrintable(QStringLiteral("symbol spans %1 to %2 of %3")
                            .arg(symbolBox.left())
                            .arg(symbolBox.right())
                            .arg(image.width())));

    // Above the prompt nothing but the symbol is drawn: the quiet zone and
    // the sides are plain white.
    const int belowQuiet = symbolBox.bottom() + quiet + 1;
    for (int y = 0; y < belowQuiet; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!symbolBox.contains(x, y)) {
                QVERIFY2(light(image, x, y), qPrintable(QStringLiteral("stray ink at %1,%2").arg(x).arg(y)));
                continue;
            }
            const int column = (x - symbolBox.left()) / at->module;
            const int row = (y - symbolBox.top()) / at->module;
            const bool dark = reference.modules[static_cast<std::size_t>(row * reference.width + column)];
            QVERIFY2(image.pixel(x, y) == (dark ? qRgb(0, 0, 0) : qRgb(255, 255, 255)),
                     qPrintable(QStringLiteral("module %1,%2 not solid at %3,%4").arg(column).arg(row).arg(x).arg(y)));
        }
    }
    verifyPromptLine(inkBox(image.copy(0, belowQuiet, image.width(), image.height() - belowQuiet)), dpr);
}

}  // namespace

void PhoneEditionAdvertTest::drawsTheCodeOfTheDecodedAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<qreal>("dpr");
    const QString local = QStringLiteral("http://127.0.0.1:18418/android.html");
    QTest::newRow("sample server, 1x") << local << qreal(1);
    QTest::newRow("sample server, 2x") << local << qreal(2);
    QTest::newRow("sample server, 1.5x") << local << qreal(1.5);
    QTest::newRow("sample server, 1.25x") << local << qreal(1.25);
    const QString longer = QStringLiteral("https://kardelo.example.org/downloads/android/kardelo-phone-edition.html");
    QTest::newRow("long address, 1x") << longer << qreal(1);
    QTest::newRow("long address, 2x") << longer << qreal(2);
    QTest::newRow("Chinese page name, 1x") << QStringLiteral("http://example.org/安卓手机版.html") << qreal(1);
}

void PhoneEditionAdvertTest::drawsTheCodeOfTheDecodedAddress()
{
    QFETCH(QString, address);
    QFETCH(qreal, dpr);
    verifyAdvert(phoneEditionAdvert(encodeAddress(address), dpr), dpr, address);
}

void PhoneEditionAdvertTest::malformedListGivesThePromptAlone_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<qreal>("dpr");
    const QString good = encodeAddress(QStringLiteral("http://127.0.0.1:18418/android.html"));
    QTest::newRow("trailing comma") << good + u',' << qreal(1);
    QTest::newRow("doubled comma, 2x") << QString(good).replace(3, 1, QStringLiteral(",,")) << qreal(2);
    QTest::newRow("not a number") << QStringLiteral("104,x,116") << qreal(1);
    QTest::newRow("empty list") << QString() << qreal(1);
}

void PhoneEditionAdvertTest::malformedListGivesThePromptAlone()
{
    QFETCH(QString, stored);
    QFETCH(qreal, dpr);
    const QPixmap pixmap = phoneEditionAdvert(stored, dpr);
    verifySize(pixmap, dpr);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    const QRect ink = inkBox(image);
    verifyPromptLine(ink, dpr);
    QVERIFY(ink.width() >= qRound(60 * dpr));
}

void PhoneEditionAdvertTest::mainWindowShowsTheCodeOfItsPhoneEditionPage()
{
    MainWindowFixture fixture;
    MainWindow* window = fixture.load();
    QVERIFY(window);
    const QPixmap shown = window->sidePanel().phoneEditionQrCode->picture();
    verifyAdvert(shown, shown.devicePixelRatio(), fixture.server.url(QStringLiteral("/android.html")));
    // The whole picture is in view inside the box's border.
    QCOMPARE(window->sidePanel().phoneEditionQrCode->contentsRect().size(), QSize(137, 170));
}

QTEST_MAIN(PhoneEditionAdvertTest)
#include "PhoneEditionAdvertTest.moc"
