// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/ScreenSaverInhibition.h"

#include "support/ScreenSaverStandIn.h"

#include <QtTest>

#include <memory>

using platform::ScreenSaverInhibition;

// The hold as the screen saver service sees it, whatever order the
// program's requests and the service's answers come in.
class ScreenSaverInhibitionTest : public QObject {
    Q_OBJECT

private slots:
    void everyHoldIsLetGoOnce_data();
    void everyHoldIsLetGoOnce();
};

void ScreenSaverInhibitionTest::everyHoldIsLetGoOnce_data()
{
    // Steps: hold, release, destroy, answer (wait until the service's answer
    // is in and the hold kept).
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
}

void ScreenSaverInhibitionTest::everyHoldIsLetGoOnce()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, calls);
    ScreenSaverStandIn screenSaver;
    QVERIFY(screenSaver.registered);
    auto inhibition = std::make_unique<ScreenSaverInhibition>(QStringLiteral("Kardelo"));
    for (const QString& step : steps) {
        if (step == u"hold")
            inhibition->hold(QStringLiteral("播放"));
        else if (step == u"release")
            inhibition->release();
        else if (step == u"destroy")
            inhibition.reset();
        else
            QTRY_VERIFY(inhibition->isHeld());
    }
    QTRY_COMPARE(screenSaver.calls, calls);
}

QTEST_MAIN(ScreenSaverInhibitionTest)
#include "ScreenSaverInhibitionTest.moc"
