// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/Gb2312Encoder.h"

#include "format/TextCodec.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcEncoder, "kardelo.publishing.encoder", QtWarningMsg)

Gb2312Encoder::Gb2312Encoder() : encoder_("windows-936")
{
    if (!encoder_.isValid())
        qCCritical(lcEncoder) << "this Qt has no GB2312 encoder: every non-ASCII character is refused";
}

Gb2312Encoder::Encoded Gb2312Encoder::encode(QStringView text)
{
    Encoded encoded;
    for (const char32_t character : text.toUcs4()) {
        if (!fits(character) && !encoded.unfit.contains(QString::fromUcs4(&character, 1)))
            encoded.unfit += QString::fromUcs4(&character, 1);
    }
    if (encoded.unfit.isEmpty())
        encoded.bytes = encoder_.encode(text);
    return encoded;
}

bool Gb2312Encoder::fits(char32_t character)
{
    if (character < 0x80)
        return true;
    const auto known = fits_.constFind(character);
    if (known != fits_.constEnd())
        return *known;
    bool fit = false;
    if (encoder_.isValid()) {
        const QString text = QString::fromUcs4(&character, 1);
        encoder_.resetState();
        const QByteArray bytes = encoder_.encode(text);
        // GB2312 proper: two bytes, a row of 0xA1 to 0xF7 and a cell of
        // 0xA1 to 0xFE; code page 936 adds rows and cells around them.
        const auto byte = [&bytes](int index) { return quint8(bytes[index]); };
        fit = !encoder_.hasError() && bytes.size() == 2 && byte(0) >= 0xA1 && byte(0) <= 0xF7 && byte(1) >= 0xA1
            && byte(1) <= 0xFE && decodeCharset(bytes, QStringLiteral("GB2312")) == text;
    }
    fits_.insert(character, fit);
    return fit;
}
