// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PercentageLabel.h"

#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"

#include <QAccessible>
#include <QtTest>

namespace {

// Every value change sent towards the screen reader: the event's value and
// the one the label's interface gave when the event went out, which is
// what a screen reader reads.
QList<QPair<int, int>> valueEvents;

void recordEvent(QAccessibleEvent& event)
{
    if (event.type() != QAccessible::ValueChanged)
        return;
    const QAccessibleValueInterface* value = event.accessibleInterface()->valueInterface();
    valueEvents.append(
        {static_cast<QAccessibleValueChangeEvent&>(event).value().toInt(), value ? value->currentValue().toInt() : -1});
}

}  // namespace

// The percentage as a screen reader meets it: on its own with a clock the
// test moves, and in the real window while a lecture downloads.
class PercentageLabelTest : public QObject {
    Q_OBJECT

private slots:
    void init() { valueEvents.clear(); }
    void aPercentageIsAProgressBar_data();
    void aPercentageIsAProgressBar();
    void valuesGoOutOnceASecondAndTheLastOneAlways_data();
    void valuesGoOutOnceASecondAndTheLastOneAlways();
    void aDownloadShowsAProgressBar();
};

void PercentageLabelTest::aPercentageIsAProgressBar_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("value");  // -1: no value, plain text
    QTest::newRow("0%") << "0%" << 0;
    QTest::newRow("42%") << "42%" << 42;
    QTest::newRow("100%") << "100%" << 100;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("listened to") << "已听完" << -1;
    QTest::newRow("a place") << "听到 12:34" << -1;
    QTest::newRow("a blank before the sign") << "42 %" << -1;
    QTest::newRow("a sign alone") << "%" << -1;
    QTest::newRow("a minus") << "-5%" << -1;
}

void PercentageLabelTest::aPercentageIsAProgressBar()
{
    QFETCH(QString, caption);
    QFETCH(int, value);
    QWidget row;
    auto* title = new QLabel(QStringLiteral("冠心病"), &row);
    auto* label = new PercentageLabel(&row);
    label->setDescribedBy(title);
    label->setCaption(caption);

    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
    QVERIFY(read);
    QCOMPARE(read->role(), value < 0 ? QAccessible::StaticText : QAccessible::ProgressBar);
    QCOMPARE(read->text(QAccessible::Name), value < 0 ? caption : QStringLiteral("下载进度"));
    QCOMPARE(read->text(QAccessible::Description), QStringLiteral("冠心病"));
    QAccessibleValueInterface* shown = read->valueInterface();
    QCOMPARE(shown != nullptr, value >= 0);
    if (shown) {
        QCOMPARE(shown->currentValue().toInt(), value);
        QCOMPARE(shown->minimumValue().toInt(), 0);
        QCOMPARE(shown->maximumValue().toInt(), 100);
    }
}

void PercentageLabelTest::valuesGoOutOnceASecondAndTheLastOneAlways_data()
{
    QTest::addColumn<QString>("then");  // what follows the percentages; "-" for nothing
    QTest::newRow("nothing: the second is up") << "-";
    QTest::newRow("the download ends") << "";
    QTest::newRow("a text") << "已听完";
}

void PercentageLabelTest::valuesGoOutOnceASecondAndTheLastOneAlways()
{
    QFETCH(QString, then);
    qint64 now = 5000;
    PercentageLabel label(
        nullptr, [&now] { return now; }, &recordEvent);

    for (int percent = 1; percent <= 30; ++percent)
        label.setCaption(QString::number(percent) + u'%');
    QCOMPARE(valueEvents, (QList<QPair<int, int>>{{1, 1}}));
    if (then != u"-")
        label.setCaption(then);
    QTRY_COMPARE(valueEvents, (QList<QPair<int, int>>{{1, 1}, {30, 30}}));

    // A second after the last one, the next goes out at once.
    now += PercentageLabel::kAnnounceInterval;
    label.setCaption(QStringLiteral("31%"));
    QCOMPARE(valueEvents.size(), 3);
    QCOMPARE(valueEvents.constLast(), (QPair<int, int>{31, 31}));
}

void PercentageLabelTest::aDownloadShowsAProgressBar()
{
    MainWindowFixture fixture;
    fixture.serveCatalogue({QStringLiteral("第一届心血管会议%20131015*")});
    MainWindow* window = fixture.load();
    QVERIFY(window);
    fixture.server.serveSlowly("/a.wma", QByteArray(300 * 1024, 'a'), 10 * 1024, std::chrono::milliseconds(30));
    fixture.server.serveBytes(
        "/lists/20131015.zip",
        toGb2312(QStringLiteral("冠心病%张医生$四十分钟*") + fixture.server.url("/a.wma") + "\r\n"));
    const PageRow& row = window->pageList().rows[0];
    QVERIFY(fixture.enterConference());
    QAccessibleInterface* percentage = QAccessible::queryAccessibleInterface(row.percentage);
    QCOMPARE(percentage->role(), QAccessible::StaticText);

    int reports = 0;
    int notProgress = 0;  // reports where the reader did not find the caption's value
    MainWindowFixture::onDownloadProgress(*window, this, [&] {
        const QAccessibleValueInterface* value = percentage->valueInterface();
        ++reports;
        notProgress += percentage->role() != QAccessible::ProgressBar || !value
            || QString::number(value->currentValue().toInt()) + u'%' != row.percentage->caption();
    });
    QTest::mouseClick(row.actionButton, Qt::LeftButton);
    fixture.waitWhileDownloading();

    QVERIFY(reports >= 2);
    QCOMPARE(notProgress, 0);
    QCOMPARE(percentage->text(QAccessible::Description), QStringLiteral("冠心病 - 四十分钟"));
}

QTEST_MAIN(PercentageLabelTest)
#include "PercentageLabelTest.moc"
