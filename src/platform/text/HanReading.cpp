// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/text/HanReading.h"

#include <QHash>
#include <QLoggingCategory>

#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace {

Q_LOGGING_CATEGORY(lcSearch, "kardelo.search", QtWarningMsg)

// Han-Latin writes the tone marks over the vowels ("xīn"); taking every
// combining mark off after decomposing leaves plain letters. Latin-ASCII
// would do that too, but writes ü as u, which is not what a pinyin
// keyboard types for it. Han-Latin/Names is for personal names: it reads
// 长 as "chang" and 乐 as "yue" everywhere, wrong for most titles.
constexpr char16_t kPinyinRules[] = u"::Han-Latin; ::NFD; u \\u0308 > v; ::[:Mn:] Remove;";

class ReadingCache {
public:
    PinyinSyllable reading(char32_t han)
    {
        const auto known = known_.constFind(han);
        if (known != known_.cend())
            return *known;
        PinyinSyllable syllable = lookUp(han);
        known_.insert(han, syllable);
        return syllable;
    }

private:
    PinyinSyllable lookUp(char32_t han)
    {
        if (!transliterator_ && !failed_)
            makeTransliterator();
        if (!transliterator_)
            return {};
        icu::UnicodeString text(static_cast<UChar32>(han));
        transliterator_->transliterate(text);
        std::string reading;
        text.toUTF8String(reading);
        return PinyinSyllable(QLatin1StringView(reading.data(), static_cast<qsizetype>(reading.size())));
    }

    void makeTransliterator()
    {
        UErrorCode status = U_ZERO_ERROR;
        UParseError where{};
        transliterator_.reset(icu::Transliterator::createFromRules("kardelo-pinyin", icu::UnicodeString(kPinyinRules),
                                                                   UTRANS_FORWARD, where, status));
        if (U_FAILURE(status)) {
            qCWarning(lcSearch) << "No pinyin for the search: ICU's Han-Latin cannot be made:" << u_errorName(status);
            transliterator_.reset();
            failed_ = true;
        }
    }

    std::unique_ptr<icu::Transliterator> transliterator_;
    bool failed_ = false;
    QHash<char32_t, PinyinSyllable> known_;
};

}  // namespace

PinyinSyllable::PinyinSyllable(QLatin1StringView reading)
{
    for (const char c : reading) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower >= 'a' && lower <= 'z' && size_ < letters_.size())
            letters_[size_++] = lower;
    }
}

PinyinSyllable pinyinOf(char32_t han)
{
    // A transliterator and the readings per thread: nothing to lock, so
    // threads that build keys at once never wait for each other.
    thread_local ReadingCache cache;
    return cache.reading(han);
}
