// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/Colours.h"
#include "playback/Playback.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/PlaybackWaits.h"
#include "support/ToneWav.h"

#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>

class ConferenceNavigationTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void enteringAConferenceReadsItsLectureList();
    void lectureListNameWithABlankIsAskedFor();
    void unreadableLectureListLeavesEverythingAsItWas_data();
    void unreadableLectureListLeavesEverythingAsItWas();
    void aListLoadsWhileTheWindowGoesOn();

private:
    void enter(int row) { QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton); }

    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

void ConferenceNavigationTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    fixture_->serveCatalogue({QStringLiteral("第一届心血管会议%20131015*"), QStringLiteral("短日期会议%2013*"),
                              QStringLiteral("日期带空格的会议%20131015 *")});
    window_ = fixture_->load();
    QVERIFY(window_);
}

void ConferenceNavigationTest::cleanup()
{
    fixture_.reset();
}

void ConferenceNavigationTest::enteringAConferenceReadsItsLectureList()
{
    QVERIFY(!window_->viewBar().lecturesOption->isEnabled());
    QVERIFY(fixture_->enterConferenceWith({QStringLiteral("冠心病"), "/a.wma", QStringLiteral("心衰"), "/b.wma"}));

    QCOMPARE(fixture_->server.requestCount("/lists/20131015.zip"), 1u);
    QVERIFY(window_->viewBar().lecturesOption->isEnabled());
    QCOMPARE(window_->viewBar().lecturesOption->textColour(), colours::chosenView);
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"冠心病 - 四十分钟", "心衰 - 四十分钟"}));
    for (int i = 0; i < PageList::kDesignedRows; ++i)
        QCOMPARE(window_->pageList().rows[i].actionButton->text(), QStringLiteral("下 载"));
    QCOMPARE(fixture_->messages(), QStringList());
}

void ConferenceNavigationTest::lectureListNameWithABlankIsAskedFor()
{
    fixture_->server.serveBytes("/lists/0131015 .zip",
                                toGb2312(QStringLiteral("冠心病%张医生$四十分钟*http://h/a\r\n")));
    enter(2);
    QTRY_VERIFY(window_->viewBar().lecturesOption->isChecked());
    // Asked for as a browser would, whatever else the window read meanwhile.
    const auto requests = fixture_->server.requests();
    QVERIFY(std::any_of(requests.cbegin(), requests.cend(),
                        [](const auto& request) { return request.target == "/lists/0131015%20.zip"; }));
    QCOMPARE(fixture_->messages(), QStringList());
}

void ConferenceNavigationTest::unreadableLectureListLeavesEverythingAsItWas_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("list");
    QTest::newRow("no lecture line") << 200 << QStringLiteral("没有讲座\r\n");
    // Whatever the body holds, only a 200 is a lecture list (every status is
    // in TextFetchTest).
    const QString lectureLine = QStringLiteral("讲座%医生$说明*http://h/a.wma\r\n");
    QTest::newRow("server error") << 500 << lectureLine;
    QTest::newRow("no list at that address") << 404 << lectureLine;
    QTest::newRow("a portal's login page") << 511 << QStringLiteral("<style>div{width:100%} /* 登录 */</style>\r\n");
    QTest::newRow("206") << 206 << lectureLine;
}

// A list that cannot be read now may be read in a moment: the listener
// keeps the catalogue, and the lecture playing plays on.
void ConferenceNavigationTest::unreadableLectureListLeavesEverythingAsItWas()
{
    QFETCH(int, status);
    QFETCH(QString, list);
    fixture_->server.serveBytes("/lists/20131015.zip", toGb2312(list), status, "text/html");
    QTemporaryDir folder;
    QVERIFY(writeTone(folder.filePath(QStringLiteral("playing.wav")), 60000));
    window_->playback().setMuted(true);
    QVERIFY(startPlaying(window_->playback(), folder.filePath(QStringLiteral("playing.wav"))));

    enter(0);
    QTRY_COMPARE(fixture_->messages(), QStringList{QStringLiteral("网络暂时无法链接，请稍后再试！|warning")});
    QCOMPARE(fixture_->host.endings, 0);
    QVERIFY(window_->viewBar().catalogueOption->isChecked());
    QCOMPARE(window_->pageList().rows[0].percentage->caption(), QString());
    QCOMPARE(window_->playback().playbackState(), Playback::State::Playing);
}

// The list comes after 5 s; meanwhile the window serves every event in
// time, follows the listener elsewhere and back, and a second 进 入 replaces
// the first.
void ConferenceNavigationTest::aListLoadsWhileTheWindowGoesOn()
{
    const std::pair<std::string, QString> lists[] = {{"/lists/20131015.zip", QStringLiteral("被替换的讲座")},
                                                     {"/lists/新日期：2013.zip", QStringLiteral("迟来的讲座")}};
    for (const auto& [path, title] : lists) {
        const QByteArray list = toGb2312(title + QStringLiteral("%张医生$四十分钟*http://h/a.wma\r\n"));
        fixture_->server.serveSlowly(path, list, list.size(), std::chrono::milliseconds(5000));
    }
    enter(0);
    QCOMPARE(window_->pageList().rows[0].percentage->caption(), QStringLiteral("读取中"));
    enter(1);
    QCOMPARE(window_->pageList().rows[0].percentage->caption(), QString());
    QCOMPARE(window_->pageList().rows[1].percentage->caption(), QStringLiteral("读取中"));
    for (QRadioButton* option : {window_->viewBar().favouritesOption, window_->viewBar().catalogueOption})
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    QTRY_COMPARE(window_->pageList().rows[1].percentage->caption(), QStringLiteral("读取中"));
    QVERIFY(window_->viewBar().catalogueOption->isChecked());

    // From here on the test only waits: every gap is the window's.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, this, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    sinceTick.start();
    ticks.start(5);
    QTRY_VERIFY_WITH_TIMEOUT(window_->viewBar().lecturesOption->isChecked(), 15000);
    ticks.stop();
    QCOMPARE(fixture_->server.requestCount("/lists/新日期：2013.zip"), 1u);
    QCOMPARE(fixture_->visibleFirstCaptions(), QStringList{QStringLiteral("迟来的讲座 - 四十分钟")});
    QCOMPARE(fixture_->messages(), QStringList());
    QVERIFY2(longestGap < 50, qPrintable(QStringLiteral("the window waited %1 ms").arg(longestGap)));
}

QTEST_MAIN(ConferenceNavigationTest)
#include "ConferenceNavigationTest.moc"
