// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadResult.h"
#include "platform/net/NetworkLimits.h"
#include "support/DownloadSoakFigures.h"

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>

class ChaosServer;
class DownloadSoakLedger;
class DownloadQueue;
class DownloadSoakProgram;
class SoakFolder;

// Drives the real DownloadQueue, as the window does, through many
// downloads from a ChaosServer into a favourites folder, and checks after
// every end, every restart and at the end what a user must be able to
// count on:
//
//  - a lecture is stored as a whole version the server served, byte for
//    byte, or not at all; a download that does not store it leaves what was
//    stored as it was;
//  - the folder holds at most one partial file per lecture, each with its
//    record, its bytes the first bytes of the version its record names;
//  - a download running when the program closes keeps the bytes it had,
//    unless its rename had begun and stored the lecture;
//  - kept bytes are asked for the rest of, and only they: a download's
//    requests ask for the range after the bytes kept when it was pressed,
//    after a restart too;
//  - the queue runs at most three downloads at once, reports an end for
//    each one not cancelled and none for one cancelled, and a press on a
//    lecture queued or stored changes nothing;
//  - a stall far past the limit fails the transfer;
//  - once the server is calm, one more download brings every lecture it
//    still has up to date;
//  - the file descriptors are back to where they started, and resident
//    memory has not grown by more than 5 MB since the first 100 downloads
//    (half the downloads of a shorter run).
//
// The soak goes in rounds: a user presses 下 载 on a few lectures at once,
// and presses it again after a failure (up to ten times) until each is
// stored, the server no longer has it, or they give up; a stored lecture is
// pressed for again only once they have deleted it. Now and then they cancel
// a waiting or a running download, from inside the queue's signal or as a
// click lands, and sometimes press 下 载 again at once, while the cancelled
// download unwinds. Between rounds, and now and then in the middle of a
// download, a lecture changes on the server or is removed, and now and then
// the program closes with downloads in the queue and starts again: the
// queue and the network go, as when the window closes, the start prunes
// the partial files, and the user presses 下 载 again on what was queued.
// Every choice, the server's included, comes from the seed; which request
// meets which fault, and where a cancel lands, follow the machine's speed
// too, as three downloads share the loop.
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

    // The limits the queue works under in the soak: a stall of a second
    // fails a transfer, so the server's stalls cost little time.
    static platform::NetworkLimits limits();

private:
    struct Press;

    bool round();
    void download(int lecture);
    bool press(int lecture, int presses, bool withPlans, bool afterRestart = false);
    void stateChanged(const QString& target);
    void ended(const QString& target, const DownloadResult& result);
    void cancel(int lecture, int serial);
    void restart();
    bool waitUntilQuiet();
    void changeBetweenRounds();
    void changeOnServer(int lecture);
    void settle();

    DownloadQueue& queue();
    bool chance(double probability);
    double share();

    Options options_;
    DownloadSoakFigures figures_;
    std::mt19937_64 random_;
    std::unique_ptr<ChaosServer> server_;
    std::unique_ptr<SoakFolder> folder_;
    std::unique_ptr<DownloadSoakProgram> program_;
    std::unique_ptr<DownloadSoakLedger> ledger_;
    // The lectures in the queue.
    std::map<int, Press> presses_;
    // Lectures pressed since the folder was last looked into.
    std::set<int> touched_;
    int pressSerial_ = 0;
    bool restartDue_ = false;
    bool calm_ = false;
};
