// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/PlayRename.h"

#include "download/DownloadLog.h"
#include "format/PendingRenames.h"
#include "platform/files/DurableFiles.h"
#include "platform/files/LatestFileWriter.h"
#include "platform/files/RenameWithoutReplacing.h"

#include <QFile>

namespace {

PendingRenames readPending(const QString& recordPath)
{
    QFile record(recordPath);
    if (!record.open(QIODevice::ReadOnly))
        return {};
    PendingRenames pending = parsePendingRenames(record.readAll());
    for (qsizetype i = 0; i + 1 < pending.unreadable.size(); i += 2)
        qCWarning(lcDownload) << "keeping an unreadable entry of" << recordPath << pending.unreadable[i]
                              << pending.unreadable[i + 1];
    return pending;
}

// The record reaches the disk, name and all, before the rename it
// announces: after a power cut it still tells what to undo. False when it
// could not be written; the record on disk is then as it was.
bool writePending(const QString& folder, const QString& recordPath, const PendingRenames& pending)
{
    if (!pending.isEmpty()) {
        QString error;
        if (!platform::writeWholeFileDurably(recordPath, formatPendingRenames(pending), error)) {
            qCWarning(lcDownload) << "could not write" << recordPath << error;
            return false;
        }
        return true;
    }
    if (!QFile::remove(recordPath) && QFile::exists(recordPath))
        return false;
    platform::flushFolderToDisk(folder);
    return true;
}

}  // namespace

PlayRename::PlayRename(const QString& folder) : folder_(folder) { }

QString PlayRename::recordPath(const QString& folder)
{
    // Hidden, and not "*.zip": the favourites view never lists it.
    return folder + QStringLiteral("/.play-rename-pending");
}

std::optional<QString> PlayRename::toPlayName(const QString& storedName)
{
    storedName_ = storedName;
    playName_ = playNameFor(storedName);
    if (playName_ == storedName_)
        return folder_ + u'/' + playName_;
    if (!isRecordableName(storedName_)) {
        qCWarning(lcDownload) << "not playing" << storedName_ << "- its name cannot be recorded";
        playName_ = storedName_;
        return std::nullopt;
    }
    // Added to what is pending already: a lecture whose rename back
    // failed earlier is still owed its name.
    PendingRenames pending = readPending(recordPath(folder_));
    if (!pending.renames.contains(std::pair(storedName_, playName_)))
        pending.renames.append({storedName_, playName_});
    // A rename the record does not announce could never be undone after a
    // crash: the lecture would be lost from the favourites.
    if (!writePending(folder_, recordPath(folder_), pending))
        qCWarning(lcDownload) << "not giving" << storedName_ << "its play name - the rename could not be recorded";
    else if (!platform::renameWithoutReplacing(folder_ + u'/' + storedName_, folder_ + u'/' + playName_))
        qCWarning(lcDownload) << "could not give" << storedName_ << "its play name";
    else
        renamed_ = true;
    return folder_ + u'/' + (renamed_ ? playName_ : storedName_);
}

bool PlayRename::back()
{
    const QString stored = folder_ + u'/' + storedName_;
    if (playName_ == storedName_)
        return QFile::exists(stored);
    if (renamed_ && !QFile::exists(stored)) {
        platform::renameWithoutReplacing(folder_ + u'/' + playName_, stored);
        // On disk before the record lets go of it.
        platform::flushFolderToDisk(folder_);
    }
    const bool back = QFile::exists(stored);
    if (back) {
        PendingRenames pending = readPending(recordPath(folder_));
        if (pending.renames.removeAll(std::pair(storedName_, playName_)) > 0)
            writePending(folder_, recordPath(folder_), pending);
    }
    return back;
}

void PlayRename::recoverPending(const QString& folder)
{
    PendingRenames pending = readPending(recordPath(folder));
    // The normal start: nothing owed, nothing to flush.
    if (pending.isEmpty()) {
        QFile::remove(recordPath(folder));
        return;
    }
    QList<std::pair<QString, QString>> left;
    for (const auto& [storedName, playName] : std::as_const(pending.renames)) {
        const QString stored = folder + u'/' + storedName;
        const QString play = folder + u'/' + playName;
        // Nothing under the play name: given back already, or deleted.
        if (!QFile::exists(play))
            continue;
        if (QFile::exists(stored) || !platform::renameWithoutReplacing(play, stored)) {
            qCWarning(lcDownload) << "could not give" << playName << "its name" << storedName << "back";
            left.append({storedName, playName});
        }
    }
    pending.renames = left;
    platform::flushFolderToDisk(folder);
    writePending(folder, recordPath(folder), pending);
}
