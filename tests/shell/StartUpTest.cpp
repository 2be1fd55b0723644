#include "info/StartProcedure.h"
#include "shell/Form1.h"

#include "download/CFileDownload.h"
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
    fixture.server.serveBytes("/lists/catalogue.txt", ToGb2312(catalogue), status, "text/html");

    const std::unique_ptr<Form1> window = StartProcedure(AddressesFor(fixture.server), fixture.programFolder());
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

    const std::unique_ptr<Form1> window = StartProcedure(AddressesFor(fixture.server), fixture.programFolder());
    QVERIFY(window);
    QVERIFY(fixture.host.messages.empty());
    QVERIFY(window->isVisible());
    QCOMPARE(window->Caption(), QStringLiteral("Kardelo V2.01 20140202"));
    QCOMPARE(window->List1.ListCount(), 1);
    QCOMPARE(window->Label2[0]->Caption(), QStringLiteral("唯一的会议"));
    QVERIFY(window->Picture4[0]->isVisible());
    QVERIFY(!window->Picture4[1]->isVisible());
    // The percentages the layout shows at design time are cleared.
    for (int i = 0; i < Form1::kRows; ++i)
        QCOMPARE(window->Label1[i]->Caption(), QString());
    QVERIFY(window->Option3->Value());
    QVERIFY(!window->Option1->isEnabled());
    QVERIFY(!window->Text1->isEnabled());

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
    QCOMPARE(fixture.form().File1.ListCount(), 1);
}

void StartUpTest::closingTheWindowEndsTheProgram()
{
    MainWindowFixture fixture;
    Form1* form = fixture.load();
    QVERIFY(form);
    QCOMPARE(fixture.host.endings, 0);
    form->close();
    QCOMPARE(fixture.host.endings, 1);
    QVERIFY(!form->oDownload);
}

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
