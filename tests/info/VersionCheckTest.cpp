#include "catalogue/DecodeAddress.h"
#include "info/ModuleTexts.h"
#include "info/VersionCheck.h"
#include "support/FreePort.h"
#include "support/Gb2312.h"
#include "support/RecordingHost.h"
#include "support/ServerAddresses.h"
#include "support/TestHttpServer.h"

#include <QtTest>

class VersionCheckTest : public QObject {
    Q_OBJECT

private slots:
    void publishedVersionDecidesThePrompt_data();
    void publishedVersionDecidesThePrompt();
    void withoutTheMarkerTheNetworkIsUnavailable_data();
    void withoutTheMarkerTheNetworkIsUnavailable();
    void acceptingTheUpdateOpensTheHomePageAndEnds();
    void unreachableServerEnds();
    void malformedAddressListCountsAsNoNetwork();

private:
    TestHttpServer server_;
};

void VersionCheckTest::publishedVersionDecidesThePrompt_data()
{
    QTest::addColumn<QString>("versionFile");
    QTest::addColumn<bool>("prompted");
    QTest::newRow("same version") << "20140202[QorVersion]\r\n" << false;
    QTest::newRow("older version") << "20131231[QorVersion]" << false;
    QTest::newRow("newer version") << "20140305[QorVersion]" << true;
    QTest::newRow("space between year and month") << "2014 0305[QorVersion]" << true;
    QTest::newRow("half a version newer") << "20140202.5[QorVersion]" << true;
    QTest::newRow("marker twice, first one counts")
        << "20140202[QorVersion]20991231[QorVersion]" << false;
    QTest::newRow("leading letter reads as 0") << "V20991231[QorVersion]" << false;
    QTest::newRow("marker at the very start") << "[QorVersion]20991231" << false;
    QTest::newRow("Chinese after the marker") << QStringLiteral("20991231[QorVersion]新版本说明\r\n") << true;
    QTest::newRow("CR LF before the marker") << "20991231\r\n[QorVersion]" << true;
}

void VersionCheckTest::publishedVersionDecidesThePrompt()
{
    QFETCH(QString, versionFile);
    QFETCH(bool, prompted);
    server_.serveBytes("/version.txt", ToGb2312(versionFile));
    RecordingHost host(platform::kAnswerNo);
    QCOMPARE(RunVersionCheck(AddressesFor(server_)), StartOutcome::Continue);
    QCOMPARE(host.endings, 0);
    QVERIFY(host.browserAddresses.isEmpty());
    QCOMPARE(host.messages.size(), prompted ? 1u : 0u);
    if (prompted) {
        QCOMPARE(host.messages[0].prompt, QStringLiteral("检测到新版本，是否立即下载？"));
        QCOMPARE(host.messages[0].style, 52);
    }
}

void VersionCheckTest::withoutTheMarkerTheNetworkIsUnavailable_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("marker only in lower case") << 200 << QByteArray("20991231[qorversion]\r\n");
    QTest::newRow("empty file") << 200 << QByteArray();
    QTest::newRow("error page") << 404 << QByteArray("<html>404 Not Found</html>");
    QTest::newRow("marker cut short") << 200 << QByteArray("20991231[QorVersio");
}

void VersionCheckTest::withoutTheMarkerTheNetworkIsUnavailable()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    server_.serveBytes("/version.txt", body, status, "text/html");
    RecordingHost host(platform::kAnswerYes);
    QCOMPARE(RunVersionCheck(AddressesFor(server_)), StartOutcome::Ended);
    QCOMPARE(host.messages.size(), 1u);
    QCOMPARE(host.messages[0].prompt, QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(host.messages[0].style, 48);
    QCOMPARE(host.endings, 1);
    QVERIFY(host.browserAddresses.isEmpty());
}

void VersionCheckTest::acceptingTheUpdateOpensTheHomePageAndEnds()
{
    server_.serveBytes("/version.txt", "20991231[QorVersion]");
    RecordingHost host(platform::kAnswerYes);
    QCOMPARE(RunVersionCheck(AddressesFor(server_)), StartOutcome::Ended);
    QCOMPARE(host.messages.size(), 1u);
    QCOMPARE(host.endings, 1);
    QCOMPARE(host.browserAddresses, QStringList{server_.url("/")});
}

void VersionCheckTest::unreachableServerEnds()
{
    StoredAddresses addresses = AddressesFor(server_);
    addresses.versionFile = EncodeAddress(QStringLiteral("http://127.0.0.1:%1/version.txt").arg(UnusedLoopbackPort()));
    RecordingHost host;
    QCOMPARE(RunVersionCheck(addresses), StartOutcome::Ended);
    QCOMPARE(host.messages.size(), 1u);
    QCOMPARE(host.messages[0].prompt, kNetworkFailureMessage);
    QCOMPARE(host.endings, 1);
}

void VersionCheckTest::malformedAddressListCountsAsNoNetwork()
{
    server_.serveBytes("/version.txt", "20140202[QorVersion]");
    StoredAddresses addresses = AddressesFor(server_);
    addresses.versionFile += ",";
    RecordingHost host;
    QCOMPARE(RunVersionCheck(addresses), StartOutcome::Ended);
    QCOMPARE(host.messages.size(), 1u);
    QCOMPARE(host.messages[0].prompt, kNetworkFailureMessage);
    QCOMPARE(host.endings, 1);
}

QTEST_GUILESS_MAIN(VersionCheckTest)
#include "VersionCheckTest.moc"
