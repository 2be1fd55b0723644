// SPDX-License-Identifier: GPL-3.0-or-later

// The play-rename record: whatever it reads as pending is only ever a
// stored name and the play name this program gives it, what it reads writes
// out as a record that reads the same, and the renames the program records
// read back as themselves.

#include "FuzzCheck.h"
#include "format/PendingRenames.h"

#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

// A name the program records before renaming: within the folder, one line.
bool isRecorded(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/')
        && std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; })
        && playNameFor(name) != name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PendingRenames read = parsePendingRenames(text);
    for (const auto& [stored, play] : read.renames) {
        FUZZ_CHECK(isRecorded(stored));
        FUZZ_CHECK(play == playNameFor(stored));
    }
    FUZZ_CHECK(read.unreadable.size() % 2 == 0);
    FUZZ_CHECK(read.isEmpty() == text.isEmpty());
    FUZZ_CHECK(parsePendingRenames(formatPendingRenames(read)) == read);

    FuzzedDataProvider provider(data, size);
    PendingRenames made;
    while (provider.remaining_bytes() > 0) {
        const QString stored = QString::fromStdString(provider.ConsumeRandomLengthString(100));
        if (isRecorded(stored))
            made.renames.append({stored, playNameFor(stored)});
    }
    FUZZ_CHECK(parsePendingRenames(formatPendingRenames(made)) == made);
    return 0;
}
