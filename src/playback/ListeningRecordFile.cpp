// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/ListeningRecordFile.h"

#include "platform/files/DurableFiles.h"
#include "platform/files/RenameWithoutReplacing.h"

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

namespace {

Q_LOGGING_CATEGORY(lcListening, "kardelo.listening")

QString recordPath(const QString& folder)
{
    return folder + u'/' + listeningRecord::kFileName;
}

bool setAside(const QString& folder, const QString& why)
{
    const QString path = recordPath(folder);
    const QString aside = path + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddThhmmsszzz"));
    if (platform::renameWithoutReplacing(path, aside)) {
        qCWarning(lcListening) << "set aside" << path << "as" << aside << "-" << why;
        return true;
    }
    qCWarning(lcListening) << "cannot set aside" << path << "-" << why << "- it is left as it is and not written";
    return false;
}

}  // namespace

namespace listeningRecord {

std::optional<ListeningPlaces> read(const QString& folder)
{
    QFile file(recordPath(folder));
    if (!file.exists())
        return ListeningPlaces{};
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcListening) << "cannot read" << file.fileName() << "-" << file.errorString();
        return std::nullopt;
    }
    const QByteArray text = file.readAll();
    file.close();
    if (std::optional<ListeningPlaces> places = parse(text))
        return places;
    const int version = versionOf(text);
    const QString why =
        version > kVersion ? QStringLiteral("written by a newer version (%1)").arg(version) : QStringLiteral("damaged");
    if (!setAside(folder, why))
        return std::nullopt;
    return ListeningPlaces{};
}

bool write(const QString& folder, const ListeningPlaces& places)
{
    QSaveFile file(recordPath(folder));
    const QByteArray text = format(places);
    // Flushed before the commit: a commit does not see that the flush of a
    // buffered write failed (a full disk) and would put an empty file in
    // the record's place.
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush() || !file.commit()) {
        qCWarning(lcListening) << "cannot write" << file.fileName() << "-" << file.errorString();
        return false;
    }
    // The file's data is on disk by now; its new name is not until the
    // folder is flushed too.
    platform::flushFolderToDisk(folder);
    return true;
}

}  // namespace listeningRecord
