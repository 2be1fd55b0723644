#include "support/MainWindowFixture.h"
#include "support/TypeText.h"

#include <QtTest>

class FavouritesFolderTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void deleteWhileScrolledDeletesTheRowShown();
    void deleteWhileSearchTextStandsListsEverything();
    void deletingTheOnlyFavouriteEmptiesTheView();
    void otherButtonsChangeNothing_data();
    void otherButtonsChangeNothing();
    void leftPressShowsThePressedFace();
    void otherFilesAreNeverDeleted();

private:
    void showFavourites();
    QStringList storedNames() const;
    std::unique_ptr<MainWindowFixture> fixture_;
    Form1* form_ = nullptr;
};

void FavouritesFolderTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    form_ = fixture_->load();
    QVERIFY(form_);
}

void FavouritesFolderTest::cleanup()
{
    fixture_.reset();
}

void FavouritesFolderTest::showFavourites()
{
    QTest::mouseClick(form_->Option2, Qt::LeftButton, {}, QPoint(6, form_->Option2->height() / 2));
    QVERIFY(form_->Option2->Value());
}

QStringList FavouritesFolderTest::storedNames() const
{
    return QDir(fixture_->favouritesFolder()).entryList(QDir::Files, QDir::Name);
}

void FavouritesFolderTest::deleteWhileScrolledDeletesTheRowShown()
{
    fixture_->addFavourites(FavouriteNames(12));
    showFavourites();
    form_->V1->setValue(3);
    QCOMPARE(form_->Label2[1]->Caption(), QStringLiteral("讲座04 - 说明04"));

    QTest::mouseClick(form_->Label11[1], Qt::LeftButton);

    QStringList expected = FavouriteNames(12);
    expected.removeAt(4);
    QCOMPARE(storedNames(), expected);
    QCOMPARE(form_->V1->Value(), 0);
    QCOMPARE(form_->V1->Max(), 3);
    QCOMPARE(form_->Label2[0]->Caption(), QStringLiteral("讲座00 - 说明00"));
    QCOMPARE(form_->Label2[4]->Caption(), QStringLiteral("讲座05 - 说明05"));
}

void FavouritesFolderTest::deleteWhileSearchTextStandsListsEverything()
{
    fixture_->addFavourites(FavouriteNames(5));
    showFavourites();
    TypeText(form_->Text1, QStringLiteral("说明03"));
    QCOMPARE(fixture_->visibleFirstCaptions(), QStringList{"讲座03 - 说明03"});

    QTest::mouseClick(form_->Label11[0], Qt::LeftButton);

    QVERIFY(!storedNames().contains(FavouriteNames(5)[3]));
    QCOMPARE(storedNames().size(), 4);
    QCOMPARE(form_->Text1->Text(), QStringLiteral("说明03"));
    QCOMPARE(fixture_->visibleFirstCaptions().size(), 4);
}

void FavouritesFolderTest::deletingTheOnlyFavouriteEmptiesTheView()
{
    fixture_->addFavourites({"a%b$c.zip"});
    showFavourites();
    QTest::mouseClick(form_->Label11[0], Qt::LeftButton);
    QVERIFY(storedNames().isEmpty());
    QVERIFY(fixture_->visibleFirstCaptions().isEmpty());
    QVERIFY(!form_->V1->isEnabled());
}

void FavouritesFolderTest::otherButtonsChangeNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void FavouritesFolderTest::otherButtonsChangeNothing()
{
    QFETCH(int, button);
    fixture_->addFavourites(FavouriteNames(2));
    showFavourites();
    const QImage faceBefore = form_->Picture9[0]->Picture().toImage();

    QTest::mousePress(form_->Label11[0], Qt::MouseButton(button));
    QCOMPARE(form_->Picture9[0]->Picture().toImage(), faceBefore);
    QTest::mouseRelease(form_->Label11[0], Qt::MouseButton(button));
    QCOMPARE(storedNames(), FavouriteNames(2));
    QCOMPARE(form_->Picture9[0]->Picture().toImage(), faceBefore);

    QTest::mousePress(form_->Label10[0], Qt::MouseButton(button));
    QCOMPARE(form_->Picture6[0]->Picture().toImage(), faceBefore);
    QTest::mouseRelease(form_->Label10[0], Qt::MouseButton(button));
    QCOMPARE(form_->Picture6[0]->Picture().toImage(), faceBefore);
}

void FavouritesFolderTest::leftPressShowsThePressedFace()
{
    fixture_->addFavourites(FavouriteNames(2));
    showFavourites();
    const QImage released = form_->Picture8->Picture().toImage();
    const QImage pressed = form_->Picture7->Picture().toImage();
    QVERIFY(released != pressed);

    QTest::mousePress(form_->Label11[0], Qt::LeftButton);
    QCOMPARE(form_->Picture9[0]->Picture().toImage(), pressed);
    QCOMPARE(storedNames(), FavouriteNames(2));
    QTest::mouseRelease(form_->Label11[0], Qt::LeftButton);
    QCOMPARE(form_->Picture9[0]->Picture().toImage(), released);

    QTest::mousePress(form_->Label10[1], Qt::LeftButton);
    QCOMPARE(form_->Picture6[1]->Picture().toImage(), pressed);
    QTest::mouseRelease(form_->Label10[1], Qt::LeftButton);
    QCOMPARE(form_->Picture6[1]->Picture().toImage(), released);
}

void FavouritesFolderTest::otherFilesAreNeverDeleted()
{
    fixture_->addFavourites({"a%b$c.zip", "a%b$c.wma", "notes.txt"});
    showFavourites();
    QCOMPARE(form_->List3.ListCount(), 1);
    QTest::mouseClick(form_->Label11[0], Qt::LeftButton);
    QCOMPARE(storedNames(), (QStringList{"a%b$c.wma", "notes.txt"}));
    // Rows without a name delete nothing.
    QVERIFY(!form_->Label11[1]->isVisible());
    form_->Label11_MouseUp(1, 1, 0, 0, 0);
    QCOMPARE(storedNames(), (QStringList{"a%b$c.wma", "notes.txt"}));
}

QTEST_MAIN(FavouritesFolderTest)
#include "FavouritesFolderTest.moc"
