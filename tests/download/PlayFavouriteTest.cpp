// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/PlayRename.h"
#include "support/FileBytes.h"
#include "support/MainWindowFixture.h"
#include "support/ToneWav.h"

#include <QDir>
#include <QtTest>

class PlayFavouriteTest : public QObject {
    Q_OBJECT

private slots:
    void playNameChangesTheFileNameOnly_data();
    void playNameChangesTheFileNameOnly();
    void playHandsThePlayNameToThePlayerAndRestoresTheName();
    void pendingRenameIsFinishedAtStart_data();
    void pendingRenameIsFinishedAtStart();
    void everyRenameOwedIsRecorded();
};

void PlayFavouriteTest::playNameChangesTheFileNameOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("playName");
    QTest::newRow("plain") << "a%b$c.zip"
                           << "a%b$c.wma";
    QTest::newRow("zip inside the title") << "zip讲座%b$c.zip"
                                          << "wma讲座%b$c.wma";
    QTest::newRow("upper case stays") << "a%b$c.ZIP"
                                      << "a%b$c.ZIP";
}

void PlayFavouriteTest::playNameChangesTheFileNameOnly()
{
    QFETCH(QString, name);
    QFETCH(QString, playName);
    QCOMPARE(playNameFor(name), playName);
}

void PlayFavouriteTest::playHandsThePlayNameToThePlayerAndRestoresTheName()
{
    // The program's own folder holds "zip" too: only the file's name may
    // change, or the player would look in a folder that does not exist.
    MainWindowFixture fixture(QStringLiteral("zip-lectures-XXXXXX"));
    QVERIFY(fixture.programFolder().contains(QStringLiteral("zip")));
    const QString stored = QStringLiteral("zip心电图%张医生$四十分钟.zip");
    QDir().mkpath(fixture.favouritesFolder());
    QVERIFY(writeTone(fixture.favouritesFolder() + u'/' + stored, 4000));
    MainWindow* window = fixture.load();
    QVERIFY(window);
    Playback& playback = window->playback();
    playback.setMuted(true);
    QTest::mouseClick(window->viewBar().favouritesOption, Qt::LeftButton, {},
                      QPoint(6, window->viewBar().favouritesOption->height() / 2));
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);

    QTRY_COMPARE(playback.source(), fixture.favouritesFolder() + QStringLiteral("/wma心电图%张医生$四十分钟.wma"));
    QTRY_COMPARE(QDir(fixture.favouritesFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{stored});
    QCOMPARE(window->pageModel().list(PageView::Favourites), QStringList{stored});
    QVERIFY(fixture.host.messages.empty());
    // Back under its own name, the lecture still plays.
    QTRY_VERIFY_WITH_TIMEOUT(playback.position() > 300, 15000);
    QCOMPARE(playback.playbackState(), Playback::State::Playing);
    QVERIFY(playback.status() != Playback::Status::CannotPlay);
}

void PlayFavouriteTest::pendingRenameIsFinishedAtStart_data()
{
    // Every file holds its own name, so a rename shows in the contents.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("record");  // none when empty
    QTest::addColumn<QString>("played");  // a lecture played (and named back) before the start
    QTest::addColumn<QStringList>("expected");  // the lectures as "name=contents", in name order
    QTest::addColumn<bool>("recordKept");
    QTest::newRow("left under its play name") << QStringList{"a%b$c.wma"} << QByteArray("a%b$c.zip\na%b$c.wma\n") << ""
                                              << QStringList{"a%b$c.zip=a%b$c.wma"} << false;
    QTest::newRow("two left under their play names")
        << QStringList{"a%b$c.wma", "d%e$f.wma"} << QByteArray("a%b$c.zip\na%b$c.wma\nd%e$f.zip\nd%e$f.wma\n") << ""
        << QStringList{"a%b$c.zip=a%b$c.wma", "d%e$f.zip=d%e$f.wma"} << false;
    QTest::newRow("never over a stored lecture")
        << QStringList{"a%b$c.wma", "a%b$c.zip"} << QByteArray("a%b$c.zip\na%b$c.wma\n") << ""
        << QStringList{"a%b$c.wma=a%b$c.wma", "a%b$c.zip=a%b$c.zip"} << true;
    QTest::newRow("never outside the folder") << QStringList{"a%b$c.wma"} << QByteArray("../a%b$c.zip\na%b$c.wma\n")
                                              << "" << QStringList{"a%b$c.wma=a%b$c.wma"} << true;
    // Cut at the NUL, the first name is a.zip: a copy onto it would destroy lecture A.
    QTest::newRow("a NUL in the record") << QStringList{"a.zip", "c.zip"} << QByteArray("a.zip\0x\nc.zip\n", 14) << ""
                                         << QStringList{"a.zip=a.zip", "c.zip=c.zip"} << true;
    // One name a line: the record would read back as (a, b.zip), and b.zip be renamed to a.
    QTest::newRow("a line feed in a played name") << QStringList{"a\nb.zip", "b.zip"} << QByteArray() << "a\nb.zip"
                                                  << QStringList{"a\nb.zip=a\nb.zip", "b.zip=b.zip"} << false;
}

void PlayFavouriteTest::pendingRenameIsFinishedAtStart()
{
    QFETCH(QStringList, files);
    QFETCH(QByteArray, record);
    QFETCH(QString, played);
    QFETCH(QStringList, expected);
    QFETCH(bool, recordKept);
    MainWindowFixture fixture;
    const QDir folder(fixture.favouritesFolder());
    const QString recordPath = folder.filePath(QStringLiteral(".play-rename-pending"));
    QVERIFY(folder.mkpath(QStringLiteral(".")));
    for (const QString& name : files)
        QVERIFY(writeWholeFile(folder.filePath(name), name.toUtf8()));
    if (!record.isEmpty())
        QVERIFY(writeWholeFile(recordPath, record));
    if (!played.isEmpty()) {
        PlayRename rename(folder.path());
        if (rename.toPlayName(played))
            rename.back();
    }

    MainWindow* window = fixture.load();
    QVERIFY(window);
    QStringList found;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        found << name + u'=' + QString::fromUtf8(readWholeFile(folder.filePath(name)));
    QCOMPARE(found, expected);
    QCOMPARE(QFile::exists(recordPath), recordKept);
    // Recovered before the favourites were first listed.
    QCOMPARE(window->views().favouritesListing().size(),
             folder.entryList({QStringLiteral("*.zip")}, QDir::Files).size());
}

void PlayFavouriteTest::everyRenameOwedIsRecorded()
{
    QTemporaryDir folder;
    for (const QString& name : {QStringLiteral("a%b$c.zip"), QStringLiteral("d%e$f.zip")})
        QVERIFY(writeWholeFile(folder.filePath(name), name.toUtf8()));
    const QString record = folder.filePath(QStringLiteral(".play-rename-pending"));

    // The first one's rename back never happens, as when it failed.
    PlayRename first(folder.path());
    QVERIFY(first.toPlayName(QStringLiteral("a%b$c.zip")));
    PlayRename second(folder.path());
    QVERIFY(second.toPlayName(QStringLiteral("d%e$f.zip")));
    QCOMPARE(readWholeFile(record), QByteArray("a%b$c.zip\na%b$c.wma\nd%e$f.zip\nd%e$f.wma\n"));
    QVERIFY(second.back());
    QCOMPARE(readWholeFile(record), QByteArray("a%b$c.zip\na%b$c.wma\n"));

    PlayRename::recoverPending(folder.path());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"a%b$c.zip", "d%e$f.zip"}));
}

QTEST_MAIN(PlayFavouriteTest)
#include "PlayFavouriteTest.moc"
