// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// A file used through its descriptor, for what QFile does not offer: an
// exclusive lock that other processes see, a file with no name until it is
// complete, and its data flushed without its metadata. The file is closed,
// and the lock let go, with the object. A call that fails returns false and
// leaves the system's reason in errorString().
class LockedFile {
public:
    enum class Access { Read, ReadWrite };

    LockedFile() = default;
    ~LockedFile();
    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens path (ReadWrite creates it) and takes its exclusive lock,
    // making sure the lock is on the file that still has that name: another
    // process may have renamed that very file away in between. Not open when
    // someone else holds the lock or the file cannot be had.
    static LockedFile open(const QByteArray& path, Access access);
    // A new file in folder with no name, so nobody else can find it; it
    // gets one with giveName().
    static LockedFile createNameless(const QByteArray& folder);

    bool isOpen() const { return fd_ >= 0; }
    // Its size in bytes; -1 when it cannot be read.
    qint64 size() const;
    bool seekToEnd();
    // Cuts it to nothing and writes from its start again.
    bool empty() { return cutTo(0); }
    // Cuts it to its first size bytes and writes on from there.
    bool cutTo(qint64 size);
    bool append(const char* data, size_t size);
    // Its data reaches the disk (not its name: see flushFolderToDisk).
    bool flushData();
    // Links a nameless file to name. A file already there under that name
    // is the leftover of a naming that did not finish, and is replaced.
    bool giveName(const QByteArray& name);
    void close();

    QString errorString() const { return errorString_; }

private:
    explicit LockedFile(int fd) : fd_(fd) { }
    bool failed();

    int fd_ = -1;
    QString errorString_;
};

}  // namespace platform
