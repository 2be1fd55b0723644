// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Every text the server sends is in this character set.
inline const QString kServerCharset = QStringLiteral("GB2312");

// Decodes bytes in a named character set. "GB2312" is read as its superset,
// code page 936, the way the server's files were always read: 0x80 is the
// euro sign, and bytes that fit no character, a character cut off by the
// end of the bytes among them, become U+FFFD. An unknown character set gives
// no text.
std::optional<QString> decodeCharset(const QByteArray& bytes, const QString& charset);

// Decodes a body in the named character set; an unknown set gives an empty
// text, bytes that fit no character become U+FFFD.
QString bytesToText(const QByteArray& body, const QString& charset);
