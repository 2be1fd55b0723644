// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadQueue.h"

#include "download/DownloadFailureBox.h"
#include "platform/host/HostOperations.h"
#include "support/FileBytes.h"
#include "support/Gb2312.h"
#include "support/HeldFlush.h"
#include "support/MainWindowFixture.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <optional>
#include <utility>

namespace {

// Lecture k's bytes: its own length and filling, so no two are alike.
QByteArray slowBody(int k)
{
    return QByteArray(300 * 1024 + k, static_cast<char>('a' + k));
}

}  // namespace

class DownloadQueueTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aLectureIsNotQueuedTwice_data();
    void aLectureIsNotQueuedTwice();
    void fivePressesStoreFiveLecturesThreeAtATime();
    void cancelTakesOneLectureOutOfTheQueue_data();
    void cancelTakesOneLectureOutOfTheQueue();
    void rowsShowTheirOwnLectureAcrossViewsAndScrolling();
    void failuresWhileTheBoxIsOpenAreCountedIntoIt();
    void everyWayOutKeepsTheRunningDownloadsBytes_data();
    void everyWayOutKeepsTheRunningDownloadsBytes();
    void viewSwitchesAndAnotherConferenceDuringADownload();
    void aDownloadsPercentageStaysOutOfTheFavourites();

private:
    // n lectures 讲座k at /audio/k.wma, each of 300 KB + k bytes served
    // slowly, so that several are still running when the last is pressed;
    // returns their stored names.
    QStringList enterConferenceWithSlowLectures(int n);
    void pressAndWait(int row)
    {
        QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton);
        fixture_->waitWhileDownloading();
    }
    // Runs the action once, from the event pump, at the first progress.
    void duringTheDownload(std::function<void()> action);
    QStringList messages() const;
    QStringList stored() const
    {
        return QDir(fixture_->favouritesFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
    bool actionRan_ = false;
};

void DownloadQueueTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    fixture_->serveCatalogue({QStringLiteral("第一届心血管会议%20131015*"), QStringLiteral("短日期会议%2013*")});
    window_ = fixture_->load();
    QVERIFY(window_);
    actionRan_ = false;
}

void DownloadQueueTest::cleanup()
{
    fixture_.reset();
}

QStringList DownloadQueueTest::enterConferenceWithSlowLectures(int n)
{
    QStringList titlesAndPaths;
    for (int k = 0; k < n; ++k) {
        const QString path = QStringLiteral("/audio/%1.wma").arg(k);
        fixture_->server.serveSlowly(path.toStdString(), slowBody(k), 10 * 1024, std::chrono::milliseconds(30));
        titlesAndPaths << QStringLiteral("讲座%1").arg(k) << path;
    }
    if (!fixture_->enterConferenceWith(titlesAndPaths))
        return {};
    QStringList names;
    for (int k = 0; k < n; ++k)
        names << QStringLiteral("讲座%1%张医生$四十分钟.zip").arg(k);
    return names;
}

void DownloadQueueTest::duringTheDownload(std::function<void()> action)
{
    MainWindowFixture::onDownloadProgress(*window_, this, [this, action] {
        if (!std::exchange(actionRan_, true))
            QTimer::singleShot(0, this, action);
    });
}

QStringList DownloadQueueTest::messages() const
{
    QStringList result;
    for (const RecordingHost::Message& m : fixture_->host.messages)
        result << m.prompt;
    return result;
}

void DownloadQueueTest::aLectureIsNotQueuedTwice_data()
{
    using Admission = DownloadQueue::Admission;
    QTest::addColumn<QString>("secondAddress");
    QTest::addColumn<QString>("secondName");
    QTest::addColumn<bool>("storedBefore");
    QTest::addColumn<DownloadQueue::Admission>("admission");
    QTest::addColumn<bool>("firstCancelled");  // twice, before the second press
    QTest::newRow("the same lecture") << "/a.wma"
                                      << "甲.zip" << false << Admission::AlreadyQueued << false;
    QTest::newRow("the same file from elsewhere") << "/b.wma"
                                                  << "甲.zip" << false << Admission::AlreadyQueued << false;
    QTest::newRow("the same address into another file") << "/a.wma"
                                                        << "乙.zip" << false << Admission::AlreadyQueued << false;
    QTest::newRow("stored already") << "/b.wma"
                                    << "乙.zip" << true << Admission::AlreadyStored << false;
    QTest::newRow("another lecture") << "/b.wma"
                                     << "乙.zip" << false << Admission::Queued << false;
    // Pressed again while the cancelled download still unwinds.
    QTest::newRow("the same lecture, cancelled") << "/a.wma"
                                                 << "甲.zip" << false << Admission::Queued << true;
}

void DownloadQueueTest::aLectureIsNotQueuedTwice()
{
    QFETCH(QString, secondAddress);
    QFETCH(QString, secondName);
    QFETCH(bool, storedBefore);
    QFETCH(DownloadQueue::Admission, admission);
    QFETCH(bool, firstCancelled);
    fixture_->server.serveSlowly("/a.wma", QByteArray(300 * 1024, 'a'), 10 * 1024, std::chrono::milliseconds(30));
    fixture_->server.serveBytes("/b.wma", QByteArray(1024, 'b'));
    QTemporaryDir folder;
    if (storedBefore)
        QVERIFY(writeWholeFile(folder.filePath(secondName), "kept"));
    DownloadQueue queue;
    QList<QString> ends;
    connect(&queue, &DownloadQueue::finished, this,
            [&](const QString& target, const QString&, const DownloadResult& result) {
                ends << QFileInfo(target).fileName() + u'|'
                        + (result.isComplete() ? QStringLiteral("stored") : QStringLiteral("failed"));
            });

    QCOMPARE(
        queue.enqueue(fixture_->server.url("/a.wma"), folder.filePath(QStringLiteral("甲.zip")), QStringLiteral("甲")),
        DownloadQueue::Admission::Queued);
    if (firstCancelled) {
        queue.cancel(folder.filePath(QStringLiteral("甲.zip")));
        queue.cancel(folder.filePath(QStringLiteral("甲.zip")));
        QVERIFY(queue.isUnwinding());
    }
    QCOMPARE(queue.enqueue(fixture_->server.url(secondAddress), folder.filePath(secondName), QStringLiteral("乙")),
             admission);
    QTRY_VERIFY_WITH_TIMEOUT(queue.isEmpty() && !queue.isUnwinding(), 20000);

    QStringList expected{QStringLiteral("甲.zip|stored")};
    if (admission == DownloadQueue::Admission::Queued && !firstCancelled)
        expected.prepend(QStringLiteral("乙.zip|stored"));
    QCOMPARE(ends, expected);
    QCOMPARE(fixture_->server.requestCount("/b.wma"), std::size_t(ends.size() == 2));
    if (storedBefore)
        QCOMPARE(readWholeFile(folder.filePath(secondName)), QByteArray("kept"));
}

void DownloadQueueTest::fivePressesStoreFiveLecturesThreeAtATime()
{
    const QStringList names = enterConferenceWithSlowLectures(5);
    DownloadQueue* queue = window_->downloadQueue();
    int mostRunning = 0;
    bool favouritesEarly = false;
    connect(queue, &DownloadQueue::stateChanged, this, [&] {
        mostRunning = std::max(mostRunning, queue->runningCount());
        favouritesEarly = favouritesEarly || (!queue->isEmpty() && window_->favouritesTimer()->isEnabled());
    });
    for (int row = 0; row < 5; ++row)
        QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton);

    QCOMPARE(
        fixture_->rowStates().mid(3, 3),
        (QStringList{QStringLiteral("取 消|等待下载"), QStringLiteral("取 消|等待下载"), QStringLiteral("下 载|")}));
    fixture_->waitWhileDownloading();

    QCOMPARE(mostRunning, DownloadQueue::kConcurrentDownloads);
    QVERIFY(!favouritesEarly);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(stored(), names);
    for (int k = 0; k < 5; ++k)
        QCOMPARE(readWholeFile(fixture_->favouritesFolder() + u'/' + names[k]), slowBody(k));
    QTRY_VERIFY_WITH_TIMEOUT(window_->viewBar().favouritesOption->isChecked(), 3000);
}

void DownloadQueueTest::cancelTakesOneLectureOutOfTheQueue_data()
{
    QTest::addColumn<int>("cancelled");
    QTest::addColumn<std::size_t>("requestsForIt");
    QTest::addColumn<bool>("beingStored");  // its rename has begun, on a disk slow to flush
    QTest::newRow("running") << 0 << std::size_t(1) << false;
    QTest::newRow("waiting") << 3 << std::size_t(0) << false;
    QTest::newRow("not pressed") << 4 << std::size_t(0) << false;
    QTest::newRow("being stored") << 0 << std::size_t(1) << true;
}

// The others go on, the cancelled one leaves nothing behind, and nobody is
// told of a failure. A cancel that comes once the lecture is being stored
// is too late: it is stored and told of, and the favourites wait for it.
void DownloadQueueTest::cancelTakesOneLectureOutOfTheQueue()
{
    QFETCH(int, cancelled);
    QFETCH(std::size_t, requestsForIt);
    QFETCH(bool, beingStored);
    QStringList names = enterConferenceWithSlowLectures(5);
    std::optional<HeldFlush> slowDisk;
    if (beingStored)
        slowDisk.emplace(slowBody(cancelled).size());
    QStringList told;
    connect(window_->downloadQueue(), &DownloadQueue::finished, this,
            [&](const QString& target, const QString&, const DownloadResult& result) {
                if (result.isComplete())
                    told << QFileInfo(target).fileName();
            });
    QStringList atCancel;
    const auto cancel = [&] {
        actionRan_ = true;
        // Its row would press 下 载: the queue is told to cancel it all the same.
        if (cancelled == 4)
            window_->downloadQueue()->cancel(fixture_->favouritesFolder() + u'/' + names[cancelled]);
        else
            QTest::mouseClick(window_->pageList().rows[cancelled].actionButton, Qt::LeftButton);
        atCancel = fixture_->rowStates().mid(0, 5);
    };
    if (!beingStored)
        duringTheDownload(cancel);
    for (int row = 0; row < 4; ++row)
        QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton);
    if (beingStored) {
        QTRY_VERIFY_WITH_TIMEOUT(slowDisk->isHolding(), 20000);
        cancel();
    }
    fixture_->waitWhileDownloading();
    const bool favouritesEarly = window_->favouritesTimer()->isEnabled();
    if (slowDisk)
        slowDisk->release();

    QVERIFY(actionRan_);
    QCOMPARE(atCancel.value(cancelled), QStringLiteral("下 载|"));
    // The lecture after the three first runs as soon as a place is free.
    if (cancelled == 0 && !beingStored)
        QCOMPARE(atCancel.value(3), QStringLiteral("取 消|"));
    // A cancel of a lecture not in the queue leaves the one waiting as it was.
    if (cancelled == 4)
        QCOMPARE(atCancel.value(3), QStringLiteral("取 消|等待下载"));
    QTest::qWait(50);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(fixture_->server.requestCount(QStringLiteral("/audio/%1.wma").arg(cancelled).toStdString()),
             requestsForIt);
    if (!beingStored)
        names.removeAt(cancelled);
    if (cancelled < 4)
        names.removeLast();  // never pressed
    if (beingStored)
        QVERIFY(!favouritesEarly);
    QTRY_VERIFY_WITH_TIMEOUT(window_->viewBar().favouritesOption->isChecked(), 3000);
    QCOMPARE(window_->pageModel().list(PageView::Favourites), names);
    QCOMPARE(stored(), names);
    told.sort();
    QCOMPARE(told, names);
}

// Each row finds its lecture's state by the lecture it shows, whatever it
// showed when the lecture was pressed.
void DownloadQueueTest::rowsShowTheirOwnLectureAcrossViewsAndScrolling()
{
    enterConferenceWithSlowLectures(10);
    QStringList afterViews;
    QStringList afterScroll;
    duringTheDownload([&] {
        for (QRadioButton* option : {window_->viewBar().favouritesOption, window_->viewBar().lecturesOption})
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
        // Until each running lecture has told its size.
        (void)QTest::qWaitFor(
            [this] { return fixture_->rowStates().mid(0, 3).filter(QStringLiteral("|n%")).size() == 3; });
        afterViews = fixture_->rowStates();
        QTest::keyClick(window_->pageList().pageScrollBar, Qt::Key_Down);
        QTest::keyClick(window_->pageList().pageScrollBar, Qt::Key_Down);
        afterScroll = fixture_->rowStates();
    });
    for (int row = 0; row < 4; ++row)
        QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton);
    fixture_->waitWhileDownloading();

    const QString running = QStringLiteral("取 消|n%");
    const QString waiting = QStringLiteral("取 消|等待下载");
    const QString idle = QStringLiteral("下 载|");
    QCOMPARE(afterViews, (QStringList{running, running, running, waiting, idle, idle, idle, idle}));
    QCOMPARE(window_->pageList().pageScrollBar->position(), 2);
    QCOMPARE(afterScroll, (QStringList{running, waiting, idle, idle, idle, idle, idle, idle}));
}

void DownloadQueueTest::failuresWhileTheBoxIsOpenAreCountedIntoIt()
{
    // Nothing on the server: every lecture fails.
    QVERIFY(fixture_->enterConferenceWith({QStringLiteral("甲"), "/audio/0.wma", QStringLiteral("乙"), "/audio/1.wma",
                                           QStringLiteral("丙"), "/audio/2.wma"}));
    // The boxes are real here, to be seen and counted.
    const platform::ScopedHostReplacements realBoxes({{}, [] {}, [](const QString&) {}});
    const auto openBoxes = [] {
        QStringList texts;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                texts << box->text();
        }
        return texts;
    };
    for (int row = 0; row < 3; ++row)
        QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton);
    fixture_->waitWhileDownloading();
    QTRY_COMPARE(openBoxes(), QStringList{DownloadFailureBox::text(3)});
    QCOMPARE(DownloadFailureBox::text(1), QStringLiteral("下载失败!"));

    // Once it is closed, the next failure has a box of its own.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            box->accept();
    }
    QTest::mouseClick(window_->pageList().rows[0].actionButton, Qt::LeftButton);
    fixture_->waitWhileDownloading();
    QTRY_COMPARE(openBoxes(), QStringList{QStringLiteral("下载失败!")});
}

void DownloadQueueTest::everyWayOutKeepsTheRunningDownloadsBytes_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("beingStored");  // 甲's rename has begun, on a disk slow to flush
    QTest::newRow("the window closed") << "close" << false;
    QTest::newRow("退出") << "quit" << false;
    QTest::newRow("the window closed as 甲 is being stored") << "close" << true;
}

void DownloadQueueTest::everyWayOutKeepsTheRunningDownloadsBytes()
{
    QFETCH(QString, way);
    QFETCH(bool, beingStored);
    const QByteArray body(200 * 1000, 'r');
    // 乙 twice as long: still running once 甲 is being stored.
    const QByteArray longer = body + body;
    for (const auto& [path, bytes] : {std::pair{"/audio/a.wma", body}, std::pair{"/audio/b.wma", longer}})
        fixture_->server.serveResumable(
            path, {bytes, "ETag", "\"v1\"", TestHttpServer::Resumable::Honour, -1, std::chrono::milliseconds(5)});
    QVERIFY(
        fixture_->enterConferenceWith({QStringLiteral("甲"), "/audio/a.wma", QStringLiteral("乙"), "/audio/b.wma"}));
    std::optional<HeldFlush> slowDisk;
    if (beingStored)
        slowDisk.emplace(body.size());
    const auto wayOut = [this, way] {
        if (way == QStringLiteral("quit"))
            window_->menuActions().quit->trigger();
        else
            window_->close();
    };
    duringTheDownload([&] {
        QTest::mouseClick(window_->pageList().rows[1].actionButton, Qt::LeftButton);
        if (!beingStored)
            QTimer::singleShot(100, window_, wayOut);
    });
    QTest::mouseClick(window_->pageList().rows[0].actionButton, Qt::LeftButton);
    if (slowDisk) {
        QTRY_VERIFY_WITH_TIMEOUT(slowDisk->isHolding(), 20000);
        wayOut();
        // The program ends only once the rename has let go of the file.
        QTest::qWait(200);
        QCOMPARE(fixture_->host.endings, 0);
        slowDisk->release();
    }
    fixture_->waitWhileDownloading();

    QTRY_COMPARE(fixture_->host.endings, 1);
    QVERIFY(!window_->isVisible());
    QVERIFY(window_->downloadQueue()->isEmpty());
    QCOMPARE(messages(), QStringList());
    // For each lecture not stored a partial file of whole-written bytes
    // beside its record.
    const QStringList partials = stored().filter(QStringLiteral(".partial"));
    QCOMPARE(partials.size(), beingStored ? 1 : 2);
    QCOMPARE(stored().size(), beingStored ? 3 : 4);
    for (const QString& partial : partials) {
        const QByteArray kept = readWholeFile(fixture_->favouritesFolder() + u'/' + partial);
        QVERIFY(!kept.isEmpty() && kept.size() < longer.size());
        QCOMPARE(kept, longer.left(kept.size()));
    }
    if (beingStored)
        QCOMPARE(readWholeFile(fixture_->favouritesFolder() + QStringLiteral("/甲%张医生$四十分钟.zip")), body);
}

void DownloadQueueTest::viewSwitchesAndAnotherConferenceDuringADownload()
{
    const QStringList names = enterConferenceWithSlowLectures(1);
    fixture_->server.serveBytes("/lists/新日期：2013.zip",
                                toGb2312(QStringLiteral("别的讲座%李医生$十分钟*http://h/o.wma\r\n")));
    duringTheDownload([&] {
        for (QRadioButton* option : {window_->viewBar().favouritesOption, window_->viewBar().catalogueOption})
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
        // Enters the other conference while the download runs.
        QTest::mouseClick(window_->pageList().rows[1].actionButton, Qt::LeftButton);
    });
    QStringList otherConferenceRow;
    MainWindowFixture::onDownloadProgress(*window_, this, [&] {
        if (window_->viewBar().lecturesOption->isChecked()
            && window_->pageModel().list(PageView::Lectures).value(0).startsWith(QStringLiteral("别的讲座")))
            otherConferenceRow << fixture_->rowStates().first();
    });
    pressAndWait(0);

    QCOMPARE(messages(), QStringList());
    // Its row there shows another lecture, which is not downloading.
    QVERIFY(!otherConferenceRow.isEmpty());
    QCOMPARE(otherConferenceRow.filter(QStringLiteral("取 消")), QStringList());
    // The download kept the source and target it was started with.
    QCOMPARE(stored(), names);
    QVERIFY(window_->favouritesTimer()->isEnabled());
}

// There a row's percentage says how far its lecture has been heard.
void DownloadQueueTest::aDownloadsPercentageStaysOutOfTheFavourites()
{
    const QStringList names = enterConferenceWithSlowLectures(1);
    QRadioButton* favourites = window_->viewBar().favouritesOption;
    duringTheDownload([&] { QTest::mouseClick(favourites, Qt::LeftButton, {}, QPoint(6, favourites->height() / 2)); });
    int reportsInFavourites = 0;
    QStringList percentagesInFavourites;
    MainWindowFixture::onDownloadProgress(*window_, this, [&] {
        if (!favourites->isChecked())
            return;
        ++reportsInFavourites;
        for (const PageRow& row : window_->pageList().rows) {
            if (row.percentage->caption().endsWith(u'%'))
                percentagesInFavourites << row.percentage->caption();
        }
    });
    pressAndWait(0);
    QVERIFY(reportsInFavourites > 0);
    QCOMPARE(percentagesInFavourites, QStringList());
    QCOMPARE(stored(), names);
}

QTEST_MAIN(DownloadQueueTest)
#include "DownloadQueueTest.moc"
