// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadQueue.h"
#include "info/AboutWindow.h"
#include "support/MainWindowFixture.h"
#include "support/MainWindowParts.h"

#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class WebLinksTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void linkCommandsOpenTheirPage_data();
    void linkCommandsOpenTheirPage();
    void aboutIsOneWindowUntilClosed_data();
    void aboutIsOneWindowUntilClosed();
    void exitLeavesAsClosingTheWindowDoes_data();
    void exitLeavesAsClosingTheWindowDoes();
};

namespace {

QList<AboutWindow*> aboutWindows()
{
    QList<AboutWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* about = qobject_cast<AboutWindow*>(widget))
            windows.append(about);
    }
    return windows;
}

// The main window in front, with the keyboard focus and no menu open, as
// a user has it before pressing a shortcut.
bool makeActive(MainWindow& window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window) && !QApplication::activePopupWidget();
}

// Opens the menu from the menu bar and clicks the item, with the mouse.
bool chooseFromMenu(MainWindow& window, QMenu* menu, QAction* item)
{
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitForWindowExposed(menu))
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    return !menu->isVisible();
}

// Carries out one command the way named: "mouse" on the phone-edition button, "menu" for
// a menu item, or a shortcut "Ctrl+X" typed into the search box. The text
// box's own keys must not take the shortcut: nothing may be pasted.
bool carry(MainWindow& window, const QString& way, QMenu* menu, QAction* item)
{
    if (way == QStringLiteral("mouse")) {
        QTest::mouseClick(window.sidePanel().phoneEditionButton, Qt::LeftButton);
        return true;
    }
    if (way == QStringLiteral("menu"))
        return chooseFromMenu(window, menu, item);
    const QKeySequence keys(way);
    // The favourites view opens the search box; the user clicks into it.
    QTest::mouseClick(window.viewBar().favouritesOption, Qt::LeftButton, {},
                      QPoint(8, window.viewBar().favouritesOption->height() / 2));
    if (keys.count() != 1 || !window.viewBar().searchBox->isEnabled() || !makeActive(window))
        return false;
    QTest::mouseClick(window.viewBar().searchBox, Qt::LeftButton);
    if (QApplication::focusWidget() != window.viewBar().searchBox)
        return false;
    QApplication::clipboard()->setText(QStringLiteral("心电图"));
    QTest::keyClick(window.viewBar().searchBox, keys[0].key(), keys[0].keyboardModifiers());
    return window.viewBar().searchBox->text().isEmpty();
}

// Centred on the screen, borders included, to the pixel.
bool centred(const QWidget& window)
{
    const QPoint off = window.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
}

}  // namespace

void WebLinksTest::cleanup()
{
    // An About window left by a failed test must not count in the next.
    qDeleteAll(aboutWindows());
}

void WebLinksTest::linkCommandsOpenTheirPage_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("page");
    QTest::newRow("phone-edition button, clicked") << "phone-edition button"
                                                   << "mouse"
                                                   << "/android.html";
    QTest::newRow("操作说明, from the menu") << "操作说明"
                                             << "menu"
                                             << "/help.html";
    QTest::newRow("操作说明, Ctrl+O") << "操作说明"
                                      << "Ctrl+O"
                                      << "/help.html";
    QTest::newRow("访问作者主页, from the menu") << "访问作者主页"
                                                 << "menu"
                                                 << "/";
    QTest::newRow("访问作者主页, Ctrl+H") << "访问作者主页"
                                          << "Ctrl+H"
                                          << "/";
}

void WebLinksTest::linkCommandsOpenTheirPage()
{
    QFETCH(QString, command);
    QFETCH(QString, way);
    QFETCH(QString, page);
    MainWindowFixture fixture;
    MainWindow* window = fixture.load();
    QVERIFY(window);
    QAction* item =
        command == QStringLiteral("操作说明") ? window->menuActions().openHelpPage : window->menuActions().openHomePage;

    // A second time opens the page again.
    QVERIFY(carry(*window, way, window->menuActions().helpMenu, item));
    QVERIFY(carry(*window, way, window->menuActions().helpMenu, item));

    QCOMPARE(fixture.host.browserAddresses, QStringList(2, fixture.server.url(page)));
    QVERIFY(fixture.host.messages.empty());
    QCOMPARE(fixture.host.endings, 0);
    QVERIFY(aboutWindows().isEmpty());
    QVERIFY(window->isVisible());
}

void WebLinksTest::aboutIsOneWindowUntilClosed_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("from the menu") << "menu";
    QTest::newRow("Ctrl+V") << "Ctrl+V";
}

void WebLinksTest::aboutIsOneWindowUntilClosed()
{
    QFETCH(QString, way);
    MainWindowFixture fixture;
    MainWindow* window = fixture.load();
    QVERIFY(window);

    QVERIFY(carry(*window, way, window->menuActions().helpMenu, window->menuActions().showAbout));
    QCOMPARE(aboutWindows().size(), 1);
    const QPointer<AboutWindow> first = window->aboutWindow();
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QCOMPARE(first->parentWidget(), nullptr);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(first->homePageLink->caption(), fixture.server.url(QStringLiteral("/")));
    QVERIFY(centred(*first));

    // The user moves it aside and goes back to the main window, which still
    // works, then asks again: the same window comes forward where it was.
    first->move(20, 30);
    QTest::mouseClick(window->sidePanel().phoneEditionButton, Qt::LeftButton);
    QCOMPARE(fixture.host.browserAddresses, QStringList{fixture.server.url(QStringLiteral("/android.html"))});
    QVERIFY(carry(*window, way, window->menuActions().helpMenu, window->menuActions().showAbout));
    QCOMPARE(aboutWindows().size(), 1);
    QCOMPARE(window->aboutWindow(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(first->pos(), QPoint(20, 30));
    QVERIFY(QTest::qWaitForWindowActive(first));

    // Closed, it comes back new and centred, even when asked for straight
    // away, while the closed one still waits to be deleted.
    QVERIFY(first->close());
    window->menuActions().showAbout->trigger();
    QVERIFY(first);
    const QPointer<AboutWindow> second = window->aboutWindow();
    QVERIFY(second && second.data() != first.data());
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QVERIFY(centred(*second));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QCOMPARE(aboutWindows(), QList<AboutWindow*>{second.data()});
    QCOMPARE(fixture.host.endings, 0);
}

void WebLinksTest::exitLeavesAsClosingTheWindowDoes_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("from the menu") << "menu";
    QTest::newRow("Ctrl+E") << "Ctrl+E";
}

void WebLinksTest::exitLeavesAsClosingTheWindowDoes()
{
    QFETCH(QString, way);
    MainWindowFixture fixture;
    MainWindow* window = fixture.load();
    QVERIFY(window);
    window->menuActions().showAbout->trigger();
    QVERIFY(window->aboutWindow());

    QVERIFY(carry(*window, way, window->menuActions().fileMenu, window->menuActions().quit));

    QCOMPARE(fixture.host.endings, 1);
    QVERIFY(fixture.host.messages.empty());
    QVERIFY(fixture.host.browserAddresses.isEmpty());
    // It leaves as closing the window does.
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(WebLinksTest)
#include "WebLinksTest.moc"
