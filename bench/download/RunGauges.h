// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// What a side of a benchmark took of the process and the machine, from
// /proc and getrusage.

// The machine's processor time so far, all cores: busy, taken by the
// hypervisor (steal: a virtual machine's cores are not always its own), and
// in all, in clock ticks.
struct MachineTime {
    qint64 busy = 0;
    qint64 steal = 0;
    qint64 all = 0;
};

struct MachineShare {
    double busy = 0;  // 0 to 1, 1 being every core
    double steal = 0;
};

MachineTime machineTime();
MachineShare machineShare(const MachineTime& before, const MachineTime& after);

// The processor time, user and system, of RUSAGE_THREAD, RUSAGE_SELF or
// RUSAGE_CHILDREN (those waited for), in seconds.
double cpuSeconds(int who);

// Counts the peak resident memory (VmHWM) afresh from now; the resident
// memory now, in KiB.
qint64 restartPeakCount();
