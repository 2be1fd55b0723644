// SPDX-License-Identifier: GPL-3.0-or-later

// The listening record: any text that reads as a record writes out as one
// that reads the same, and the places the program keeps read back as
// themselves (but for names the record cannot hold, which it leaves out).

#include "FuzzCheck.h"
#include "format/ListeningRecord.h"

#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

// Positions in ms up to about three years; none once heard to the end.
constexpr qint64 kLongestPosition = 99'999'999'999;

bool holdable(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/')
        && std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<ListeningPlaces> read = listeningRecord::parse(text)) {
        FUZZ_CHECK(listeningRecord::versionOf(text) == 1);
        for (auto place = read->cbegin(); place != read->cend(); ++place) {
            FUZZ_CHECK(holdable(place.key()) && listeningRecord::canHold(place.key()));
            FUZZ_CHECK(place->position >= 0 && place->position <= kLongestPosition);
            FUZZ_CHECK(!place->listened || place->position == 0);
        }
        const QByteArray written = listeningRecord::format(*read);
        FUZZ_CHECK(listeningRecord::parse(written) == read);
        FUZZ_CHECK(listeningRecord::format(*listeningRecord::parse(written)) == written);
    }

    FuzzedDataProvider provider(data, size);
    ListeningPlaces made;
    ListeningPlaces holds;
    while (provider.remaining_bytes() > 0) {
        const QString name = QString::fromStdString(provider.ConsumeRandomLengthString(100));
        const bool listened = provider.ConsumeBool();
        const ListeningPlace place{listened ? 0 : provider.ConsumeIntegralInRange<qint64>(0, kLongestPosition),
                                   listened};
        made.insert(name, place);
        if (holdable(name))
            holds.insert(name, place);
    }
    FUZZ_CHECK(listeningRecord::parse(listeningRecord::format(made)) == holds);
    return 0;
}
