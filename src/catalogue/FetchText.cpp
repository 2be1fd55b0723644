#include "catalogue/FetchText.h"

#include "platform/HttpGet.h"
#include "platform/TextCodec.h"

QString FetchText(const QString& address, const QString& charset)
{
    const std::optional<QByteArray> body = platform::HttpGet(address);
    if (!body)
        return {};
    return BytesToText(*body, charset);
}

QString BytesToText(const QByteArray& body, const QString& charset)
{
    return platform::DecodeCharset(body, charset).value_or(QString());
}
