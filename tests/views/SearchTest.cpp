// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/MainWindowFixture.h"
#include "support/TypeText.h"
#include "views/SearchFilter.h"

#include <QtTest>

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void typedTextNarrowsTheFavourites_data();
    void typedTextNarrowsTheFavourites();
    void moreThanEightHitsScroll();
    void deletingTheTextListsEverything();
    void trimsOnlyPlainSpaces_data();
    void trimsOnlyPlainSpaces();

private:
    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

void SearchTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    fixture_->addFavourites({"Heart%Li$intro.zip", QStringLiteral("冠心病%张医生$四十分钟.zip"),
                             QStringLiteral("心力衰竭%王医生$三十分钟.zip")});
    window_ = fixture_->load();
    QVERIFY(window_);
    QTest::mouseClick(window_->viewBar().favouritesOption, Qt::LeftButton, {},
                      QPoint(6, window_->viewBar().favouritesOption->height() / 2));
    QVERIFY(window_->viewBar().searchBox->isEnabled());
}

void SearchTest::cleanup()
{
    fixture_.reset();
}

void SearchTest::typedTextNarrowsTheFavourites_data()
{
    const QStringList all{"Heart - intro", "冠心病 - 四十分钟", "心力衰竭 - 三十分钟"};
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("part of a title") << QStringLiteral("心病") << QStringList{all[1]};
    QTest::newRow("leading and trailing spaces") << QStringLiteral("  医生 ") << all.mid(1);
    QTest::newRow("case that differs") << "heart" << QStringList{};
    QTest::newRow("exact case") << "Heart" << QStringList{all[0]};
    QTest::newRow("extension is part of the name") << "zip" << all;
    QTest::newRow("inner space must match") << QStringLiteral("心 病") << QStringList{};
}

void SearchTest::typedTextNarrowsTheFavourites()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, titles);
    typeText(window_->viewBar().searchBox, typed);
    QCOMPARE(window_->viewBar().searchBox->text(), typed);
    QCOMPARE(fixture_->visibleFirstCaptions(), titles);
}

void SearchTest::moreThanEightHitsScroll()
{
    fixture_->addFavourites(favouriteNames(11));
    typeText(window_->viewBar().searchBox, QStringLiteral("讲座"));
    QCOMPARE(window_->pageModel().list(PageView::Favourites).size(), 11);
    QVERIFY(window_->pageList().pageScrollBar->isEnabled());
    QCOMPARE(window_->pageList().pageScrollBar->maximum(), 3);
    QCOMPARE(window_->pageList().pageScrollBar->position(), 0);
    QCOMPARE(fixture_->visibleFirstCaptions().size(), 8);
}

void SearchTest::deletingTheTextListsEverything()
{
    typeText(window_->viewBar().searchBox, "Heart");
    QCOMPARE(window_->pageModel().list(PageView::Favourites).size(), 1);
    for (int k = 0; k < 5; ++k)
        QTest::keyClick(window_->viewBar().searchBox, Qt::Key_Backspace);
    QCOMPARE(window_->viewBar().searchBox->text(), QString());
    QCOMPARE(window_->pageModel().list(PageView::Favourites).size(), 3);
}

void SearchTest::trimsOnlyPlainSpaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("ideographic space stays") << QStringLiteral("\u3000a\u3000") << QStringLiteral("\u3000a\u3000");
    QTest::newRow("tab stays") << "\ta "
                               << "\ta";
    QTest::newRow("only spaces") << "   "
                                 << "";
}

void SearchTest::trimsOnlyPlainSpaces()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(trimmedSearchText(text), trimmed);
}

QTEST_MAIN(SearchTest)
#include "SearchTest.moc"
