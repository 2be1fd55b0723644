#include "shell/MainWindow.h"
#include "shell/StartProcedure.h"

#include "download/DownloadEngine.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/ServerAddresses.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

class StartUpTest : public QObject {
    Q_OBJECT

private slots:
    void unreadableCatalogueEndsWithoutTheWindow_data();
    void unreadableCatalogueEndsWithoutTheWindow();
    void startShowsTheCentredFixedWindowWithTheVersionInItsCaption();
    void firstStartCreatesTheFolderAndASecondFindsIt();
    void closingTheWindowEndsTheProgram();
};

void StartUpTest::unreadableCatalogueEndsWithoutTheWindow_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("catalogue");
    QTest::newRow("error page") << 404 << QStringLiteral("<html><body>404 Not Found</body></html>");
    QTest::newRow("empty file") << 200 << QString();
    QTest::newRow("LF line ends only") << 200 << QStringLiteral("会议甲%20131015*\n会议乙%20131208*\n");
    QTest::newRow("no line with both markers") << 200 << QStringLiteral("会议目录\r\n%\r\n*\r\n");
}

void StartUpTest::unreadableCatalogueEndsWithoutTheWindow()
{
    QFETCH(int, status);
    QFETCH(QString, catalogue);
    MainWindowFixture fixture;
    fixture.server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
    fixture.server.serveBytes("/lists/catalogue.txt", toGb2312(catalogue), status, "text/html");

    const std::unique_ptr<MainWindow> window = runStartProcedure(addressesFor(fixture.server), fixture.programFolder());
    QVERIFY(!window);
    QCOMPARE(fixture.host.messages.size(), 1u);
    QCOMPARE(fixture.host.messages[0].prompt, QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(fixture.host.messages[0].style, 48);
    QCOMPARE(fixture.host.endings, 1);
}

void StartUpTest::startShowsTheCentredFixedWindowWithTheVersionInItsCaption()
{
    MainWindowFixture fixture;
    fixture.server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
    fixture.serveCatalogue({QStringLiteral("唯一的会议%20131015*")});

    const std::unique_ptr<MainWindow> window = runStartProcedure(addressesFor(fixture.server), fixture.programFolder());
    QVERIFY(window);
    QVERIFY(fixture.host.messages.empty());
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Kardelo V2.01 20140202"));
    // The icon follows the first frame.
    QTRY_VERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->entries().conferenceLines.size(), 1);
    QCOMPARE(window->pageList().rows[0].title->caption(), QStringLiteral("唯一的会议"));
    QVERIFY(window->pageList().rows[0].frame->isVisible());
    QVERIFY(!window->pageList().rows[1].frame->isVisible());
    // The percentages the layout shows at design time are cleared.
    for (int i = 0; i < PageList::kRows; ++i)
        QCOMPARE(window->pageList().rows[i].percentage->caption(), QString());
    QVERIFY(window->viewBar().catalogueOption->isChecked());
    QVERIFY(!window->viewBar().lecturesOption->isEnabled());
    QVERIFY(!window->viewBar().searchBox->isEnabled());

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint offCentre = window->geometry().center() - screen.center();
    QVERIFY2(std::abs(offCentre.x()) <= 2 && std::abs(offCentre.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

void StartUpTest::firstStartCreatesTheFolderAndASecondFindsIt()
{
    MainWindowFixture fixture;
    QVERIFY(!QFileInfo::exists(fixture.favouritesFolder()));
    QVERIFY(fixture.load());
    QVERIFY(QFileInfo(fixture.favouritesFolder()).isDir());
    QFile kept(fixture.favouritesFolder() + QStringLiteral("/旧讲座%医生$说明.zip"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();

    QVERIFY(fixture.load());
    QVERIFY(fixture.host.messages.empty());
    QVERIFY(kept.exists());
    QCOMPARE(fixture.window().entries().favouritesListing.size(), 1);
}

void StartUpTest::closingTheWindowEndsTheProgram()
{
    MainWindowFixture fixture;
    MainWindow* window = fixture.load();
    QVERIFY(window);
    QCOMPARE(fixture.host.endings, 0);
    window->close();
    QCOMPARE(fixture.host.endings, 1);
    QVERIFY(!window->downloadEngine());
}

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
