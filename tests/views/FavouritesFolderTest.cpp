// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/MainWindowFixture.h"
#include "support/PaintedFace.h"
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
    MainWindow* window_ = nullptr;
};

void FavouritesFolderTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    window_ = fixture_->load();
    QVERIFY(window_);
}

void FavouritesFolderTest::cleanup()
{
    fixture_.reset();
}

void FavouritesFolderTest::showFavourites()
{
    QTest::mouseClick(window_->viewBar().favouritesOption, Qt::LeftButton, {},
                      QPoint(6, window_->viewBar().favouritesOption->height() / 2));
    QVERIFY(window_->viewBar().favouritesOption->isChecked());
}

QStringList FavouritesFolderTest::storedNames() const
{
    return QDir(fixture_->favouritesFolder()).entryList(QDir::Files, QDir::Name);
}

void FavouritesFolderTest::deleteWhileScrolledDeletesTheRowShown()
{
    fixture_->addFavourites(favouriteNames(12));
    showFavourites();
    window_->pageList().pageScrollBar->setValue(3);
    QTest::mouseClick(window_->pageList().rows[1].deleteButton, Qt::LeftButton);

    QStringList remaining = favouriteNames(12);
    remaining.removeAt(4);
    QCOMPARE(storedNames(), remaining);
    // The refresh lists from the top again.
    QCOMPARE(window_->pageList().pageScrollBar->position(), 0);
    QCOMPARE(window_->pageList().pageScrollBar->maximum(), 3);
    QCOMPARE(window_->pageList().rows[4].title->caption(), QStringLiteral("讲座05 - 说明05"));
}

void FavouritesFolderTest::deleteWhileSearchTextStandsListsEverything()
{
    fixture_->addFavourites(favouriteNames(5));
    showFavourites();
    typeText(window_->viewBar().searchBox, QStringLiteral("说明03"));
    QTest::mouseClick(window_->pageList().rows[0].deleteButton, Qt::LeftButton);

    QStringList remaining = favouriteNames(5);
    remaining.removeAt(3);
    QCOMPARE(storedNames(), remaining);
    QCOMPARE(window_->viewBar().searchBox->text(), QStringLiteral("说明03"));
    QCOMPARE(window_->entries().favouriteNames, remaining);
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
    fixture_->addFavourites(favouriteNames(2));
    showFavourites();
    const QString down = left ? QStringLiteral("pressed") : QStringLiteral("released");
    RowButton* deleteButton = window_->pageList().rows[0].deleteButton;
    RowButton* actionButton = window_->pageList().rows[1].actionButton;

    QTest::mousePress(deleteButton, mouse);
    QCOMPARE(deleteButton->isDown(), left);
    QCOMPARE(paintedFace(*deleteButton), down);
    QCOMPARE(storedNames(), favouriteNames(2));
    QTest::mouseRelease(deleteButton, mouse);
    QCOMPARE(paintedFace(*deleteButton), QStringLiteral("released"));
    QCOMPARE(storedNames(), left ? favouriteNames(2).mid(1) : favouriteNames(2));

    // Row 1 is empty after a left-button delete, so its release plays nothing.
    QTest::mousePress(actionButton, mouse);
    QCOMPARE(paintedFace(*actionButton), down);
    QTest::mouseRelease(actionButton, mouse);
    QCOMPARE(paintedFace(*actionButton), QStringLiteral("released"));
}

void FavouritesFolderTest::otherFilesAreNeverDeleted()
{
    fixture_->addFavourites({"a%b$c.zip", "a%b$c.wma", "notes.txt"});
    showFavourites();
    QTest::mouseClick(window_->pageList().rows[0].deleteButton, Qt::LeftButton);
    QCOMPARE(storedNames(), (QStringList{"a%b$c.wma", "notes.txt"}));
    QVERIFY(fixture_->visibleFirstCaptions().isEmpty());
    QVERIFY(!window_->pageList().pageScrollBar->isEnabled());
    // Rows without a name delete nothing.
    window_->views().deleteButtonReleased(1);
    QCOMPARE(storedNames(), (QStringList{"a%b$c.wma", "notes.txt"}));
}

QTEST_MAIN(FavouritesFolderTest)
#include "FavouritesFolderTest.moc"
