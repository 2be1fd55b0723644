// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/ListeningRecordFile.h"

#include "platform/files/LatestFileWriter.h"
#include "platform/files/RenameWithoutReplacing.h"

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>

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
    QString error;
    if (!platform::writeWholeFileDurably(recordPath(folder), format(places), error)) {
        qCWarning(lcListening) << "cannot write" << recordPath(folder) << "-" << error;
        return false;
    }
    return true;
}

std::unique_ptr<platform::LatestFileWriter> writerFor(const QString& folder)
{
    return std::make_unique<platform::LatestFileWriter>(recordPath(folder), lcListening());
}

}  // namespace listeningRecord
