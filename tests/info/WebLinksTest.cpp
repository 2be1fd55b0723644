#include "info/Form8.h"
#include "shell/Form1.h"

#include "download/CFileDownload.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QtTest>

class WebLinksTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void linkCommandsOpenTheirPage_data();
    void linkCommandsOpenTheirPage();
    void homePageTwiceOpensTwice();
    void shortcutsWorkFromTheSearchBox_data();
    void shortcutsWorkFromTheSearchBox();
    void aboutShownTwiceGivesOneWindow_data();
    void aboutShownTwiceGivesOneWindow();
    void closedAboutComesBackNewAndCentredAgain();
    void exitEndsAtOnceWithoutTheUnloadStep_data();
    void exitEndsAtOnceWithoutTheUnloadStep();
};

namespace {

QList<Form8*> AboutWindows()
{
    QList<Form8*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* about = qobject_cast<Form8*>(widget))
            windows.append(about);
    }
    return windows;
}

// The main window in front, with the keyboard focus and no menu open, as
// a user has it before pressing a shortcut.
bool MakeActive(Form1& form)
{
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form) && !QApplication::activePopupWidget();
}

// Opens the menu from the menu bar and clicks the item, with the mouse.
bool ChooseFromMenu(Form1& form, QMenu* menu, QAction* item)
{
    QMenuBar* bar = form.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitForWindowExposed(menu))
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    return !menu->isVisible();
}

// Carries out one command the way named: "mouse" on Command1, "menu" for
// a menu item, or a shortcut "Ctrl+X" typed on the main window.
bool Carry(Form1& form, const QString& way, QMenu* menu, QAction* item)
{
    if (way == QStringLiteral("mouse")) {
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        return true;
    }
    if (way == QStringLiteral("menu"))
        return ChooseFromMenu(form, menu, item);
    const QKeySequence keys(way);
    if (keys.count() != 1 || !MakeActive(form))
        return false;
    const QKeyCombination combination = keys[0];
    QTest::keyClick(&form, combination.key(), combination.keyboardModifiers());
    return true;
}

QPoint CentredTopLeft(const QWidget& window)
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize outer = window.frameGeometry().size();
    return QPoint((screen.width() - outer.width()) * 15 / 2 / 15, (screen.height() - outer.height()) * 15 / 2 / 15);
}

}  // namespace

void WebLinksTest::cleanup()
{
    // An About window left by a failed test must not count in the next.
    qDeleteAll(AboutWindows());
}

void WebLinksTest::linkCommandsOpenTheirPage_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("page");
    QTest::newRow("Command1, clicked") << QStringLiteral("Command1") << QStringLiteral("mouse")
                                       << QStringLiteral("/android.html");
    QTest::newRow("操作说明, from the menu") << QStringLiteral("操作说明") << QStringLiteral("menu")
                                         << QStringLiteral("/help.html");
    QTest::newRow("操作说明, Ctrl+O") << QStringLiteral("操作说明") << QStringLiteral("Ctrl+O")
                                   << QStringLiteral("/help.html");
    QTest::newRow("访问作者主页, from the menu") << QStringLiteral("访问作者主页") << QStringLiteral("menu")
                                           << QStringLiteral("/");
    QTest::newRow("访问作者主页, Ctrl+H") << QStringLiteral("访问作者主页") << QStringLiteral("Ctrl+H")
                                     << QStringLiteral("/");
}

void WebLinksTest::linkCommandsOpenTheirPage()
{
    QFETCH(QString, command);
    QFETCH(QString, way);
    QFETCH(QString, page);
    MainWindowFixture fixture;
    Form1* form = fixture.load();
    QVERIFY(form);
    QAction* item = command == QStringLiteral("操作说明") ? form->操作说明 : form->访问作者主页;

    QVERIFY(Carry(*form, way, form->帮助, item));

    QCOMPARE(fixture.host.browserAddresses, QStringList{fixture.server.url(page)});
    QVERIFY(fixture.host.messages.empty());
    QCOMPARE(fixture.host.endings, 0);
    QVERIFY(AboutWindows().isEmpty());
    QVERIFY(form->isVisible());
}

void WebLinksTest::homePageTwiceOpensTwice()
{
    MainWindowFixture fixture;
    Form1* form = fixture.load();
    QVERIFY(form);
    QVERIFY(Carry(*form, QStringLiteral("Ctrl+H"), nullptr, nullptr));
    QVERIFY(Carry(*form, QStringLiteral("menu"), form->帮助, form->访问作者主页));
    const QString home = fixture.server.url(QStringLiteral("/"));
    QCOMPARE(fixture.host.browserAddresses, (QStringList{home, home}));
}

void WebLinksTest::shortcutsWorkFromTheSearchBox_data()
{
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("endings");
    QTest::addColumn<int>("aboutWindows");
    QTest::newRow("Ctrl+O") << QKeyCombination(Qt::ControlModifier, Qt::Key_O) << QStringLiteral("/help.html") << 0 << 0;
    QTest::newRow("Ctrl+H") << QKeyCombination(Qt::ControlModifier, Qt::Key_H) << QStringLiteral("/") << 0 << 0;
    QTest::newRow("Ctrl+E") << QKeyCombination(Qt::ControlModifier, Qt::Key_E) << QString() << 1 << 0;
    // The text box's own paste key belongs to the menu here.
    QTest::newRow("Ctrl+V") << QKeyCombination(Qt::ControlModifier, Qt::Key_V) << QString() << 0 << 1;
}

void WebLinksTest::shortcutsWorkFromTheSearchBox()
{
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, page);
    QFETCH(int, endings);
    QFETCH(int, aboutWindows);
    MainWindowFixture fixture;
    Form1* form = fixture.load();
    QVERIFY(form);
    // The favourites view opens the search box; the user clicks into it.
    QTest::mouseClick(form->Option2, Qt::LeftButton, {}, QPoint(8, form->Option2->height() / 2));
    QVERIFY(form->Text1->isEnabled());
    QVERIFY(MakeActive(*form));
    QTest::mouseClick(form->Text1, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), form->Text1);
    QApplication::clipboard()->setText(QStringLiteral("心电图"));

    QTest::keyClick(form->Text1, keys.key(), keys.keyboardModifiers());

    QCOMPARE(fixture.host.browserAddresses,
             page.isNull() ? QStringList() : QStringList{fixture.server.url(page)});
    QCOMPARE(fixture.host.endings, endings);
    QCOMPARE(AboutWindows().size(), aboutWindows);
    QCOMPARE(form->Text1->text(), QString());
}

void WebLinksTest::aboutShownTwiceGivesOneWindow_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("from the menu") << QStringLiteral("menu");
    QTest::newRow("Ctrl+V") << QStringLiteral("Ctrl+V");
}

void WebLinksTest::aboutShownTwiceGivesOneWindow()
{
    QFETCH(QString, way);
    MainWindowFixture fixture;
    Form1* form = fixture.load();
    QVERIFY(form);

    QVERIFY(Carry(*form, way, form->帮助, form->版本信息));
    QCOMPARE(AboutWindows().size(), 1);
    const QPointer<Form8> first = form->AboutWindow;
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QCOMPARE(first->parentWidget(), nullptr);
    QVERIFY(!first->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(first->Label7->Caption(), fixture.server.url(QStringLiteral("/")));
    QCOMPARE(first->frameGeometry().topLeft(), CentredTopLeft(*first));

    // The user moves it aside and goes back to the main window, which still
    // works, then asks again: the same window comes forward where it was,
    // without loading again.
    first->move(20, 30);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    QCOMPARE(fixture.host.browserAddresses, QStringList{fixture.server.url(QStringLiteral("/android.html"))});
    QVERIFY(Carry(*form, way, form->帮助, form->版本信息));

    QCOMPARE(AboutWindows().size(), 1);
    QCOMPARE(form->AboutWindow.data(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(first->pos(), QPoint(20, 30));
    QVERIFY(QTest::qWaitForWindowActive(first));
    QCOMPARE(fixture.host.endings, 0);
}

void WebLinksTest::closedAboutComesBackNewAndCentredAgain()
{
    MainWindowFixture fixture;
    Form1* form = fixture.load();
    QVERIFY(form);

    form->版本信息->trigger();
    const QPointer<Form8> first = form->AboutWindow;
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    first->move(20, 30);
    QVERIFY(first->close());

    // Straight away, while the closed one still waits to be deleted.
    QVERIFY(first);
    form->版本信息->trigger();
    const QPointer<Form8> second = form->AboutWindow;
    QVERIFY(second);
    QVERIFY(second.data() != first.data());
    QVERIFY(second->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QCOMPARE(second->frameGeometry().topLeft(), CentredTopLeft(*second));
    QCOMPARE(second->Label7->Caption(), fixture.server.url(QStringLiteral("/")));

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QCOMPARE(AboutWindows(), QList<Form8*>{second.data()});
}

void WebLinksTest::exitEndsAtOnceWithoutTheUnloadStep_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("from the menu") << QStringLiteral("menu");
    QTest::newRow("Ctrl+E") << QStringLiteral("Ctrl+E");
}

void WebLinksTest::exitEndsAtOnceWithoutTheUnloadStep()
{
    QFETCH(QString, way);
    MainWindowFixture fixture;
    Form1* form = fixture.load();
    QVERIFY(form);
    form->版本信息->trigger();
    QVERIFY(form->AboutWindow);

    QVERIFY(Carry(*form, way, form->文件, form->退出));

    QCOMPARE(fixture.host.endings, 1);
    QVERIFY(fixture.host.messages.empty());
    QVERIFY(fixture.host.browserAddresses.isEmpty());
    // The unload step would have released the download engine and closed
    // the window.
    QVERIFY(form->oDownload);
    QVERIFY(form->isVisible());
}

QTEST_MAIN(WebLinksTest)
#include "WebLinksTest.moc"
