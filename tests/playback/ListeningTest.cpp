// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/LectureSequence.h"
#include "playback/ListeningMemory.h"
#include "playback/ListeningRecordFile.h"
#include "playback/SleepTimer.h"
#include "support/FileBytes.h"
#include "support/MainWindowFixture.h"
#include "support/PlaybackWaits.h"
#include "support/ToneWav.h"
#include "views/ListeningMarks.h"

#include <QAccessible>
#include <QDir>
#include <QtTest>

namespace {

const QString kLecture = QStringLiteral("心电图%张医生$两分钟.zip");

ListeningPlaces recordOn(const QString& folder)
{
    return listeningRecord::read(folder).value_or(ListeningPlaces{});
}

}  // namespace

// Where each lecture was left, through the real window: favourites played
// with the row's 播 放 button, the program ended and started again on the
// same folder.
class ListeningTest : public QObject {
    Q_OBJECT

private slots:
    void marksSayHowFarALectureWasHeard_data();
    void marksSayHowFarALectureWasHeard();
    void aLectureGoesOnWhereItWasLeftAfterARestart_data();
    void aLectureGoesOnWhereItWasLeftAfterARestart();
    void theRecordFollowsPlayingWithoutAPause();
    void aListenedLectureStartsFromItsBeginning();
    void playPressedAgainGoesOnWhereItIs();
    void aLectureEndsIntoTheNextStoredOne_data();
    void aLectureEndsIntoTheNextStoredOne();
    void placesGoWithTheirLectures();

private:
    MainWindow* showFavourites(MainWindowFixture& fixture);
    void play(MainWindow& window, int row);
    // Stores a tone of `length` ms as the one lecture and plays it from its
    // row until it plays and can seek; null when it did not.
    MainWindow* playStoredTone(MainWindowFixture& fixture, int length);
};

MainWindow* ListeningTest::showFavourites(MainWindowFixture& fixture)
{
    MainWindow* window = fixture.load();
    if (!window)
        return nullptr;
    window->playback().setMuted(true);
    QTest::mouseClick(window->viewBar().favouritesOption, Qt::LeftButton, {},
                      QPoint(6, window->viewBar().favouritesOption->height() / 2));
    return window;
}

void ListeningTest::play(MainWindow& window, int row)
{
    QTest::mouseClick(window.pageList().rows[row].actionButton, Qt::LeftButton);
}

MainWindow* ListeningTest::playStoredTone(MainWindowFixture& fixture, int length)
{
    QDir().mkpath(fixture.favouritesFolder());
    MainWindow* window =
        writeTone(fixture.favouritesFolder() + u'/' + kLecture, length) ? showFavourites(fixture) : nullptr;
    if (!window)
        return nullptr;
    play(*window, 0);
    const Playback& playback = window->playback();
    return QTest::qWaitFor([&playback] { return playback.position() > 200 && playback.isSeekable(); }, kLoadWait)
        ? window
        : nullptr;
}

void ListeningTest::marksSayHowFarALectureWasHeard_data()
{
    QTest::addColumn<std::optional<ListeningPlace>>("place");
    QTest::addColumn<QString>("mark");
    QTest::newRow("never played") << std::optional<ListeningPlace>() << "";
    QTest::newRow("listened") << std::optional(ListeningPlace{0, true}) << "已听完";
    QTest::newRow("at the start") << std::optional(ListeningPlace{999, false}) << "听到 0:00";
    QTest::newRow("minutes") << std::optional(ListeningPlace{754000, false}) << "听到 12:34";
    QTest::newRow("just under an hour") << std::optional(ListeningPlace{3599999, false}) << "听到 59:59";
    QTest::newRow("past an hour") << std::optional(ListeningPlace{3723000, false}) << "听到 1:02:03";
}

void ListeningTest::marksSayHowFarALectureWasHeard()
{
    QFETCH(std::optional<ListeningPlace>, place);
    QFETCH(QString, mark);
    QCOMPARE(ListeningMarks::caption(place), mark);
}

void ListeningTest::aLectureGoesOnWhereItWasLeftAfterARestart_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("the close button") << "close";
    QTest::newRow("the menu's 退出") << "quit";
}

void ListeningTest::aLectureGoesOnWhereItWasLeftAfterARestart()
{
    QFETCH(QString, ending);
    MainWindowFixture fixture;
    MainWindow* window = playStoredTone(fixture, 120000);
    QVERIFY(window);
    Playback& playback = window->playback();
    playback.seek(61000);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 62000, kPlayWait);

    // Ended while it plays, the program keeps where it was.
    if (ending == u"close")
        window->close();
    else
        window->menuActions().quit->trigger();
    QCOMPARE(fixture.host.endings, 1);
    QTRY_VERIFY_WITH_TIMEOUT(recordOn(fixture.favouritesFolder()).value(kLecture).position > 62000, kPlayWait);
    const qint64 kept = recordOn(fixture.favouritesFolder()).value(kLecture).position;
    QVERIFY2(kept < 80000, qPrintable(QString::number(kept)));

    window = showFavourites(fixture);
    QVERIFY(window);
    const PageRow& row = window->pageList().rows[0];
    const QString mark = ListeningMarks::caption(ListeningPlace{kept, false});
    QCOMPARE(row.percentage->caption(), mark);
    QVERIFY(row.percentage->isVisible());
    QVERIFY(!row.deleteButton->geometry().intersects(row.percentage->geometry()));
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(row.actionButton);
    QVERIFY(button->text(QAccessible::Description).contains(mark));

    // Back a few seconds before that place, once the lecture has loaded.
    play(*window, 0);
    QTRY_VERIFY_WITH_TIMEOUT(window->playback().position() >= kept - ListeningMemory::kRewind, kLoadWait);
    QVERIFY(window->playback().position() < kept);
    // Going back is no place of the listener's: starting again and again
    // does not walk the kept place back.
    QCOMPARE(recordOn(fixture.favouritesFolder()).value(kLecture).position, kept);
}

void ListeningTest::theRecordFollowsPlayingWithoutAPause()
{
    // What a killed program leaves: the record on disk, written while the
    // lecture played on with no pause or stop.
    MainWindowFixture fixture;
    MainWindow* window = playStoredTone(fixture, 60000);
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(recordOn(fixture.favouritesFolder()).value(kLecture).position > 0,
                             std::chrono::milliseconds(ListeningMemory::kKeepInterval).count() + kLoadWait);
    QCOMPARE(window->playback().playbackState(), Playback::State::Playing);
}

void ListeningTest::aListenedLectureStartsFromItsBeginning()
{
    MainWindowFixture fixture;
    MainWindow* window = playStoredTone(fixture, 40000);
    QVERIFY(window);
    Playback& playback = window->playback();
    playback.seek(38000);
    QTRY_COMPARE_WITH_TIMEOUT(playback.status(), Playback::Status::Ended, kPlayWait);
    QCOMPARE(window->pageList().rows[0].percentage->caption(), QStringLiteral("已听完"));
    QTRY_COMPARE(recordOn(fixture.favouritesFolder()).value(kLecture), (ListeningPlace{0, true}));

    // Until it starts again, the player is still at the end.
    play(*window, 0);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 200 && playback.position() < 5000, kLoadWait);
}

void ListeningTest::playPressedAgainGoesOnWhereItIs()
{
    MainWindowFixture fixture;
    MainWindow* window = playStoredTone(fixture, 120000);
    QVERIFY(window);
    Playback& playback = window->playback();
    QVERIFY(pauseAt(playback, 61000));
    qint64 lowest = playback.position();
    connect(&playback, &Playback::positionChanged, window,
            [&lowest](qint64 position) { lowest = std::min(lowest, position); });
    play(*window, 0);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 61500, kPlayWait);
    QCOMPARE(playback.playbackState(), Playback::State::Playing);
    QVERIFY2(lowest >= 60900, qPrintable(QString::number(lowest)));
    QTRY_VERIFY(recordOn(fixture.favouritesFolder()).value(kLecture).position >= 61000);
}

void ListeningTest::aLectureEndsIntoTheNextStoredOne_data()
{
    // Three lectures in the favourites, the first played to its end.
    QTest::addColumn<bool>("continuous");
    QTest::addColumn<bool>("secondDamaged");
    QTest::addColumn<bool>("sleepAtEnd");  // the sleep timer set to the end of the lecture
    QTest::addColumn<int>("next");  // the lecture playing after the first; -1: none
    QTest::newRow("the next one") << true << false << false << 1;
    QTest::newRow("a damaged one passed over") << true << true << false << 2;
    QTest::newRow("连续播放 turned off") << false << false << false << -1;
    QTest::newRow("定时停止 at the end of the lecture") << true << false << true << -1;
}

void ListeningTest::aLectureEndsIntoTheNextStoredOne()
{
    QFETCH(bool, continuous);
    QFETCH(bool, secondDamaged);
    QFETCH(bool, sleepAtEnd);
    QFETCH(int, next);
    MainWindowFixture fixture;
    const QStringList names = favouriteNames(3);
    QDir().mkpath(fixture.favouritesFolder());
    for (const QString& name : names)
        QVERIFY(writeTone(fixture.favouritesFolder() + u'/' + name, 30000));
    if (secondDamaged)
        QVERIFY(writeWholeFile(fixture.favouritesFolder() + u'/' + names[1], QByteArray(4096, 'x')));
    MainWindow* window = showFavourites(fixture);
    QVERIFY(window);
    window->playerBar().continuousPlay->setChecked(continuous);
    Playback& playback = window->playback();
    playback.setPlaybackRate(1.5);
    play(*window, 0);
    // Past the back end's own seek that gives a new lecture the speed.
    QTRY_VERIFY_WITH_TIMEOUT(playback.isSeekable() && playback.position() > 1500, kLoadWait);
    if (sleepAtEnd)
        window->playerBar().sleepTimer->startUntilEndOfLecture();
    playback.seek(29000);
    if (next < 0) {
        QTRY_COMPARE_WITH_TIMEOUT(playback.status(), Playback::Status::Ended, kPlayWait);
        QTest::qWait(1000);
        QCOMPARE(window->listening().current(), names[0]);
        QCOMPARE(playback.status(), Playback::Status::Ended);
        if (continuous)
            return;
        // The choice is the listener's, kept for the next run.
        MainWindowFixture nextRun;
        QVERIFY(nextRun.load());
        QVERIFY(!nextRun.window().playerBar().continuousPlay->isChecked());
        return;
    }
    // At the same speed, from the lecture's own beginning.
    QTRY_COMPARE_WITH_TIMEOUT(window->listening().current(), names[next], kLoadWait);
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 200, kLoadWait);
    QVERIFY(playback.position() < 10000);
    QCOMPARE(playback.playbackRate(), 1.5);
    QCOMPARE(recordOn(fixture.favouritesFolder()).value(names[0]), (ListeningPlace{0, true}));
    QVERIFY(fixture.host.messages.empty());
}

void ListeningTest::placesGoWithTheirLectures()
{
    MainWindowFixture fixture;
    const QStringList names = favouriteNames(2);
    fixture.addFavourites(names);
    const QString gone = QStringLiteral("已删除%医生$说明.zip");
    QVERIFY(listeningRecord::write(fixture.favouritesFolder(),
                                   {{names[0], {754000, false}}, {names[1], {0, true}}, {gone, {1000, false}}}));

    // A lecture deleted while the program was not running: its place goes
    // at the next start.
    MainWindow* window = showFavourites(fixture);
    QVERIFY(window);
    QTRY_COMPARE(recordOn(fixture.favouritesFolder()).keys(), names);
    QCOMPARE(fixture.visibleFirstCaptions().size(), 2);
    QCOMPARE(window->pageList().rows[0].percentage->caption(), QStringLiteral("听到 12:34"));
    QCOMPARE(window->pageList().rows[1].percentage->caption(), QStringLiteral("已听完"));

    // Deleted with its row's button: it goes at once, and the row below
    // moves up with its own mark.
    QTest::mouseClick(window->pageList().rows[0].deleteButton, Qt::LeftButton);
    QTRY_COMPARE(recordOn(fixture.favouritesFolder()).keys(), QStringList{names[1]});
    QCOMPARE(window->pageList().rows[0].percentage->caption(), QStringLiteral("已听完"));

    // The other views show no marks.
    QTest::mouseClick(window->viewBar().catalogueOption, Qt::LeftButton, {},
                      QPoint(6, window->viewBar().catalogueOption->height() / 2));
    QCOMPARE(window->pageList().rows[0].percentage->caption(), QString());
}

QTEST_MAIN(ListeningTest)
#include "ListeningTest.moc"
