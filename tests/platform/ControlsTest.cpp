#include "platform/ColourCode.h"
#include "platform/FolderListing.h"
#include "platform/OptionButton.h"
#include "platform/ScrollBar.h"

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
    void fileListSortsIgnoringCaseListsDotNamesAndKeepsItsFolder();
    void coloursFollowTheEncoding_data();
    void coloursFollowTheEncoding();
};

void ControlsTest::selectingAnOptionFromCodeRaisesItsClick()
{
    QWidget group;
    platform::OptionButton first(QStringLiteral("返回目录"), &group);
    platform::OptionButton second(QStringLiteral("我的收藏"), &group);
    first.setChecked(true);
    QSignalSpy firstClicks(&first, &platform::OptionButton::chosen);
    QSignalSpy secondClicks(&second, &platform::OptionButton::chosen);

    second.setSelected(true);
    QCOMPARE(secondClicks.count(), 1);
    QVERIFY(!first.isChecked());
    second.setSelected(true);  // already selected: nothing to raise
    QCOMPARE(secondClicks.count(), 1);
    QCOMPARE(firstClicks.count(), 0);
}

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
    for (const char* name : {"b.zip", "A.ZIP", "a2.Zip", ".secret.zip", "c.wma", ".kardelo-0123.partial", ".play-rename-pending"}) {
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
    QCOMPARE(platform::colourFromCode(value), colour);
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
