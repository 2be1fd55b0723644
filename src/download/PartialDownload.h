// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/ResumeRecord.h"
#include "platform/files/LockedFile.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

// The file a download's body goes to while it arrives, in the target's
// folder, and the only way the body reaches the target: renamed onto it
// when complete, so a half-downloaded lecture never sits under its name.
//
// The file is hidden, named after the target but short whatever the
// target's length (".kardelo-<hash>.partial"), and never "*.zip", so no
// listing shows it. Beside it a record (".kardelo-<hash>.resume") says which
// file and address the bytes belong to and the server's validator. A
// transfer that breaks off, or a process that ends mid-way, leaves both, so
// the next attempt asks only for the rest.
//
// The file is locked while a download writes it. When another download
// holds it (a second window, a cancelled download still unwinding), the
// body goes to a file without a name instead, and nothing is kept.
//
// These names and the record's format are what earlier versions left in
// users' folders: they stay as they are, so those bytes are resumed too.
class PartialDownload {
public:
    using Record = DownloadRecord;

    explicit PartialDownload(const QString& targetPath);
    // Whatever was neither committed nor kept is removed.
    ~PartialDownload();
    PartialDownload(const PartialDownload&) = delete;
    PartialDownload& operator=(const PartialDownload&) = delete;

    // Whether the file system takes the target's name at all.
    bool nameFits() const;
    bool open();
    // How many bytes of an earlier attempt at address a server may be asked
    // to continue; 0 when there are none that can be.
    qint64 resumableBytes(const QByteArray& address) const;
    const Record& record() const { return record_; }

    // Starts over from the first byte, under a new record.
    bool restart(const Record& record);
    // A write that fails leaves the file as it was before it, when it can
    // be cut back: bytes written only in part are never continued.
    bool append(const char* data, size_t size);
    // Renames the file onto the target. With flush, its data reaches the
    // disk before it gets the name, and the name after.
    bool commit(bool flush);
    // After a transfer that broke off, or that the file could take no more
    // of: keeps the bytes when they can be resumed (written whole, beside
    // their record), discards them otherwise.
    void keepForResume();
    // Whether keepForResume() kept them.
    bool kept() const { return kept_; }
    void discard();
    // The file operation that failed last, with the system's reason.
    const QString& errorString() const { return errorString_; }

private:
    bool openNameless();
    bool writeRecord();
    // Notes the operation with the file's reason, or the one given.
    bool failed(const char* operation);
    bool failed(const char* operation, const QString& reason);

    QByteArray folder_;
    QByteArray targetName_;
    QByteArray fileName_;  // the target's name without its folder
    QByteArray partialPath_;
    QByteArray recordPath_;
    platform::LockedFile file_;
    // The file has no name: nothing of it can be kept.
    bool nameless_ = false;
    bool kept_ = false;
    // The record of these bytes is on disk.
    bool recorded_ = false;
    // The bytes written whole, and whether the file holds only those.
    qint64 length_ = 0;
    bool whole_ = true;
    Record record_;
    QString errorString_;
};

// Removes the partial downloads of folder that will not be resumed: those
// last written more than maxAge ago, those whose target is now there as a
// complete file, and leftovers without a usable record. One that a running
// download is writing is left alone.
void prunePartialDownloads(const QString& folder, std::chrono::hours maxAge);
