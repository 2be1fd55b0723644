#include "platform/FileListControl.h"
#include "platform/OptionButtonControl.h"
#include "platform/ScrollBarControl.h"
#include "platform/VbColor.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void selectingAnOptionFromCodeRaisesItsClick();
    void scrollBarChangeComesFromCodeToo();
    void fileListSortsIgnoringCaseLeavesOutHiddenFilesAndKeepsItsFolder();
    void coloursFollowTheEncoding_data();
    void coloursFollowTheEncoding();
};

void ControlsTest::selectingAnOptionFromCodeRaisesItsClick()
{
    QWidget group;
    platform::OptionButtonControl first(QStringLiteral("返回目录"), &group);
    platform::OptionButtonControl second(QStringLiteral("我的收藏"), &group);
    first.setChecked(true);
    QSignalSpy firstClicks(&first, &platform::OptionButtonControl::Click);
    QSignalSpy secondClicks(&second, &platform::OptionButtonControl::Click);

    second.setValue(true);
    QCOMPARE(secondClicks.count(), 1);
    QVERIFY(!first.Value());
    second.setValue(true);  // already selected: nothing to raise
    QCOMPARE(secondClicks.count(), 1);
    QCOMPARE(firstClicks.count(), 0);
}

void ControlsTest::scrollBarChangeComesFromCodeToo()
{
    platform::ScrollBarControl bar;
    QSignalSpy changes(&bar, &platform::ScrollBarControl::Change);
    bar.setMin(0);
    bar.setMax(100);
    bar.setValue(40);
    QCOMPARE(changes.count(), 1);
    bar.setValue(40);
    QCOMPARE(changes.count(), 1);
    bar.setMax(10);  // below the value: the value follows and says so
    QCOMPARE(bar.Value(), 10);
    QCOMPARE(changes.count(), 2);
    bar.setMax(200000);  // beyond the 16-bit range of old
    bar.setValue(150000);
    QCOMPARE(bar.Value(), 150000);
}

void ControlsTest::fileListSortsIgnoringCaseLeavesOutHiddenFilesAndKeepsItsFolder()
{
    QTemporaryDir folder;
    for (const char* name : {"b.zip", "A.ZIP", "a2.Zip", ".secret.zip", "c.wma", "d.zip.part"}) {
        QFile file(folder.path() + u'/' + QString::fromUtf8(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder.zip")));
    platform::FileListControl list;
    list.setPattern(QStringLiteral("*.zip"));
    QVERIFY(list.setPath(folder.path() + u'/'));
    QStringList listed;
    for (int i = -1; i <= list.ListCount(); ++i)
        listed << list.List(i);
    // Out of range on either side is an empty name.
    QCOMPARE(listed, (QStringList{QString(), "A.ZIP", "a2.Zip", "b.zip", QString()}));

    QFile later(folder.path() + QStringLiteral("/0.zip"));
    QVERIFY(later.open(QIODevice::WriteOnly));
    QCOMPARE(list.ListCount(), 3);  // read again only when told
    list.Refresh();
    QCOMPARE(list.List(0), QStringLiteral("0.zip"));

    QVERIFY(!list.setPath(folder.path() + QStringLiteral("/missing")));
    QCOMPARE(list.Path(), QDir::cleanPath(folder.path()));
    QCOMPARE(list.ListCount(), 4);
}

void ControlsTest::coloursFollowTheEncoding_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << quint32(0x000000FF) << QColor(255, 0, 0);
    QTest::newRow("blue") << quint32(0x00FF0000) << QColor(0, 0, 255);
    QTest::newRow("side panel teal") << quint32(0x00C0C000) << QColor(0, 192, 192);
    QTest::newRow("button text") << quint32(0x80000012) << QGuiApplication::palette().color(QPalette::ButtonText);
}

void ControlsTest::coloursFollowTheEncoding()
{
    QFETCH(quint32, value);
    QFETCH(QColor, colour);
    QCOMPARE(platform::ColorFromVb(value), colour);
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
