// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadQueue.h"
#include "parts/Colours.h"
#include "playback/ListeningMemory.h"
#include "playback/Playback.h"
#include "support/FileBytes.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/PlaybackWaits.h"
#include "support/TestHttpServer.h"
#include "support/ToneWav.h"
#include "views/PageModel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

const QString kLecture = QStringLiteral("冠心病");
const QString kStored = QStringLiteral("冠心病%张医生$四十分钟.zip");
const QString kDownloadFailed = QStringLiteral("下载失败!|no icon");

}  // namespace

class DownloadCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void downloadShowsARisingPercentageAndStoresTheLecture();
    void storedLectureIsNotDownloadedAgain();
    void answersThatAreNotTheLectureStoreNothing_data();
    void answersThatAreNotTheLectureStoreNothing();
    void progressCaptions_data();
    void progressCaptions();
    void unknownSizeWritesNoPercentage();
    void savedNameThatCannotBeStoredIsRefused_data();
    void savedNameThatCannotBeStoredIsRefused();
    void titleWithALeadingDotIsListedOnceStored();
    void rightButtonRunsNoCommand();

private:
    void press(int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(window_->pageList().rows[row].actionButton, button);
        fixture_->waitWhileDownloading();
    }
    void serveSlowLecture()  // 300 KB in pieces 30 ms apart
    {
        fixture_->server.serveSlowly("/audio/a.wma", QByteArray(300 * 1024, 'a'), 10 * 1024,
                                     std::chrono::milliseconds(30));
    }
    // Presses the row and returns its percentage caption at every progress event.
    QStringList pressRecordingPercentages(int row);
    QStringList stored() const
    {
        return QDir(fixture_->favouritesFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

void DownloadCommandsTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    fixture_->serveCatalogue({QStringLiteral("第一届心血管会议%20131015*"), QStringLiteral("短日期会议%2013*"),
                              QStringLiteral("日期带空格的会议%20131015 *")});
    window_ = fixture_->load();
    QVERIFY(window_);
}

void DownloadCommandsTest::cleanup()
{
    fixture_.reset();
}

QStringList DownloadCommandsTest::pressRecordingPercentages(int row)
{
    QStringList shown;
    MainWindowFixture::onDownloadProgress(*window_, this,
                                          [&] { shown << window_->pageList().rows[row].percentage->caption(); });
    press(row);
    return shown;
}

void DownloadCommandsTest::downloadShowsARisingPercentageAndStoresTheLecture()
{
    serveSlowLecture();
    QVERIFY(fixture_->enterConferenceWith({kLecture, "/audio/a.wma"}));

    const QStringList shown = pressRecordingPercentages(0);

    QVERIFY2(shown.size() >= 2, qPrintable(shown.join(u' ')));
    int last = -1;
    for (const QString& caption : shown) {
        QVERIFY2(caption.endsWith(u'%'), qPrintable(caption));
        const int percent = caption.chopped(1).toInt();
        QVERIFY(percent >= last && percent <= 100);
        last = percent;
    }
    QVERIFY(last > shown.first().chopped(1).toInt());
    // Stored, the row says so at once and its button plays it.
    QCOMPARE(fixture_->rowStates().first(), QStringLiteral("播 放|已下载"));
    QCOMPARE(fixture_->messages(), QStringList());
    QCOMPARE(stored(), QStringList{kStored});
    QCOMPARE(readWholeFile(fixture_->favouritesFolder() + u'/' + kStored), QByteArray(300 * 1024, 'a'));
    QTRY_VERIFY_WITH_TIMEOUT(window_->viewBar().favouritesOption->isChecked(), 3000);
    QCOMPARE(window_->pageList().rows[0].percentage->caption(), QString());  // the percentage goes with the view
}

void DownloadCommandsTest::answersThatAreNotTheLectureStoreNothing_data()
{
    QTest::addColumn<bool>("bytesKept");  // 40,000 of 100,000 bytes kept from a transfer that broke off
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("contentRange");  // none when empty
    QTest::addColumn<int>("bodyBytes");
    const auto row = [](const char* name, bool kept, int status, const char* range, int bytes) {
        QTest::newRow(name) << kept << status << QString::fromLatin1(range) << bytes;
    };
    row("206 unasked, an overflowing range", false, 206, "bytes 99999999999999999999-5/3", 10);
    row("206 unasked, past 2^63", false, 206, "bytes 0-9/9223372036854775808", 10);
    row("206 unasked, a negative start", false, 206, "bytes -1-8/10", 10);
    row("206 unasked, part of the file", false, 206, "bytes 0-9/60000", 10);
    row("206 without Content-Range", false, 206, "", 10);
    row("204", false, 204, "", 0);
    row("203 with a body", false, 203, "", 10);
    row("200 shorter than its Content-Length", false, 200, "", 10);
    row("206 at another offset", true, 206, "bytes 50000-99999/100000", 50000);
    row("206 that ends early", true, 206, "bytes 40000-69999/100000", 30000);
    row("206 with another total", true, 206, "bytes 40000-119999/120000", 80000);
}

// Put there by hand since the start: a press asks the server nothing, keeps
// the copy and shows it stored; the next press plays it.
void DownloadCommandsTest::storedLectureIsNotDownloadedAgain()
{
    fixture_->addFavourites({kStored});
    fixture_->server.serveBytes("/audio/a.wma", QByteArray("another copy"));
    QVERIFY(fixture_->enterConferenceWith({kLecture, "/audio/a.wma"}));
    press(0);
    QCOMPARE(fixture_->server.requestCount("/audio/a.wma"), 0u);
    QCOMPARE(readWholeFile(fixture_->favouritesFolder() + u'/' + kStored), QByteArray("lecture"));
    QCOMPARE(fixture_->rowStates().first(), QStringLiteral("播 放|已下载"));
    QCOMPARE(fixture_->messages(), QStringList());
    window_->playback().setMuted(true);
    press(0);
    QTRY_COMPARE(window_->listening().current(), kStored);
    QCOMPARE(window_->pageModel().view(), PageView::Lectures);
}

// A misbehaving server's answer must never replace a stored lecture with a
// fragment: the download fails as any other, and nothing is left behind.
void DownloadCommandsTest::answersThatAreNotTheLectureStoreNothing()
{
    QFETCH(bool, bytesKept);
    QFETCH(int, status);
    QFETCH(QString, contentRange);
    QFETCH(int, bodyBytes);
    QVERIFY(fixture_->enterConferenceWith({kLecture, "/audio/a.wma"}));
    if (bytesKept) {
        TestHttpServer::Resumable broken;
        broken.body = QByteArray(100 * 1000, 'k');
        broken.cutAfter = 40 * 1000;
        fixture_->server.serveResumable("/audio/a.wma", broken);
        press(0);
        QCOMPARE(stored().size(), 2);  // the kept bytes and their record
        fixture_->host.messages.clear();
    }
    const std::size_t askedBefore = fixture_->server.requestCount("/audio/a.wma");
    if (status == 200) {
        fixture_->server.serveCutMidBody("/audio/a.wma", QByteArray(bodyBytes, 'x'), 1000);
    } else {
        std::multimap<std::string, std::string> headers{{"ETag", "\"v1\""}};
        if (!contentRange.isEmpty())
            headers.emplace("Content-Range", contentRange.toStdString());
        fixture_->server.serveAnswer("/audio/a.wma", status, headers, QByteArray(bodyBytes, 'x'));
    }

    press(0);

    QCOMPARE(fixture_->messages(), QStringList{kDownloadFailed});
    QVERIFY(stored().isEmpty());
    // Kept bytes the server would not continue are asked for whole once more, and no more.
    QCOMPARE(fixture_->server.requestCount("/audio/a.wma") - askedBefore, std::size_t(bytesKept ? 2 : 1));
    QCOMPARE(fixture_->server.requests().back().header("Range"), std::string());
}

void DownloadCommandsTest::progressCaptions_data()
{
    using Phase = DownloadQueue::State::Phase;
    QTest::addColumn<DownloadQueue::State>("state");
    QTest::addColumn<QString>("shown");
    QTest::newRow("28.5, below it as a double") << DownloadQueue::State{Phase::Running, 285, 1000} << "29%";
    QTest::newRow("0.5") << DownloadQueue::State{Phase::Running, 5, 1000} << "1%";
    QTest::newRow("just under a half") << DownloadQueue::State{Phase::Running, 4, 1000} << "0%";
    QTest::newRow("a third") << DownloadQueue::State{Phase::Running, 1, 3} << "33%";
    QTest::newRow("two thirds") << DownloadQueue::State{Phase::Running, 2, 3} << "67%";
    QTest::newRow("all of 6 GiB") << DownloadQueue::State{Phase::Running, qint64(6) << 30, qint64(6) << 30} << "100%";
    QTest::newRow("size unknown") << DownloadQueue::State{Phase::Running, 4096, 0} << "";
    QTest::newRow("waiting") << DownloadQueue::State{Phase::Waiting, 0, 0} << "等待下载";
    QTest::newRow("gone") << DownloadQueue::State{Phase::Gone, 0, 0} << "";
}

void DownloadCommandsTest::progressCaptions()
{
    QFETCH(DownloadQueue::State, state);
    QFETCH(QString, shown);
    QCOMPARE(PageModel::statusText(DownloadCommands::rowDownload(state)), shown);
}

void DownloadCommandsTest::unknownSizeWritesNoPercentage()
{
    fixture_->server.serveWithoutLength("/audio/a.wma", QByteArray(256 * 1024, 'x'));
    QVERIFY(fixture_->enterConferenceWith({kLecture, "/audio/a.wma"}));
    const QStringList shown = pressRecordingPercentages(0);
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown.join(QString()), QString());
    QCOMPARE(window_->pageList().rows[0].percentage->caption(), PageModel::kStoredCaption);
    QCOMPARE(stored().size(), 1);
}

void DownloadCommandsTest::savedNameThatCannotBeStoredIsRefused_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("climbs out") << QStringLiteral("../../逃出");
    QTest::newRow("backslash") << QStringLiteral("..\\..\\逃出");
    QTest::newRow("control character") << QStringLiteral("讲\x01座");
    // With "%张医生$四十分钟.zip", 256 bytes: one more than a name may have.
    QTest::newRow("too long for the file system") << QString(76, QChar(0x8BB2)) + u'a';
}

void DownloadCommandsTest::savedNameThatCannotBeStoredIsRefused()
{
    QFETCH(QString, title);
    fixture_->server.serveBytes("/audio/a.wma", QByteArray("payload"));
    QVERIFY(fixture_->enterConferenceWith({title, "/audio/a.wma"}));
    press(0);
    QCOMPARE(fixture_->messages(), QStringList{kDownloadFailed});
    QCOMPARE(fixture_->server.requestCount("/audio/a.wma"), 0u);
    QVERIFY(stored().isEmpty());
    QCOMPARE(window_->pageList().rows[0].actionButton->text(), QStringLiteral("下 载"));
}

// Such a file is hidden by the usual rule; the favourites list it all the same.
void DownloadCommandsTest::titleWithALeadingDotIsListedOnceStored()
{
    fixture_->server.serveBytes("/audio/a.wma", QByteArray("lecture"));
    fixture_->server.serveBytes("/lists/20131015.zip",
                                toGb2312(".心电图%A$B*" + fixture_->server.url("/audio/a.wma") + "\r\n"));
    press(0);
    QTRY_VERIFY(window_->viewBar().lecturesOption->isChecked());
    press(0);
    QCOMPARE(fixture_->messages(), QStringList());
    QTest::mouseClick(window_->viewBar().favouritesOption, Qt::LeftButton, {},
                      QPoint(6, window_->viewBar().favouritesOption->height() / 2));
    QCOMPARE(window_->pageModel().list(PageView::Favourites), QStringList{QStringLiteral(".心电图%A$B.zip")});
}

void DownloadCommandsTest::rightButtonRunsNoCommand()
{
    fixture_->server.serveBytes("/lists/20131015.zip",
                                toGb2312(QStringLiteral("冠心病%张医生$四十分钟*http://h/a\r\n")));
    press(0, Qt::RightButton);
    press(0, Qt::MiddleButton);
    QVERIFY(window_->viewBar().catalogueOption->isChecked());
    QCOMPARE(fixture_->server.requestCount("/lists/20131015.zip"), 0u);
}

QTEST_MAIN(DownloadCommandsTest)
#include "DownloadCommandsTest.moc"
