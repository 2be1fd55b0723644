// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/DesktopNotification.h"
#include "platform/host/SessionBus.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"

#include <QDBusConnection>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <utility>

// The desktop's notification server, stood in for on the test's own
// session bus, on a connection of its own.
class NotificationServerStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    NotificationServerStandIn()
    {
        registered = bus_.registerObject("/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots)
            && bus_.registerService("org.freedesktop.Notifications");
    }
    // The name is given back at once, so the next stand-in can take it.
    ~NotificationServerStandIn() override
    {
        bus_.unregisterService("org.freedesktop.Notifications");
        QDBusConnection::disconnectFromBus(bus_.name());
    }

    bool registered = false;
    QStringList notices;  // "summary|body|application|icon|desktop entry"

public slots:
    uint Notify(const QString& application, uint, const QString& icon, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int)
    {
        notices << QStringList{summary, body, application, icon, hints.value("desktop-entry").toString()}.join(u'|');
        return notices.size();
    }

private:
    QDBusConnection bus_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
};

// Real downloads through the real window, with the user in it or in another
// window, and what the notification server is told.
class DownloadNoticesTest : public QObject {
    Q_OBJECT

private slots:
    void toldOnlyWhileTheUserIsAway_data();
    void toldOnlyWhileTheUserIsAway();
};

void DownloadNoticesTest::toldOnlyWhileTheUserIsAway_data()
{
    QTest::addColumn<QString>("answer");  // the server's: whole, 404, or a slow one the user cancels
    QTest::addColumn<bool>("away");
    QTest::addColumn<QStringList>("notices");
    const auto notice = [](const char* summary) {
        return QStringList{QString::fromUtf8(summary)
                           + QStringLiteral("|冠心病|Kardelo|org.kardelo.Kardelo|org.kardelo.Kardelo")};
    };
    QTest::newRow("stored, away") << "whole" << true << notice("下载完成");
    QTest::newRow("failed, away") << "404" << true << notice("下载失败!");
    QTest::newRow("cancelled, away") << "cancel" << true << QStringList();
    QTest::newRow("stored, in the window") << "whole" << false << QStringList();
    QTest::newRow("failed, in the window") << "404" << false << QStringList();
}

void DownloadNoticesTest::toldOnlyWhileTheUserIsAway()
{
    QFETCH(QString, answer);
    QFETCH(bool, away);
    QFETCH(QStringList, notices);
    NotificationServerStandIn server;
    QVERIFY(server.registered);
    MainWindowFixture fixture;
    fixture.serveCatalogue({QStringLiteral("第一届心血管会议%20131015*")});
    MainWindow* window = fixture.load();
    QVERIFY(window);
    if (answer == u"whole")
        fixture.server.serveBytes("/a.wma", QByteArray(64 * 1024, 'a'));
    else if (answer == u"404")
        fixture.server.serveBytes("/a.wma", "gone", 404);
    else
        fixture.server.serveSlowly("/a.wma", QByteArray(300 * 1024, 'a'), 10 * 1024, std::chrono::milliseconds(30));
    fixture.server.serveBytes(
        "/lists/20131015.zip",
        toGb2312(QStringLiteral("冠心病%张医生$四十分钟*") + fixture.server.url("/a.wma") + "\r\n"));
    RowButton* button = window->pageList().rows[0].actionButton;
    QVERIFY(fixture.enterConference());

    QWidget elsewhere;
    QWidget* active = away ? &elsewhere : window;
    active->show();
    active->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(active));
    QCOMPARE(window->isActiveWindow(), !away);
    if (answer == u"cancel") {
        auto pressed = std::make_shared<bool>(false);
        MainWindowFixture::onDownloadProgress(*window, this, [button, pressed] {
            if (!std::exchange(*pressed, true))
                QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
        });
    }
    QTest::mouseClick(button, Qt::LeftButton);
    fixture.waitWhileDownloading();

    // Sent after the download's and on the same connection, so it arrives
    // after any the download sent.
    platform::DesktopNotification lastOne;
    lastOne.summary = QStringLiteral("the last one");
    lastOne.send(window->sessionBus());
    QTRY_VERIFY(!server.notices.isEmpty() && server.notices.constLast().startsWith(lastOne.summary));
    server.notices.removeLast();
    QCOMPARE(server.notices, notices);
}

QTEST_MAIN(DownloadNoticesTest)
#include "DownloadNoticesTest.moc"
