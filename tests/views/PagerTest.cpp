// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"

#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

namespace {

QStringList titles(const QStringList& lines)
{
    QStringList titles;
    for (const QString& line : lines)
        titles.append(line.section(u'%', 0, 0));
    return titles;
}

}  // namespace

class PagerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void arrowClicksScrollToTheLastPage_data();
    void arrowClicksScrollToTheLastPage();
    void draggingTheThumbRefillsWhileDragging();
    void freshPageAfterScrollingALongerList();
    void everyRowNamesAndEntersItsOwnConference_data();
    void everyRowNamesAndEntersItsOwnConference();

private:
    void fillCatalogue(const QStringList& lines);
    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

void PagerTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    window_ = fixture_->load();
    QVERIFY(window_);
}

void PagerTest::cleanup()
{
    fixture_.reset();
}

void PagerTest::fillCatalogue(const QStringList& lines)
{
    window_->pageModel().setList(PageView::Catalogue, lines);
}

void PagerTest::arrowClicksScrollToTheLastPage_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("none") << 0;
    QTest::newRow("eight: nothing to scroll") << 8;
    QTest::newRow("nine") << 9;
    QTest::newRow("twenty") << 20;
}

void PagerTest::arrowClicksScrollToTheLastPage()
{
    QFETCH(int, entries);
    const QStringList lines = conferenceLines(entries);
    fillCatalogue(lines);
    QCOMPARE(window_->pageList().pageScrollBar->isEnabled(), entries > 8);
    QCOMPARE(fixture_->visibleFirstCaptions(), titles(lines.mid(0, 8)));

    QScrollBar* bar = window_->pageList().pageScrollBar;
    const int last = std::max(0, entries - 8);
    for (int click = 1; click <= 13; ++click) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4));
        QCOMPARE(window_->pageList().pageScrollBar->position(), std::min(click, last));
    }
    QCOMPARE(fixture_->visibleFirstCaptions(), titles(lines.mid(last)));
}

void PagerTest::draggingTheThumbRefillsWhileDragging()
{
    fillCatalogue(conferenceLines(200));
    QScrollBar* bar = window_->pageList().pageScrollBar;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.pageStep = bar->pageStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    QVERIFY(thumb.isValid());
    const QPoint target = thumb.center() + QPoint(0, bar->height() / 3);

    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, target);
    // The rows follow the thumb before it is let go.
    QVERIFY(bar->isSliderDown());
    const int during = window_->pageList().pageScrollBar->position();
    QVERIFY(during > 0);
    QCOMPARE(window_->pageList().rows[0].title->caption(), QStringLiteral("会议%1").arg(during));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, target);
    QCOMPARE(window_->pageList().pageScrollBar->position(), during);
    QCOMPARE(window_->pageList().rows[7].title->caption(), QStringLiteral("会议%1").arg(during + 7));
}

void PagerTest::freshPageAfterScrollingALongerList()
{
    fillCatalogue(conferenceLines(20));
    window_->pageList().pageScrollBar->setValue(12);

    QStringList lectures;
    for (int k = 0; k < 5; ++k)
        lectures.append(QStringLiteral("讲座%1%医生%1$说明%1*http://h/%1.wma").arg(k));
    window_->pageModel().setList(PageView::Lectures, lectures);
    window_->views().showLectures();

    QVERIFY(!window_->pageList().pageScrollBar->isEnabled());
    QCOMPARE(window_->pageList().pageScrollBar->position(), 0);
    QCOMPARE(fixture_->visibleFirstCaptions(),
             (QStringList{"讲座0 - 说明0", "讲座1 - 说明1", "讲座2 - 说明2", "讲座3 - 说明3", "讲座4 - 说明4"}));
    QCOMPARE(fixture_->visibleSecondCaptions(), (QStringList{"医生0", "医生1", "医生2", "医生3", "医生4"}));
}

void PagerTest::everyRowNamesAndEntersItsOwnConference_data()
{
    QTest::addColumn<QString>("line");  // entry 5 of twelve
    QTest::addColumn<QString>("date");  // its row's second line
    QTest::addColumn<QString>("list");  // the list 进 入 reads; none when the row offers no 进 入
    QTest::newRow("dated") << "会议%20140101*"
                           << "更新日期：20140101"
                           << "/lists/20140101.zip";
    QTest::newRow("short date") << "会议%2014*"
                                << "更新日期：2014"
                                << "/lists/新日期：2014.zip";
    QTest::newRow("empty date") << "会议%*"
                                << "更新日期："
                                << "/lists/更新日期：.zip";
    QTest::newRow("a second % in the date") << "会议%甲%20140101*"
                                            << "更新日期：甲%20140101"
                                            << "/lists/20140101.zip";
    QTest::newRow("* before %") << "星号*在前%20140101"
                                << ""
                                << "";
    QTest::newRow("* first of all") << "*会议%20140101*"
                                    << ""
                                    << "";
    QTest::newRow("* before % twice") << "会议*甲*乙%20140101"
                                      << ""
                                      << "";
}

// Scrolled and switched to and fro, a row shows its own conference and 进 入
// reads that conference's list, or, for a line that names none, offers no
// 进 入: never the neighbour's date or list.
void PagerTest::everyRowNamesAndEntersItsOwnConference()
{
    QFETCH(QString, line);
    QFETCH(QString, date);
    QFETCH(QString, list);
    QStringList lines = conferenceLines(12);
    lines[5] = line;
    window_->pageModel().setList(PageView::Catalogue, lines);
    for (QRadioButton* option : {window_->viewBar().favouritesOption, window_->viewBar().catalogueOption})
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    window_->pageList().pageScrollBar->setValue(3);
    window_->pageList().pageScrollBar->setValue(4);

    const PageRow& row = window_->pageList().rows[1];
    QCOMPARE(row.title->caption(), line.section(u'%', 0, 0));
    QCOMPARE(row.subtitle->caption(), date);
    QCOMPARE(row.actionButton->isEnabled(), !list.isEmpty());
    if (list.isEmpty())
        return;
    fixture_->server.serveBytes(list.toStdString(), toGb2312(QStringLiteral("讲座%医生$说明*http://h/a.wma\r\n")));
    QVERIFY(fixture_->enterConference(1));
    QCOMPARE(fixture_->server.requestCount(list.toStdString()), 1u);
}

QTEST_MAIN(PagerTest)
#include "PagerTest.moc"
