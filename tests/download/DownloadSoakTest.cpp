// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoak.h"

#include <QRandomGenerator>
#include <QSet>
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
    // Which fault a request meets, and whether a press lands while another
    // runs, follow the machine's speed. The seed is chosen to exercise
    // everything at the speed of a normal build; on a busy machine a run
    // that missed something is followed by the next seeds', at most three
    // runs, and what they exercised together must be everything. A
    // sanitizer build, several times slower, still checks every invariant.
    QSet<QString> missed;
    for (int run = 0; run < 3; ++run) {
        DownloadSoak::Options options;
        options.downloads = downloads;
        options.seed = seed + quint64(run);
        options.folder = QDir(scratch.path()).filePath(QStringLiteral("我的收藏%1").arg(run));
        QVERIFY(QDir().mkpath(options.folder));

        const DownloadSoakFigures figures = DownloadSoak(options).run();
        qInfo().noquote() << figures.text();
        QVERIFY2(figures.held(), qPrintable(figures.violations.join(u'\n')));
        QVERIFY(figures.stored > 0);
        if (!exercisesEverything || kSanitizerBuild)
            return;
        QStringList notNow;
        for (int kind = 0; kind < ChaosServer::kFaultKinds; ++kind) {
            if (figures.server.faults[size_t(kind)] == 0)
                notNow << QString::fromLatin1(ChaosServer::faultName(ChaosServer::Fault(kind)));
        }
        const std::pair<const char*, bool> exercised[] = {
            {"three at once", figures.mostRunning == 3},
            {"a waiting one cancelled", figures.cancelledWaiting > 0},
            {"a running one cancelled", figures.cancelledRunning > 0},
            {"pressed again at once", figures.pressedAgainAtOnce > 0},
            {"refused", figures.refused > 0},
            {"a restart in flight", figures.restartsInFlight > 0},
            {"resumed after a restart", figures.resumedAfterRestart > 0},
            {"stored after resuming", figures.storedAfterResuming > 0},
        };
        for (const auto& [what, done] : exercised) {
            if (!done)
                notNow << QString::fromLatin1(what);
        }
        // Missed only while no run so far has met it.
        const QSet<QString> notNowSet(notNow.cbegin(), notNow.cend());
        missed = run == 0 ? notNowSet : missed.intersect(notNowSet);
        if (missed.isEmpty())
            return;
        qInfo().noquote() << "not exercised yet:" << missed.values().join(QStringLiteral(", "));
    }
    QVERIFY2(missed.isEmpty(), qPrintable(missed.values().join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(DownloadSoakTest)
#include "DownloadSoakTest.moc"
