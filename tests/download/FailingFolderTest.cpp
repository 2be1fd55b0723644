// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FileBytes.h"
#include "support/FilePermissions.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QScopeGuard>
#include <QtTest>

#include <unistd.h>

namespace {

const QString kStored = QStringLiteral("冠心病%张医生$四十分钟.zip");
const QString kDownload = QStringLiteral("下 载");
const QString kDelete = QStringLiteral("删 除");
const QString kPlay = QStringLiteral("播 放");

}  // namespace

// The favourites folder made read-only, or deleted, while the program runs:
// each command fails as it fails anywhere else, and the program goes on.
class FailingFolderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void commandsFailAsUsual_data();
    void commandsFailAsUsual();

private:
    bool permissionsObeyed_ = false;
};

void FailingFolderTest::initTestCase()
{
    permissionsObeyed_ = ::geteuid() != 0 || obeyFilePermissions();
}

void FailingFolderTest::commandsFailAsUsual_data()
{
    QTest::addColumn<bool>("deleted");  // or made read-only
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("messages");
    for (const bool deleted : {false, true}) {
        const char* folder = deleted ? "deleted" : "read-only";
        QTest::addRow("%s, download", folder) << deleted << kDownload << QStringList{"下载失败!"};
        QTest::addRow("%s, delete", folder) << deleted << kDelete << QStringList();
        QTest::addRow("%s, play", folder) << deleted << kPlay << QStringList();
    }
}

void FailingFolderTest::commandsFailAsUsual()
{
    QFETCH(bool, deleted);
    QFETCH(QString, command);
    QFETCH(QStringList, messages);
    if (!deleted && !permissionsObeyed_)
        QSKIP("root without the capabilities dropped writes into a read-only folder");
    MainWindowFixture fixture;
    const QString folder = fixture.favouritesFolder();
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeWholeFile(folder + u'/' + kStored, "lecture"));
    fixture.server.serveBytes("/audio/a.wma", QByteArray(64 * 1024, 'a'));
    fixture.server.serveBytes("/lists/20131001.zip",
                              toGb2312(QStringLiteral("心衰%张医生$四十分钟*")
                                       + fixture.server.url(QStringLiteral("/audio/a.wma")) + QStringLiteral("\r\n")));
    MainWindow* window = fixture.load();
    QVERIFY(window);
    window->playback().setMuted(true);
    const PageRow& row = window->pageList().rows[0];
    if (command == kDownload) {
        QVERIFY(fixture.enterConference());
    } else {
        QRadioButton* option = window->viewBar().favouritesOption;
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    }
    QCOMPARE(row.actionButton->text(), command == kDownload ? kDownload : kPlay);
    const auto writable =
        qScopeGuard([&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    if (deleted)
        QVERIFY(QDir(folder).removeRecursively());
    else
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));

    QTest::mouseClick(command == kDelete ? row.deleteButton : row.actionButton, Qt::LeftButton);

    // A download fails on the next turns of the event loop.
    QTRY_COMPARE(fixture.host.prompts(), messages);
    QCOMPARE(fixture.host.endings, 0);
    if (deleted) {
        QVERIFY(!QFileInfo::exists(folder));
    } else {
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{kStored});
        QCOMPARE(readWholeFile(folder + u'/' + kStored), QByteArray("lecture"));
    }
    // The window still answers: the favourites list what is there.
    for (QRadioButton* option : {window->viewBar().catalogueOption, window->viewBar().favouritesOption})
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    QCOMPARE(window->pageModel().list(PageView::Favourites), deleted ? QStringList() : QStringList{kStored});
}

QTEST_MAIN(FailingFolderTest)
#include "FailingFolderTest.moc"
