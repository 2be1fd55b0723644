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
    void deleteTakesTheLectureItsRowNames_data();
    void deleteTakesTheLectureItsRowNames();
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

void FavouritesFolderTest::deleteTakesTheLectureItsRowNames_data()
{
    QTest::addColumn<QString>("name");  // stored beside twelve written by downloads
    QTest::addColumn<QString>("title");  // what its row shows
    QTest::addColumn<QString>("detail");
    QTest::newRow("written by a download") << "讲座04%医生04$说明04.zip"
                                           << "讲座04 - 说明04"
                                           << "医生04";
    QTest::newRow("no markers") << "Dr Li lecture.zip"
                                << "Dr Li lecture"
                                << "";
    QTest::newRow("a dot before the $") << "Dr. Li%心衰$讲座.zip"
                                        << "Dr. Li%心衰$讲座"
                                        << "心衰";
    QTest::newRow("markers in reverse") << "讲座$说明%医生.zip"
                                        << "讲座$说明 - 说明%医生"
                                        << "";
    QTest::newRow("no $") << "讲座%医生.zip"
                          << "讲座 - 讲座%医生"
                          << "";
    QTest::newRow("two dots") << "a.x%b$t.1.zip"
                              << "a.x%b$t.1"
                              << "b";
    QTest::newRow("only an extension") << ".zip"
                                       << ""
                                       << "";
}

// Scrolled and switched to and fro, a row shows its own stored lecture, and
// 删 除, which asks nothing, deletes exactly that one.
void FavouritesFolderTest::deleteTakesTheLectureItsRowNames()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, detail);
    QStringList names = favouriteNames(12);
    if (!names.contains(name))
        fixture_->addFavourites({name});
    fixture_->addFavourites(names);
    showFavourites();
    QTest::mouseClick(window_->viewBar().catalogueOption, Qt::LeftButton, {},
                      QPoint(6, window_->viewBar().catalogueOption->height() / 2));
    showFavourites();
    const int entry = static_cast<int>(window_->pageModel().list(PageView::Favourites).indexOf(name));
    QVERIFY(entry >= 0);
    window_->pageList().pageScrollBar->setValue(window_->pageList().pageScrollBar->maximum());
    window_->pageList().pageScrollBar->setValue(std::max(entry - 1, 0));
    const PageRow& row = window_->pageList().rows[entry - window_->pageList().pageScrollBar->position()];
    QCOMPARE(row.title->caption(), title);
    QCOMPARE(row.subtitle->caption(), detail);

    QTest::mouseClick(row.deleteButton, Qt::LeftButton);
    QStringList remaining = storedNames();
    QVERIFY(!remaining.contains(name));
    names.append(name);
    names.removeDuplicates();
    QCOMPARE(remaining.size(), names.size() - 1);
    // The refresh lists from the top again.
    QCOMPARE(window_->pageList().pageScrollBar->position(), 0);
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
    QCOMPARE(window_->pageModel().list(PageView::Favourites), remaining);
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
    window_->views().deleteFavourite(1);
    QCOMPARE(storedNames(), (QStringList{"a%b$c.wma", "notes.txt"}));
}

QTEST_MAIN(FavouritesFolderTest)
#include "FavouritesFolderTest.moc"
