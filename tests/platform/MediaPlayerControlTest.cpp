#include "platform/MediaPlayerControl.h"
#include "platform/PlayTime.h"
#include "support/ToneWav.h"

#include <QAction>
#include <QApplication>
#include <QAudio>
#include <QAudioOutput>
#include <QDialog>
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
#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

// Playback runs against the wall clock; these waits only bound a hang.
constexpr int kLoadWait = 15000;
constexpr int kPlayWait = 20000;

// Any window the control might have raised besides itself.
QStringList OtherWindows(const QWidget* own)
{
    QStringList found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != own && widget->isVisible())
            found << QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->windowTitle();
    }
    return found;
}

// The open handles of this process on `path`, from the kernel's own table.
int OpenHandlesOn(const QString& path)
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (!wanted.isEmpty() && fd.symLinkTarget() == wanted)
            ++count;
    }
    return count;
}

QPoint PointInGroove(QSlider* slider, double fraction)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    QStyle* style = slider->style();
    const QRect groove = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, slider);
    const QRect handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    const int span = groove.width() - handle.width();
    return QPoint(groove.x() + handle.width() / 2 + qRound(fraction * span), slider->height() / 2);
}

QPoint HandleCentre(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.subControls = QStyle::SC_SliderHandle;
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
}

template <typename T> T* Part(platform::MediaPlayerControl* control, const char* name)
{
    return control->findChild<T*>(QString::fromLatin1(name));
}

float LevelForVolume(int volume)
{
    return QAudio::convertVolume(volume / 100.0f, QAudio::CubicVolumeScale, QAudio::LinearVolumeScale);
}

}  // namespace

class MediaPlayerControlTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithTheSettingsOfTheOriginal();
    void transportFitsTheBar();
    void settingTheAddressStartsPlaying();
    void playbackSurvivesTheFileBeingRenamed_data();
    void playbackSurvivesTheFileBeingRenamed();
    void anAddressThatCannotPlayShowsNoDialog_data();
    void anAddressThatCannotPlayShowsNoDialog();
    void aNewAddressReplacesTheOldAndLetsGoOfIt();
    void speedMenuSetsTheRate_data();
    void speedMenuSetsTheRate();
    void chosenSpeedCarriesOverToTheNextFile();
    void stopButtonStops();
    void playPauseButtonPausesAndResumes();
    void playStartsAgainAfterTheEnd();
    void positionSliderSeeks_data();
    void positionSliderSeeks();
    void muteButtonMutes();
    void volumeSliderSetsTheLevel_data();
    void volumeSliderSetsTheLevel();
    void playTimeFormat_data();
    void playTimeFormat();

private:
    // A shown control the size of the player bar, muted so a test run on a
    // desk makes no noise.
    platform::MediaPlayerControl* MakeControl(bool muted = true);
    QString Tone(const QString& name, int milliseconds, int frequency = 440);
    bool StartPlaying(platform::MediaPlayerControl* control, const QString& path);

    QTemporaryDir folder_;
    platform::MediaPlayerControl* control_ = nullptr;
};

void MediaPlayerControlTest::initTestCase()
{
    QVERIFY(folder_.isValid());
}

void MediaPlayerControlTest::init()
{
    control_ = nullptr;
}

void MediaPlayerControlTest::cleanup()
{
    delete control_;
    control_ = nullptr;
}

platform::MediaPlayerControl* MediaPlayerControlTest::MakeControl(bool muted)
{
    control_ = new platform::MediaPlayerControl;
    control_->resize(606, 65);
    control_->setMuted(muted);
    control_->show();
    if (!QTest::qWaitForWindowExposed(control_))
        return nullptr;
    return control_;
}

QString MediaPlayerControlTest::Tone(const QString& name, int milliseconds, int frequency)
{
    const QString path = folder_.filePath(name);
    return WriteTone(path, milliseconds, frequency) ? path : QString();
}

bool MediaPlayerControlTest::StartPlaying(platform::MediaPlayerControl* control, const QString& path)
{
    control->setURL(path);
    control->play();
    return QTest::qWaitFor(
        [control] {
            // The position can be asked for before the media has loaded.
            return control->player()->playbackState() == QMediaPlayer::PlayingState
                && control->player()->mediaStatus() == QMediaPlayer::BufferedMedia
                && control->player()->duration() > 0 && control->player()->position() > 100;
        },
        kLoadWait);
}

void MediaPlayerControlTest::startsWithTheSettingsOfTheOriginal()
{
    auto* control = MakeControl(false);
    QVERIFY(control);
    QCOMPARE(control->URL(), QString());
    QCOMPARE(control->volume(), 50);
    QCOMPARE(Part<QSlider>(control, "volumeSlider")->value(), 50);
    QCOMPARE(control->audioOutput()->volume(), LevelForVolume(50));
    QVERIFY(!control->isMuted());
    QVERIFY(!control->audioOutput()->isMuted());
    QCOMPARE(control->playbackRate(), 1.0);
    QCOMPARE(control->player()->playbackRate(), 1.0);
    QVERIFY(control->player()->source().isEmpty());
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::StoppedState);
    QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:00"));
    QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:00"));
    QCOMPARE(control->statusText(), QString());
    // Nothing to play yet: the transport is there but idle.
    QVERIFY(!Part<QToolButton>(control, "playPauseButton")->isEnabled());
    QVERIFY(!Part<QToolButton>(control, "stopButton")->isEnabled());
}

void MediaPlayerControlTest::transportFitsTheBar()
{
    auto* control = MakeControl();
    QVERIFY(control);
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("fit.wav"), 3000)));
    const char* names[] = {"playPauseButton", "stopButton", "positionSlider", "elapsedLabel",
                           "totalLabel", "muteButton", "volumeSlider"};
    QList<QRect> taken;
    for (const char* name : names) {
        auto* part = Part<QWidget>(control, name);
        QVERIFY2(part, name);
        QVERIFY2(part->isVisible(), name);
        const QRect area = part->geometry();
        QVERIFY2(control->rect().contains(area), name);
        QVERIFY2(area.width() >= 16 && area.height() >= 12, name);
        for (const QRect& other : taken)
            QVERIFY2(!other.intersects(area), name);
        taken << area;
    }
    // Most of the width is left to the position bar, so seeking is precise.
    QVERIFY(Part<QSlider>(control, "positionSlider")->width() >= 350);
    const QLabel* elapsed = Part<QLabel>(control, "elapsedLabel");
    QVERIFY(elapsed->width() >= elapsed->fontMetrics().horizontalAdvance(elapsed->text()));
}

void MediaPlayerControlTest::settingTheAddressStartsPlaying()
{
    auto* control = MakeControl();
    QVERIFY(control);
    const QString path = Tone(QStringLiteral("auto start.wav"), 3000);
    QVERIFY(!path.isEmpty());

    control->setURL(path);  // no play command: the address alone starts it
    QCOMPARE(control->URL(), path);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(control->player()->position() > 500, kLoadWait);
    const qint64 earlier = control->player()->position();
    QTRY_VERIFY_WITH_TIMEOUT(control->player()->position() > earlier, kLoadWait);
    QCOMPARE(control->player()->duration() / 100, 30);
    QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:03"));
    QTRY_COMPARE_WITH_TIMEOUT(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:01"), kLoadWait);
    QCOMPARE(control->statusText(), QStringLiteral("正在播放"));
    QCOMPARE(Part<QToolButton>(control, "playPauseButton")->toolTip(), QStringLiteral("暂停"));
    QVERIFY(Part<QSlider>(control, "positionSlider")->value() > 0);

    control->play();  // the caller's play command on top changes nothing
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
}

void MediaPlayerControlTest::playbackSurvivesTheFileBeingRenamed_data()
{
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("playName");
    QTest::addColumn<QString>("afterwards");

    // The window's own sequence: to the play name, play, back to the stored name.
    QTest::newRow("renamed back to its stored name")
        << QStringLiteral("心电图 zip 讲座.zip") << QStringLiteral("心电图 wma 讲座.wma")
        << QStringLiteral("心电图 zip 讲座.zip");
    QTest::newRow("moved elsewhere") << QString() << QStringLiteral("lecture.wma")
                                     << QStringLiteral("elsewhere.bin");
    QTest::newRow("deleted") << QString() << QStringLiteral("gone.wma") << QString();
}

void MediaPlayerControlTest::playbackSurvivesTheFileBeingRenamed()
{
    QFETCH(QString, storedName);
    QFETCH(QString, playName);
    QFETCH(QString, afterwards);

    auto* control = MakeControl();
    QVERIFY(control);
    const QString playPath = folder_.filePath(playName);
    if (storedName.isEmpty()) {
        QVERIFY(WriteTone(playPath, 2000));
    } else {
        QVERIFY(WriteTone(folder_.filePath(storedName), 2000));
        QVERIFY(QFile::rename(folder_.filePath(storedName), playPath));
    }

    control->setURL(playPath);
    control->play();
    // Straight away, before the player has had a turn of the event loop.
    if (afterwards.isEmpty())
        QVERIFY(QFile::remove(playPath));
    else
        QVERIFY(QFile::rename(playPath, folder_.filePath(afterwards)));
    QVERIFY(!QFile::exists(playPath));

    qint64 furthest = 0;
    QObject::connect(control->player(), &QMediaPlayer::positionChanged, control,
                     [&furthest](qint64 position) { furthest = std::max(furthest, position); });
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    // Played to its end from the open handle, with nothing going wrong.
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->mediaStatus(), QMediaPlayer::EndOfMedia, kPlayWait);
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
    QVERIFY2(furthest >= 1500, qPrintable(QString::number(furthest)));
    QCOMPARE(control->statusText(), QStringLiteral("播放完毕"));
    QCOMPARE(control->URL(), playPath);
    if (!afterwards.isEmpty())
        QVERIFY(QFile::exists(folder_.filePath(afterwards)));
    QVERIFY(OtherWindows(control).isEmpty());
}

void MediaPlayerControlTest::anAddressThatCannotPlayShowsNoDialog_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("status");

    QTest::newRow("empty") << QString() << QByteArray() << QString();
    QTest::newRow("missing") << QStringLiteral("missing.wma") << QByteArray() << QStringLiteral("无法打开文件");
    QTest::newRow("folder") << QStringLiteral("a folder.wma") << QByteArray() << QStringLiteral("无法打开文件");
    QTest::newRow("not audio") << QStringLiteral("not audio.wma")
                               << QByteArray("this is no lecture at all\n").repeated(200)
                               << QStringLiteral("无法播放此文件");
}

void MediaPlayerControlTest::anAddressThatCannotPlayShowsNoDialog()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, status);

    auto* control = MakeControl();
    QVERIFY(control);
    // Something plays first, so the bad address has something to replace.
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("before.wav"), 3000)));

    const QString path = name.isEmpty() ? QString() : folder_.filePath(name);
    if (name.startsWith(QStringLiteral("a folder")))
        QVERIFY(QDir().mkpath(path));
    else if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    control->setURL(path);
    control->play();
    QCOMPARE(control->URL(), path);
    QTRY_COMPARE_WITH_TIMEOUT(control->statusText(), status, kLoadWait);
    QVERIFY(control->player()->playbackState() != QMediaPlayer::PlayingState);
    QVERIFY(!Part<QToolButton>(control, "playPauseButton")->isEnabled());
    QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:00"));
    QCOMPARE(OtherWindows(control), QStringList());
    QVERIFY(!QApplication::activeModalWidget());

    // Still usable: the next good address plays.
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("after.wav"), 3000)));
    QCOMPARE(control->statusText(), QStringLiteral("正在播放"));
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
}

void MediaPlayerControlTest::aNewAddressReplacesTheOldAndLetsGoOfIt()
{
    auto* control = MakeControl();
    QVERIFY(control);
    const QString first = Tone(QStringLiteral("first.wav"), 6000, 440);
    const QString second = Tone(QStringLiteral("second.wav"), 2000, 660);
    QVERIFY(StartPlaying(control, first));
    QCOMPARE(control->player()->duration() / 100, 60);
    QCOMPARE(OpenHandlesOn(first), 1);

    control->setURL(second);
    QCOMPARE(control->URL(), second);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->duration() / 100, 20, kLoadWait);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:02"));
    QTRY_COMPARE_WITH_TIMEOUT(OpenHandlesOn(first), 0, kLoadWait);
    QCOMPARE(OpenHandlesOn(second), 1);

    control->setURL(QString());  // an empty address stops and lets go too
    QTRY_COMPARE_WITH_TIMEOUT(OpenHandlesOn(second), 0, kLoadWait);
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::StoppedState);
    QCOMPARE(control->URL(), QString());
}

void MediaPlayerControlTest::speedMenuSetsTheRate_data()
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

void MediaPlayerControlTest::speedMenuSetsTheRate()
{
    QFETCH(QString, entry);
    QFETCH(qreal, rate);

    auto* control = MakeControl();
    QVERIFY(control);
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("speed.wav"), 6000)));
    const qreal before = rate == 2.0 ? 0.5 : 2.0;  // start elsewhere, so the entry must change it
    control->setPlaybackRate(before);

    auto openSpeedMenu = [control]() -> QMenu* {
        // Through the window, as the window system delivers it: only there
        // does a right click turn into a context menu request.
        const QLabel* status = Part<QLabel>(control, "statusLabel");
        QTest::mouseClick(control->windowHandle(), Qt::RightButton, {},
                          status->mapTo(control, status->rect().center()));
        if (!QTest::qWaitFor([control] { return QApplication::activePopupWidget() == control->contextMenu(); }))
            return nullptr;
        QMenu* menu = control->contextMenu();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(control->speedMenu()->menuAction()).center());
        if (!QTest::qWaitFor([control] { return QApplication::activePopupWidget() == control->speedMenu(); }))
            return nullptr;
        return control->speedMenu();
    };
    auto checkedEntry = [](QMenu* menu) {
        QStringList checked;
        for (QAction* action : menu->actions()) {
            if (action->isChecked())
                checked << action->text();
        }
        return checked;
    };

    QMenu* speeds = openSpeedMenu();
    QVERIFY(speeds);
    QCOMPARE(control->contextMenu()->actions().first()->text(), QStringLiteral("播放速度"));
    QStringList entries;
    for (QAction* action : speeds->actions())
        entries << action->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("0.5 倍速"), QStringLiteral("0.75 倍速"), QStringLiteral("正常"),
                                   QStringLiteral("1.25 倍速"), QStringLiteral("1.5 倍速"),
                                   QStringLiteral("2 倍速")}));
    QCOMPARE(checkedEntry(speeds),
             QStringList{before == 2.0 ? QStringLiteral("2 倍速") : QStringLiteral("0.5 倍速")});

    QAction* wanted = nullptr;
    for (QAction* action : speeds->actions()) {
        if (action->text() == entry)
            wanted = action;
    }
    QVERIFY(wanted);
    QTest::mouseClick(speeds, Qt::LeftButton, {}, speeds->actionGeometry(wanted).center());
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(control->playbackRate(), rate);
    QCOMPARE(control->player()->playbackRate(), rate);
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::PlayingState);

    speeds = openSpeedMenu();
    QVERIFY(speeds);
    QCOMPARE(checkedEntry(speeds), QStringList{entry});
    speeds->close();
    control->contextMenu()->close();
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

void MediaPlayerControlTest::chosenSpeedCarriesOverToTheNextFile()
{
    auto* control = MakeControl();
    QVERIFY(control);
    control->setPlaybackRate(2.0);  // chosen before anything was loaded
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("first speed.wav"), 3000)));
    QCOMPARE(control->player()->playbackRate(), 2.0);

    // A second player at normal speed is the yardstick: both run on the same
    // clock, so when the fast one is through, the other is about half way.
    platform::MediaPlayerControl yardstick;
    yardstick.setMuted(true);
    const QString next = Tone(QStringLiteral("second speed.wav"), 3000);
    control->setURL(next);
    yardstick.setURL(next);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->mediaStatus(), QMediaPlayer::EndOfMedia, kPlayWait);
    QCOMPARE(yardstick.player()->playbackState(), QMediaPlayer::PlayingState);
    QVERIFY2(yardstick.player()->position() < 2400, qPrintable(QString::number(yardstick.player()->position())));
    QCOMPARE(control->playbackRate(), 2.0);
    QCOMPARE(control->player()->playbackRate(), 2.0);
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
}

void MediaPlayerControlTest::stopButtonStops()
{
    auto* control = MakeControl();
    QVERIFY(control);
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("stop.wav"), 5000)));
    QTRY_VERIFY_WITH_TIMEOUT(control->player()->position() > 1000, kLoadWait);

    auto* stop = Part<QToolButton>(control, "stopButton");
    QVERIFY(stop->isEnabled());
    QTest::mouseClick(stop, Qt::LeftButton);
    QTRY_COMPARE(control->player()->playbackState(), QMediaPlayer::StoppedState);
    QTRY_COMPARE(control->player()->position(), 0);
    QCOMPARE(Part<QSlider>(control, "positionSlider")->value(), 0);
    QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:00"));
    QTRY_COMPARE(control->statusText(), QStringLiteral("已停止"));
    QCOMPARE(Part<QToolButton>(control, "playPauseButton")->toolTip(), QStringLiteral("播放"));

    // Play after stop starts from the beginning.
    QTest::mouseClick(Part<QToolButton>(control, "playPauseButton"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(control->player()->position() > 0, kLoadWait);
    QVERIFY(control->player()->position() < 4000);
}

void MediaPlayerControlTest::playPauseButtonPausesAndResumes()
{
    auto* control = MakeControl();
    QVERIFY(control);
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("pause.wav"), 5000)));
    auto* button = Part<QToolButton>(control, "playPauseButton");

    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE(control->player()->playbackState(), QMediaPlayer::PausedState);
    QCOMPARE(control->statusText(), QStringLiteral("已暂停"));
    QCOMPARE(button->toolTip(), QStringLiteral("播放"));
    const qint64 pausedAt = control->player()->position();
    QVERIFY(pausedAt > 0);

    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE(control->player()->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(button->toolTip(), QStringLiteral("暂停"));
    // Resumed where it was, not from the start.
    QTRY_VERIFY_WITH_TIMEOUT(control->player()->position() > pausedAt, kLoadWait);
    QCOMPARE(control->statusText(), QStringLiteral("正在播放"));
}

void MediaPlayerControlTest::playStartsAgainAfterTheEnd()
{
    auto* control = MakeControl();
    QVERIFY(control);
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("short.wav"), 1000)));
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->mediaStatus(), QMediaPlayer::EndOfMedia, kPlayWait);
    QCOMPARE(control->statusText(), QStringLiteral("播放完毕"));

    auto* button = Part<QToolButton>(control, "playPauseButton");
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->playbackState(), QMediaPlayer::PlayingState, kLoadWait);
    QTRY_COMPARE_WITH_TIMEOUT(control->player()->mediaStatus(), QMediaPlayer::EndOfMedia, kPlayWait);
    QCOMPARE(control->player()->error(), QMediaPlayer::NoError);
}

void MediaPlayerControlTest::positionSliderSeeks_data()
{
    QTest::addColumn<bool>("drag");
    QTest::addColumn<double>("fraction");

    QTest::newRow("click at a quarter") << false << 0.25;
    QTest::newRow("click at three quarters") << false << 0.75;
    QTest::newRow("drag to three fifths") << true << 0.6;
    QTest::newRow("drag to the start") << true << 0.0;
}

void MediaPlayerControlTest::positionSliderSeeks()
{
    QFETCH(bool, drag);
    QFETCH(double, fraction);

    auto* control = MakeControl();
    QVERIFY(control);
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("seek.wav"), 8000)));
    // Paused, so the position only moves by seeking.
    control->pause();
    QTRY_COMPARE(control->player()->playbackState(), QMediaPlayer::PausedState);
    if (fraction == 0.0) {
        control->player()->setPosition(4000);
        QTRY_COMPARE(control->player()->position(), 4000);
    }
    const qint64 duration = control->player()->duration();
    const qint64 before = control->player()->position();
    auto* slider = Part<QSlider>(control, "positionSlider");
    QTRY_VERIFY(slider->isEnabled());
    const QPoint target = PointInGroove(slider, fraction);

    if (drag) {
        const QPoint handle = HandleCentre(slider);
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(slider, handle + (target - handle) * step / 4);
        QVERIFY(slider->isSliderDown());
        // While dragging only the time shown follows the handle.
        QCOMPARE(control->player()->position(), before);
        QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(),
                 platform::FormatPlayTime(slider->sliderPosition(), duration));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, target);
    } else {
        QTest::mouseClick(slider, Qt::LeftButton, {}, target);
    }

    const qint64 wanted = qRound64(fraction * duration);
    const qint64 tolerance = duration / 20;
    QTRY_VERIFY2(qAbs(control->player()->position() - wanted) <= tolerance,
                 qPrintable(QStringLiteral("position %1, wanted %2").arg(control->player()->position()).arg(wanted)));
    QVERIFY(qAbs(slider->value() - wanted) <= tolerance);
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::PausedState);
    QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(),
             platform::FormatPlayTime(control->player()->position(), duration));
}

void MediaPlayerControlTest::muteButtonMutes()
{
    auto* control = MakeControl(false);
    QVERIFY(control);
    QVERIFY(StartPlaying(control, Tone(QStringLiteral("mute.wav"), 4000)));
    auto* mute = Part<QToolButton>(control, "muteButton");

    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(control->audioOutput()->isMuted());
    QVERIFY(control->isMuted());
    QCOMPARE(mute->toolTip(), QStringLiteral("取消静音"));
    QCOMPARE(control->volume(), 50);  // muting keeps the volume for later
    QCOMPARE(control->player()->playbackState(), QMediaPlayer::PlayingState);

    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(!control->audioOutput()->isMuted());
    QCOMPARE(mute->toolTip(), QStringLiteral("静音"));
    QCOMPARE(control->audioOutput()->volume(), LevelForVolume(50));
}

void MediaPlayerControlTest::volumeSliderSetsTheLevel_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("volume");

    QTest::newRow("silent") << 0.0 << 0;
    QTest::newRow("a quarter") << 0.25 << 25;
    QTest::newRow("full") << 1.0 << 100;
}

void MediaPlayerControlTest::volumeSliderSetsTheLevel()
{
    QFETCH(double, fraction);
    QFETCH(int, volume);

    auto* control = MakeControl();
    QVERIFY(control);
    auto* slider = Part<QSlider>(control, "volumeSlider");
    QTest::mouseClick(slider, Qt::LeftButton, {}, PointInGroove(slider, fraction));
    QVERIFY2(qAbs(control->volume() - volume) <= 3, qPrintable(QString::number(control->volume())));
    QCOMPARE(control->audioOutput()->volume(), LevelForVolume(control->volume()));
    // The level follows loudness: the middle of the slider is well below half
    // the amplitude, the ends are the ends.
    QVERIFY(LevelForVolume(50) < 0.5f);
    QCOMPARE(LevelForVolume(100), 1.0f);
    QCOMPARE(LevelForVolume(0), 0.0f);
}

void MediaPlayerControlTest::playTimeFormat_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QString>("shown");

    QTest::newRow("nothing") << qint64(0) << qint64(0) << QStringLiteral("00:00");
    QTest::newRow("seconds are cut, not rounded") << qint64(59999) << qint64(60000) << QStringLiteral("00:59");
    QTest::newRow("minutes") << qint64(61000) << qint64(600000) << QStringLiteral("01:01");
    QTest::newRow("just under an hour") << qint64(3599999) << qint64(3599999) << QStringLiteral("59:59");
    QTest::newRow("start of an hour-long lecture") << qint64(0) << qint64(3600000) << QStringLiteral("0:00:00");
    QTest::newRow("hours") << qint64(3723000) << qint64(7200000) << QStringLiteral("1:02:03");
    QTest::newRow("ten hours") << qint64(36000000) << qint64(36000000) << QStringLiteral("10:00:00");
    QTest::newRow("past an unknown length") << qint64(3661000) << qint64(0) << QStringLiteral("1:01:01");
    QTest::newRow("negative") << qint64(-5) << qint64(1000) << QStringLiteral("00:00");
}

void MediaPlayerControlTest::playTimeFormat()
{
    QFETCH(qint64, position);
    QFETCH(qint64, length);
    QFETCH(QString, shown);
    QCOMPARE(platform::FormatPlayTime(position, length), shown);
}

QTEST_MAIN(MediaPlayerControlTest)
#include "MediaPlayerControlTest.moc"
