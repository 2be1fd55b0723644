// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/PendingRenames.h"

#include <algorithm>

bool isRecordableName(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/'))
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

PendingRenames parsePendingRenames(const QByteArray& text)
{
    PendingRenames pending;
    QByteArrayList lines = text.split('\n');
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.removeLast();
    else if (lines.size() == 1 && lines.front().isEmpty())
        return pending;
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        const QByteArray storedLine = lines[i];
        const QByteArray playLine = lines.value(i + 1);
        const QString stored = QString::fromUtf8(storedLine);
        const QString play = QString::fromUtf8(playLine);
        const bool readable = i + 1 < lines.size() && isRecordableName(stored) && isRecordableName(play)
            && stored != play && play == playNameFor(stored) && stored.toUtf8() == storedLine;
        if (readable)
            pending.renames.append({stored, play});
        else
            pending.unreadable << storedLine << playLine;
    }
    return pending;
}

QByteArray formatPendingRenames(const PendingRenames& pending)
{
    QByteArray text;
    for (const auto& [stored, play] : pending.renames)
        text += (stored + u'\n' + play + u'\n').toUtf8();
    for (const QByteArray& line : pending.unreadable)
        text += line + '\n';
    return text;
}

QString playNameFor(const QString& fileName)
{
    QString playName = fileName;
    return playName.replace(QStringLiteral("zip"), QStringLiteral("wma"), Qt::CaseSensitive);
}
