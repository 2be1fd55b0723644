#include "platform/media/MediaPlayer.h"
#include "platform/media/PlayTime.h"
#include "support/FileBytes.h"
#include "support/ToneWav.h"

#include <QAction>
#include <QApplication>
#include <QAudio>
#include <QAudioOutput>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

namespace {

// Playback runs against the wall clock; these waits only bound a hang.
constexpr int kLoadWait = 15000;
constexpr int kPlayWait = 20000;

// Any window the control might have raised besides itself.
qsizetype otherWindows(const QWidget* own)
{
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(), [own](QWidget* w) { return w != own && w->isVisible(); });
}

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

QRect sliderPart(QSlider* slider, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, part, slider);
}

QPoint pointInGroove(QSlider* slider, double fraction)
{
    const QRect groove = sliderPart(slider, QStyle::SC_SliderGroove);
    const QRect handle = sliderPart(slider, QStyle::SC_SliderHandle);
    const int span = groove.width() - handle.width();
    return QPoint(groove.x() + handle.width() / 2 + qRound(fraction * span), slider->height() / 2);
}

template <typename T> T* Part(platform::MediaPlayer* control, const char* name)
{
    return control->findChild<T*>(QString::fromLatin1(name));
}

float levelForVolume(int volume)
{
    return QAudio::convertVolume(volume / 100.0f, QAudio::CubicVolumeScale, QAudio::LinearVolumeScale);
}

QString checkedEntries(QMenu* menu)
{
    QStringList checked;
    for (QAction* action : menu->actions()) {
        if (action->isChecked())
            checked << action->text();
    }
    return checked.join(u',');
}

}  // namespace

class MediaPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void startsIdleAtHalfVolumeAndMutesWithoutLosingIt();
    void volumeAndMuteChosenBeforeTheFirstFileApplyToIt();
    void settingTheAddressStartsPlayingInABarThatFits();
    void playbackSurvivesTheFileBeingRenamed_data();
    void playbackSurvivesTheFileBeingRenamed();
    void aNewAddressReplacesTheOldAndLetsGoOfIt_data();
    void aNewAddressReplacesTheOldAndLetsGoOfIt();
    void speedMenuSetsTheRate_data();
    void speedMenuSetsTheRate();
    void chosenSpeedCarriesOverToTheNextFile();
    void transportButtonsPauseStopAndReplay();
    void positionSliderSeeks_data();
    void positionSliderSeeks();
    void keysInTheBarPlayPauseAndSeek_data();
    void keysInTheBarPlayPauseAndSeek();
    void volumeSliderSetsTheLevel_data();
    void volumeSliderSetsTheLevel();
    void playTimeFormat_data();
    void playTimeFormat();

private:
    // A shown control the size of the player bar, muted so a test run on a
    // desk makes no noise.
    platform::MediaPlayer* makeControl(bool muted = true);
    QString tone(const QString& name, int milliseconds, int frequency = 440);
    bool startPlaying(platform::MediaPlayer* control, const QString& path);
    // A shown control playing a fresh tone of that length, or null.
    platform::MediaPlayer* playing(const QString& name, int milliseconds);
    // The same, paused at `position` ms, or null.
    platform::MediaPlayer* pausedAt(const QString& name, int milliseconds, qint64 position);

    QTemporaryDir folder_;
    platform::MediaPlayer* control_ = nullptr;
};

void MediaPlayerTest::cleanup()
{
    delete control_;
    control_ = nullptr;
}

platform::MediaPlayer* MediaPlayerTest::makeControl(bool muted)
{
    control_ = new platform::MediaPlayer;
    control_->resize(606, 65);
    control_->setMuted(muted);
    control_->show();
    return QTest::qWaitForWindowExposed(control_) ? control_ : nullptr;
}

QString MediaPlayerTest::tone(const QString& name, int milliseconds, int frequency)
{
    const QString path = folder_.filePath(name);
    return folder_.isValid() && writeTone(path, milliseconds, frequency) ? path : QString();
}

bool MediaPlayerTest::startPlaying(platform::MediaPlayer* control, const QString& path)
{
    control->setSource(path);
    control->play();
    // The position can be asked for before the media has loaded.
    return QTest::qWaitFor(
        [player = control->player()] {
            return player->playbackState() == QMediaPlayer::PlayingState
                && player->mediaStatus() == QMediaPlayer::BufferedMedia && player->duration() > 0
                && player->position() > 100;
        },
        kLoadWait);
}

platform::MediaPlayer* MediaPlayerTest::playing(const QString& name, int milliseconds)
{
    auto* control = makeControl();
    return control && startPlaying(control, tone(name, milliseconds)) ? control : nullptr;
}

platform::MediaPlayer* MediaPlayerTest::pausedAt(const QString& name, int milliseconds, qint64 position)
{
    auto* control = playing(name, milliseconds);
    if (!control)
        return nullptr;
    control->pause();
    QMediaPlayer* player = control->player();
    if (!QTest::qWaitFor([player] { return player->playbackState() == QMediaPlayer::PausedState; }))
        return nullptr;
    player->setPosition(position);
    return QTest::qWaitFor([player, position] { return player->position() == position; }) ? control : nullptr;
}

void MediaPlayerTest::startsIdleAtHalfVolumeAndMutesWithoutLosingIt()
{
    auto* control = makeControl(false);
    QVERIFY(control);
    QCOMPARE(control->volume(), 50);
    QCOMPARE(control->audioOutput()->volume(), levelForVolume(50));
    QVERIFY(!control->audioOutput()->isMuted());
    QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:00"));
    QCOMPARE(control->statusText(), QString());
    // Nothing to play yet: the transport is there but idle.
    QVERIFY(!Part<QToolButton>(control, "playPauseButton")->isEnabled());
    QVERIFY(!Part<QToolButton>(control, "stopButton")->isEnabled());

    auto* mute = Part<QToolButton>(control, "muteButton");
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(control->audioOutput()->isMuted());
    QCOMPARE(mute->toolTip(), QStringLiteral("取消静音"));
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(!control->audioOutput()->isMuted());
    QCOMPARE(mute->toolTip(), QStringLiteral("静音"));
    QCOMPARE(control->audioOutput()->volume(), levelForVolume(50));
}

// The sound back end is made with the first file; what the user set on the
// bar before that must reach it.
void MediaPlayerTest::volumeAndMuteChosenBeforeTheFirstFileApplyToIt()
{
    auto* control = makeControl(false);
    QVERIFY(control);
    QVERIFY(!control->player());
    auto* mute = Part<QToolButton>(control, "muteButton");
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(control->isMuted());
    QCOMPARE(mute->toolTip(), QStringLiteral("取消静音"));
    control->setVolume(20);

    QVERIFY(startPlaying(control, tone(QStringLiteral("first.wav"), 3000)));
    QVERIFY(control->audioOutput()->isMuted());
    QCOMPARE(control->audioOutput()->volume(), levelForVolume(20));
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(!control->audioOutput()->isMuted());
}

void MediaPlayerTest::settingTheAddressStartsPlayingInABarThatFits()
{
    auto* control = makeControl();
    QVERIFY(control);
    const QString path = tone(QStringLiteral("auto start.wav"), 3000);
    QVERIFY(!path.isEmpty());

    control->setSource(path);  // no play command: the address alone starts it
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    QTRY_COMPARE_WITH_TIMEOUT(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:01"), kLoadWait);
    QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:03"));
    QCOMPARE(control->statusText(), QStringLiteral("正在播放"));
    QCOMPARE(Part<QToolButton>(control, "playPauseButton")->toolTip(), QStringLiteral("暂停"));
    QVERIFY(Part<QSlider>(control, "positionSlider")->value() > 0);

    control->play();  // the caller's play command on top changes nothing
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);

    // Every part is shown whole, inside the bar, over no other part.
    QList<QRect> taken;
    for (const char* name : {"playPauseButton", "stopButton", "positionSlider", "elapsedLabel", "totalLabel",
                             "muteButton", "volumeSlider"}) {
        auto* part = Part<QWidget>(control, name);
        QVERIFY2(part && part->isVisible(), name);
        const QRect area = part->geometry();
        QVERIFY2(control->rect().contains(area) && area.width() >= 16 && area.height() >= 12, name);
        for (const QRect& other : taken)
            QVERIFY2(!other.intersects(area), name);
        taken << area;
    }
    const QLabel* elapsed = Part<QLabel>(control, "elapsedLabel");
    QVERIFY(elapsed->width() >= elapsed->fontMetrics().horizontalAdvance(elapsed->text()));
}

void MediaPlayerTest::playbackSurvivesTheFileBeingRenamed_data()
{
    QTest::addColumn<QString>("playName");
    QTest::addColumn<QString>("afterwards");  // "" deletes it

    // The window's own sequence: play under the play name, then back to the stored name.
    QTest::newRow("renamed back to its stored name")
        << QStringLiteral("心电图 wma 讲座.wma") << QStringLiteral("心电图 zip 讲座.zip");
    QTest::newRow("deleted") << QStringLiteral("gone.wma") << QString();
}

void MediaPlayerTest::playbackSurvivesTheFileBeingRenamed()
{
    QFETCH(QString, playName);
    QFETCH(QString, afterwards);

    auto* control = makeControl();
    QVERIFY(control);
    const QString playPath = tone(playName, 2000);
    QVERIFY(!playPath.isEmpty());

    control->setSource(playPath);
    control->play();
    // Straight away, before the player has had a turn of the event loop.
    if (afterwards.isEmpty())
        QVERIFY(QFile::remove(playPath));
    else
        QVERIFY(QFile::rename(playPath, folder_.filePath(afterwards)));

    qint64 furthest = 0;
    QObject::connect(control->player(), &QMediaPlayer::positionChanged, control,
                     [&furthest](qint64 position) { furthest = std::max(furthest, position); });
    // Played to its end from the open handle, with nothing going wrong.
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->mediaStatus(), QMediaPlayer::EndOfMedia, kPlayWait);
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
    QVERIFY2(furthest >= 1500, qPrintable(QString::number(furthest)));
    QCOMPARE(control->statusText(), QStringLiteral("播放完毕"));
    QCOMPARE(control->source(), playPath);
    QVERIFY(afterwards.isEmpty() || QFile::exists(folder_.filePath(afterwards)));
    QCOMPARE(otherWindows(control), 0);
}

void MediaPlayerTest::aNewAddressReplacesTheOldAndLetsGoOfIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // "tone": a lecture two seconds long
    QTest::addColumn<QString>("status");

    QTest::newRow("another lecture") << QStringLiteral("second.wav") << QByteArray("tone")
                                     << QStringLiteral("正在播放");
    QTest::newRow("empty") << QString() << QByteArray() << QString();
    QTest::newRow("missing") << QStringLiteral("missing.wma") << QByteArray() << QStringLiteral("无法打开文件");
    QTest::newRow("folder") << QStringLiteral("a folder.wma") << QByteArray() << QStringLiteral("无法打开文件");
    QTest::newRow("not audio") << QStringLiteral("not audio.wma")
                               << QByteArray("this is no lecture at all\n").repeated(200)
                               << QStringLiteral("无法播放此文件");
}

void MediaPlayerTest::aNewAddressReplacesTheOldAndLetsGoOfIt()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, status);

    auto* control = playing(QStringLiteral("first.wav"), 6000);
    QVERIFY(control);
    const QString first = control->source();
    QCOMPARE(openHandlesOn(first), 1);

    const QString path = name.isEmpty() ? QString() : folder_.filePath(name);
    if (content == "tone")
        QVERIFY(writeTone(path, 2000, 660));
    else if (name.startsWith(QStringLiteral("a folder")))
        QVERIFY(QDir().mkpath(path));
    else if (!content.isEmpty())
        QVERIFY(writeWholeFile(path, content));

    control->setSource(path);
    control->play();
    QCOMPARE(control->source(), path);
    QTRY_COMPARE_WITH_TIMEOUT(control->statusText(), status, kLoadWait);
    QTRY_COMPARE_WITH_TIMEOUT(openHandlesOn(first), 0, kLoadWait);
    // Whatever went wrong, the bar says so quietly.
    QCOMPARE(otherWindows(control), 0);
    QVERIFY(!QApplication::activeModalWidget());
    if (content == "tone") {
        QTRY_COMPARE_WITH_TIMEOUT(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:02"), kLoadWait);
        QCOMPARE(control->player()->playbackState(), QMediaPlayer::PlayingState);
        QCOMPARE(openHandlesOn(path), 1);
    } else {
        QVERIFY(control->player()->playbackState() != QMediaPlayer::PlayingState);
        QVERIFY(!Part<QToolButton>(control, "playPauseButton")->isEnabled());
        QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:00"));
        // Nothing of the previous lecture's length is left behind.
        QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:00"));
        // Still usable: the next good address plays.
        QVERIFY(startPlaying(control, tone(QStringLiteral("after.wav"), 3000)));
        QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
    }
}

void MediaPlayerTest::speedMenuSetsTheRate_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<qreal>("rate");

    QTest::newRow("0.5x") << QStringLiteral("0.5 倍速") << 0.5;
    QTest::newRow("0.75x") << QStringLiteral("0.75 倍速") << 0.75;
    QTest::newRow("1x") << QStringLiteral("正常") << 1.0;
    QTest::newRow("1.25x") << QStringLiteral("1.25 倍速") << 1.25;
    QTest::newRow("1.5x") << QStringLiteral("1.5 倍速") << 1.5;
    QTest::newRow("2x") << QStringLiteral("2 倍速") << 2.0;
}

void MediaPlayerTest::speedMenuSetsTheRate()
{
    QFETCH(QString, entry);
    QFETCH(qreal, rate);

    auto* control = playing(QStringLiteral("speed.wav"), 6000);
    QVERIFY(control);
    const qreal before = rate == 2.0 ? 0.5 : 2.0;  // start elsewhere, so the entry must change it
    control->setPlaybackRate(before);

    // Through the window, as the window system delivers it: only there does
    // a right click turn into a context menu request.
    const QLabel* status = Part<QLabel>(control, "statusLabel");
    QTest::mouseClick(control->windowHandle(), Qt::RightButton, {}, status->mapTo(control, status->rect().center()));
    QMenu* menu = control->contextMenu();
    QTRY_COMPARE(QApplication::activePopupWidget(), menu);
    QMenu* speeds = control->speedMenu();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(speeds->menuAction()).center());
    QTRY_COMPARE(QApplication::activePopupWidget(), speeds);
    QCOMPARE(checkedEntries(speeds), before == 2.0 ? QStringLiteral("2 倍速") : QStringLiteral("0.5 倍速"));
    const QList<QAction*> actions = speeds->actions();
    const auto wanted = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == entry; });
    QVERIFY(wanted != actions.end());
    QTest::mouseClick(speeds, Qt::LeftButton, {}, speeds->actionGeometry(*wanted).center());
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(control->player()->playbackRate(), rate);
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(checkedEntries(speeds), entry);
}

void MediaPlayerTest::chosenSpeedCarriesOverToTheNextFile()
{
    auto* control = makeControl();
    QVERIFY(control);
    control->setPlaybackRate(2.0);  // chosen before anything was loaded
    QVERIFY(startPlaying(control, tone(QStringLiteral("first speed.wav"), 3000)));
    QCOMPARE(control->player()->playbackRate(), 2.0);

    // A second player at normal speed is the yardstick: both run on the same
    // clock, so when the fast one is through, the other is about half way.
    platform::MediaPlayer yardstick;
    yardstick.setMuted(true);
    const QString next = tone(QStringLiteral("second speed.wav"), 3000);
    control->setSource(next);
    yardstick.setSource(next);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->mediaStatus(), QMediaPlayer::EndOfMedia, kPlayWait);
    QCOMPARE(yardstick.player()->playbackState(), QMediaPlayer::PlayingState);
    QVERIFY2(yardstick.player()->position() < 2400, qPrintable(QString::number(yardstick.player()->position())));
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
}

void MediaPlayerTest::transportButtonsPauseStopAndReplay()
{
    auto* control = playing(QStringLiteral("transport.wav"), 3000);
    QVERIFY(control);
    QMediaPlayer* player = control->player();
    auto* playPause = Part<QToolButton>(control, "playPauseButton");

    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE(player->playbackState(), QMediaPlayer::PausedState);
    QCOMPARE(control->statusText(), QStringLiteral("已暂停"));
    const qint64 pausedAt = player->position();
    QVERIFY(pausedAt > 0);

    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE(control->statusText(), QStringLiteral("正在播放"));
    // Resumed where it was, not from the start.
    QTRY_VERIFY_WITH_TIMEOUT(player->position() > std::max<qint64>(pausedAt, 1200), kLoadWait);
    const qint64 stoppedAt = player->position();
    QTest::mouseClick(Part<QToolButton>(control, "stopButton"), Qt::LeftButton);
    QTRY_COMPARE(player->playbackState(), QMediaPlayer::StoppedState);
    QTRY_COMPARE(player->position(), 0);
    QCOMPARE(Part<QSlider>(control, "positionSlider")->value(), 0);
    QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:00"));
    QTRY_COMPARE(control->statusText(), QStringLiteral("已停止"));
    QCOMPARE(playPause->toolTip(), QStringLiteral("播放"));

    // Play after stop starts from the beginning.
    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(player->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(player->position() > 0, kLoadWait);
    QVERIFY2(player->position() < stoppedAt, qPrintable(QString::number(player->position())));

    // And once more after the end.
    QTRY_COMPARE_WITH_TIMEOUT(player->mediaStatus(), QMediaPlayer::EndOfMedia, kPlayWait);
    QCOMPARE(control->statusText(), QStringLiteral("播放完毕"));
    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(player->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(
        player->playbackState() == QMediaPlayer::StoppedState && player->mediaStatus() == QMediaPlayer::EndOfMedia,
        kPlayWait);
    QCOMPARE(player->error(), QMediaPlayer::NoError);
}

void MediaPlayerTest::positionSliderSeeks_data()
{
    QTest::addColumn<bool>("drag");
    QTest::addColumn<double>("fraction");

    QTest::newRow("click at three quarters") << false << 0.75;
    QTest::newRow("drag to three fifths") << true << 0.6;
    QTest::newRow("drag to the start") << true << 0.0;
}

void MediaPlayerTest::positionSliderSeeks()
{
    QFETCH(bool, drag);
    QFETCH(double, fraction);

    // Paused half way, so the position only moves by seeking, either way.
    auto* control = pausedAt(QStringLiteral("seek.wav"), 8000, 4000);
    QVERIFY(control);
    QMediaPlayer* player = control->player();
    const qint64 duration = player->duration();
    const qint64 before = player->position();
    auto* slider = Part<QSlider>(control, "positionSlider");
    auto* elapsed = Part<QLabel>(control, "elapsedLabel");
    QTRY_VERIFY(slider->isEnabled());
    const QPoint target = pointInGroove(slider, fraction);

    if (drag) {
        const QPoint handle = sliderPart(slider, QStyle::SC_SliderHandle).center();
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(slider, handle + (target - handle) * step / 4);
        QVERIFY(slider->isSliderDown());
        // While dragging only the time shown follows the handle.
        QCOMPARE(player->position(), before);
        QCOMPARE(elapsed->text(), platform::formatPlayTime(slider->sliderPosition(), duration));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, target);
    } else {
        QTest::mouseClick(slider, Qt::LeftButton, {}, target);
    }

    const qint64 wanted = qRound64(fraction * duration);
    const qint64 tolerance = duration / 20;
    QTRY_VERIFY2(qAbs(player->position() - wanted) <= tolerance,
                 qPrintable(QStringLiteral("position %1, wanted %2").arg(player->position()).arg(wanted)));
    QVERIFY(qAbs(slider->value() - wanted) <= tolerance);
    QCOMPARE(player->playbackState(), QMediaPlayer::PausedState);
    QCOMPARE(elapsed->text(), platform::formatPlayTime(player->position(), duration));
}

void MediaPlayerTest::keysInTheBarPlayPauseAndSeek_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QMediaPlayer::PlaybackState>("state");
    QTest::addColumn<int>("moved");  // by the key, in ms
    QTest::addColumn<int>("volume");

    const auto paused = QMediaPlayer::PausedState;
    QTest::newRow("Space on play plays") << "playPauseButton" << int(Qt::Key_Space) << QMediaPlayer::PlayingState << 0 << 50;
    QTest::newRow("Space on the position bar plays") << "positionSlider" << int(Qt::Key_Space) << QMediaPlayer::PlayingState << 0 << 50;
    QTest::newRow("Space on the volume bar plays") << "volumeSlider" << int(Qt::Key_Space) << QMediaPlayer::PlayingState << 0 << 50;
    QTest::newRow("Space on stop stops") << "stopButton" << int(Qt::Key_Space) << QMediaPlayer::StoppedState << -3000 << 50;
    QTest::newRow("Right on play seeks ahead") << "playPauseButton" << int(Qt::Key_Right) << paused << 5000 << 50;
    QTest::newRow("Left on mute seeks back") << "muteButton" << int(Qt::Key_Left) << paused << -3000 << 50;
    QTest::newRow("Right on the volume bar is louder") << "volumeSlider" << int(Qt::Key_Right) << paused << 0 << 55;
}

void MediaPlayerTest::keysInTheBarPlayPauseAndSeek()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QMediaPlayer::PlaybackState, state);
    QFETCH(int, moved);
    QFETCH(int, volume);

    // Paused at 3 s, so only a key moves the position.
    auto* control = pausedAt(QStringLiteral("keys.wav"), 10000, 3000);
    QVERIFY(control);
    QMediaPlayer* player = control->player();

    const bool muted = control->isMuted();
    auto* target = control->findChild<QWidget*>(focus);
    QVERIFY(target && target->isEnabled());
    target->setFocus(Qt::TabFocusReason);
    QTest::keyClick(target, Qt::Key(key));

    QTRY_COMPARE(player->playbackState(), state);
    if (state == QMediaPlayer::PausedState)
        QTRY_COMPARE(player->position(), 3000 + moved);
    QCOMPARE(control->volume(), volume);
    QCOMPARE(control->isMuted(), muted);
}

void MediaPlayerTest::volumeSliderSetsTheLevel_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("volume");

    QTest::newRow("silent") << 0.0 << 0;
    QTest::newRow("a quarter") << 0.25 << 25;
    QTest::newRow("full") << 1.0 << 100;
}

void MediaPlayerTest::volumeSliderSetsTheLevel()
{
    QFETCH(double, fraction);
    QFETCH(int, volume);

    auto* control = makeControl();
    QVERIFY(control);
    auto* slider = Part<QSlider>(control, "volumeSlider");
    QTest::mouseClick(slider, Qt::LeftButton, {}, pointInGroove(slider, fraction));
    QVERIFY2(qAbs(control->volume() - volume) <= 3, qPrintable(QString::number(control->volume())));
    // Loudness, not amplitude, follows the slider.
    QCOMPARE(control->audioOutput()->volume(), levelForVolume(control->volume()));
}

void MediaPlayerTest::playTimeFormat_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QString>("shown");

    QTest::newRow("seconds are cut, not rounded") << qint64(59999) << qint64(60000) << QStringLiteral("00:59");
    QTest::newRow("just under an hour") << qint64(3599999) << qint64(3599999) << QStringLiteral("59:59");
    QTest::newRow("start of an hour-long lecture") << qint64(0) << qint64(3600000) << QStringLiteral("0:00:00");
    QTest::newRow("hours") << qint64(3723000) << qint64(7200000) << QStringLiteral("1:02:03");
    QTest::newRow("ten hours") << qint64(36000000) << qint64(36000000) << QStringLiteral("10:00:00");
    QTest::newRow("past an unknown length") << qint64(3661000) << qint64(0) << QStringLiteral("1:01:01");
    QTest::newRow("negative") << qint64(-5) << qint64(1000) << QStringLiteral("00:00");
}

void MediaPlayerTest::playTimeFormat()
{
    QFETCH(qint64, position);
    QFETCH(qint64, length);
    QFETCH(QString, shown);
    QCOMPARE(platform::formatPlayTime(position, length), shown);
}

QTEST_MAIN(MediaPlayerTest)
#include "MediaPlayerTest.moc"
