// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLatin1StringView>

#include <array>

// The toneless pinyin of one Han character, in lower-case ASCII letters:
// "xin" for 心, "lv" for 绿 (ü written v, as pinyin keyboards type it).
class PinyinSyllable {
public:
    PinyinSyllable() = default;
    // Keeps the letters a to z of reading, lower-cased; what does not fit
    // is left off (no syllable is longer than six letters).
    explicit PinyinSyllable(QLatin1StringView reading);

    QLatin1StringView letters() const { return QLatin1StringView(letters_.data(), size_); }
    bool isEmpty() const { return size_ == 0; }

private:
    std::array<char, 15> letters_{};
    unsigned char size_ = 0;
};

// The reading ICU's Han-Latin gives the character, empty for a character
// it has no reading for (or for any character when ICU cannot make its
// transliterator, which is logged once per thread as kardelo.search).
//
// ICU reads every character alone, whatever stands beside it: a
// polyphonic character always gets the same one of its readings (行 is
// "xing" in 银行 too, 长 "zhang" in 长期 too), so a word is found by the
// pinyin of that reading only.
//
// Safe on any thread: each thread makes its own transliterator, once (about
// 0.1 s for the first in the process, while ICU loads its data) and keeps
// every reading it has looked up (about 5 µs each through ICU, a hash
// look-up afterwards).
PinyinSyllable pinyinOf(char32_t han);
