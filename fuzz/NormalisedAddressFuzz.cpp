// SPDX-License-Identifier: GPL-3.0-or-later

// A lecture's address as it is sent: normalised once it is a valid URL that
// normalising again leaves as it is, and it still names what the list named.

#include "FuzzCheck.h"
#include "platform/net/NormalisedAddress.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {

bool isHex(char c)
{
    return std::strchr("0123456789abcdefABCDEF", c) != nullptr && c != '\0';
}

// Every %XX turned into its byte; anything else as it is.
QByteArray percentDecoded(const QByteArray& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2])) {
            bytes.append(static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    return bytes;
}

bool mayStandInAUrl(char c)
{
    return c != '\0' && (std::isalnum(static_cast<unsigned char>(c)) || std::strchr("-._~:/?#[]@!$&'()*+,;=%", c));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString address = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray once = platform::normalisedAddress(address);

    FUZZ_CHECK(platform::normalisedAddress(QString::fromLatin1(once)) == once);
    for (qsizetype i = 0; i < once.size(); ++i) {
        FUZZ_CHECK(mayStandInAUrl(once[i]) && static_cast<unsigned char>(once[i]) < 0x80);
        if (once[i] == '%')
            FUZZ_CHECK(i + 2 < once.size() && isHex(once[i + 1]) && isHex(once[i + 2]));
    }
    // What was percent-encoded already and what normalising encoded read
    // back as the address's own bytes.
    FUZZ_CHECK(percentDecoded(once) == percentDecoded(address.trimmed().toUtf8()));
    return 0;
}
