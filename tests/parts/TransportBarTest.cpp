// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/TransportBar.h"

#include "parts/PlayTime.h"
#include "playback/Playback.h"
#include "playback/SleepTimer.h"
#include "support/FileBytes.h"
#include "support/PlaybackWaits.h"
#include "support/ToneWav.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QAudioOutput>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// Any window the control might have raised besides itself.
qsizetype otherWindows(const QWidget* own)
{
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(), [own](QWidget* w) { return w != own && w->isVisible(); });
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

template <typename T> T* Part(TransportBar* control, const char* name)
{
    return control->findChild<T*>(QString::fromLatin1(name));
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

// The transport bar as the user meets it, with real clicks and keys, over a
// real playback of WAV tones.
class TransportBarTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void startsIdleAndMutesWithoutLosingTheVolume();
    void settingTheSourceStartsPlayingInABarThatFits();
    void tabTakesEveryControlByItsName();
    void statusLineSaysWhatBecameOfTheLecture_data();
    void statusLineSaysWhatBecameOfTheLecture();
    void speedMenuSetsTheRate_data();
    void speedMenuSetsTheRate();
    void transportButtonsPauseStopAndReplay();
    void positionSliderSeeks_data();
    void positionSliderSeeks();
    void keysInTheBarPlayPauseAndSeek_data();
    void keysInTheBarPlayPauseAndSeek();
    void volumeSliderSetsTheVolume_data();
    void volumeSliderSetsTheVolume();
    void barFollowsChangesMadeElsewhere();
    void sleepTimerFadesOutAndStops_data();
    void sleepTimerFadesOutAndStops();
    void playTimeFormat_data();
    void playTimeFormat();

private:
    // A shown bar the size of the player bar, over a playback muted so a
    // test run on a desk makes no noise.
    TransportBar* makeBar(bool muted = true);
    QString tone(const QString& name, int milliseconds, int frequency = 440);
    // A shown bar playing a fresh tone of that length, or null.
    TransportBar* playing(const QString& name, int milliseconds);
    // The same, paused at `position` ms, or null.
    TransportBar* pausedAt(const QString& name, int milliseconds, qint64 position);

    QTemporaryDir folder_;
    std::unique_ptr<Playback> playback_;
    // The sleep timer's clock, moved by hand.
    qint64 clock_ = 1000000;
    std::unique_ptr<SleepTimer> sleepTimer_;
    TransportBar* bar_ = nullptr;
};

void TransportBarTest::cleanup()
{
    delete bar_;
    bar_ = nullptr;
    sleepTimer_.reset();
    playback_.reset();
}

TransportBar* TransportBarTest::makeBar(bool muted)
{
    playback_ = std::make_unique<Playback>();
    playback_->setMuted(muted);
    sleepTimer_ = std::make_unique<SleepTimer>(*playback_, [this] { return clock_; });
    bar_ = new TransportBar(*playback_, *sleepTimer_);
    bar_->resize(606, 65);
    bar_->show();
    // Active, as the window's keys only work in the active window.
    bar_->activateWindow();
    return QTest::qWaitForWindowActive(bar_) ? bar_ : nullptr;
}

QString TransportBarTest::tone(const QString& name, int milliseconds, int frequency)
{
    const QString path = folder_.filePath(name);
    return folder_.isValid() && writeTone(path, milliseconds, frequency) ? path : QString();
}

TransportBar* TransportBarTest::playing(const QString& name, int milliseconds)
{
    auto* bar = makeBar();
    return bar && startPlaying(*playback_, tone(name, milliseconds)) ? bar : nullptr;
}

TransportBar* TransportBarTest::pausedAt(const QString& name, int milliseconds, qint64 position)
{
    auto* bar = playing(name, milliseconds);
    return bar && pauseAt(*playback_, position) ? bar : nullptr;
}

void TransportBarTest::startsIdleAndMutesWithoutLosingTheVolume()
{
    auto* control = makeBar(false);
    QVERIFY(control);
    QCOMPARE(Part<QSlider>(control, "volumeSlider")->value(), 50);
    QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:00"));
    QCOMPARE(control->statusText(), QString());
    // Nothing to play yet: the transport is there but idle.
    QVERIFY(!Part<QToolButton>(control, "playPauseButton")->isEnabled());
    QVERIFY(!Part<QToolButton>(control, "stopButton")->isEnabled());

    auto* mute = Part<QToolButton>(control, "muteButton");
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(playback_->isMuted());
    QCOMPARE(mute->toolTip(), QStringLiteral("取消静音"));
    QTest::mouseClick(mute, Qt::LeftButton);
    QVERIFY(!playback_->isMuted());
    QCOMPARE(mute->toolTip(), QStringLiteral("静音"));
    QCOMPARE(playback_->volume(), 50);
}

void TransportBarTest::settingTheSourceStartsPlayingInABarThatFits()
{
    auto* control = makeBar();
    QVERIFY(control);
    const QString path = tone(QStringLiteral("auto start.wav"), 3000);
    QVERIFY(!path.isEmpty());

    playback_->setSource(path);
    QTRY_COMPARE_WITH_TIMEOUT(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:01"), kLoadWait);
    QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:03"));
    QCOMPARE(control->statusText(), QStringLiteral("正在播放"));
    QCOMPARE(Part<QToolButton>(control, "playPauseButton")->toolTip(), QStringLiteral("暂停"));
    QVERIFY(Part<QSlider>(control, "positionSlider")->value() > 0);

    // Every part is shown whole, inside the bar, over no other part.
    QList<QRect> taken;
    for (const char* name :
         {"playPauseButton", "stopButton", "skipBackButton", "skipAheadButton", "positionSlider", "elapsedLabel",
          "totalLabel", "speedButton", "sleepTimerButton", "muteButton", "volumeSlider"}) {
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

void TransportBarTest::tabTakesEveryControlByItsName()
{
    auto* control = playing(QStringLiteral("tab.wav"), 6000);
    QVERIFY(control);
    QTRY_VERIFY(playback_->isSeekable());
    // What a screen reader reads, and the tip, left to right.
    const QStringList names{"暂停", "停止", "后退10秒", "前进30秒", "播放进度", "播放速度", "定时停止", "静音", "音量"};
    const QStringList tips{"暂停",     "停止",     "后退10秒", "前进30秒", "播放进度",
                           "播放速度", "定时停止", "取消静音", "音量"};
    QStringList readNames;
    QStringList readTips;
    control->controls().constFirst()->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 0; i < names.size(); ++i) {
        QWidget* focused = control->focusWidget();
        QVERIFY(focused);
        readNames << QAccessible::queryAccessibleInterface(focused)->text(QAccessible::Name);
        readTips << focused->toolTip();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    QCOMPARE(readNames, names);
    QCOMPARE(readTips, tips);
}

void TransportBarTest::statusLineSaysWhatBecameOfTheLecture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // "tone": a lecture two seconds long
    QTest::addColumn<QString>("status");

    QTest::newRow("another lecture") << QStringLiteral("second.wav") << QByteArray("tone")
                                     << QStringLiteral("正在播放");
    QTest::newRow("empty") << QString() << QByteArray() << QString();
    QTest::newRow("missing") << QStringLiteral("missing.wma") << QByteArray() << QStringLiteral("无法打开文件");
    QTest::newRow("not audio") << QStringLiteral("not audio.wma")
                               << QByteArray("this is no lecture at all\n").repeated(200)
                               << QStringLiteral("无法播放此文件");
}

void TransportBarTest::statusLineSaysWhatBecameOfTheLecture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, status);

    auto* control = playing(QStringLiteral("first.wav"), 6000);
    QVERIFY(control);
    const QString path = name.isEmpty() ? QString() : folder_.filePath(name);
    if (content == "tone")
        QVERIFY(writeTone(path, 2000, 660));
    else if (!content.isEmpty())
        QVERIFY(writeWholeFile(path, content));

    playback_->setSource(path);
    playback_->play();
    QTRY_COMPARE_WITH_TIMEOUT(control->statusText(), status, kLoadWait);
    // Whatever went wrong, the bar says so quietly.
    QCOMPARE(otherWindows(control), 0);
    QVERIFY(!QApplication::activeModalWidget());
    if (content == "tone") {
        QTRY_COMPARE_WITH_TIMEOUT(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:02"), kLoadWait);
    } else {
        QVERIFY(!Part<QToolButton>(control, "playPauseButton")->isEnabled());
        QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:00"));
        // Nothing of the previous lecture's length is left behind.
        QCOMPARE(Part<QLabel>(control, "totalLabel")->text(), QStringLiteral("00:00"));
    }
}

void TransportBarTest::speedMenuSetsTheRate_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<qreal>("rate");
    QTest::addColumn<bool>("fromButton");  // else from the context menu
    QTest::addColumn<QString>("shown");  // on the button

    QTest::newRow("0.5x") << QStringLiteral("0.5 倍速") << 0.5 << false << "0.5x";
    QTest::newRow("0.75x") << QStringLiteral("0.75 倍速") << 0.75 << true << "0.75x";
    QTest::newRow("1x") << QStringLiteral("正常") << 1.0 << false << "1x";
    QTest::newRow("1.25x") << QStringLiteral("1.25 倍速") << 1.25 << true << "1.25x";
    QTest::newRow("1.5x") << QStringLiteral("1.5 倍速") << 1.5 << false << "1.5x";
    QTest::newRow("1.75x") << QStringLiteral("1.75 倍速") << 1.75 << true << "1.75x";
    QTest::newRow("2x") << QStringLiteral("2 倍速") << 2.0 << true << "2x";
}

void TransportBarTest::speedMenuSetsTheRate()
{
    QFETCH(QString, entry);
    QFETCH(qreal, rate);
    QFETCH(bool, fromButton);
    QFETCH(QString, shown);

    auto* control = playing(QStringLiteral("speed.wav"), 6000);
    QVERIFY(control);
    const qreal before = rate == 2.0 ? 0.5 : 2.0;  // start elsewhere, so the entry must change it
    playback_->setPlaybackRate(before);
    auto* button = Part<QToolButton>(control, "speedButton");
    QCOMPARE(button->text(), before == 2.0 ? QStringLiteral("2x") : QStringLiteral("0.5x"));

    QMenu* speeds = control->speedMenu();
    if (fromButton) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        // Through the window, as the window system delivers it: only there
        // does a right click turn into a context menu request.
        const QLabel* status = Part<QLabel>(control, "statusLabel");
        QTest::mouseClick(control->windowHandle(), Qt::RightButton, {},
                          status->mapTo(control, status->rect().center()));
        QMenu* menu = control->contextMenu();
        QTRY_COMPARE(QApplication::activePopupWidget(), menu);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(speeds->menuAction()).center());
    }
    QTRY_COMPARE(QApplication::activePopupWidget(), speeds);
    QCOMPARE(checkedEntries(speeds), before == 2.0 ? QStringLiteral("2 倍速") : QStringLiteral("0.5 倍速"));
    const QList<QAction*> actions = speeds->actions();
    const auto wanted = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == entry; });
    QVERIFY(wanted != actions.end());
    QTest::mouseClick(speeds, Qt::LeftButton, {}, speeds->actionGeometry(*wanted).center());
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(playback_->playbackRate(), rate);
    QCOMPARE(playback_->playbackState(), Playback::State::Playing);
    QCOMPARE(checkedEntries(speeds), entry);
    QCOMPARE(button->text(), shown);
}

void TransportBarTest::transportButtonsPauseStopAndReplay()
{
    auto* control = playing(QStringLiteral("transport.wav"), 3000);
    QVERIFY(control);
    Playback& playback = *playback_;
    auto* playPause = Part<QToolButton>(control, "playPauseButton");

    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE(playback.playbackState(), Playback::State::Paused);
    QCOMPARE(control->statusText(), QStringLiteral("已暂停"));
    const qint64 pausedAt = playback.position();
    QVERIFY(pausedAt > 0);

    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE(control->statusText(), QStringLiteral("正在播放"));
    // Resumed where it was, not from the start.
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > std::max<qint64>(pausedAt, 1200), kLoadWait);
    const qint64 stoppedAt = playback.position();
    QTest::mouseClick(Part<QToolButton>(control, "stopButton"), Qt::LeftButton);
    QTRY_COMPARE(playback.playbackState(), Playback::State::Stopped);
    QTRY_COMPARE(playback.position(), 0);
    QCOMPARE(Part<QSlider>(control, "positionSlider")->value(), 0);
    QCOMPARE(Part<QLabel>(control, "elapsedLabel")->text(), QStringLiteral("00:00"));
    QTRY_COMPARE(control->statusText(), QStringLiteral("已停止"));
    QCOMPARE(playPause->toolTip(), QStringLiteral("播放"));

    // Play after stop starts from the beginning.
    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(playback.playbackState(), Playback::State::Playing, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 0, kLoadWait);
    QVERIFY2(playback.position() < stoppedAt, qPrintable(QString::number(playback.position())));

    // And once more after the end.
    QTRY_COMPARE_WITH_TIMEOUT(playback.status(), Playback::Status::Ended, kPlayWait);
    QCOMPARE(control->statusText(), QStringLiteral("播放完毕"));
    QTest::mouseClick(playPause, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(playback.playbackState(), Playback::State::Playing, kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(playback.playbackState() == Playback::State::Stopped
                                 && playback.status() == Playback::Status::Ended,
                             kPlayWait);
}

void TransportBarTest::positionSliderSeeks_data()
{
    QTest::addColumn<bool>("drag");
    QTest::addColumn<double>("fraction");

    QTest::newRow("click at three quarters") << false << 0.75;
    QTest::newRow("drag to three fifths") << true << 0.6;
    QTest::newRow("drag to the start") << true << 0.0;
}

void TransportBarTest::positionSliderSeeks()
{
    QFETCH(bool, drag);
    QFETCH(double, fraction);

    // Paused half way, so the position only moves by seeking, either way.
    auto* control = pausedAt(QStringLiteral("seek.wav"), 8000, 4000);
    QVERIFY(control);
    Playback& playback = *playback_;
    const qint64 duration = playback.duration();
    const qint64 before = playback.position();
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
        QCOMPARE(playback.position(), before);
        QCOMPARE(elapsed->text(), formatPlayTime(slider->sliderPosition(), duration));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, target);
    } else {
        QTest::mouseClick(slider, Qt::LeftButton, {}, target);
    }

    const qint64 wanted = qRound64(fraction * duration);
    const qint64 tolerance = duration / 20;
    QTRY_VERIFY2(qAbs(playback.position() - wanted) <= tolerance,
                 qPrintable(QStringLiteral("position %1, wanted %2").arg(playback.position()).arg(wanted)));
    QVERIFY(qAbs(slider->value() - wanted) <= tolerance);
    QCOMPARE(playback.playbackState(), Playback::State::Paused);
    QCOMPARE(elapsed->text(), formatPlayTime(playback.position(), duration));
}

void TransportBarTest::keysInTheBarPlayPauseAndSeek_data()
{
    QTest::addColumn<QString>("focus");  // "textBox": a text box in the bar's window
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<Playback::State>("state");
    QTest::addColumn<int>("moved");  // by the key, in ms
    QTest::addColumn<int>("volume");

    const auto playing = Playback::State::Playing;
    const auto paused = Playback::State::Paused;
    const auto stopped = Playback::State::Stopped;
    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("Space on play plays") << "playPauseButton" << int(Qt::Key_Space) << none << playing << 0 << 50;
    QTest::newRow("Space on the position bar plays")
        << "positionSlider" << int(Qt::Key_Space) << none << playing << 0 << 50;
    QTest::newRow("Space on the volume bar plays")
        << "volumeSlider" << int(Qt::Key_Space) << none << playing << 0 << 50;
    QTest::newRow("Space on stop stops") << "stopButton" << int(Qt::Key_Space) << none << stopped << -12000 << 50;
    QTest::newRow("Right on play seeks ahead")
        << "playPauseButton" << int(Qt::Key_Right) << none << paused << 5000 << 50;
    QTest::newRow("Left on mute seeks back") << "muteButton" << int(Qt::Key_Left) << none << paused << -5000 << 50;
    QTest::newRow("Right on the volume bar is louder")
        << "volumeSlider" << int(Qt::Key_Right) << none << paused << 0 << 55;
    QTest::newRow("Space on 后退10秒") << "skipBackButton" << int(Qt::Key_Space) << none << paused << -10000 << 50;
    QTest::newRow("Space on 前进30秒") << "skipAheadButton" << int(Qt::Key_Space) << none << paused << 30000 << 50;
    QTest::newRow("Ctrl+Left on the volume bar skips back")
        << "volumeSlider" << int(Qt::Key_Left) << ctrl << paused << -10000 << 50;
    QTest::newRow("Ctrl+Right on mute skips ahead")
        << "muteButton" << int(Qt::Key_Right) << ctrl << paused << 30000 << 50;
    QTest::newRow("Ctrl+Left in a text box moves by word")
        << "textBox" << int(Qt::Key_Left) << ctrl << paused << 0 << 50;
}

void TransportBarTest::keysInTheBarPlayPauseAndSeek()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(Playback::State, state);
    QFETCH(int, moved);
    QFETCH(int, volume);

    // Paused at 12 s, so only a key moves the position.
    auto* control = pausedAt(QStringLiteral("keys.wav"), 45000, 12000);
    QVERIFY(control);
    Playback& playback = *playback_;
    if (focus == "textBox") {
        auto* box = new QLineEdit(QStringLiteral("two words"), control);
        box->setObjectName(focus);
        box->show();
    }

    const bool muted = playback.isMuted();
    auto* target = control->findChild<QWidget*>(focus);
    QVERIFY(target && target->isEnabled());
    target->setFocus(Qt::TabFocusReason);
    QTest::keyClick(target, Qt::Key(key), modifiers);

    QTRY_COMPARE(playback.playbackState(), state);
    if (state == Playback::State::Paused)
        QTRY_COMPARE(playback.position(), 12000 + moved);
    QCOMPARE(playback.volume(), volume);
    QCOMPARE(playback.isMuted(), muted);
    if (auto* box = qobject_cast<QLineEdit*>(target))
        QCOMPARE(box->cursorPosition(), box->text().indexOf(u' ') + 1);
}

void TransportBarTest::volumeSliderSetsTheVolume_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("volume");

    QTest::newRow("silent") << 0.0 << 0;
    QTest::newRow("a quarter") << 0.25 << 25;
    QTest::newRow("full") << 1.0 << 100;
}

void TransportBarTest::volumeSliderSetsTheVolume()
{
    QFETCH(double, fraction);
    QFETCH(int, volume);

    auto* control = makeBar();
    QVERIFY(control);
    auto* slider = Part<QSlider>(control, "volumeSlider");
    QTest::mouseClick(slider, Qt::LeftButton, {}, pointInGroove(slider, fraction));
    QVERIFY2(qAbs(playback_->volume() - volume) <= 3, qPrintable(QString::number(playback_->volume())));
    QCOMPARE(slider->value(), playback_->volume());
}

// A remote control, or anything else, may change the playback: the bar
// shows it as if the user had.
void TransportBarTest::barFollowsChangesMadeElsewhere()
{
    auto* control = makeBar();
    QVERIFY(control);
    auto* mute = Part<QToolButton>(control, "muteButton");
    QVERIFY(mute->isChecked());
    playback_->setMuted(false);
    QVERIFY(!mute->isChecked());
    QCOMPARE(mute->toolTip(), QStringLiteral("静音"));
    playback_->setVolume(30);
    QCOMPARE(Part<QSlider>(control, "volumeSlider")->value(), 30);
    playback_->setPlaybackRate(1.5);
    QCOMPARE(checkedEntries(control->speedMenu()), QStringLiteral("1.5 倍速"));
}

void TransportBarTest::sleepTimerFadesOutAndStops_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("suspended");  // the clock jumps past the deadline

    QTest::newRow("15 minutes: a fade, then a pause where it began") << "15分钟" << false;
    QTest::newRow("15 minutes that ran out in a suspend") << "15分钟" << true;
    QTest::newRow("the end of the lecture") << "本讲结束后" << false;
}

// The sleep timer's clock is the test's: fifteen minutes go by at once.
void TransportBarTest::sleepTimerFadesOutAndStops()
{
    QFETCH(QString, entry);
    QFETCH(bool, suspended);

    auto* control = playing(QStringLiteral("sleep.wav"), 20000);
    QVERIFY(control);
    Playback& playback = *playback_;
    const bool atEnd = entry == "本讲结束后";
    if (atEnd)
        playback.seek(playback.duration() - 6000);
    // Where the lecture was when the fade began, seen as the timer sees it.
    qint64 fadeBegan = -1;
    connect(sleepTimer_.get(), &SleepTimer::changed, this, [&] {
        if (fadeBegan < 0 && playback.fadeLevel() < 1.0)
            fadeBegan = playback.position();
    });

    const auto* output = playback.findChild<QAudioOutput*>();
    QVERIFY(output);
    const float loudest = output->volume();
    auto* button = Part<QToolButton>(control, "sleepTimerButton");
    QCOMPARE(button->text(), QStringLiteral("定时"));
    QTest::mouseClick(button, Qt::LeftButton);
    QMenu* menu = control->sleepMenu();
    QTRY_COMPARE(QApplication::activePopupWidget(), menu);
    const QList<QAction*> actions = menu->actions();
    QVERIFY(!actions.constLast()->isEnabled());  // nothing to cancel yet
    const auto wanted = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == entry; });
    QVERIFY(wanted != actions.end());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*wanted).center());
    QVERIFY(sleepTimer_->isActive());
    QVERIFY(actions.constLast()->isEnabled());
    QCOMPARE(button->text(), atEnd ? QStringLiteral("本讲结束") : QStringLiteral("15:00"));

    const qint64 deadline = clock_ + 15 * 60000;
    if (!atEnd && !suspended)
        clock_ = deadline - 5000;
    if (!suspended) {
        QTRY_VERIFY(fadeBegan >= 0);
        QVERIFY(playback.fadeLevel() > 0.0 && output->volume() < loudest);
        // Only the sound fades: the volume chosen stays.
        QCOMPARE(playback.volume(), 50);
        QCOMPARE(Part<QSlider>(control, "volumeSlider")->value(), 50);
        if (!atEnd)
            QCOMPARE(button->text(), QStringLiteral("00:05"));
        // It plays on into the fade.
        QTRY_VERIFY(playback.position() > fadeBegan + 1000);
    }
    clock_ = atEnd ? clock_ : deadline + (suspended ? 3600000 : 0);

    const auto over = atEnd ? Playback::Status::Ended : Playback::Status::Paused;
    QTRY_COMPARE_WITH_TIMEOUT(playback.status(), over, kPlayWait);
    QCOMPARE(playback.fadeLevel(), 1.0);
    QCOMPARE(output->volume(), loudest);
    QVERIFY(!sleepTimer_->isActive());
    QCOMPARE(button->text(), QStringLiteral("定时"));
    QCOMPARE(sleepTimer_->holdsNextLecture(), atEnd);
    if (!atEnd && !suspended)
        QTRY_VERIFY(qAbs(playback.position() - fadeBegan) < 50);
}

void TransportBarTest::playTimeFormat_data()
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

void TransportBarTest::playTimeFormat()
{
    QFETCH(qint64, position);
    QFETCH(qint64, length);
    QFETCH(QString, shown);
    QCOMPARE(formatPlayTime(position, length), shown);
}

QTEST_MAIN(TransportBarTest)
#include "TransportBarTest.moc"
