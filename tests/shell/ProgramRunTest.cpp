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
    void initTestCase();
    void startsOnTheLibraryAndEndsCleanlyWhenAskedToClose_data();
    void startsOnTheLibraryAndEndsCleanlyWhenAskedToClose();
    void unreachableLibraryGivesNoWindowAndNoRequestsBeyondTheVersion();
};

namespace {

constexpr int kGuardMs = 60'000;

// The sample server on a port of its own choosing, with its request log.
class SampleServer {
public:
    explicit SampleServer(QStringList options = {})
    {
        process_.setProgram(QStringLiteral(KARDELO_SAMPLE_SERVER));
        process_.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
        process_.start();
        if (!process_.waitForStarted(kGuardMs))
            return;
        while (port_ == 0 && process_.state() == QProcess::Running &&
               process_.waitForReadyRead(kGuardMs)) {
            readLog();
            const auto found = QRegularExpression(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"))
                                   .match(QString::fromUtf8(log_));
            if (found.hasMatch())
                port_ = found.captured(1).toInt();
        }
    }

    ~SampleServer()
    {
        process_.terminate();
        if (!process_.waitForFinished(kGuardMs))
            process_.kill();
        process_.waitForFinished();
    }

    int port() const { return port_; }

    // Every line so far that ends a request for the path with this status.
    int requestsFor(const QString& path, int status)
    {
        readLog();
        const QString ending = path + u' ' + QString::number(status) + u' ';
        int count = 0;
        for (const QByteArray& line : log_.split('\n'))
            count += QString::fromUtf8(line).contains(ending) ? 1 : 0;
        return count;
    }

    QByteArray log()
    {
        readLog();
        return log_;
    }

private:
    void readLog() { log_ += process_.readAllStandardOutput(); }

    QProcess process_;
    QByteArray log_;
    int port_ = 0;
};

// A copy of the program in a folder of its own, since its favourites folder
// is made beside it. The folder lies in the build tree: a temporary folder
// may be on a file system that does not run programs.
class InstalledProgram {
public:
    InstalledProgram() : folder_(QStringLiteral(KARDELO_TEST_SCRATCH "/program-run-XXXXXX"))
    {
        path_ = folder_.filePath(QStringLiteral("kardelo"));
        copied_ = QFile::copy(QStringLiteral(KARDELO_EXECUTABLE), path_);
    }

    bool ready() const { return folder_.isValid() && copied_; }
    QString path() const { return path_; }
    QString favouritesFolder() const { return folder_.filePath(QStringLiteral("我的收藏")); }

    // Starts it on the offscreen platform with every request going to proxyPort.
    void start(QProcess& process, int proxyPort) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"no_proxy", "NO_PROXY", "https_proxy", "HTTPS_PROXY"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("http_proxy"),
                           QStringLiteral("http://127.0.0.1:%1").arg(proxyPort));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setProgram(path_);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
    }

private:
    QTemporaryDir folder_;
    QString path_;
    bool copied_ = false;
};

// Lets the event loop run until the condition holds, the process has ended or
// the guard time is up.
template <typename Condition>
bool WaitWhileRunning(const QProcess& process, Condition condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (process.state() != QProcess::Running || timer.hasExpired(kGuardMs))
            return false;
        QTest::qWait(50);
    }
    return true;
}

}  // namespace

// A macro, so that a failed step ends the test function it is used in.
#define START_AGAINST(server, program, process)                                         \
    do {                                                                                \
        QVERIFY2((server).port() > 0, (server).log().constData());                      \
        QVERIFY((program).ready());                                                     \
        (program).start((process), (server).port());                                    \
        QVERIFY2((process).waitForStarted(kGuardMs), qPrintable((process).errorString())); \
    } while (false)

void ProgramRunTest::initTestCase()
{
    if (!QStringLiteral(KARDELO_SERVER_ROOT).startsWith(QStringLiteral("http://")))
        QSKIP("This build talks to its library over https, which a forward proxy cannot serve "
              "as the library.");
}

void ProgramRunTest::startsOnTheLibraryAndEndsCleanlyWhenAskedToClose_data()
{
    QTest::addColumn<int>("signalNumber");
    // The ways a desktop session asks a program to go: logout or shutdown,
    // the terminal it was started from closing, Ctrl+C in that terminal.
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void ProgramRunTest::startsOnTheLibraryAndEndsCleanlyWhenAskedToClose()
{
    QFETCH(int, signalNumber);
    SampleServer server;
    InstalledProgram program;
    QProcess kardelo;
    START_AGAINST(server, program, kardelo);

    QVERIFY2(WaitWhileRunning(kardelo,
                              [&] { return server.requestsFor(QStringLiteral("/lists/catalogue.txt"), 200) == 1; }),
             server.log().constData());
    QCOMPARE(server.requestsFor(QStringLiteral("/version.txt"), 200), 1);
    QVERIFY(QDir(program.favouritesFolder()).exists());

    // Up with its window, not ended by a message: it is still there a while
    // later and has asked for nothing else.
    QTest::qWait(1500);
    QCOMPARE(kardelo.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(kardelo.processId()), signalNumber);
    QVERIFY(kardelo.waitForFinished(kGuardMs));
    QCOMPARE(kardelo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kardelo.exitCode(), 0);
    QCOMPARE(server.requestsFor(QStringLiteral("/version.txt"), 200), 1);
    QCOMPARE(server.requestsFor(QStringLiteral("/lists/catalogue.txt"), 200), 1);
}

void ProgramRunTest::unreachableLibraryGivesNoWindowAndNoRequestsBeyondTheVersion()
{
    // A server with nothing to serve stands for a library that is gone.
    QTemporaryDir emptyRoot;
    QVERIFY(emptyRoot.isValid());
    SampleServer server({QStringLiteral("--root"), emptyRoot.path()});
    InstalledProgram program;
    QProcess kardelo;
    START_AGAINST(server, program, kardelo);

    // The network message is up and waits for its answer; nothing past the
    // version file is asked for and no favourites folder is made.
    QVERIFY2(WaitWhileRunning(kardelo,
                              [&] { return server.requestsFor(QStringLiteral("/version.txt"), 404) == 1; }),
             server.log().constData());
    QTest::qWait(1500);
    QCOMPARE(kardelo.state(), QProcess::Running);
    QCOMPARE(server.log().count("GET "), 1);
    QVERIFY(!QDir(program.favouritesFolder()).exists());
    kardelo.kill();
    QVERIFY(kardelo.waitForFinished(kGuardMs));
}

QTEST_GUILESS_MAIN(ProgramRunTest)
#include "ProgramRunTest.moc"
