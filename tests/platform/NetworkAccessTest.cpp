// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/NetworkAccess.h"

#include "platform/net/Transfer.h"
#include "support/FreePort.h"
#include "support/TestHttpServer.h"

#include <QtTest>

using platform::NetworkAccess;
using platform::Transfer;
using Outcome = Transfer::Result::Outcome;
Q_DECLARE_METATYPE(Outcome)

namespace {

constexpr qint64 kFileSize = 300000;

QByteArray generated(qint64 from)
{
    QByteArray bytes(kFileSize - from, '\0');
    for (qint64 i = 0; i < bytes.size(); ++i)
        bytes[i] = TestHttpServer::generatedByte(from + i);
    return bytes;
}

// Its one finished signal has come.
bool ends(Transfer* transfer)
{
    QSignalSpy finished(transfer, &Transfer::finished);
    return finished.wait(15000) && finished.count() == 1;
}

}  // namespace

class NetworkAccessTest : public QObject {
    Q_OBJECT

    TestHttpServer server_;
    NetworkAccess access_;

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    void initTestCase()
    {
        server_.serveGenerated("/file", kFileSize);
        server_.serveEndless("/endless");
        server_.serveBytes("/found", "a%b*c\r\n");
        server_.serveBytes("/gone", "<html>404</html>", 404);
        server_.redirect("/moved", "/found");
        server_.serveSlowly("/silent", QByteArray(64, 'a'), 32, std::chrono::milliseconds(1500));
        server_.serveSlowly("/steady", "ssss", 1, std::chrono::milliseconds(600));
        server_.serveCutMidBody("/cut", "a%b*c\r\n", 4096);
        server_.serveSlowly("/trickle", QByteArray(100000, 'a'), 1, std::chrono::milliseconds(200));
    }

    void fetchesTexts_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("bodyOrReason");  // the body kept, or what the failure's reason says
        QTest::newRow("found") << server_.url("/found") << Outcome::Finished << 200 << "a%b*c\r\n";
        QTest::newRow("error page") << server_.url("/gone") << Outcome::Finished << 404 << "<html>404</html>";
        QTest::newRow("after a redirect") << server_.url("/moved") << Outcome::Finished << 200 << "a%b*c\r\n";
        // Slower in all than the stall limit, but never silent that long.
        QTest::newRow("slow but steady") << server_.url("/steady") << Outcome::Finished << 200 << "ssss";
        const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(unusedLoopbackPort());
        QTest::newRow("refused") << refused << Outcome::NetworkError << 0 << "connect";
        QTest::newRow("not an address") << "no address at all" << Outcome::NetworkError << 0 << "bad/illegal format";
        QTest::newRow("local file") << "file:///etc/hostname" << Outcome::NetworkError << 0 << "\"file\" not supported";
        QTest::newRow("unknown host") << "http://no-such-host.invalid/" << Outcome::NetworkError << 0 << "resolve host";
        QTest::newRow("server falls silent")
            << server_.url("/silent") << Outcome::NetworkError << 200 << "no data for \\d+ ms";
        QTest::newRow("cut body") << server_.url("/cut") << Outcome::NetworkError << 200 << "bytes remaining to read";
        QTest::newRow("trickle past the time limit")
            << server_.url("/trickle") << Outcome::NetworkError << 200 << "timed out";
        QTest::newRow("endless body") << server_.url("/endless") << Outcome::NetworkError << 200
                                      << "passes the limit of 1048576 bytes";
    }

    void fetchesTexts()
    {
        QFETCH(QString, address);
        QFETCH(Outcome, outcome);
        QFETCH(int, status);
        QFETCH(QString, bodyOrReason);
        platform::NetworkLimits limits;
        limits.stallTimeout = std::chrono::seconds(1);
        limits.textFetchTimeout = std::chrono::seconds(3);
        limits.textBodyLimit = 1024 * 1024;
        const bool failed = outcome == Outcome::NetworkError;
        if (failed)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(bodyOrReason));
        const std::unique_ptr<Transfer> transfer(access_.getText(address, limits));
        QVERIFY(ends(transfer.get()));
        QCOMPARE(transfer->result().outcome, outcome);
        QCOMPARE(transfer->result().httpStatus, long(status));
        QCOMPARE(transfer->takeBody(), failed ? QByteArray() : bodyOrReason.toLatin1());
    }

    void streamsTheBody_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("rangeFrom");  // -1: the whole file asked for
        QTest::addColumn<QString>("validator");
        QTest::addColumn<Outcome>("outcome");  // Stopped: the receiver stops at the first piece
        QTest::addColumn<int>("status");
        QTest::newRow("rest of it") << "/file" << 1000LL << "\"generated\"" << Outcome::Finished << 206;
        QTest::newRow("rest of a changed file") << "/file" << 1000LL << "\"old\"" << Outcome::Finished << 200;
        QTest::newRow("error page") << "/missing" << -1LL << QString() << Outcome::HttpError << 404;
        QTest::newRow("receiver stops") << "/endless" << -1LL << QString() << Outcome::Stopped << 200;
    }

    void streamsTheBody()
    {
        QFETCH(QString, path);
        QFETCH(qint64, rangeFrom);
        QFETCH(QString, validator);
        QFETCH(Outcome, outcome);
        QFETCH(int, status);
        const std::unique_ptr<Transfer> transfer(access_.getStream(server_.url(path)));
        if (rangeFrom >= 0)
            transfer->requestRangeFrom(rangeFrom, validator.toLatin1());
        QByteArray body;
        int pieces = 0;
        long statusSeen = 0;
        transfer->setReceiver([&](QByteArrayView piece) {
            statusSeen = transfer->headers().status();
            body.append(piece);
            ++pieces;
            return outcome != Outcome::Stopped;
        });
        QVERIFY(ends(transfer.get()));
        QCOMPARE(transfer->result().outcome, outcome);
        QCOMPARE(transfer->result().httpStatus, long(status));
        QCOMPARE(pieces > 0, outcome != Outcome::HttpError);
        if (outcome == Outcome::Stopped)
            QCOMPARE(pieces, 1);
        if (outcome == Outcome::Finished) {
            QCOMPARE(statusSeen, long(status));
            QCOMPARE(body, generated(status == 206 ? rangeFrom : 0));
        }
    }

    void runsManyAtOnce()
    {
        std::vector<std::unique_ptr<Transfer>> transfers;
        for (int i = 0; i < 6; ++i)
            transfers.emplace_back(access_.getText(server_.url("/file")));
        for (const auto& transfer : transfers)
            QTRY_VERIFY_WITH_TIMEOUT(transfer->isFinished(), 15000);
        for (const auto& transfer : transfers)
            QCOMPARE(transfer->takeBody(), generated(0));
    }

    void endsCleanlyWhenLetGo_data()
    {
        QTest::addColumn<int>("letGo");  // 0: cancel, 1: delete the transfer, 2: delete the NetworkAccess
        QTest::addColumn<bool>("fromReceiver");  // else from a progressed slot
        QTest::newRow("cancelled when told of progress") << 0 << false;
        QTest::newRow("cancelled by the receiver") << 0 << true;
        QTest::newRow("deleted when told of progress") << 1 << false;
        QTest::newRow("deleted by the receiver") << 1 << true;
        QTest::newRow("network access deleted when told of progress") << 2 << false;
    }

    void endsCleanlyWhenLetGo()
    {
        QFETCH(int, letGo);
        QFETCH(bool, fromReceiver);
        auto access = std::make_unique<NetworkAccess>();
        QPointer<Transfer> transfer = access->getStream(server_.url("/endless"));
        QSignalSpy finished(transfer.data(), &Transfer::finished);
        bool letGone = false;
        const auto letItGo = [&](bool inReceiver) {
            if (inReceiver != fromReceiver || std::exchange(letGone, true))
                return true;
            if (letGo == 0)
                transfer->cancel();
            else if (letGo == 1)
                delete transfer.data();
            else
                access.reset();
            return true;
        };
        connect(transfer, &Transfer::progressed, this, [&] { letItGo(false); });
        transfer->setReceiver([&](QByteArrayView) { return letItGo(true); });
        QTRY_VERIFY_WITH_TIMEOUT(letGone, 15000);
        QTest::qWait(200);
        QCOMPARE(finished.count(), letGo == 1 ? 0 : 1);
        if (transfer)
            QCOMPARE(transfer->result().outcome, Outcome::Cancelled);
        delete transfer.data();
        if (access) {
            const std::unique_ptr<Transfer> next(access->getText(server_.url("/found")));
            QVERIFY(ends(next.get()));
            QCOMPARE(next->result().outcome, Outcome::Finished);
        }
    }

    void reusesTheConnection()
    {
        for (int i = 0; i < 2; ++i)
            QVERIFY(ends(std::unique_ptr<Transfer>(access_.getText(server_.url("/found"))).get()));
        const std::vector<TestHttpServer::Request> requests = server_.requests();
        QCOMPARE(requests.back().remotePort, requests[requests.size() - 2].remotePort);
    }
};

QTEST_GUILESS_MAIN(NetworkAccessTest)
#include "NetworkAccessTest.moc"
