// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadEngine.h"

#include "platform/net/NetworkAccess.h"
#include "support/FileBytes.h"
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
};

// What the engine told: its progress and each end.
struct EventLog {
    explicit EventLog(DownloadEngine& download)
    {
        QObject::connect(&download, &DownloadEngine::progressed, [this](qint64 p, qint64 m, qint32 s) {
            events.append({p, m, s});
        });
        QObject::connect(&download, &DownloadEngine::finished,
                         [this](const DownloadResult& result) { ends.append(result); });
    }
    QList<Event> events;
    QList<DownloadResult> ends;
};

}  // namespace

class DownloadEngineTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void completeDownloadReportsProgressAndItsEnd();
    void failedDownloadEndsWithItsReason();
    void abortFromAProgressHandlerEndsIt();
    void deletingTheEngineCancelsItsDownload();
    void speedCountsFromTheDownloadsOwnStart();
    void abortWithNothingRunningChangesNothing_data();
    void abortWithNothingRunningChangesNothing();
    void secondStartWhileRunningIsRefused();
    void startAfterAnAbortIsAccepted();

private:
    QString target(const QString& name) const { return dir_->filePath(QStringLiteral("我的收藏/") + name); }
    // The end of the download started last.
    static bool waitForEnd(const EventLog& log, qsizetype ends = 1)
    {
        return QTest::qWaitFor([&] { return log.ends.size() >= ends; }, 60000);
    }

    platform::NetworkAccess network_;
    TestHttpServer server_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void DownloadEngineTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("我的收藏")));
}

void DownloadEngineTest::completeDownloadReportsProgressAndItsEnd()
{
    const QByteArray body = generatedBytes(2 * 1024 * 1024 + 5);
    server_.serveSlowly("/lectures/1.wma", body, 256 * 1024, std::chrono::milliseconds(120));
    const QString path = target(QStringLiteral("第十届心血管病学大会冠心病介入.zip"));
    DownloadEngine download(network_);
    EventLog log(download);

    QVERIFY(download.start(server_.url("/lectures/1.wma"), path));
    // Nothing is stored or reported inside start().
    QVERIFY(download.isDownloading());
    QVERIFY(log.events.isEmpty());
    QVERIFY(waitForEnd(log));

    QCOMPARE(log.ends.size(), 1);
    QCOMPARE(log.ends.front().outcome(), Outcome::Complete);
    QCOMPARE(download.lastResult().outcome(), Outcome::Complete);
    QVERIFY(!download.isDownloading());
    QCOMPARE(readWholeFile(path), body);
    QVERIFY(!log.events.empty());
    qint64 previous = 0;
    for (const Event& e : log.events) {
        QVERIFY(e.progress >= previous);
        previous = e.progress;
        QCOMPARE(e.maxProgress, qint64(body.size()));
    }
    // A second of 2 MiB at the most is at least some kilobytes a second.
    QVERIFY(log.events.back().speed > 0);
}

void DownloadEngineTest::failedDownloadEndsWithItsReason()
{
    const QString path = target(QStringLiteral("冠心病.zip"));
    DownloadEngine download(network_);
    EventLog log(download);

    QVERIFY(download.start(server_.url("/missing.wma"), path));
    QVERIFY(waitForEnd(log));

    QCOMPARE(log.ends.front().outcome(), Outcome::HttpStatus);
    QCOMPARE(log.ends.front().httpStatus(), 404);
    QCOMPARE(download.lastResult().httpStatus(), 404);
    QVERIFY(!QFile::exists(path));
    // The failure left the engine idle: the next download runs.
    server_.serveBytes("/good.wma", generatedBytes(1000));
    QVERIFY(download.start(server_.url("/good.wma"), target("next.zip")));
    QVERIFY(waitForEnd(log, 2));
    QCOMPARE(readWholeFile(target("next.zip")), generatedBytes(1000));
}

void DownloadEngineTest::abortFromAProgressHandlerEndsIt()
{
    // Twenty pieces 100 ms apart: ignoring the abort would finish the file.
    server_.serveSlowly("/slow.wma", generatedBytes(20 * 1000), 1000, std::chrono::milliseconds(100));
    const QString path = target(QStringLiteral("心衰.zip"));
    DownloadEngine download(network_);
    EventLog log(download);
    QObject::connect(&download, &DownloadEngine::progressed, [&] { download.abort(); });

    QVERIFY(download.start(server_.url("/slow.wma"), path));
    QTRY_COMPARE(log.events.size(), 1);
    QTRY_VERIFY(!download.isUnwinding());
    QTest::qWait(300);

    // An aborted download tells nothing more, not even its end.
    QCOMPARE(log.events.size(), 1);
    QCOMPARE(log.ends.size(), 0);
    QCOMPARE(download.lastResult().outcome(), Outcome::Cancelled);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(dir_->filePath(QStringLiteral("我的收藏"))).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// As when the window closes in the middle of a download.
void DownloadEngineTest::deletingTheEngineCancelsItsDownload()
{
    server_.serveSlowly("/slow.wma", generatedBytes(20 * 1000), 1000, std::chrono::milliseconds(100));
    const QString path = target(QStringLiteral("关闭.zip"));
    QPointer<DownloadEngine> download(new DownloadEngine(network_));
    QObject::connect(download, &DownloadEngine::progressed,
                     [&] { QTimer::singleShot(0, [&] { delete download.data(); }); });

    QVERIFY(download->start(server_.url("/slow.wma"), path));
    QTRY_VERIFY(download.isNull());
    QTest::qWait(2500);

    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(dir_->filePath(QStringLiteral("我的收藏"))).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void DownloadEngineTest::speedCountsFromTheDownloadsOwnStart()
{
    server_.serveBytes("/first.wma", generatedBytes(1000));
    server_.serveBytes("/second.wma", generatedBytes(20 * 1024));
    qint64 now = 1000;
    DownloadEngine download(network_, DownloadOptions(), [&now] { return now; });
    EventLog log(download);
    QVERIFY(download.start(server_.url("/first.wma"), target("first.zip")));
    QVERIFY(waitForEnd(log));

    // The second begins at 10000 and the clock then stands at 11000 while
    // it runs: its bytes came in one second, not in ten since 1000.
    now = 10000;
    QVERIFY(download.start(server_.url("/second.wma"), target("second.zip")));
    now = 11000;
    QVERIFY(waitForEnd(log, 2));

    const Event last = log.events.back();
    QVERIFY(last.progress > 0);
    QCOMPARE(last.speed, qint32(last.progress / 1024));
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
    DownloadEngine download(network_);
    EventLog log(download);
    if (finishedBefore) {
        QVERIFY(download.start(server_.url("/a.wma"), target("first.zip")));
        QVERIFY(waitForEnd(log));
    }

    download.abort();

    QVERIFY(!download.isDownloading());
    QCOMPARE(download.lastResult().outcome(), finishedBefore ? Outcome::Complete : Outcome::Refused);
    QVERIFY(download.start(server_.url("/a.wma"), target("a.zip")));
    QVERIFY(waitForEnd(log, finishedBefore ? 2 : 1));
    QCOMPARE(readWholeFile(target("a.zip")), generatedBytes(1000));
    if (finishedBefore)
        QCOMPARE(readWholeFile(target("first.zip")), generatedBytes(1000));
}

void DownloadEngineTest::secondStartWhileRunningIsRefused()
{
    const QByteArray body = generatedBytes(5 * 1000);
    server_.serveSlowly("/slow.wma", body, 1000, std::chrono::milliseconds(50));
    server_.serveBytes("/b.wma", generatedBytes(1000));
    DownloadEngine download(network_);
    EventLog log(download);

    QVERIFY(download.start(server_.url("/slow.wma"), target("a.zip")));
    QVERIFY(!download.start(server_.url("/b.wma"), target("b.zip")));
    QCOMPARE(download.lastResult().outcome(), Outcome::Refused);
    QVERIFY(waitForEnd(log));

    QCOMPARE(server_.requestCount("/b.wma"), 0u);
    // The running download went on untouched.
    QCOMPARE(log.ends.size(), 1);
    QCOMPARE(readWholeFile(target("a.zip")), body);
    QCOMPARE(download.lastResult().outcome(), Outcome::Complete);
}

// Once abort() has been called, the aborted download no longer counts as
// running, even before it has unwound: a start that comes meanwhile runs.
void DownloadEngineTest::startAfterAnAbortIsAccepted()
{
    server_.serveSlowly("/slow.wma", generatedBytes(20 * 1000), 1000, std::chrono::milliseconds(100));
    server_.serveBytes("/b.wma", generatedBytes(1000));
    DownloadEngine download(network_);
    EventLog log(download);

    QVERIFY(download.start(server_.url("/slow.wma"), target("a.zip")));
    download.abort();
    download.abort();  // a second abort changes nothing
    QVERIFY(!download.isDownloading());
    QVERIFY(download.start(server_.url("/b.wma"), target("b.zip")));
    QVERIFY(waitForEnd(log));

    QCOMPARE(log.ends.size(), 1);
    QCOMPARE(readWholeFile(target("b.zip")), generatedBytes(1000));
    QTRY_VERIFY(!download.isUnwinding());
    QVERIFY(!QFile::exists(target("a.zip")));
    QVERIFY(!download.isDownloading());
}

QTEST_GUILESS_MAIN(DownloadEngineTest)
#include "DownloadEngineTest.moc"
