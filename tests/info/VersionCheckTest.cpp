// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/VersionCheck.h"

#include "format/DecodeAddress.h"
#include "shell/StartProcedure.h"
#include "support/FreePort.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/RecordingHost.h"
#include "support/ServerAddresses.h"
#include "support/TestCertificates.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

class VersionCheckTest : public QObject {
    Q_OBJECT

private slots:
    void publishedVersionDecidesThePrompt_data();
    void publishedVersionDecidesThePrompt();
    void unreadableVersionEndsAsNoNetwork_data();
    void unreadableVersionEndsAsNoNetwork();

private:
    // The program's folder: no lecture stored, so no library means no window.
    QTemporaryDir folder_;
    TestHttpServer server_;
    TestCertificates certificates_;
    // Its certificate is signed by an authority that the program, unlike a
    // test request, does not trust.
    TestHttpServer untrustedServer_{certificates_.serverIdentity({QStringLiteral("127.0.0.1")})};
};

void VersionCheckTest::publishedVersionDecidesThePrompt_data()
{
    QTest::addColumn<QString>("versionFile");
    QTest::addColumn<bool>("prompted");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("answeredLater");  // the box stays open a while
    QTest::newRow("same version") << "20140202[QorVersion]\r\n" << false << false << false;
    QTest::newRow("older version") << "20131231[QorVersion]" << false << false << false;
    QTest::newRow("newer version, declined") << "20140305[QorVersion]" << true << false << false;
    QTest::newRow("newer version, accepted") << "20991231[QorVersion]" << true << true << false;
    QTest::newRow("half a version newer") << "20140202.5[QorVersion]" << true << false << false;
    QTest::newRow("marker twice, first one counts")
        << "20140202[QorVersion]20991231[QorVersion]" << false << false << false;
    QTest::newRow("marker at the very start") << "[QorVersion]20991231" << false << false << false;
    QTest::newRow("Chinese after the marker")
        << QStringLiteral("20991231[QorVersion]新版本说明\r\n") << true << false << false;
    QTest::newRow("CR LF before the marker") << "20991231\r\n[QorVersion]" << true << false << false;
    QTest::newRow("newer version, declined after a while") << "20140305[QorVersion]" << true << false << true;
    QTest::newRow("newer version, accepted after a while") << "20991231[QorVersion]" << true << true << true;
}

void VersionCheckTest::publishedVersionDecidesThePrompt()
{
    QFETCH(QString, versionFile);
    QFETCH(bool, prompted);
    QFETCH(bool, accepted);
    QFETCH(bool, answeredLater);
    server_.serveBytes("/version.txt", toGb2312(versionFile));
    server_.serveBytes("/lists/catalogue.txt", toGb2312(QStringLiteral("会议%20131015*\r\n")));
    RecordingHost host(accepted ? QMessageBox::Yes : QMessageBox::No);
    if (answeredLater)
        host.holdAnswers();
    const std::size_t cataloguesBefore = server_.requestCount("/lists/catalogue.txt");
    const std::unique_ptr<StartProcedure> start =
        startAndWait(addressesFor(server_), folder_.path(), [&host] { return host.heldAnswers() > 0; });
    if (answeredLater) {
        // While the box is open the start waits, with the event loop
        // running: a catalogue asked for meanwhile would have come by now.
        QTest::qWait(300);
        QCOMPARE(server_.requestCount("/lists/catalogue.txt"), cataloguesBefore);
        QVERIFY(!start->window());
        QCOMPARE(host.endings, 0);
        host.answerHeld();
        QTRY_VERIFY(start->window() || host.endings > 0);
    }
    QCOMPARE(start->window() == nullptr, accepted);
    QCOMPARE(host.endings, accepted ? 1 : 0);
    // Declined, the start goes on to the catalogue as before.
    QCOMPARE(server_.requestCount("/lists/catalogue.txt") - cataloguesBefore, accepted ? 0u : 1u);
    QCOMPARE(host.browserAddresses, accepted ? QStringList{server_.url("/")} : QStringList());
    QCOMPARE(host.messages.size(), prompted ? 1u : 0u);
    if (prompted) {
        QCOMPARE(host.messages[0].prompt, QStringLiteral("检测到新版本，是否立即下载？"));
        QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(host.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

void VersionCheckTest::unreadableVersionEndsAsNoNetwork_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    // Where the stored address goes wrong: "unreachable", "untrusted" or
    // "malformed".
    QTest::addColumn<QString>("broken");
    QTest::newRow("marker only in lower case") << 200 << QByteArray("20991231[qorversion]\r\n") << QString();
    QTest::newRow("empty file") << 200 << QByteArray() << QString();
    QTest::newRow("error page") << 404 << QByteArray("<html>404 Not Found</html>") << QString();
    QTest::newRow("marker cut short") << 200 << QByteArray("20991231[QorVersio") << QString();
    QTest::newRow("unreachable server") << 200 << QByteArray("20140202[QorVersion]") << QStringLiteral("unreachable");
    QTest::newRow("https server not trusted")
        << 200 << QByteArray("20140202[QorVersion]") << QStringLiteral("untrusted");
    QTest::newRow("malformed address list") << 200 << QByteArray("20140202[QorVersion]") << QStringLiteral("malformed");
}

void VersionCheckTest::unreadableVersionEndsAsNoNetwork()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, broken);
    server_.serveBytes("/version.txt", body, status, "text/html");
    untrustedServer_.serveBytes("/version.txt", body, status, "text/html");
    StoredAddresses addresses = addressesFor(server_);
    if (broken == QStringLiteral("unreachable")) {
        addresses.versionFile =
            encodeAddress(QStringLiteral("http://127.0.0.1:%1/version.txt").arg(unusedLoopbackPort()));
    } else if (broken == QStringLiteral("untrusted")) {
        addresses.versionFile = encodeAddress(untrustedServer_.url(QStringLiteral("/version.txt")));
        // The log tells this apart from a server that cannot be reached.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("certificate is not trusted")));
    } else if (broken == QStringLiteral("malformed")) {
        addresses.versionFile += u',';
    }
    // A "yes" must not be taken for accepting an update. Nothing is kept of
    // the library from the rows before: with its catalogue kept, the window
    // would open on that.
    RecordingHost host(QMessageBox::Yes);
    QVERIFY(QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).removeRecursively());
    const std::unique_ptr<StartProcedure> start = startAndWait(addresses, folder_.path());
    QVERIFY(!start->window());
    QCOMPARE(host.messages.size(), 1u);
    QCOMPARE(host.messages[0].prompt, QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(host.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(host.endings, 1);
    QVERIFY(host.browserAddresses.isEmpty());
}

QTEST_MAIN(VersionCheckTest)
#include "VersionCheckTest.moc"
