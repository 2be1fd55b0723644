// SPDX-License-Identifier: GPL-3.0-or-later

// A chaos soak of the download queue: many downloads, a few at once, from a
// loopback server that cuts, resets, stalls, trickles, changes and removes
// lectures and answers with the wrong status, range or length, with cancels
// and restarts of the program in between, after which every stored lecture
// must be whole, the partial files few and resumed, and the descriptors and
// memory back where they were (DownloadSoak says exactly what).
//
//   download_soak [DOWNLOADS] [SEED]
//
// DOWNLOADS: how many lectures a user sets out to store (default 1000).
// SEED: every choice of the run, the server's faults included; a new one
// each run by default, printed first, so a run that broke an invariant can
// be run again. The favourites folder is a temporary folder (TMPDIR).
// Exits with 1 when an invariant broke.

#include "support/DownloadSoak.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    DownloadSoak::Options options;
    options.downloads = argc > 1 ? std::atoi(argv[1]) : 1000;
    options.seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : QRandomGenerator::system()->generate64();
    if (options.downloads < 1) {
        std::fprintf(stderr, "usage: %s [DOWNLOADS] [SEED]\n", argv[0]);
        return 2;
    }
    const QTemporaryDir scratch;
    options.folder = QDir(scratch.path()).filePath(QStringLiteral("我的收藏"));
    if (!scratch.isValid() || !QDir().mkpath(options.folder)) {
        std::fprintf(stderr, "no temporary folder to download into\n");
        return 2;
    }
    std::printf("download_soak %d %llu\n", options.downloads, static_cast<unsigned long long>(options.seed));
    std::fflush(stdout);

    DownloadSoak soak(options);
    const DownloadSoakFigures figures = soak.run();
    std::printf("%s\n", qPrintable(figures.text()));
    return figures.held() ? 0 : 1;
}
