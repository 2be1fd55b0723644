// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/CatalogueLines.h"

#include <QtTest>

class CatalogueLinesTest : public QObject {
    Q_OBJECT

private slots:
    void keepsLinesWithBothMarkers_data();
    void keepsLinesWithBothMarkers();
};

void CatalogueLinesTest::keepsLinesWithBothMarkers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("two records") << QStringLiteral("甲%20131015*\r\n乙%20140101*x\r\n")
                                 << QStringList{"甲%20131015*", "乙%20140101*x"};
    QTest::newRow("last line without CR LF is never read") << QStringLiteral("甲%1*\r\n乙%2*") << QStringList{"甲%1*"};
    QTest::newRow("empty lines and runs of CR LF")
        << QStringLiteral("\r\n\r\n甲%1*\r\n\r\n\r\n乙%2*\r\n\r\n") << QStringList{"甲%1*", "乙%2*"};
    QTest::newRow("CR alone ends no line") << QStringLiteral("甲%1*\r乙%2*\r\n") << QStringList{"甲%1*\r乙%2*"};
    QTest::newRow("star before percent is kept") << QStringLiteral("a*b%c\r\n") << QStringList{"a*b%c"};
    QTest::newRow("percent alone dropped") << QStringLiteral("a%b\r\nc%d*\r\n") << QStringList{"c%d*"};
    QTest::newRow("star alone dropped") << QStringLiteral("a*b\r\n") << QStringList{};
    QTest::newRow("headings dropped, order kept")
        << QStringLiteral("# 会议目录\r\nB%2*\r\n说明\r\nA%1*\r\n") << QStringList{"B%2*", "A%1*"};
    QTest::newRow("blanks kept as they stand")
        << QStringLiteral("  标题 %20131015* \t\r\n") << QStringList{"  标题 %20131015* \t"};
    QTest::newRow("mixed line ends") << QStringLiteral("a%1*\nb%2*\r\nc%3*\r\n") << QStringList{"a%1*\nb%2*", "c%3*"};
    QTest::newRow("empty text") << QString() << QStringList{};
}

void CatalogueLinesTest::keepsLinesWithBothMarkers()
{
    QFETCH(QString, text);
    QFETCH(QStringList, kept);
    QStringList list{"earlier entry"};
    splitAndKeep(text, list);
    QCOMPARE(list, QStringList{"earlier entry"} + kept);
}

QTEST_GUILESS_MAIN(CatalogueLinesTest)
#include "CatalogueLinesTest.moc"
