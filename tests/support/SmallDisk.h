// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTemporaryDir>

// A file system of a few megabytes that a test can fill up: a tmpfs of its
// own, mounted on a fresh folder for as long as the object lives and
// unmounted with it, files still open or not. Only root may mount one.
class SmallDisk {
public:
    explicit SmallDisk(qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool isMounted() const { return mounted_; }
    // Why it could not be mounted, for the skip message.
    QString whyNotMounted() const { return whyNot_; }
    QString path() const { return mountPoint_.path(); }

    // Takes up room with a filler file: `bytes` more of it, or all the room
    // there is when `bytes` is negative. True when it did (a full disk).
    bool takeUp(qint64 bytes = -1);
    // Gives all of the filler's room back.
    bool freeUp();

private:
    QString fillerPath() const { return path() + QStringLiteral("/filler"); }

    QTemporaryDir mountPoint_;
    bool mounted_ = false;
    QString whyNot_;
};
