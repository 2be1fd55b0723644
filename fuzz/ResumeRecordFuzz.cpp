// SPDX-License-Identifier: GPL-3.0-or-later

// The resume record beside a partial download: any text that reads as a
// record writes out as one that reads the same, and any record written reads
// back as itself.

#include "FuzzCheck.h"
#include "format/ResumeRecord.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>

namespace {

QByteArray someBytes(FuzzedDataProvider& provider)
{
    return QByteArray::fromStdString(provider.ConsumeRandomLengthString(200));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<ResumeRecord> read = parseResumeRecord(text)) {
        FUZZ_CHECK(!read->name.isEmpty() && read->record.total >= 0);
        // A name, address or validator read is one line: it writes out.
        const std::optional<QByteArray> written = formatResumeRecord(*read);
        FUZZ_CHECK(written || text.size() > 60000);
        FUZZ_CHECK(!written || parseResumeRecord(*written) == read);
    }

    // A record as a download makes one: the target's name, the address as
    // it was sent, the server's validator and a size it announced.
    FuzzedDataProvider provider(data, size);
    ResumeRecord made;
    made.name = someBytes(provider);
    made.record.address = someBytes(provider);
    made.record.validator = someBytes(provider);
    made.record.total = provider.ConsumeIntegralInRange<qint64>(0, std::numeric_limits<qint64>::max());
    if (made.name.isEmpty())
        return 0;
    // Either it reads back as itself, or it is not written at all: only a
    // field of more than one line cannot be.
    const std::optional<QByteArray> written = formatResumeRecord(made);
    const bool oneLineEach =
        !made.name.contains('\n') && !made.record.address.contains('\n') && !made.record.validator.contains('\n');
    FUZZ_CHECK(written.has_value() == oneLineEach);
    FUZZ_CHECK(!written || parseResumeRecord(*written) == made);
    return 0;
}
