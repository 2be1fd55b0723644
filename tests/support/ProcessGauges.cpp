// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ProcessGauges.h"

#include "platform/ThreadHandOff.h"

#include <QDir>
#include <QFile>

#ifdef KARDELO_THREAD_SANITIZER
#include <sanitizer/common_interface_defs.h>
#endif

int openDescriptorCount()
{
#ifdef KARDELO_THREAD_SANITIZER
    // The thread sanitizer starts its symbolizer on the first report it
    // reads, a suppressed one too, and keeps two pipes to it open from then
    // on: the runtime's, not the program's. Started here, they are in every
    // count alike.
    char place[256];
    __sanitizer_symbolize_pc(reinterpret_cast<void*>(&openDescriptorCount), "%F %L", place, sizeof place);
#endif
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    if (!descriptors.exists())
        return -1;
    return int(descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

namespace {

qint64 statusKiB(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

}  // namespace

qint64 residentKiB()
{
    return statusKiB("VmRSS:");
}

qint64 residentAnonymousKiB()
{
    return statusKiB("RssAnon:");
}

qint64 peakResidentKiB()
{
    return statusKiB("VmHWM:");
}
