// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A library text (version file, catalogue, lecture list) as its publisher's
// editor shows it: the client's decoding of its bytes, cut into numbered
// lines at every line feed, each with the way it ends. The client itself
// cuts only at CR LF; these numbers are for telling the publisher where.
class LibraryText {
public:
    enum class LineEnd { CrLf, LineFeedOnly, None };
    struct Line {
        int number = 0;  // 1-based
        QString text;  // without its line end
        LineEnd end = LineEnd::None;
    };
    // Where the bytes stop being GB2312 (code page 936, as the client reads
    // them): the first line holding bytes that fit no character or only a
    // private-use one, or, for
    // a text that is all valid UTF-8 beyond ASCII, the first line with such
    // a character.
    struct EncodingFault {
        int line = 0;
        bool looksLikeUtf8 = false;
    };

    explicit LibraryText(const QByteArray& bytes);

    // Decoded exactly as the client decodes it.
    const QString& text() const { return text_; }
    const QList<Line>& lines() const { return lines_; }
    const std::optional<EncodingFault>& encodingFault() const { return encodingFault_; }
    // The editor's line number of a character of text().
    int lineAt(qsizetype position) const;

private:
    QString text_;
    QList<Line> lines_;
    QList<qsizetype> lineStarts_;
    std::optional<EncodingFault> encodingFault_;
};
