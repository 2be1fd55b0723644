// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoak.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// A short run of the download soak (bench/download/download_soak runs the
// long one): what a user relies on holds after every end of a download in
// the queue and every restart, whatever the server does.
class DownloadSoakTest : public QObject {
    Q_OBJECT

private slots:
    void invariantsHoldWhateverTheServerDoes_data();
    void invariantsHoldWhateverTheServerDoes();
};

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitizerBuild = true;
#else
constexpr bool kSanitizerBuild = false;
#endif
#else
constexpr bool kSanitizerBuild = false;
#endif

void DownloadSoakTest::invariantsHoldWhateverTheServerDoes_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("downloads");
    // A run that meets every fault, runs three at once, cancels waiting and
    // running downloads, presses again while a cancel unwinds, is refused,
    // resumes, and closes the program with downloads in the queue, whose
    // kept bytes are then resumed.
    QTest::addColumn<bool>("exercisesEverything");
    QTest::newRow("seed 11") << quint64(11) << 300 << true;
    // A new seed each run, in the row's name, so that a failure can be run
    // again with "download_soak 50 SEED".
    const quint64 seed = QRandomGenerator::system()->generate64();
    QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << 50 << false;
}

void DownloadSoakTest::invariantsHoldWhateverTheServerDoes()
{
    QFETCH(quint64, seed);
    QFETCH(int, downloads);
    QFETCH(bool, exercisesEverything);
    const QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    DownloadSoak::Options options;
    options.downloads = downloads;
    options.seed = seed;
    options.folder = QDir(scratch.path()).filePath(QStringLiteral("我的收藏"));
    QVERIFY(QDir().mkpath(options.folder));

    const DownloadSoakFigures figures = DownloadSoak(options).run();
    qInfo().noquote() << figures.text();
    QVERIFY2(figures.held(), qPrintable(figures.violations.join(u'\n')));
    QVERIFY(figures.stored > 0);
    // Which fault a request meets, and whether a press lands while another
    // runs, follow the machine's speed. The seed is chosen to exercise
    // everything at the speed of a normal build; a sanitizer build, several
    // times slower, still checks every invariant above.
    if (!exercisesEverything || kSanitizerBuild)
        return;
    for (int kind = 0; kind < ChaosServer::kFaultKinds; ++kind)
        QVERIFY2(figures.server.faults[size_t(kind)] > 0, ChaosServer::faultName(ChaosServer::Fault(kind)));
    QCOMPARE(figures.mostRunning, 3);
    QVERIFY(figures.cancelledWaiting > 0);
    QVERIFY(figures.cancelledRunning > 0);
    QVERIFY(figures.pressedAgainAtOnce > 0);
    QVERIFY(figures.refused > 0);
    QVERIFY(figures.restartsInFlight > 0);
    QVERIFY(figures.resumedAfterRestart > 0);
    QVERIFY(figures.storedAfterResuming > 0);
}

QTEST_GUILESS_MAIN(DownloadSoakTest)
#include "DownloadSoakTest.moc"
