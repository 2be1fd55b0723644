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

class CataloguePagesTest : public QObject {
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
    MainWindow* form_ = nullptr;
};

void CataloguePagesTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    form_ = fixture_->load();
    QVERIFY(form_);
}

void CataloguePagesTest::cleanup()
{
    fixture_.reset();
}

void CataloguePagesTest::fillCatalogue(const QStringList& lines)
{
    form_->entries().conferenceLines.clear();
    for (const QString& line : lines)
        form_->entries().conferenceLines.append(line);
    form_->pager().showCataloguePage();
}

void CataloguePagesTest::arrowClicksScrollToTheLastPage_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("none") << 0;
    QTest::newRow("eight: nothing to scroll") << 8;
    QTest::newRow("nine") << 9;
    QTest::newRow("twenty") << 20;
}

void CataloguePagesTest::arrowClicksScrollToTheLastPage()
{
    QFETCH(int, entries);
    const QStringList lines = conferenceLines(entries);
    fillCatalogue(lines);
    QCOMPARE(form_->pageList().pageScrollBar->isEnabled(), entries > 8);
    QCOMPARE(fixture_->visibleFirstCaptions(), titles(lines.mid(0, 8)));

    QScrollBar* bar = form_->pageList().pageScrollBar;
    const int last = std::max(0, entries - 8);
    for (int click = 1; click <= 13; ++click) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4));
        QCOMPARE(form_->pageList().pageScrollBar->position(), std::min(click, last));
    }
    QCOMPARE(fixture_->visibleFirstCaptions(), titles(lines.mid(last)));
}

void CataloguePagesTest::draggingTheThumbRefillsWhileDragging()
{
    fillCatalogue(conferenceLines(200));
    QScrollBar* bar = form_->pageList().pageScrollBar;
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
    const int during = form_->pageList().pageScrollBar->position();
    QVERIFY(during > 0);
    QCOMPARE(form_->pageList().rows[0].title->caption(), QStringLiteral("会议%1").arg(during));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, target);
    QCOMPARE(form_->pageList().pageScrollBar->position(), during);
    QCOMPARE(form_->pageList().rows[7].title->caption(), QStringLiteral("会议%1").arg(during + 7));
}

void CataloguePagesTest::freshPageAfterScrollingALongerList()
{
    fillCatalogue(conferenceLines(20));
    form_->pageList().pageScrollBar->setValue(12);

    form_->entries().lectureLines.clear();
    for (int k = 0; k < 5; ++k)
        form_->entries().lectureLines.append(QStringLiteral("讲座%1%医生%1$说明%1*http://h/%1.wma").arg(k));
    form_->pager().showLecturePage();

    QVERIFY(!form_->pageList().pageScrollBar->isEnabled());
    QCOMPARE(form_->pageList().pageScrollBar->position(), 0);
    QCOMPARE(fixture_->visibleFirstCaptions(),
             (QStringList{"讲座0 - 说明0", "讲座1 - 说明1", "讲座2 - 说明2", "讲座3 - 说明3", "讲座4 - 说明4"}));
    QCOMPARE(fixture_->visibleSecondCaptions(), (QStringList{"医生0", "医生1", "医生2", "医生3", "医生4"}));
}

void CataloguePagesTest::captionThatCannotBeCutKeepsItsOldText()
{
    fillCatalogue(conferenceLines(2));
    fillCatalogue({QStringLiteral("新会议%20140101*"), QStringLiteral("星号*在前%20140101")});
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"新会议", "星号*在前"}));
    QCOMPARE(form_->pageList().rows[0].subtitle->caption(), QStringLiteral("更新日期：20140101"));
    QCOMPARE(form_->pageList().rows[1].subtitle->caption(), QStringLiteral("更新日期：20131002"));
}

QTEST_MAIN(CataloguePagesTest)
#include "CataloguePagesTest.moc"
