// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/SearchKey.h"

#include "platform/text/HanReading.h"

namespace {

// Control characters: folding leaves every one out of a field and of what
// is typed, so a query can never reach across a break.
constexpr char16_t kTextBreak = u'\x01';
constexpr char kPinyinBreak = '\x01';

bool isAsciiLetterOrDigit(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The pinyin of one folded field, added to the full and initials strings.
// Returns whether the field held a Han character.
bool appendPinyin(QStringView folded, QByteArray& full, QByteArray& initials)
{
    bool han = false;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        char32_t c = folded[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < folded.size() && folded[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(folded[i], folded[i + 1]);
            ++i;
        }
        if (isAsciiLetterOrDigit(c)) {
            full += static_cast<char>(c);
            initials += static_cast<char>(c);
        } else if (c >= 0x2e80 && QChar::script(c) == QChar::Script_Han) {
            han = true;
            const PinyinSyllable syllable = pinyinOf(c);
            const QLatin1StringView letters = syllable.letters();
            if (!letters.isEmpty()) {
                full.append(letters.data(), letters.size());
                initials += letters.front().toLatin1();
            }
        }
    }
    return han;
}

}  // namespace

QString foldedSearchText(QStringView text)
{
    // NFKC rather than a table of the full-width block: it also folds what
    // a table would miss (the narrow forms, circled and squared forms, the
    // CJK compatibility ideographs an old input method may have produced),
    // and Qt checks quickly that a text needs nothing, which most titles
    // do not. Its changes are not one character for one, which a boolean
    // match does not mind.
    QString folded = text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
    qsizetype kept = 0;
    bool afterSpace = false;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        if (c.isSpace()) {
            if (!afterSpace)
                folded[kept++] = u' ';
            afterSpace = true;
            continue;
        }
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format)
            continue;
        folded[kept++] = c;
        afterSpace = false;
    }
    folded.truncate(kept);
    return folded;
}

SearchKey::SearchKey(std::initializer_list<QStringView> fields)
{
    build(fields);
}

SearchKey::SearchKey(const QStringList& fields)
{
    build(fields);
}

template <typename Fields> void SearchKey::build(const Fields& fields)
{
    QString text;
    QByteArray full;
    QByteArray initials;
    bool han = false;
    bool first = true;
    for (const auto& field : fields) {
        if (!first) {
            text += kTextBreak;
            full += kPinyinBreak;
            initials += kPinyinBreak;
        }
        first = false;
        const QString folded = foldedSearchText(field);
        text += folded;
        han = appendPinyin(folded, full, initials) || han;
    }
    // Each kept string made once at its size, after the working ones: what
    // the working ones grew through is freed for the next key, not left in
    // gaps between the keys.
    text_ = QString(text.constData(), text.size());
    // Without a Han character the pinyin would only repeat the text's own
    // letters: a Latin title is found by its text alone.
    if (han) {
        pinyin_.reserve(full.size() + 1 + initials.size());
        pinyin_ += full;
        pinyin_ += kPinyinBreak;
        pinyin_ += initials;
    }
}

SearchQuery::SearchQuery(QStringView typed) : text_(foldedSearchText(typed).trimmed())
{
    QByteArray pinyin;
    pinyin.reserve(text_.size());
    for (const QChar c : std::as_const(text_)) {
        if (c == u' ')
            continue;
        if (!isAsciiLetterOrDigit(c.unicode()))
            return;
        pinyin += static_cast<char>(c.unicode());
    }
    pinyin_ = pinyin;
}

bool matches(const SearchKey& key, const SearchQuery& query)
{
    if (query.text_.isEmpty() || key.text_.contains(query.text_))
        return true;
    return !query.pinyin_.isEmpty() && key.pinyin_.contains(query.pinyin_);
}
