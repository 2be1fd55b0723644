// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibraryText.h"

#include "format/TextCodec.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder(bytes);
    return !decoder.hasError();
}

int lineOfByte(const QByteArray& bytes, qsizetype position)
{
    return static_cast<int>(bytes.first(position).count('\n')) + 1;
}

}  // namespace

LibraryText::LibraryText(const QByteArray& bytes) : text_(bytesToText(bytes, kServerCharset))
{
    qsizetype start = 0;
    while (start < text_.size()) {
        const qsizetype feed = text_.indexOf(u'\n', start);
        Line line;
        line.number = static_cast<int>(lines_.size()) + 1;
        lineStarts_.append(start);
        if (feed < 0) {
            line.text = text_.sliced(start);
            start = text_.size();
        } else {
            const bool carriageReturn = feed > start && text_[feed - 1] == u'\r';
            line.text = text_.sliced(start, feed - start - (carriageReturn ? 1 : 0));
            line.end = carriageReturn ? LineEnd::CrLf : LineEnd::LineFeedOnly;
            start = feed + 1;
        }
        lines_.append(line);
    }

    if (isAscii(bytes))
        return;
    if (isUtf8(bytes)) {
        const qsizetype firstWide =
            std::find_if(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })
            - bytes.begin();
        encodingFault_ = EncodingFault{lineOfByte(bytes, firstWide), true};
        return;
    }
    // Code page 936 gives bytes that fit no character the replacement
    // character, and the bytes it keeps for vendors private-use characters:
    // neither is a character any font shows.
    const auto unshowable = std::find_if(text_.begin(), text_.end(), [](QChar c) {
        return c == QChar::ReplacementCharacter || (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF);
    });
    if (unshowable != text_.end())
        encodingFault_ = EncodingFault{lineAt(unshowable - text_.begin()), false};
}

int LibraryText::lineAt(qsizetype position) const
{
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position);
    return static_cast<int>(after - lineStarts_.begin());
}
