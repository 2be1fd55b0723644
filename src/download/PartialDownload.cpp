// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/PartialDownload.h"

#include "platform/files/DurableFiles.h"
#include "platform/files/FolderEntries.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <optional>

using platform::LockedFile;

namespace {

const QByteArray kPrefix = ".kardelo-";
const QByteArray kPartialSuffix = ".partial";
const QByteArray kRecordSuffix = ".resume";
const QByteArray kNamingSuffix = ".new";

std::optional<ResumeRecord> readStoredRecord(const QByteArray& path)
{
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseResumeRecord(file.read(kLongestResumeRecord));
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
    return fileName_.size() <= platform::longestFileName(folder_);
}

bool PartialDownload::open()
{
    file_ = LockedFile::open(partialPath_, LockedFile::Access::ReadWrite);
    if (!file_.isOpen())
        return openNameless();
    if (const std::optional<ResumeRecord> stored = readStoredRecord(recordPath_); stored && stored->name == fileName_) {
        record_ = stored->record;
        recorded_ = true;
    }
    // Whatever is there already is continued, if anything; restart() empties it.
    if (!file_.seekToEnd())
        return failed("seek in the partial file");
    length_ = file_.size();
    return true;
}

bool PartialDownload::openNameless()
{
    nameless_ = true;
    file_ = LockedFile::createNameless(folder_);
    return file_.isOpen() || failed("create a file in the folder", qt_error_string(errno));
}

bool PartialDownload::failed(const char* operation)
{
    return failed(operation, file_.errorString());
}

bool PartialDownload::failed(const char* operation, const QString& reason)
{
    errorString_ = QStringLiteral("could not %1 (%2)").arg(QLatin1StringView(operation), reason);
    return false;
}

qint64 PartialDownload::resumableBytes(const QByteArray& address) const
{
    if (nameless_ || record_.validator.isEmpty() || record_.address != address)
        return 0;
    const qint64 size = file_.size();
    // A file as long as the whole has nothing left to ask for: it is
    // fetched again rather than trusted.
    if (size < 0 || (record_.total > 0 && size >= record_.total))
        return 0;
    return size;
}

bool PartialDownload::restart(const Record& record)
{
    // The old record goes first: bytes never sit beside a record that is
    // not theirs.
    if (!nameless_)
        platform::removePath(recordPath_);
    recorded_ = false;
    if (!file_.empty())
        return failed("empty the partial file");
    length_ = 0;
    record_ = record;
    if (!nameless_)
        recorded_ = writeRecord();
    return true;
}

bool PartialDownload::writeRecord()
{
    const std::optional<QByteArray> text = formatResumeRecord({fileName_, record_});
    if (!text)
        return false;
    QFile file(QFile::decodeName(recordPath_));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(*text) == text->size() && file.flush())
        return true;
    // A record cut short (a full disk) is no record at all.
    platform::removePath(recordPath_);
    return false;
}

bool PartialDownload::append(const char* data, size_t size)
{
    if (file_.append(data, size)) {
        length_ += static_cast<qint64>(size);
        return true;
    }
    failed("write the partial file");
    // A full disk may have taken a part of the bytes: the file is cut back
    // to those written whole.
    whole_ = file_.cutTo(length_);
    return false;
}

bool PartialDownload::commit(bool flush)
{
    if (flush && !file_.flushData())
        return failed("flush the file to the disk");
    if (nameless_) {
        // A name of its own first, unlike any other download's: a file
        // without a name can only be linked to a name.
        const QByteArray naming = partialPath_.chopped(kPartialSuffix.size()) + '-'
            + QByteArray::number(QCoreApplication::applicationPid()) + kNamingSuffix;
        if (!file_.giveName(naming))
            return failed("give the file a name");
        if (!platform::renameReplacing(naming, targetName_)) {
            failed("rename the file onto the target", qt_error_string(errno));
            platform::removePath(naming);
            return false;
        }
    } else {
        if (!platform::renameReplacing(partialPath_, targetName_))
            return failed("rename the file onto the target", qt_error_string(errno));
        platform::removePath(recordPath_);
    }
    file_.close();
    if (flush && !platform::flushFolderToDisk(QFile::decodeName(folder_))) {
        errorString_ = QStringLiteral("could not flush the folder to the disk");
        return false;
    }
    return true;
}

void PartialDownload::keepForResume()
{
    if (nameless_ || !file_.isOpen() || !recorded_ || !whole_ || record_.validator.isEmpty() || file_.size() <= 0) {
        discard();
        return;
    }
    file_.close();
    kept_ = true;
}

void PartialDownload::discard()
{
    if (!file_.isOpen())
        return;
    // Removed while the lock is held, so no other download is using them.
    if (!nameless_) {
        platform::removePath(partialPath_);
        platform::removePath(recordPath_);
    }
    file_.close();
}

void prunePartialDownloads(const QString& folder, std::chrono::hours maxAge)
{
    // It runs at every start, over a folder that may hold thousands of
    // lectures: one pass that looks at nothing but the names, and a look at
    // the file only for the program's own few.
    const QByteArray folderName = QFile::encodeName(QDir(folder).absolutePath());
    const auto oldest = std::chrono::system_clock::now() - maxAge;
    const auto isOld = [oldest](const QByteArray& path) {
        const auto written = platform::lastWritten(path);
        return written && *written < oldest;
    };
    for (const QByteArray& path : platform::entriesStartingWith(folderName, kPrefix)) {
        if (path.endsWith(kRecordSuffix)) {
            if (!platform::pathExists(path.chopped(kRecordSuffix.size()) + kPartialSuffix))
                platform::removePath(path);
            continue;
        }
        if (path.endsWith(kNamingSuffix)) {
            if (isOld(path))
                platform::removePath(path);
            continue;
        }
        if (!path.endsWith(kPartialSuffix))
            continue;
        const LockedFile partial = LockedFile::open(path, LockedFile::Access::Read);
        if (!partial.isOpen())
            continue;
        const QByteArray recordPath = path.chopped(kPartialSuffix.size()) + kRecordSuffix;
        const std::optional<ResumeRecord> stored = readStoredRecord(recordPath);
        const bool useless =
            !stored || stored->record.validator.isEmpty() || platform::pathExists(folderName + '/' + stored->name);
        if (useless || isOld(path)) {
            platform::removePath(path);
            platform::removePath(recordPath);
        }
    }
}
