// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/PartialDownload.h"

#include "download/DownloadJob.h"
#include "platform/net/NetworkAccess.h"
#include "support/FileBytes.h"
#include "support/JobRun.h"
#include "support/TestHttpServer.h"

#include <QCryptographicHash>
#include <QtTest>

#include <cstdlib>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// The download's bookkeeping in the folder: partial files and records.
QStringList hiddenFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
}

}  // namespace

// The partial files a download leaves, as later runs of the program find
// them: pruned when they will not be resumed, read in the stored format,
// left by a process that was killed.
class PartialDownloadTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void partialsThatWillNotBeResumedArePruned_data();
    void partialsThatWillNotBeResumedArePruned();
    void resumesBytesKeptInTheStoredFormat();
    void processKilledMidTransferResumes();

private:
    QString target(const QString& name) const { return dir_->filePath(name); }
    QString favourites() const { return dir_->filePath(QStringLiteral("我的收藏")); }

    platform::NetworkAccess network_;
    TestHttpServer server_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void PartialDownloadTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("我的收藏")));
}

void PartialDownloadTest::partialsThatWillNotBeResumedArePruned_data()
{
    QTest::addColumn<int>("ageDays");
    QTest::addColumn<bool>("lectureStored");  // the complete lecture is there by now
    QTest::addColumn<bool>("kept");
    QTest::newRow("a day old") << 1 << false << true;
    QTest::newRow("older than 30 days") << 31 << false << false;
    QTest::newRow("the lecture is stored now") << 1 << true << false;
}

void PartialDownloadTest::partialsThatWillNotBeResumedArePruned()
{
    QFETCH(int, ageDays);
    QFETCH(bool, lectureStored);
    QFETCH(bool, kept);
    TestHttpServer::Resumable resource;
    resource.body = generatedBytes(100 * 1000);
    resource.cutAfter = 30 * 1000;
    server_.serveResumable("/cut.zip", resource);
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));
    DownloadJob download(network_, server_.url("/cut.zip"), path);
    QCOMPARE(runToEnd(download).outcome(), DownloadResult::Outcome::Network);
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

// Users have partial files that earlier versions left: their names and their
// record are read as those versions wrote them.
void PartialDownloadTest::resumesBytesKeptInTheStoredFormat()
{
    TestHttpServer::Resumable resource;
    resource.body = generatedBytes(100 * 1000);
    server_.serveResumable("/lecture.zip", resource);
    const QByteArray name = QStringLiteral("讲座%张医生$四十分钟.zip").toUtf8();
    const QByteArray key = QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(16);
    const QString stem = favourites() + QStringLiteral("/.kardelo-") + QString::fromLatin1(key);
    QVERIFY(writeWholeFile(stem + ".partial", resource.body.left(30 * 1000)));
    QVERIFY(writeWholeFile(stem + ".resume",
                           "kardelo-partial 1\nname " + name + "\naddress " + server_.url("/lecture.zip").toUtf8()
                               + "\nvalidator \"v1\"\ntotal 100000\n"));

    DownloadJob download(network_, server_.url("/lecture.zip"), favourites() + u'/' + QString::fromUtf8(name));
    QCOMPARE(runToEnd(download).outcome(), DownloadResult::Outcome::Complete);

    QCOMPARE(server_.requests().back().header("Range"), std::string("bytes=30000-"));
    QCOMPARE(server_.requests().back().header("If-Range"), std::string("\"v1\""));
    QCOMPARE(readWholeFile(favourites() + u'/' + QString::fromUtf8(name)), resource.body);
    QCOMPARE(hiddenFiles(favourites()), QStringList());
}

void PartialDownloadTest::processKilledMidTransferResumes()
{
    TestHttpServer::Resumable resource;
    resource.body = generatedBytes(20 * 1000);
    resource.pause = std::chrono::milliseconds(100);
    server_.serveResumable("/slow.zip", resource);
    const QString path = target(QStringLiteral("我的收藏/讲座.zip"));

    // The exit command ends the process at once, whatever is running; a
    // child process stands in for the program so that the test goes on.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // Of its own: the parent's connections are not the child's to use.
        platform::NetworkAccess network;
        DownloadJob download(network, server_.url("/slow.zip"), path);
        runToEnd(download, [](qint64 received, qint64) {
            if (received >= 5000)
                std::_Exit(0);
        });
        std::_Exit(4);  // the transfer finished: it was not ended mid-way
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(status)));
    QVERIFY(!QFile::exists(path));

    resource.pause = std::chrono::milliseconds(0);
    server_.serveResumable("/slow.zip", resource);
    DownloadJob download(network_, server_.url("/slow.zip"), path);
    QCOMPARE(runToEnd(download).outcome(), DownloadResult::Outcome::Complete);
    QCOMPARE(readWholeFile(path), resource.body);
    const std::string range = server_.requests().back().header("Range");
    QVERIFY2(range.rfind("bytes=", 0) == 0 && std::stoll(range.substr(6)) >= 5000, range.c_str());
    QCOMPARE(hiddenFiles(favourites()), QStringList());
}

QTEST_GUILESS_MAIN(PartialDownloadTest)
#include "PartialDownloadTest.moc"
