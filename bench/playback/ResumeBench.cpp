// SPDX-License-Identifier: GPL-3.0-or-later

// From 播 放 to sound in a 90-minute WMA lecture (made with ffmpeg's wmav2,
// as the sample library's lectures are): played from its start, and from a
// kept place halfway through, which the player must seek to once it has
// loaded the file. "Sound" is the first position the back end reports past
// the place asked for, while it plays: it has played from there.
//
//     build/bench/playback/resume_bench [runs]
#include "playback/Playback.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kLength = 90LL * 60 * 1000;

bool makeLecture(const QString& path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                  QStringLiteral("-i"),
                  QStringLiteral("sine=frequency=440:sample_rate=22050:duration=%1").arg(kLength / 1000),
                  QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-c:a"), QStringLiteral("wmav2"),
                  QStringLiteral("-b:a"), QStringLiteral("32k"), QStringLiteral("-y"), path});
    return ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0 && QFileInfo(path).size() > 0;
}

// ms from the command until the lecture has played past `startAt`.
double timeToSound(const QString& path, qint64 startAt)
{
    Playback playback;
    playback.setMuted(true);
    QEventLoop loop;
    QElapsedTimer clock;
    double elapsed = -1;
    QObject::connect(&playback, &Playback::positionChanged, &loop, [&](qint64 position) {
        if (elapsed < 0 && playback.playbackState() == Playback::State::Playing && position > startAt) {
            elapsed = clock.nsecsElapsed() / 1e6;
            loop.quit();
        }
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    clock.start();
    playback.setSource(path, {}, startAt);
    loop.exec();
    return elapsed;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("lecture.wma"));
    std::printf("making a %lld-minute WMA lecture with ffmpeg...\n", kLength / 60000);
    if (!makeLecture(path)) {
        std::fprintf(stderr, "ffmpeg could not make the lecture (is ffmpeg installed?)\n");
        return 1;
    }
    std::printf("%s: %lld bytes\n", qPrintable(path), static_cast<long long>(QFileInfo(path).size()));
    std::vector<double> fromStart;
    std::vector<double> fromHalfway;
    for (int i = 0; i < runs; ++i) {
        fromStart.push_back(timeToSound(path, 0));
        fromHalfway.push_back(timeToSound(path, kLength / 2));
    }
    std::printf("runs: %d\nfrom the start:   median %.1f ms (min %.1f, max %.1f)\n", runs, median(fromStart),
                *std::min_element(fromStart.begin(), fromStart.end()),
                *std::max_element(fromStart.begin(), fromStart.end()));
    std::printf("from 45:00 kept:  median %.1f ms (min %.1f, max %.1f)\n", median(fromHalfway),
                *std::min_element(fromHalfway.begin(), fromHalfway.end()),
                *std::max_element(fromHalfway.begin(), fromHalfway.end()));
    return 0;
}
