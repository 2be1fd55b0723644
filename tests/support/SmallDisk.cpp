// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/SmallDisk.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

SmallDisk::SmallDisk(qint64 bytes)
{
    if (::geteuid() != 0) {
        whyNot_ = QStringLiteral("mounting a small tmpfs to fill up needs root");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes);
    mounted_ =
        ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData())
        == 0;
    if (!mounted_)
        whyNot_ =
            QStringLiteral("could not mount a small tmpfs (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

bool SmallDisk::takeUp(qint64 bytes)
{
    const int fd = ::open(QFile::encodeName(fillerPath()).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(64 * 1024, 'f');
    qint64 left = bytes < 0 ? std::numeric_limits<qint64>::max() : bytes;
    bool full = false;
    while (left > 0) {
        const ssize_t written =
            ::write(fd, block.constData(), static_cast<size_t>(std::min<qint64>(left, block.size())));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            full = errno == ENOSPC;
            break;
        }
        left -= written;
    }
    ::close(fd);
    return bytes < 0 ? full : left == 0;
}

bool SmallDisk::freeUp()
{
    return QFile::remove(fillerPath());
}
