// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoakLedger.h"

#include "support/ChaosServer.h"
#include "support/SoakFolder.h"

#include <QDebug>
#include <QFileInfo>

#include <algorithm>
#include <climits>

using Outcome = DownloadResult::Outcome;

namespace {

// Only the first broken invariants are kept with their details.
constexpr int kViolationsKept = 40;
// Memory may grow this much from the warm-up to the end of the run. The
// address sanitizer holds freed memory back (its quarantine) to catch late
// reads, so under it resident memory says nothing of leaks; its own leak
// and use-after-free checks stand in for this one there.
constexpr qint64 kResidentGrowthKiB = 5 * 1024;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryMeansSomething = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResidentMemoryMeansSomething = false;
#else
constexpr bool kResidentMemoryMeansSomething = true;
#endif
#else
constexpr bool kResidentMemoryMeansSomething = true;
#endif

}  // namespace

DownloadSoakLedger::DownloadSoakLedger(ChaosServer& server, const SoakFolder& folder, DownloadSoakFigures& figures)
    : server_(server),
      folder_(folder),
      figures_(figures),
      stored_(size_t(figures.lectures))
{
}

bool DownloadSoakLedger::storedAsRecorded(int lecture) const
{
    return folder_.holds(lecture, stored_[size_t(lecture)]);
}

void DownloadSoakLedger::unsettle(int lecture, int versionBefore)
{
    const auto [entry, added] = unsettled_.try_emplace(lecture, versionBefore);
    entry->second = std::min(entry->second, versionBefore);
}

int DownloadSoakLedger::settleUnsettled()
{
    int storedAnyway = 0;
    for (const auto& [lecture, from] : std::exchange(unsettled_, {})) {
        if (storedAsRecorded(lecture))
            continue;
        if (const std::optional<int> version = wholeVersion(lecture, from)) {
            stored_[size_t(lecture)] = version;
            ++storedAnyway;
        } else {
            violated(QStringLiteral("lecture %1 holds %2 bytes, no whole version, once its cancelled or closed "
                                    "download ended")
                         .arg(lecture)
                         .arg(QFileInfo(folder_.target(lecture)).size()));
        }
    }
    return storedAnyway;
}

void DownloadSoakLedger::checkKeptAtClose(int lecture, qint64 received)
{
    const std::optional<SoakFolder::Kept> kept = folder_.kept(lecture);
    if (received > 0 && (!kept || kept->size < received) && storedAsRecorded(lecture))
        violated(QStringLiteral("lecture %1 had %2 bytes when the program closed, and kept %3")
                     .arg(lecture)
                     .arg(received)
                     .arg(kept ? kept->size : 0));
}

DownloadSoakLedger::Expected DownloadSoakLedger::expectRequest(int lecture, bool afterRestart)
{
    // As the download decides: bytes short of the whole, of this address,
    // with a validator to ask the server whether they are still its file's.
    const std::optional<SoakFolder::Kept> kept = folder_.kept(lecture);
    const bool resumable = kept && !kept->validator.isEmpty() && kept->size > 0
        && (kept->total == 0 || kept->size < kept->total) && kept->address == server_.url(lecture).toUtf8();
    server_.watch(lecture);
    return {resumable ? kept->size : 0, resumable ? kept->validator.toStdString() : std::string(), afterRestart};
}

void DownloadSoakLedger::checkEnd(int lecture, int versionBefore, const Expected& expected,
                                  const DownloadResult& result)
{
    const QString where = QStringLiteral("end %1 (lecture %2)").arg(figures_.ends).arg(lecture);
    if (result.isComplete()) {
        // Any version served since it, or a download of it still unsettled,
        // was pressed for, but all of one.
        const auto unsettled = unsettled_.find(lecture);
        const int from = std::min(versionBefore, unsettled == unsettled_.end() ? INT_MAX : unsettled->second);
        if (const std::optional<int> version = wholeVersion(lecture, from))
            stored_[size_t(lecture)] = version;
        else
            violated(QStringLiteral("%1 stored %2 bytes that are no whole version of the lecture (%3 bytes now)")
                         .arg(where)
                         .arg(QFileInfo(folder_.target(lecture)).size())
                         .arg(server_.lectures().current(lecture).size));
    } else if (isSettled(lecture) && !storedAsRecorded(lecture)) {
        violated(
            QStringLiteral("%1 failed (%2) and left the stored lecture changed").arg(where, QDebug::toString(result)));
    }
    // Only an answer says that the request went out.
    const Outcome outcome = result.outcome();
    if (outcome == Outcome::Complete || outcome == Outcome::Network || outcome == Outcome::HttpStatus)
        checkAsked(lecture, expected);
}

void DownloadSoakLedger::checkAsked(int lecture, const Expected& expected)
{
    if (!expected.keptBytes)
        return;
    const qint64 kept = *expected.keptBytes;
    // A request of a download cancelled or closed earlier may reach the
    // server late: this download's own is one of those it saw.
    const std::vector<ChaosServer::Asked> asked = server_.asked(lecture);
    const bool askedRight = std::any_of(asked.begin(), asked.end(), [&](const ChaosServer::Asked& a) {
        return kept > 0 ? a.rangeFrom == kept && a.ifRange == expected.validator : !a.rangeFrom.has_value();
    });
    if (!askedRight) {
        const QString first = asked.empty() ? QStringLiteral("nothing")
            : asked.front().rangeFrom       ? QStringLiteral("bytes from %1").arg(*asked.front().rangeFrom)
                                            : QStringLiteral("the whole lecture");
        violated(QStringLiteral("lecture %1 kept %2 bytes, but its download asked for %3")
                     .arg(lecture)
                     .arg(kept)
                     .arg(first));
    } else if (kept > 0 && expected.afterRestart) {
        ++figures_.resumedAfterRestart;
    }
}

std::optional<int> DownloadSoakLedger::wholeVersion(int lecture, int from) const
{
    for (int v = from; v <= server_.lectures().current(lecture).version; ++v) {
        if (folder_.holds(lecture, v))
            return v;
    }
    return std::nullopt;
}

void DownloadSoakLedger::checkLectures(const std::set<int>& lectures, const QString& when)
{
    for (const int lecture : lectures) {
        if (!storedAsRecorded(lecture))
            violated(QStringLiteral("%1, lecture %2 is not as its last stored end left it").arg(when).arg(lecture));
    }
}

void DownloadSoakLedger::checkFolder(const std::set<int>& lookedInto)
{
    for (const QString& problem : folder_.partialFileProblems(lookedInto))
        violated(QStringLiteral("after end %1: %2").arg(figures_.ends).arg(problem));
}

std::set<int> DownloadSoakLedger::everyLecture() const
{
    std::set<int> lectures;
    for (int lecture = 0; lecture < figures_.lectures; ++lecture)
        lectures.insert(lecture);
    return lectures;
}

void DownloadSoakLedger::checkProcess()
{
    if (!server_.waitUntilIdle(std::chrono::seconds(10)))
        violated(QStringLiteral("the server still has a connection open after the run"));
    if (figures_.descriptorsAfter != figures_.descriptorsBefore)
        violated(QStringLiteral("%1 file descriptors open after the run, %2 before")
                     .arg(figures_.descriptorsAfter)
                     .arg(figures_.descriptorsBefore));
    if (kResidentMemoryMeansSomething
        && figures_.residentAfterKiB - figures_.residentAfterWarmUpKiB > kResidentGrowthKiB)
        violated(QStringLiteral("resident memory grew by %1 KiB after the first %2 downloads")
                     .arg(figures_.residentAfterKiB - figures_.residentAfterWarmUpKiB)
                     .arg(figures_.warmUpDownloads));
    if (figures_.server.longStallsWaitedOut > 0)
        violated(
            QStringLiteral("%1 stall(s) far past the limit were waited out").arg(figures_.server.longStallsWaitedOut));
}

void DownloadSoakLedger::violated(const QString& what)
{
    if (++figures_.violationCount <= kViolationsKept)
        figures_.violations << what;
}
