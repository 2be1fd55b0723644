// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/LatestFileWriter.h"

#include "platform/files/DurableFiles.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QSaveFile>

#include <optional>
#include <utility>

namespace platform {

bool writeWholeFileDurably(const QString& path, const QByteArray& bytes, QString& error)
{
    QSaveFile file(path);
    // Flushed before the commit: a commit does not see that the flush of a
    // buffered write failed (a full disk) and would put an empty file in
    // its place.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    // The file's data is on disk by now; its new name is not until the
    // folder is flushed too.
    flushFolderToDisk(QFileInfo(path).absolutePath());
    return true;
}

// The bytes given and not yet being written, shared with the job that
// writes them: it may outlive the writer until the thread is done.
struct LatestFileWriter::Waiting {
    Waiting(QString path, const QLoggingCategory& log) : path(std::move(path)), log(log) { }

    const QString path;
    const QLoggingCategory& log;
    QMutex mutex;
    std::optional<QByteArray> bytes;
};

LatestFileWriter::LatestFileWriter(QString path, const QLoggingCategory& log)
    : waiting_(std::make_shared<Waiting>(std::move(path), log))
{
}

LatestFileWriter::~LatestFileWriter()
{
    thread_.finish();
}

void LatestFileWriter::write(QByteArray bytes)
{
    {
        const QMutexLocker lock(&waiting_->mutex);
        const bool jobWaiting = waiting_->bytes.has_value();
        waiting_->bytes = std::move(bytes);
        // The job already waiting writes these in place of the older ones.
        if (jobWaiting)
            return;
    }
    thread_.run([waiting = waiting_] {
        std::optional<QByteArray> bytes;
        {
            const QMutexLocker lock(&waiting->mutex);
            bytes = std::exchange(waiting->bytes, std::nullopt);
        }
        QString error;
        if (bytes && !writeWholeFileDurably(waiting->path, *bytes, error))
            qCWarning(waiting->log) << "cannot write" << waiting->path << "-" << error;
    });
}

}  // namespace platform
