// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadQueue.h"
#include "format/DecodeAddress.h"
#include "playback/Playback.h"
#include "shell/LibraryAvailability.h"
#include "shell/LibraryConnection.h"
#include "shell/MainWindow.h"
#include "shell/StartProcedure.h"
#include "support/FreePort.h"
#include "support/Gb2312.h"
#include "support/LoopbackListener.h"
#include "support/MainWindowFixture.h"
#include "support/ServerAddresses.h"
#include "support/ToneWav.h"
#include "support/TypeText.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include <linux/fs.h>
#include <optional>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

class StartUpTest : public QObject {
    Q_OBJECT

private slots:
    void unreadableCatalogueEndsWithoutTheWindow_data();
    void unreadableCatalogueEndsWithoutTheWindow();
    void withLecturesStoredItOpensOfflineAndPlays_data();
    void withLecturesStoredItOpensOfflineAndPlays();
    void theLibraryComingBackBringsTheCatalogue();
    void theKeptLibraryIsBrowsedOfflineAndADownloadWaitsForTheNetwork();
    void startShowsTheCentredWindowAtItsDesignedSizeWithTheVersionInItsCaption();
    void firstStartCreatesTheFolderAndASecondFindsIt();
    void closingTheWindowEndsTheProgram();
    void favouritesLieWhereTheUserCanWrite_data();
    void favouritesLieWhereTheUserCanWrite();
};

namespace {

// Makes a folder unwritable for as long as it lives. Permissions do not stop
// root, so there the folder is made immutable; where neither can be had,
// made() is false.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& path) : path_(QFile::encodeName(path))
    {
        if (::geteuid() != 0) {
            made_ = ::chmod(path_.constData(), 0555) == 0;
            return;
        }
        made_ = setImmutable(true);
    }
    ~UnwritableFolder()
    {
        if (made_ && ::geteuid() == 0)
            setImmutable(false);
        else if (made_)
            ::chmod(path_.constData(), 0755);
    }
    bool made() const { return made_; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(path_.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    }

    QByteArray path_;
    bool made_ = false;
};

}  // namespace

void StartUpTest::unreadableCatalogueEndsWithoutTheWindow_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("catalogue");
    QTest::newRow("error page") << 404 << QStringLiteral("<html><body>404 Not Found</body></html>");
    QTest::newRow("empty file") << 200 << QString();
    QTest::newRow("LF line ends only") << 200 << QStringLiteral("会议甲%20131015*\n会议乙%20131208*\n");
    QTest::newRow("no line with both markers") << 200 << QStringLiteral("会议目录\r\n%\r\n*\r\n");
    QTest::newRow("404 page holding a record line") << 404 << QStringLiteral("会议甲%20131015*\r\n");
    QTest::newRow("500 page holding a record line") << 500 << QStringLiteral("<p style=\"width:100%\">/*会议乙*/\r\n");
}

void StartUpTest::unreadableCatalogueEndsWithoutTheWindow()
{
    QFETCH(int, status);
    QFETCH(QString, catalogue);
    MainWindowFixture fixture;
    fixture.server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
    fixture.server.serveBytes("/lists/catalogue.txt", toGb2312(catalogue), status, "text/html");

    const std::unique_ptr<StartProcedure> start = startAndWait(addressesFor(fixture.server), fixture.programFolder());
    MainWindow* window = start->window();
    QVERIFY(!window);
    QCOMPARE(fixture.host.messages.size(), 1u);
    QCOMPARE(fixture.host.messages[0].prompt, QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(fixture.host.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(fixture.host.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(fixture.host.endings, 1);
}

void StartUpTest::withLecturesStoredItOpensOfflineAndPlays_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("nothing listening") << QStringLiteral("refused");
    QTest::newRow("a server that never answers") << QStringLiteral("silent");
    QTest::newRow("version file but no catalogue") << QStringLiteral("no catalogue");
    QTest::newRow("catalogue with no usable line") << QStringLiteral("empty catalogue");
}

// Stored lectures need no network: the window opens on them, says in
// itself that the library cannot be reached, and plays.
void StartUpTest::withLecturesStoredItOpensOfflineAndPlays()
{
    QFETCH(QString, fault);
    MainWindowFixture fixture;
    QDir().mkpath(fixture.favouritesFolder());
    QVERIFY(writeTone(fixture.favouritesFolder() + QStringLiteral("/讲座%医生$说明.zip"), 30000));
    StoredAddresses addresses = addressesFor(fixture.server);
    // Accepts connections, answers nothing.
    LoopbackListener silent(8);
    if (fault == QStringLiteral("refused"))
        addresses.versionFile =
            encodeAddress(QStringLiteral("http://127.0.0.1:%1/version.txt").arg(unusedLoopbackPort()));
    else if (fault == QStringLiteral("silent"))
        addresses.versionFile = encodeAddress(QStringLiteral("http://127.0.0.1:%1/version.txt").arg(silent.port()));
    else if (fault == QStringLiteral("no catalogue"))
        fixture.server.serveBytes("/lists/catalogue.txt", "<html>404</html>", 404, "text/html");
    else
        fixture.serveCatalogue({QStringLiteral("会议目录")});

    QElapsedTimer sinceStart;
    sinceStart.start();
    const std::unique_ptr<StartProcedure> start = startAndWait(addresses, fixture.programFolder());
    MainWindow* window = start->window();
    QVERIFY(window);
    QVERIFY2(sinceStart.elapsed() < 12000, qPrintable(QString::number(sinceStart.elapsed())));
    QVERIFY(window->isVisible() && window->isOffline());
    QVERIFY(fixture.host.messages.empty());
    QCOMPARE(fixture.host.endings, 0);
    QVERIFY(window->viewBar().favouritesOption->isChecked());
    QVERIFY(window->offlineNotice()->isVisible());
    QCOMPARE(window->offlineNotice()->text(), QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QVERIFY(window->library().isRetrying());

    window->playback().setMuted(true);
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    QTRY_COMPARE(window->playback().playbackState(), Playback::State::Playing);
}

void StartUpTest::theLibraryComingBackBringsTheCatalogue()
{
    MainWindowFixture fixture;
    fixture.addFavourites({QStringLiteral("讲座%医生$说明.zip")});
    fixture.server.serveBytes("/version.txt", "<html>503</html>", 503, "text/html");
    const std::unique_ptr<StartProcedure> start = startAndWait(addressesFor(fixture.server), fixture.programFolder());
    MainWindow* window = start->window();
    QVERIFY(window && window->isOffline());

    // Choosing the catalogue asks at once; still unreachable, the page stays.
    QRadioButton* catalogue = window->viewBar().catalogueOption;
    QTest::mouseClick(catalogue, Qt::LeftButton, {}, QPoint(6, catalogue->height() / 2));
    QCOMPARE(window->offlineNotice()->text(), QStringLiteral("正在连接服务器……"));
    QVERIFY(window->viewBar().favouritesOption->isChecked());
    QTRY_COMPARE(window->offlineNotice()->text(), QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(fixture.server.requestCount("/version.txt"), 2u);

    // Back, it is found without being asked, and the catalogue can be chosen.
    fixture.server.serveBytes("/version.txt", "20991231[QorVersion]\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(!window->isOffline(), 3 * LibraryConnection::kLongestRetry.count() * 1000);
    QVERIFY(!window->offlineNotice()->isVisible());
    QVERIFY(window->viewBar().favouritesOption->isChecked());
    // A newer version found now waits for the next start.
    QVERIFY(fixture.host.messages.empty());
    QTest::mouseClick(catalogue, Qt::LeftButton, {}, QPoint(6, catalogue->height() / 2));
    QVERIFY(window->viewBar().catalogueOption->isChecked());
    QCOMPARE(window->pageList().rows[2].title->caption(), QStringLiteral("会议2"));
}

void StartUpTest::theKeptLibraryIsBrowsedOfflineAndADownloadWaitsForTheNetwork()
{
    MainWindowFixture fixture;
    // A library without an index: its lists are learnt, and kept.
    fixture.server.serveBytes("/lists/library-index.txt", "<html>404</html>", 404, "text/html");
    QVERIFY(fixture.load());
    QVERIFY(fixture.enterConferenceWith({QStringLiteral("讲座"), QStringLiteral("/audio/a.wma")}));

    // Nothing stored, the library gone: the copy kept of it opens.
    fixture.server.serveBytes("/version.txt", "<html>503</html>", 503, "text/html");
    MainWindow* window = fixture.load();
    QVERIFY(window && window->isOffline());
    QVERIFY(window->viewBar().catalogueOption->isChecked());
    QCOMPARE(window->offlineNotice()->text(), LibraryAvailability::kKeptLibraryMessage);
    // Searched too: the lectures kept are learnt without the library.
    typeText(window->viewBar().searchBox, QStringLiteral("jiangzuo"));
    QTRY_COMPARE(fixture.visibleFirstCaptions(), QStringList{QStringLiteral("讲座 - 四十分钟")});
    window->viewBar().searchBox->clear();
    QVERIFY(fixture.enterConference());
    QCOMPARE(fixture.rowStates().first(), QStringLiteral("下 载|"));

    // Pressed for now, it waits for the library, and comes with it.
    fixture.server.serveBytes("/audio/a.wma", QByteArray(1000, 'a'));
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    QCOMPARE(fixture.rowStates().first(), QStringLiteral("取 消|等待网络"));
    QCOMPARE(fixture.server.requestCount("/audio/a.wma"), 0u);
    fixture.server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(!window->isOffline(), 3 * LibraryConnection::kLongestRetry.count() * 1000);
    fixture.waitWhileDownloading();
    QCOMPARE(QDir(fixture.favouritesFolder()).entryList(QDir::Files).size(), 1);
    QVERIFY(fixture.host.messages.empty());
}

void StartUpTest::startShowsTheCentredWindowAtItsDesignedSizeWithTheVersionInItsCaption()
{
    MainWindowFixture fixture;
    fixture.server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
    fixture.serveCatalogue({QStringLiteral("唯一的会议%20131015*")});

    const std::unique_ptr<StartProcedure> start = startAndWait(addressesFor(fixture.server), fixture.programFolder());
    MainWindow* window = start->window();
    QVERIFY(window);
    QVERIFY(fixture.host.messages.empty());
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Kardelo V2.01 20140202"));
    // The icon follows the first frame.
    QTRY_VERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->pageModel().list(PageView::Catalogue).size(), 1);
    QCOMPARE(window->pageList().rows[0].title->caption(), QStringLiteral("唯一的会议"));
    QVERIFY(window->pageList().rows[0].frame->isVisible());
    QVERIFY(!window->pageList().rows[1].frame->isVisible());
    // The percentages the layout shows at design time are cleared.
    for (int i = 0; i < PageList::kDesignedRows; ++i)
        QCOMPARE(window->pageList().rows[i].percentage->caption(), QString());
    QVERIFY(window->viewBar().catalogueOption->isChecked());
    QVERIFY(!window->viewBar().lecturesOption->isEnabled());
    QVERIFY(window->viewBar().searchBox->isEnabled());

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint offCentre = window->geometry().center() - screen.center();
    QVERIFY2(std::abs(offCentre.x()) <= 2 && std::abs(offCentre.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    QCOMPARE(window->centralWidget()->size(), QSize(760, 533));
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
    QCOMPARE(fixture.window().views().favouritesListing().size(), 1);
}

void StartUpTest::closingTheWindowEndsTheProgram()
{
    MainWindowFixture fixture;
    MainWindow* window = fixture.load();
    QVERIFY(window);
    QCOMPARE(fixture.host.endings, 0);
    window->close();
    QCOMPARE(fixture.host.endings, 1);
    QVERIFY(!window->isVisible());
}

void StartUpTest::favouritesLieWhereTheUserCanWrite_data()
{
    QTest::addColumn<bool>("programFolderWritable");
    QTest::addColumn<bool>("favouritesThereAlready");
    QTest::addColumn<bool>("besideTheProgram");
    QTest::newRow("a folder the user can write") << true << false << true;
    QTest::newRow("installed where the user cannot write") << false << false << false;
    QTest::newRow("unwritable, but the favourites there are the user's") << false << true << true;
}

void StartUpTest::favouritesLieWhereTheUserCanWrite()
{
    QFETCH(bool, programFolderWritable);
    QFETCH(bool, favouritesThereAlready);
    QFETCH(bool, besideTheProgram);
    QStandardPaths::setTestModeEnabled(true);
    const QString userFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/我的收藏");
    QDir(userFolder).removeRecursively();
    MainWindowFixture fixture;
    if (favouritesThereAlready)
        QVERIFY(QDir().mkpath(fixture.favouritesFolder()));
    std::optional<UnwritableFolder> unwritable;
    if (!programFolderWritable) {
        unwritable.emplace(fixture.programFolder());
        if (!unwritable->made())
            QSKIP("This file system cannot make a folder unwritable here.");
    }

    MainWindow* window = fixture.load();
    QVERIFY(window);
    const QString expected = besideTheProgram ? fixture.favouritesFolder() : userFolder;
    QCOMPARE(window->favouritesFolder(), expected);
    QVERIFY(QFileInfo(expected).isDir());

    // A lecture downloads there and is listed from there.
    fixture.server.serveBytes("/audio/a.wma", QByteArray("lecture"));
    fixture.server.serveBytes("/lists/20131001.zip",
                              toGb2312("心电图%张医生$讲座*" + fixture.server.url("/audio/a.wma") + "\r\n"));
    QVERIFY(fixture.enterConference());
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    fixture.waitWhileDownloading();
    QVERIFY(fixture.host.messages.empty());
    QCOMPARE(QDir(expected).entryList(QDir::Files), QStringList{QStringLiteral("心电图%张医生$讲座.zip")});
    QTest::mouseClick(window->viewBar().favouritesOption, Qt::LeftButton, {},
                      QPoint(6, window->viewBar().favouritesOption->height() / 2));
    QCOMPARE(window->pageModel().list(PageView::Favourites), QStringList{QStringLiteral("心电图%张医生$讲座.zip")});
    QDir(userFolder).removeRecursively();
}

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
