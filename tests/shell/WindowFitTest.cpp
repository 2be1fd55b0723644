// SPDX-License-Identifier: GPL-3.0-or-later

// ctest runs this once on the offscreen platform's own screen and once on
// each screen and scale of the table in tests/CMakeLists.txt.

#include "parts/ClientLayout.h"
#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "parts/SidePanel.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"
#include "shell/MainWindow.h"
#include "support/MainWindowFixture.h"

#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

#include <memory>

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void theWindowOpensWhollyOnTheScreenWithEveryControlInIt();
    void aTallerWindowPagesAndScrollsTheSameListInMoreRows();

private:
    // Whether widget lies wholly inside the window's client area.
    bool insideWindow(const QWidget* widget) const;
    QStringList pageTitles() const { return fixture_->visibleFirstCaptions(); }

    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

namespace {

constexpr int kLectures = 40;

// The first is too long for its row at the designed width.
QString lectureTitle(int i)
{
    const QString title = QStringLiteral("第%1讲").arg(i + 1);
    return i == 0 ? title + QStringLiteral("：急性冠脉综合征的抗血小板治疗与出血风险评估，大会专题报告") : title;
}

// As its row shows it.
QString lectureCaption(int i)
{
    return lectureTitle(i) + QStringLiteral(" - 四十分钟");
}

}  // namespace

void WindowFitTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    fixture_->serveCatalogue(conferenceLines(3));
    window_ = fixture_->load();
    QVERIFY(window_);
    QStringList lectures;
    for (int i = 0; i < kLectures; ++i)
        lectures << lectureTitle(i) << QStringLiteral("/audio/%1.wma").arg(i);
    QVERIFY(fixture_->enterConferenceWith(lectures));
}

bool WindowFitTest::insideWindow(const QWidget* widget) const
{
    const QRect place(widget->mapTo(window_, QPoint(0, 0)), widget->size());
    return widget->isVisible() && window_->rect().contains(place);
}

void WindowFitTest::theWindowOpensWhollyOnTheScreenWithEveryControlInIt()
{
    const QRect area = window_->screen()->availableGeometry();
    QVERIFY2(area.contains(window_->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                            .arg(window_->x())
                            .arg(window_->y())
                            .arg(window_->width())
                            .arg(window_->height())
                            .arg(area.width())
                            .arg(area.height())));
    const QSize designed = clientLayout::kDesignedClientSize;
    const int menu = window_->centralWidget()->y();
    if (area.width() >= designed.width() && area.height() >= designed.height() + menu)
        QCOMPARE(window_->centralWidget()->size(), designed);
    QVERIFY(window_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(window_->maximumHeight() > window_->minimumHeight());

    for (const char* name : {"playPauseButton", "stopButton", "muteButton", "volumeSlider", "positionSlider"}) {
        const auto* control = window_->findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(control && insideWindow(control), name);
    }
    QVERIFY(insideWindow(window_->sidePanel().phoneEditionButton));
    QVERIFY(insideWindow(window_->viewBar().searchBox));
    QVERIFY(insideWindow(window_->pageList().pageScrollBar));
    const PageList& list = window_->pageList();
    QVERIFY(list.pageRows >= 3);
    for (int i = 0; i < list.pageRows; ++i)
        QVERIFY(insideWindow(list.rows[i].actionButton));
    QCOMPARE(pageTitles().size(), list.pageRows);
    // A title too long for its row ends in "…" and is whole in its tooltip;
    // one that fits is drawn whole.
    const platform::CaptionLabel* longTitle = list.rows[0].title;
    QVERIFY(longTitle->isElidedNow());
    QCOMPARE(longTitle->toolTip(), lectureCaption(0));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(const_cast<platform::CaptionLabel*>(longTitle))->text(QAccessible::Name),
        lectureCaption(0));
    QVERIFY(!list.rows[1].title->isElidedNow());
    QCOMPARE(list.rows[1].title->toolTip(), QString());
}

void WindowFitTest::aTallerWindowPagesAndScrollsTheSameListInMoreRows()
{
    const PageList& list = window_->pageList();
    const int rowsBefore = list.pageRows;
    const QSize sizeBefore = window_->size();
    window_->resize(sizeBefore.width() * 3 / 2, sizeBefore.height() * 2);
    QTRY_COMPARE(window_->size(), QSize(sizeBefore.width() * 3 / 2, sizeBefore.height() * 2));
    const int rows = list.pageRows;
    QVERIFY2(rows > rowsBefore, qPrintable(QStringLiteral("%1 rows, %2 before").arg(rows).arg(rowsBefore)));
    QCOMPARE(rows, list.rowsThatFit());
    QCOMPARE(pageTitles().size(), rows);
    QCOMPARE(pageTitles().first(), lectureCaption(0));
    QVERIFY(!list.rows[0].title->isElidedNow());
    QCOMPARE(list.rows[0].title->toolTip(), QString());
    // Every row is as wide as the list now is, its buttons inside it.
    QCOMPARE(list.rows[0].frame->width(), list.rows[rows - 1].frame->width());
    QVERIFY(insideWindow(list.rows[rows - 1].actionButton));
    platform::ScrollBar& scrollBar = *list.pageScrollBar;
    QCOMPARE(scrollBar.maximum(), kLectures - rows);

    // The keyboard: down past the last row scrolls by one, a page down by a page.
    RowButton* last = list.rows[rows - 1].actionButton;
    last->setFocus(Qt::TabFocusReason);
    QTest::keyClick(last, Qt::Key_Down);
    QCOMPARE(scrollBar.value(), 1);
    QCOMPARE(pageTitles().first(), lectureCaption(1));
    QTest::keyClick(last, Qt::Key_PageDown);
    QCOMPARE(scrollBar.value(), 1 + rows);
    QCOMPARE(pageTitles().last(), lectureCaption(2 * rows));
    // The scroll bar: its end shows the list's end.
    scrollBar.setValue(scrollBar.maximum());
    QCOMPARE(pageTitles().last(), lectureCaption(kLectures - 1));

    // Back to the size it had: the row the keyboard is on stays in the
    // page, with its lecture.
    scrollBar.setValue(0);
    last->setFocus(Qt::TabFocusReason);
    window_->resize(sizeBefore);
    QTRY_COMPARE(list.pageRows, rowsBefore);
    auto* focused = qobject_cast<RowButton*>(QApplication::focusWidget());
    QVERIFY(focused && insideWindow(focused));
    QCOMPARE(pageTitles().last(), lectureCaption(rows - 1));
    QCOMPARE(focused, list.rows[rowsBefore - 1].actionButton);
    QCOMPARE(scrollBar.maximum(), kLectures - rowsBefore);
}

QTEST_MAIN(WindowFitTest)
#include "WindowFitTest.moc"
