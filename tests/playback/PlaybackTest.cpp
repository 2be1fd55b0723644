// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/Playback.h"

#include "support/FileBytes.h"
#include "support/PlaybackWaits.h"
#include "support/PrivateSoundServer.h"
#include "support/ToneWav.h"

#include <QAudio>
#include <QAudioOutput>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// The open handles of this process on `path`, from the kernel's own table.
int openHandlesOn(const QString& path)
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        count += !wanted.isEmpty() && fd.symLinkTarget() == wanted;
    return count;
}

float levelForVolume(int volume)
{
    return QAudio::convertVolume(volume / 100.0f, QAudio::CubicVolumeScale, QAudio::LinearVolumeScale);
}

QMetaMethod signalNamed(const QByteArray& name)
{
    const QMetaObject& meta = Playback::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        if (meta.method(i).methodType() == QMetaMethod::Signal && meta.method(i).name() == name)
            return meta.method(i);
    }
    return {};
}

enum class Command { SetVolume, Mute, SetRate, Start, Pause, Seek, Stop };

}  // namespace

// The playback with no view: real lectures (WAV tones) played by the real
// back end, observed through its getters and signals.
class PlaybackTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void startsIdleAtHalfVolumeWithNoBackEnd();
    void volumeAndMuteChosenBeforeTheFirstLectureApplyToIt();
    void settingTheSourceStartsPlaying();
    void aStartPlaceIsTakenOnceTheBackEndHasLoaded();
    void playbackSurvivesTheFileBeingRenamed_data();
    void playbackSurvivesTheFileBeingRenamed();
    void aNewSourceReplacesTheOldAndLetsGoOfIt_data();
    void aNewSourceReplacesTheOldAndLetsGoOfIt();
    void chosenSpeedCarriesOverToTheNextLecture();
    void theVoiceKeepsItsPitchAtEveryRate_data();
    void theVoiceKeepsItsPitchAtEveryRate();
    void everyChangeIsSignalled_data();
    void everyChangeIsSignalled();

private:
    // Muted, so a test run on a desk makes no noise.
    Playback& make(bool muted = true);
    QString tone(const QString& name, int milliseconds, int frequency = 440);

    QTemporaryDir folder_;
    std::unique_ptr<Playback> playback_;
};

void PlaybackTest::cleanup()
{
    playback_.reset();
}

Playback& PlaybackTest::make(bool muted)
{
    playback_ = std::make_unique<Playback>();
    playback_->setMuted(muted);
    return *playback_;
}

QString PlaybackTest::tone(const QString& name, int milliseconds, int frequency)
{
    const QString path = folder_.filePath(name);
    return folder_.isValid() && writeTone(path, milliseconds, frequency) ? path : QString();
}

void PlaybackTest::startsIdleAtHalfVolumeWithNoBackEnd()
{
    Playback& playback = make(false);
    QCOMPARE(playback.volume(), 50);
    QVERIFY(!playback.isMuted());
    QCOMPARE(playback.source(), QString());
    QCOMPARE(playback.status(), Playback::Status::NoLecture);
    QVERIFY(!playback.canPlay());
    QVERIFY(!playback.isSeekable());
    QCOMPARE(playback.duration(), 0);

    // The commands have nothing to act on yet.
    playback.play();
    playback.togglePlay();
    playback.seekBy(5000);
    playback.stop();
    QCOMPARE(playback.playbackState(), Playback::State::Stopped);
    QCOMPARE(playback.position(), 0);
    playback.setMuted(true);
    QVERIFY(playback.isMuted());
    playback.setMuted(false);
    QVERIFY(!playback.isMuted());
    QCOMPARE(playback.volume(), 50);
    // GStreamer and the sound output wait for the first lecture.
    QVERIFY(!playback.findChild<QMediaPlayer*>());
    QVERIFY(!playback.findChild<QAudioOutput*>());
}

// The sound output is made with the first lecture; what was chosen before
// that must reach it.
void PlaybackTest::volumeAndMuteChosenBeforeTheFirstLectureApplyToIt()
{
    Playback& playback = make(false);
    playback.setMuted(true);
    playback.setVolume(20);

    QVERIFY(startPlaying(playback, tone(QStringLiteral("first.wav"), 3000)));
    auto* output = playback.findChild<QAudioOutput*>();
    QVERIFY(output);
    QVERIFY(output->isMuted());
    QCOMPARE(output->volume(), levelForVolume(20));
    playback.setMuted(false);
    QVERIFY(!output->isMuted());
    QCOMPARE(output->volume(), levelForVolume(20));
    // Loudness, not amplitude, follows the volume.
    for (int volume : {0, 25, 50, 100}) {
        playback.setVolume(volume);
        QCOMPARE(output->volume(), levelForVolume(volume));
    }
}

void PlaybackTest::settingTheSourceStartsPlaying()
{
    Playback& playback = make();
    const QString path = tone(QStringLiteral("auto start.wav"), 3000);
    QVERIFY(!path.isEmpty());

    playback.setSource(path);  // no play command: the lecture alone starts it
    QTRY_COMPARE_WITH_TIMEOUT(playback.playbackState(), Playback::State::Playing, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() >= 1000, kLoadWait);
    QCOMPARE(playback.duration() / 1000, 3);
    QCOMPARE(playback.status(), Playback::Status::Playing);

    playback.play();  // the caller's play command on top changes nothing
    QCOMPARE(playback.playbackState(), Playback::State::Playing);
    QCOMPARE(playback.status(), Playback::Status::Playing);
}

void PlaybackTest::aStartPlaceIsTakenOnceTheBackEndHasLoaded()
{
    // The back end drops a seek made while it loads; a start place asked
    // for with the lecture must not go the same way.
    Playback& playback = make();
    const QString path = tone(QStringLiteral("resumed.wav"), 60000);
    QVERIFY(!path.isEmpty());
    QSignalSpy seeks(&playback, &Playback::seeked);

    playback.setSource(path, {QStringLiteral("题"), QStringLiteral("讲者"), QStringLiteral("注")}, 40000);
    QCOMPARE(playback.tags().detail, QStringLiteral("讲者"));
    QTRY_COMPARE_WITH_TIMEOUT(playback.playbackState(), Playback::State::Playing, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 40000, kLoadWait);
    QCOMPARE(seeks.count(), 1);
    QCOMPARE(seeks.first().first().toLongLong(), 40000);

    // The next lecture starts from its own beginning, with no tags.
    playback.setSource(path);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 500, kLoadWait);
    QVERIFY(playback.position() < 30000);
    QCOMPARE(playback.tags(), LectureTags{});
}

void PlaybackTest::playbackSurvivesTheFileBeingRenamed_data()
{
    QTest::addColumn<QString>("playName");
    QTest::addColumn<QString>("afterwards");  // "" deletes it

    // The window's own sequence: play under the play name, then back to the stored name.
    QTest::newRow("renamed back to its stored name")
        << QStringLiteral("心电图 wma 讲座.wma") << QStringLiteral("心电图 zip 讲座.zip");
    QTest::newRow("deleted") << QStringLiteral("gone.wma") << QString();
}

void PlaybackTest::playbackSurvivesTheFileBeingRenamed()
{
    QFETCH(QString, playName);
    QFETCH(QString, afterwards);

    Playback& playback = make();
    const QString playPath = tone(playName, 2000);
    QVERIFY(!playPath.isEmpty());
    QSignalSpy positions(&playback, &Playback::positionChanged);

    playback.setSource(playPath);
    playback.play();
    // Straight away, before the back end has had a turn of the event loop.
    if (afterwards.isEmpty())
        QVERIFY(QFile::remove(playPath));
    else
        QVERIFY(QFile::rename(playPath, folder_.filePath(afterwards)));

    // Played to its end from the open handle, with nothing going wrong.
    QTRY_COMPARE_WITH_TIMEOUT(playback.status(), Playback::Status::Ended, kPlayWait);
    qint64 furthest = 0;
    for (const QList<QVariant>& position : std::as_const(positions))
        furthest = std::max(furthest, position.at(0).toLongLong());
    QVERIFY2(furthest >= 1500, qPrintable(QString::number(furthest)));
    QCOMPARE(playback.source(), playPath);
    QVERIFY(afterwards.isEmpty() || QFile::exists(folder_.filePath(afterwards)));
}

void PlaybackTest::aNewSourceReplacesTheOldAndLetsGoOfIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // "tone": a lecture two seconds long
    QTest::addColumn<Playback::Status>("status");
    QTest::addColumn<QString>("warning");  // what the log says, as a pattern

    QTest::newRow("another lecture") << QStringLiteral("second.wav") << QByteArray("tone") << Playback::Status::Playing
                                     << QString();
    QTest::newRow("empty") << QString() << QByteArray() << Playback::Status::NoLecture << QString();
    QTest::newRow("missing") << QStringLiteral("missing.wma") << QByteArray() << Playback::Status::CannotOpen
                             << QStringLiteral("^cannot open .*missing\\.wma.*no such file");
    QTest::newRow("folder") << QStringLiteral("a folder.wma") << QByteArray() << Playback::Status::CannotOpen
                            << QStringLiteral("^cannot open .*a folder\\.wma.*not a file");
    QTest::newRow("not audio") << QStringLiteral("not audio.wma")
                               << QByteArray("this is no lecture at all\n").repeated(200)
                               << Playback::Status::CannotPlay << QStringLiteral("^cannot play .*not audio\\.wma");
}

void PlaybackTest::aNewSourceReplacesTheOldAndLetsGoOfIt()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(Playback::Status, status);
    QFETCH(QString, warning);

    Playback& playback = make();
    QVERIFY(startPlaying(playback, tone(QStringLiteral("first.wav"), 6000)));
    const QString first = playback.source();
    QVERIFY(openHandlesOn(first) > 0);

    const QString path = name.isEmpty() ? QString() : folder_.filePath(name);
    if (content == "tone")
        QVERIFY(writeTone(path, 2000, 660));
    else if (name.startsWith(QStringLiteral("a folder")))
        QVERIFY(QDir().mkpath(path));
    else if (!content.isEmpty())
        QVERIFY(writeWholeFile(path, content));
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));

    playback.setSource(path);
    playback.play();
    QCOMPARE(playback.source(), path);
    QTRY_COMPARE_WITH_TIMEOUT(playback.status(), status, kLoadWait);
    QTRY_COMPARE_WITH_TIMEOUT(openHandlesOn(first), 0, kLoadWait);
    if (content == "tone") {
        QTRY_COMPARE_WITH_TIMEOUT(playback.duration() / 1000, 2, kLoadWait);
        QCOMPARE(playback.playbackState(), Playback::State::Playing);
        QVERIFY(openHandlesOn(path) > 0);
    } else {
        QVERIFY(playback.playbackState() != Playback::State::Playing);
        QVERIFY(!playback.canPlay());
        QCOMPARE(playback.position(), 0);
        // Nothing of the previous lecture's length is left behind.
        QCOMPARE(playback.duration(), 0);
        // Still usable: the next good lecture plays.
        QVERIFY(startPlaying(playback, tone(QStringLiteral("after.wav"), 3000)));
    }
}

void PlaybackTest::chosenSpeedCarriesOverToTheNextLecture()
{
    Playback& playback = make();
    playback.setPlaybackRate(2.0);  // chosen before anything was loaded
    QVERIFY(startPlaying(playback, tone(QStringLiteral("first speed.wav"), 3000)));
    QCOMPARE(playback.findChild<QMediaPlayer*>()->playbackRate(), 2.0);

    // A second playback at normal speed is the yardstick: both run on the
    // same clock, so when the fast one is through, the other is about half
    // way.
    Playback yardstick;
    yardstick.setMuted(true);
    const QString next = tone(QStringLiteral("second speed.wav"), 3000);
    playback.setSource(next);
    yardstick.setSource(next);
    QTRY_COMPARE_WITH_TIMEOUT(playback.status(), Playback::Status::Ended, kPlayWait);
    QCOMPARE(yardstick.playbackState(), Playback::State::Playing);
    QVERIFY2(yardstick.position() < 2400, qPrintable(QString::number(yardstick.position())));
}

void PlaybackTest::theVoiceKeepsItsPitchAtEveryRate_data()
{
    QTest::addColumn<qreal>("rate");
    QTest::newRow("half speed") << 0.5;
    QTest::newRow("1.5x") << 1.5;
    QTest::newRow("2x") << 2.0;
}

// Heard as a listener would: the sound that reaches the sound server,
// recorded there, holds the tone's own frequency however fast it plays.
void PlaybackTest::theVoiceKeepsItsPitchAtEveryRate()
{
    QFETCH(qreal, rate);
    PrivateSoundServer sound;
    QVERIFY2(sound.failure().isEmpty(), qPrintable(sound.failure()));
    Playback& playback = make(false);
    playback.setPlaybackRate(rate);

    sound.startRecording();
    QVERIFY(startPlaying(playback, tone(QStringLiteral("pitch.wav"), 10000, 440)));
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 2500 * rate, kPlayWait);
    const int heard = dominantFrequency(sound.stopRecording(), PrivateSoundServer::kSampleRate, 100, 2000);
    QVERIFY2(std::abs(heard - 440) <= 13, qPrintable(QStringLiteral("heard %1 Hz").arg(heard)));
}

void PlaybackTest::everyChangeIsSignalled_data()
{
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QVariant>("value");  // invalid: any, as long as the getter agrees

    const auto state = [](Playback::State s) { return QVariant::fromValue(s); };
    const auto status = [](Playback::Status s) { return QVariant::fromValue(s); };
    QTest::newRow("volume") << QByteArray("volumeChanged") << Command::SetVolume << QVariant(20);
    QTest::newRow("mute") << QByteArray("mutedChanged") << Command::Mute << QVariant(false);
    QTest::newRow("speed") << QByteArray("playbackRateChanged") << Command::SetRate << QVariant(qreal(1.5));
    QTest::newRow("lecture") << QByteArray("sourceChanged") << Command::Start << QVariant();
    QTest::newRow("playing") << QByteArray("playbackStateChanged") << Command::Start << state(Playback::State::Playing);
    QTest::newRow("playing status") << QByteArray("statusChanged") << Command::Start
                                    << status(Playback::Status::Playing);
    QTest::newRow("length") << QByteArray("durationChanged") << Command::Start << QVariant();
    QTest::newRow("seekable") << QByteArray("seekableChanged") << Command::Start << QVariant(true);
    QTest::newRow("playing on") << QByteArray("positionChanged") << Command::Start << QVariant();
    QTest::newRow("paused") << QByteArray("playbackStateChanged") << Command::Pause << state(Playback::State::Paused);
    QTest::newRow("seeked") << QByteArray("seeked") << Command::Seek << QVariant::fromValue(qint64(1000));
    QTest::newRow("position of a seek") << QByteArray("positionChanged") << Command::Seek
                                        << QVariant::fromValue(qint64(1000));
    QTest::newRow("stopped") << QByteArray("statusChanged") << Command::Stop << status(Playback::Status::Stopped);
    QTest::newRow("back at the start") << QByteArray("positionChanged") << Command::Stop
                                       << QVariant::fromValue(qint64(0));
}

void PlaybackTest::everyChangeIsSignalled()
{
    QFETCH(QByteArray, signal);
    QFETCH(Command, command);
    QFETCH(QVariant, value);

    Playback& playback = make();
    const QString path = tone(QStringLiteral("signals.wav"), 6000);
    if (command >= Command::Pause)
        QVERIFY(startPlaying(playback, path));
    if (command == Command::Seek)
        QVERIFY(pauseAt(playback, 2000));
    const QMetaMethod method = signalNamed(signal);
    QVERIFY(method.isValid());
    QSignalSpy spy(&playback, method);

    const auto run = [&] {
        switch (command) {
        case Command::SetVolume:
            playback.setVolume(20);
            break;
        case Command::Mute:
            playback.setMuted(false);
            break;
        case Command::SetRate:
            playback.setPlaybackRate(1.5);
            break;
        case Command::Start:
            QVERIFY(startPlaying(playback, path));
            break;
        case Command::Pause:
            playback.pause();
            break;
        case Command::Seek:
            playback.seek(1000);
            break;
        case Command::Stop:
            playback.stop();
            break;
        }
    };
    run();
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(!spy.isEmpty(), kLoadWait);
    const QVariant reported = spy.last().at(0);
    if (value.isValid())
        QCOMPARE(reported, value);
    // The getter agrees; but the position moves on by itself while playing.
    const bool moving = signal == "positionChanged" && command == Command::Start;
    const QMetaObject& meta = Playback::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        if (meta.property(i).notifySignal() == method && !moving)
            QCOMPARE(meta.property(i).read(&playback), reported);
    }
    // Saying again what is so changes nothing, and says nothing.
    if (command <= Command::SetRate) {
        spy.clear();
        run();
        QCOMPARE(spy.size(), 0);
    }
}

QTEST_GUILESS_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
