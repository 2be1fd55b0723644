// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/LeadingNumber.h"

#include <QtTest>

class LeadingNumberTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheLeadingNumber_data();
    void readsTheLeadingNumber();
};

void LeadingNumberTest::readsTheLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("trailing CR LF") << "20140202\r\n" << 20140202.0;
    QTest::newRow("space inside the date") << "2014 0305" << 20140305.0;
    QTest::newRow("tab and line feed inside") << "\t2014\n0305" << 20140305.0;
    QTest::newRow("carriage return stops") << "2014\r0305" << 2014.0;
    QTest::newRow("decimals") << "20140202.5" << 20140202.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("leading letter") << "V20140202" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("only blanks") << "  \t " << 0.0;
    QTest::newRow("minus") << "-12" << -12.0;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("exponent E") << "1.5E3" << 1500.0;
    QTest::newRow("exponent D") << "1.5D3" << 1500.0;
    QTest::newRow("negative exponent") << "25e-1" << 2.5;
    QTest::newRow("exponent without digits") << "2E" << 2.0;
    QTest::newRow("hexadecimal") << "&H10" << 16.0;
    QTest::newRow("hexadecimal lower case") << "&hff" << 255.0;
    QTest::newRow("hexadecimal 16-bit wraps") << "&HFFFF" << -1.0;
    QTest::newRow("hexadecimal 32-bit") << "&H10000" << 65536.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("full-width digits are no number") << QStringLiteral("２０１４") << 0.0;
    QTest::newRow("too large to hold") << "1E999" << 0.0;
}

void LeadingNumberTest::readsTheLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(leadingNumber(text), number);
}

QTEST_GUILESS_MAIN(LeadingNumberTest)
#include "LeadingNumberTest.moc"
