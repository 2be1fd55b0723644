// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadEngine.h"

#include "support/FileBytes.h"
#include "support/FreePort.h"
#include "support/TestHttpServer.h"

#include <QtTest>

#include <memory>
#include <optional>

using Outcome = DownloadResult::Outcome;

namespace {

struct Event {
    qint64 progress = 0;
    qint64 maxProgress = 0;
    qint32 speed = 0;
    bool operator==(const Event&) const = default;
};

QDebug operator<<(QDebug debug, const Event& e)
{
    return debug << "Event" << e.progress << e.maxProgress << e.speed;
}

// One notification of the download, given at a chosen tick.
struct Step {
    qint64 now = 0;
    qint64 progress = 0;
    qint64 maxProgress = 0;
    bool expectPump = false;
};

struct EventLog {
    explicit EventLog(DownloadEngine& download)
    {
        QObject::connect(&download, &DownloadEngine::progressed, [this](qint64 p, qint64 m, qint32 s) {
            events.append({p, m, s});
        });
    }
    QList<Event> events;
};

// A clock that jumps a second at every reading, so every notification
// with progress is far enough from the last event to raise one.
DownloadEngine::TickSource racingClock()
{
    auto now = std::make_shared<qint64>(1000000);
    return [now] { return *now += 1000; };
}

}  // namespace

Q_DECLARE_METATYPE(Event)
Q_DECLARE_METATYPE(Step)

class DownloadEngineTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void completeDownloadStoresTheServedBytes();
    void abortFromAHandlerInsideThePump();
    void failedDownloadsReturnFalse_data();
    void failedDownloadsReturnFalse();
    void releasingTheObjectInsideThePumpDoesNotAbort();

    void throttle_data();
    void throttle();
    void secondDownloadMeasuresSpeedFromItsOwnStart();
    void abortWithNothingRunningChangesNothing_data();
    void abortWithNothingRunningChangesNothing();
    void secondStartWhileRunningIsRefused();
    void startAfterAnAbortIsAccepted();

private:
    QString target(const QString& name) const { return dir_->filePath(QStringLiteral("我的收藏/") + name); }

    TestHttpServer server_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void DownloadEngineTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("我的收藏")));
}

void DownloadEngineTest::completeDownloadStoresTheServedBytes()
{
    const QByteArray body = generatedBytes(2 * 1024 * 1024 + 5);
    server_.serveBytes("/lectures/1.wma", body);
    const QString path = target(QStringLiteral("第十届心血管病学大会冠心病介入.zip"));
    DownloadEngine download(DownloadOptions(), racingClock());
    EventLog log(download);

    QVERIFY(download.start(server_.url("/lectures/1.wma"), path));
    QCOMPARE(download.lastResult().outcome(), Outcome::Complete);
    QVERIFY(!download.isDownloading());

    QCOMPARE(readWholeFile(path), body);
    QVERIFY(!QFile::exists(path + ".part"));
    QVERIFY(!log.events.empty());
    qint64 previous = 0;
    for (const Event& e : log.events) {
        QVERIFY(e.progress >= previous);
        previous = e.progress;
        QCOMPARE(e.maxProgress, qint64(body.size()));
    }
    QCOMPARE(log.events.back().progress, qint64(body.size()));
}

void DownloadEngineTest::abortFromAHandlerInsideThePump()
{
    // Twenty pieces 100 ms apart: ignoring the abort would finish the file.
    server_.serveSlowly("/slow.wma", generatedBytes(20 * 1000), 1000, std::chrono::milliseconds(100));
    const QString path = target(QStringLiteral("心衰.zip"));
    DownloadEngine download;
    EventLog log(download);
    // Nothing spins the event loop after the call, so the cancel can only
    // run inside it.
    std::optional<qsizetype> eventsAtAbort;
    QObject::connect(&download, &DownloadEngine::progressed, [&] {
        if (log.events.size() == 1)
            QTimer::singleShot(0, &download, [&] {
                eventsAtAbort = log.events.size();
                download.abort();
            });
    });

    QVERIFY(!download.start(server_.url("/slow.wma"), path));

    QCOMPARE(download.lastResult().outcome(), Outcome::Cancelled);
    QCOMPARE(std::optional<qsizetype>(log.events.size()), eventsAtAbort);
    QVERIFY(log.events.back().progress < 20 * 1000);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(path + ".part"));
}

void DownloadEngineTest::failedDownloadsReturnFalse_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("earlierCopy");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("404 stores nothing") << server_.url("/missing.wma") << false << Outcome::HttpStatus;
    QTest::newRow("cut mid-body over an earlier copy") << server_.url("/cut.wma") << true << Outcome::Network;
    QTest::newRow("cut mid-body stores nothing") << server_.url("/cut.wma") << false << Outcome::Network;
    QTest::newRow("connection refused") << QStringLiteral("http://127.0.0.1:%1/a.wma").arg(unusedLoopbackPort()) << true
                                        << Outcome::Network;
    // The engine's own limits, not the program's 60 s, decide.
    QTest::newRow("server stalls past the limit") << server_.url("/stuck.wma") << true << Outcome::Network;
}

void DownloadEngineTest::failedDownloadsReturnFalse()
{
    QFETCH(QString, address);
    QFETCH(bool, earlierCopy);
    QFETCH(Outcome, outcome);
    server_.serveCutMidBody("/cut.wma", generatedBytes(200 * 1000), 500 * 1000);
    server_.serveSlowly("/stuck.wma", generatedBytes(2000), 1000, std::chrono::seconds(30));
    server_.serveBytes("/good.wma", generatedBytes(1000));
    const QString path = target(QStringLiteral("冠心病.zip"));
    const QByteArray earlier = "PK earlier complete lecture";
    if (earlierCopy)
        QVERIFY(writeWholeFile(path, earlier));
    DownloadOptions options;
    options.limits.stallTimeout = std::chrono::seconds(1);
    DownloadEngine download(options);

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!download.start(address, path));
    // Nothing waited for the connect time-out.
    QVERIFY(timer.elapsed() < std::chrono::milliseconds(options.limits.connectTimeout).count());
    QCOMPARE(download.lastResult().outcome(), outcome);
    QVERIFY(!download.lastResult().errorString().isEmpty());

    QCOMPARE(readWholeFile(path), earlierCopy ? earlier : QByteArray("<missing>"));
    QVERIFY(!QFile::exists(path + ".part"));
    // The failure left the object idle: the next download runs.
    QVERIFY(download.start(server_.url("/good.wma"), target("next.zip")));
}

void DownloadEngineTest::releasingTheObjectInsideThePumpDoesNotAbort()
{
    const QByteArray body = generatedBytes(5 * 1000);
    server_.serveSlowly("/slow.wma", body, 1000, std::chrono::milliseconds(50));
    const QString path = target(QStringLiteral("关闭.zip"));
    QPointer<DownloadEngine> download(new DownloadEngine);
    QObject::connect(download, &DownloadEngine::progressed,
                     [&] { QTimer::singleShot(0, [&] { delete download.data(); }); });

    QVERIFY(download->start(server_.url("/slow.wma"), path));

    QVERIFY(download.isNull());
    QCOMPARE(readWholeFile(path), body);
}

void DownloadEngineTest::throttle_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QList<Event>>("expected");
    QTest::newRow("progress 0 never raises, but pumps")
        << QList<Step>{{5000, 0, 0, true}, {5020, 0, 0, true}, {9000, 0, 100, true}} << QList<Event>{};
    QTest::newRow("raises at once, then not within 100 ms; pumps only beyond 50 ms")
        << QList<Step>{{5000, 10, 100, true}, {5040, 20, 100, false}, {5050, 20, 100, false},
                       {5051, 20, 100, true}, {5100, 30, 100, true},  {5101, 40, 100, true}}
        << QList<Event>{{10, 100}, {40, 100}};
    QTest::newRow("speed counts from the first notification, with or without progress")
        << QList<Step>{{5000, 0, 0, true}, {6000, 1536, 0, true}, {7000, 2560, 0, true}}
        << QList<Event>{{1536, 0, 2}, {2560, 0, 1}};
    QTest::newRow("2 GiB and beyond still raise events")
        << QList<Step>{{5000, qint64(1) << 31, qint64(5) << 30, true},
                       {6000, (qint64(1) << 32) + 1, qint64(5) << 30, true}}
        << QList<Event>{{qint64(1) << 31, qint64(5) << 30, 0}, {(qint64(1) << 32) + 1, qint64(5) << 30, 4194304}};
    QTest::newRow("an unknown total passes as 0")
        << QList<Step>{{5000, 10, 0, true}, {5200, 20, 0, true}} << QList<Event>{{10, 0, 0}, {20, 0, 0}};
}

void DownloadEngineTest::throttle()
{
    QFETCH(QList<Step>, steps);
    QFETCH(QList<Event>, expected);
    qint64 now = 0;
    DownloadEngine download(DownloadOptions(), [&now] { return now; });
    EventLog log(download);

    for (const Step& step : steps) {
        now = step.now;
        bool pumped = false;
        QMetaObject::invokeMethod(
            &download, [&pumped] { pumped = true; }, Qt::QueuedConnection);
        download.transferProgressed(step.progress, step.maxProgress);
        QVERIFY2(pumped == step.expectPump, qPrintable(QStringLiteral("pump at tick %1").arg(step.now)));
        QCoreApplication::processEvents();
    }
    QCOMPARE(log.events, expected);
}

void DownloadEngineTest::secondDownloadMeasuresSpeedFromItsOwnStart()
{
    server_.serveBytes("/second.wma", generatedBytes(50 * 1000));
    qint64 now = 1000;
    DownloadEngine download(DownloadOptions(), [&now] { return now; });
    EventLog log(download);
    download.transferProgressed(100, 0);  // the first download's clock starts at 1000
    QCOMPARE(log.events.size(), 1);

    // The second begins at 10000 (the clock stands still while it runs), so
    // 2048 bytes one second later is 2 KB/s, not 0.2 since 1000.
    now = 10000;
    QVERIFY(download.start(server_.url("/second.wma"), target("second.zip")));
    now = 11000;
    download.transferProgressed(2048, 0);
    QCOMPARE(log.events.back().progress, qint64(2048));
    QCOMPARE(log.events.back().speed, 2);
}

void DownloadEngineTest::abortWithNothingRunningChangesNothing_data()
{
    QTest::addColumn<bool>("finishedBefore");
    QTest::newRow("nothing ever ran") << false;
    QTest::newRow("after a finished download") << true;
}

void DownloadEngineTest::abortWithNothingRunningChangesNothing()
{
    QFETCH(bool, finishedBefore);
    server_.serveBytes("/a.wma", generatedBytes(1000));
    DownloadEngine download;
    if (finishedBefore)
        QVERIFY(download.start(server_.url("/a.wma"), target("first.zip")));

    download.abort();

    QVERIFY(!download.isDownloading());
    QVERIFY(download.start(server_.url("/a.wma"), target("a.zip")));
    QCOMPARE(readWholeFile(target("a.zip")), generatedBytes(1000));
    if (finishedBefore)
        QCOMPARE(readWholeFile(target("first.zip")), generatedBytes(1000));
}

void DownloadEngineTest::secondStartWhileRunningIsRefused()
{
    const QByteArray body = generatedBytes(5 * 1000);
    server_.serveSlowly("/slow.wma", body, 1000, std::chrono::milliseconds(50));
    server_.serveBytes("/b.wma", generatedBytes(1000));
    DownloadEngine download;
    std::optional<bool> secondStarted;
    std::optional<DownloadResult::Outcome> secondOutcome;
    QObject::connect(&download, &DownloadEngine::progressed, [&] {
        if (secondStarted)
            return;
        QVERIFY(download.isDownloading());
        secondStarted = download.start(server_.url("/b.wma"), target("b.zip"));
        secondOutcome = download.lastResult().outcome();
    });

    QVERIFY(download.start(server_.url("/slow.wma"), target("a.zip")));

    QCOMPARE(secondStarted, std::optional<bool>(false));
    QCOMPARE(secondOutcome, std::optional<DownloadResult::Outcome>(Outcome::Refused));
    QCOMPARE(server_.requestCount("/b.wma"), 0u);
    // The running download went on untouched.
    QCOMPARE(readWholeFile(target("a.zip")), body);
    QCOMPARE(download.lastResult().outcome(), Outcome::Complete);
}

// Once abort() has been called, the aborted download no longer counts as
// running, even before it has unwound: a start that comes meanwhile runs.
void DownloadEngineTest::startAfterAnAbortIsAccepted()
{
    server_.serveSlowly("/slow.wma", generatedBytes(20 * 1000), 1000, std::chrono::milliseconds(100));
    server_.serveBytes("/b.wma", generatedBytes(1000));
    DownloadEngine download;
    std::optional<bool> secondStored;
    QObject::connect(&download, &DownloadEngine::progressed, [&] {
        if (secondStored)
            return;
        download.abort();
        download.abort();  // a second abort changes nothing
        QVERIFY(!download.isDownloading());
        secondStored = false;
        secondStored = download.start(server_.url("/b.wma"), target("b.zip"));
    });

    QVERIFY(!download.start(server_.url("/slow.wma"), target("a.zip")));

    QCOMPARE(secondStored, std::optional<bool>(true));
    QCOMPARE(readWholeFile(target("b.zip")), generatedBytes(1000));
    QVERIFY(!QFile::exists(target("a.zip")));
    QCOMPARE(download.lastResult().outcome(), Outcome::Cancelled);
    QVERIFY(!download.isDownloading());
}

QTEST_GUILESS_MAIN(DownloadEngineTest)
#include "DownloadEngineTest.moc"
