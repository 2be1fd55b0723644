// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Fields of catalogue lines. Every field is a run of characters taken by a
// 1-based start and a length computed from the first occurrence of the
// markers. A negative length or a start below 1 is no value at all: the
// caption the field was meant for keeps its old text. A start past the end
// gives an empty text; a length past the end gives the rest of the line.
std::optional<QString> substring(QStringView line, qsizetype start, qsizetype length);

// 1-based position of the first occurrence of marker, 0 when absent.
qsizetype markerPosition(QStringView line, QChar marker);

// Conference line: Title "%" UpdateDate "*" Rest.
// Lecture line:    Title "%" Detail "$" Note "*" DownloadAddress.
std::optional<QString> recordTitle(QStringView line);
std::optional<QString> conferenceUpdateDate(QStringView line);
std::optional<QString> lectureDetail(QStringView line);
std::optional<QString> lectureNote(QStringView line);
std::optional<QString> lectureDownloadAddress(QStringView line);

// The part of a lecture line before the first "*": the stored file's name
// without its ".zip".
std::optional<QString> lectureSavedName(QStringView line);
