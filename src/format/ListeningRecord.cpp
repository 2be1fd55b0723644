// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/ListeningRecord.h"

#include <algorithm>

namespace {

const QByteArray kHeader = QByteArrayLiteral("kardelo-listening ");
const QByteArray kListened = QByteArrayLiteral("done");
// Far beyond any lecture (about three years), far below an overflow.
constexpr qsizetype kMaxPositionDigits = 11;

std::optional<qint64> parsePosition(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > kMaxPositionDigits
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    qint64 position = 0;
    for (const char c : digits)
        position = position * 10 + (c - '0');
    return position;
}

}  // namespace

namespace listeningRecord {

bool canHold(const QString& storedName)
{
    if (storedName.isEmpty() || storedName == u"." || storedName == u".." || storedName.contains(u'/'))
        return false;
    // A lone surrogate would not come back from UTF-8 as it went in.
    return std::none_of(storedName.begin(), storedName.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; })
        && QString::fromUtf8(storedName.toUtf8()) == storedName;
}

QByteArray format(const ListeningPlaces& places)
{
    QByteArray text = kHeader + QByteArray::number(kVersion) + '\n';
    for (auto place = places.cbegin(); place != places.cend(); ++place) {
        if (!canHold(place.key()))
            continue;
        text += place->listened ? kListened : QByteArray::number(place->position);
        text += '\t';
        text += place.key().toUtf8();
        text += '\n';
    }
    return text;
}

int versionOf(const QByteArray& text)
{
    const qsizetype end = text.indexOf('\n');
    const QByteArrayView header = QByteArrayView(text).first(end < 0 ? text.size() : end);
    if (!header.startsWith(kHeader))
        return 0;
    const std::optional<qint64> version = parsePosition(header.sliced(kHeader.size()));
    return version && *version <= 1000 ? static_cast<int>(*version) : 0;
}

std::optional<ListeningPlaces> parse(const QByteArray& text)
{
    // A record always ends with a line feed: one without it was cut short.
    if (versionOf(text) != kVersion || !text.endsWith('\n'))
        return std::nullopt;
    ListeningPlaces places;
    const QByteArrayView body = QByteArrayView(text).sliced(text.indexOf('\n') + 1);
    qsizetype start = 0;
    while (start < body.size()) {
        const qsizetype end = body.indexOf('\n', start);
        const QByteArrayView line = body.sliced(start, end - start);
        start = end + 1;
        const qsizetype tab = line.indexOf('\t');
        if (tab < 0)
            return std::nullopt;
        const QByteArrayView field = line.first(tab);
        const QByteArrayView nameBytes = line.sliced(tab + 1);
        const QString name = QString::fromUtf8(nameBytes);
        if (!canHold(name) || name.toUtf8() != nameBytes || places.contains(name))
            return std::nullopt;
        if (field == kListened) {
            places.insert(name, {0, true});
        } else if (const std::optional<qint64> position = parsePosition(field)) {
            places.insert(name, {*position, false});
        } else {
            return std::nullopt;
        }
    }
    return places;
}

}  // namespace listeningRecord
