#include "shell/HostOperations.h"

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
    const QString folder = ProgramFolder();
    QVERIFY(!folder.endsWith(u'/'));
    QVERIFY(QFileInfo::exists(folder + u'/' + QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
}

void HostOperationsTest::replacementsLastWhileTheirGuardLives()
{
    int outerEndings = 0;
    ScopedHostReplacements outer({[](const QString&, int) { return 1; }, [&] { ++outerEndings; }, {}});
    {
        int innerAnswers = 0;
        ScopedHostReplacements inner({[&](const QString&, int) { return ++innerAnswers, 6; }, [] {}, {}});
        QCOMPARE(ShowMessage(QStringLiteral("x"), 52), 6);
        EndProgram();
        QCOMPARE(innerAnswers, 1);
        QCOMPARE(outerEndings, 0);
    }
    QCOMPARE(ShowMessage(QStringLiteral("x"), 48), 1);
    EndProgram();
    QCOMPARE(outerEndings, 1);
}

QTEST_GUILESS_MAIN(HostOperationsTest)
#include "HostOperationsTest.moc"
