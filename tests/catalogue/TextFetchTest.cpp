// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/TextFetch.h"

#include "platform/net/NetworkLimits.h"
#include "support/FetchWaits.h"
#include "support/FreePort.h"
#include "support/Gb2312.h"
#include "support/ProcessGauges.h"
#include "support/TestHttpServer.h"

#include <QtTest>

class TextFetchTest : public QObject {
    Q_OBJECT

private slots:
    void onlyA200AnswerIsRead_data();
    void onlyA200AnswerIsRead();
    void sendsIfModifiedSinceZero();
    void failuresGiveAnEmptyText_data();
    void failuresGiveAnEmptyText();
    void bytesToText_data();
    void bytesToText();

private:
    TestHttpServer server_;
};

void TextFetchTest::onlyA200AnswerIsRead_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("redirected");
    QTest::addColumn<bool>("read");
    QTest::newRow("200, GB2312 with line ends intact")
        << 200
        << QStringLiteral("第十届心血管病学大会%20131015*\r\n冠心病介入治疗进展%张医生$心内科*http://h/a.wma\r\n尾行")
        << false << true;
    QTest::newRow("200, empty body") << 200 << QString() << false << true;
    QTest::newRow("200 after a redirect") << 200 << QStringLiteral("到了") << true << true;
    // Each body holds a record line that would show as a conference.
    const QString records = QStringLiteral("会议%20131015*\r\n");
    QTest::newRow("203 from a proxy") << 203 << records << false << false;
    QTest::newRow("204") << 204 << records << false << false;
    QTest::newRow("206, a part") << 206 << records << false << false;
    QTest::newRow("301 without a Location") << 301 << records << false << false;
    QTest::newRow("404") << 404 << records << false << false;
    QTest::newRow("500") << 500 << records << false << false;
    QTest::newRow("404 after a redirect") << 404 << records << true << false;
}

void TextFetchTest::onlyA200AnswerIsRead()
{
    QFETCH(int, status);
    QFETCH(QString, body);
    QFETCH(bool, redirected);
    QFETCH(bool, read);
    server_.serveBytes("/file.txt", toGb2312(body), status, "text/html");
    server_.redirect("/old.txt", "/file.txt");
    QCOMPARE(fetchTextAndWait(server_.url(redirected ? "/old.txt" : "/file.txt")), read ? body : QString());
}

void TextFetchTest::sendsIfModifiedSinceZero()
{
    server_.serveBytes("/version.txt", "x");
    fetchTextAndWait(server_.url("/version.txt"));
    QCOMPARE(server_.requestCount("/version.txt"), std::size_t(1));
    QCOMPARE(server_.requests().back().header("If-Modified-Since"), std::string("0"));
}

void TextFetchTest::failuresGiveAnEmptyText_data()
{
    QTest::addColumn<QString>("address");
    server_.serveSlowly("/stalled.txt", QByteArray(64, 'a'), 32, std::chrono::milliseconds(4000));
    server_.serveCutMidBody("/cut.txt", QByteArray("a%b*c\r\n"), 4096);
    QTest::newRow("connection refused") << QStringLiteral("http://127.0.0.1:%1/version.txt").arg(unusedLoopbackPort());
    QTest::newRow("not an address") << QStringLiteral("no address at all");
    QTest::newRow("empty address") << QString();
    QTest::newRow("local file is not fetched") << QStringLiteral("file:///etc/hostname");
    QTest::newRow("unknown host") << QStringLiteral("http://no-such-host.invalid/version.txt");
    // Must end on its own rather than freeze the program.
    QTest::newRow("server stalls mid-body") << server_.url("/stalled.txt");
    // Half a catalogue would show conferences that are not all there.
    QTest::newRow("body cut off") << server_.url("/cut.txt");
    // A byte every 200 ms never counts as a stall, and must still end.
    server_.serveSlowly("/trickle.txt", QByteArray(100000, 'a'), 1, std::chrono::milliseconds(200));
    QTest::newRow("server trickles") << server_.url("/trickle.txt");
    // Would take all memory if it were kept.
    server_.serveEndless("/endless.txt");
    QTest::newRow("body without end") << server_.url("/endless.txt");
}

void TextFetchTest::failuresGiveAnEmptyText()
{
    QFETCH(QString, address);
    platform::NetworkLimits limits;
    limits.stallTimeout = std::chrono::seconds(1);
    limits.textFetchTimeout = std::chrono::seconds(2);
    limits.textBodyLimit = 1024 * 1024;
    const qint64 peakBefore = peakResidentKiB();
    QElapsedTimer timer;
    timer.start();
    const QString text = fetchTextAndWait(address, limits);
    QCOMPARE(text, QString());
    QVERIFY2(timer.elapsed() < 6000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(peakResidentKiB() - peakBefore < 64 * 1024, qPrintable(QString::number(peakResidentKiB() - peakBefore)));
}

void TextFetchTest::bytesToText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0x80 is the euro sign") << QByteArray("\x80") << "GB2312" << QStringLiteral("€");
    QTest::newRow("Chinese") << QByteArray("\xd6\xd0\xce\xc4") << "GB2312" << QStringLiteral("中文");
    QTest::newRow("GBK characters beyond GB2312") << QByteArray("\x81\x40") << "GB2312" << QStringLiteral("丂");
    QTest::newRow("lead byte without trail")
        << QByteArray("\xd6\x20") << "GB2312" << (QString(QChar::ReplacementCharacter) + " ");
    QTest::newRow("character cut off by the end")
        << QByteArray("a%b*\xb0") << "GB2312" << QStringLiteral("a%b*") + QChar(QChar::ReplacementCharacter);
    QTest::newRow("lead byte before the line end keeps it")
        << QByteArray("\xb0\r\n") << "GB2312" << QString(QChar::ReplacementCharacter) + "\r\n";
    QTest::newRow("charset name in lower case") << QByteArray("\xd6\xd0") << "gb2312" << QStringLiteral("中");
    QTest::newRow("unknown charset gives nothing") << QByteArray("abc") << "no-such-charset" << QString();
}

void TextFetchTest::bytesToText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, charset);
    QFETCH(QString, expected);
    QCOMPARE(::bytesToText(bytes, charset), expected);
}

QTEST_GUILESS_MAIN(TextFetchTest)
#include "TextFetchTest.moc"
