// SPDX-License-Identifier: GPL-3.0-or-later

#include "LearningRun.h"

#include "catalogue/LibraryLearner.h"
#include "platform/files/FileThread.h"
#include "views/LibrarySearch.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <ctime>

#include <sys/stat.h>

namespace {

constexpr std::chrono::minutes kGiveUp{2};

}  // namespace

LearningRun learnLibrary(platform::NetworkAccess& network, const StoredAddresses& addresses,
                         const QStringList& catalogue, KeptLibrary* kept, const std::function<void()>& keysBuilt)
{
    LibraryLearner learner(network, addresses, kept);
    platform::FileThread builder;
    LearningRun run;
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(&learner, &LibraryLearner::learnt, &loop, [&](const LibraryIndex& library) {
        run.learntMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        builder.run([library] { return std::make_shared<const LibrarySearch>(library); },
                    [&](std::shared_ptr<const LibrarySearch> search) {
                        run.builtMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
                        run.lectures = search->lectureCount();
                        run.search = std::move(search);
                        if (keysBuilt)
                            keysBuilt();
                        loop.quit();
                    });
    });
    QTimer::singleShot(kGiveUp, &loop, &QEventLoop::quit);
    timer.start();
    learner.learn(catalogue, false);
    loop.exec();
    // The fetches let go of during the learning go now, while their
    // network core is still there.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return run;
}

KeptSize keptSize(const QString& folder)
{
    KeptSize size;
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        struct stat status { };
        if (::stat(QFile::encodeName(path).constData(), &status) != 0)
            continue;
        ++size.files;
        size.bytes += status.st_size;
        size.onDisk += static_cast<qint64>(status.st_blocks) * 512;
    }
    return size;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void Spread::add(const std::vector<double>& ms, const std::vector<double>& cpuMs)
{
    if (ms.empty())
        return;
    const double m = median(ms);
    lowestMedian_ = lowestMedian_ < 0 ? m : std::min(lowestMedian_, m);
    highestMedian_ = std::max(highestMedian_, m);
    worst_ = std::max(worst_, *std::max_element(ms.cbegin(), ms.cend()));
    worstCpu_ = std::max(worstCpu_, *std::max_element(cpuMs.cbegin(), cpuMs.cend()));
}

QString Spread::text() const
{
    return QStringLiteral("%1 to %2 ms, worst %3 (CPU %4) ms")
        .arg(lowestMedian_, 0, 'f', 2)
        .arg(highestMedian_, 0, 'f', 2)
        .arg(worst_, 0, 'f', 1)
        .arg(worstCpu_, 0, 'f', 1);
}
