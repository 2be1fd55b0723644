// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/KeptText.h"

#include <QCryptographicHash>

#include <optional>

namespace {

constexpr QByteArrayView kFormatLine = "KardeloKeptText 1";
// The header's six lines; a longer one is no header of ours.
constexpr qsizetype kLongestHeader = 64 * 1024;

bool holdsLineEnd(QByteArrayView field)
{
    return field.contains('\n') || field.contains('\r');
}

QByteArray digestOf(QByteArrayView body)
{
    return QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex();
}

}  // namespace

std::optional<QByteArray> formatKeptText(const KeptText& kept)
{
    const QByteArray address = kept.address.toUtf8();
    if (holdsLineEnd(address) || holdsLineEnd(kept.entityTag) || holdsLineEnd(kept.lastModified))
        return std::nullopt;
    QByteArray file;
    file.reserve(kept.body.size() + address.size() + 256);
    file.append(kFormatLine).append('\n');
    file.append(address).append('\n');
    file.append(kept.entityTag).append('\n');
    file.append(kept.lastModified).append('\n');
    file.append(QByteArray::number(kept.body.size())).append('\n');
    file.append(digestOf(kept.body)).append('\n');
    file.append(kept.body);
    if (file.size() - kept.body.size() > kLongestHeader)
        return std::nullopt;
    return file;
}

std::variant<KeptText, KeptTextRefusal> parseKeptText(QByteArrayView file, const QString& expectedAddress,
                                                      qint64 bodyLimit)
{
    QByteArrayView header[6];
    qsizetype at = 0;
    for (QByteArrayView& line : header) {
        const qsizetype end = file.indexOf('\n', at);
        if (end < 0 || end > kLongestHeader)
            return KeptTextRefusal{QStringLiteral("its header is cut short")};
        line = file.sliced(at, end - at);
        at = end + 1;
    }
    if (header[0] != kFormatLine)
        return KeptTextRefusal{QStringLiteral("it is not a kept text of this format")};
    KeptText kept;
    kept.address = QString::fromUtf8(header[1]);
    if (kept.address != expectedAddress)
        return KeptTextRefusal{QStringLiteral("it was read from another address, ") + kept.address};
    bool isNumber = false;
    const qint64 length = header[4].toLongLong(&isNumber);
    if (!isNumber || length < 0 || QByteArray::number(length) != header[4])
        return KeptTextRefusal{QStringLiteral("its length is no number")};
    if (length > bodyLimit)
        return KeptTextRefusal{QStringLiteral("it is longer than any text is read")};
    if (file.size() - at != length)
        return KeptTextRefusal{
            QStringLiteral("it is %1 bytes long, not the %2 it should be").arg(file.size() - at).arg(length)};
    const QByteArrayView body = file.sliced(at);
    if (digestOf(body) != header[5])
        return KeptTextRefusal{QStringLiteral("its bytes are not the ones kept")};
    kept.entityTag = header[2].toByteArray();
    kept.lastModified = header[3].toByteArray();
    kept.body = body.toByteArray();
    return kept;
}
