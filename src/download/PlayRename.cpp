#include "download/PlayRename.h"

#include "platform/DurableFiles.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

// Each pending rename as its stored name and its play name.
using PendingRenames = QList<std::pair<QString, QString>>;

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && name != u"." && name != u"..";
}

PendingRenames readPending(const QString& recordPath)
{
    PendingRenames pending;
    QFile record(recordPath);
    if (!record.open(QIODevice::ReadOnly))
        return pending;
    const QStringList names = QString::fromUtf8(record.readAll()).split(u'\n');
    for (qsizetype i = 0; i + 1 < names.size(); i += 2) {
        if (isPlainName(names[i]) && isPlainName(names[i + 1]))
            pending.append({names[i], names[i + 1]});
    }
    return pending;
}

// The record reaches the disk, name and all, before the rename it
// announces: after a power cut it still tells what to undo.
void writePending(const QString& folder, const QString& recordPath, const PendingRenames& pending)
{
    if (pending.isEmpty()) {
        QFile::remove(recordPath);
    } else {
        QSaveFile record(recordPath);
        if (!record.open(QIODevice::WriteOnly))
            return;
        for (const auto& [stored, play] : pending)
            record.write((stored + u'\n' + play + u'\n').toUtf8());
        record.commit();
    }
    platform::flushFolderToDisk(folder);
}

}  // namespace

QString playNameFor(const QString& fileName)
{
    QString playName = fileName;
    return playName.replace(QStringLiteral("zip"), QStringLiteral("wma"), Qt::CaseSensitive);
}

PlayRename::PlayRename(const QString& folder) : folder_(folder) {}

QString PlayRename::recordPath(const QString& folder)
{
    // Hidden, and not "*.zip": the favourites view never lists it.
    return folder + QStringLiteral("/.play-rename-pending");
}

QString PlayRename::toPlayName(const QString& storedName)
{
    storedName_ = storedName;
    playName_ = playNameFor(storedName);
    if (playName_ != storedName_) {
        // Added to what is pending already: a lecture whose rename back
        // failed earlier is still owed its name.
        PendingRenames pending = readPending(recordPath(folder_));
        if (!pending.contains(std::pair(storedName_, playName_)))
            pending.append({storedName_, playName_});
        writePending(folder_, recordPath(folder_), pending);
        QFile::rename(folder_ + u'/' + storedName_, folder_ + u'/' + playName_);
    }
    return folder_ + u'/' + playName_;
}

bool PlayRename::back()
{
    const QString stored = folder_ + u'/' + storedName_;
    if (playName_ == storedName_)
        return QFile::exists(stored);
    if (!QFile::exists(stored)) {
        QFile::rename(folder_ + u'/' + playName_, stored);
        // On disk before the record lets go of it.
        platform::flushFolderToDisk(folder_);
    }
    const bool back = QFile::exists(stored);
    if (back) {
        PendingRenames pending = readPending(recordPath(folder_));
        pending.removeAll(std::pair(storedName_, playName_));
        writePending(folder_, recordPath(folder_), pending);
    }
    return back;
}

void PlayRename::recoverPending(const QString& folder)
{
    const PendingRenames pending = readPending(recordPath(folder));
    // The normal start: nothing owed, nothing to flush. A record that names
    // nothing usable goes.
    if (pending.isEmpty()) {
        QFile::remove(recordPath(folder));
        return;
    }
    PendingRenames left;
    for (const auto& [storedName, playName] : pending) {
        const QString stored = folder + u'/' + storedName;
        const QString play = folder + u'/' + playName;
        if (!QFile::exists(stored) && QFile::exists(play) && !QFile::rename(play, stored))
            left.append({storedName, playName});
    }
    platform::flushFolderToDisk(folder);
    writePending(folder, recordPath(folder), left);
}
