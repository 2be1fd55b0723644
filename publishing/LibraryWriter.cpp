// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibraryWriter.h"

#include "platform/files/FolderEntries.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cerrno>

Q_LOGGING_CATEGORY(lcWriter, "kardelo.publishing.writer", QtWarningMsg)

LibraryWriter::LibraryWriter(const QString& libraryFolder) : libraryFolder_(libraryFolder) { }

bool LibraryWriter::write(const QMap<QString, QByteArray>& files)
{
    written_.clear();
    unchanged_.clear();
    removed_.clear();
    errorString_.clear();
    if (!QDir().mkpath(libraryFolder_ + QStringLiteral("/lists")))
        return fail(tr("cannot make the folder %1/lists").arg(libraryFolder_));
    // Inside the library, so the renames below stay on one file system.
    QTemporaryDir staging(libraryFolder_ + QStringLiteral("/.kardelo-build-XXXXXX"));
    if (!staging.isValid())
        return fail(tr("cannot write into %1: %2").arg(libraryFolder_, staging.errorString()));

    QMap<QString, QString> stagedOf;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        const QString target = libraryFolder_ + u'/' + file.key();
        QFile old(target);
        if (old.open(QIODevice::ReadOnly) && old.readAll() == file.value()) {
            unchanged_.append(file.key());
            continue;
        }
        const QString staged = staging.filePath(QString::number(stagedOf.size()));
        QFile out(staged);
        if (!out.open(QIODevice::WriteOnly) || out.write(file.value()) != file.value().size() || !out.flush())
            return fail(tr("cannot write %1: %2").arg(staged, out.errorString()));
        stagedOf.insert(file.key(), staged);
    }
    for (auto file = stagedOf.cbegin(); file != stagedOf.cend(); ++file) {
        // In one step, so a server never sends half a list; QFile::rename
        // would not replace at all.
        const QString target = libraryFolder_ + u'/' + file.key();
        if (!platform::renameReplacing(QFile::encodeName(file.value()), QFile::encodeName(target)))
            return fail(tr("cannot put %1 in place: %2").arg(file.key(), qt_error_string(errno)));
        written_.append(file.key());
    }

    const QStringList listed = QDir(libraryFolder_ + QStringLiteral("/lists")).entryList(QDir::Files, QDir::Name);
    for (const QString& name : listed) {
        const QString path = QStringLiteral("lists/") + name;
        if (files.contains(path))
            continue;
        if (!QFile::remove(libraryFolder_ + u'/' + path))
            return fail(tr("cannot remove the stale %1").arg(path));
        removed_.append(path);
    }
    return true;
}

bool LibraryWriter::fail(const QString& errorString)
{
    qCWarning(lcWriter).noquote() << errorString;
    errorString_ = errorString;
    return false;
}
