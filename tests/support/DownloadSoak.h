// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadResult.h"
#include "platform/net/NetworkLimits.h"
#include "support/DownloadSoakFigures.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <vector>

class ChaosServer;
namespace platform {
class NetworkAccess;
}  // namespace platform
class DownloadEngine;
class SoakFolder;

// Drives the real DownloadEngine, as the window does, through many
// downloads from a ChaosServer into a favourites folder, and checks after
// every start of the engine and at the end what a user must be able to
// count on:
//
//  - a lecture is stored as a whole version the server served, byte for
//    byte, or not at all; a start that does not store it leaves what was
//    stored as it was;
//  - the folder holds at most one partial file per lecture, each with its
//    record, its bytes the first bytes of the version its record names;
//  - a stall far past the engine's limit fails the transfer;
//  - once the server is calm, one more download brings every lecture it
//    still has up to date;
//  - the file descriptors are back to where they started, and resident
//    memory has not grown by more than 5 MB since the first 100 downloads
//    (half the downloads of a shorter run).
//
// A download is what a user does for one lecture: press 下 载, and press it
// again after a failure (up to ten times) until it is stored, the server
// no longer has it, or they give up. Now and then they cancel from inside
// the progress signal, as the cancel button does, and sometimes press 下 载
// again at once, while the cancelled transfer is still unwinding; or they
// press 下 载 on another lecture while one runs, which must be refused and
// change nothing. Between downloads, and now and then in the middle of one,
// a lecture changes on the server or is removed, and now and then the
// program is started again: a new engine, and the start's pruning of the
// partial files. Every choice, the server's included, comes from the seed.
class DownloadSoak {
public:
    struct Options {
        int downloads = 1000;
        std::uint64_t seed = 1;
        // The favourites folder: it must exist and be empty.
        QString folder;
        // Whether stored lectures are flushed to the disk, as the program
        // does.
        bool durable = true;
    };

    explicit DownloadSoak(Options options);
    ~DownloadSoak();
    DownloadSoak(const DownloadSoak&) = delete;
    DownloadSoak& operator=(const DownloadSoak&) = delete;

    // Runs the soak once; its figures hold every invariant that broke.
    DownloadSoakFigures run();

    // The limits the engine works under in the soak: a stall of a second
    // fails a transfer, so the server's stalls cost little time.
    static platform::NetworkLimits limits();

private:
    struct Press;

    void startProgram();
    void download(int lecture);
    DownloadResult::Outcome press(int lecture);
    void progressed(qint64 received, qint64 total);
    void cancel(Press& press);
    void pressElsewhere(const Press& press);
    void changeBetweenDownloads();
    void settle();

    void checkPress(int lecture, bool stored, const DownloadResult& result, int versionBefore, int versionAfter);
    bool storedAsRecorded(int lecture) const;
    void checkFolder(std::optional<int> pressedLecture);
    void violated(const QString& what);

    bool chance(double probability);
    double share();

    Options options_;
    DownloadSoakFigures figures_;
    std::mt19937_64 random_;
    std::unique_ptr<ChaosServer> server_;
    std::unique_ptr<SoakFolder> folder_;
    std::unique_ptr<platform::NetworkAccess> network_;
    std::unique_ptr<DownloadEngine> engine_;
    // The version each lecture's target holds, as the starts that stored
    // it said; nothing while none has.
    std::vector<std::optional<int>> stored_;
    // The presses running, the innermost last: a press made inside the
    // progress signal runs inside the one it cancelled.
    std::vector<Press*> presses_;
    int pressSerial_ = 0;
    bool calm_ = false;
};
