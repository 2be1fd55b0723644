// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/LockedFile.h"

#include <QtGlobal>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

LockedFile::~LockedFile()
{
    close();
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      errorString_(std::move(other.errorString_))
{
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        errorString_ = std::move(other.errorString_);
    }
    return *this;
}

LockedFile LockedFile::open(const QByteArray& path, Access access)
{
    const int flags = access == Access::ReadWrite ? O_RDWR | O_CREAT : O_RDONLY;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.constData(), flags | O_CLOEXEC, 0666);
        if (fd < 0)
            return {};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return {};
        }
        struct stat opened { };
        struct stat named { };
        if (::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
            && opened.st_ino == named.st_ino)
            return LockedFile(fd);
        ::close(fd);
    }
    return {};
}

LockedFile LockedFile::createNameless(const QByteArray& folder)
{
    return LockedFile(::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
}

qint64 LockedFile::size() const
{
    struct stat info { };
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        return -1;
    return info.st_size;
}

bool LockedFile::seekToEnd()
{
    return ::lseek(fd_, 0, SEEK_END) >= 0 || failed();
}

bool LockedFile::cutTo(qint64 size)
{
    // Any truncate to nothing, even of a file that is empty already, makes
    // ext4 (and btrfs) write the file out when it is closed, to save data
    // rewritten after a truncate from a crash. For a download that write-out
    // ran inside close() and cost half the transfer's time; a file already
    // the size asked for is left alone.
    if (this->size() == size)
        return ::lseek(fd_, size, SEEK_SET) == size || failed();
    return (::ftruncate(fd_, size) == 0 && ::lseek(fd_, size, SEEK_SET) == size) || failed();
}

bool LockedFile::append(const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return failed();
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool LockedFile::flushData()
{
    return ::fdatasync(fd_) == 0 || failed();
}

bool LockedFile::giveName(const QByteArray& name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return failed();
        ::unlink(name.constData());
    }
    return failed();
}

void LockedFile::close()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
}

bool LockedFile::failed()
{
    errorString_ = qt_error_string(errno);
    return false;
}

}  // namespace platform
