// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/TextCodec.h"

#include <QStringDecoder>

std::optional<QString> decodeCharset(const QByteArray& bytes, const QString& charset)
{
    QByteArray name = charset.trimmed().toLatin1();
    const QByteArray upper = name.toUpper();
    if (upper == "GB2312" || upper == "GBK" || upper == "CP936")
        name = "windows-936";
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    // The decoder holds back the first byte of a character cut off by the
    // end, waiting for more; the end of the bytes ends it as a character
    // that fits nothing. A line feed after it is read as itself.
    const QString end = decoder.decode(QByteArrayView("\n", 1));
    if (end.endsWith(u'\n'))
        text += QStringView(end).chopped(1);
    return text;
}

QString bytesToText(const QByteArray& body, const QString& charset)
{
    return decodeCharset(body, charset).value_or(QString());
}
