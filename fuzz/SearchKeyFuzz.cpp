// SPDX-License-Identifier: GPL-3.0-or-later

// The search's key of an entry whose fields are the input's lines, and
// queries typed from those fields: every field finds its entry, typed as
// it is and, when it is Han characters, letters and digits alone, as its
// pinyin and as its initials.

#include "FuzzCheck.h"
#include "platform/text/HanReading.h"
#include "views/SearchKey.h"

#include <cstdint>

namespace {

// The pinyin a user would type for a field, syllable by syllable, ASCII
// letters and digits as they are and other ASCII left out; empty when the
// field holds no Han character, any other character, or a Han character
// without a reading.
std::pair<QString, QString> typedPinyin(const QString& field)
{
    QString full;
    QString initials;
    bool han = false;
    // What the user sees: a compatibility ideograph is the character it
    // stands for.
    for (const char32_t c : foldedSearchText(field).toUcs4()) {
        if (c < 0x80) {
            if (QChar::isLetterOrNumber(c)) {
                full += QChar(c);
                initials += QChar(c);
            }
            continue;
        }
        const PinyinSyllable syllable = pinyinOf(c);
        if (QChar::script(c) != QChar::Script_Han || syllable.isEmpty())
            return {};
        full += syllable.letters();
        initials += syllable.letters().front();
        han = true;
    }
    // A text without Han characters is found by its text alone.
    if (!han)
        return {};
    return {full, initials};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList fields = text.split(u'\n');
    const SearchKey key(fields);

    FUZZ_CHECK(matches(SearchKey{text}, SearchQuery(text)));
    for (const QString& field : fields) {
        FUZZ_CHECK(matches(key, SearchQuery(field)));
        const auto [full, initials] = typedPinyin(field);
        if (!full.isEmpty()) {
            FUZZ_CHECK(matches(key, SearchQuery(full.toUpper())));
            FUZZ_CHECK(matches(key, SearchQuery(initials)));
        }
    }
    return 0;
}
