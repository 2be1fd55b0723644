// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <variant>

// A text of the library (the catalogue, a lecture list, the library's
// index) as it was read, kept in the user's cache folder so that the
// library can be browsed without a network and asked for again only if it
// changed: where it came from, the validators its server sent, and its
// bytes exactly as they came (GB2312).
struct KeptText {
    QString address;
    QByteArray entityTag;  // ETag; empty when the server sent none
    QByteArray lastModified;  // Last-Modified; empty when the server sent none
    QByteArray body;

    bool operator==(const KeptText&) const = default;
};

// Why a kept copy is not read.
struct KeptTextRefusal {
    QString reason;
};

// The file of a kept text: a first line naming the format, then the
// address, the two validators, the body's length and its SHA-256 (each on a
// line of its own), then the body. The length and the digest make a copy
// cut short by a crash or a full disk, or damaged since, read as no copy;
// the address, a copy of another library's text. Nothing for a text whose
// address or validators hold a line end: it could not read back as itself.
std::optional<QByteArray> formatKeptText(const KeptText& kept);
// The copy when its file is whole, holds a body of at most bodyLimit bytes
// and was read from `expectedAddress`; otherwise why not.
std::variant<KeptText, KeptTextRefusal> parseKeptText(QByteArrayView file, const QString& expectedAddress,
                                                      qint64 bodyLimit);
