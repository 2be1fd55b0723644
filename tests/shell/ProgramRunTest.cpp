// SPDX-License-Identifier: GPL-3.0-or-later

// The built program itself, as a user starts it, against the sample library
// server: nothing of the program is replaced here. Its addresses are fixed at
// build time, so the server is reached as a forward proxy on a free port.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/types.h>

class ProgramRunTest : public QObject {
    Q_OBJECT

private slots:
    void startsOnTheLibraryAndEndsCleanlyWhenAskedToClose_data();
    void startsOnTheLibraryAndEndsCleanlyWhenAskedToClose();
};

namespace {

constexpr int kGuardMs = 60'000;

// The sample server on a port of its own choosing, with its request log.
class SampleServer {
public:
    SampleServer()
    {
        process_.start(QStringLiteral(KARDELO_SAMPLE_SERVER), {QStringLiteral("--port"), QStringLiteral("0")});
        const QRegularExpression banner(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"));
        while (port_ == 0 && process_.waitForReadyRead(kGuardMs))
            port_ = banner.match(QString::fromUtf8(log())).captured(1).toInt();
    }
    ~SampleServer()
    {
        process_.terminate();
        if (!process_.waitForFinished(kGuardMs))
            process_.kill();
    }

    int port() const { return port_; }
    QByteArray log() { return log_ += process_.readAllStandardOutput(); }
    // How many requests for the path were answered with 200.
    qsizetype served(const char* path) { return log().count(QByteArray(path) + " 200 "); }

private:
    QProcess process_;
    QByteArray log_;
    int port_ = 0;
};

}  // namespace

void ProgramRunTest::startsOnTheLibraryAndEndsCleanlyWhenAskedToClose_data()
{
    if (!QStringLiteral(KARDELO_SERVER_ROOT).startsWith(QStringLiteral("http://")))
        QSKIP("This build talks to its library over https, which a forward proxy cannot serve.");
    QTest::addColumn<int>("signalNumber");
    // Logout or shutdown, the terminal it was started from closing, Ctrl+C.
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void ProgramRunTest::startsOnTheLibraryAndEndsCleanlyWhenAskedToClose()
{
    QFETCH(int, signalNumber);
    SampleServer server;
    QVERIFY2(server.port() > 0, server.log().constData());

    // A copy of the program in a folder of its own, since its favourites
    // folder is made beside it. The folder lies in the build tree: a
    // temporary folder may be on a file system that does not run programs.
    QTemporaryDir folder(QStringLiteral(KARDELO_TEST_SCRATCH "/program-run-XXXXXX"));
    const QString program = folder.filePath(QStringLiteral("kardelo"));
    QVERIFY(QFile::copy(QStringLiteral(KARDELO_EXECUTABLE), program));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"no_proxy", "NO_PROXY", "https_proxy", "HTTPS_PROXY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("http_proxy"), QStringLiteral("http://127.0.0.1:%1").arg(server.port()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess kardelo;
    kardelo.setProcessEnvironment(environment);
    kardelo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kardelo.start(program, {});
    QVERIFY2(kardelo.waitForStarted(kGuardMs), qPrintable(kardelo.errorString()));

    QElapsedTimer waited;
    waited.start();
    while (server.served("/lists/catalogue.txt") == 0) {
        QVERIFY2(kardelo.state() == QProcess::Running && !waited.hasExpired(kGuardMs), server.log().constData());
        QTest::qWait(50);
    }
    QCOMPARE(server.served("/version.txt"), 1);
    QVERIFY(QDir(folder.filePath(QStringLiteral("我的收藏"))).exists());

    // Up with its window, not ended by a message: still there a while later,
    // having asked for nothing else.
    QTest::qWait(1500);
    QCOMPARE(kardelo.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(kardelo.processId()), signalNumber);
    QVERIFY(kardelo.waitForFinished(kGuardMs));
    QCOMPARE(kardelo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kardelo.exitCode(), 0);
    QCOMPARE(server.log().count("GET "), 2);
}

QTEST_GUILESS_MAIN(ProgramRunTest)
#include "ProgramRunTest.moc"
