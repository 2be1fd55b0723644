#include "platform/host/HostOperations.h"

#include <QCoreApplication>
#include <QDir>
#include <QtTest>

class HostOperationsTest : public QObject {
    Q_OBJECT

private slots:
    void programFolderHoldsTheProgramWithoutTrailingSeparator();
    void replacementsLastWhileTheirGuardLives();
};

void HostOperationsTest::programFolderHoldsTheProgramWithoutTrailingSeparator()
{
    const QString folder = platform::programFolder();
    QVERIFY(!folder.endsWith(u'/'));
    QVERIFY(QFileInfo::exists(folder + u'/' + QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
}

void HostOperationsTest::replacementsLastWhileTheirGuardLives()
{
    int outerEndings = 0;
    platform::ScopedHostReplacements outer({[](const QString&, int) { return 1; }, [&] { ++outerEndings; }, {}});
    {
        int innerAnswers = 0;
        platform::ScopedHostReplacements inner({[&](const QString&, int) { return ++innerAnswers, 6; }, [] {}, {}});
        QCOMPARE(platform::showMessage(QStringLiteral("x"), 52), 6);
        platform::endProgram();
        QCOMPARE(innerAnswers, 1);
        QCOMPARE(outerEndings, 0);
    }
    QCOMPARE(platform::showMessage(QStringLiteral("x"), 48), 1);
    platform::endProgram();
    QCOMPARE(outerEndings, 1);
}

QTEST_GUILESS_MAIN(HostOperationsTest)
#include "HostOperationsTest.moc"
