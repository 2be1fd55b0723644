// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/NormalisedAddress.h"

namespace platform {

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The characters a URL may hold literally: RFC 3986's unreserved and
// reserved sets. The "%" is decided by what follows it.
bool standsAsItIs(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    static constexpr char kAllowed[] = "-._~:/?#[]@!$&'()*+,;=";
    for (const char allowed : kAllowed) {
        if (allowed != '\0' && c == allowed)
            return true;
    }
    return false;
}

}  // namespace

QByteArray normalisedAddress(const QString& address)
{
    const QByteArray bytes = address.trimmed().toUtf8();
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray result;
    result.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        const bool encodedAlready =
            c == '%' && i + 2 < bytes.size() && isHexDigit(bytes.at(i + 1)) && isHexDigit(bytes.at(i + 2));
        if (standsAsItIs(c) || encodedAlready) {
            result.append(c);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        result.append('%');
        result.append(kHex[byte >> 4]);
        result.append(kHex[byte & 0x0F]);
    }
    return result;
}

}  // namespace platform
