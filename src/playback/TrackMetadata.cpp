// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/TrackMetadata.h"

#include <QStringList>

QDBusObjectPath lectureTrackId(quint64 number)
{
    return QDBusObjectPath(QStringLiteral("/org/kardelo/Kardelo/lecture/") + QString::number(number));
}

QVariantMap trackMetadata(const QDBusObjectPath& trackId, const LectureTags& tags, qint64 durationMs)
{
    QVariantMap metadata{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId)},
        {QStringLiteral("xesam:title"), tags.title},
        {QStringLiteral("xesam:artist"), QStringList{tags.detail}},
        {QStringLiteral("xesam:album"), tags.note},
    };
    if (durationMs > 0)
        metadata.insert(QStringLiteral("mpris:length"), QVariant::fromValue<qlonglong>(durationMs * 1000));
    return metadata;
}
