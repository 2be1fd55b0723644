// SPDX-License-Identifier: GPL-3.0-or-later

// The built program itself, as a user starts it, against the sample library
// server: nothing of the program is replaced here. Its addresses are fixed at
// build time, so the server is reached as a forward proxy on a free port.
#include "support/FileBytes.h"
#include "support/VirtualDisplay.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <map>
#include <optional>

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
        // Lectures slow enough to be still coming when the program ends.
        process_.start(
            QStringLiteral(KARDELO_SAMPLE_SERVER),
            {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--audio-rate"), QStringLiteral("4")});
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

// Whether the bytes are a proper beginning of one of the sample lectures.
bool beginsASampleLecture(const QByteArray& kept)
{
    QDirIterator lectures(QStringLiteral(KARDELO_SAMPLE_LIBRARY "/audio"), QDir::Files);
    while (lectures.hasNext()) {
        QFile lecture(lectures.next());
        if (!kept.isEmpty() && lecture.open(QIODevice::ReadOnly) && lecture.size() > kept.size()
            && lecture.read(kept.size()) == kept)
            return true;
    }
    return false;
}

}  // namespace

void ProgramRunTest::startsOnTheLibraryAndEndsCleanlyWhenAskedToClose_data()
{
    if (!QStringLiteral(KARDELO_SERVER_ROOT).startsWith(QStringLiteral("http://")))
        QSKIP("This build talks to its library over https, which a forward proxy cannot serve.");
    QTest::addColumn<QString>("way");
    // Three lectures pressed for, on an X display of the test's own.
    QTest::addColumn<bool>("downloading");
    // Logout or shutdown, the terminal it was started from closing, Ctrl+C,
    // the desktop's Quit (through the player controls), and 退出.
    for (const bool downloading : {false, true}) {
        for (const char* way : {"SIGTERM", "SIGHUP", "SIGINT", "Quit"})
            QTest::addRow("%s, %s", way, downloading ? "three downloads running" : "idle") << way << downloading;
    }
    QTest::newRow("Ctrl+E, three downloads running") << "Ctrl+E" << true;
}

void ProgramRunTest::startsOnTheLibraryAndEndsCleanlyWhenAskedToClose()
{
    QFETCH(QString, way);
    QFETCH(bool, downloading);
    std::optional<VirtualDisplay> display;
    if (downloading && !display.emplace().isUp())
        QSKIP(qPrintable(display->whyNotUp()));
    SampleServer server;
    QVERIFY2(server.port() > 0, server.log().constData());

    // A copy of the program in a folder of its own, since its favourites
    // folder is made beside it. The folder lies in the build tree: a
    // temporary folder may be on a file system that does not run programs.
    QTemporaryDir folder(QStringLiteral(KARDELO_TEST_SCRATCH "/program-run-XXXXXX"));
    const QString program = folder.filePath(QStringLiteral("kardelo"));
    QVERIFY(QFile::copy(QStringLiteral(KARDELO_EXECUTABLE), program));
    const QDir favourites(folder.filePath(QStringLiteral("我的收藏")));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"no_proxy", "NO_PROXY", "https_proxy", "HTTPS_PROXY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("http_proxy"), QStringLiteral("http://127.0.0.1:%1").arg(server.port()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       display ? QStringLiteral("xcb") : QStringLiteral("offscreen"));
    if (display)
        environment.insert(QStringLiteral("DISPLAY"), display->name());
    // The listener's settings and the kept library beside the program, not
    // the user's.
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder.filePath(QStringLiteral("cache")));
    // How each download ended, and when every one had let go of its files.
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("kardelo.download.debug=true"));
    QProcess kardelo;
    kardelo.setProcessEnvironment(environment);
    kardelo.start(program, {});
    QVERIFY2(kardelo.waitForStarted(kGuardMs), qPrintable(kardelo.errorString()));

    QElapsedTimer waited;
    waited.start();
    while (server.served("/lists/catalogue.txt") == 0) {
        QVERIFY2(kardelo.state() == QProcess::Running && !waited.hasExpired(kGuardMs), server.log().constData());
        QTest::qWait(50);
    }
    QCOMPARE(server.served("/version.txt"), 1);
    QVERIFY(favourites.exists());

    // Up with its window, not ended by a message: still there a while later,
    // having asked for nothing else.
    QTest::qWait(1500);
    QCOMPARE(kardelo.state(), QProcess::Running);

    const QStringList partialFiles{QStringLiteral(".kardelo-*.partial")};
    const auto partials = [&] { return favourites.entryList(partialFiles, QDir::Files | QDir::Hidden); };
    if (downloading) {
        // 进 入 on the first conference from the keyboard (past the search
        // box), then 下 载 on its first three lectures.
        QByteArray window;
        QVERIFY(display->xdotool({"search", "--sync", "--name", "^Kardelo V"}, &window));
        QVERIFY(display->xdotool(
            {"windowfocus", "--sync", QString::fromLatin1(window.trimmed()), "key", "Tab", "Tab", "Return"}));
        QTRY_VERIFY_WITH_TIMEOUT(server.served("/lists/20140118.zip") == 1, kGuardMs);
        QTest::qWait(1000);
        QVERIFY(display->xdotool({"key", "Return", "Down", "Return", "Down", "Return"}));
        QTRY_COMPARE_WITH_TIMEOUT(partials().size(), 3, kGuardMs);
    }

    const std::map<QString, int> signalNumbers{{"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}, {"SIGINT", SIGINT}};
    const QString player = QStringLiteral("org.mpris.MediaPlayer2.kardelo");
    if (way == u"Quit")
        QTRY_VERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(player));
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    if (way == u"Quit") {
        const QDBusMessage quit = QDBusMessage::createMethodCall(player, QStringLiteral("/org/mpris/MediaPlayer2"),
                                                                 QStringLiteral("org.mpris.MediaPlayer2"), way);
        QCOMPARE(QDBusConnection::sessionBus().call(quit).type(), QDBusMessage::ReplyMessage);
    } else if (way == u"Ctrl+E")
        QVERIFY(display->xdotool({"key", "ctrl+e"}));
    else
        ::kill(static_cast<pid_t>(kardelo.processId()), signalNumbers.at(way));
    QVERIFY(kardelo.waitForFinished(kGuardMs));
    qInfo().noquote() << "ended" << sinceAsked.elapsed() << "ms after" << way;
    QVERIFY(sinceAsked.elapsed() < 5000);
    const QByteArray log = kardelo.readAllStandardError();
    QCOMPARE(kardelo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kardelo.exitCode(), 0);

    // It ended once every download had kept its bytes: each running one's
    // whole-written bytes, beside their record, and no lecture.
    const qsizetype letGo = log.indexOf("every download has let go of its files");
    QVERIFY2(letGo >= 0, log.constData());
    QCOMPARE(log.left(letGo).count("interrupted the download of"), downloading ? 3 : 0);
    QCOMPARE(partials().size(), downloading ? 3 : 0);
    QCOMPARE(favourites.entryList({QStringLiteral(".kardelo-*.resume")}, QDir::Files | QDir::Hidden).size(),
             downloading ? 3 : 0);
    QCOMPARE(favourites.entryList({QStringLiteral("*.zip")}, QDir::Files), QStringList());
    for (const QString& partial : partials())
        QVERIFY2(beginsASampleLecture(readWholeFile(favourites.filePath(partial))), qPrintable(partial));
    // The version file, the catalogue and the library's index.
    if (!downloading)
        QCOMPARE(server.log().count("GET "), 3);
}

QTEST_GUILESS_MAIN(ProgramRunTest)
#include "ProgramRunTest.moc"
