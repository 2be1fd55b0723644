// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/PaintedFace.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

// The main window driven from the keyboard alone, and read as a screen
// reader reads it.
class KeyboardAccessTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tabWalksTheWindowTopToBottom();
    void rowButtonRunsItsCommandFromTheKeyboard_data();
    void rowButtonRunsItsCommandFromTheKeyboard();
    void spaceDownloadsAndSpaceAgainCancels();
    void deletingTheLastRowMovesTheFocusUp();
    void arrowAndPageKeysMoveAndScroll_data();
    void arrowAndPageKeysMoveAndScroll();
    void focusMarkShowsForTheKeyboardOnly();
    void menusOpenFromTheKeyboard_data();
    void menusOpenFromTheKeyboard();
    void everyControlIsNamedForAScreenReader();

private:
    PageRow& row(int i) { return window_->pageList().rows[i]; }
    QWidget* focused() const { return QApplication::focusWidget(); }
    void enterConference(int lectures);

    std::unique_ptr<MainWindowFixture> fixture_;
    MainWindow* window_ = nullptr;
};

void KeyboardAccessTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    // Row k shows 会议k; twenty entries scroll to position 12.
    fixture_->serveCatalogue(conferenceLines(20));
    window_ = fixture_->load();
    QVERIFY(window_);
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void KeyboardAccessTest::cleanup()
{
    fixture_.reset();
}

// Enters the first conference, which lists that many lectures.
void KeyboardAccessTest::enterConference(int lectures)
{
    QString text = QStringLiteral("讲座目录\r\n");
    for (int i = 0; i < lectures; ++i)
        text += QStringLiteral("讲座%1%张医生$四十分钟*").arg(i) + fixture_->server.url("/audio/a.wma") + "\r\n";
    fixture_->server.serveBytes("/lists/20131001.zip", toGb2312(text));
    QVERIFY(fixture_->enterConference());
}

void KeyboardAccessTest::tabWalksTheWindowTopToBottom()
{
    TransportBar* player = window_->playerBar().transportBar;
    // The view options are one stop, the chosen one, as any group of
    // options. Disabled and hidden controls are passed over: the delete
    // buttons are hidden, and there is nothing to play.
    QList<QWidget*> expected{window_->viewBar().catalogueOption, window_->viewBar().searchBox};
    for (int i = 0; i < PageList::kDesignedRows; ++i)
        expected << row(i).actionButton;
    expected << window_->pageList().pageScrollBar << player->findChild<QToolButton*>("speedButton")
             << player->findChild<QToolButton*>("sleepTimerButton") << player->findChild<QToolButton*>("muteButton")
             << player->findChild<QSlider*>("volumeSlider") << window_->sidePanel().phoneEditionButton
             << window_->viewBar().catalogueOption;

    window_->viewBar().catalogueOption->setFocus(Qt::TabFocusReason);
    QList<QWidget*> walked{focused()};
    while (walked.size() < expected.size()) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        walked << focused();
    }
    QCOMPARE(walked, expected);
}

void KeyboardAccessTest::rowButtonRunsItsCommandFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("a screen reader's press") << 0;
}

void KeyboardAccessTest::rowButtonRunsItsCommandFromTheKeyboard()
{
    QFETCH(int, key);
    fixture_->server.serveBytes(
        "/lists/20131002.zip",
        toGb2312(QStringLiteral("讲座目录\r\n冠心病%张医生$四十分钟*/a.wma\r\n心衰%李医生$三十分钟*/b.wma\r\n")));
    RowButton* button = row(1).actionButton;
    button->setFocus(Qt::TabFocusReason);

    if (key == 0) {
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(button);
        QVERIFY(reader->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    } else {
        const auto keypad = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyPress(button, Qt::Key(key), keypad);
        // Down shows the pressed face and runs nothing yet.
        QVERIFY(button->isDown());
        QCOMPARE(paintedFace(*button), QStringLiteral("pressed"));
        QCOMPARE(fixture_->server.requestCount("/lists/20131002.zip"), 0u);
        QTest::keyRelease(button, Qt::Key(key), keypad);
    }

    QTRY_COMPARE(fixture_->server.requestCount("/lists/20131002.zip"), 1u);
    QTRY_VERIFY(window_->viewBar().lecturesOption->isChecked());
    QVERIFY(!button->isDown());
    QCOMPARE(paintedFace(*button), QStringLiteral("released"));
    // The page changed under it, the focus stayed on it.
    QCOMPARE(focused(), button);
    QCOMPARE(button->text(), QStringLiteral("下 载"));
}

void KeyboardAccessTest::spaceDownloadsAndSpaceAgainCancels()
{
    fixture_->server.serveSlowly("/audio/a.wma", QByteArray(300 * 1024, 'a'), 10 * 1024, std::chrono::milliseconds(30));
    enterConference(1);
    RowButton* button = row(0).actionButton;
    button->setFocus(Qt::TabFocusReason);

    QString captionDuringDownload;
    bool cancelled = false;
    MainWindowFixture::onDownloadProgress(*window_, this, [&] {
        if (std::exchange(cancelled, true))
            return;
        QTimer::singleShot(0, this, [&] {
            captionDuringDownload = button->text();
            QTest::keyClick(button, Qt::Key_Space);
        });
    });
    QTest::keyClick(button, Qt::Key_Space);
    fixture_->waitWhileDownloading();

    QVERIFY(cancelled);
    QCOMPARE(captionDuringDownload, QStringLiteral("取 消"));
    QCOMPARE(button->text(), QStringLiteral("下 载"));
    // The user's own cancel is no failure to be told of.
    QTest::qWait(50);
    QCOMPARE(fixture_->host.messages.size(), 0u);
    QTRY_VERIFY(QDir(fixture_->favouritesFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void KeyboardAccessTest::deletingTheLastRowMovesTheFocusUp()
{
    fixture_->addFavourites(favouriteNames(3));
    QTest::mouseClick(window_->viewBar().favouritesOption, Qt::LeftButton);
    row(2).actionButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focused(), Qt::Key_Left);
    QCOMPARE(focused(), row(2).deleteButton);

    QTest::keyClick(focused(), Qt::Key_Space);

    QCOMPARE(QDir(fixture_->favouritesFolder()).entryList(QDir::Files), favouriteNames(2));
    QCOMPARE(focused(), row(1).deleteButton);
}

void KeyboardAccessTest::arrowAndPageKeysMoveAndScroll_data()
{
    QTest::addColumn<int>("lectures");  // 0: the catalogue of twenty
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("fromPosition");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toPosition");

    QTest::newRow("Down inside the page") << 0 << 3 << 0 << int(Qt::Key_Down) << 4 << 0;
    QTest::newRow("Up inside the page") << 0 << 3 << 2 << int(Qt::Key_Up) << 2 << 2;
    QTest::newRow("Down on row 7 scrolls one") << 0 << 7 << 0 << int(Qt::Key_Down) << 7 << 1;
    QTest::newRow("Down at the end stays") << 0 << 7 << 12 << int(Qt::Key_Down) << 7 << 12;
    QTest::newRow("Up on row 0 scrolls one back") << 0 << 0 << 5 << int(Qt::Key_Up) << 0 << 4;
    QTest::newRow("Up at the top stays") << 0 << 0 << 0 << int(Qt::Key_Up) << 0 << 0;
    QTest::newRow("Page Down scrolls eight") << 0 << 2 << 0 << int(Qt::Key_PageDown) << 2 << 8;
    QTest::newRow("Page Down stops at the end") << 0 << 2 << 8 << int(Qt::Key_PageDown) << 2 << 12;
    QTest::newRow("Page Down at the end goes to the last row") << 0 << 2 << 12 << int(Qt::Key_PageDown) << 7 << 12;
    QTest::newRow("Page Up scrolls eight back") << 0 << 5 << 10 << int(Qt::Key_PageUp) << 5 << 2;
    QTest::newRow("Page Up at the top goes to row 0") << 0 << 5 << 0 << int(Qt::Key_PageUp) << 0 << 0;
    // The bar keeps the catalogue's range while a short list disables it.
    QTest::newRow("a short list never scrolls") << 3 << 2 << 0 << int(Qt::Key_Down) << 2 << 0;
}

void KeyboardAccessTest::arrowAndPageKeysMoveAndScroll()
{
    QFETCH(int, lectures);
    QFETCH(int, fromRow);
    QFETCH(int, fromPosition);
    QFETCH(int, key);
    QFETCH(int, toRow);
    QFETCH(int, toPosition);
    if (lectures > 0)
        enterConference(lectures);
    platform::ScrollBar* scrollBar = window_->pageList().pageScrollBar;
    scrollBar->setValue(fromPosition);
    const QStringList before = fixture_->visibleFirstCaptions();
    row(fromRow).actionButton->setFocus(Qt::TabFocusReason);

    QTest::keyClick(focused(), Qt::Key(key));

    QCOMPARE(focused(), row(toRow).actionButton);
    QCOMPARE(scrollBar->value(), toPosition);
    if (lectures > 0)
        QCOMPARE(fixture_->visibleFirstCaptions(), before);
    else
        QCOMPARE(row(0).title->caption(), QStringLiteral("会议%1").arg(toPosition));
}

void KeyboardAccessTest::focusMarkShowsForTheKeyboardOnly()
{
    RowButton* button = row(0).actionButton;
    window_->setAttribute(Qt::WA_KeyboardFocusChange, false);
    const QImage unfocused = button->grab().toImage();
    button->setFocus(Qt::ActiveWindowFocusReason);
    QCOMPARE(button->grab().toImage(), unfocused);

    window_->viewBar().searchBox->setFocus();
    QTest::keyClick(window_->viewBar().searchBox, Qt::Key_Tab);
    QCOMPARE(focused(), button);
    QVERIFY(button->grab().toImage() != unfocused);
}

void KeyboardAccessTest::menusOpenFromTheKeyboard_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("helpMenu");
    QTest::newRow("Alt+F") << QKeySequence(Qt::ALT | Qt::Key_F) << false;
    QTest::newRow("Alt+H") << QKeySequence(Qt::ALT | Qt::Key_H) << true;
    QTest::newRow("F10") << QKeySequence(Qt::Key_F10) << false;
}

void KeyboardAccessTest::menusOpenFromTheKeyboard()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, helpMenu);
    // From the search box too, which takes most keys for itself.
    QTest::mouseClick(window_->viewBar().favouritesOption, Qt::LeftButton);
    window_->viewBar().searchBox->setFocus();

    QTest::keySequence(focused(), keys);

    QMenu* menu = helpMenu ? window_->menuActions().helpMenu : window_->menuActions().fileMenu;
    QTRY_COMPARE(QApplication::activePopupWidget(), menu);
    QCOMPARE(menu->activeAction(), menu->actions().value(0));
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());
}

void KeyboardAccessTest::everyControlIsNamedForAScreenReader()
{
    fixture_->addFavourites({QStringLiteral("冠心病%张医生$四十分钟.zip")});
    QTest::mouseClick(window_->viewBar().favouritesOption, Qt::LeftButton);
    QVERIFY(window_->viewBar().favouritesOption->isChecked());
    TransportBar* player = window_->playerBar().transportBar;
    auto part = [player](const char* name) { return player->findChild<QWidget*>(QString::fromLatin1(name)); };
    struct Expected {
        QWidget* widget;
        QAccessible::Role role;
        QString name;
        QString description;
    };
    const Expected controls[] = {
        {row(0).actionButton, QAccessible::Button, "播 放", "冠心病 - 四十分钟"},
        {row(0).deleteButton, QAccessible::Button, "删 除", "冠心病 - 四十分钟"},
        {window_->viewBar().searchBox, QAccessible::EditableText, "搜索讲座", {}},
        {window_->pageList().pageScrollBar, QAccessible::ScrollBar, "列表位置", {}},
        {part("playPauseButton"), QAccessible::Button, "播放", {}},
        {part("stopButton"), QAccessible::Button, "停止", {}},
        {part("muteButton"), QAccessible::CheckBox, "静音", {}},
        {part("positionSlider"), QAccessible::Slider, "播放进度", {}},
        {part("volumeSlider"), QAccessible::Slider, "音量", {}},
        {window_->sidePanel().phoneEditionButton, QAccessible::Button, "立即下载安卓手机版", {}},
    };
    for (const Expected& control : controls) {
        QVERIFY(control.widget);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(control.widget);
        QVERIFY(reader);
        QCOMPARE(reader->role(), control.role);
        QCOMPARE(reader->text(QAccessible::Name), control.name);
        if (!control.description.isNull())
            QCOMPARE(reader->text(QAccessible::Description), control.description);
        QVERIFY(reader->state().focusable);
    }

    // The toggle keeps its name and reports its state; the tip says what a
    // press does next.
    QTest::mouseClick(part("muteButton"), Qt::LeftButton);
    QAccessibleInterface* mute = QAccessible::queryAccessibleInterface(part("muteButton"));
    QCOMPARE(mute->text(QAccessible::Name), QStringLiteral("静音"));
    QVERIFY(mute->state().checked);
    QCOMPARE(part("muteButton")->toolTip(), QStringLiteral("取消静音"));
}

QTEST_MAIN(KeyboardAccessTest)
#include "KeyboardAccessTest.moc"
