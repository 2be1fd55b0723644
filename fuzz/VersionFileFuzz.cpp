// SPDX-License-Identifier: GPL-3.0-or-later

// The version file as the start reads it: decoded as a server text, its
// published version cut at the marker and read by its leading number.

#include "FuzzCheck.h"
#include "KardeloVersion.h"
#include "format/LeadingNumber.h"
#include "format/TextCodec.h"
#include "format/VersionFile.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

namespace {

// The leading number read another way: a pattern for the decimal forms and
// the C library's own conversion, digit runs for &H and &O.
double referenceNumber(const QString& text)
{
    std::string compact;
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            compact.push_back(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x7f');
    }
    if (compact.size() >= 2 && compact[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(compact[1])));
        if (kind != 'H' && kind != 'O')
            return 0;
        const std::string digits = kind == 'H' ? "0123456789abcdefABCDEF" : "01234567";
        std::string run = compact.substr(2, compact.find_first_not_of(digits, 2) - 2);
        run.erase(0, run.find_first_not_of('0'));
        if (run.size() > (kind == 'H' ? 8u : 11u))
            return 0;
        const unsigned long long value = run.empty() ? 0 : std::stoull(run, nullptr, kind == 'H' ? 16 : 8);
        if (value > 0xFFFFFFFFull)
            return 0;
        return value <= 0xFFFF ? static_cast<std::int16_t>(value) : static_cast<std::int32_t>(value);
    }
    static const std::regex decimal(R"(^[+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?)");
    std::smatch match;
    if (!std::regex_search(compact, match, decimal))
        return 0;
    std::string number = match.str();
    for (char& c : number) {
        if (c == 'd' || c == 'D')
            c = 'e';
    }
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

bool sameNumber(double read, double expected)
{
    // A value too small for a normal double may be read as 0 or as the
    // nearest subnormal; every other one exactly.
    if (std::fabs(expected) < DBL_MIN)
        return read == 0 || read == expected;
    return read == expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = bytesToText(bytes, kServerCharset);

    const double whole = leadingNumber(text);
    FUZZ_CHECK(std::isfinite(whole));
    FUZZ_CHECK(sameNumber(whole, referenceNumber(text)));

    const std::optional<QString> published = publishedVersionText(text);
    FUZZ_CHECK(published.has_value() == text.contains(kVersionMarker));
    if (published) {
        FUZZ_CHECK(text.startsWith(*published + kVersionMarker));
        FUZZ_CHECK(!published->contains(kVersionMarker));
        // The marker ends any number: the version is the same whether it is
        // read from the text before it or from the whole file.
        const double version = leadingNumber(*published);
        FUZZ_CHECK(version == whole);
        FUZZ_CHECK(isNewerThanOurs(*published) == (leadingNumber(kReleaseStamp) < version));
    }
    return 0;
}
