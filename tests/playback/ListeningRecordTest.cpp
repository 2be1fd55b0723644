// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/ListeningRecordFile.h"
#include "support/FileBytes.h"
#include "support/FilePermissions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList asideFiles(const QString& folder)
{
    return QDir(folder).entryList({listeningRecord::kFileName + QStringLiteral(".unreadable-*")},
                                  QDir::Files | QDir::Hidden);
}

}  // namespace

class ListeningRecordTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyAWholeRecordOfThisVersionIsRead_data();
    void onlyAWholeRecordOfThisVersionIsRead();
    void whatIsWrittenReadsBackTheSame();
    void anUnreadableRecordIsSetAsideNotOverwritten_data();
    void anUnreadableRecordIsSetAsideNotOverwritten();
    void aRecordThatCannotBeWrittenStaysAsItWas();
    void theNewestPlacesGivenAreTheOnesOnDisk();
};

void ListeningRecordTest::initTestCase()
{
    QVERIFY(obeyFilePermissions());
}

void ListeningRecordTest::onlyAWholeRecordOfThisVersionIsRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("places");  // -1: not a record
    QTest::newRow("empty record") << QByteArray("kardelo-listening 1\n") << 0;
    QTest::newRow("a place and a listened one")
        << QByteArray("kardelo-listening 1\n754000\ta%b$c.zip\ndone\t讲座%医生$说明.zip\n") << 2;
    QTest::newRow("cut short") << QByteArray("kardelo-listening 1\n754000\ta%b$c.zip") << -1;
    QTest::newRow("no header") << QByteArray("754000\ta%b$c.zip\n") << -1;
    QTest::newRow("newer version") << QByteArray("kardelo-listening 2\n754000\ta%b$c.zip\n") << -1;
    QTest::newRow("nothing at all") << QByteArray() << -1;
    QTest::newRow("a sign") << QByteArray("kardelo-listening 1\n-5\ta.zip\n") << -1;
    QTest::newRow("a position past any lecture") << QByteArray("kardelo-listening 1\n999999999999999\ta.zip\n") << -1;
    QTest::newRow("no name") << QByteArray("kardelo-listening 1\n5\t\n") << -1;
    QTest::newRow("no tab") << QByteArray("kardelo-listening 1\n5 a.zip\n") << -1;
    QTest::newRow("a name outside the folder") << QByteArray("kardelo-listening 1\n5\t../a.zip\n") << -1;
    QTest::newRow("a tab in the name") << QByteArray("kardelo-listening 1\n5\ta\tb.zip\n") << -1;
    QTest::newRow("not UTF-8") << QByteArray("kardelo-listening 1\n5\t\xd6\xd0.zip\n") << -1;
    QTest::newRow("a name twice") << QByteArray("kardelo-listening 1\n5\ta.zip\ndone\ta.zip\n") << -1;
    QTest::newRow("a NUL") << QByteArray("kardelo-listening 1\n5\ta\0.zip\n", 30) << -1;
}

void ListeningRecordTest::onlyAWholeRecordOfThisVersionIsRead()
{
    QFETCH(QByteArray, text);
    QFETCH(int, places);
    const std::optional<ListeningPlaces> read = listeningRecord::parse(text);
    QCOMPARE(read ? read->size() : -1, places);
    if (read)
        QCOMPARE(listeningRecord::format(*read), text);
}

void ListeningRecordTest::whatIsWrittenReadsBackTheSame()
{
    QTemporaryDir folder;
    const ListeningPlaces places{
        {QStringLiteral("讲座%医生$说明.zip"), {754000, false}},
        {QStringLiteral("b%c$d.zip"), {0, true}},
        {QStringLiteral("e%f$g.zip"), {0, false}},
    };
    QVERIFY(listeningRecord::write(folder.path(), places));
    QCOMPARE(listeningRecord::read(folder.path()), std::optional(places));
    // Only the record itself: its temporary file is gone.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{listeningRecord::kFileName});
}

void ListeningRecordTest::anUnreadableRecordIsSetAsideNotOverwritten_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("folderWritable");
    QTest::newRow("damaged") << QByteArray("kardelo-listening 1\n75\xff\ta.zip\n") << true;
    QTest::newRow("from a newer version") << QByteArray("kardelo-listening 7\nbookmarks\ta.zip\n") << true;
    QTest::newRow("damaged, in a folder it cannot leave") << QByteArray("kardelo-listening 1\n7") << false;
}

void ListeningRecordTest::anUnreadableRecordIsSetAsideNotOverwritten()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, folderWritable);
    QTemporaryDir folder;
    const QString path = folder.filePath(listeningRecord::kFileName);
    QVERIFY(writeWholeFile(path, text));
    if (!folderWritable) {
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        // Nothing may write over it then.
        QCOMPARE(listeningRecord::read(folder.path()), std::nullopt);
        QCOMPARE(readWholeFile(path), text);
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        return;
    }

    QCOMPARE(listeningRecord::read(folder.path()), std::optional(ListeningPlaces{}));
    const QStringList aside = asideFiles(folder.path());
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readWholeFile(folder.filePath(aside.first())), text);
    // The next record starts afresh beside it.
    QVERIFY(listeningRecord::write(folder.path(), {{QStringLiteral("a.zip"), {1000, false}}}));
    QCOMPARE(listeningRecord::read(folder.path())->size(), 1);
    QCOMPARE(asideFiles(folder.path()).size(), 1);
}

void ListeningRecordTest::aRecordThatCannotBeWrittenStaysAsItWas()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(listeningRecord::kFileName);
    const ListeningPlaces old{{QStringLiteral("a.zip"), {1000, false}}};
    QVERIFY(listeningRecord::write(folder.path(), old));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot write")));
    QVERIFY(!listeningRecord::write(folder.path(), {{QStringLiteral("a.zip"), {2000, false}}}));
    QCOMPARE(listeningRecord::read(folder.path()), std::optional(old));
    QVERIFY(asideFiles(folder.path()).isEmpty());
}

void ListeningRecordTest::theNewestPlacesGivenAreTheOnesOnDisk()
{
    QTemporaryDir folder;
    std::unique_ptr<platform::LatestFileWriter> writer = listeningRecord::writerFor(folder.path());
    ListeningPlaces places;
    // Given faster than the disk takes them: each while the one before is
    // being written or still waits.
    for (int k = 1; k <= 50; ++k) {
        places.insert(QStringLiteral("讲座%1%医生$说明.zip").arg(k % 3), ListeningPlace{k * 1000, false});
        writer->write(listeningRecord::format(places));
    }
    QTRY_COMPARE(listeningRecord::read(folder.path()), std::optional(places));
    // The program ending right after a place was given still writes it.
    places.insert(QStringLiteral("讲座0%医生$说明.zip"), ListeningPlace{123000, false});
    writer->write(listeningRecord::format(places));
    writer.reset();
    QCOMPARE(listeningRecord::read(folder.path()), std::optional(places));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{listeningRecord::kFileName});
}

QTEST_GUILESS_MAIN(ListeningRecordTest)
#include "ListeningRecordTest.moc"
