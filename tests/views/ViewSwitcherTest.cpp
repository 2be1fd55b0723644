// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/Colours.h"
#include "support/MainWindowFixture.h"
#include "support/TypeText.h"

#include <QtTest>

class ViewSwitcherTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void favouritesListOnlyStoredLectures();
    void favouritesCountSetsUpScrollBar_data();
    void favouritesCountSetsUpScrollBar();
    void switchingBackToTheCatalogueClosesSearchAndDelete();
    void timerSwitchesToFavouritesOnce();
    void theViewIsOneValueTheOptionsShowAndChoose();

private:
    void clickOption(QRadioButton* option);
    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

void ViewSwitcherTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    window_ = fixture_->load();
    QVERIFY(window_);
}

void ViewSwitcherTest::cleanup()
{
    fixture_.reset();
}

void ViewSwitcherTest::clickOption(QRadioButton* option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

void ViewSwitcherTest::favouritesListOnlyStoredLectures()
{
    fixture_->addFavourites({"b%d$n.zip", "A%e$n.ZIP", "c%d$n.wma", "c%d$n.zip.part", ".hidden%d$n.zip", "a%d$n.zip",
                             "x.zip", QStringLiteral("冠心病%张医生$四十分钟.zip")});
    clickOption(window_->viewBar().favouritesOption);

    QVERIFY(window_->viewBar().favouritesOption->isChecked());
    QCOMPARE(
        window_->pageModel().list(PageView::Favourites),
        (QStringList{".hidden%d$n.zip", "a%d$n.zip", "A%e$n.ZIP", "b%d$n.zip", "x.zip", "冠心病%张医生$四十分钟.zip"}));
    // A name that cannot be cut, its first "." before its "$", shows the
    // file's own name.
    QCOMPARE(fixture_->visibleFirstCaptions(),
             (QStringList{".hidden%d$n", "a - n", "A - n", "b - n", "x", "冠心病 - 四十分钟"}));
    QCOMPARE(fixture_->visibleSecondCaptions(), (QStringList{"d", "d", "e", "d", "", "张医生"}));
    QCOMPARE(window_->pageList().rows[0].actionButton->text(), QStringLiteral("播 放"));
    QVERIFY(window_->pageList().rows[0].deleteButton->isVisible());
}

// Chosen from code or by the user, the view is one value: its option is
// checked, the rows do what the view says, and a view already shown is not
// shown again.
void ViewSwitcherTest::theViewIsOneValueTheOptionsShowAndChoose()
{
    const ViewBar& bar = window_->viewBar();
    fixture_->addFavourites({"a%d$n.zip"});
    QSignalSpy changes(&window_->pageModel(), &PageModel::viewChanged);

    window_->views().choose(PageView::Favourites);
    QVERIFY(bar.favouritesOption->isChecked());
    QCOMPARE(window_->pageList().rows[0].actionButton->text(), QStringLiteral("播 放"));
    window_->views().choose(PageView::Favourites);
    QCOMPARE(changes.count(), 1);

    clickOption(bar.catalogueOption);
    QCOMPARE(window_->pageModel().view(), PageView::Catalogue);
    QVERIFY(!bar.favouritesOption->isChecked());
    QCOMPARE(window_->pageList().rows[0].actionButton->text(), QStringLiteral("进 入"));
    QCOMPARE(changes.count(), 2);
    QCOMPARE(changes.last().first().value<PageView>(), PageView::Catalogue);
}

void ViewSwitcherTest::favouritesCountSetsUpScrollBar_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty folder") << 0;
    QTest::newRow("eight") << 8;
    QTest::newRow("nine") << 9;
}

void ViewSwitcherTest::favouritesCountSetsUpScrollBar()
{
    QFETCH(int, count);
    fixture_->addFavourites(favouriteNames(count));
    clickOption(window_->viewBar().favouritesOption);

    QCOMPARE(window_->pageList().pageScrollBar->isEnabled(), count > 8);
    QCOMPARE(window_->pageList().pageScrollBar->position(), 0);
    QCOMPARE(fixture_->visibleFirstCaptions().size(), std::min(count, 8));
    if (count > 8) {
        QCOMPARE(window_->pageList().pageScrollBar->maximum(), count - 8);
        window_->pageList().pageScrollBar->setValue(1);
        QCOMPARE(window_->pageList().rows[0].title->caption(), QStringLiteral("讲座01 - 说明01"));
        QCOMPARE(window_->pageList().rows[7].title->caption(), QStringLiteral("讲座08 - 说明08"));
    }
}

void ViewSwitcherTest::switchingBackToTheCatalogueClosesSearchAndDelete()
{
    fixture_->addFavourites(favouriteNames(3));
    clickOption(window_->viewBar().favouritesOption);
    QVERIFY(window_->viewBar().searchBox->isEnabled());
    typeText(window_->viewBar().searchBox, QStringLiteral("讲座01"));

    clickOption(window_->viewBar().catalogueOption);
    QVERIFY(window_->viewBar().catalogueOption->isChecked());
    // The box stays open: from here it searches the whole library.
    QVERIFY(window_->viewBar().searchBox->isEnabled());
    QCOMPARE(window_->viewBar().searchLabel->textColour(), colours::text);
    QCOMPARE(window_->viewBar().catalogueOption->textColour(), colours::chosenView);
    QCOMPARE(window_->viewBar().favouritesOption->textColour(), colours::text);
    for (int i = 0; i < PageList::kDesignedRows; ++i) {
        QVERIFY(!window_->pageList().rows[i].deleteButton->isVisible());
        QCOMPARE(window_->pageList().rows[i].actionButton->text(), QStringLiteral("进 入"));
    }
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"会议0", "会议1", "会议2"}));

    // Back in the favourites the old text stands in the box but lists all.
    clickOption(window_->viewBar().favouritesOption);
    QCOMPARE(window_->viewBar().searchBox->text(), QStringLiteral("讲座01"));
    QCOMPARE(fixture_->visibleFirstCaptions().size(), 3);
}

void ViewSwitcherTest::timerSwitchesToFavouritesOnce()
{
    fixture_->addFavourites(favouriteNames(2));
    window_->favouritesTimer()->setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(window_->viewBar().favouritesOption->isChecked(), 3000);
    QVERIFY(!window_->favouritesTimer()->isEnabled());
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"讲座00 - 说明00", "讲座01 - 说明01"}));
}

QTEST_MAIN(ViewSwitcherTest)
#include "ViewSwitcherTest.moc"
