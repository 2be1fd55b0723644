// SPDX-License-Identifier: GPL-3.0-or-later

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
    using Buttons = QMessageBox::StandardButtons;
    platform::ScopedHostReplacements outer(
        {[](const QString&, QMessageBox::Icon, Buttons) { return QMessageBox::Ok; }, [&] { ++outerEndings; }, {}});
    {
        int innerAnswers = 0;
        platform::ScopedHostReplacements inner(
            {[&](const QString&, QMessageBox::Icon, Buttons) { return ++innerAnswers, QMessageBox::Yes; }, [] {}, {}});
        QCOMPARE(platform::showMessage(QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Warning,
                                       QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::Yes);
        platform::endProgram();
        QCOMPARE(innerAnswers, 1);
        QCOMPARE(outerEndings, 0);
    }
    QCOMPARE(platform::showMessage(QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Warning, QMessageBox::Ok),
             QMessageBox::Ok);
    platform::endProgram();
    QCOMPARE(outerEndings, 1);
}

QTEST_GUILESS_MAIN(HostOperationsTest)
#include "HostOperationsTest.moc"
