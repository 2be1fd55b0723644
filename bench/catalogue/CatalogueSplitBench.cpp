// SPDX-License-Identifier: GPL-3.0-or-later

// How cutting a fetched catalogue into records scales, and what it costs
// next to decoding the bytes: decode alone, split alone, and both, over
// catalogues of growing size up to 50 MB.
#include "catalogue/TextFetch.h"
#include "format/CatalogueLines.h"

#include <QStringEncoder>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <map>

namespace {

// A catalogue in the server's window: GB2312 bytes, CR LF lines, mostly
// records with a heading and an empty line now and then.
const QByteArray& catalogueBytes(qint64 size)
{
    static std::map<qint64, QByteArray> made;
    QByteArray& bytes = made[size];
    if (!bytes.isEmpty())
        return bytes;
    QString text;
    text.reserve(size);
    QStringEncoder encoder("windows-936");
    for (int i = 0; text.size() * 2 < size; ++i) {
        if (i % 50 == 0)
            text += QStringLiteral("# 会议目录 第%1页\r\n\r\n").arg(i / 50);
        text += QStringLiteral("第%1届全国心血管病学术会议：冠心病与心力衰竭%20131015*备注%2\r\n").arg(i).arg(i % 7);
    }
    bytes = encoder.encode(text);
    bytes.truncate(size);
    return bytes;
}

void decode(benchmark::State& state)
{
    const QByteArray& bytes = catalogueBytes(state.range(0));
    for (auto _ : state) {
        QString text = bytesToText(bytes, QStringLiteral("GB2312"));
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.SetComplexityN(state.range(0));
}

void split(benchmark::State& state)
{
    const QString text = bytesToText(catalogueBytes(state.range(0)), QStringLiteral("GB2312"));
    for (auto _ : state) {
        QStringList list;
        splitAndKeep(text, list);
        benchmark::DoNotOptimize(list);
        state.counters["records"] = static_cast<double>(list.size());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}

void decodeAndSplit(benchmark::State& state)
{
    const QByteArray& bytes = catalogueBytes(state.range(0));
    for (auto _ : state) {
        QStringList list;
        splitAndKeep(bytesToText(bytes, QStringLiteral("GB2312")), list);
        benchmark::DoNotOptimize(list);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.SetComplexityN(state.range(0));
}

constexpr qint64 kMegabyte = 1 << 20;

}  // namespace

BENCHMARK(decode)
    ->RangeMultiplier(2)
    ->Range(6 * kMegabyte, 50 * kMegabyte)
    ->Arg(50 * kMegabyte)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(split)
    ->RangeMultiplier(2)
    ->Range(6 * kMegabyte, 50 * kMegabyte)
    ->Arg(50 * kMegabyte)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(decodeAndSplit)
    ->RangeMultiplier(2)
    ->Range(6 * kMegabyte, 50 * kMegabyte)
    ->Arg(50 * kMegabyte)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
