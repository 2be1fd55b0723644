// SPDX-License-Identifier: GPL-3.0-or-later

#include "RunGauges.h"

#include "support/ProcessGauges.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

MachineTime machineTime()
{
    QFile stat(QStringLiteral("/proc/stat"));
    MachineTime time;
    if (!stat.open(QIODevice::ReadOnly))
        return time;
    // "cpu  user nice system idle iowait irq softirq steal guest guest_nice";
    // guest time is counted in user time already.
    const QList<QByteArray> fields = stat.readLine().simplified().split(' ');
    for (qsizetype i = 1; i < std::min<qsizetype>(fields.size(), 9); ++i) {
        const qint64 ticks = fields[i].toLongLong();
        time.all += ticks;
        if (i == 8)
            time.steal += ticks;
        else if (i != 4 && i != 5)
            time.busy += ticks;
    }
    return time;
}

MachineShare machineShare(const MachineTime& before, const MachineTime& after)
{
    const double all = double(after.all - before.all);
    if (all <= 0)
        return {};
    return {double(after.busy - before.busy) / all, double(after.steal - before.steal) / all};
}

double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 restartPeakCount()
{
    // "5" resets VmHWM to VmRSS.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        std::fprintf(stderr, "could not reset the peak memory count: peaks are since the start\n");
    return residentKiB();
}
