// SPDX-License-Identifier: GPL-3.0-or-later

// A lecture playing in the window while lectures are stored beside it, on a
// disk whose durable flush takes 2 s: does the sound go on, and does the
// window's thread keep serving its events? And when the window's thread
// itself is held up, does the sound go on?
//
// The slow disk is bench/support/SlowSync, which this program preloads into
// itself: every fsync and fdatasync, on any thread, waits 2 s first. The
// lecture, stored in the favourites and played with 播 放, is a steady tone,
// heard through a PulseAudio server of the program's own whose null sink's
// monitor is recorded (tests/support/PrivateSoundServer). A tone is never
// silent by itself, so every stretch of silence between its first and last
// sound is the player starved of data: the sound server played nothing for
// want of samples. Meanwhile 下 载 is pressed on LECTURES lectures of
// SIZE_MIB each (three download at once, each stored durably), and a 1 ms
// timer on the window's thread measures how long it went without serving
// its events. Halfway through, the window's thread flushes a small file of
// its own: the stand-in for any write of the window's that waits behind
// the journal a flush holds (and for any other stall of it). SlowSync
// counts the flushes it held on the window's thread and on the others,
// which tells whose flush a stall was.
//
//   playing_while_storing_bench [SECONDS] [LECTURES] [SIZE_MIB]
//
// SECONDS: how long it listens once the lecture plays (30). LECTURES: 1 to 8
// (6). SIZE_MIB: each lecture's size (64). KARDELO_SLOW_SYNC_MS sets the
// hold (2000). Offscreen unless DISPLAY or QT_QPA_PLATFORM is set.

#include "download/DownloadQueue.h"
#include "platform/widgets/OptionButton.h"
#include "playback/Playback.h"
#include "support/MainWindowFixture.h"
#include "support/MainWindowParts.h"
#include "support/PrivateSoundServer.h"
#include "support/ToneWav.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <vector>

#include <unistd.h>

namespace {

using HeldCount = int (*)(int);

HeldCount slowSyncHeld()
{
    return reinterpret_cast<HeldCount>(dlsym(RTLD_DEFAULT, "slowSyncHeld"));
}

// Runs this program again with the slow disk preloaded; returns only when
// that cannot be done.
int runPreloaded(char* argv[])
{
    const QByteArray module = KARDELO_SLOW_SYNC_MODULE;
    const QByteArray preloaded = qgetenv("LD_PRELOAD");
    if (preloaded.contains(module)) {
        std::fprintf(stderr, "%s is preloaded but offers no slowSyncHeld\n", module.constData());
        return 1;
    }
    qputenv("LD_PRELOAD", preloaded.isEmpty() ? module : module + ' ' + preloaded);
    execv("/proc/self/exe", argv);
    std::perror("execv");
    return 1;
}

// What the sink's monitor heard, in 10 ms blocks.
struct Sound {
    double recordedSeconds = 0;
    double silentMs = 0;  // between the first and the last sound
    double longestSilenceMs = 0;
    std::vector<std::pair<double, double>> longSilences;  // start s, length ms; 50 ms and over
};

Sound listen(const QList<qint16>& samples)
{
    constexpr int kBlock = PrivateSoundServer::kSampleRate / 100;
    // The tone reaches the sink at an amplitude near 1000 at the player's
    // half volume; silence is near 0.
    constexpr double kLoud = 100;
    std::vector<bool> loud;
    for (qsizetype at = 0; at + kBlock <= samples.size(); at += kBlock) {
        double sum = 0;
        for (qsizetype i = at; i < at + kBlock; ++i)
            sum += std::abs(samples[i]);
        loud.push_back(sum / kBlock > kLoud);
    }
    Sound sound;
    sound.recordedSeconds = samples.size() / double(PrivateSoundServer::kSampleRate);
    const auto first = std::find(loud.begin(), loud.end(), true);
    const auto last = std::find(loud.rbegin(), loud.rend(), true).base();
    for (auto it = first; it < last;) {
        const auto end = std::find(it, last, true);
        const double ms = (end - it) * 10.0;
        sound.silentMs += ms;
        sound.longestSilenceMs = std::max(sound.longestSilenceMs, ms);
        if (ms >= 50)
            sound.longSilences.emplace_back((it - loud.begin()) / 100.0, ms);
        it = std::find(end, last, false);
    }
    return sound;
}

// A precise 1 ms timer on the window's thread: a gap between two of its
// ticks is a time the thread served no events. The long ones are kept with
// when they began, to be set beside the silences.
class GapProbe {
public:
    static constexpr qint64 kLongNs = 50'000'000;

    GapProbe()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { note(); });
    }
    void start()
    {
        clock_.start();
        lastTickNs_ = 0;
        timer_.start();
    }
    void stop()
    {
        timer_.stop();
        note();
    }
    double secondsSinceStart() const { return clock_.nsecsElapsed() / 1e9; }
    double longestMs() const { return longestNs_ / 1e6; }
    // Start s, length ms.
    const std::vector<std::pair<double, double>>& longGaps() const { return longGaps_; }

private:
    void note()
    {
        const qint64 now = clock_.nsecsElapsed();
        const qint64 gap = now - lastTickNs_;
        longestNs_ = std::max(longestNs_, gap);
        if (gap >= kLongNs)
            longGaps_.emplace_back(lastTickNs_ / 1e9, gap / 1e6);
        lastTickNs_ = now;
    }

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastTickNs_ = 0;
    qint64 longestNs_ = 0;
    std::vector<std::pair<double, double>> longGaps_;
};

// Serves the window's events, as its own loop does, for `ms`.
void serveEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool choose(platform::OptionButton* option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    return QTest::qWaitFor([option] { return option->isChecked(); }, 60000);
}

}  // namespace

int main(int argc, char* argv[])
{
    const HeldCount held = slowSyncHeld();
    if (!held)
        return runPreloaded(argv);
    // The sound server and its recorder flush on disks of their own.
    qunsetenv("LD_PRELOAD");
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 30;
    const int lectures = argc > 2 ? QByteArray(argv[2]).toInt() : 6;
    const qint64 sizeMiB = argc > 3 ? QByteArray(argv[3]).toLongLong() : 64;
    if (seconds <= 0 || lectures < 1 || lectures > 8 || sizeMiB <= 0) {
        std::fprintf(stderr, "usage: %s [SECONDS] [LECTURES 1-8] [SIZE_MIB]\n", argv[0]);
        return 2;
    }

    PrivateSoundServer sound;
    if (!sound.failure().isEmpty()) {
        std::fprintf(stderr, "no sound server: %s\n", qPrintable(sound.failure()));
        return 1;
    }
    MainWindowFixture fixture;
    fixture.serveCatalogue({QStringLiteral("第一届心血管会议%20131015*")});
    QStringList titlesAndPaths;
    for (int k = 0; k < lectures; ++k) {
        const std::string path = "/audio/" + std::to_string(k) + ".wma";
        fixture.server.serveGenerated(path, sizeMiB * 1048576);
        titlesAndPaths << QStringLiteral("讲座%1").arg(k) << QString::fromStdString(path);
    }
    // Long enough to outlast the listening and the start.
    QDir().mkpath(fixture.favouritesFolder());
    if (!writeTone(fixture.favouritesFolder() + QStringLiteral("/长音%张医生$一分钟.zip"), (seconds + 60) * 1000)) {
        std::fprintf(stderr, "could not write the tone\n");
        return 1;
    }
    MainWindow* window = fixture.load();
    if (!window || !fixture.enterConferenceWith(titlesAndPaths)) {
        std::fprintf(stderr, "the window did not open its conference\n");
        return 1;
    }

    // 播 放 flushes the play-rename record on the window's thread: its
    // stalls come before the listening starts.
    Playback& playback = window->playback();
    if (!choose(window->viewBar().favouritesOption)) {
        std::fprintf(stderr, "the favourites did not show\n");
        return 1;
    }
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    if (!QTest::qWaitFor(
            [&] { return playback.playbackState() == Playback::State::Playing && playback.position() > 1000; },
            60000)) {
        std::fprintf(stderr, "the lecture did not play\n");
        return 1;
    }
    if (!choose(window->viewBar().lecturesOption)) {
        std::fprintf(stderr, "the lectures did not show\n");
        return 1;
    }

    int stored = 0;
    QObject::connect(
        window->downloadQueue(), &DownloadQueue::finished,
        [&](const QString&, const QString&, const DownloadResult& result) { stored += result.isComplete() ? 1 : 0; });
    const int heldOnWindow = held(1);
    const int heldElsewhere = held(0);
    GapProbe probe;
    sound.startRecording();
    probe.start();
    for (int k = 0; k < lectures; ++k)
        QTest::mouseClick(window->pageList().rows[k].actionButton, Qt::LeftButton);
    QFile own(QDir(fixture.programFolder()).filePath(QStringLiteral("window's own.txt")));
    double ownAt = -1;
    bool ownFlushed = false;
    QTimer::singleShot(seconds * 500, [&] {
        ownAt = probe.secondsSinceStart();
        ownFlushed =
            own.open(QIODevice::WriteOnly) && own.write("kept\n") == 5 && own.flush() && ::fdatasync(own.handle()) == 0;
        own.close();
    });
    serveEvents(seconds * 1000);
    probe.stop();
    const Sound heard = listen(sound.stopRecording());
    const int storedInTime = stored;
    const int windowFlushes = held(1) - heldOnWindow;
    const int otherFlushes = held(0) - heldElsewhere;
    const bool stillPlaying = playback.playbackState() == Playback::State::Playing;

    std::printf("a tone played for %d s while %d lectures of %lld MiB were stored, every flush held %s ms\n", seconds,
                lectures, static_cast<long long>(sizeMiB),
                qEnvironmentVariableIsEmpty("KARDELO_SLOW_SYNC_MS") ? "2000"
                                                                    : qgetenv("KARDELO_SLOW_SYNC_MS").constData());
    std::printf("  window's event loop: longest gap %.1f ms, %zu gaps of 50 ms or more\n", probe.longestMs(),
                probe.longGaps().size());
    for (const auto& [start, ms] : probe.longGaps())
        std::printf("    no events served from %.2f s for %.0f ms%s\n", start, ms,
                    std::abs(start - ownAt) < 0.05 ? " (the window's own flush)" : "");
    std::printf("  sound: %.1f s recorded, silent %.0f ms between its first and last sound, longest silence %.0f ms\n",
                heard.recordedSeconds, heard.silentMs, heard.longestSilenceMs);
    for (const auto& [start, ms] : heard.longSilences)
        std::printf("    silent at %.2f s for %.0f ms\n", start, ms);
    std::printf("  flushes held: %d on the window's thread (%s), %d on others;"
                " lectures stored meanwhile: %d of %d%s\n",
                windowFlushes, ownFlushed ? "its own among them" : "its own FAILED", otherFlushes, storedInTime,
                lectures, stillPlaying ? "" : "; the lecture STOPPED");
    std::fflush(stdout);

    // Every download ends before the window goes.
    DownloadQueue* queue = window->downloadQueue();
    (void)QTest::qWaitFor([queue] { return queue->isEmpty(); }, 300000);
    return stillPlaying ? 0 : 1;
}
