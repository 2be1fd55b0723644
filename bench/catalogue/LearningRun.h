// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class KeptLibrary;
class LibrarySearch;

namespace platform {
class NetworkAccess;
}  // namespace platform

// One learning of the whole library, timed from LibraryLearner::learn().
struct LearningRun {
    double learntMs = -1;  // until learnt(); -1 when it never came
    double builtMs = -1;  // until the search's keys were built on their thread
    int lectures = 0;
    std::shared_ptr<const LibrarySearch> search;
};

// Learns the library of these catalogue lines as the window does: the
// learner on this thread's event loop, then the keys on a thread of their
// own (the window's search builder). Gives up after two minutes. keysBuilt
// is called once they are there, while their thread is still alive.
LearningRun learnLibrary(platform::NetworkAccess& network, const StoredAddresses& addresses,
                         const QStringList& catalogue, KeptLibrary* kept, const std::function<void()>& keysBuilt = {});

// What a folder's files hold and take on the disk (its blocks).
struct KeptSize {
    int files = 0;
    qint64 bytes = 0;
    qint64 onDisk = 0;
};
KeptSize keptSize(const QString& folder);

double median(std::vector<double> values);

// The CPU time this thread has used, in ms.
double threadCpuMs();

// Times of several cases: the range of their medians and the worst of all,
// in wall time and in CPU time (the difference is waiting for a core).
class Spread {
public:
    void add(const std::vector<double>& ms, const std::vector<double>& cpuMs);
    QString text() const;

private:
    double lowestMedian_ = -1;
    double highestMedian_ = -1;
    double worst_ = -1;
    double worstCpu_ = -1;
};
