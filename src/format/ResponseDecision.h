// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The status of an answer and the headers that say what its body is, as the
// request gives them (without the blanks around them); nothing for a header
// the answer does not have.
struct ResponseHead {
    long status = 0;
    std::optional<QByteArray> contentLength;
    std::optional<QByteArray> contentRange;
    std::optional<QByteArray> etag;
    std::optional<QByteArray> lastModified;
};

// What a download holds when an answer comes: the kept bytes it asked the
// server to continue (0 when it asked for the whole file), and the total and
// validator their record names.
struct KeptBytes {
    qint64 length = 0;
    qint64 total = 0;
    QByteArray validator;
};

// What the body of an answer is to the file being downloaded.
struct ResponseDecision {
    enum class Kind {
        ContinueKept,  // the rest of the kept bytes
        StartAfresh,  // the file from its first byte; kept bytes are dropped
        AskForWholeFile,  // not the rest of the kept bytes: drop them and ask for the whole file
        Refuse,  // a request for the whole file that did not get it
    };
    Kind kind = Kind::Refuse;
    qint64 offset = 0;  // where the body starts in the file
    qint64 total = 0;  // the whole file's size, 0 when unknown
    std::optional<qint64> announced;  // the body's Content-Length, when the answer announced one
    QByteArray validator;  // the answer's, for the record of a fresh start
    QString refusal;  // why a Refuse is one
};

// Decided once the answer's headers are in, from them alone. Only a 200, the
// exact continuation of the kept bytes that was asked for, or, for a request
// of the whole file, a 206 that holds the whole file from its first byte may
// ever become the lecture; anything else (a 204, a 203, a 206 with a range
// that was not asked for) would store a fragment under the lecture's name.
ResponseDecision decideOnResponse(const ResponseHead& head, const KeptBytes& kept);

// Whether a body of bodyBytes bytes, taken as decided, completes the file:
// as long as the answer announced, and reaching the whole file's size.
bool completesFile(const ResponseDecision& decision, qint64 bodyBytes);
