// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/HttpGet.h"
#include "platform/net/NetworkAccess.h"
#include "platform/net/Transfer.h"
#include "support/FreePort.h"
#include "support/TestCertificates.h"
#include "support/TestHttpServer.h"

#include <QtTest>

namespace {

const QByteArray kLecture = QByteArrayLiteral("RIFF lecture bytes");

}  // namespace

class HttpsTrustTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyTrustedHttpsAnswers_data();
    void onlyTrustedHttpsAnswers();

private:
    TestCertificates certificates_;
    TestHttpServer plain_;
    TestHttpServer secure_{certificates_.serverIdentity({QStringLiteral("127.0.0.1"), QStringLiteral("localhost")})};
    TestHttpServer misnamed_{certificates_.serverIdentity({QStringLiteral("example.invalid")})};
};

void HttpsTrustTest::initTestCase()
{
    for (TestHttpServer* server : {&plain_, &secure_, &misnamed_})
        server->serveBytes("/lecture.mp3", kLecture);
    secure_.redirect("/downgrade", plain_.url(QStringLiteral("/lecture.mp3")).toStdString());
    plain_.redirect("/upgrade", secure_.url(QStringLiteral("/lecture.mp3")).toStdString());
    plain_.redirect("/up-and-down", secure_.url(QStringLiteral("/downgrade")).toStdString());
    secure_.redirect("/onward-and-down", secure_.url(QStringLiteral("/downgrade")).toStdString());
}

void HttpsTrustTest::onlyTrustedHttpsAnswers_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("testAuthorityTrusted");
    // What the network log says of the failure; empty when the body comes.
    QTest::addColumn<QString>("logged");
    const QString lecture = secure_.url(QStringLiteral("/lecture.mp3"));
    QTest::newRow("trusted") << lecture << true << QString();
    QTest::newRow("not trusted") << lecture << false << QStringLiteral("certificate is not trusted");
    QTest::newRow("certificate for another host")
        << misnamed_.url(QStringLiteral("/lecture.mp3")) << true << QStringLiteral("certificate is not trusted");
    QTest::newRow("redirect from https to http")
        << secure_.url(QStringLiteral("/downgrade")) << true << QStringLiteral("redirect away from https was refused");
    QTest::newRow("redirect from http to https") << plain_.url(QStringLiteral("/upgrade")) << true << QString();
    QTest::newRow("redirects from http to https and back to http")
        << plain_.url(QStringLiteral("/up-and-down")) << true << QStringLiteral("redirect away from https was refused");
    QTest::newRow("redirects from https to https and on to http")
        << secure_.url(QStringLiteral("/onward-and-down")) << true
        << QStringLiteral("redirect away from https was refused");
    QTest::newRow("nothing listening") << QStringLiteral("https://127.0.0.1:%1/lecture.mp3").arg(unusedLoopbackPort())
                                       << true << QStringLiteral("Failed to connect");
}

void HttpsTrustTest::onlyTrustedHttpsAnswers()
{
    QFETCH(QString, address);
    QFETCH(bool, testAuthorityTrusted);
    QFETCH(QString, logged);
    platform::NetworkLimits limits;
    limits.connectTimeout = std::chrono::seconds(5);
    if (testAuthorityTrusted)
        limits.certificateAuthorityFile = certificates_.authorityBundle();
    const bool answered = logged.isEmpty();
    if (!answered) {
        // The reason a user reads in the log, once for each kind of request.
        for (int kind = 0; kind < 3; ++kind)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(logged)));
    }

    // A failure is the one an unreachable server gives: no text at all,
    // a download that ends as a network error.
    const std::size_t plainRequestsBefore = plain_.requestCount("/lecture.mp3");
    const std::optional<QByteArray> text = platform::httpGet(address, limits);
    QCOMPARE(text.has_value(), answered);
    QCOMPARE(text.value_or(QByteArray()), answered ? kLecture : QByteArray());

    // The window's text and the download's stream, on the network core.
    platform::NetworkAccess access;
    for (const bool stream : {false, true}) {
        const std::unique_ptr<platform::Transfer> transfer(stream ? access.getStream(address, limits)
                                                                  : access.getText(address, limits));
        QByteArray streamed;
        transfer->setReceiver([&streamed](QByteArrayView piece) {
            streamed.append(piece);
            return true;
        });
        QSignalSpy finished(transfer.get(), &platform::Transfer::finished);
        QVERIFY(finished.wait(15000));
        QCOMPARE(transfer->result().outcome,
                 answered ? platform::Transfer::Result::Outcome::Finished
                          : platform::Transfer::Result::Outcome::NetworkError);
        QCOMPARE(stream ? streamed : transfer->takeBody(), answered ? kLecture : QByteArray());
    }

    // Nothing that was asked for over https is fetched again in the clear.
    QCOMPARE(plain_.requestCount("/lecture.mp3"), plainRequestsBefore);
}

QTEST_GUILESS_MAIN(HttpsTrustTest)
#include "HttpsTrustTest.moc"
