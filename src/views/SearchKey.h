// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <initializer_list>

class SearchQuery;

// What a library-wide search compares the typed text with, for one entry
// (a lecture's title, speaker and note; a conference's name), computed
// once when the entry is read so that a keystroke only compares:
//
// - the fields as foldedSearchText() folds them, one after another with a
//   break between them that no typed text holds, so a query never spans
//   two fields;
// - when they hold any Han character, their pinyin, each Han character as
//   its toneless syllable and ASCII letters and digits as they are, written
//   out in full ("xinyuanxingxiukedeecmozhiliao" for 心源性休克的ECMO治疗)
//   and by initials ("xyxxkdecmozl"), every other character left out.
//
// Two strings, the text in UTF-16 and the pinyin in ASCII: a lecture of 30
// characters in all takes about 255 bytes with the key itself
// (bench/views/SearchKeyBench).
class SearchKey {
public:
    SearchKey() = default;
    explicit SearchKey(std::initializer_list<QStringView> fields);
    explicit SearchKey(const QStringList& fields);

    friend bool matches(const SearchKey& key, const SearchQuery& query);

private:
    template <typename Fields> void build(const Fields& fields);

    QString text_;
    QByteArray pinyin_;
};

// A typed text as it is compared with the keys, folded once per keystroke.
class SearchQuery {
public:
    SearchQuery() = default;
    explicit SearchQuery(QStringView typed);

    // Nothing to look for: every entry matches.
    bool isEmpty() const { return text_.isEmpty(); }

    friend bool matches(const SearchKey& key, const SearchQuery& query);

private:
    // Folded, without its outer spaces; inner spaces are compared as they
    // were typed, collapsed to one.
    QString text_;
    // The same without any space ("xin yuan" is "xinyuan"), when that is
    // ASCII letters and digits alone; empty otherwise, and then the pinyin
    // is not looked at.
    QByteArray pinyin_;
};

// Whether the query is in the entry's folded text, in its full pinyin or
// in its initials. 心源性休克的ECMO治疗 is found by 心源性, ＥＣＭＯ, ecmo,
// xinyuanxing, XinYuan, "xin yuan" and xyxxk alike.
bool matches(const SearchKey& key, const SearchQuery& query);

// A text as the search compares it: compatibility forms folded (NFKC:
// full-width letters and digits, the ideographic space and the other wide
// and narrow forms to their plain ones, ① to 1, ㎎ to mg, a CJK
// compatibility ideograph to its unified one), then case folded, every
// kind of blank made one U+0020 space, and control and format characters
// (a zero-width space, a byte-order mark) left out.
QString foldedSearchText(QStringView text);
