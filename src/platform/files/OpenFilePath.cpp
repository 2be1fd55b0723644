// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/OpenFilePath.h"

#include <QFile>

#include <sys/stat.h>

namespace platform {

QString openFilePath(const QFile& file)
{
    const int fd = file.handle();
    if (fd < 0)
        return {};
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    // Only the link itself can say that it leads to this file: a /proc of
    // another kind, or none, gives nothing or something else.
    struct stat open = {};
    struct stat linked = {};
    if (::fstat(fd, &open) != 0 || ::stat(QFile::encodeName(path).constData(), &linked) != 0
        || open.st_dev != linked.st_dev || open.st_ino != linked.st_ino)
        return {};
    return path;
}

}  // namespace platform
