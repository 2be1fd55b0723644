#include "download/CFileDownload.h"
#include "platform/NetworkLimits.h"
#include "support/FileBytes.h"
#include "support/FreePort.h"
#include "support/TestHttpServer.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct Event {
    qint64 progress = 0;
    qint64 maxProgress = 0;
    qint32 speed = 0;
    qint32 statusCode = 0;
    QString statusText;
    bool operator==(const Event&) const = default;
};

QDebug operator<<(QDebug debug, const Event& e)
{
    QDebugStateSaver saver(debug);
    return debug.nospace() << "Event(" << e.progress << ", " << e.maxProgress << ", " << e.speed << ", "
                           << e.statusCode << ", " << e.statusText << ")";
}

// One notification of the service, given at a chosen tick.
struct Step {
    qint64 now = 0;
    qint64 progress = 0;
    qint64 maxProgress = 0;
    qint32 statusCode = 5;
    QString statusText;  // a null QString stands for a missing text
    bool expectPump = false;
};

class EventLog {
public:
    explicit EventLog(CFileDownload& download)
    {
        QObject::connect(&download, &CFileDownload::OnProgress,
                         [this](qint64 p, qint64 m, qint32 s, qint32 c, const QString& t) {
                             events.push_back({p, m, s, c, t});
                             if (onEvent)
                                 onEvent(events.back());
                         });
    }
    std::vector<Event> events;
    std::function<void(const Event&)> onEvent;
};

class CountingBinding : public platform::DownloadBinding {
public:
    void Abort() override { ++aborts; }
    int aborts = 0;
};

// A clock that jumps a second at every reading, so every notification
// with progress is far enough from the last event to raise one.
CFileDownload::TickSource RacingClock()
{
    auto now = std::make_shared<qint64>(1000000);
    return [now] { return *now += 1000; };
}

}  // namespace

Q_DECLARE_METATYPE(Event)
Q_DECLARE_METATYPE(Step)

class CFileDownloadTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void completeDownloadStoresTheServedBytes_data();
    void completeDownloadStoresTheServedBytes();
    void abortFromAHandlerInsideThePump_data();
    void abortFromAHandlerInsideThePump();
    void secondStartWhileRunningIsRefused();
    void failedDownloadsReturnFalse_data();
    void failedDownloadsReturnFalse();
    void stalledServerReturnsFalse();
    void eventPumpRunsWhileTheTransferBlocks();
    void releasingTheObjectInsideThePumpDoesNotAbort();

    void throttle_data();
    void throttle();
    void secondDownloadMeasuresSpeedFromItsOwnStart();
    void abortTouchesOnlyAHeldBinding_data();
    void abortTouchesOnlyAHeldBinding();
    void startIsRefusedOnlyWhileRunning();
    void strFromPtr_data();
    void strFromPtr();

private:
    QString target(const QString& name) const { return dir_->filePath(QStringLiteral("我的收藏/") + name); }

    TestHttpServer server_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void CFileDownloadTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("我的收藏")));
}

void CFileDownloadTest::completeDownloadStoresTheServedBytes_data()
{
    QTest::addColumn<bool>("lengthAnnounced");
    QTest::newRow("with Content-Length") << true;
    QTest::newRow("without Content-Length: lMaxProgress 0") << false;
}

void CFileDownloadTest::completeDownloadStoresTheServedBytes()
{
    QFETCH(bool, lengthAnnounced);
    const QByteArray body = GeneratedBytes(2 * 1024 * 1024 + 5);
    if (lengthAnnounced)
        server_.serveBytes("/lectures/1.wma", body);
    else
        server_.serveWithoutLength("/lectures/1.wma", body);
    const QString path = target(QStringLiteral("第十届心血管病学大会冠心病介入.zip"));
    CFileDownload download(RacingClock());
    EventLog log(download);

    QVERIFY(download.StartDownloading(server_.url("/lectures/1.wma"), path));

    QCOMPARE(ReadWholeFile(path), body);
    QVERIFY(!QFile::exists(path + ".part"));
    QVERIFY(!log.events.empty());
    qint64 previous = 0;
    for (const Event& e : log.events) {
        QVERIFY(e.progress >= previous);
        previous = e.progress;
        QCOMPARE(e.maxProgress, lengthAnnounced ? qint64(body.size()) : 0);
    }
    QCOMPARE(log.events.back().progress, qint64(body.size()));
}

void CFileDownloadTest::abortFromAHandlerInsideThePump_data()
{
    QTest::addColumn<bool>("byTimer");
    QTest::newRow("zero timer") << true;
    QTest::newRow("queued call") << false;
}

void CFileDownloadTest::abortFromAHandlerInsideThePump()
{
    QFETCH(bool, byTimer);
    // Twenty pieces 100 ms apart: ignoring the abort would finish the file.
    server_.serveSlowly("/slow.wma", GeneratedBytes(20 * 1000), 1000, std::chrono::milliseconds(100));
    const QString path = target(QStringLiteral("心衰.zip"));
    CFileDownload download;
    EventLog log(download);
    bool blocked = false;
    bool abortedWhileBlocked = false;
    std::size_t eventsAtAbort = 0;
    const auto cancel = [&] {
        abortedWhileBlocked = blocked;
        eventsAtAbort = log.events.size();
        download.AbortDownloading();
    };
    log.onEvent = [&](const Event&) {
        if (log.events.size() != 1)
            return;
        if (byTimer)
            QTimer::singleShot(0, &download, cancel);
        else
            QMetaObject::invokeMethod(&download, cancel, Qt::QueuedConnection);
    };

    blocked = true;
    const bool result = download.StartDownloading(server_.url("/slow.wma"), path);
    blocked = false;

    QVERIFY(!result);
    QVERIFY(abortedWhileBlocked);
    QCOMPARE(log.events.size(), eventsAtAbort);
    QVERIFY(log.events.back().progress < 20 * 1000);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(path + ".part"));
}

void CFileDownloadTest::secondStartWhileRunningIsRefused()
{
    const QByteArray body = GeneratedBytes(10 * 1000);
    server_.serveSlowly("/first.wma", body, 1000, std::chrono::milliseconds(50));
    server_.serveBytes("/second.wma", GeneratedBytes(100));
    const QString first = target(QStringLiteral("第一讲.zip"));
    const QString second = target(QStringLiteral("第二讲.zip"));
    CFileDownload download(RacingClock());
    EventLog log(download);
    std::optional<bool> secondResult;
    std::size_t eventsAtSecond = 0;
    log.onEvent = [&](const Event&) {
        if (log.events.size() == 1)
            QTimer::singleShot(0, &download, [&] {
                eventsAtSecond = log.events.size();
                secondResult = download.StartDownloading(server_.url("/second.wma"), second);
            });
    };

    QVERIFY(download.StartDownloading(server_.url("/first.wma"), first));

    QVERIFY(secondResult.has_value());
    QVERIFY(!*secondResult);
    QCOMPARE(server_.requestCount("/second.wma"), std::size_t(0));
    QVERIFY(!QFile::exists(second));
    // The first went on reporting and finished.
    QVERIFY(log.events.size() > eventsAtSecond);
    QCOMPARE(log.events.back().progress, qint64(body.size()));
    QCOMPARE(ReadWholeFile(first), body);
}

void CFileDownloadTest::failedDownloadsReturnFalse_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("earlierCopy");
    QTest::newRow("404 stores nothing") << server_.url("/missing.wma") << false;
    QTest::newRow("404 over an earlier copy") << server_.url("/missing.wma") << true;
    QTest::newRow("cut mid-body over an earlier copy") << server_.url("/cut.wma") << true;
    QTest::newRow("cut mid-body stores nothing") << server_.url("/cut.wma") << false;
    QTest::newRow("redirect to a missing page") << server_.url("/moved.wma") << true;
    QTest::newRow("connection refused")
        << QStringLiteral("http://127.0.0.1:%1/a.wma").arg(UnusedLoopbackPort()) << true;
}

void CFileDownloadTest::failedDownloadsReturnFalse()
{
    QFETCH(QString, address);
    QFETCH(bool, earlierCopy);
    server_.serveCutMidBody("/cut.wma", GeneratedBytes(200 * 1000), 500 * 1000);
    server_.redirect("/moved.wma", "/gone.wma");
    server_.serveBytes("/good.wma", GeneratedBytes(1000));
    const QString path = target(QStringLiteral("冠心病.zip"));
    const QByteArray earlier = "PK earlier complete lecture";
    if (earlierCopy)
        QVERIFY(WriteWholeFile(path, earlier));
    CFileDownload download;

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!download.StartDownloading(address, path));
    // Refused or answered at once: nothing waited for a time-out.
    QVERIFY(timer.elapsed() < std::chrono::milliseconds(platform::CurrentNetworkLimits().connectTimeout).count());

    if (earlierCopy)
        QCOMPARE(ReadWholeFile(path), earlier);
    else
        QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(path + ".part"));
    // The failure left the object idle: the next download runs.
    QVERIFY(download.StartDownloading(server_.url("/good.wma"), target("next.zip")));
}

void CFileDownloadTest::stalledServerReturnsFalse()
{
    server_.serveSlowly("/stuck.wma", GeneratedBytes(2000), 1000, std::chrono::seconds(30));
    const QString path = target(QStringLiteral("卡住.zip"));
    const platform::NetworkLimits saved = platform::CurrentNetworkLimits();
    platform::CurrentNetworkLimits().stallTimeout = std::chrono::seconds(1);
    CFileDownload download;
    const bool result = download.StartDownloading(server_.url("/stuck.wma"), path);
    platform::CurrentNetworkLimits() = saved;

    QVERIFY(!result);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(path + ".part"));
}

void CFileDownloadTest::eventPumpRunsWhileTheTransferBlocks()
{
    // Ten pieces 100 ms apart, a timer every 20 ms: the window is served
    // while the call blocks, even in the gaps without data.
    server_.serveSlowly("/slow.wma", GeneratedBytes(10 * 1000), 1000, std::chrono::milliseconds(100));
    CFileDownload download;
    bool blocked = false;
    int ticksWhileBlocked = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] { ticksWhileBlocked += blocked ? 1 : 0; });
    timer.start();

    blocked = true;
    QVERIFY(download.StartDownloading(server_.url("/slow.wma"), target("slow.zip")));
    blocked = false;

    QVERIFY2(ticksWhileBlocked >= 5, qPrintable(QString::number(ticksWhileBlocked)));
}

void CFileDownloadTest::releasingTheObjectInsideThePumpDoesNotAbort()
{
    const QByteArray body = GeneratedBytes(5 * 1000);
    server_.serveSlowly("/slow.wma", body, 1000, std::chrono::milliseconds(50));
    const QString path = target(QStringLiteral("关闭.zip"));
    auto* download = new CFileDownload;
    QPointer<CFileDownload> watch(download);
    QObject::connect(download, &CFileDownload::OnProgress, [&] {
        QTimer::singleShot(0, [&] { delete watch.data(); });
    });

    QVERIFY(download->StartDownloading(server_.url("/slow.wma"), path));

    QVERIFY(watch.isNull());
    QCOMPARE(ReadWholeFile(path), body);
}

void CFileDownloadTest::throttle_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QList<Event>>("expected");
    const QString text = QStringLiteral("http://h/讲座.wma");

    QTest::newRow("first progress raises at once")
        << QList<Step>{{5000, 10, 100, 5, text, true}}  //
        << QList<Event>{{10, 100, 0, 5, text}};
    QTest::newRow("progress 0 never raises, but pumps")
        << QList<Step>{{5000, 0, 0, 1, text, true}, {5020, 0, 0, 2, text, true}, {9000, 0, 100, 4, text, true}}
        << QList<Event>{};
    QTest::newRow("nothing within 100 ms of the last event")
        << QList<Step>{{5000, 10, 100, 5, text, true},
                       {5040, 20, 100, 5, text, false},
                       {5100, 30, 100, 5, text, true},
                       {5101, 40, 100, 5, text, true}}
        << QList<Event>{{10, 100, 0, 5, text}, {40, 100, 0, 5, text}};
    QTest::newRow("pump only beyond 50 ms")
        << QList<Step>{{5000, 10, 100, 5, text, true}, {5050, 20, 100, 5, text, false},
                       {5051, 20, 100, 5, text, true}}
        << QList<Event>{{10, 100, 0, 5, text}};
    QTest::newRow("speed counts from the first notification, with or without progress")
        << QList<Step>{{5000, 0, 0, 1, text, true}, {6000, 1536, 0, 5, text, true},
                       {7000, 2560, 0, 5, text, true}}
        << QList<Event>{{1536, 0, 2, 5, text}, {2560, 0, 1, 5, text}};
    QTest::newRow("2 GiB and beyond still raise events")
        << QList<Step>{{5000, qint64(1) << 31, qint64(5) << 30, 5, text, true},
                       {6000, (qint64(1) << 32) + 1, qint64(5) << 30, 5, text, true}}
        << QList<Event>{{qint64(1) << 31, qint64(5) << 30, 0, 5, text},
                        {(qint64(1) << 32) + 1, qint64(5) << 30, 4194304, 5, text}};
    QTest::newRow("missing status text is empty; code passes through")
        << QList<Step>{{5000, 10, 0, 42, QString(), true}, {5200, 20, 0, 7, QString(""), true}}
        << QList<Event>{{10, 0, 0, 42, QString()}, {20, 0, 0, 7, QString()}};
}

void CFileDownloadTest::throttle()
{
    QFETCH(QList<Step>, steps);
    QFETCH(QList<Event>, expected);
    qint64 now = 0;
    CFileDownload download([&now] { return now; });
    EventLog log(download);

    for (const Step& step : steps) {
        now = step.now;
        bool pumped = false;
        QMetaObject::invokeMethod(&download, [&pumped] { pumped = true; }, Qt::QueuedConnection);
        const std::u16string text = step.statusText.toStdU16String();
        download.IBindStatusCallback_OnProgress(step.progress, step.maxProgress, step.statusCode,
                                                step.statusText.isNull() ? nullptr : text.c_str());
        QVERIFY2(pumped == step.expectPump, qPrintable(QStringLiteral("pump at tick %1").arg(step.now)));
        QCoreApplication::processEvents();
    }
    QCOMPARE(QList<Event>(log.events.begin(), log.events.end()), expected);
}

void CFileDownloadTest::secondDownloadMeasuresSpeedFromItsOwnStart()
{
    server_.serveBytes("/second.wma", GeneratedBytes(50 * 1000));
    qint64 now = 1000;
    CFileDownload download([&now] { return now; });
    EventLog log(download);
    // The first download's notifications start its clock at 1000.
    download.IBindStatusCallback_OnProgress(100, 0, 5, nullptr);
    QCOMPARE(log.events.size(), std::size_t(1));

    // The second download begins at 10000 (the clock stands still while it runs) ...
    now = 10000;
    QVERIFY(download.StartDownloading(server_.url("/second.wma"), target("second.zip")));
    // ... so 2048 bytes one second later is 2 KB/s, not 0.2 since 1000.
    now = 11000;
    download.IBindStatusCallback_OnProgress(2048, 0, 5, nullptr);
    QCOMPARE(log.events.back().progress, qint64(2048));
    QCOMPARE(log.events.back().speed, 2);
}

void CFileDownloadTest::abortTouchesOnlyAHeldBinding_data()
{
    QTest::addColumn<QString>("calls");  // s start, e stop, a abort
    QTest::addColumn<int>("expectedAborts");
    QTest::newRow("nothing ever ran") << "a" << 0;
    QTest::newRow("running") << "sa" << 1;
    QTest::newRow("running, aborted twice") << "saa" << 2;
    QTest::newRow("leftover of a finished transfer") << "sea" << 0;
    QTest::newRow("after an aborted transfer stopped") << "saea" << 1;
}

void CFileDownloadTest::abortTouchesOnlyAHeldBinding()
{
    QFETCH(QString, calls);
    QFETCH(int, expectedAborts);
    auto binding = std::make_shared<CountingBinding>();
    {
        CFileDownload download;
        for (const QChar call : calls) {
            if (call == 's')
                download.IBindStatusCallback_OnStartBinding(binding);
            else if (call == 'e')
                download.IBindStatusCallback_OnStopBinding(1, u"aborted");
            else
                download.AbortDownloading();
        }
        QCOMPARE(binding->aborts, expectedAborts);
    }
    // Every reference the object took is given back with it.
    QCOMPARE(binding.use_count(), 1);
}

void CFileDownloadTest::startIsRefusedOnlyWhileRunning()
{
    server_.serveBytes("/a.wma", GeneratedBytes(1000));
    const QString path = target("a.zip");
    auto binding = std::make_shared<CountingBinding>();
    CFileDownload download;

    // Running: refused without asking the server.
    download.IBindStatusCallback_OnStartBinding(binding);
    QCOMPARE(binding.use_count(), 3);  // ours, oBinding and the extra reference
    QVERIFY(!download.StartDownloading(server_.url("/a.wma"), path));
    QCOMPARE(server_.requestCount("/a.wma"), std::size_t(0));

    // Aborting: the flag is already down, so a new download goes ahead.
    download.AbortDownloading();
    QCOMPARE(binding->aborts, 1);
    QVERIFY(download.StartDownloading(server_.url("/a.wma"), path));
    QCOMPARE(server_.requestCount("/a.wma"), std::size_t(1));
    QVERIFY(QFile::exists(path));
    // That transfer's start replaced the binding and its stop gave the
    // extra reference back.
    QCOMPARE(binding.use_count(), 1);
    download.AbortDownloading();
    QCOMPARE(binding->aborts, 1);
}

void CFileDownloadTest::strFromPtr_data()
{
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<QByteArray>("bytes");  // the text's code units, NUL added here
    QTest::addColumn<bool>("null");
    QTest::addColumn<QString>("expected");
    const auto utf16 = [](const QString& s) {
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    };
    QTest::newRow("UTF-16 null pointer") << true << QByteArray() << true << QString();
    QTest::newRow("UTF-16 empty") << true << QByteArray() << false << QString();
    QTest::newRow("UTF-16 Chinese") << true << utf16(QStringLiteral("我的收藏\\冠心病.zip"))
                                    << false << QStringLiteral("我的收藏\\冠心病.zip");
    QTest::newRow("UTF-16 stops at the first NUL")
        << true << utf16(QStringLiteral("前")) + QByteArray(2, '\0') + utf16(QStringLiteral("后")) << false
        << QStringLiteral("前");
    QTest::newRow("narrow null pointer") << false << QByteArray() << true << QString();
    QTest::newRow("narrow text") << false << QByteArray("text/html") << false << QStringLiteral("text/html");
    QTest::newRow("narrow local 8-bit Chinese") << false << QStringLiteral("讲座").toLocal8Bit() << false
                                                << QStringLiteral("讲座");
}

void CFileDownloadTest::strFromPtr()
{
    QFETCH(bool, unicode);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, null);
    QFETCH(QString, expected);
    // Text behind the terminator must not be read.
    const QByteArray buffer = bytes + QByteArray(unicode ? 2 : 1, '\0') + QByteArray("XXXX");
    const QString result = CFileDownload::StrFromPtr(null ? nullptr : buffer.constData(), unicode);
    QCOMPARE(result, expected);
}

QTEST_GUILESS_MAIN(CFileDownloadTest)
#include "CFileDownloadTest.moc"
