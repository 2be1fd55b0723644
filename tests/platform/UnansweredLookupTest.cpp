// SPDX-License-Identifier: GPL-3.0-or-later

// A name whose lookup never ends holds nothing up: not the thread that lets
// its request go, not the end of the process. ctest preloads
// support/NeverResolve into this test alone, so that any name ending in
// ".never.test" is looked up for ever, as behind a resolver that never
// answers, and every other name as usual.

#include "download/DownloadQueue.h"
#include "platform/net/HttpGet.h"
#include "platform/net/NetworkAccess.h"
#include "platform/net/Transfer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <dlfcn.h>

using platform::NetworkAccess;
using platform::Transfer;
using Outcome = Transfer::Result::Outcome;

namespace {

// Names the folder the child process downloads into; set, the test
// program is that child.
constexpr char kChildFolder[] = "KARDELO_UNANSWERED_LOOKUP_CHILD";
constexpr char kChildReady[] = "lookups waiting";
// Generous: each of these returns at once, and the machine may be busy.
constexpr qint64 kPromptMs = 2000;

enum class LetGo { Cancel, DeleteTransfer, DeleteNetworkAccess };

// How many lookups the stand-in holds for ever; -1 when it is not loaded.
int lookupsWaiting()
{
    using Count = int (*)();
    static const auto count = reinterpret_cast<Count>(dlsym(RTLD_DEFAULT, "neverResolveWaiting"));
    return count ? count() : -1;
}

// Serves events until the stand-in holds count lookups.
bool waitForLookups(int count)
{
    QDeadlineTimer deadline(15000);
    while (lookupsWaiting() < count && !deadline.hasExpired())
        QTest::qWait(10);
    return lookupsWaiting() >= count;
}

QString neverResolved(const char* what)
{
    static int made = 0;
    return QStringLiteral("http://%1-%2.never.test/a.mp3").arg(QLatin1String(what)).arg(++made);
}

// The program's end with lookups waiting: a list fetch on the window's
// thread and downloads on the queue's threads, let go of as the window
// does at its end, then the destructors.
int endWithLookupsWaiting(const QString& folder)
{
    NetworkAccess access;
    const int before = lookupsWaiting();
    const std::unique_ptr<Transfer> list(access.getText(neverResolved("list")));
    DownloadQueue queue;
    for (int i = 0; i < 3; ++i)
        queue.enqueue(neverResolved("lecture"), QStringLiteral("%1/lecture%2.mp3").arg(folder).arg(i),
                      QStringLiteral("讲座"));
    if (!waitForLookups(before + 4))
        return 2;
    std::puts(kChildReady);
    std::fflush(stdout);
    QObject::connect(
        &queue, &DownloadQueue::stopped, QCoreApplication::instance(), [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    queue.stopAll();
    return QCoreApplication::exec();
}

}  // namespace

Q_DECLARE_METATYPE(LetGo)

class UnansweredLookupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(lookupsWaiting() >= 0, "the stand-in lookup (support/NeverResolve) is not preloaded");
    }

    void lettingGoReturnsAtOnce_data()
    {
        QTest::addColumn<bool>("stream");
        QTest::addColumn<LetGo>("letGo");
        QTest::newRow("text fetch cancelled") << false << LetGo::Cancel;
        QTest::newRow("text fetch deleted") << false << LetGo::DeleteTransfer;
        QTest::newRow("stream cancelled") << true << LetGo::Cancel;
        QTest::newRow("stream deleted") << true << LetGo::DeleteTransfer;
        QTest::newRow("network access deleted with a text fetch") << false << LetGo::DeleteNetworkAccess;
        QTest::newRow("network access deleted with a stream") << true << LetGo::DeleteNetworkAccess;
    }

    void lettingGoReturnsAtOnce()
    {
        QFETCH(bool, stream);
        QFETCH(LetGo, letGo);
        auto access = std::make_unique<NetworkAccess>();
        const int before = lookupsWaiting();
        const QString address = neverResolved("letgo");
        std::unique_ptr<Transfer> transfer(stream ? access->getStream(address) : access->getText(address));
        QSignalSpy finished(transfer.get(), &Transfer::finished);
        QVERIFY(waitForLookups(before + 1));

        QElapsedTimer took;
        took.start();
        if (letGo == LetGo::Cancel)
            transfer->cancel();
        else if (letGo == LetGo::DeleteTransfer)
            transfer.reset();
        else
            access.reset();
        QVERIFY2(took.elapsed() < kPromptMs, qPrintable(QStringLiteral("took %1 ms").arg(took.elapsed())));
        if (transfer) {
            QVERIFY(finished.wait(kPromptMs));
            QCOMPARE(transfer->result().outcome, Outcome::Cancelled);
        }
    }

    void failsAtTheConnectLimit_data()
    {
        QTest::addColumn<int>("kind");  // 0: a text, 1: a stream, 2: the blocking text of the publisher's tool
        QTest::newRow("text fetch") << 0;
        QTest::newRow("stream") << 1;
        QTest::newRow("blocking text fetch") << 2;
    }

    // The limit passes while the name is still being looked up.
    void failsAtTheConnectLimit()
    {
        QFETCH(int, kind);
        platform::NetworkLimits limits;
        limits.connectTimeout = std::chrono::seconds(1);
        const QString address = neverResolved("limit");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Resolving timed out")));
        QElapsedTimer took;
        took.start();
        if (kind == 2) {
            QCOMPARE(platform::httpGet(address, limits), std::nullopt);
        } else {
            NetworkAccess access;
            const std::unique_ptr<Transfer> transfer(kind == 0 ? access.getText(address, limits)
                                                               : access.getStream(address, limits));
            QSignalSpy finished(transfer.get(), &Transfer::finished);
            QVERIFY(finished.wait(15000));
            QCOMPARE(transfer->result().outcome, Outcome::NetworkError);
        }
        QVERIFY2(took.elapsed() < 1000 + kPromptMs, qPrintable(QStringLiteral("took %1 ms").arg(took.elapsed())));
    }

    void processEndsWithLookupsWaiting()
    {
        QTemporaryDir folder;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildFolder), folder.path());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {});
        QByteArray said;
        while (!said.contains(kChildReady) && child.waitForReadyRead(15000))
            said += child.readAllStandardOutput();
        QVERIFY2(said.contains(kChildReady), said.constData());

        QElapsedTimer took;
        took.start();
        const bool ended = child.waitForFinished(5000);
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        QVERIFY2(ended, "the process did not end with its lookups waiting");
        QVERIFY2(took.elapsed() < kPromptMs, qPrintable(QStringLiteral("took %1 ms").arg(took.elapsed())));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        // Nothing came: nothing is stored, and no partial file is kept.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (qEnvironmentVariableIsSet(kChildFolder))
        return endWithLookupsWaiting(qEnvironmentVariable(kChildFolder));
    UnansweredLookupTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "UnansweredLookupTest.moc"
