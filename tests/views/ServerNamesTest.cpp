// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/FavouriteFileName.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QtTest>

namespace {

enum class Source {
    LectureList,  // a lecture's title in the list's GB2312 bytes
    FavouritesFolder,  // a stored file's name, put there by anything but the program
    SavedName,  // what the download of a title would be stored as
};

}  // namespace

Q_DECLARE_METATYPE(Source)

// Names as a row shows them and a download stores them. GB2312 carries no
// direction control (U+202E and its kin); a stored file's name may, and a
// row writes each out as "<U+202E>", as it does a control character, so no
// name reads as another. A control character names no file; bytes that are
// no GB2312 show and are stored as U+FFFD.
class ServerNamesTest : public QObject {
    Q_OBJECT

private slots:
    void namesAreShownAndStoredAsTheyAre_data();
    void namesAreShownAndStoredAsTheyAre();
};

void ServerNamesTest::namesAreShownAndStoredAsTheyAre_data()
{
    QTest::addColumn<Source>("source");
    QTest::addColumn<QByteArray>("name");  // GB2312 from the list, UTF-8 otherwise
    QTest::addColumn<QString>("shown");  // the row's title caption; the file name for a SavedName
    QTest::addColumn<QString>("stored");  // what the download stored, or the message it showed

    const auto list = [](const char* row, const QByteArray& title, const QString& shown, const QString& stored) {
        QTest::newRow(row) << Source::LectureList << title << shown << stored;
    };
    const auto favourite = [](const char* row, const QString& file, const QString& shown) {
        QTest::newRow(row) << Source::FavouritesFolder << file.toUtf8() << shown << file;
    };
    const auto saved = [](const char* row, const QString& name, const QString& file) {
        QTest::newRow(row) << Source::SavedName << name.toUtf8() << file << QString();
    };
    const QString stored = QStringLiteral("%张医生$四十分钟.zip");
    list("plain", toGb2312(QStringLiteral("冠心病")), QStringLiteral("冠心病 - 四十分钟"), "冠心病" + stored);
    list("control characters", toGb2312(QStringLiteral("讲\x01座\x1b[2J")),
         QStringLiteral("讲<U+0001>座<U+001B>[2J - 四十分钟"), QStringLiteral("下载失败!"));
    list("no GB2312 character", QByteArray("\xbd\xb2\x81\x36\xd7\xf9"), QStringLiteral("讲\uFFFD6座 - 四十分钟"),
         QStringLiteral("讲\uFFFD6座") + stored);
    list("a lead byte before the marker", QByteArray("\xbd\xb2\x81"), QStringLiteral("讲\uFFFD - 四十分钟"),
         QStringLiteral("讲\uFFFD") + stored);
    // U+202E as GB18030 writes it: GB2312 reads no such character.
    list("a right-to-left override in four bytes", QByteArray("ab\x81\x36\xa7\x31"),
         QStringLiteral("ab\uFFFD6\uFFFD1 - 四十分钟"), QStringLiteral("ab\uFFFD6\uFFFD1") + stored);

    favourite("right-to-left override", QStringLiteral("讲座\u202E4pm%张医生$四十分钟.zip"),
              QStringLiteral("讲座<U+202E>4pm - 四十分钟"));
    favourite("embeddings, isolates and marks",
              QStringLiteral("\u202Aa\u202Bb\u202C\u202Dc\u2066\u2067\u2068\u2069\u200E\u200F\u061C%医生$说明.zip"),
              QStringLiteral("<U+202A>a<U+202B>b<U+202C><U+202D>c<U+2066><U+2067><U+2068><U+2069><U+200E><U+200F>"
                             "<U+061C> - 说明"));

    saved("right-to-left override", QStringLiteral("讲座\u202Egpj.exe"), QStringLiteral("讲座<U+202E>gpj.exe.zip"));
    saved("isolate and mark", QStringLiteral("\u2067a\u200F"), QStringLiteral("<U+2067>a<U+200F>.zip"));
}

void ServerNamesTest::namesAreShownAndStoredAsTheyAre()
{
    QFETCH(Source, source);
    QFETCH(QByteArray, name);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    if (source == Source::SavedName) {
        QCOMPARE(favouriteFileName(QString::fromUtf8(name)), std::optional<QString>(shown));
        return;
    }
    MainWindowFixture fixture;
    fixture.serveCatalogue({QStringLiteral("第一届心血管会议%20131015*")});
    if (source == Source::FavouritesFolder)
        fixture.addFavourites({QString::fromUtf8(name)});
    MainWindow* window = fixture.load();
    QVERIFY(window);
    if (source == Source::FavouritesFolder) {
        QTest::mouseClick(window->viewBar().favouritesOption, Qt::LeftButton, {},
                          QPoint(6, window->viewBar().favouritesOption->height() / 2));
        QCOMPARE(fixture.visibleFirstCaptions(), QStringList{shown});
        QCOMPARE(window->pageModel().list(PageView::Favourites), QStringList{stored});
        return;
    }
    fixture.server.serveBytes("/audio/a.wma", QByteArray("lecture"));
    fixture.server.serveBytes("/lists/20131015.zip",
                              name
                                  + toGb2312(QStringLiteral("%张医生$四十分钟*") + fixture.server.url("/audio/a.wma")
                                             + QStringLiteral("\r\n")));
    QVERIFY(fixture.enterConference());
    QCOMPARE(fixture.visibleFirstCaptions(), QStringList{shown});

    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    fixture.waitWhileDownloading();
    QStringList outcome = QDir(fixture.favouritesFolder()).entryList(QDir::Files | QDir::Hidden);
    for (const RecordingHost::Message& m : fixture.host.messages)
        outcome << m.prompt;
    QCOMPARE(outcome, QStringList{stored});
}

QTEST_MAIN(ServerNamesTest)
#include "ServerNamesTest.moc"
