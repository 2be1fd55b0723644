// SPDX-License-Identifier: GPL-3.0-or-later

// The stored address lists: whatever list decodes gives an address that
// encodes again and reads back the same, whatever address encodes decodes
// to exactly itself, and a plain ASCII address encodes exactly as the build
// encodes the server addresses (cmake/EncodeAddress.cmake).

#include "FuzzCheck.h"
#include "format/AddressKey.h"
#include "format/DecodeAddress.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace {

template <typename Function> std::optional<QString> unlessRefused(Function function)
{
    try {
        return function();
    } catch (const AddressDecodeError&) {
        return std::nullopt;  // refused: a value of its own, checked by the caller
    }
}

// The build's rule: each ASCII character's code with the key, in decimal,
// joined by commas.
std::string encodedAsTheBuildDoes(const QString& address)
{
    std::string numbers;
    for (const QChar c : address) {
        if (!numbers.empty())
            numbers += ',';
        numbers += std::to_string(c.unicode() ^ kAddressKey);
    }
    return numbers;
}

void checkList(const QString& stored)
{
    const std::optional<QString> address = unlessRefused([&] { return decodeAddress(stored); });
    if (!address)
        return;
    FUZZ_CHECK(address->size() == (stored.isEmpty() ? 0 : stored.count(u',') + 1));
    const std::optional<QString> again = unlessRefused([&] { return encodeAddress(*address); });
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(unlessRefused([&] { return decodeAddress(*again); }) == address);
}

void checkAddress(const QString& address)
{
    const std::optional<QString> stored = unlessRefused([&] { return encodeAddress(address); });
    if (!stored)
        return;
    static const QRegularExpression numberList(QStringLiteral("^(-?[0-9]+(,-?[0-9]+)*)?$"));
    FUZZ_CHECK(numberList.match(*stored).hasMatch());
    FUZZ_CHECK(unlessRefused([&] { return decodeAddress(*stored); }) == address);
    if (std::all_of(address.begin(), address.end(), [](QChar c) { return c.unicode() < 0x80; }))
        FUZZ_CHECK(stored->toStdString() == encodedAsTheBuildDoes(address));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    checkList(QString::fromLatin1(bytes, static_cast<qsizetype>(size)));
    checkAddress(QString::fromUtf8(bytes, static_cast<qsizetype>(size)));
    // Every character of the basic plane, lone surrogates included.
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2);
    checkAddress(units);
    return 0;
}
