#include "support/MainWindowFixture.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

class CataloguePagesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void freshPageSetsUpRowsAndScrollBar_data();
    void freshPageSetsUpRowsAndScrollBar();
    void arrowClicksScrollToTheEnd();
    void draggingTheThumbRefillsWhileDragging();
    void freshPageAfterScrollingALongerList();
    void captionThatCannotBeCutKeepsItsOldText();

private:
    void fillCatalogue(int entries);
    void clickDownArrow();
    std::unique_ptr<MainWindowFixture> fixture_;
    Form1* form_ = nullptr;
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

void CataloguePagesTest::fillCatalogue(int entries)
{
    form_->List1.Clear();
    for (const QString& line : ConferenceLines(entries))
        form_->List1.AddItem(line);
    form_->ShowCataloguePage();
}

void CataloguePagesTest::clickDownArrow()
{
    QScrollBar* bar = form_->V1;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4));
}

void CataloguePagesTest::freshPageSetsUpRowsAndScrollBar_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("scrollable");
    QTest::addColumn<int>("maximum");
    QTest::newRow("none") << 0 << false << -1;
    QTest::newRow("one") << 1 << false << -1;
    QTest::newRow("eight") << 8 << false << -1;
    QTest::newRow("nine") << 9 << true << 1;
    QTest::newRow("twenty") << 20 << true << 12;
}

void CataloguePagesTest::freshPageSetsUpRowsAndScrollBar()
{
    QFETCH(int, entries);
    QFETCH(bool, scrollable);
    QFETCH(int, maximum);
    fillCatalogue(entries);

    QCOMPARE(form_->V1->isEnabled(), scrollable);
    QCOMPARE(form_->V1->Value(), 0);
    if (scrollable) {
        QCOMPARE(form_->V1->Min(), 0);
        QCOMPARE(form_->V1->Max(), maximum);
    }
    const QStringList lines = ConferenceLines(entries);
    QStringList expected;
    for (int k = 0; k < std::min(8, entries); ++k)
        expected.append(lines[k].section(u'%', 0, 0));
    QCOMPARE(fixture_->visibleFirstCaptions(), expected);
    for (int i = 0; i < Form1::kRows; ++i)
        QCOMPARE(form_->Label10[i]->Caption(), QStringLiteral("进 入"));
    if (entries > 0)
        QCOMPARE(form_->Label3[0]->Caption(), QStringLiteral("更新日期：") + lines[0].section(u'%', 1).chopped(1));
}

void CataloguePagesTest::arrowClicksScrollToTheEnd()
{
    fillCatalogue(20);
    clickDownArrow();
    QCOMPARE(form_->V1->Value(), 1);
    QCOMPARE(form_->Label2[0]->Caption(), QStringLiteral("会议1"));
    QCOMPARE(form_->Label2[7]->Caption(), QStringLiteral("会议8"));
    for (int click = 0; click < 20; ++click)
        clickDownArrow();
    QCOMPARE(form_->V1->Value(), 12);
    QStringList expected;
    for (int k = 12; k < 20; ++k)
        expected.append(QStringLiteral("会议%1").arg(k));
    QCOMPARE(fixture_->visibleFirstCaptions(), expected);
}

void CataloguePagesTest::draggingTheThumbRefillsWhileDragging()
{
    fillCatalogue(200);
    QScrollBar* bar = form_->V1;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    QVERIFY(thumb.isValid());

    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, thumb.center() + QPoint(0, bar->height() / 3));
    // The rows follow the thumb before it is let go.
    QVERIFY(bar->isSliderDown());
    const int during = form_->V1->Value();
    QVERIFY(during > 0);
    QCOMPARE(form_->Label2[0]->Caption(), QStringLiteral("会议%1").arg(during));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb.center() + QPoint(0, bar->height() / 3));
    QCOMPARE(form_->V1->Value(), during);
    QCOMPARE(form_->Label2[7]->Caption(), QStringLiteral("会议%1").arg(during + 7));
}

void CataloguePagesTest::freshPageAfterScrollingALongerList()
{
    fillCatalogue(20);
    form_->V1->setValue(12);
    QCOMPARE(form_->Label2[0]->Caption(), QStringLiteral("会议12"));

    form_->List2.Clear();
    for (int k = 0; k < 5; ++k)
        form_->List2.AddItem(QStringLiteral("讲座%1%医生%1$说明%1*http://h/%1.wma").arg(k));
    form_->ShowLecturePage();

    QVERIFY(!form_->V1->isEnabled());
    QCOMPARE(form_->V1->Value(), 0);
    QCOMPARE(fixture_->visibleFirstCaptions(),
             (QStringList{"讲座0 - 说明0", "讲座1 - 说明1", "讲座2 - 说明2", "讲座3 - 说明3", "讲座4 - 说明4"}));
    QCOMPARE(fixture_->visibleSecondCaptions(), (QStringList{"医生0", "医生1", "医生2", "医生3", "医生4"}));
}

void CataloguePagesTest::captionThatCannotBeCutKeepsItsOldText()
{
    fillCatalogue(2);
    QCOMPARE(form_->Label3[1]->Caption(), QStringLiteral("更新日期：20131002"));
    form_->List1.Clear();
    form_->List1.AddItem(QStringLiteral("新会议%20140101*"));
    form_->List1.AddItem(QStringLiteral("星号*在前%20140101"));
    form_->ShowCataloguePage();
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"新会议", "星号*在前"}));
    QCOMPARE(form_->Label3[0]->Caption(), QStringLiteral("更新日期：20140101"));
    QCOMPARE(form_->Label3[1]->Caption(), QStringLiteral("更新日期：20131002"));
}

QTEST_MAIN(CataloguePagesTest)
#include "CataloguePagesTest.moc"
