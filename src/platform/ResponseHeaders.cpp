#include "platform/ResponseHeaders.h"

namespace platform {

std::optional<QByteArray> lastResponseHeader(CURL* handle, const char* name)
{
    curl_header* header = nullptr;
    if (curl_easy_header(handle, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header || !header->value)
        return std::nullopt;
    return QByteArray(header->value).trimmed();
}

std::optional<ContentRange> parseContentRange(const QByteArray& value)
{
    if (!value.toLower().startsWith("bytes "))
        return std::nullopt;
    const QByteArray byteRange = value.mid(6).trimmed();
    const qsizetype dash = byteRange.indexOf('-');
    const qsizetype slash = byteRange.indexOf('/');
    if (dash <= 0 || slash <= dash + 1)
        return std::nullopt;
    ContentRange range;
    bool firstOk = false;
    bool lastOk = false;
    range.first = byteRange.left(dash).toLongLong(&firstOk);
    range.last = byteRange.mid(dash + 1, slash - dash - 1).toLongLong(&lastOk);
    const QByteArray total = byteRange.mid(slash + 1);
    bool totalOk = total == "*";
    if (!totalOk)
        range.total = total.toLongLong(&totalOk);
    if (!firstOk || !lastOk || !totalOk || range.first < 0 || range.last < range.first
        || (range.total > 0 && range.last >= range.total))
        return std::nullopt;
    return range;
}

QByteArray responseValidator(CURL* handle)
{
    const std::optional<QByteArray> tag = lastResponseHeader(handle, "ETag");
    if (tag && !tag->isEmpty() && !tag->startsWith("W/"))
        return *tag;
    return lastResponseHeader(handle, "Last-Modified").value_or(QByteArray());
}

}  // namespace platform
