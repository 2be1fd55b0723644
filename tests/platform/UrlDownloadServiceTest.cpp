#include "platform/net/NetworkLimits.h"
#include "platform/net/PartialDownload.h"
#include "platform/net/UrlDownloadService.h"
#include "support/FileBytes.h"
#include "support/FreePort.h"
#include "support/TestHttpServer.h"

#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

// Records every notification of one transfer in the order it came.
class RecordingObserver : public TransferObserver {
public:
    struct Notification {
        char kind;  // 's' start, 'p' progress, 'e' end (stop)
        qint64 progress = 0;
        qint64 progressMax = 0;
        qint32 code = 0;
        std::optional<QString> text;  // none when the service passed null
    };

    std::vector<Notification> notifications;
    std::shared_ptr<TransferHandle> handle;
    std::function<void(RecordingObserver&, const Notification&)> onProgress;

    void transferStarted(std::shared_ptr<TransferHandle> b) override
    {
        handle = std::move(b);
        notifications.push_back({'s', 0, 0, 0, std::nullopt});
    }
    void transferProgressed(qint64 progress, qint64 progressMax, qint32 statusCode, const char16_t* statusText) override
    {
        notifications.push_back({'p', progress, progressMax, statusCode, textOf(statusText)});
        if (onProgress)
            onProgress(*this, notifications.back());
    }
    void transferStopped(qint32 result, const char16_t* error) override
    {
        notifications.push_back({'e', 0, 0, result, textOf(error)});
    }

    std::vector<Notification> progress() const
    {
        std::vector<Notification> result;
        std::copy_if(notifications.begin(), notifications.end(), std::back_inserter(result),
                     [](const Notification& n) { return n.kind == 'p'; });
        return result;
    }

private:
    static std::optional<QString> textOf(const char16_t* text)
    {
        return text ? std::optional(QString::fromUtf16(text)) : std::nullopt;
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

class UrlDownloadServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void storesTheCompleteBodyUnderTheTarget_data();
    void storesTheCompleteBodyUnderTheTarget();
    void failuresLeaveTheTargetAsItWas_data();
    void failuresLeaveTheTargetAsItWas();
    void abortStopsTheTransfer_data();
    void abortStopsTheTransfer();
    void keepsNotifyingWhileTheServerIsQuiet();
    void resumesWhereTheTransferBrokeOff_data();
    void resumesWhereTheTransferBrokeOff();
    void cancelledTransferIsNotResumed();
    void processKilledMidTransferResumes();
    void partialsThatWillNotBeResumedArePruned_data();
    void partialsThatWillNotBeResumedArePruned();
    void addressesAreSentAsABrowserWould_data();
    void addressesAreSentAsABrowserWould();
    void namesUpToTheFileSystemLimit_data();
    void namesUpToTheFileSystemLimit();

private:
    QString target(const QString& name) const { return dir_->filePath(name); }
    QString favourites() const { return dir_->filePath(QStringLiteral("我的收藏")); }

    TestHttpServer server_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void UrlDownloadServiceTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("我的收藏")));
}

void UrlDownloadServiceTest::storesTheCompleteBodyUnderTheTarget_data()
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

void UrlDownloadServiceTest::storesTheCompleteBodyUnderTheTarget()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, body);
    QFETCH(bool, lengthAnnounced);
    QFETCH(QString, leftover);
    QString finalAddress = server_.url("/lecture.zip");
    if (how == "bytes") {
        server_.serveBytes("/lecture.zip", body);
    } else if (how == "chunked") {
        server_.serveWithoutLength("/lecture.zip", body);
    } else if (how == "slow") {
        server_.serveSlowly("/lecture.zip", body, 1000, std::chrono::milliseconds(20));
    } else {
        server_.serveBytes("/files/new.zip", body);
        server_.redirect("/lecture.zip", "/files/new.zip");
        finalAddress = server_.url("/files/new.zip");
    }
    const std::size_t askedBefore = server_.requestCount("/lecture.zip");
    const QString path = target(QStringLiteral("我的收藏/冠心病介入治疗进展.zip"));
    if (leftover == "target")
        QVERIFY(writeWholeFile(path, QByteArray(100000, 'y')));

    RecordingObserver observer;
    const int result = downloadToFile(server_.url("/lecture.zip"), path, observer);

    QCOMPARE(result, int(kDownloadComplete));
    QCOMPARE(readWholeFile(path), body);
    QCOMPARE(hiddenFiles(favourites()), QStringList());
    QCOMPARE(server_.requestCount("/lecture.zip"), askedBefore + 1);

    // Start first, stop last with success and no error text, progress in between.
    const auto& all = observer.notifications;
    const auto progress = observer.progress();
    QVERIFY(observer.handle && !progress.empty());
    QCOMPARE(all.front().kind, 's');
    QCOMPARE(all.back().kind, 'e');
    QCOMPARE(all.back().code, 0);
    QVERIFY(!all.back().text);
    QCOMPARE(progress.size(), all.size() - 2);
    qint64 previous = 0;
    for (const auto& n : progress) {
        QVERIFY2(n.progress >= previous, "progress went back");
        previous = n.progress;
        // The total is the announced length or, while unknown, 0.
        QVERIFY(n.progressMax == 0 || (lengthAnnounced && n.progressMax == body.size()));
        QVERIFY(n.text);
    }
    // The address asked for until the data comes, then where it came from.
    QCOMPARE(progress.front().text, server_.url("/lecture.zip"));
    QCOMPARE(progress.back().text, finalAddress);
    QCOMPARE(progress.front().code, qint32(kStatusFindingResource));
    QCOMPARE(progress.back().code, qint32(kStatusEndDownloadData));
    QCOMPARE(progress.back().progress, qint64(body.size()));
    QCOMPARE(progress.back().progressMax, lengthAnnounced ? qint64(body.size()) : 0);
}

void UrlDownloadServiceTest::failuresLeaveTheTargetAsItWas_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("expected");
    const QString refused = QStringLiteral("http://127.0.0.1:%1/lecture.zip").arg(unusedLoopbackPort());
    QTest::newRow("404 page") << server_.url("/missing.zip") << int(kDownloadHttpError);
    QTest::newRow("500 page") << server_.url("/error.zip") << int(kDownloadHttpError);
    QTest::newRow("redirect to a missing page") << server_.url("/moved.zip") << int(kDownloadHttpError);
    QTest::newRow("connection cut mid-body") << server_.url("/cut.zip") << int(kDownloadTransferFailed);
    QTest::newRow("server stalls past the limit") << server_.url("/stuck.zip") << int(kDownloadTransferFailed);
    QTest::newRow("connection refused") << refused << int(kDownloadTransferFailed);
    QTest::newRow("not an http address") << QStringLiteral("ftp://127.0.0.1/lecture.zip")
                                         << int(kDownloadTransferFailed);
}

void UrlDownloadServiceTest::failuresLeaveTheTargetAsItWas()
{
    QFETCH(QString, address);
    QFETCH(int, expected);
    server_.serveBytes("/error.zip", "<h1>Internal error</h1>", 500, "text/html");
    server_.redirect("/moved.zip", "/gone.zip");
    server_.serveCutMidBody("/cut.zip", generatedBytes(300 * 1000), 1000 * 1000);
    // Two pieces 30 s apart; the shortened stall limit must end it long before.
    server_.serveSlowly("/stuck.zip", generatedBytes(2000), 1000, std::chrono::seconds(30));
    const auto restoreLimits = qScopeGuard([saved = currentNetworkLimits()] { currentNetworkLimits() = saved; });
    currentNetworkLimits().stallTimeout = std::chrono::seconds(1);

    // Once over an earlier good copy, once with nothing there yet.
    const QByteArray earlier = generatedBytes(1000) + "the earlier good copy";
    for (const bool hadCopy : {true, false}) {
        const QString path = target(QStringLiteral("我的收藏/心衰.zip"));
        QFile::remove(path);
        if (hadCopy)
            QVERIFY(writeWholeFile(path, earlier));

        RecordingObserver observer;
        QElapsedTimer timer;
        timer.start();
        const int result = downloadToFile(address, path, observer);

        QCOMPARE(result, expected);
        // A refused connection is an immediate failure, not a time-out.
        QVERIFY(timer.elapsed() < std::chrono::milliseconds(currentNetworkLimits().connectTimeout).count());
        if (hadCopy)
            QCOMPARE(readWholeFile(path), earlier);
        else
            QVERIFY(!QFile::exists(path));
        // Nothing to resume: the test server names no validator.
        QCOMPARE(hiddenFiles(favourites()), QStringList());
        const auto& all = observer.notifications;
        QVERIFY(all.front().kind == 's' && all.back().kind == 'e');
        QCOMPARE(all.back().code, expected);
        QVERIFY(!all.back().text.value_or(QString()).isEmpty());
    }
}

void UrlDownloadServiceTest::abortStopsTheTransfer_data()
{
    QTest::addColumn<qint32>("abortAtCode");
    QTest::newRow("before connecting") << qint32(kStatusFindingResource);
    QTest::newRow("while waiting for the server") << qint32(kStatusConnecting);
    QTest::newRow("once data arrives") << qint32(kStatusBeginDownloadData);
    // The whole body is in, the file not yet named: the cancel still wins.
    QTest::newRow("in the last notification") << qint32(kStatusEndDownloadData);
}

void UrlDownloadServiceTest::abortStopsTheTransfer()
{
    QFETCH(qint32, abortAtCode);
    // Twenty pieces, 100 ms apart: a transfer that ignored the abort would
    // run on for two seconds and finish.
    server_.serveSlowly("/slow.zip", generatedBytes(20 * 1000), 1000, std::chrono::milliseconds(100));
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));
    QVERIFY(writeWholeFile(path, "earlier"));

    RecordingObserver observer;
    std::size_t abortedAt = 0;
    observer.onProgress = [&](RecordingObserver& self, const RecordingObserver::Notification& n) {
        if (!abortedAt && n.code == abortAtCode) {
            abortedAt = self.notifications.size();
            self.handle->abort();
        }
    };
    const int result = downloadToFile(server_.url("/slow.zip"), path, observer);

    QCOMPARE(result, int(kDownloadAborted));
    QVERIFY(abortedAt > 0);
    // Nothing but the stop after the notification that aborted.
    QCOMPARE(observer.notifications.size(), abortedAt + 1);
    QCOMPARE(observer.notifications.back().kind, 'e');
    QCOMPARE(observer.notifications.back().code, int(kDownloadAborted));
    observer.handle->abort();  // after the end: changes nothing
    QCOMPARE(readWholeFile(path), QByteArray("earlier"));
    QCOMPARE(hiddenFiles(favourites()), QStringList());
}

void UrlDownloadServiceTest::keepsNotifyingWhileTheServerIsQuiet()
{
    server_.serveSlowly("/quiet.zip", generatedBytes(2000), 1000, std::chrono::milliseconds(500));
    RecordingObserver observer;
    QCOMPARE(downloadToFile(server_.url("/quiet.zip"), target("quiet.zip"), observer), int(kDownloadComplete));

    // Half a second without a byte, twice: the caller hears from the
    // service many times meanwhile, with unchanged progress.
    const auto progress = observer.progress();
    for (const qint64 bytes : {0, 1000}) {
        const auto heard =
            std::count_if(progress.begin(), progress.end(), [bytes](const auto& n) { return n.progress == bytes; });
        QVERIFY2(heard >= 5, qPrintable(QStringLiteral("%1 times at %2 bytes").arg(heard).arg(bytes)));
    }
}

void UrlDownloadServiceTest::resumesWhereTheTransferBrokeOff_data()
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
}

void UrlDownloadServiceTest::resumesWhereTheTransferBrokeOff()
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

    RecordingObserver broken;
    QCOMPARE(downloadToFile(server.url("/lecture.zip"), path, broken), int(kDownloadTransferFailed));
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
    RecordingObserver resumed;
    QCOMPARE(downloadToFile(server.url("/lecture.zip"), path, resumed), int(kDownloadComplete));

    QCOMPARE(readWholeFile(path), second.body);
    QCOMPARE(hiddenFiles(favourites()), QStringList());
    const auto seen = server.requests();
    QCOMPARE(int(seen.size()), requests);
    QCOMPARE(seen[1].header("Range"), "bytes=" + std::to_string(cut) + '-');
    QCOMPARE(seen[1].header("If-Range"), first.validator);
    QCOMPARE(seen.back().header("Range"), std::string(requests == 3 ? "" : seen[1].header("Range")));
    // The percentage counts the whole lecture: a resumed one starts where
    // the kept bytes end.
    const auto progress = resumed.progress();
    const auto firstData = std::find_if(progress.begin(), progress.end(), [](const auto& n) { return n.progress > 0; });
    QVERIFY(firstData != progress.end());
    QCOMPARE(firstData->progressMax, qint64(second.body.size()));
    if (answer == TestHttpServer::Resumable::Honour && !fileChanged)
        QVERIFY(firstData->progress > cut);
}

void UrlDownloadServiceTest::cancelledTransferIsNotResumed()
{
    TestHttpServer::Resumable resource = slowLecture(std::chrono::milliseconds(50));
    server_.serveResumable("/slow.zip", resource);
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));

    RecordingObserver cancelled;
    cancelled.onProgress = [](RecordingObserver& self, const RecordingObserver::Notification& n) {
        if (n.progress >= 5000)
            self.handle->abort();
    };
    QCOMPARE(downloadToFile(server_.url("/slow.zip"), path, cancelled), int(kDownloadAborted));
    QCOMPARE(hiddenFiles(favourites()), QStringList());

    RecordingObserver again;
    QCOMPARE(downloadToFile(server_.url("/slow.zip"), path, again), int(kDownloadComplete));
    QCOMPARE(readWholeFile(path), resource.body);
    QCOMPARE(server_.requests().back().header("Range"), std::string());
}

void UrlDownloadServiceTest::processKilledMidTransferResumes()
{
    TestHttpServer::Resumable resource = slowLecture(std::chrono::milliseconds(100));
    server_.serveResumable("/slow.zip", resource);
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));

    // The exit command ends the process at once, whatever is running; a
    // child process stands in for the program so that the test goes on.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        RecordingObserver observer;
        observer.onProgress = [](RecordingObserver& self, const RecordingObserver::Notification& n) {
            if (n.progress >= 5000)
                std::_Exit(self.handle ? 0 : 3);
        };
        downloadToFile(server_.url("/slow.zip"), path, observer);
        std::_Exit(4);  // the transfer finished: it was not ended mid-way
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(status)));
    QVERIFY(!QFile::exists(path));

    resource.pause = std::chrono::milliseconds(0);
    server_.serveResumable("/slow.zip", resource);
    RecordingObserver observer;
    QCOMPARE(downloadToFile(server_.url("/slow.zip"), path, observer), int(kDownloadComplete));
    QCOMPARE(readWholeFile(path), resource.body);
    const std::string range = server_.requests().back().header("Range");
    QVERIFY2(range.rfind("bytes=", 0) == 0 && std::stoll(range.substr(6)) >= 5000, range.c_str());
    QCOMPARE(hiddenFiles(favourites()), QStringList());
}

void UrlDownloadServiceTest::partialsThatWillNotBeResumedArePruned_data()
{
    QTest::addColumn<int>("ageDays");
    QTest::addColumn<bool>("lectureStored");  // the complete lecture is there by now
    QTest::addColumn<bool>("kept");
    QTest::newRow("a day old") << 1 << false << true;
    QTest::newRow("older than 30 days") << 31 << false << false;
    QTest::newRow("the lecture is stored now") << 1 << true << false;
}

void UrlDownloadServiceTest::partialsThatWillNotBeResumedArePruned()
{
    QFETCH(int, ageDays);
    QFETCH(bool, lectureStored);
    QFETCH(bool, kept);
    TestHttpServer::Resumable resource;
    resource.body = generatedBytes(100 * 1000);
    resource.cutAfter = 30 * 1000;
    server_.serveResumable("/cut.zip", resource);
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));
    RecordingObserver observer;
    QCOMPARE(downloadToFile(server_.url("/cut.zip"), path, observer), int(kDownloadTransferFailed));
    const QStringList partial = hiddenFiles(favourites());
    QCOMPARE(partial.size(), 2);
    for (const QString& name : partial) {
        QFile file(favourites() + u'/' + name);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-ageDays), QFileDevice::FileModificationTime));
    }
    if (lectureStored)
        QVERIFY(writeWholeFile(path, resource.body));

    prunePartialDownloads(favourites(), std::chrono::hours(24 * 30));

    QCOMPARE(hiddenFiles(favourites()), kept ? partial : QStringList());
}

void UrlDownloadServiceTest::addressesAreSentAsABrowserWould_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("inner space") << "" << "/audio/a b.wma" << "" << QByteArray("/audio/a%20b.wma");
    QTest::newRow("blanks at either end") << " \t" << "/audio/ab.wma" << " \r\n" << QByteArray("/audio/ab.wma");
    QTest::newRow("already encoded") << "" << "/audio/a%20b.wma" << "" << QByteArray("/audio/a%20b.wma");
    QTest::newRow("Chinese") << "" << "/audio/讲座.wma" << "" << QByteArray("/audio/%E8%AE%B2%E5%BA%A7.wma");
    QTest::newRow("a percent sign of its own") << "" << "/audio/100%.wma" << "" << QByteArray("/audio/100%25.wma");
    QTest::newRow("quotes and braces") << "" << "/audio/\"a\"{b}.wma" << "" << QByteArray("/audio/%22a%22%7Bb%7D.wma");
}

void UrlDownloadServiceTest::addressesAreSentAsABrowserWould()
{
    QFETCH(QString, before);
    QFETCH(QString, path);
    QFETCH(QString, after);
    QFETCH(QByteArray, sent);
    server_.serveBytes(QUrl::fromPercentEncoding(sent).toStdString(), "lecture");
    RecordingObserver observer;
    const QString address = before + server_.url(path) + after;
    QCOMPARE(downloadToFile(address, target(QStringLiteral("我的收藏/a.zip")), observer), int(kDownloadComplete));
    QCOMPARE(QByteArray::fromStdString(server_.requests().back().target), sent);
}

void UrlDownloadServiceTest::namesUpToTheFileSystemLimit_data()
{
    QTest::addColumn<int>("bytes");  // of the stored name, ".zip" included, in UTF-8
    QTest::addColumn<int>("expected");
    QTest::newRow("250") << 250 << int(kDownloadComplete);
    QTest::newRow("255, the most a name may have") << 255 << int(kDownloadComplete);
    QTest::newRow("256") << 256 << int(kDownloadFileError);
}

void UrlDownloadServiceTest::namesUpToTheFileSystemLimit()
{
    QFETCH(int, bytes);
    QFETCH(int, expected);
    QString name;
    while (name.toUtf8().size() + 3 + 4 <= bytes)
        name += QStringLiteral("讲");
    while (name.toUtf8().size() + 4 < bytes)
        name += u'a';
    name += QStringLiteral(".zip");
    QCOMPARE(name.toUtf8().size(), bytes);
    server_.serveBytes("/long.zip", generatedBytes(300 * 1000));
    const std::size_t askedBefore = server_.requestCount("/long.zip");

    RecordingObserver observer;
    const int result = downloadToFile(server_.url("/long.zip"), favourites() + u'/' + name, observer);

    QCOMPARE(result, expected);
    QCOMPARE(readWholeFile(favourites() + u'/' + name),
             expected == kDownloadComplete ? generatedBytes(300 * 1000) : QByteArray("<missing>"));
    // A name that cannot be stored is refused before the server is asked.
    QCOMPARE(server_.requestCount("/long.zip") - askedBefore, std::size_t(expected == kDownloadComplete ? 1 : 0));
    QCOMPARE(hiddenFiles(favourites()), QStringList());
}

QTEST_GUILESS_MAIN(UrlDownloadServiceTest)
#include "UrlDownloadServiceTest.moc"
