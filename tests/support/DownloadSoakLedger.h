// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadResult.h"
#include "support/DownloadSoakFigures.h"

#include <QString>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class ChaosServer;
class SoakFolder;

// What a DownloadSoak's user counts on for each lecture, and the checks of
// it: the version its file holds, as the downloads that stored it said, and
// what its kept bytes are to be asked for. A broken invariant goes into the
// figures.
class DownloadSoakLedger {
public:
    // What a download's first request is to ask for: the rest of the kept
    // bytes, or with none (0), the whole lecture.
    struct Expected {
        std::optional<qint64> keptBytes;  // none: not to be checked
        std::string validator;
        bool afterRestart = false;
    };

    DownloadSoakLedger(ChaosServer& server, const SoakFolder& folder, DownloadSoakFigures& figures);

    bool storedAsRecorded(int lecture) const;
    bool isStored(int lecture) const { return stored_[size_t(lecture)].has_value(); }
    // The user deleted the lecture's file.
    void forget(int lecture) { stored_[size_t(lecture)].reset(); }

    // A download that may still store the lecture once nobody hears of it
    // (cancelled or closed with its rename begun), pressed for when the
    // server had versionBefore.
    void unsettle(int lecture, int versionBefore);
    bool isSettled(int lecture) const { return !unsettled_.contains(lecture); }
    // Once those downloads have ended: how many lectures they stored.
    int settleUnsettled();
    // Of a download that had received bytes when the program closed, and
    // had the partial file to itself: that they are kept, or the rename
    // that had begun stored the lecture.
    void checkKeptAtClose(int lecture, qint64 received);

    // Before a press of a lecture no other download can touch: what its
    // first request is to ask for, from the partial file it will open.
    Expected expectRequest(int lecture, bool afterRestart);
    // The end of a download pressed for when the server had versionBefore.
    void checkEnd(int lecture, int versionBefore, const Expected& expected, const DownloadResult& result);

    // That each lecture holds what the ledger says.
    void checkLectures(const std::set<int>& lectures, const QString& when);
    // The partial files, those of the lectures looked into byte by byte.
    void checkFolder(const std::set<int>& lookedInto);
    std::set<int> everyLecture() const;
    // Once the program has closed at the end of the run, with the figures'
    // gauges read: that the server's connections closed, the descriptors
    // are back where they were, memory did not grow, and no long stall was
    // waited out.
    void checkProcess();
    void violated(const QString& what);

private:
    void checkAsked(int lecture, const Expected& expected);
    std::optional<int> wholeVersion(int lecture, int from) const;

    ChaosServer& server_;
    const SoakFolder& folder_;
    DownloadSoakFigures& figures_;
    std::vector<std::optional<int>> stored_;
    std::map<int, int> unsettled_;
};
