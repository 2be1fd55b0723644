// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadSpeed.h"

#include <QtTest>

class DownloadSpeedTest : public QObject {
    Q_OBJECT

private slots:
    void speed_data();
    void speed();
};

void DownloadSpeedTest::speed_data()
{
    QTest::addColumn<qint64>("progress");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("1536 B in 1 s: 1.50 goes to the even 2") << qint64(1536) << qint64(1000) << 2;
    QTest::newRow("2560 B in 1 s: 2.50 goes to the even 2") << qint64(2560) << qint64(1000) << 2;
    QTest::newRow("512 B in 1 s: 0.50 goes to 0") << qint64(512) << qint64(1000) << 0;
    QTest::newRow("no time passed") << qint64(5000) << qint64(0) << 0;
    QTest::newRow("a trickle") << qint64(1) << qint64(100000) << 0;
    // The two-decimal text decides ties that the raw value would not.
    QTest::newRow("2.5039 is 2.50 first, then 2") << qint64(2564) << qint64(1000) << 2;
    QTest::newRow("3.4951 is 3.50 first, then 4") << qint64(3579) << qint64(1000) << 4;
    QTest::newRow("decimal 3.495 rounds up to 3.50") << qint64(55920) << qint64(15625) << 4;
    QTest::newRow("single precision: 16777217 reads back as 16777216")
        << qint64(17179870208) << qint64(1000) << 16777216;
    QTest::newRow("beyond 32 bits gives 0") << (qint64(1) << 50) << qint64(1) << 0;
}

void DownloadSpeedTest::speed()
{
    QFETCH(qint64, progress);
    QFETCH(qint64, elapsedMs);
    QFETCH(qint32, expected);
    QCOMPARE(downloadSpeed(progress, elapsedMs), expected);
}

QTEST_GUILESS_MAIN(DownloadSpeedTest)
#include "DownloadSpeedTest.moc"
