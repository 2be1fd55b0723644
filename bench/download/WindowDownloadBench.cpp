// SPDX-License-Identifier: GPL-3.0-or-later

// Three large lectures downloading at once, as the window runs them, next to
// curl fetching the same three files from the same loopback server in the
// same run, and one download alone next to an earlier build's:
//
//   curl -o x3           three curl processes at once
//   queue x3, no flush   DownloadQueue, its downloads on their own threads,
//                        durable off
//   curl -o + sync x3    the same, each file flushed ("sync FILE") once whole
//   window x3, durable   the window's own queue: 下 载 pressed in three rows
//   one: ours            the queue with one lecture, without and with the flush
//   one: earlier build   OLD_BENCH (an earlier build's download_bench) run
//                        once, its "ours, no flush" and "ours" lines
//
// Each row: the time from the first start to the last file stored, the
// throughput of all its files together and against its reference (curl's
// for three, the earlier build's for one), the processor time of the
// window's thread for ours (the downloads run on threads of their own), of
// the curl and sync processes for curl, and how the machine's cores were taken meanwhile (all
// of them, from /proc/stat: "busy" working, "steal" kept from this virtual
// machine by its host, 100% being every core). For ours besides: the
// longest the window's thread went without serving its events (flushes and
// renames included), how many times it went 50 ms or more, and the peak
// resident memory of this process (VmHWM, the loopback server's threads
// included), counted afresh for each, with the resident memory at its start.
//
//   window_download_bench [SIZE_MIB] [RUNS] [OLD_BENCH]
//
// SIZE_MIB: each file's size (default 1024). RUNS: how many times the whole
// sequence runs (default 1), every run printed. OLD_BENCH: the path of an
// earlier build's download_bench; left out, or "-", no comparison. The
// files go to the temporary folder (TMPDIR), which must be on a real disk
// with room for three files for the flush to mean anything. Offscreen unless
// DISPLAY or QT_QPA_PLATFORM is set.

#include "DownloadReferences.h"
#include "EventLoopProbe.h"
#include "RunGauges.h"
#include "download/DownloadQueue.h"
#include "platform/widgets/OptionButton.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/MainWindowParts.h"
#include "support/ProcessGauges.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kLectures = DownloadQueue::kConcurrentDownloads;

struct Figures {
    bool ok = false;
    double seconds = 0;
    // The processor time of the window's thread for ours (its downloads run
    // on threads of their own, beside the loopback server's), of the curl
    // (and sync) processes for curl.
    double cpuSeconds = 0;
    // How the machine's cores were taken meanwhile.
    MachineShare machine;
    double longestStallMs = -1;  // not for curl
    int longStalls = 0;
    qint64 peakKiB = -1;
    qint64 startKiB = -1;
};

// The size must match and a sample of bytes across the file must be the
// served pattern, or the timing means nothing.
bool verify(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != size)
        return false;
    const qint64 step = std::max<qint64>(1, size / 997);
    for (qint64 offset = 0; offset < size; offset += step) {
        char byte = 0;
        if (!file.seek(offset) || file.read(&byte, 1) != 1 || byte != TestHttpServer::generatedByte(offset))
            return false;
    }
    return true;
}

bool verifyAndRemove(const QStringList& paths, qint64 size)
{
    bool ok = true;
    for (const QString& path : paths) {
        ok = verify(path, size) && ok;
        QFile::remove(path);
    }
    // What one side left for the disk to write is not the next one's cost.
    ::sync();
    return ok;
}

// Serves this thread's events, as the window's loop does, until done()
// says so at a signal of sender's (or ten minutes have gone).
template <typename Sender, typename Signal>
bool serveEventsUntil(const std::function<bool()>& done, Sender* sender, Signal signal)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(std::chrono::minutes(10), &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

class Bench {
public:
    explicit Bench(qint64 sizeMiB) : size_(sizeMiB * 1048576)
    {
        QString lectureList = QStringLiteral("讲座目录\r\n");
        for (int k = 0; k < kLectures; ++k) {
            const std::string path = "/audio/" + std::to_string(k) + ".wma";
            fixture_.server.serveGenerated(path, size_);
            addresses_ << fixture_.server.url(QString::fromStdString(path));
            scratchPaths_ << scratch_.filePath(QStringLiteral("讲座%1.zip").arg(k));
            lectureList +=
                QStringLiteral("讲座%1%张医生$四十分钟*").arg(k) + addresses_.back() + QStringLiteral("\r\n");
            storedPaths_ << fixture_.favouritesFolder() + QStringLiteral("/讲座%1%张医生$四十分钟.zip").arg(k);
        }
        fixture_.serveCatalogue({QStringLiteral("第一届心血管会议%20131015*")});
        fixture_.server.serveBytes("/lists/20131015.zip", toGb2312(lectureList));
    }

    bool open() { return scratch_.isValid() && fixture_.load() && fixture_.enterConference(); }

    Figures curls(bool sync)
    {
        const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
        const MachineTime machineBefore = machineTime();
        const CurlFigures curl = runCurlsAtOnce(addresses_, scratchPaths_, sync);
        Figures figures;
        figures.seconds = curl.seconds;
        figures.machine = machineShare(machineBefore, machineTime());
        figures.cpuSeconds = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
        figures.ok = verifyAndRemove(scratchPaths_, size_) && curl.ok;
        return figures;
    }

    Figures queue(bool durable, int lectures = kLectures)
    {
        DownloadOptions options;
        options.durable = durable;
        DownloadQueue queue(options);
        int stored = 0;
        QObject::connect(
            &queue, &DownloadQueue::finished,
            [&](const QString&, const QString&, const DownloadResult& r) { stored += r.isComplete() ? 1 : 0; });
        return measure(scratchPaths_.mid(0, lectures), [&] {
            for (int k = 0; k < lectures; ++k)
                queue.enqueue(addresses_[k], scratchPaths_[k], QStringLiteral("讲座%1").arg(k));
            return serveEventsUntil([&] { return queue.isEmpty(); }, &queue, &DownloadQueue::drained)
                && stored == lectures;
        });
    }

    Figures window()
    {
        MainWindow& window = fixture_.window();
        // Once its lectures are stored the window shows the favourites: the
        // lectures are chosen again for the next run's presses.
        platform::OptionButton* lectures = window.viewBar().lecturesOption;
        if (!lectures->isChecked()) {
            QTest::mouseClick(lectures, Qt::LeftButton);
            if (!QTest::qWaitFor([lectures] { return lectures->isChecked(); }))
                return {};
        }
        const std::size_t messagesBefore = fixture_.host.messages.size();
        const Figures figures = measure(storedPaths_, [&] {
            for (int k = 0; k < kLectures; ++k)
                QTest::mouseClick(window.pageList().rows[k].actionButton, Qt::LeftButton);
            DownloadQueue* queue = window.downloadQueue();
            return serveEventsUntil([queue] { return queue->isEmpty(); }, queue, &DownloadQueue::drained)
                && fixture_.host.messages.size() == messagesBefore;
        });
        // The switch comes a moment later; not while the next side runs.
        platform::OptionButton* favourites = window.viewBar().favouritesOption;
        (void)QTest::qWaitFor([favourites] { return favourites->isChecked(); });
        return figures;
    }

private:
    Figures measure(const QStringList& paths, const std::function<bool()>& run)
    {
        Figures figures;
        figures.startKiB = restartPeakCount();
        const double cpuBefore = cpuSeconds(RUSAGE_THREAD);
        const MachineTime machineBefore = machineTime();
        probe_.start();
        QElapsedTimer clock;
        clock.start();
        const bool ran = run();
        figures.seconds = clock.nsecsElapsed() / 1e9;
        probe_.stop();
        figures.machine = machineShare(machineBefore, machineTime());
        figures.cpuSeconds = cpuSeconds(RUSAGE_THREAD) - cpuBefore;
        figures.longestStallMs = probe_.longestMs();
        figures.longStalls = probe_.longGaps();
        figures.peakKiB = peakResidentKiB();
        figures.ok = verifyAndRemove(paths, size_) && ran;
        return figures;
    }

    const qint64 size_;
    MainWindowFixture fixture_;
    QTemporaryDir scratch_;
    EventLoopProbe probe_;
    QStringList addresses_;
    QStringList scratchPaths_;
    QStringList storedPaths_;
};

void printHeading()
{
    std::printf("  %-22s %9s %12s %7s %9s %5s %7s %5s %5s %17s\n", "", "time", "throughput", "vs ref", "stall", ">50ms",
                "cpu", "busy", "steal", "peak RSS (start)");
}

// referenceRate: the reference's MiB/s; 0 for the reference itself, below
// 0 when there is none.
void printRow(const char* name, const Figures& figures, double mib, double referenceRate)
{
    const double rate = mib / figures.seconds;
    std::printf("  %-22s %7.3f s %6.1f MiB/s", name, figures.seconds, rate);
    if (referenceRate > 0)
        std::printf(" %6.2fx", rate / referenceRate);
    else
        std::printf(" %7s", referenceRate == 0 ? "ref" : "-");
    if (figures.longestStallMs >= 0)
        std::printf(" %6.1f ms %5d", figures.longestStallMs, figures.longStalls);
    else
        std::printf(" %9s %5s", "-", "-");
    std::printf(" %5.2f s %4.0f%% %4.0f%%", figures.cpuSeconds, figures.machine.busy * 100,
                figures.machine.steal * 100);
    if (figures.peakKiB >= 0)
        std::printf(" %5.1f MiB (%4.1f)", figures.peakKiB / 1024.0, figures.startKiB / 1024.0);
    std::printf("%s\n", figures.ok ? "" : "  FAILED");
}

// A line of the earlier build's own run: its throughput only.
void printEarlierRow(const char* name, double rate)
{
    std::printf("  %-22s %9s %6.1f MiB/s %7s\n", name, "-", rate, "ref");
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const qint64 sizeMiB = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 1;
    const QString earlierBench = argc > 3 && QByteArray(argv[3]) != "-" ? QString::fromLocal8Bit(argv[3]) : QString();
    if (sizeMiB <= 0 || runs <= 0) {
        std::fprintf(stderr, "usage: %s [SIZE_MIB] [RUNS] [OLD_BENCH]\n", argv[0]);
        return 2;
    }

    Bench bench(sizeMiB);
    if (!bench.open()) {
        std::fprintf(stderr, "the window did not open its conference\n");
        return 1;
    }
    bool allOk = true;
    const double mib = static_cast<double>(sizeMiB);
    for (int run = 1; run <= runs; ++run) {
        // Every second run puts ours first, so neither side always meets
        // the disk the other has just left.
        const bool oursFirst = run % 2 == 0;
        Figures curl, queue, curlSynced, window;
        if (oursFirst) {
            queue = bench.queue(false);
            curl = bench.curls(false);
            window = bench.window();
            curlSynced = bench.curls(true);
        } else {
            curl = bench.curls(false);
            queue = bench.queue(false);
            curlSynced = bench.curls(true);
            window = bench.window();
        }
        const Figures aloneUnflushed = bench.queue(false, 1);
        const Figures aloneDurable = bench.queue(true, 1);
        std::optional<EarlierFigures> earlier;
        if (!earlierBench.isEmpty())
            earlier = runEarlierBench(earlierBench, sizeMiB);

        std::printf("run %d of %d: %d downloads of %lld MiB at once over loopback\n", run, runs, kLectures,
                    static_cast<long long>(sizeMiB));
        printHeading();
        const double all = kLectures * mib;
        printRow("curl -o x3", curl, all, 0);
        printRow("queue x3, no flush", queue, all, all / curl.seconds);
        printRow("curl -o + sync x3", curlSynced, all, 0);
        printRow("window x3, durable", window, all, all / curlSynced.seconds);
        std::printf("one download of %lld MiB\n", static_cast<long long>(sizeMiB));
        const bool compared = earlier && earlier->ok;
        if (compared)
            printEarlierRow("earlier, no flush", earlier->unflushedMiBPerSecond);
        printRow("ours alone, no flush", aloneUnflushed, mib, compared ? earlier->unflushedMiBPerSecond : -1);
        if (compared)
            printEarlierRow("earlier, durable", earlier->durableMiBPerSecond);
        printRow("ours alone, durable", aloneDurable, mib, compared ? earlier->durableMiBPerSecond : -1);
        if (compared)
            std::printf("  (the earlier build's run: its own server and process, its curl -o %.1f MiB/s)\n",
                        earlier->curlMiBPerSecond);
        std::fflush(stdout);
        allOk = allOk && curl.ok && queue.ok && curlSynced.ok && window.ok && aloneUnflushed.ok && aloneDurable.ok
            && (!earlier || earlier->ok);
    }
    return allOk ? 0 : 1;
}
