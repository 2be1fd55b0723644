// SPDX-License-Identifier: GPL-3.0-or-later

// Throughput and peak memory of a lecture download over loopback, next to
// the curl command-line tool fetching the same file in the same run:
//
//   curl -o             curl writing the file
//   curl -o + sync      the same, then the file flushed to disk ("sync FILE")
//   libcurl alone       libcurl in this process writing each block it hands
//                       over: the floor for any client built on it
//   ours, no flush      DownloadJob with the durable flush turned off
//   ours                DownloadJob as the program runs it: data flushed
//                       before the file is named, the folder after
//   ours, resume half   the second half only, joined to a first half kept
//                       from a transfer cut off in the middle
//
//   download_bench [SIZE] [RUNS]
//
// SIZE in bytes, or with a K, M or G suffix (powers of 1024); default 1G.
// RUNS: how many times each side downloads the file (default 3); the best
// time of each side is compared. The file is written to a temporary folder
// (TMPDIR), which must be on a real disk for the flush to mean anything. Run
// it once per size to compare peak memory, e.g. "download_bench 64M" and
// "download_bench 1G".

#include "download/DownloadJob.h"
#include "platform/net/NetworkAccess.h"
#include "support/JobRun.h"
#include "support/ProcessGauges.h"
#include "support/TestHttpServer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t parseSize(const char* text)
{
    char* end = nullptr;
    std::int64_t value = std::strtoll(text, &end, 10);
    switch (end && *end ? *end : '\0') {
    case 'G':
    case 'g':
        value <<= 30;
        break;
    case 'M':
    case 'm':
        value <<= 20;
        break;
    case 'K':
    case 'k':
        value <<= 10;
        break;
    default:
        break;
    }
    return value;
}

// The size must match and a sample of bytes across the file must be the
// served pattern, or the timing means nothing.
bool verify(const QString& path, std::int64_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != size)
        return false;
    const std::int64_t step = std::max<std::int64_t>(1, size / 997);
    for (std::int64_t offset = 0; offset < size; offset += step) {
        char byte = 0;
        if (!file.seek(offset) || file.read(&byte, 1) != 1 || byte != TestHttpServer::generatedByte(offset))
            return false;
    }
    if (size > 0) {
        char last = 0;
        if (!file.seek(size - 1) || file.read(&last, 1) != 1 || last != TestHttpServer::generatedByte(size - 1))
            return false;
    }
    return true;
}

size_t writeBlock(char* data, size_t size, size_t count, void* file)
{
    const size_t bytes = size * count;
    return ::write(*static_cast<int*>(file), data, bytes) == static_cast<ssize_t>(bytes) ? bytes : 0;
}

// The same buffer as the engine's, and nothing else between the socket
// and the file.
bool fetchWithLibcurlAlone(const QString& url, const QString& path)
{
    int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0)
        return false;
    CURL* handle = curl_easy_init();
    if (!handle) {
        ::close(file);
        return false;
    }
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(handle, CURLOPT_URL, address.constData());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &writeBlock);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 1024L * 1024L);
    const bool ok = curl_easy_perform(handle) == CURLE_OK;
    curl_easy_cleanup(handle);
    return ::close(file) == 0 && ok;
}

// As the program runs it: an event loop that sleeps only while there is
// nothing to do (runToEnd's waits sleep 10 ms between passes, which would
// leave the socket idle and time the sleeps).
bool runInEventLoop(DownloadJob& job)
{
    QEventLoop loop;
    QObject::connect(&job, &DownloadJob::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::chrono::minutes(10), &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return job.isFinished() && job.result().isComplete();
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const std::int64_t size = argc > 1 ? parseSize(argv[1]) : (std::int64_t(1) << 30);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (size <= 0) {
        std::fprintf(stderr, "usage: %s [SIZE[K|M|G]] [RUNS]\n", argv[0]);
        return 2;
    }

    TestHttpServer server;
    server.serveGenerated("/lecture.wma", size);
    const QString url = server.url("/lecture.wma");
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString curlTarget = dir.filePath("curl.zip");
    const QString ourTarget = dir.filePath(QStringLiteral("我的收藏-讲座.zip"));
    const std::string curlCommand = "curl -s -o '" + curlTarget.toStdString() + "' '" + url.toStdString() + "'";
    const std::string syncCommand = curlCommand + " && sync '" + curlTarget.toStdString() + "'";
    const qint64 baselineKiB = peakResidentKiB();

    enum Side { CurlPlain, CurlSynced, LibcurlAlone, OursUnflushed, Ours, OursResumed, kSides };
    const char* const names[kSides] = {"curl -o",        "curl -o + sync", "libcurl alone",
                                       "ours, no flush", "ours",           "ours, resume half"};
    std::vector<Clock::duration> best(kSides, Clock::duration::max());
    platform::NetworkAccess network;
    for (int run = 0; run < runs; ++run) {
        // Rotate the order so no side always meets a warm or a cold cache.
        for (int turn = 0; turn < kSides; ++turn) {
            const auto side = static_cast<Side>((turn + run) % kSides);
            const bool curlSide = side == CurlPlain || side == CurlSynced;
            if (side == OursResumed) {
                // Not timed: the first half arrives and the connection drops
                // (logged as a download that failed, its bytes kept).
                server.serveGenerated("/lecture.wma", size, size / 2);
                DownloadJob cut(network, url, ourTarget);
                runToEnd(cut);
                server.serveGenerated("/lecture.wma", size);
                // By the time anyone resumes, the kernel has long written the
                // kept half out: the timed flush is of the second half only.
                ::sync();
            }
            DownloadOptions options;
            options.durable = side != OursUnflushed;
            const auto start = Clock::now();
            bool ok = false;
            if (curlSide) {
                ok = std::system((side == CurlSynced ? syncCommand : curlCommand).c_str()) == 0;
            } else if (side == LibcurlAlone) {
                ok = fetchWithLibcurlAlone(url, ourTarget);
            } else {
                DownloadJob download(network, url, ourTarget, options);
                ok = runInEventLoop(download);
            }
            const auto took = Clock::now() - start;
            const QString& path = curlSide ? curlTarget : ourTarget;
            if (!ok || !verify(path, size)) {
                std::fprintf(stderr, "%s: download failed or wrong\n", names[side]);
                return 1;
            }
            if (side == OursResumed && server.requests().back().header("Range").empty()) {
                std::fprintf(stderr, "%s: the whole file was asked for again\n", names[side]);
                return 1;
            }
            QFile::remove(path);
            best[side] = std::min(best[side], took);
        }
    }

    const double mib = static_cast<double>(size) / (1024.0 * 1024.0);
    std::printf("download of %.0f MiB over loopback, best of %d runs each\n", mib, runs);
    for (int side = 0; side < kSides; ++side) {
        const double secs = seconds(best[side]);
        const double sent = side == OursResumed ? mib - static_cast<double>(size / 2) / (1024.0 * 1024.0) : mib;
        std::printf("  %-18s %9.1f MiB/s  %7.3f s  %5.2fx the time of curl -o%s\n", names[side], sent / secs, secs,
                    secs / seconds(best[CurlPlain]), side == OursResumed ? " (half the bytes)" : "");
    }
    std::printf("  durable flush: ours %.3f s against %.3f s without; curl's sync adds %.3f s\n", seconds(best[Ours]),
                seconds(best[OursUnflushed]), seconds(best[CurlSynced]) - seconds(best[CurlPlain]));
    std::printf("  resume of the second half: %.3f s against %.3f s for the whole (%.2fx)\n",
                seconds(best[OursResumed]), seconds(best[Ours]), seconds(best[OursResumed]) / seconds(best[Ours]));
    std::printf("  peak memory       %9.1f MiB  VmHWM of this process, server included"
                " (%.1f MiB before the downloads)\n",
                peakResidentKiB() / 1024.0, baselineKiB / 1024.0);
    return 0;
}
