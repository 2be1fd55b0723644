// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// A record is a title, a speaker, a note and an address: the longest in
// the sample library has 158 characters. A line of thousands is a broken or
// hostile file. Kept, its fields would go into a row's labels and stay in
// memory beside the text it came from (a record of 100 MB, well inside the
// whole-text limit NetworkLimits::textBodyLimit, doubled the memory a list
// took, to 680 MB); so such a line is passed over. The whole-text limit
// bounds what a text takes; this one what reaches a page. At 25 times the
// longest sample it passes over no real record.
inline constexpr qsizetype kLongestCatalogueLine = 4096;

// Cuts text at "\r\n" and hands on every line in order, without its line
// end, until see says to stop. Text after the last "\r\n" is not a line:
// what is returned is where it starts (where the lines seen end, when see
// stopped).
qsizetype forEachLine(QStringView text, const std::function<bool(QStringView line)>& see);

// Cuts a fetched catalogue or lecture-list text at "\r\n" and hands on, in
// file order and unchanged, every line that holds both a "%" and a "*".
// Text after the last "\r\n" is not a line and is never read, and a line
// longer than kLongestCatalogueLine is passed over (and logged).
void splitAndKeep(QStringView text, const std::function<void(const QString& line)>& keep);

// The same, appending the kept lines to a list.
void splitAndKeep(QStringView text, QStringList& list);

// Whether a line is a record line at all.
bool isCatalogueLine(QStringView line);

// Whether the client keeps a line cut from a text: a record line no longer
// than kLongestCatalogueLine.
bool isKeptLine(QStringView line);
