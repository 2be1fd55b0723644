// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/FolderListing.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/ScrollBar.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void scrollBarChangeComesFromCodeToo();
    void fileListSortsIgnoringCaseListsDotNamesAndKeepsItsFolder();
    void fileListGivesWhatQDirGives_data();
    void fileListGivesWhatQDirGives();
    void captionColourIsShownOrFollowsTheDesktop_data();
    void captionColourIsShownOrFollowsTheDesktop();
};

void ControlsTest::scrollBarChangeComesFromCodeToo()
{
    platform::ScrollBar bar;
    QSignalSpy changes(&bar, &platform::ScrollBar::changed);
    bar.setMinimum(0);
    bar.setMaximum(100);
    bar.setValue(40);
    QCOMPARE(changes.count(), 1);
    bar.setValue(40);
    QCOMPARE(changes.count(), 1);
    bar.setMaximum(10);  // below the value: the value follows and says so
    QCOMPARE(bar.position(), 10);
    QCOMPARE(changes.count(), 2);
    bar.setMaximum(200000);  // beyond the 16-bit range of old
    bar.setValue(150000);
    QCOMPARE(bar.position(), 150000);
}

void ControlsTest::fileListSortsIgnoringCaseListsDotNamesAndKeepsItsFolder()
{
    QTemporaryDir folder;
    for (const char* name :
         {"b.zip", "A.ZIP", "a2.Zip", ".secret.zip", "c.wma", ".kardelo-0123.partial", ".play-rename-pending"}) {
        QFile file(folder.path() + u'/' + QString::fromUtf8(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder.zip")));
    platform::FolderListing list;
    list.setPattern(QStringLiteral("*.zip"));
    QVERIFY(list.setPath(folder.path() + u'/'));
    QStringList listed;
    for (int i = -1; i <= list.size(); ++i)
        listed << list.value(i);
    // Out of range on either side is an empty name.
    QCOMPARE(listed, (QStringList{QString(), ".secret.zip", "A.ZIP", "a2.Zip", "b.zip", QString()}));

    QFile later(folder.path() + QStringLiteral("/0.zip"));
    QVERIFY(later.open(QIODevice::WriteOnly));
    QCOMPARE(list.size(), 4);  // read again only when told
    list.refresh();
    QCOMPARE(list.value(1), QStringLiteral("0.zip"));

    QVERIFY(!list.setPath(folder.path() + QStringLiteral("/missing")));
    QCOMPARE(list.path(), QDir::cleanPath(folder.path()));
    QCOMPARE(list.size(), 5);
}

// The listing reads the folder its own way, for speed; its result must be
// exactly QDir's, order of names equal but for case included.
void ControlsTest::fileListGivesWhatQDirGives_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");  // "name" or "link->target"
    QTest::newRow("mixed case") << QStringList{"b.zip", "A.ZIP", "a2.Zip", "C.zip", "c1.zip", "B1.zip"}
                                << QStringList{};
    QTest::newRow("Chinese") << QStringList{"冠心病%张医生$讲座.zip", "心衰.zip", "高血压.ZIP", "ab.zip", "Ａ全角.zip"}
                             << QStringList{};
    QStringList caseOnly;
    for (int bits = 0; bits < 64; ++bits) {
        QString name = QStringLiteral("abcdef");
        for (int i = 0; i < 6; ++i)
            name[i] = bits & (1 << i) ? name[i].toUpper() : name[i];
        caseOnly << name + (bits % 3 ? ".zip" : ".ZIP");
    }
    QTest::newRow("names that differ only in case") << caseOnly << QStringList{};
    QTest::newRow("other extensions") << QStringList{"a.wma",     "b.zip.part", "c.zipx", "d.zip",
                                                     "e.ZIP.bak", "fzip",       "g.zip "}
                                      << QStringList{};
    QTest::newRow("leading dots and bookkeeping") << QStringList{".a.zip",
                                                                 ".B.zip",
                                                                 "..c.zip",
                                                                 "a.zip",
                                                                 ".kardelo-0123456789abcdef.partial",
                                                                 ".kardelo-0123456789abcdef.resume",
                                                                 ".play-rename-pending"}
                                                  << QStringList{};
    QTest::newRow("folders and links") << QStringList{"real.zip", "data.bin"}
                                       << QStringList{"folder.zip", "file.zip->data.bin", "broken.zip->gone.bin",
                                                      "folder-link.zip->folder.zip"};
}

void ControlsTest::fileListGivesWhatQDirGives()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QTemporaryDir folder;
    for (const QString& name : files) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    for (const QString& entry : folders) {
        const QStringList link = entry.split(QStringLiteral("->"));
        if (link.size() == 2)
            QVERIFY(QFile::link(link[1], folder.filePath(link[0])));
        else
            QVERIFY(QDir(folder.path()).mkdir(entry));
    }
    platform::FolderListing listing;
    listing.setPattern(QStringLiteral("*.zip"));
    QVERIFY(listing.setPath(folder.path()));
    const QStringList expected =
        QDir(folder.path())
            .entryList({QStringLiteral("*.zip")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(listing.names(), expected);

    // A folder that has gone lists nothing.
    QVERIFY(QDir(folder.path()).removeRecursively());
    listing.refresh();
    QCOMPARE(listing.names(), QStringList());
}

void ControlsTest::captionColourIsShownOrFollowsTheDesktop_data()
{
    QTest::addColumn<QColor>("given");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("red") << QColor(255, 0, 0) << QColor(255, 0, 0);
    QTest::newRow("teal") << QColor(0, 192, 192) << QColor(0, 192, 192);
    QTest::newRow("none: the desktop's button text")
        << QColor() << QGuiApplication::palette().color(QPalette::ButtonText);
}

// What the label paints its text with, whatever colour it keeps.
void ControlsTest::captionColourIsShownOrFollowsTheDesktop()
{
    QFETCH(QColor, given);
    QFETCH(QColor, shown);
    platform::CaptionLabel label;
    label.setTextColour(given);
    QCOMPARE(label.palette().color(QPalette::WindowText), shown);
    platform::OptionButton option(QStringLiteral("我的收藏"));
    option.setTextColour(given);
    QCOMPARE(option.palette().color(QPalette::ButtonText), shown);
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
