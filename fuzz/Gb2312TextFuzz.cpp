// SPDX-License-Identifier: GPL-3.0-or-later

// The bytes of a server text as they arrive: decoded from GB2312 (code page
// 936) the way every text of the library is, then cut into record lines.

#include "FuzzCheck.h"
#include "format/CatalogueLines.h"
#include "format/TextCodec.h"

#include <QByteArrayList>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>

namespace {

// Every piece of a text between CR LF pairs, the text after the last one
// included.
QStringList allPieces(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

// One line's bytes decoded on their own, as the program decodes a text (a
// character cut off by their end ended by a line feed that is not kept),
// with a decoder kept from run to run: opening one for each line would take
// most of the fuzzer's time.
QString decodedOnItsOwn(const QByteArray& piece)
{
    static QStringDecoder decoder("windows-936");
    decoder.resetState();
    QString text = decoder.decode(piece);
    const QString end = decoder.decode(QByteArrayView("\n", 1));
    if (end.endsWith(u'\n'))
        text += QStringView(end).chopped(1);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = bytesToText(bytes, kServerCharset);

    // Every name the server's character set goes by reads the same (one a
    // run: each decoding costs).
    static const char* const kNames[] = {"gbk", " cp936 ", "gb2312"};
    FUZZ_CHECK(decodeCharset(bytes, QString::fromLatin1(kNames[size % 3])) == text);
    FUZZ_CHECK(QStringView(text).isValidUtf16());
    if (!bytes.isEmpty())
        FUZZ_CHECK(!text.isEmpty());

    // A line end is two ASCII bytes that no double-byte character holds, so
    // decoding neither makes nor swallows one: the text's lines are the
    // lines of the bytes, each decoded on its own.
    const QByteArrayList bytePieces = bytes.split('\n');
    QStringList decodedPieces{QString()};
    for (qsizetype i = 0; i < bytePieces.size(); ++i) {
        const QByteArray& piece = bytePieces[i];
        const bool endsLine = i + 1 < bytePieces.size() && piece.endsWith('\r');
        decodedPieces.back() += decodedOnItsOwn(endsLine ? piece.chopped(1) : piece);
        if (endsLine)
            decodedPieces.append(QString());
        else if (i + 1 < bytePieces.size())
            decodedPieces.back() += u'\n';
    }
    FUZZ_CHECK(allPieces(text) == decodedPieces);

    // Plain ASCII is itself.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        FUZZ_CHECK(text == QString::fromLatin1(bytes));

    QStringList lines;
    splitAndKeep(text, lines);
    QStringList expected;
    decodedPieces.removeLast();
    for (const QString& piece : std::as_const(decodedPieces)) {
        if (piece.contains(u'%') && piece.contains(u'*'))
            expected.append(piece);
    }
    FUZZ_CHECK(lines == expected);
    return 0;
}
