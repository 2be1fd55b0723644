// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadQueue.h"
#include "playback/ListeningMemory.h"
#include "playback/ListeningRecordFile.h"
#include "support/FileBytes.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/PlaybackWaits.h"
#include "support/SmallDisk.h"
#include "support/ToneWav.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QtTest>

namespace {

const QString kStored = QStringLiteral("冠心病%张医生$四十分钟.zip");
const QString kDownloadFailed = QStringLiteral("下载失败!");
constexpr qint64 kDiskSize = 2 * 1024 * 1024;
constexpr int kLectureSize = 1536 * 1024;

}  // namespace

// The favourites folder on a disk that fills up, through the real window:
// the program folder lies on a 2 MiB tmpfs of the test's own.
class FullDiskTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aDownloadThatFillsTheDiskGoesOnOnceThereIsRoom_data();
    void aDownloadThatFillsTheDiskGoesOnOnceThereIsRoom();
    void oneOfThreeDownloadsFillsTheDiskAndTheOthersAreStored();
    void aPlayRenameThatCannotBeRecordedIsNotMade();
    void aPlaceKeptOnAFullDiskLeavesTheRecordAsItWas();

private:
    QString favourites() const { return fixture_->favouritesFolder(); }
    void showFavourites();
    void enterConference();
    void press(int row)
    {
        QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton);
        fixture_->waitWhileDownloading();
    }
    // Every file of the favourites folder with its bytes.
    QMap<QString, QByteArray> snapshot() const;

    std::unique_ptr<SmallDisk> disk_;
    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

void FullDiskTest::init()
{
    disk_ = std::make_unique<SmallDisk>(kDiskSize);
    if (!disk_->isMounted())
        QSKIP(qPrintable(disk_->whyNotMounted()));
    fixture_ = std::make_unique<MainWindowFixture>(disk_->path() + QStringLiteral("/kardelo-XXXXXX"));
    QVERIFY(QDir().mkpath(favourites()));
}

void FullDiskTest::cleanup()
{
    // The program folder goes before the disk it lies on.
    fixture_.reset();
    disk_.reset();
}

void FullDiskTest::showFavourites()
{
    window_ = fixture_->load();
    QVERIFY(window_);
    window_->playback().setMuted(true);
    QRadioButton* option = window_->viewBar().favouritesOption;
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

void FullDiskTest::enterConference()
{
    window_ = fixture_->load();
    QVERIFY(window_);
    fixture_->server.serveBytes("/lists/20131001.zip",
                                toGb2312(QStringLiteral("冠心病%张医生$四十分钟*")
                                         + fixture_->server.url(QStringLiteral("/audio/a.wma"))
                                         + QStringLiteral("\r\n")));
    QVERIFY(fixture_->enterConference());
}

QMap<QString, QByteArray> FullDiskTest::snapshot() const
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(favourites()).entryList(QDir::Files | QDir::Hidden))
        files.insert(name, readWholeFile(favourites() + u'/' + name));
    return files;
}

void FullDiskTest::aDownloadThatFillsTheDiskGoesOnOnceThereIsRoom_data()
{
    QTest::addColumn<int>("keptBefore");  // bytes kept from a transfer that broke off
    QTest::addColumn<qint64>("filler");  // room taken before the download; -1: all
    QTest::newRow("a new lecture") << 0 << qint64(1024 * 1024);
    // Not a whole number of pages: the first write still finds room for a few bytes.
    QTest::newRow("kept bytes continued on a full disk") << 100000 << qint64(-1);
}

void FullDiskTest::aDownloadThatFillsTheDiskGoesOnOnceThereIsRoom()
{
    QFETCH(int, keptBefore);
    QFETCH(qint64, filler);
    const QString stored = favourites() + u'/' + kStored;
    enterConference();
    if (keptBefore > 0) {
        fixture_->server.serveGenerated("/audio/a.wma", kLectureSize, keptBefore);
        press(0);
        fixture_->host.messages.clear();
    }
    fixture_->server.serveGenerated("/audio/a.wma", kLectureSize);
    const QMap<QString, QByteArray> before = snapshot();
    QVERIFY(disk_->takeUp(filler));

    press(0);

    QCOMPARE(fixture_->host.prompts(), QStringList{kDownloadFailed});
    QCOMPARE(readWholeFile(stored), QByteArray("<missing>"));
    // Only bytes written whole are kept to go on from, a prefix of the lecture.
    const QStringList partials =
        QDir(favourites()).entryList({QStringLiteral(".kardelo-*.partial")}, QDir::Files | QDir::Hidden);
    QCOMPARE(partials.size(), 1);
    const QByteArray kept = readWholeFile(favourites() + u'/' + partials.front());
    QVERIFY(!kept.isEmpty());
    QCOMPARE(kept, generatedBytes(static_cast<int>(kept.size())));
    if (keptBefore > 0)
        QCOMPARE(snapshot(), before);  // the kept bytes and their record as they were

    QVERIFY(disk_->freeUp());
    fixture_->host.messages.clear();
    press(0);

    QCOMPARE(fixture_->host.prompts(), QStringList());
    QCOMPARE(fixture_->server.requests().back().header("Range"), "bytes=" + std::to_string(kept.size()) + '-');
    QCOMPARE(readWholeFile(stored), generatedBytes(kLectureSize));
    QCOMPARE(QDir(favourites()).entryList(QDir::Files | QDir::Hidden), QStringList{kStored});
}

// Three at once, with room for all but the biggest: paced by the server,
// it fills the disk only once the two others are stored.
void FullDiskTest::oneOfThreeDownloadsFillsTheDiskAndTheOthersAreStored()
{
    TestHttpServer::Resumable big;
    big.body = generatedBytes(kLectureSize);
    big.pause = std::chrono::milliseconds(2);
    fixture_->server.serveResumable("/audio/big.wma", big);
    const QStringList small{QStringLiteral("甲.zip"), QStringLiteral("乙.zip")};
    for (int k = 0; k < 2; ++k)
        fixture_->server.serveBytes(QStringLiteral("/audio/%1.wma").arg(k).toStdString(),
                                    QByteArray(100 * 1024, char('a' + k)));
    QVERIFY(disk_->takeUp(1024 * 1024));
    DownloadQueue queue;
    QMap<QString, DownloadResult::Outcome> ends;
    connect(&queue, &DownloadQueue::finished, this,
            [&](const QString& target, const QString&, const DownloadResult& result) {
                ends.insert(QFileInfo(target).fileName(), result.outcome());
            });

    queue.enqueue(fixture_->server.url("/audio/big.wma"), favourites() + u'/' + kStored, kStored);
    for (int k = 0; k < 2; ++k)
        queue.enqueue(fixture_->server.url(QStringLiteral("/audio/%1.wma").arg(k)), favourites() + u'/' + small[k],
                      small[k]);
    QCOMPARE(queue.runningCount(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(queue.isEmpty(), 30000);

    using Outcome = DownloadResult::Outcome;
    QCOMPARE(ends,
             (QMap<QString, Outcome>{
                 {kStored, Outcome::File}, {small[0], Outcome::Complete}, {small[1], Outcome::Complete}}));
    for (int k = 0; k < 2; ++k)
        QCOMPARE(readWholeFile(favourites() + u'/' + small[k]), QByteArray(100 * 1024, char('a' + k)));
    // The bytes written whole are kept beside their record, the lecture's first bytes.
    const QStringList hidden =
        QDir(favourites()).entryList({QStringLiteral(".kardelo-*")}, QDir::Files | QDir::Hidden, QDir::Name);
    QCOMPARE(hidden.size(), 2);
    const QByteArray kept = readWholeFile(favourites() + u'/' + hidden.filter(QStringLiteral(".partial")).value(0));
    QVERIFY(!kept.isEmpty());
    QCOMPARE(kept, big.body.left(kept.size()));
    QVERIFY(readWholeFile(favourites() + u'/' + hidden.filter(QStringLiteral(".resume")).value(0))
                .contains("\nvalidator " + QByteArray::fromStdString(big.validator) + '\n'));
}

// The record of renames owed is on disk before a lecture takes its play
// name; when it cannot be written, the lecture plays under its stored name.
void FullDiskTest::aPlayRenameThatCannotBeRecordedIsNotMade()
{
    // An earlier rename still owed: its play name is taken, so the start
    // leaves it in the record.
    for (const QString& name : {QStringLiteral("a%b$c.zip"), QStringLiteral("a%b$c.wma")})
        QVERIFY(writeWholeFile(favourites() + u'/' + name, name.toUtf8()));
    QVERIFY(writeTone(favourites() + u'/' + kStored, 4000));
    const QString record = favourites() + QStringLiteral("/.play-rename-pending");
    QVERIFY(writeWholeFile(record, "a%b$c.zip\na%b$c.wma\n"));
    showFavourites();
    QCOMPARE(readWholeFile(record), QByteArray("a%b$c.zip\na%b$c.wma\n"));
    const QMap<QString, QByteArray> before = snapshot();
    QVERIFY(disk_->takeUp());

    // What is on disk while the player opens the lecture.
    QStringList opened;
    connect(&window_->playback(), &Playback::sourceChanged, this, [&](const QString& source) {
        opened << QFileInfo(source).fileName() + (QFile::exists(source) ? "" : " (missing)");
    });
    press(static_cast<int>(window_->pageModel().list(PageView::Favourites).indexOf(kStored)));

    Playback& playback = window_->playback();
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 200, kLoadWait);
    QCOMPARE(opened, QStringList{kStored});
    QCOMPARE(snapshot(), before);
    QCOMPARE(fixture_->host.prompts(), QStringList());
}

void FullDiskTest::aPlaceKeptOnAFullDiskLeavesTheRecordAsItWas()
{
    QVERIFY(writeTone(favourites() + u'/' + kStored, 40000));
    showFavourites();
    press(0);
    Playback& playback = window_->playback();
    QVERIFY(QTest::qWaitFor(
        [&playback] { return playback.position() > 200 && playback.isSeekable() && playback.duration() > 0; },
        kLoadWait));
    // Paused, so nothing but the seeks below keeps a place.
    QVERIFY(pauseAt(playback, 10000));
    const platform::CaptionLabel* mark = window_->pageList().rows[0].percentage;
    QTRY_COMPARE_WITH_TIMEOUT(mark->caption(), QStringLiteral("听到 0:10"), kPlayWait);
    const ListeningPlace kept = window_->listening().placeOf(kStored).value();
    QTRY_COMPARE(listeningRecord::read(favourites()), std::optional(ListeningPlaces{{kStored, kept}}));
    const QMap<QString, QByteArray> before = snapshot();
    QVERIFY(disk_->takeUp());

    playback.seek(20000);

    // Kept for this run, as the row says.
    QTRY_COMPARE_WITH_TIMEOUT(mark->caption(), QStringLiteral("听到 0:20"), kPlayWait);
    // Ended, with every write it began finished, and started again: the
    // record on disk is the last whole one.
    window_->close();
    showFavourites();
    QCOMPARE(snapshot(), before);
    QCOMPARE(window_->pageList().rows[0].percentage->caption(), QStringLiteral("听到 0:10"));
    QCOMPARE(fixture_->host.prompts(), QStringList());
}

QTEST_MAIN(FullDiskTest)
#include "FullDiskTest.moc"
