// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/MainWindowFixture.h"

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
    void captionThatCannotBeCutKeepsItsOldText();

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
    window_->entries().conferenceLines.clear();
    for (const QString& line : lines)
        window_->entries().conferenceLines.append(line);
    window_->pager().showCataloguePage();
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

    window_->entries().lectureLines.clear();
    for (int k = 0; k < 5; ++k)
        window_->entries().lectureLines.append(QStringLiteral("讲座%1%医生%1$说明%1*http://h/%1.wma").arg(k));
    window_->pager().showLecturePage();

    QVERIFY(!window_->pageList().pageScrollBar->isEnabled());
    QCOMPARE(window_->pageList().pageScrollBar->position(), 0);
    QCOMPARE(fixture_->visibleFirstCaptions(),
             (QStringList{"讲座0 - 说明0", "讲座1 - 说明1", "讲座2 - 说明2", "讲座3 - 说明3", "讲座4 - 说明4"}));
    QCOMPARE(fixture_->visibleSecondCaptions(), (QStringList{"医生0", "医生1", "医生2", "医生3", "医生4"}));
}

void PagerTest::captionThatCannotBeCutKeepsItsOldText()
{
    fillCatalogue(conferenceLines(2));
    fillCatalogue({QStringLiteral("新会议%20140101*"), QStringLiteral("星号*在前%20140101")});
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"新会议", "星号*在前"}));
    QCOMPARE(window_->pageList().rows[0].subtitle->caption(), QStringLiteral("更新日期：20140101"));
    QCOMPARE(window_->pageList().rows[1].subtitle->caption(), QStringLiteral("更新日期：20131002"));
}

QTEST_MAIN(PagerTest)
#include "PagerTest.moc"
