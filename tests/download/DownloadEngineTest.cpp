#include "download/DownloadEngine.h"
#include "platform/net/NetworkLimits.h"
#include "support/FileBytes.h"
#include "support/FreePort.h"
#include "support/TestHttpServer.h"

#include <QtTest>

#include <memory>
#include <optional>

namespace {

const QString kText = QStringLiteral("http://h/讲座.wma");

struct Event {
    qint64 progress = 0;
    qint64 maxProgress = 0;
    qint32 speed = 0;
    qint32 statusCode = 5;
    QString statusText = kText;
    bool operator==(const Event&) const = default;
};

QDebug operator<<(QDebug debug, const Event& e)
{
    return debug << "Event" << e.progress << e.maxProgress << e.speed << e.statusCode << e.statusText;
}

// One notification of the service, given at a chosen tick.
struct Step {
    qint64 now = 0;
    qint64 progress = 0;
    qint64 maxProgress = 0;
    bool expectPump = false;
    qint32 statusCode = 5;
    QString statusText = kText;  // a null QString stands for a missing text
};

struct EventLog {
    explicit EventLog(DownloadEngine& download)
    {
        QObject::connect(&download, &DownloadEngine::progressed,
                         [this](qint64 p, qint64 m, qint32 s, qint32 c, const QString& t) {
                             events.append({p, m, s, c, t});
                         });
    }
    QList<Event> events;
};

class CountingHandle : public platform::TransferHandle {
public:
    void abort() override { ++aborts; }
    int aborts = 0;
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
    void abortAndStartFollowTheHeldHandle_data();
    void abortAndStartFollowTheHeldHandle();

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
    DownloadEngine download(racingClock());
    EventLog log(download);

    QVERIFY(download.start(server_.url("/lectures/1.wma"), path));

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

    QCOMPARE(std::optional<qsizetype>(log.events.size()), eventsAtAbort);
    QVERIFY(log.events.back().progress < 20 * 1000);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(path + ".part"));
}

void DownloadEngineTest::failedDownloadsReturnFalse_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("earlierCopy");
    QTest::newRow("404 stores nothing") << server_.url("/missing.wma") << false;
    QTest::newRow("cut mid-body over an earlier copy") << server_.url("/cut.wma") << true;
    QTest::newRow("cut mid-body stores nothing") << server_.url("/cut.wma") << false;
    QTest::newRow("connection refused")
        << QStringLiteral("http://127.0.0.1:%1/a.wma").arg(unusedLoopbackPort()) << true;
}

void DownloadEngineTest::failedDownloadsReturnFalse()
{
    QFETCH(QString, address);
    QFETCH(bool, earlierCopy);
    server_.serveCutMidBody("/cut.wma", generatedBytes(200 * 1000), 500 * 1000);
    server_.serveBytes("/good.wma", generatedBytes(1000));
    const QString path = target(QStringLiteral("冠心病.zip"));
    const QByteArray earlier = "PK earlier complete lecture";
    if (earlierCopy)
        QVERIFY(writeWholeFile(path, earlier));
    DownloadEngine download;

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!download.start(address, path));
    // Nothing waited for the connect time-out.
    QVERIFY(timer.elapsed() < std::chrono::milliseconds(platform::currentNetworkLimits().connectTimeout).count());

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
        << QList<Step>{{5000, 0, 0, true, 1}, {5020, 0, 0, true, 2}, {9000, 0, 100, true, 4}} << QList<Event>{};
    QTest::newRow("raises at once, then not within 100 ms; pumps only beyond 50 ms")
        << QList<Step>{{5000, 10, 100, true}, {5040, 20, 100, false}, {5050, 20, 100, false},
                       {5051, 20, 100, true}, {5100, 30, 100, true}, {5101, 40, 100, true}}
        << QList<Event>{{10, 100}, {40, 100}};
    QTest::newRow("speed counts from the first notification, with or without progress")
        << QList<Step>{{5000, 0, 0, true, 1}, {6000, 1536, 0, true}, {7000, 2560, 0, true}}
        << QList<Event>{{1536, 0, 2}, {2560, 0, 1}};
    QTest::newRow("2 GiB and beyond still raise events")
        << QList<Step>{{5000, qint64(1) << 31, qint64(5) << 30, true},
                       {6000, (qint64(1) << 32) + 1, qint64(5) << 30, true}}
        << QList<Event>{{qint64(1) << 31, qint64(5) << 30, 0}, {(qint64(1) << 32) + 1, qint64(5) << 30, 4194304}};
    QTest::newRow("missing status text is empty; code passes through")
        << QList<Step>{{5000, 10, 0, true, 42, QString()}, {5200, 20, 0, true, 7, QString("")}}
        << QList<Event>{{10, 0, 0, 42, QString()}, {20, 0, 0, 7, QString()}};
}

void DownloadEngineTest::throttle()
{
    QFETCH(QList<Step>, steps);
    QFETCH(QList<Event>, expected);
    qint64 now = 0;
    DownloadEngine download([&now] { return now; });
    EventLog log(download);

    for (const Step& step : steps) {
        now = step.now;
        bool pumped = false;
        QMetaObject::invokeMethod(&download, [&pumped] { pumped = true; }, Qt::QueuedConnection);
        const std::u16string text = step.statusText.toStdU16String();
        download.onTransferProgress(step.progress, step.maxProgress, step.statusCode,
                                                step.statusText.isNull() ? nullptr : text.c_str());
        QVERIFY2(pumped == step.expectPump, qPrintable(QStringLiteral("pump at tick %1").arg(step.now)));
        QCoreApplication::processEvents();
    }
    QCOMPARE(log.events, expected);
}

void DownloadEngineTest::secondDownloadMeasuresSpeedFromItsOwnStart()
{
    server_.serveBytes("/second.wma", generatedBytes(50 * 1000));
    qint64 now = 1000;
    DownloadEngine download([&now] { return now; });
    EventLog log(download);
    download.onTransferProgress(100, 0, 5, nullptr);  // the first download's clock starts at 1000
    QCOMPARE(log.events.size(), 1);

    // The second begins at 10000 (the clock stands still while it runs), so
    // 2048 bytes one second later is 2 KB/s, not 0.2 since 1000.
    now = 10000;
    QVERIFY(download.start(server_.url("/second.wma"), target("second.zip")));
    now = 11000;
    download.onTransferProgress(2048, 0, 5, nullptr);
    QCOMPARE(log.events.back().progress, qint64(2048));
    QCOMPARE(log.events.back().speed, 2);
}

void DownloadEngineTest::abortAndStartFollowTheHeldHandle_data()
{
    QTest::addColumn<QString>("calls");  // s start handle, e stop handle, a abort
    QTest::addColumn<int>("expectedAborts");
    QTest::addColumn<bool>("startAccepted");
    QTest::newRow("nothing ever ran") << "a" << 0 << true;
    QTest::newRow("running") << "s" << 0 << false;
    QTest::newRow("running, aborted: the flag drops at once") << "sa" << 1 << true;
    QTest::newRow("running, aborted twice") << "saa" << 2 << true;
    QTest::newRow("leftover of a finished transfer") << "sea" << 0 << true;
    QTest::newRow("after an aborted transfer stopped") << "saea" << 1 << true;
}

void DownloadEngineTest::abortAndStartFollowTheHeldHandle()
{
    QFETCH(QString, calls);
    QFETCH(int, expectedAborts);
    QFETCH(bool, startAccepted);
    server_.serveBytes("/a.wma", generatedBytes(1000));
    const std::size_t requestsBefore = server_.requestCount("/a.wma");
    auto handle = std::make_shared<CountingHandle>();
    {
        DownloadEngine download;
        for (const QChar call : calls) {
            if (call == 's')
                download.onTransferStarted(handle);
            else if (call == 'e')
                download.onTransferStopped(1, u"aborted");
            else
                download.abort();
        }
        QCOMPARE(download.start(server_.url("/a.wma"), target("a.zip")), startAccepted);
        QCOMPARE(server_.requestCount("/a.wma") - requestsBefore, std::size_t(startAccepted ? 1 : 0));
        // A refused start leaves the running transfer alone.
        QCOMPARE(handle->aborts, expectedAborts);
    }
    // Every reference the object took is given back, by a later transfer or with the object.
    QCOMPARE(handle.use_count(), 1);
}

QTEST_GUILESS_MAIN(DownloadEngineTest)
#include "DownloadEngineTest.moc"
