// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/TerminationRequests.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

class TerminationRequestsTest : public QObject {
    Q_OBJECT

private slots:
    void signalBecomesARequestOnTheEventLoop_data();
    void signalBecomesARequestOnTheEventLoop();
    void handlersInPlaceBeforeAreBackAfterwards();
};

namespace {

volatile std::sig_atomic_t caughtByPreviousHandler = 0;

void previousHandler(int signalNumber)
{
    caughtByPreviousHandler = signalNumber;
}

}  // namespace

void TerminationRequestsTest::signalBecomesARequestOnTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TerminationRequestsTest::signalBecomesARequestOnTheEventLoop()
{
    QFETCH(int, signalNumber);
    // Each row takes the handlers over afresh: the one before gave them back.
    platform::TerminationRequests requests;
    QSignalSpy spy(&requests, &platform::TerminationRequests::requested);
    std::raise(signalNumber);
    // Nothing is run inside the handler itself.
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
}

void TerminationRequestsTest::handlersInPlaceBeforeAreBackAfterwards()
{
    std::signal(SIGHUP, previousHandler);
    {
        platform::TerminationRequests requests;
        QSignalSpy spy(&requests, &platform::TerminationRequests::requested);
        std::raise(SIGHUP);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(caughtByPreviousHandler, 0);
    }
    std::raise(SIGHUP);
    QCOMPARE(caughtByPreviousHandler, SIGHUP);
    std::signal(SIGHUP, SIG_DFL);
}

QTEST_GUILESS_MAIN(TerminationRequestsTest)
#include "TerminationRequestsTest.moc"
