#include "platform/VbColor.h"
#include "support/MainWindowFixture.h"
#include "support/TypeText.h"

#include <QtTest>

class ViewSwitchingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void favouritesListOnlyStoredLectures();
    void favouritesCountSetsUpScrollBar_data();
    void favouritesCountSetsUpScrollBar();
    void switchingBackToTheCatalogueClosesSearchAndDelete();
    void timerSwitchesToFavouritesOnce();

private:
    void clickOption(QRadioButton* option);
    std::unique_ptr<MainWindowFixture> fixture_;
    Form1* form_ = nullptr;
};

void ViewSwitchingTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    form_ = fixture_->load();
    QVERIFY(form_);
}

void ViewSwitchingTest::cleanup()
{
    fixture_.reset();
}

void ViewSwitchingTest::clickOption(QRadioButton* option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

void ViewSwitchingTest::favouritesListOnlyStoredLectures()
{
    fixture_->addFavourites({"b%d$n.zip", "A%e$n.ZIP", "c%d$n.wma", "c%d$n.zip.part", ".hidden%d$n.zip", "a%d$n.zip",
                             "x.zip", QStringLiteral("冠心病%张医生$四十分钟.zip")});
    clickOption(form_->Option2);

    QVERIFY(form_->Option2->Value());
    QCOMPARE(form_->List3.Items(), (QStringList{"a%d$n.zip", "A%e$n.ZIP", "b%d$n.zip", "x.zip", "冠心病%张医生$四十分钟.zip"}));
    // A name that cannot be cut leaves its row blank.
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"a - n", "A - n", "b - n", "", "冠心病 - 四十分钟"}));
    QCOMPARE(fixture_->visibleSecondCaptions(), (QStringList{"d", "e", "d", "", "张医生"}));
    QCOMPARE(form_->Label10[0]->Caption(), QStringLiteral("播 放"));
    QVERIFY(form_->Picture9[0]->isVisible());
}

void ViewSwitchingTest::favouritesCountSetsUpScrollBar_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty folder") << 0;
    QTest::newRow("eight") << 8;
    QTest::newRow("nine") << 9;
}

void ViewSwitchingTest::favouritesCountSetsUpScrollBar()
{
    QFETCH(int, count);
    fixture_->addFavourites(FavouriteNames(count));
    clickOption(form_->Option2);

    QCOMPARE(form_->V1->isEnabled(), count > 8);
    QCOMPARE(form_->V1->Value(), 0);
    QCOMPARE(fixture_->visibleFirstCaptions().size(), std::min(count, 8));
    if (count > 8) {
        QCOMPARE(form_->V1->Max(), count - 8);
        form_->V1->setValue(1);
        QCOMPARE(form_->Label2[0]->Caption(), QStringLiteral("讲座01 - 说明01"));
        QCOMPARE(form_->Label2[7]->Caption(), QStringLiteral("讲座08 - 说明08"));
    }
}

void ViewSwitchingTest::switchingBackToTheCatalogueClosesSearchAndDelete()
{
    fixture_->addFavourites(FavouriteNames(3));
    clickOption(form_->Option2);
    QVERIFY(form_->Text1->isEnabled());
    TypeText(form_->Text1, QStringLiteral("讲座01"));

    clickOption(form_->Option3);
    QVERIFY(form_->Option3->Value());
    QVERIFY(!form_->Text1->isEnabled());
    QCOMPARE(form_->Text1->BackColor(), platform::kVbLightGrey);
    QCOMPARE(form_->Label4->ForeColor(), platform::kVbGrey);
    QCOMPARE(form_->Option3->ForeColor(), platform::kVbRed);
    QCOMPARE(form_->Option2->ForeColor(), platform::kVbBlack);
    for (int i = 0; i < Form1::kRows; ++i) {
        QVERIFY(!form_->Picture9[i]->isVisible());
        QCOMPARE(form_->Label10[i]->Caption(), QStringLiteral("进 入"));
    }
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"会议0", "会议1", "会议2"}));

    // Back in the favourites the old text stands in the box but lists all.
    clickOption(form_->Option2);
    QCOMPARE(form_->Text1->Text(), QStringLiteral("讲座01"));
    QCOMPARE(fixture_->visibleFirstCaptions().size(), 3);
}

void ViewSwitchingTest::timerSwitchesToFavouritesOnce()
{
    fixture_->addFavourites(FavouriteNames(2));
    form_->Timer2->setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(form_->Option2->Value(), 3000);
    QVERIFY(!form_->Timer2->Enabled());
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"讲座00 - 说明00", "讲座01 - 说明01"}));
}

QTEST_MAIN(ViewSwitchingTest)
#include "ViewSwitchingTest.moc"
