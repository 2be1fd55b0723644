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
    void onlyTheLeftButtonPressesTheRowButtons_data();
    void onlyTheLeftButtonPressesTheRowButtons();
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
    QTest::mouseClick(form_->Label11[1], Qt::LeftButton);

    QStringList remaining = FavouriteNames(12);
    remaining.removeAt(4);
    QCOMPARE(storedNames(), remaining);
    // The refresh lists from the top again.
    QCOMPARE(form_->V1->Value(), 0);
    QCOMPARE(form_->V1->Max(), 3);
    QCOMPARE(form_->Label2[4]->Caption(), QStringLiteral("讲座05 - 说明05"));
}

void FavouritesFolderTest::deleteWhileSearchTextStandsListsEverything()
{
    fixture_->addFavourites(FavouriteNames(5));
    showFavourites();
    TypeText(form_->Text1, QStringLiteral("说明03"));
    QTest::mouseClick(form_->Label11[0], Qt::LeftButton);

    QStringList remaining = FavouriteNames(5);
    remaining.removeAt(3);
    QCOMPARE(storedNames(), remaining);
    QCOMPARE(form_->Text1->Text(), QStringLiteral("说明03"));
    QCOMPARE(form_->List3.Items(), remaining);
}

void FavouritesFolderTest::onlyTheLeftButtonPressesTheRowButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void FavouritesFolderTest::onlyTheLeftButtonPressesTheRowButtons()
{
    QFETCH(int, button);
    const auto mouse = Qt::MouseButton(button);
    const bool left = mouse == Qt::LeftButton;
    fixture_->addFavourites(FavouriteNames(2));
    showFavourites();
    const QImage released = form_->Picture8->Picture().toImage();
    QVERIFY(released != form_->Picture7->Picture().toImage());
    const QImage down = left ? form_->Picture7->Picture().toImage() : released;

    QTest::mousePress(form_->Label11[0], mouse);
    QCOMPARE(form_->Picture9[0]->Picture().toImage(), down);
    QCOMPARE(storedNames(), FavouriteNames(2));
    QTest::mouseRelease(form_->Label11[0], mouse);
    QCOMPARE(form_->Picture9[0]->Picture().toImage(), released);
    QCOMPARE(storedNames(), left ? FavouriteNames(2).mid(1) : FavouriteNames(2));

    // Row 1 is empty after a left-button delete, so its release plays nothing.
    QTest::mousePress(form_->Label10[1], mouse);
    QCOMPARE(form_->Picture6[1]->Picture().toImage(), down);
    QTest::mouseRelease(form_->Label10[1], mouse);
    QCOMPARE(form_->Picture6[1]->Picture().toImage(), released);
}

void FavouritesFolderTest::otherFilesAreNeverDeleted()
{
    fixture_->addFavourites({"a%b$c.zip", "a%b$c.wma", "notes.txt"});
    showFavourites();
    QTest::mouseClick(form_->Label11[0], Qt::LeftButton);
    QCOMPARE(storedNames(), (QStringList{"a%b$c.wma", "notes.txt"}));
    QVERIFY(fixture_->visibleFirstCaptions().isEmpty());
    QVERIFY(!form_->V1->isEnabled());
    // Rows without a name delete nothing.
    form_->Label11_MouseUp(1, 1, 0, 0, 0);
    QCOMPARE(storedNames(), (QStringList{"a%b$c.wma", "notes.txt"}));
}

QTEST_MAIN(FavouritesFolderTest)
#include "FavouritesFolderTest.moc"
