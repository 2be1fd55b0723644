// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/DecodeAddress.h"

#include "format/AddressKey.h"

#include <QLoggingCategory>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace {

Q_LOGGING_CATEGORY(lcAddresses, "kardelo.addresses")

// The character a code names in code page 936: single bytes below 0x81,
// double bytes for the lead and trail ranges. Codes that name nothing are
// errors rather than replacement characters, so that a corrupt list can
// never turn into a plausible address.
QString characterForCode(qint64 code, QStringView piece)
{
    QByteArray bytes;
    if (code >= 0 && code <= 0x80) {
        if (code < 0x80)
            return QString(QChar(static_cast<char16_t>(code)));
        bytes.append(static_cast<char>(code));
    } else if (code >= 0x8140 && code <= 0xFEFE) {
        bytes.append(static_cast<char>(code >> 8));
        bytes.append(static_cast<char>(code & 0xFF));
    }
    if (!bytes.isEmpty()) {
        QStringDecoder decoder("windows-936");
        const QString text = decoder.decode(bytes);
        if (!decoder.hasError() && text.size() == 1 && text.at(0) != QChar::ReplacementCharacter)
            return text;
    }
    throw AddressDecodeError("address code " + piece.toString().toStdString() + " names no character");
}

}  // namespace

QString decodeAddress(const QString& encoded)
{
    QString decoded;
    if (!encoded.isEmpty()) {
        for (QStringView piece : QStringView(encoded).split(u',')) {
            bool ok = false;
            const qint64 number = piece.toLongLong(&ok);
            if (!ok || piece.isEmpty() || piece.front().isSpace() || piece.back().isSpace())
                throw AddressDecodeError("address piece \"" + piece.toString().toStdString() + "\" is not a number");
            decoded += characterForCode(number ^ kAddressKey, piece);
        }
    }
    return decoded;
}

QString builtInAddress(const QString& stored)
{
    try {
        return decodeAddress(stored);
    } catch (const AddressDecodeError& error) {
        qCCritical(lcAddresses) << "a built-in address does not decode:" << error.what();
        return {};
    }
}

QString encodeAddress(const QString& address)
{
    QStringList numbers;
    QStringEncoder encoder("windows-936");
    for (QChar c : address) {
        const QByteArray bytes = encoder.encode(QString(c));
        if (encoder.hasError() || bytes.isEmpty() || bytes.size() > 2)
            throw AddressDecodeError("character cannot be stored in an address list");
        qint64 code = static_cast<unsigned char>(bytes.at(0));
        if (bytes.size() == 2)
            code = code << 8 | static_cast<unsigned char>(bytes.at(1));
        // Only a code that reads back as this very character: a few
        // characters (U+F8F5 among them) encode to one that names nothing.
        if (characterForCode(code, QString::number(code)) != QString(c))
            throw AddressDecodeError("character cannot be stored in an address list");
        numbers.append(QString::number(code ^ kAddressKey));
    }
    return numbers.join(u',');
}
