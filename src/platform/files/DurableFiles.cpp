// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/DurableFiles.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

bool flushFolderToDisk(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

}  // namespace platform
