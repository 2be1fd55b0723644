// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/RenameWithoutReplacing.h"

#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

bool renameWithoutReplacing(const QString& from, const QString& to)
{
    // The system would read a name only up to a NUL, which is another name.
    if (from.contains(QChar(0)) || to.contains(QChar(0)))
        return false;
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a second link fails on a taken name
    // just the same, and the old one goes only once the new one is there.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    if (::unlink(source.constData()) != 0) {
        ::unlink(target.constData());
        return false;
    }
    return true;
}

}  // namespace platform
