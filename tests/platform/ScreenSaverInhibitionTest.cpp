// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/ScreenSaverInhibition.h"

#include "platform/host/SessionBus.h"
#include "support/ScreenSaverStandIn.h"

#include <QtTest>

#include <memory>

using platform::ScreenSaverInhibition;
using platform::SessionBus;

// The hold as the screen saver service sees it, whatever order the
// program's requests, the session bus and the service's answers come in.
class ScreenSaverInhibitionTest : public QObject {
    Q_OBJECT

private slots:
    void everyHoldIsLetGoOnce_data();
    void everyHoldIsLetGoOnce();
};

void ScreenSaverInhibitionTest::everyHoldIsLetGoOnce_data()
{
    // Steps: hold, release, destroy, answer (wait until the service's answer
    // is in and the hold kept), connect (the session bus comes; first of all
    // when not given).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("calls");
    const QString held = QStringLiteral("Inhibit 42 Kardelo 播放");
    const QStringList heldAndLetGo{held, "UnInhibit 42"};
    QTest::newRow("held, then let go") << QStringList{"hold", "answer", "release"} << heldAndLetGo;
    QTest::newRow("held, then gone") << QStringList{"hold", "answer", "destroy"} << heldAndLetGo;
    QTest::newRow("let go before the answer") << QStringList{"hold", "release"} << heldAndLetGo;
    QTest::newRow("gone before the answer") << QStringList{"hold", "destroy"} << heldAndLetGo;
    QTest::newRow("asked twice") << QStringList{"hold", "hold", "answer"} << QStringList{held};
    QTest::newRow("let go and asked again before the answer")
        << QStringList{"hold", "release", "hold", "answer"} << QStringList{held};
    QTest::newRow("held twice over") << QStringList{"hold", "answer", "release", "hold", "answer"}
                                     << heldAndLetGo + QStringList{"Inhibit 43 Kardelo 播放"};
    QTest::newRow("asked before the bus is there")
        << QStringList{"hold", "connect", "answer", "release"} << heldAndLetGo;
    QTest::newRow("let go before the bus is there")
        << QStringList{"hold", "release", "connect", "hold", "answer"} << QStringList{held};
}

void ScreenSaverInhibitionTest::everyHoldIsLetGoOnce()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, calls);
    ScreenSaverStandIn screenSaver;
    QVERIFY(screenSaver.registered);
    SessionBus bus;
    auto inhibition = std::make_unique<ScreenSaverInhibition>(QStringLiteral("Kardelo"), bus);
    if (!steps.contains(u"connect"))
        steps.prepend(QStringLiteral("connect"));
    for (const QString& step : steps) {
        if (step == u"connect") {
            bus.start();
            QTRY_VERIFY(bus.isConnected());
        } else if (step == u"hold") {
            inhibition->hold(QStringLiteral("播放"));
        } else if (step == u"release") {
            inhibition->release();
        } else if (step == u"destroy") {
            inhibition.reset();
        } else {
            QTRY_VERIFY(inhibition->isHeld());
        }
    }
    QTRY_COMPARE(screenSaver.calls, calls);
}

QTEST_MAIN(ScreenSaverInhibitionTest)
#include "ScreenSaverInhibitionTest.moc"
