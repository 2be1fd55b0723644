// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/DecodeAddress.h"

#include "catalogue/StoredAddresses.h"
#include "format/AddressKey.h"

#include <QFile>
#include <QtTest>

class DecodeAddressTest : public QObject {
    Q_OBJECT

private slots:
    void encodingIsTheExactInverse();
    void malformedListsReachTheCaller_data();
    void malformedListsReachTheCaller();
    void builtInListsFollowTheServerLayout();
    void encodesAsTheBuildDoes_data();
    void encodesAsTheBuildDoes();
    void programHoldsNoReadableAddress();
};

// Whatever encodeAddress accepts decodes back to itself: every single
// character of the basic plane here (fuzz/StoredAddressFuzz mixes them).
void DecodeAddressTest::encodingIsTheExactInverse()
{
    const auto holds = [](const QString& text) {
        QString stored;
        try {
            stored = encodeAddress(text);
        } catch (const AddressDecodeError&) {
            return std::optional<bool>();  // refused: nothing to check
        }
        try {
            return std::optional<bool>(decodeAddress(stored) == text);
        } catch (const AddressDecodeError&) {
            return std::optional<bool>(false);
        }
    };
    int accepted = 0;
    for (char32_t code = 0; code <= 0xFFFF; ++code) {
        const QString text(QChar(static_cast<char16_t>(code)));
        const std::optional<bool> held = holds(text);
        QVERIFY2(held.value_or(true), qPrintable(QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0'))));
        accepted += held.has_value();
    }
    // Code page 936 has some 22,000 characters; far fewer means the
    // encoder refuses what it should take.
    QVERIFY2(accepted > 20000, qPrintable(QString::number(accepted)));
}

void DecodeAddressTest::malformedListsReachTheCaller_data()
{
    const QString h = QString::number('h' ^ kAddressKey);
    QTest::addColumn<QString>("stored");
    QTest::newRow("doubled comma") << h + ",," + h;
    QTest::newRow("trailing comma") << h + "," + h + ",";
    QTest::newRow("not a number") << h + ",abc";
    QTest::newRow("blank inside") << h + ", " + h;
    QTest::newRow("code of no character") << h + "," + QString::number(0x2FFFF ^ kAddressKey);
    QTest::newRow("negative code") << h + "," + QString::number(-5 ^ kAddressKey);
    QTest::newRow("too large for any integer") << h + ",99999999999999999999999";
}

void DecodeAddressTest::malformedListsReachTheCaller()
{
    QFETCH(QString, stored);
    QVERIFY_THROWS_EXCEPTION(AddressDecodeError, decodeAddress(stored));
}

void DecodeAddressTest::builtInListsFollowTheServerLayout()
{
    const StoredAddresses& stored = builtInAddresses();
    const QString root = decodeAddress(stored.homePage);
    QVERIFY2(root.startsWith("http://") || root.startsWith("https://"), qPrintable(root));
    QVERIFY(root.endsWith(u'/'));
    QCOMPARE(decodeAddress(stored.versionFile), root + "version.txt");
    QCOMPARE(decodeAddress(stored.conferenceListBase), root + "lists/");
    QCOMPARE(decodeAddress(stored.catalogue), root + "lists/catalogue.txt");
    QCOMPARE(decodeAddress(stored.helpPage), root + "help.html");
    QCOMPARE(decodeAddress(stored.phoneEdition), root + "android.html");
}

// The build encodes the server addresses with cmake/EncodeAddress.cmake;
// the program's encoder must give exactly the same lists, number for number.
void DecodeAddressTest::encodesAsTheBuildDoes_data()
{
    const StoredAddresses& stored = builtInAddresses();
    const QString root = QStringLiteral(KARDELO_SERVER_ROOT);
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("builtIn");
    QTest::newRow("home page") << root << stored.homePage;
    QTest::newRow("version file") << root + "version.txt" << stored.versionFile;
    QTest::newRow("lists") << root + "lists/" << stored.conferenceListBase;
    QTest::newRow("catalogue") << root + "lists/catalogue.txt" << stored.catalogue;
    QTest::newRow("help") << root + "help.html" << stored.helpPage;
    QTest::newRow("phone edition") << root + "android.html" << stored.phoneEdition;
}

void DecodeAddressTest::encodesAsTheBuildDoes()
{
    QFETCH(QString, address);
    QFETCH(QString, builtIn);
    QCOMPARE(encodeAddress(address), builtIn);
}

void DecodeAddressTest::programHoldsNoReadableAddress()
{
    QFile program(QStringLiteral(KARDELO_EXECUTABLE));
    QVERIFY2(program.open(QIODevice::ReadOnly), KARDELO_EXECUTABLE);
    const QByteArray image = program.readAll();
    QVERIFY(image.size() > 100000);
    const StoredAddresses& stored = builtInAddresses();
    for (const QString* list : {&stored.catalogue, &stored.conferenceListBase, &stored.versionFile, &stored.homePage,
                                &stored.helpPage, &stored.phoneEdition}) {
        const QString address = decodeAddress(*list);
        // The host alone as well as the whole address, as UTF-8 and UTF-16.
        for (const QString& text : {address, address.section(u'/', 2, 2)}) {
            QVERIFY2(!image.contains(text.toUtf8()), qPrintable(text));
            const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            QVERIFY2(!image.contains(utf16), qPrintable(text));
        }
    }
}

QTEST_GUILESS_MAIN(DecodeAddressTest)
#include "DecodeAddressTest.moc"
