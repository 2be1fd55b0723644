// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/SessionBus.h"
#include "playback/LectureSequence.h"
#include "playback/MediaPlayer2Service.h"
#include "playback/Playback.h"
#include "playback/TrackMetadata.h"
#include "support/PlaybackWaits.h"
#include "support/ToneWav.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kFirstLecture = QStringLiteral("/org/kardelo/Kardelo/lecture/1");
constexpr qlonglong kToneUs = 180'000'000;
const LectureTags kTags{QStringLiteral("心衰的治疗"), QStringLiteral("张医生"), QStringLiteral("2013 年会")};

struct Reply {
    int exitCode = -1;
    QString text;
};

// Calls `method` from another process, as the desktop's applets do, while
// the event loop runs so this process can answer.
Reply callFromOutside(const QString& method, const QStringList& arguments = {},
                      const QString& busName = MediaPlayer2Service::kBusName)
{
    QProcess gdbus;
    gdbus.setProcessChannelMode(QProcess::MergedChannels);
    gdbus.start(QStringLiteral("gdbus"),
                QStringList{QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"), busName,
                            QStringLiteral("--object-path"), MediaPlayer2Service::kObjectPath,
                            QStringLiteral("--method"), method}
                    + arguments);
    if (!QTest::qWaitFor([&gdbus] { return gdbus.state() == QProcess::NotRunning; }, kLoadWait))
        return {};
    return {gdbus.exitStatus() == QProcess::NormalExit ? gdbus.exitCode() : -1, QString::fromUtf8(gdbus.readAll())};
}

QString ownerOf(const QString& name)
{
    return QDBusConnection::sessionBus().interface()->serviceOwner(name).value();
}

}  // namespace

// The player as the desktop sees it: a real lecture playing, read and
// commanded over the test's own session bus by gdbus, its signals heard on a
// second connection.
class MediaPlayer2Test : public QObject {
    Q_OBJECT

public slots:
    void hear(const QDBusMessage& message) { heard_ << message; }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyPropertyReadsFromOutside_data();
    void everyPropertyReadsFromOutside();
    void startingALectureIsAnnounced();
    void commandsGoThroughPlayback_data();
    void commandsGoThroughPlayback();
    void jumpsStayWithinTheLecture_data();
    void jumpsStayWithinTheLecture();
    void openingAnAddressIsRefused();
    void raiseAndQuitActOnTheWindow_data();
    void raiseAndQuitActOnTheWindow();
    void aSecondPlayerTakesANameOfItsOwn();
    void withoutABusNothingIsOffered();
    void theLengthIsSixtyFourBit();

private:
    void play() { QVERIFY(startPlaying(*playback_, tone_, kTags)); }
    // The latest value of each player property announced so far.
    QVariantMap announced() const;
    QList<qlonglong> seeks() const;

    QTemporaryDir folder_;
    QString tone_;
    QList<QDBusMessage> heard_;
    platform::SessionBus bus_;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<Playback> playback_;
    // "b" of "a", "gone", "b", "c", where "gone" is not stored.
    std::unique_ptr<LectureSequence> sequence_;
    std::unique_ptr<MediaPlayer2Service> service_;
};

void MediaPlayer2Test::initTestCase()
{
    tone_ = folder_.filePath(QStringLiteral("tone.wav"));
    QVERIFY(writeTone(tone_, static_cast<int>(kToneUs / 1000)));
    QDBusConnection observer = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("observer"));
    QVERIFY(observer.isConnected());
    const QString path = MediaPlayer2Service::kObjectPath;
    QVERIFY(observer.connect(QString(), path, kProperties, QStringLiteral("PropertiesChanged"), this,
                             SLOT(hear(QDBusMessage))));
    QVERIFY(observer.connect(QString(), path, kPlayer, QStringLiteral("Seeked"), this, SLOT(hear(QDBusMessage))));
    // A round trip after the subscriptions: the bus has them by its answer.
    QVERIFY(observer.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus")).value());
}

void MediaPlayer2Test::init()
{
    window_ = std::make_unique<QWidget>();
    playback_ = std::make_unique<Playback>();
    playback_->setMuted(true);
    sequence_ = std::make_unique<LectureSequence>(*playback_, [](const QString& name) { return name != u"gone"; });
    sequence_->startFrom({"a", "gone", "b", "c"}, "b");
    connect(sequence_.get(), &LectureSequence::playRequested, this, [this] { play(); });
    service_ = std::make_unique<MediaPlayer2Service>(*playback_, *sequence_, window_.get(), bus_);
    // Offered once the bus is there, the first time after this.
    bus_.start();
    QTRY_COMPARE(ownerOf(MediaPlayer2Service::kBusName), QDBusConnection::sessionBus().baseService());
    heard_.clear();
}

void MediaPlayer2Test::cleanup()
{
    service_.reset();
    sequence_.reset();
    playback_.reset();
    window_.reset();
}

QVariantMap MediaPlayer2Test::announced() const
{
    QVariantMap properties;
    for (const QDBusMessage& message : heard_) {
        if (message.member() == QLatin1String("PropertiesChanged") && message.arguments().value(0) == kPlayer)
            properties.insert(qdbus_cast<QVariantMap>(message.arguments().value(1)));
    }
    return properties;
}

QList<qlonglong> MediaPlayer2Test::seeks() const
{
    QList<qlonglong> positions;
    for (const QDBusMessage& message : heard_) {
        if (message.member() == QLatin1String("Seeked"))
            positions << message.arguments().value(0).toLongLong();
    }
    return positions;
}

void MediaPlayer2Test::everyPropertyReadsFromOutside_data()
{
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QStringList>("expected");
    // As gdbus prints them, one property or metadata entry between bars.
    QTest::newRow("root") << kRoot
                          << QString("'Identity': <'Kardelo'>|'DesktopEntry': <'org.kardelo.Kardelo'>|"
                                     "'CanRaise': <true>|'CanQuit': <true>|'HasTrackList': <false>|"
                                     "'CanSetFullscreen': <false>|'Fullscreen': <false>|"
                                     "'SupportedUriSchemes': <['file']>|'SupportedMimeTypes': <['audio/x-ms-wma']>")
                                 .split('|');
    QTest::newRow("player") << kPlayer
                            << (QString("'PlaybackStatus': <'Playing'>|'mpris:trackid': <objectpath '%1'>|"
                                        "'xesam:title': <'心衰的治疗'>|'xesam:artist': <['张医生']>|"
                                        "'xesam:album': <'2013 年会'>|'mpris:length': <int64 %2>|"
                                        "'Position': <int64 |'Rate': <1.0>|'MinimumRate': <0.5>|'MaximumRate': <2.0>|"
                                        "'Volume': <0.5>|'CanPlay': <true>|'CanPause': <true>|'CanSeek': <true>|"
                                        "'CanControl': <true>|'CanGoNext': <true>|'CanGoPrevious': <true>")
                                    .arg(kFirstLecture, QString::number(kToneUs))
                                    .split('|'));
}

void MediaPlayer2Test::everyPropertyReadsFromOutside()
{
    QFETCH(QString, interface);
    QFETCH(QStringList, expected);
    play();
    const Reply reply = callFromOutside(kProperties + QStringLiteral(".GetAll"), {interface});
    QCOMPARE(reply.exitCode, 0);
    for (const QString& property : expected)
        QVERIFY2(reply.text.contains(property), qPrintable(property + " not in " + reply.text));
}

void MediaPlayer2Test::startingALectureIsAnnounced()
{
    play();
    const auto metadata = [this] { return qdbus_cast<QVariantMap>(announced().value(QStringLiteral("Metadata"))); };
    // The length is known last.
    QTRY_COMPARE(metadata().value(QStringLiteral("mpris:length")), QVariant(kToneUs));
    QCOMPARE(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(), kFirstLecture);
    QCOMPARE(metadata().value(QStringLiteral("xesam:title")), QVariant(kTags.title));
    QCOMPARE(announced().value(QStringLiteral("PlaybackStatus")), QVariant(QStringLiteral("Playing")));
    for (const char* can : {"CanPlay", "CanPause", "CanSeek", "CanControl"})
        QCOMPARE(announced().value(QLatin1String(can)), QVariant(true));
}

void MediaPlayer2Test::commandsGoThroughPlayback_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("announced");
    const QString set = kProperties + ".Set";
    QTest::newRow("play-pause") << kPlayer + ".PlayPause" << QStringList() << "PlaybackStatus" << QVariant("Paused");
    QTest::newRow("pause") << kPlayer + ".Pause" << QStringList() << "PlaybackStatus" << QVariant("Paused");
    QTest::newRow("stop") << kPlayer + ".Stop" << QStringList() << "PlaybackStatus" << QVariant("Stopped");
    QTest::newRow("volume") << set << QStringList{kPlayer, "Volume", "<0.25>"} << "Volume" << QVariant(0.25);
    QTest::newRow("rate") << set << QStringList{kPlayer, "Rate", "<1.5>"} << "Rate" << QVariant(1.5);
    QTest::newRow("rate above the range") << set << QStringList{kPlayer, "Rate", "<3.0>"} << "Rate" << QVariant(2.0);
    QTest::newRow("rate below the range") << set << QStringList{kPlayer, "Rate", "<0.25>"} << "Rate" << QVariant(0.5);
    // Along the list the lecture was started from, past one not stored.
    QTest::newRow("next") << kPlayer + ".Next" << QStringList() << "CanGoNext" << QVariant(false);
    QTest::newRow("previous") << kPlayer + ".Previous" << QStringList() << "CanGoPrevious" << QVariant(false);
    QTest::newRow("rate zero pauses") << set << QStringList{kPlayer, "Rate", "<0.0>"} << "PlaybackStatus"
                                      << QVariant("Paused");
}

void MediaPlayer2Test::commandsGoThroughPlayback()
{
    QFETCH(QString, method);
    QFETCH(QStringList, arguments);
    QFETCH(QString, property);
    QFETCH(QVariant, announced);
    play();
    heard_.clear();
    QCOMPARE(callFromOutside(method, arguments).exitCode, 0);
    QTRY_COMPARE(this->announced().value(property), announced);
}

void MediaPlayer2Test::jumpsStayWithinTheLecture_data()
{
    QTest::addColumn<QStringList>("call");  // the method and its arguments
    QTest::addColumn<qlonglong>("landing");  // -1: left alone
    const auto seek = [](qlonglong offset) { return QStringList{"Seek", "--", QString::number(offset)}; };
    const auto setPosition = [](const QString& track, qlonglong position) {
        return QStringList{"SetPosition", "--", track, QString::number(position)};
    };
    constexpr qlonglong most = std::numeric_limits<qlonglong>::max();
    constexpr qlonglong least = std::numeric_limits<qlonglong>::min();
    // From 10 s.
    QTest::newRow("seek forward") << seek(5'000'000) << 15'000'000LL;
    QTest::newRow("seek back") << seek(-4'000'000) << 6'000'000LL;
    QTest::newRow("seek past the end") << seek(3'600'000'000) << kToneUs;
    QTest::newRow("seek far past the end") << seek(most) << kToneUs;
    QTest::newRow("seek before the start") << seek(-3'600'000'000) << 0LL;
    QTest::newRow("seek far before the start") << seek(least) << 0LL;
    QTest::newRow("set position") << setPosition(kFirstLecture, 30'000'000) << 30'000'000LL;
    QTest::newRow("set position at the end") << setPosition(kFirstLecture, kToneUs) << kToneUs;
    QTest::newRow("set position past the end") << setPosition(kFirstLecture, kToneUs + 1) << -1LL;
    QTest::newRow("set position before the start") << setPosition(kFirstLecture, -1) << -1LL;
    QTest::newRow("set position of another lecture") << setPosition("/org/kardelo/Kardelo/lecture/7", 0) << -1LL;
    QTest::newRow("set position of no lecture") << setPosition(kNoTrack.path(), 0) << -1LL;
}

void MediaPlayer2Test::jumpsStayWithinTheLecture()
{
    QFETCH(QStringList, call);
    QFETCH(qlonglong, landing);
    play();
    QVERIFY(pauseAt(*playback_, 10'000));
    QTRY_VERIFY(seeks().contains(10'000'000));
    heard_.clear();
    const QString method = kPlayer + '.' + call.takeFirst();
    QCOMPARE(callFromOutside(method, call).exitCode, 0);
    // Then a jump that is taken for certain: the bus keeps the order, so
    // the first jump heard says whether the one asked for was made.
    constexpr qlonglong marker = 20'000'000;
    QCOMPARE(callFromOutside(kPlayer + ".SetPosition", {kFirstLecture, QString::number(marker)}).exitCode, 0);
    QTRY_VERIFY(seeks().contains(marker));
    QCOMPARE(seeks().first(), landing < 0 ? marker : landing);
}

void MediaPlayer2Test::openingAnAddressIsRefused()
{
    play();
    const Reply reply = callFromOutside(kPlayer + ".OpenUri", {QStringLiteral("file:///tmp/other.wma")});
    QVERIFY(reply.exitCode != 0);
    QVERIFY2(reply.text.contains("org.freedesktop.DBus.Error.NotSupported"), qPrintable(reply.text));
    QCOMPARE(playback_->source(), tone_);
}

void MediaPlayer2Test::raiseAndQuitActOnTheWindow_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<Qt::WindowState>("before");
    QTest::addColumn<bool>("shownAfter");
    QTest::newRow("raise a hidden window") << "Raise" << Qt::WindowNoState << true;
    QTest::newRow("raise a minimised window") << "Raise" << Qt::WindowMinimized << true;
    QTest::newRow("quit") << "Quit" << Qt::WindowActive << false;
}

void MediaPlayer2Test::raiseAndQuitActOnTheWindow()
{
    QFETCH(QString, method);
    QFETCH(Qt::WindowState, before);
    QFETCH(bool, shownAfter);
    if (before != Qt::WindowNoState) {
        window_->setWindowState(before);
        window_->show();
    }
    QCOMPARE(callFromOutside(kRoot + '.' + method).exitCode, 0);
    QTRY_COMPARE(window_->isVisible(), shownAfter);
    if (shownAfter) {
        QVERIFY(!window_->isMinimized());
        QTRY_VERIFY(window_->isActiveWindow());
    }
}

void MediaPlayer2Test::aSecondPlayerTakesANameOfItsOwn()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second"));
    const QString name =
        MediaPlayer2Service::kBusName + ".instance" + QString::number(QCoreApplication::applicationPid());
    {
        MediaPlayer2Service second(*playback_, *sequence_, window_.get(), bus);
        QTRY_COMPARE(ownerOf(name), bus.baseService());
        QCOMPARE(second.busName(), name);
        QCOMPARE(ownerOf(MediaPlayer2Service::kBusName), QDBusConnection::sessionBus().baseService());
        QVERIFY(callFromOutside(kProperties + ".GetAll", {kRoot}, name).text.contains("'Identity': <'Kardelo'>"));
    }
    // Gone with the second player, as it would be with its process.
    QTRY_COMPARE(ownerOf(name), QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("second"));
}

void MediaPlayer2Test::withoutABusNothingIsOffered()
{
    const QDBusConnection none = QDBusConnection::connectToBus(
        "unix:path=" + folder_.filePath(QStringLiteral("no-bus")), QStringLiteral("none"));
    QVERIFY(!none.isConnected());
    MediaPlayer2Service absent(*playback_, *sequence_, window_.get(), none);
    QCOMPARE(absent.busName(), QString());
    // The lecture plays and takes its commands as ever.
    play();
    playback_->togglePlay();
    QTRY_COMPARE(playback_->playbackState(), Playback::State::Paused);
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

void MediaPlayer2Test::theLengthIsSixtyFourBit()
{
    // An hour and a half is more microseconds than 32 bits hold.
    const QVariantMap metadata = trackMetadata(lectureTrackId(2), kTags, 90 * 60 * 1000);
    const QVariant length = metadata.value(QStringLiteral("mpris:length"));
    QCOMPARE(length.metaType(), QMetaType::fromType<qlonglong>());
    QCOMPARE(length.toLongLong(), 5'400'000'000LL);
    QVERIFY(!trackMetadata(lectureTrackId(2), kTags, 0).contains(QStringLiteral("mpris:length")));
}

QTEST_MAIN(MediaPlayer2Test)
#include "MediaPlayer2Test.moc"
