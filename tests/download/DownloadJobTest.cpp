// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadJob.h"

#include "platform/net/NetworkAccess.h"
#include "support/FileBytes.h"
#include "support/FreePort.h"
#include "support/TestHttpServer.h"

#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

using Outcome = DownloadResult::Outcome;

namespace {

struct Progress {
    qint64 received = 0;
    qint64 total = 0;
};

// A clock that moves on 1 s at every reading, so that the throttle lets
// every report through.
DownloadJob::TickSource racingClock()
{
    return [tick = qint64(0)]() mutable { return tick += 1000; };
}

// One job with every progress report it gave, in order.
class RecordedJob {
public:
    RecordedJob(platform::NetworkAccess& network, const QString& address, const QString& target,
                DownloadOptions options = {})
        : job(network, address, target, options, racingClock())
    {
        QObject::connect(&job, &DownloadJob::progressed, [this](qint64 received, qint64 total) {
            progress.push_back({received, total});
            if (onProgress)
                onProgress(*this, progress.back());
        });
        QObject::connect(&job, &DownloadJob::finished, [this] { ++finishedCount; });
    }

    DownloadJob job;
    std::vector<Progress> progress;
    int finishedCount = 0;
    // Runs inside each report, after it is recorded.
    std::function<void(RecordedJob&, const Progress&)> onProgress;

    DownloadResult run()
    {
        job.start();
        if (!QTest::qWaitFor([this] { return finishedCount > 0; }, 60000))
            return {Outcome::Refused, QStringLiteral("the job did not finish")};
        return job.result();
    }
};

// What a download left in the folder besides lectures: partial files,
// records, anything hidden.
QStringList hiddenFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
}

// 20,000 bytes in pieces of 1000 with a pause before each: slow enough to
// act on half-way.
TestHttpServer::Resumable slowLecture(std::chrono::milliseconds pause)
{
    TestHttpServer::Resumable resource;
    resource.body = generatedBytes(20 * 1000);
    resource.pause = pause;
    return resource;
}

}  // namespace

class DownloadJobTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void storesTheCompleteBodyUnderTheTarget_data();
    void storesTheCompleteBodyUnderTheTarget();
    void failuresLeaveTheTargetAsItWas_data();
    void failuresLeaveTheTargetAsItWas();
    void cancelStopsTheTransfer_data();
    void cancelStopsTheTransfer();
    void reportsAtMostEveryTenthOfASecond();
    void resumesWhereTheTransferBrokeOff_data();
    void resumesWhereTheTransferBrokeOff();
    void cancelledTransferIsNotResumed();
    void addressesAreSentAsABrowserWould_data();
    void addressesAreSentAsABrowserWould();
    void namesUpToTheFileSystemLimit_data();
    void namesUpToTheFileSystemLimit();

private:
    QString target(const QString& name) const { return dir_->filePath(name); }
    QString favourites() const { return dir_->filePath(QStringLiteral("我的收藏")); }

    platform::NetworkAccess network_;
    TestHttpServer server_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void DownloadJobTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("我的收藏")));
}

void DownloadJobTest::storesTheCompleteBodyUnderTheTarget_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("lengthAnnounced");
    QTest::addColumn<QString>("leftover");  // a file already there: "target" or none
    QTest::newRow("several receive buffers") << "bytes" << generatedBytes(3 * 1024 * 1024 + 17) << true << "";
    QTest::newRow("without Content-Length") << "chunked" << generatedBytes(200 * 1000 + 3) << false << "";
    QTest::newRow("in slow pieces") << "slow" << generatedBytes(5000) << true << "";
    QTest::newRow("empty body") << "bytes" << QByteArray() << true << "";
    QTest::newRow("replacing an earlier, longer copy") << "bytes" << generatedBytes(4096) << true << "target";
    QTest::newRow("after a redirect") << "redirect" << generatedBytes(70000) << true << "";
}

void DownloadJobTest::storesTheCompleteBodyUnderTheTarget()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, body);
    QFETCH(bool, lengthAnnounced);
    QFETCH(QString, leftover);
    if (how == "bytes") {
        server_.serveBytes("/lecture.zip", body);
    } else if (how == "chunked") {
        server_.serveWithoutLength("/lecture.zip", body);
    } else if (how == "slow") {
        server_.serveSlowly("/lecture.zip", body, 1000, std::chrono::milliseconds(20));
    } else {
        server_.serveBytes("/files/new.zip", body);
        server_.redirect("/lecture.zip", "/files/new.zip");
    }
    const std::size_t askedBefore = server_.requestCount("/lecture.zip");
    const QString path = target(QStringLiteral("我的收藏/冠心病介入治疗进展.zip"));
    if (leftover == "target")
        QVERIFY(writeWholeFile(path, QByteArray(100000, 'y')));

    RecordedJob download(network_, server_.url("/lecture.zip"), path);
    const DownloadResult result = download.run();

    QCOMPARE(result.outcome(), Outcome::Complete);
    QVERIFY(result.isComplete());
    QCOMPARE(result.errorString(), QString());
    QCOMPARE(result.httpStatus(), 0);
    QCOMPARE(readWholeFile(path), body);
    QCOMPARE(hiddenFiles(favourites()), QStringList());
    QCOMPARE(server_.requestCount("/lecture.zip"), askedBefore + 1);

    // Reports come once bytes are there, the last when the whole body is
    // in; in between the count never goes back.
    const auto& progress = download.progress;
    QCOMPARE(progress.empty(), body.isEmpty());
    QCOMPARE(download.finishedCount, 1);
    qint64 previous = 0;
    for (const Progress& p : progress) {
        QVERIFY2(p.received >= previous, "progress went back");
        previous = p.received;
        // The total is the announced length or, while unknown, 0.
        QVERIFY(p.total == 0 || (lengthAnnounced && p.total == body.size()));
    }
    if (body.isEmpty())
        return;
    QCOMPARE(progress.back().received, qint64(body.size()));
    QCOMPARE(progress.back().total, lengthAnnounced ? qint64(body.size()) : 0);
}

void DownloadJobTest::failuresLeaveTheTargetAsItWas_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<Outcome>("expected");
    QTest::addColumn<int>("httpStatus");
    const QString refused = QStringLiteral("http://127.0.0.1:%1/lecture.zip").arg(unusedLoopbackPort());
    QTest::newRow("404 page") << server_.url("/missing.zip") << Outcome::HttpStatus << 404;
    QTest::newRow("500 page") << server_.url("/error.zip") << Outcome::HttpStatus << 500;
    QTest::newRow("redirect to a missing page") << server_.url("/moved.zip") << Outcome::HttpStatus << 404;
    QTest::newRow("connection cut mid-body") << server_.url("/cut.zip") << Outcome::Network << 0;
    QTest::newRow("server stalls past the limit") << server_.url("/stuck.zip") << Outcome::Network << 0;
    QTest::newRow("connection refused") << refused << Outcome::Network << 0;
    QTest::newRow("not an http address") << QStringLiteral("ftp://127.0.0.1/lecture.zip") << Outcome::Network << 0;
}

void DownloadJobTest::failuresLeaveTheTargetAsItWas()
{
    QFETCH(QString, address);
    QFETCH(Outcome, expected);
    QFETCH(int, httpStatus);
    server_.serveBytes("/error.zip", "<h1>Internal error</h1>", 500, "text/html");
    server_.redirect("/moved.zip", "/gone.zip");
    server_.serveCutMidBody("/cut.zip", generatedBytes(300 * 1000), 1000 * 1000);
    // Two pieces 30 s apart; the shortened stall limit must end it long before.
    server_.serveSlowly("/stuck.zip", generatedBytes(2000), 1000, std::chrono::seconds(30));
    DownloadOptions options;
    options.limits.stallTimeout = std::chrono::seconds(1);

    // Once over an earlier good copy, once with nothing there yet.
    const QByteArray earlier = generatedBytes(1000) + "the earlier good copy";
    for (const bool hadCopy : {true, false}) {
        const QString path = target(QStringLiteral("我的收藏/心衰.zip"));
        QFile::remove(path);
        if (hadCopy)
            QVERIFY(writeWholeFile(path, earlier));

        RecordedJob download(network_, address, path, options);
        QElapsedTimer timer;
        timer.start();
        const DownloadResult result = download.run();

        QCOMPARE(result.outcome(), expected);
        QCOMPARE(result.httpStatus(), httpStatus);
        QVERIFY(!result.errorString().isEmpty());
        // A refused connection is an immediate failure, not a time-out.
        QVERIFY(timer.elapsed() < std::chrono::milliseconds(options.limits.connectTimeout).count());
        if (hadCopy)
            QCOMPARE(readWholeFile(path), earlier);
        else
            QVERIFY(!QFile::exists(path));
        // Nothing to resume: the test server names no validator.
        QCOMPARE(hiddenFiles(favourites()), QStringList());
    }
}

void DownloadJobTest::cancelStopsTheTransfer_data()
{
    QTest::addColumn<QString>("stage");
    QTest::newRow("before the job begins") << "start";
    QTest::newRow("while waiting for the server") << "asked";
    QTest::newRow("once data arrives") << "first data";
    // The whole body is in, the file not yet named: the cancel still wins.
    QTest::newRow("with the whole body in") << "whole body";
    // The job goes with its transfer under way, as when the window closes.
    QTest::newRow("by deleting the job") << "delete";
}

void DownloadJobTest::cancelStopsTheTransfer()
{
    QFETCH(QString, stage);
    // Twenty pieces, 100 ms apart: a transfer that ignored the cancel would
    // run on for two seconds and finish.
    const QByteArray body = generatedBytes(20 * 1000);
    server_.serveSlowly("/slow.zip", body, 1000, std::chrono::milliseconds(100));
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));
    QVERIFY(writeWholeFile(path, "earlier"));

    auto download = std::make_unique<RecordedJob>(network_, server_.url("/slow.zip"), path);
    std::size_t cancelledAt = 0;
    download->onProgress = [&](RecordedJob& self, const Progress& p) {
        if (cancelledAt || (stage == "first data" ? p.received == 0 : p.received != body.size()))
            return;
        cancelledAt = self.progress.size();
        self.job.cancel();
    };
    download->job.start();
    if (stage == "start")
        download->job.cancel();
    const std::size_t askedBefore = server_.requestCount("/slow.zip");
    if (stage == "asked" || stage == "delete")
        QTRY_COMPARE(server_.requestCount("/slow.zip"), askedBefore + 1);
    if (stage == "asked") {
        cancelledAt = download->progress.size();
        download->job.cancel();
    }
    if (stage == "delete") {
        download.reset();
        QTest::qWait(300);
    } else {
        QTRY_COMPARE(download->finishedCount, 1);
        QCOMPARE(download->job.result().outcome(), Outcome::Cancelled);
        // Not one report after the cancel, and one end only.
        QCOMPARE(download->progress.size(), cancelledAt);
        download->job.cancel();  // after the end: changes nothing
        QTest::qWait(300);
        QCOMPARE(download->finishedCount, 1);
        QCOMPARE(download->job.result().outcome(), Outcome::Cancelled);
    }
    QCOMPARE(readWholeFile(path), QByteArray("earlier"));
    QCOMPARE(hiddenFiles(favourites()), QStringList());
}

void DownloadJobTest::reportsAtMostEveryTenthOfASecond()
{
    // Forty pieces, 10 ms apart: four times as many as the throttle lets by.
    server_.serveSlowly("/quick.zip", generatedBytes(40 * 1000), 1000, std::chrono::milliseconds(10));
    DownloadJob job(network_, server_.url("/quick.zip"), target("quick.zip"));
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> reportedAt;
    connect(&job, &DownloadJob::progressed, this, [&] { reportedAt.push_back(clock.elapsed()); });
    QSignalSpy ended(&job, &DownloadJob::finished);
    job.start();
    QVERIFY(ended.wait(30000));
    QCOMPARE(job.result().outcome(), Outcome::Complete);
    QVERIFY(!reportedAt.empty());
    for (std::size_t i = 1; i < reportedAt.size(); ++i)
        QVERIFY2(reportedAt[i] - reportedAt[i - 1] >= 95,
                 qPrintable(QString::number(reportedAt[i] - reportedAt[i - 1])));
}

void DownloadJobTest::resumesWhereTheTransferBrokeOff_data()
{
    using Resumable = TestHttpServer::Resumable;
    QTest::addColumn<int>("answer");  // how the server answers the second attempt
    QTest::addColumn<QString>("validatorHeader");
    QTest::addColumn<bool>("fileChanged");
    QTest::addColumn<int>("requests");  // in all, both attempts
    QTest::newRow("the rest, same ETag") << int(Resumable::Honour) << "ETag" << false << 2;
    QTest::newRow("the rest, same date") << int(Resumable::Honour) << "Last-Modified" << false << 2;
    QTest::newRow("server ignores Range") << int(Resumable::IgnoreRange) << "ETag" << false << 2;
    QTest::newRow("file changed meanwhile") << int(Resumable::Honour) << "ETag" << true << 2;
    QTest::newRow("206 at another offset") << int(Resumable::WrongOffset) << "ETag" << false << 3;
    QTest::newRow("416") << int(Resumable::Unsatisfiable) << "ETag" << false << 3;
    // The rest of some file: without its validator it could be any.
    QTest::newRow("206 naming no validator") << int(Resumable::NoValidatorOnRange) << "ETag" << false << 3;
}

void DownloadJobTest::resumesWhereTheTransferBrokeOff()
{
    QFETCH(int, answer);
    QFETCH(QString, validatorHeader);
    QFETCH(bool, fileChanged);
    QFETCH(int, requests);
    TestHttpServer server;
    TestHttpServer::Resumable first;
    first.body = generatedBytes(500 * 1000);
    first.validatorHeader = validatorHeader.toStdString();
    first.validator = validatorHeader == "ETag" ? "\"v1\"" : "Tue, 01 Dec 2026 08:00:00 GMT";
    const qint64 cut = first.body.size() * 4 / 10;
    first.cutAfter = cut;
    server.serveResumable("/lecture.zip", first);
    const QString path = target(QStringLiteral("我的收藏/心电图.zip"));

    RecordedJob broken(network_, server.url("/lecture.zip"), path);
    QCOMPARE(broken.run().outcome(), Outcome::Network);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(hiddenFiles(favourites()).size(), 2);  // the bytes and their record

    TestHttpServer::Resumable second = first;
    second.cutAfter = -1;
    second.answer = TestHttpServer::Resumable::Answer(answer);
    if (fileChanged) {
        second.body.replace(0, 7, "changed");
        second.validator = "\"v2\"";
    }
    server.serveResumable("/lecture.zip", second);
    RecordedJob resumed(network_, server.url("/lecture.zip"), path);
    QCOMPARE(resumed.run().outcome(), Outcome::Complete);

    QCOMPARE(readWholeFile(path), second.body);
    QCOMPARE(hiddenFiles(favourites()), QStringList());
    const auto seen = server.requests();
    QCOMPARE(int(seen.size()), requests);
    QCOMPARE(seen[1].header("Range"), "bytes=" + std::to_string(cut) + '-');
    QCOMPARE(seen[1].header("If-Range"), first.validator);
    QCOMPARE(seen.back().header("Range"), std::string(requests == 3 ? "" : seen[1].header("Range")));
    // The percentage counts the whole lecture: a resumed one starts where
    // the kept bytes end.
    const auto& progress = resumed.progress;
    const auto firstData =
        std::find_if(progress.begin(), progress.end(), [](const Progress& p) { return p.received > 0; });
    QVERIFY(firstData != progress.end());
    QCOMPARE(firstData->total, qint64(second.body.size()));
    if (answer == TestHttpServer::Resumable::Honour && !fileChanged)
        QVERIFY(firstData->received > cut);
}

void DownloadJobTest::cancelledTransferIsNotResumed()
{
    TestHttpServer::Resumable resource = slowLecture(std::chrono::milliseconds(50));
    server_.serveResumable("/slow.zip", resource);
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));

    RecordedJob cancelled(network_, server_.url("/slow.zip"), path);
    cancelled.onProgress = [](RecordedJob& self, const Progress& p) {
        if (p.received >= 5000)
            self.job.cancel();
    };
    QCOMPARE(cancelled.run().outcome(), Outcome::Cancelled);
    QCOMPARE(hiddenFiles(favourites()), QStringList());

    RecordedJob again(network_, server_.url("/slow.zip"), path);
    QCOMPARE(again.run().outcome(), Outcome::Complete);
    QCOMPARE(readWholeFile(path), resource.body);
    QCOMPARE(server_.requests().back().header("Range"), std::string());
}

void DownloadJobTest::addressesAreSentAsABrowserWould_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("inner space") << ""
                                 << "/audio/a b.wma"
                                 << "" << QByteArray("/audio/a%20b.wma");
    QTest::newRow("blanks at either end") << " \t"
                                          << "/audio/ab.wma"
                                          << " \r\n"
                                          << QByteArray("/audio/ab.wma");
    QTest::newRow("already encoded") << ""
                                     << "/audio/a%20b.wma"
                                     << "" << QByteArray("/audio/a%20b.wma");
    QTest::newRow("Chinese") << ""
                             << "/audio/讲座.wma"
                             << "" << QByteArray("/audio/%E8%AE%B2%E5%BA%A7.wma");
    QTest::newRow("a percent sign of its own") << ""
                                               << "/audio/100%.wma"
                                               << "" << QByteArray("/audio/100%25.wma");
    QTest::newRow("quotes and braces") << ""
                                       << "/audio/\"a\"{b}.wma"
                                       << "" << QByteArray("/audio/%22a%22%7Bb%7D.wma");
}

void DownloadJobTest::addressesAreSentAsABrowserWould()
{
    QFETCH(QString, before);
    QFETCH(QString, path);
    QFETCH(QString, after);
    QFETCH(QByteArray, sent);
    server_.serveBytes(QUrl::fromPercentEncoding(sent).toStdString(), "lecture");
    const QString address = before + server_.url(path) + after;
    RecordedJob download(network_, address, target(QStringLiteral("我的收藏/a.zip")));
    QCOMPARE(download.run().outcome(), Outcome::Complete);
    QCOMPARE(QByteArray::fromStdString(server_.requests().back().target), sent);
}

void DownloadJobTest::namesUpToTheFileSystemLimit_data()
{
    QTest::addColumn<int>("bytes");  // of the stored name, ".zip" included, in UTF-8
    QTest::addColumn<Outcome>("expected");
    QTest::newRow("250") << 250 << Outcome::Complete;
    QTest::newRow("255, the most a name may have") << 255 << Outcome::Complete;
    QTest::newRow("256") << 256 << Outcome::Refused;
}

void DownloadJobTest::namesUpToTheFileSystemLimit()
{
    QFETCH(int, bytes);
    QFETCH(Outcome, expected);
    QString name;
    while (name.toUtf8().size() + 3 + 4 <= bytes)
        name += QStringLiteral("讲");
    while (name.toUtf8().size() + 4 < bytes)
        name += u'a';
    name += QStringLiteral(".zip");
    QCOMPARE(name.toUtf8().size(), bytes);
    server_.serveBytes("/long.zip", generatedBytes(300 * 1000));
    const std::size_t askedBefore = server_.requestCount("/long.zip");

    RecordedJob download(network_, server_.url("/long.zip"), favourites() + u'/' + name);
    const DownloadResult result = download.run();

    QCOMPARE(result.outcome(), expected);
    QCOMPARE(readWholeFile(favourites() + u'/' + name),
             expected == Outcome::Complete ? generatedBytes(300 * 1000) : QByteArray("<missing>"));
    // A name that cannot be stored is refused before the server is asked.
    QCOMPARE(server_.requestCount("/long.zip") - askedBefore, std::size_t(expected == Outcome::Complete ? 1 : 0));
    QCOMPARE(hiddenFiles(favourites()), QStringList());
}

QTEST_GUILESS_MAIN(DownloadJobTest)
#include "DownloadJobTest.moc"
