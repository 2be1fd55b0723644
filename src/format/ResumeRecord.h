// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <optional>

// Which file and address a partial download's bytes belong to, and what
// tells whether the server's file is still the one they came from.
struct DownloadRecord {
    QByteArray address;
    // The server's ETag, or else its Last-Modified; empty when it sent
    // neither, and then the bytes cannot be resumed.
    QByteArray validator;
    qint64 total = 0;  // the whole file's size, 0 when not announced

    bool operator==(const DownloadRecord&) const = default;
};

// At most this much of a record's file is read; no longer one is written.
inline constexpr qsizetype kLongestResumeRecord = 64 * 1024;

// A resume record as its file holds it: the target's name without its
// folder, and the record of the bytes. Its format is what earlier versions
// left in users' folders, so it stays as it is.
struct ResumeRecord {
    QByteArray name;
    DownloadRecord record;

    bool operator==(const ResumeRecord&) const = default;
};

// The text of a resume record's file, and back. Nothing for a record whose
// text would not read back as itself (a line feed in a field, a text past
// what is read of the file): its bytes cannot be resumed. Nothing for a
// text that is no record, or lacks the name or a readable total.
std::optional<QByteArray> formatResumeRecord(const ResumeRecord& stored);
std::optional<ResumeRecord> parseResumeRecord(const QByteArray& text);
