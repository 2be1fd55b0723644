#include "download/PlayRename.h"
#include "support/MainWindowFixture.h"
#include "support/ToneWav.h"

#include <QMediaPlayer>

#include <QDir>
#include <QtTest>

class PlayFavouriteTest : public QObject {
    Q_OBJECT

private slots:
    void playNameChangesTheFileNameOnly_data();
    void playNameChangesTheFileNameOnly();
    void playHandsThePlayNameToThePlayerAndRestoresTheName();
    void lectureLeftUnderItsPlayNameIsRestoredAtStart();
    void pendingRecordDoesNotOverwriteAStoredLecture();
};

void PlayFavouriteTest::playNameChangesTheFileNameOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("playName");
    QTest::newRow("plain") << "a%b$c.zip" << "a%b$c.wma";
    QTest::newRow("zip inside the title") << "zip讲座%b$c.zip" << "wma讲座%b$c.wma";
    QTest::newRow("upper case stays") << "a%b$c.ZIP" << "a%b$c.ZIP";
}

void PlayFavouriteTest::playNameChangesTheFileNameOnly()
{
    QFETCH(QString, name);
    QFETCH(QString, playName);
    QCOMPARE(PlayNameFor(name), playName);
}

void PlayFavouriteTest::playHandsThePlayNameToThePlayerAndRestoresTheName()
{
    MainWindowFixture fixture(QStringLiteral("zip-lectures-XXXXXX"));
    QVERIFY(fixture.programFolder().contains(QStringLiteral("zip")));
    // The program's own folder holds "zip" too: only the file's name may
    // change, or the player would look in a folder that does not exist.
    const QString stored = QStringLiteral("zip心电图%张医生$四十分钟.zip");
    QDir().mkpath(fixture.favouritesFolder());
    QVERIFY(WriteTone(fixture.favouritesFolder() + u'/' + stored, 4000));
    Form1* form = fixture.load();
    QVERIFY(form);
    form->M1->setMuted(true);
    QTest::mouseClick(form->Option2, Qt::LeftButton, {}, QPoint(6, form->Option2->height() / 2));
    QTest::mouseClick(form->Label10[0], Qt::LeftButton);

    QCOMPARE(form->M1->URL(), fixture.favouritesFolder() + QStringLiteral("/wma心电图%张医生$四十分钟.wma"));
    QCOMPARE(QDir(fixture.favouritesFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{stored});
    QCOMPARE(form->List3.Items(), QStringList{stored});
    QVERIFY(fixture.host.messages.empty());

    // The lecture is back under its own name and still playing.
    QMediaPlayer* player = form->M1->player();
    QTRY_VERIFY_WITH_TIMEOUT(player->position() > 300, 15000);
    QCOMPARE(player->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(player->error(), QMediaPlayer::NoError);
    QTest::mouseClick(form->Option2, Qt::LeftButton, {}, QPoint(6, form->Option2->height() / 2));
    QCOMPARE(form->List3.Items(), QStringList{stored});
    QCOMPARE(player->playbackState(), QMediaPlayer::PlayingState);
}

void PlayFavouriteTest::lectureLeftUnderItsPlayNameIsRestoredAtStart()
{
    MainWindowFixture fixture;
    const QString stored = QStringLiteral("冠心病%张医生$四十分钟.zip");
    fixture.addFavourites({QStringLiteral("冠心病%张医生$四十分钟.wma")});
    QFile record(fixture.favouritesFolder() + QStringLiteral("/.play-rename-pending"));
    QVERIFY(record.open(QIODevice::WriteOnly));
    record.write((stored + u'\n' + PlayNameFor(stored) + u'\n').toUtf8());
    record.close();

    Form1* form = fixture.load();
    QVERIFY(form);
    QCOMPARE(QDir(fixture.favouritesFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{stored});
    QCOMPARE(form->File1.ListCount(), 1);
}

void PlayFavouriteTest::pendingRecordDoesNotOverwriteAStoredLecture()
{
    QTemporaryDir folder;
    for (const char* name : {"a%b$c.zip", "a%b$c.wma"}) {
        QFile file(folder.path() + u'/' + QString::fromUtf8(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    QFile record(folder.path() + QStringLiteral("/.play-rename-pending"));
    QVERIFY(record.open(QIODevice::WriteOnly));
    record.write("a%b$c.zip\na%b$c.wma\n");
    record.close();
    PlayRename::RecoverPending(folder.path());
    QFile kept(folder.path() + QStringLiteral("/a%b$c.zip"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("a%b$c.zip"));
    QVERIFY(!QFile::exists(record.fileName()));
}

QTEST_MAIN(PlayFavouriteTest)
#include "PlayFavouriteTest.moc"
