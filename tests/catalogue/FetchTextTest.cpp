#include "catalogue/FetchText.h"
#include "platform/NetworkLimits.h"
#include "support/FreePort.h"
#include "support/Gb2312.h"
#include "support/TestHttpServer.h"

#include <QtTest>

class FetchTextTest : public QObject {
    Q_OBJECT

private slots:
    void returnsTheBodyWhateverTheStatus_data();
    void returnsTheBodyWhateverTheStatus();
    void sendsIfModifiedSinceZero();
    void decodesGb2312WithLineEndsIntact();
    void followsRedirects();
    void failuresGiveAnEmptyText_data();
    void failuresGiveAnEmptyText();
    void stalledServerGivesUpAfterTheStallLimit();
    void bodyCutOffGivesAnEmptyText();
    void bytesToText_data();
    void bytesToText();

private:
    TestHttpServer server_;
};

void FetchTextTest::returnsTheBodyWhateverTheStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("200 text") << 200 << QByteArray("20140202[QorVersion]\r\n");
    QTest::newRow("404 page") << 404 << QByteArray("<html><body>404 Not Found</body></html>");
    QTest::newRow("500 page") << 500 << QByteArray("<h1>Internal error</h1>");
    QTest::newRow("empty body") << 200 << QByteArray();
}

void FetchTextTest::returnsTheBodyWhateverTheStatus()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    server_.serveBytes("/file.txt", body, status, "text/html");
    QCOMPARE(FetchText(server_.url("/file.txt"), "GB2312"), QString::fromLatin1(body));
}

void FetchTextTest::sendsIfModifiedSinceZero()
{
    server_.serveBytes("/version.txt", "x");
    const std::size_t before = server_.requests().size();
    FetchText(server_.url("/version.txt"), "GB2312");
    const auto requests = server_.requests();
    QCOMPARE(requests.size(), before + 1);
    QCOMPARE(requests.back().path, std::string("/version.txt"));
    QCOMPARE(requests.back().header("If-Modified-Since"), std::string("0"));
}

void FetchTextTest::decodesGb2312WithLineEndsIntact()
{
    const QString text = QStringLiteral("第十届心血管病学大会%20131015*\r\n冠心病介入治疗进展%张医生$心内科*http://h/a.wma\r\n尾行");
    const QByteArray bytes = ToGb2312(text);
    QVERIFY(bytes.size() < text.toUtf8().size());  // really two bytes a character, not UTF-8
    server_.serveBytes("/lists/catalogue.txt", bytes);
    QCOMPARE(FetchText(server_.url("/lists/catalogue.txt"), "GB2312"), text);
}

void FetchTextTest::followsRedirects()
{
    server_.serveBytes("/moved/target.txt", ToGb2312(QStringLiteral("到了")));
    server_.redirect("/old.txt", "/moved/target.txt");
    QCOMPARE(FetchText(server_.url("/old.txt"), "GB2312"), QStringLiteral("到了"));
}

void FetchTextTest::failuresGiveAnEmptyText_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("connection refused")
        << QStringLiteral("http://127.0.0.1:%1/version.txt").arg(UnusedLoopbackPort());
    QTest::newRow("not an address") << QStringLiteral("no address at all");
    QTest::newRow("empty address") << QString();
    QTest::newRow("local file is not fetched") << QStringLiteral("file:///etc/hostname");
    QTest::newRow("unknown host") << QStringLiteral("http://no-such-host.invalid/version.txt");
}

void FetchTextTest::failuresGiveAnEmptyText()
{
    QFETCH(QString, address);
    QCOMPARE(FetchText(address, "GB2312"), QString());
}

void FetchTextTest::stalledServerGivesUpAfterTheStallLimit()
{
    // Half of a body, then nothing: the request must end on its own rather
    // than freeze the program.
    platform::NetworkLimits& limits = platform::CurrentNetworkLimits();
    const platform::NetworkLimits saved = limits;
    limits.stallTimeout = std::chrono::seconds(1);
    server_.serveSlowly("/stalled.txt", QByteArray(64, 'a'), 32, std::chrono::milliseconds(4000));
    const QString text = FetchText(server_.url("/stalled.txt"), "GB2312");
    limits = saved;
    QCOMPARE(text, QString());
}

void FetchTextTest::bodyCutOffGivesAnEmptyText()
{
    // Half a catalogue read as a whole one would show conferences that are
    // not all there.
    server_.serveCutMidBody("/cut.txt", QByteArray("a%b*c\r\n"), 4096);
    QCOMPARE(FetchText(server_.url("/cut.txt"), "GB2312"), QString());
}

void FetchTextTest::bytesToText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0x80 is the euro sign") << QByteArray("\x80") << "GB2312" << QStringLiteral("€");
    QTest::newRow("Chinese") << QByteArray("\xd6\xd0\xce\xc4") << "GB2312" << QStringLiteral("中文");
    QTest::newRow("GBK characters beyond GB2312") << QByteArray("\x81\x40") << "GB2312" << QStringLiteral("丂");
    QTest::newRow("lead byte without trail")
        << QByteArray("\xd6\x20") << "GB2312" << (QString(QChar::ReplacementCharacter) + " ");
    QTest::newRow("charset name in lower case") << QByteArray("\xd6\xd0") << "gb2312" << QStringLiteral("中");
    QTest::newRow("unknown charset gives nothing") << QByteArray("abc") << "no-such-charset" << QString();
    QTest::newRow("no bytes") << QByteArray() << "GB2312" << QString();
}

void FetchTextTest::bytesToText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, charset);
    QFETCH(QString, expected);
    QCOMPARE(BytesToText(bytes, charset), expected);
}

QTEST_GUILESS_MAIN(FetchTextTest)
#include "FetchTextTest.moc"
