// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/codecs/TextCodec.h"

#include <QStringDecoder>

namespace platform {

std::optional<QString> decodeCharset(const QByteArray& bytes, const QString& charset)
{
    QByteArray name = charset.trimmed().toLatin1();
    const QByteArray upper = name.toUpper();
    if (upper == "GB2312" || upper == "GBK" || upper == "CP936")
        name = "windows-936";
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return std::nullopt;
    return decoder.decode(bytes);
}

}  // namespace platform
