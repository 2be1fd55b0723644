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
    using Answer = platform::MessageAnswer;
    QList<QMessageBox::StandardButton> answers;
    const auto ask = [&answers](Buttons buttons) {
        platform::showMessage(QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Warning, buttons, nullptr,
                              [&answers](QMessageBox::StandardButton pressed) { answers << pressed; });
    };
    platform::ScopedHostReplacements outer(
        {[](const QString&, QMessageBox::Icon, Buttons, const Answer& answer) { answer(QMessageBox::Ok); },
         [&] { ++outerEndings; },
         {}});
    {
        int innerAnswers = 0;
        platform::ScopedHostReplacements inner({[&](const QString&, QMessageBox::Icon, Buttons, const Answer& answer) {
                                                    ++innerAnswers;
                                                    answer(QMessageBox::Yes);
                                                },
                                                [] {},
                                                {}});
        ask(QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(answers, QList{QMessageBox::Yes});
        platform::endProgram();
        QCOMPARE(innerAnswers, 1);
        QCOMPARE(outerEndings, 0);
    }
    ask(QMessageBox::Ok);
    QCOMPARE(answers, (QList{QMessageBox::Yes, QMessageBox::Ok}));
    platform::endProgram();
    QCOMPARE(outerEndings, 1);
}

QTEST_GUILESS_MAIN(HostOperationsTest)
#include "HostOperationsTest.moc"
