// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/CatalogueLines.h"

#include "format/LibraryLog.h"

bool isCatalogueLine(QStringView line)
{
    return line.contains(u'%') && line.contains(u'*');
}

bool isKeptLine(QStringView line)
{
    return line.size() <= kLongestCatalogueLine && isCatalogueLine(line);
}

qsizetype forEachLine(QStringView text, const std::function<bool(QStringView line)>& see)
{
    // A single-character search runs far faster than one for the pair, and
    // catalogues are long; a CR without its LF simply stays inside the line.
    qsizetype start = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\r', from);
        if (end < 0 || end + 1 >= text.size())
            return start;
        if (text[end + 1] != u'\n') {
            from = end + 1;
            continue;
        }
        if (!see(text.sliced(start, end - start)))
            return end + 2;
        start = from = end + 2;
    }
}

void splitAndKeep(QStringView text, const std::function<void(const QString& line)>& keep)
{
    qsizetype tooLong = 0;
    forEachLine(text, [&](QStringView line) {
        if (line.size() > kLongestCatalogueLine)
            ++tooLong;
        else if (isCatalogueLine(line))
            keep(line.toString());
        return true;
    });
    if (tooLong > 0)
        qCWarning(lcLibrary) << "passed over" << tooLong << "lines longer than" << kLongestCatalogueLine
                             << "characters";
}

void splitAndKeep(QStringView text, QStringList& list)
{
    splitAndKeep(text, [&list](const QString& line) { list.append(line); });
}
