// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/LectureListName.h"
#include "format/LibraryIndex.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/TypeText.h"
#include "views/SearchFilter.h"

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
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
    void theWholeLibraryIsSearchedFromTheCatalogue_data();
    void theWholeLibraryIsSearchedFromTheCatalogue();

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

void SearchTest::theWholeLibraryIsSearchedFromTheCatalogue_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("withIndex");  // the library has an index; otherwise each list is read
    QTest::newRow("part of the title") << QStringLiteral("休克的ECMO") << true;
    QTest::newRow("full-width and case") << QStringLiteral("ｅｃｍｏ") << true;
    QTest::newRow("pinyin") << "xinyuanxing" << true;
    QTest::newRow("pinyin initials") << "xyxxk" << true;
    QTest::newRow("pinyin initials, no index") << "xyxxk" << false;
}

// Forty conferences; the ECMO talk is in the 38th. Found from the
// catalogue, it is downloaded from its result row; in its conference's
// lectures the same text narrows the page to it.
void SearchTest::theWholeLibraryIsSearchedFromTheCatalogue()
{
    QFETCH(QString, typed);
    QFETCH(bool, withIndex);
    MainWindowFixture fixture;
    const QStringList conferences = conferenceLines(40);
    fixture.serveCatalogue(conferences);
    LibraryIndex library;
    for (int k = 0; k < conferences.size(); ++k) {
        QStringList lectures{QStringLiteral("讲座%1%张医生$说明*").arg(k) + fixture.server.url("/audio/a.wma")};
        if (k == 37)
            lectures << QStringLiteral("心源性休克的ECMO治疗%李医生$四十分钟*") + fixture.server.url("/audio/ecmo.wma");
        library.conferences.append({conferences[k], lectures});
        const QString list = conferenceListFileName(conferences[k]).value_or(QString());
        if (!withIndex)
            fixture.server.serveBytes("/lists/" + list.toStdString(), toGb2312(lectures.join("\r\n") + "\r\n"));
    }
    fixture.server.serveBytes("/lists/library-index.txt", toGb2312(formatLibraryIndex(library)), withIndex ? 200 : 404);
    fixture.server.serveBytes("/audio/ecmo.wma", QByteArray(2000, 'e'));
    MainWindow* window = fixture.load();
    QVERIFY(window);

    QLineEdit* box = window->viewBar().searchBox;
    typeText(box, typed);
    const QString found = QStringLiteral("心源性休克的ECMO治疗 - 四十分钟");
    QTRY_COMPARE(fixture.visibleFirstCaptions(), QStringList{found});
    QVERIFY(fixture.visibleSecondCaptions().first().startsWith(QStringLiteral("会议37")));
    QVERIFY(window->viewBar().catalogueOption->isChecked());
    // Cleared, the box shows the catalogue again.
    box->clear();
    QTRY_COMPARE(fixture.visibleFirstCaptions().value(0), QStringLiteral("会议0"));
    typeText(box, typed);
    QTRY_COMPARE(fixture.visibleFirstCaptions(), QStringList{found});
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    fixture.waitWhileDownloading();
    QCOMPARE(QDir(fixture.favouritesFolder()).entryList(QDir::Files).size(), 1);

    // In a conference's lectures, the same text narrows the page.
    QTRY_VERIFY(window->viewBar().favouritesOption->isChecked());
    QRadioButton* catalogue = window->viewBar().catalogueOption;
    QTest::mouseClick(catalogue, Qt::LeftButton, {}, QPoint(6, catalogue->height() / 2));
    const QStringList first{library.conferences[0].lectureLines[0], library.conferences[37].lectureLines[1]};
    fixture.server.serveBytes("/lists/" + conferenceListFileName(conferences[0]).value_or(QString()).toStdString(),
                              toGb2312(first.join("\r\n") + "\r\n"));
    QVERIFY(fixture.enterConference(0));
    box->clear();
    QCOMPARE(fixture.visibleFirstCaptions().size(), 2);
    typeText(box, typed);
    QTRY_COMPARE(fixture.visibleFirstCaptions(), QStringList{found});
    QVERIFY(fixture.messages().isEmpty());
}

QTEST_MAIN(SearchTest)
#include "SearchTest.moc"
