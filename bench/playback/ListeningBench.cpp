// SPDX-License-Identifier: GPL-3.0-or-later

// What keeping a lecture's place costs: one write of the listening record
// (whole, through a temporary file, flushed to disk) with 1 to 10,000
// stored lectures, and the record's size on disk.
#include "playback/ListeningRecordFile.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

ListeningPlaces placesOf(int lectures)
{
    ListeningPlaces places;
    for (int i = 0; i < lectures; ++i) {
        // A name as long as the sample library's: title, speakers, note.
        const QString name =
            QStringLiteral("第%1讲 急性冠脉综合征的介入治疗进展%张医生 李医生$北京 2013年10月.zip").arg(i);
        places.insert(name, i % 3 == 0 ? ListeningPlace{0, true} : ListeningPlace{1000LL * (i % 5400), false});
    }
    return places;
}

void writeRecord(benchmark::State& state)
{
    QTemporaryDir folder;
    ListeningPlaces places = placesOf(static_cast<int>(state.range(0)));
    const QString moving = places.firstKey();
    qint64 position = 0;
    for (auto _ : state) {
        places[moving] = {position += 1000, false};
        if (!listeningRecord::write(folder.path(), places))
            state.SkipWithError("the record could not be written");
    }
    state.counters["record_bytes"] = static_cast<double>(QFileInfo(folder.filePath(listeningRecord::kFileName)).size());
}

void readRecord(benchmark::State& state)
{
    QTemporaryDir folder;
    listeningRecord::write(folder.path(), placesOf(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(listeningRecord::read(folder.path()));
}

}  // namespace

BENCHMARK(writeRecord)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(readRecord)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
