// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/PartialDownload.h"

#include "platform/files/DurableFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kPrefix = ".kardelo-";
const QByteArray kPartialSuffix = ".partial";
const QByteArray kRecordSuffix = ".resume";
const QByteArray kNamingSuffix = ".new";
const QByteArray kRecordHeading = "kardelo-partial 1";

// Opens path and takes its lock, making sure the lock is on the file that
// still has that name: a download that finished in between may have renamed
// the very file onto its target. -1 when it is locked by someone else or
// cannot be had.
int openLocked(const QByteArray& path, int flags)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.constData(), flags | O_CLOEXEC, 0666);
        if (fd < 0)
            return -1;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return -1;
        }
        struct stat opened { };
        struct stat named { };
        if (::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
            && opened.st_ino == named.st_ino)
            return fd;
        ::close(fd);
    }
    return -1;
}

struct StoredRecord {
    QByteArray name;
    PartialDownload::Record record;
};

std::optional<StoredRecord> readStoredRecord(const QByteArray& path)
{
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    if (lines.isEmpty() || lines.front() != kRecordHeading)
        return std::nullopt;
    StoredRecord stored;
    bool totalRead = false;
    for (const QByteArray& line : lines) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray key = line.left(space);
        const QByteArray value = space < 0 ? QByteArray() : line.mid(space + 1);
        if (key == "name")
            stored.name = value;
        else if (key == "address")
            stored.record.address = value;
        else if (key == "validator")
            stored.record.validator = value;
        else if (key == "total")
            stored.record.total = value.toLongLong(&totalRead);
    }
    if (stored.name.isEmpty() || !totalRead)
        return std::nullopt;
    return stored;
}

}  // namespace

PartialDownload::PartialDownload(const QString& targetPath) : targetName_(QFile::encodeName(targetPath))
{
    const QFileInfo target(targetPath);
    folder_ = QFile::encodeName(target.absolutePath());
    fileName_ = QFile::encodeName(target.fileName());
    const QByteArray key = QCryptographicHash::hash(fileName_, QCryptographicHash::Sha256).toHex().left(16);
    partialPath_ = folder_ + '/' + kPrefix + key + kPartialSuffix;
    recordPath_ = folder_ + '/' + kPrefix + key + kRecordSuffix;
}

PartialDownload::~PartialDownload()
{
    discard();
}

bool PartialDownload::nameFits() const
{
    const long limit = ::pathconf(folder_.constData(), _PC_NAME_MAX);
    return fileName_.size() <= (limit > 0 ? limit : NAME_MAX);
}

bool PartialDownload::open()
{
    fd_ = openLocked(partialPath_, O_RDWR | O_CREAT);
    if (fd_ < 0)
        return openNameless();
    if (const std::optional<StoredRecord> stored = readStoredRecord(recordPath_); stored && stored->name == fileName_)
        record_ = stored->record;
    // Whatever is there already is continued, if anything; restart() empties it.
    return ::lseek(fd_, 0, SEEK_END) >= 0 || failed("seek in the partial file");
}

bool PartialDownload::openNameless()
{
    nameless_ = true;
    fd_ = ::open(folder_.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    return fd_ >= 0 || failed("create a file in the folder");
}

bool PartialDownload::failed(const char* operation)
{
    errorString_ = QStringLiteral("could not %1 (%2)").arg(QLatin1StringView(operation), qt_error_string(errno));
    return false;
}

qint64 PartialDownload::resumableBytes(const QByteArray& address) const
{
    struct stat info { };
    if (nameless_ || fd_ < 0 || record_.validator.isEmpty() || record_.address != address || ::fstat(fd_, &info) != 0)
        return 0;
    const qint64 size = info.st_size;
    // A file as long as the whole has nothing left to ask for: it is
    // fetched again rather than trusted.
    if (record_.total > 0 && size >= record_.total)
        return 0;
    return size;
}

bool PartialDownload::restart(const Record& record)
{
    // The old record goes first: bytes never sit beside a record that is
    // not theirs.
    if (!nameless_)
        ::unlink(recordPath_.constData());
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0)
        return failed("empty the partial file");
    record_ = record;
    if (!nameless_)
        writeRecord();
    return true;
}

void PartialDownload::writeRecord()
{
    QFile file(QFile::decodeName(recordPath_));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(kRecordHeading + "\nname " + fileName_ + "\naddress " + record_.address + "\nvalidator "
               + record_.validator + "\ntotal " + QByteArray::number(record_.total) + '\n');
}

bool PartialDownload::append(const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return failed("write the partial file");
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool PartialDownload::commit(bool flush)
{
    if (flush && ::fdatasync(fd_) != 0)
        return failed("flush the file to the disk");
    if (nameless_) {
        const QByteArray naming =
            partialPath_.chopped(kPartialSuffix.size()) + '-' + QByteArray::number(::getpid()) + kNamingSuffix;
        if (!giveNamelessFileAName(naming))
            return failed("give the file a name");
        if (std::rename(naming.constData(), targetName_.constData()) != 0) {
            failed("rename the file onto the target");
            ::unlink(naming.constData());
            return false;
        }
    } else {
        if (std::rename(partialPath_.constData(), targetName_.constData()) != 0)
            return failed("rename the file onto the target");
        ::unlink(recordPath_.constData());
    }
    ::close(fd_);
    fd_ = -1;
    if (flush && !platform::flushFolderToDisk(QFile::decodeName(folder_))) {
        errorString_ = QStringLiteral("could not flush the folder to the disk");
        return false;
    }
    return true;
}

// A file without a name can be linked only to a name that nothing has; one
// that something has is a leftover of a naming that did not finish.
bool PartialDownload::giveNamelessFileAName(const QByteArray& name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
        ::unlink(name.constData());
    }
    return false;
}

void PartialDownload::keepForResume()
{
    struct stat info { };
    if (nameless_ || fd_ < 0 || record_.validator.isEmpty() || ::fstat(fd_, &info) != 0 || info.st_size == 0) {
        discard();
        return;
    }
    ::close(fd_);
    fd_ = -1;
    kept_ = true;
}

void PartialDownload::discard()
{
    if (fd_ < 0)
        return;
    // Removed while the lock is held, so no other download is using them.
    if (!nameless_) {
        ::unlink(partialPath_.constData());
        ::unlink(recordPath_.constData());
    }
    ::close(fd_);
    fd_ = -1;
}

void prunePartialDownloads(const QString& folder, std::chrono::hours maxAge)
{
    // It runs at every start, over a folder that may hold thousands of
    // lectures: one pass that looks at nothing but the names, and a stat
    // only for the program's own few files.
    const QByteArray folderName = QFile::encodeName(QDir(folder).absolutePath());
    QList<QByteArray> paths;
    if (DIR* dir = ::opendir(folderName.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strncmp(entry->d_name, kPrefix.constData(), static_cast<size_t>(kPrefix.size())) == 0)
                paths.append(folderName + '/' + entry->d_name);
        }
        ::closedir(dir);
    }
    const auto oldest = std::chrono::system_clock::now() - maxAge;
    const auto isOld = [oldest](const QByteArray& path) {
        struct stat info { };
        return ::stat(path.constData(), &info) == 0 && std::chrono::system_clock::from_time_t(info.st_mtime) < oldest;
    };
    for (const QByteArray& path : paths) {
        if (path.endsWith(kRecordSuffix)) {
            if (::access((path.chopped(kRecordSuffix.size()) + kPartialSuffix).constData(), F_OK) != 0)
                ::unlink(path.constData());
            continue;
        }
        if (path.endsWith(kNamingSuffix)) {
            if (isOld(path))
                ::unlink(path.constData());
            continue;
        }
        if (!path.endsWith(kPartialSuffix))
            continue;
        const int fd = openLocked(path, O_RDONLY);
        if (fd < 0)
            continue;
        const QByteArray recordPath = path.chopped(kPartialSuffix.size()) + kRecordSuffix;
        const std::optional<StoredRecord> stored = readStoredRecord(recordPath);
        const bool useless = !stored || stored->record.validator.isEmpty()
            || ::access((folderName + '/' + stored->name).constData(), F_OK) == 0;
        if (useless || isOld(path)) {
            ::unlink(path.constData());
            ::unlink(recordPath.constData());
        }
        ::close(fd);
    }
}
