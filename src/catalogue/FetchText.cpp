// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/FetchText.h"

#include "platform/codecs/TextCodec.h"
#include "platform/net/HttpGet.h"

QString fetchText(const QString& address, const QString& charset, const platform::NetworkLimits& limits)
{
    const std::optional<QByteArray> body = platform::httpGet(address, limits);
    if (!body)
        return {};
    return bytesToText(*body, charset);
}

QString bytesToText(const QByteArray& body, const QString& charset)
{
    return platform::decodeCharset(body, charset).value_or(QString());
}
