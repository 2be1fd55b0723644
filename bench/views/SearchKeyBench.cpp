// SPDX-License-Identifier: GPL-3.0-or-later

// A library-wide search over a library of 500 conferences and 20,000
// lectures with generated Chinese titles (GeneratedLibrary):
//
//   computeKeys                the keys of every lecture (title, speaker,
//                              note) and conference, on a thread that knows
//                              the readings already
//   computeKeysOnNewThread     the same on a new thread each time, which
//                              makes its transliterator and looks every
//                              reading up afresh: what learning a library
//                              costs on a worker thread
//   keystroke/lectures:1       one keystroke: the typed text folded and
//                              every lecture's key compared, the hits
//                              collected; one query a run, kind 0 Chinese,
//                              1 pinyin, 2 initials, of 1 to 6 characters;
//                              the median and the worst (max) of the runs
//   keystroke/lectures:0       the same over the 500 conference names
//
// Before them it prints what the first keys in the process cost (ICU
// loading its data included) and the heap and resident memory the keys
// take beside the library's own texts.
#include "GeneratedLibrary.h"
#include "platform/text/HanReading.h"
#include "support/ProcessGauges.h"
#include "views/SearchKey.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <thread>

namespace {

constexpr int kConferences = 500;
constexpr int kLecturesPerConference = 40;
constexpr int kQueriesPerCase = 60;

const GeneratedLibrary& library()
{
    static const GeneratedLibrary made = generateLibrary(kConferences, kLecturesPerConference, 20140202);
    return made;
}

struct Keys {
    std::vector<SearchKey> lectures;
    std::vector<SearchKey> conferences;
};

Keys computeAllKeys()
{
    Keys keys;
    keys.lectures.reserve(library().lectures.size());
    for (const GeneratedLibrary::Lecture& lecture : library().lectures)
        keys.lectures.emplace_back(std::initializer_list<QStringView>{lecture.title, lecture.speaker, lecture.note});
    keys.conferences.reserve(library().conferences.size());
    for (const QString& name : library().conferences)
        keys.conferences.emplace_back(std::initializer_list<QStringView>{name});
    return keys;
}

Keys& keys()
{
    static Keys computed = computeAllKeys();
    return computed;
}

std::vector<int> search(const std::vector<SearchKey>& among, const QString& typed)
{
    const SearchQuery query(typed);
    std::vector<int> hits;
    for (int i = 0; i < static_cast<int>(among.size()); ++i) {
        if (matches(among[i], query))
            hits.push_back(i);
    }
    return hits;
}

void computeKeys(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(computeAllKeys());
    state.counters["keys"] = static_cast<double>(library().lectures.size() + library().conferences.size());
}

void computeKeysOnNewThread(benchmark::State& state)
{
    for (auto _ : state) {
        std::thread worker([] { benchmark::DoNotOptimize(computeAllKeys()); });
        worker.join();
    }
}

void keystroke(benchmark::State& state)
{
    const bool lectures = state.range(0) != 0;
    const auto kind = static_cast<QueryKind>(state.range(1));
    const int length = static_cast<int>(state.range(2));
    // The same queries for every repetition of this case, one a run.
    static std::map<std::tuple<bool, QueryKind, int>, std::pair<QStringList, int>> queries;
    auto& [sample, next] = queries[{lectures, kind, length}];
    if (sample.isEmpty()) {
        QStringList titles;
        for (const GeneratedLibrary::Lecture& lecture : library().lectures)
            titles << lecture.title;
        sample = sampleQueries(lectures ? titles : library().conferences, kind, length, kQueriesPerCase, length);
    }
    const QString typed = sample.at(next++ % sample.size());
    const std::vector<SearchKey>& among = lectures ? keys().lectures : keys().conferences;
    std::size_t found = 0;
    for (auto _ : state)
        found = search(among, typed).size();
    state.counters["hits"] = static_cast<double>(found);
}

void keystrokeCases(benchmark::internal::Benchmark* benchmark)
{
    for (int lectures : {1, 0}) {
        for (int kind : {0, 1, 2}) {
            for (int length = 1; length <= 6; ++length)
                benchmark->Args({lectures, kind, length});
        }
    }
}

double worst(const std::vector<double>& runs)
{
    return *std::max_element(runs.cbegin(), runs.cend());
}

double heapMiB()
{
    return static_cast<double>(mallinfo2().uordblks) / (1 << 20);
}

struct Resident {
    double all = static_cast<double>(residentKiB()) / 1024;
    double anonymous = static_cast<double>(residentAnonymousKiB()) / 1024;
};

// The costs a benchmark loop cannot show: the first keys in the process,
// which wait for ICU to load its data, and the memory the keys hold. The
// heap in use is exact; the resident memory also counts the pages of ICU's
// data file that the transliterator read (shared and droppable, so apart).
void printFirstKeysAndMemory()
{
    const double heapBefore = heapMiB();
    const Resident residentBefore;
    const std::size_t lectures = library().lectures.size();
    const double heapTexts = heapMiB();
    const Resident residentTexts;

    QElapsedTimer timer;
    timer.start();
    pinyinOf(U'心');
    const qint64 transliteratorMs = timer.restart();
    const double heapTransliterator = heapMiB();
    const Resident residentTransliterator;
    keys();
    const qint64 keysMs = timer.elapsed();
    const double heapKeys = heapMiB();
    const Resident residentKeys;

    qsizetype characters = 0;
    for (const GeneratedLibrary::Lecture& lecture : library().lectures)
        characters += lecture.title.size() + lecture.speaker.size() + lecture.note.size();
    std::printf("library of %zu lectures (%.1f characters each) and %lld conferences: texts %.1f MiB heap, resident "
                "+%.1f MiB (%.1f MiB own)\n",
                lectures, static_cast<double>(characters) / static_cast<double>(lectures),
                static_cast<long long>(library().conferences.size()), heapTexts - heapBefore,
                residentTexts.all - residentBefore.all, residentTexts.anonymous - residentBefore.anonymous);
    std::printf("first transliterator in the process: %lld ms, %.1f MiB heap, resident +%.1f MiB (%.1f MiB own)\n",
                static_cast<long long>(transliteratorMs), heapTransliterator - heapTexts,
                residentTransliterator.all - residentTexts.all,
                residentTransliterator.anonymous - residentTexts.anonymous);
    std::printf("first keys in the process: %lld ms, %.1f MiB heap (%.0f bytes a lecture), resident +%.1f MiB "
                "(%.1f MiB own)\n",
                static_cast<long long>(keysMs), heapKeys - heapTransliterator,
                (heapKeys - heapTransliterator) * (1 << 20) / static_cast<double>(lectures),
                residentKeys.all - residentTransliterator.all,
                residentKeys.anonymous - residentTransliterator.anonymous);
}

}  // namespace

BENCHMARK(computeKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(computeKeysOnNewThread)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(keystroke)
    ->Apply(keystrokeCases)
    ->ArgNames({"lectures", "kind", "chars"})
    ->Iterations(1)
    ->Repetitions(kQueriesPerCase)
    ->ComputeStatistics("max", worst)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    printFirstKeysAndMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
