// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/KeepAwakeWhilePlaying.h"

#include "platform/host/SessionBus.h"
#include "playback/Playback.h"
#include "support/PlaybackWaits.h"
#include "support/ScreenSaverStandIn.h"
#include "support/ToneWav.h"

#include <QTemporaryDir>
#include <QtTest>

// A real tone played by the real back end, and what the screen saver,
// stood in for on the test's own session bus, is asked.
class KeepAwakeWhilePlayingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void heldWhilePlayingOnly_data();
    void heldWhilePlayingOnly();
    void withoutAScreenSaverPlaybackGoesOn();

private:
    QTemporaryDir folder_;
    QString tone_;
    std::unique_ptr<Playback> playback_;
    platform::SessionBus bus_;
};

void KeepAwakeWhilePlayingTest::init()
{
    tone_ = folder_.filePath(QStringLiteral("tone.wav"));
    QVERIFY(writeTone(tone_, 3000));
    playback_ = std::make_unique<Playback>();
    playback_->setMuted(true);
    bus_.start();
}

void KeepAwakeWhilePlayingTest::heldWhilePlayingOnly_data()
{
    QTest::addColumn<QStringList>("steps");  // after playing: pause, play, stop, end, destroy, quit
    QTest::addColumn<int>("holds");  // each one let go again
    QTest::newRow("paused, played again to the end") << QStringList{"pause", "play", "end"} << 2;
    QTest::newRow("stopped") << QStringList{"stop"} << 1;
    QTest::newRow("gone") << QStringList{"destroy"} << 1;
    QTest::newRow("the program ends") << QStringList{"quit"} << 1;
}

void KeepAwakeWhilePlayingTest::heldWhilePlayingOnly()
{
    QFETCH(QStringList, steps);
    QFETCH(int, holds);
    ScreenSaverStandIn screenSaver;
    QVERIFY(screenSaver.registered);
    auto keepAwake = std::make_unique<KeepAwakeWhilePlaying>(*playback_, bus_);
    QVERIFY(startPlaying(*playback_, tone_));
    const QString hold = QStringLiteral("Inhibit %1 Kardelo 正在播放讲座");
    QTRY_COMPARE(screenSaver.calls, QStringList{hold.arg(42)});

    for (const QString& step : steps) {
        if (step == u"pause") {
            playback_->pause();
            QTRY_COMPARE(playback_->playbackState(), Playback::State::Paused);
        } else if (step == u"play") {
            playback_->play();
        } else if (step == u"stop") {
            playback_->stop();
        } else if (step == u"end") {
            QTRY_COMPARE_WITH_TIMEOUT(playback_->status(), Playback::Status::Ended, kPlayWait);
        } else if (step == u"destroy") {
            keepAwake.reset();
        } else {
            keepAwake->stopHolding();
        }
    }
    QStringList calls;
    for (uint cookie = 42; cookie < 42u + holds; ++cookie)
        calls << hold.arg(cookie) << QStringLiteral("UnInhibit %1").arg(cookie);
    QTRY_COMPARE(screenSaver.calls, calls);
}

void KeepAwakeWhilePlayingTest::withoutAScreenSaverPlaybackGoesOn()
{
    const QRegularExpression failure(QStringLiteral("screen saver cannot be held off"));
    QTest::ignoreMessage(QtWarningMsg, failure);
    QTest::failOnWarning(failure);  // said once, not at every play
    KeepAwakeWhilePlaying keepAwake(*playback_, bus_);

    QVERIFY(startPlaying(*playback_, tone_));
    playback_->pause();
    QTRY_COMPARE(playback_->playbackState(), Playback::State::Paused);
    playback_->play();
    QTRY_COMPARE_WITH_TIMEOUT(playback_->status(), Playback::Status::Ended, kPlayWait);
}

QTEST_MAIN(KeepAwakeWhilePlayingTest)
#include "KeepAwakeWhilePlayingTest.moc"
