// SPDX-License-Identifier: GPL-3.0-or-later

// Learning the whole library for a library-wide search, as the window does
// it: LibraryLearner reads the library (its index in one request, or each
// conference's list, LibraryLearner::kListsAtOnce at a time) on the network
// core, keeps each text (KeptLibrary, in a new temporary cache folder each
// run), and the search's keys are then built on a thread of their own
// (LibrarySearch), from learn() until they are there. The library is
// generated (ServedLibrary: 500 conferences, 20,000 lectures, GB2312) and
// served from a process of its own, so that its memory is not counted here,
// keeping connections and sending at once as the library's nginx does:
//
//   learning from the index on loopback      the first in the process
//                                             (ICU loading its data), then
//                                             RUNS more, each with a network
//                                             core and key thread of its own
//   the same over a 150 ms round trip         through DelayingRelay
//   learning list by list over it             an older library, no index
//   memory                                    resident after the first
//                                             learning, the search kept,
//                                             less that with the catalogue
//                                             alone (read as the window reads
//                                             it); the peak meanwhile
//   the kept copy                             its files' size and the disk's
//                                             blocks, against the texts'
//   one keystroke                             LibrarySearch::find over the
//                                             learnt library and over the
//                                             catalogue alone, the queries of
//                                             search_key_bench
//
//   library_learning_bench [RUNS] [LIST_RUNS]      5 and 3 by default
#include "DelayingRelay.h"
#include "GeneratedLibrary.h"
#include "LearningRun.h"
#include "ServedLibrary.h"
#include "catalogue/KeptLibrary.h"
#include "catalogue/TextFetch.h"
#include "format/CatalogueLines.h"
#include "format/DecodeAddress.h"
#include "platform/net/NetworkAccess.h"
#include "support/ProcessGauges.h"
#include "support/ServerAddresses.h"
#include "views/LibrarySearch.h"
#include "views/SearchKey.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <optional>

namespace {

constexpr std::chrono::milliseconds kRoundTrip{150};
constexpr int kQueriesPerLength = 60;

struct Gauges {
    double resident = static_cast<double>(residentKiB()) / 1024;
    double own = static_cast<double>(residentAnonymousKiB()) / 1024;
    double heap = static_cast<double>(mallinfo2().uordblks) / (1 << 20);
};

// From here on VmHWM is the peak since now.
void restartPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

QString rootAddress(int port, const QString& root)
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(root);
}

QStringList readCatalogue(platform::NetworkAccess& network, const StoredAddresses& addresses)
{
    TextFetch fetch(network, builtInAddress(addresses.catalogue), kServerCharset);
    QEventLoop loop;
    QStringList lines;
    QObject::connect(&fetch, &TextFetch::finished, &loop, [&](const QString& text) {
        splitAndKeep(text, lines);
        loop.quit();
    });
    QTimer::singleShot(std::chrono::minutes(1), &loop, &QEventLoop::quit);
    loop.exec();
    return lines;
}

// The first learning in the process, on the network core that read the
// catalogue, as the window's: what it adds to the memory, and the copy
// it keeps.
std::shared_ptr<const LibrarySearch> measureFirstLearning(const ServedLibrary& library, int port)
{
    platform::NetworkAccess network;
    const StoredAddresses addresses = addressesForRoot(rootAddress(port, kIndexedRoot));
    const QStringList catalogue = readCatalogue(network, addresses);
    if (catalogue != library.conferenceLines)
        std::printf("the catalogue read differs from the one served: %lld lines\n",
                    static_cast<long long>(catalogue.size()));
    malloc_trim(0);
    const Gauges before;
    restartPeak();

    const QTemporaryDir cache;
    LearningRun run;
    std::optional<Gauges> whileBuilderLives;
    {
        KeptLibrary kept(cache.path());
        run = learnLibrary(network, addresses, catalogue, &kept, [&whileBuilderLives] { whileBuilderLives.emplace(); });
    }
    const Gauges after;
    const double peak = static_cast<double>(peakResidentKiB()) / 1024;
    std::printf("first learning from the index, loopback (ICU loading its data): learnt %.0f ms, keys built %.0f ms, "
                "%d lectures\n",
                run.learntMs, run.builtMs, run.lectures);
    std::printf("memory after it, the search kept: resident +%.1f MiB (%.1f MiB own), heap +%.1f MiB; peak +%.1f MiB "
                "over the catalogue alone (resident %.1f MiB)\n",
                after.resident - before.resident, after.own - before.own, after.heap - before.heap,
                peak - before.resident, before.resident);
    // The window's key thread ends once idle for 30 s (QThreadPool's
    // expiry), and with it the readings it looked up.
    if (whileBuilderLives)
        std::printf("  while the keys' thread lives on: resident +%.1f MiB (%.1f MiB own), heap +%.1f MiB\n",
                    whileBuilderLives->resident - before.resident, whileBuilderLives->own - before.own,
                    whileBuilderLives->heap - before.heap);

    const KeptSize kept = keptSize(cache.path());
    std::printf("kept copy: %lld bytes in %d file(s), %lld on disk, of an index of %lld bytes: %.3fx (%.3fx on disk)\n",
                static_cast<long long>(kept.bytes), kept.files, static_cast<long long>(kept.onDisk),
                static_cast<long long>(library.index.size()),
                static_cast<double>(kept.bytes) / static_cast<double>(library.index.size()),
                static_cast<double>(kept.onDisk) / static_cast<double>(library.index.size()));
    return run.search;
}

// One query typed a run: the range of the medians of each query length,
// and the worst of all.
void measureKeystrokes(const LibrarySearch& learnt, const LibrarySearch& catalogue, const QStringList& titles)
{
    const char* const kinds[] = {"Chinese", "pinyin", "initials"};
    std::printf("%-10s %-40s %-40s\n", "keystroke", "learnt library: medians, worst", "catalogue alone");
    for (int kind = 0; kind < 3; ++kind) {
        Spread spreads[2];
        for (int length = 1; length <= 6; ++length) {
            const QStringList queries =
                sampleQueries(titles, static_cast<QueryKind>(kind), length, kQueriesPerLength, length);
            int among = 0;
            for (const LibrarySearch* search : {&learnt, &catalogue}) {
                std::vector<double> ms;
                std::vector<double> cpuMs;
                for (const QString& typed : queries) {
                    QElapsedTimer timer;
                    const double cpuStart = threadCpuMs();
                    timer.start();
                    const LibrarySearch::Found found = search->find(SearchQuery(typed));
                    ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
                    cpuMs.push_back(threadCpuMs() - cpuStart);
                    if (found.lines.size() != found.conferenceOfEach.size())
                        std::printf("a search found lines without their conferences\n");
                }
                spreads[among++].add(ms, cpuMs);
            }
        }
        std::printf("%-10s %-40s %-40s\n", kinds[kind], qPrintable(spreads[0].text()), qPrintable(spreads[1].text()));
    }
}

// Each run as the first learning after the catalogue was read: a network
// core, a cache folder and a key thread of its own.
void runLearnings(const char* what, int runs, int serverPort, const QString& root, const QStringList& catalogue,
                  DelayingRelay* relay)
{
    if (runs <= 0)
        return;
    std::vector<double> built;
    for (int r = 0; r < runs; ++r) {
        platform::NetworkAccess network;
        const QTemporaryDir cache;
        const int connections = relay ? relay->connections() : 0;
        const int port = relay ? relay->port() : serverPort;
        LearningRun run;
        {
            KeptLibrary kept(cache.path());
            run = learnLibrary(network, addressesForRoot(rootAddress(port, root)), catalogue, &kept);
        }
        const KeptSize size = keptSize(cache.path());
        std::printf("  %s: learnt %.0f ms, keys built %.0f ms, %d lectures; kept %d file(s), %lld bytes, %lld on disk",
                    what, run.learntMs, run.builtMs, run.lectures, size.files, static_cast<long long>(size.bytes),
                    static_cast<long long>(size.onDisk));
        if (relay)
            std::printf("; %d connection(s)", relay->connections() - connections);
        std::printf("\n");
        std::fflush(stdout);
        built.push_back(run.builtMs);
    }
    std::printf("%s, learn() to keys built: median %.0f ms, %.0f to %.0f ms\n", what, median(built),
                *std::min_element(built.cbegin(), built.cend()), *std::max_element(built.cbegin(), built.cend()));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArrayView(argv[1]) == "--serve")
        return serveLibraryUntilInputEnds();
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const int listRuns = argc > 2 ? std::atoi(argv[2]) : 3;

    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--serve")});
    if (!server.waitForReadyRead(60000)) {
        std::printf("the library's server did not start\n");
        return 1;
    }
    const int port = server.readLine().trimmed().toInt();

    std::shared_ptr<const LibrarySearch> learnt;
    QStringList catalogue;
    QStringList titles;
    {
        const ServedLibrary library = makeServedLibrary();
        std::printf("library: %lld conferences, %lld lectures; index %lld bytes, lists %lld bytes, catalogue %lld "
                    "bytes\n",
                    static_cast<long long>(library.conferenceLines.size()),
                    static_cast<long long>(library.lectureTitles.size()), static_cast<long long>(library.index.size()),
                    static_cast<long long>(library.listBytes()), static_cast<long long>(library.catalogue.size()));
        catalogue = library.conferenceLines;
        titles = library.lectureTitles;
        learnt = measureFirstLearning(library, port);
    }
    LibraryIndex conferencesAlone;
    for (const QString& line : std::as_const(catalogue))
        conferencesAlone.conferences.append({line, {}});
    if (learnt)
        measureKeystrokes(*learnt, LibrarySearch(conferencesAlone), titles);
    std::fflush(stdout);

    runLearnings("index, loopback", runs, port, kIndexedRoot, catalogue, nullptr);
    DelayingRelay relay(port, kRoundTrip);
    runLearnings("index, 150 ms round trip", runs, port, kIndexedRoot, catalogue, &relay);
    runLearnings("lists, 150 ms round trip", listRuns, port, kUnindexedRoot, catalogue, &relay);

    server.closeWriteChannel();
    server.waitForFinished(10000);
    return 0;
}
