// SPDX-License-Identifier: GPL-3.0-or-later

// What the largest texts a hostile server can send cost the program: each
// is served over loopback, fetched, decoded and cut into records as a
// lecture list or the catalogue is (TextFetch, splitAndKeep), and the wall
// time and the peak resident memory of that step are printed:
//
//   a million lines          1,000,000 lecture records, 45 MB
//   100 MB without a line    one run of "讲" with no line end
//   100 MB record            that run as a record's title between two records
//   250 MiB without a line   just under the whole-text limit
//
//   hostile_text_bench [CASE]
//
// With no CASE every case runs, each in a process of its own, so that each
// peak is its own. Measured on 8 December 2026, RelWithDebInfo, 2 cores
// shared with other builds (load about 5), best of three runs:
//
//   case                      records   seconds   peak MiB
//   a million lines           1000000      0.86        202
//   100 MB without a line           0      0.53        224
//   100 MB record                   2      0.52        224
//   250 MiB without a line          0      1.20        524
//
// The peak is the body and its decoded text (two bytes a character), and
// the kept records: the whole-text limit (NetworkLimits::textBodyLimit)
// bounds the first two, the longest line (kLongestCatalogueLine) keeps a
// 100 MB record out of the third. Before that bound the 100 MB record was
// kept, and the whole window test that reads it peaked at 680 MB, not 360.

#include "format/CatalogueLines.h"
#include "support/FetchWaits.h"
#include "support/Gb2312.h"
#include "support/ProcessGauges.h"
#include "support/RawAnswerServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <string>

namespace {

struct Case {
    const char* name;
    RawAnswerServer::Answer body;
};

std::vector<Case> cases()
{
    const std::string record =
        toGb2312(QStringLiteral("冠心病%张医生$四十分钟*http://127.0.0.1:9/a\r\n")).toStdString();
    std::string run(1 << 20, '\0');
    for (std::size_t i = 0; i < run.size(); i += 2)
        run.replace(i, 2, "\xbd\xb2");
    const std::string tail = toGb2312(QStringLiteral("%张医生$四十分钟*http://127.0.0.1:9/b\r\n")).toStdString();
    return {
        {"a million lines", {{record, 1000000}}},
        {"100 MB without a line", {{run, 100}}},
        {"100 MB record", {{record}, {run, 100}, {tail}, {record}}},
        {"250 MiB without a line", {{run, 250}}},
    };
}

void measure(const Case& c)
{
    std::int64_t length = 0;
    for (const RawAnswerServer::Piece& piece : c.body)
        length += std::int64_t(piece.bytes.size()) * piece.times;
    RawAnswerServer server;
    RawAnswerServer::Answer answer{
        {"HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n"}};
    answer.insert(answer.end(), c.body.begin(), c.body.end());
    server.setAnswer(answer);
    QElapsedTimer timer;
    timer.start();
    QStringList records;
    splitAndKeep(fetchTextAndWait(server.url(QStringLiteral("/list.zip"))), records);
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%-24s %10lld %9.2f %10ld\n", c.name, static_cast<long long>(records.size()), seconds,
                static_cast<long>(peakResidentKiB() / 1024));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<Case> all = cases();
    if (argc > 1) {
        for (const Case& c : all) {
            if (QString::fromLocal8Bit(argv[1]) == QString::fromLatin1(c.name))
                measure(c);
        }
        return 0;
    }
    std::printf("%-24s %10s %9s %10s\n", "case", "records", "seconds", "peak MiB");
    std::fflush(stdout);
    for (const Case& c : all) {
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedChannels);
        one.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(c.name)});
        one.waitForFinished(-1);
    }
    return 0;
}
