// SPDX-License-Identifier: GPL-3.0-or-later

// A library text kept in the cache folder: whatever a file holds, it reads
// as the copy it was written as or not at all; a copy cut short at any byte,
// or read for another address, is never taken for one.

#include "FuzzCheck.h"
#include "format/KeptText.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

const QString kAddress = QStringLiteral("http://library.example/lists/catalogue.txt");
constexpr qint64 kLimit = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto read = parseKeptText(file, kAddress, kLimit);
    if (const KeptText* kept = std::get_if<KeptText>(&read)) {
        FUZZ_CHECK(kept->address == kAddress && kept->body.size() <= kLimit);
        // Read, it is written out byte for byte as it was.
        FUZZ_CHECK(formatKeptText(*kept) == file.toByteArray());
        FUZZ_CHECK(std::holds_alternative<KeptTextRefusal>(parseKeptText(file, kAddress + u'x', kLimit)));
    }

    FuzzedDataProvider provider(data, size);
    KeptText made;
    made.address = kAddress;
    made.entityTag = QByteArray::fromStdString(provider.ConsumeRandomLengthString(64));
    made.lastModified = QByteArray::fromStdString(provider.ConsumeRandomLengthString(64));
    const std::size_t cut = provider.ConsumeIntegral<std::size_t>();
    made.body = QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());
    const std::optional<QByteArray> written = formatKeptText(made);
    if (!written)
        return 0;
    const auto reread = parseKeptText(*written, kAddress, kLimit);
    FUZZ_CHECK(std::holds_alternative<KeptText>(reread) && std::get<KeptText>(reread) == made);
    const QByteArrayView shortened = QByteArrayView(*written).first(static_cast<qsizetype>(cut % written->size()));
    FUZZ_CHECK(std::holds_alternative<KeptTextRefusal>(parseKeptText(shortened, kAddress, kLimit)));
    return 0;
}
