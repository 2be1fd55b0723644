// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/LibrarySearch.h"

#include "format/RecordFields.h"

LibrarySearch::LibrarySearch(const LibraryIndex& library)
{
    for (const LibraryIndex::Conference& conference : library.conferences) {
        const int at = static_cast<int>(conferenceLines_.size());
        conferenceLines_.append(conference.line);
        conferences_.append({conference.line, -1, SearchKey({recordTitle(conference.line).value_or(conference.line)})});
        for (const QString& lecture : conference.lectureLines)
            lectures_.append({lecture, at, SearchKey(lectureFields(lecture))});
    }
}

QStringList LibrarySearch::lectureFields(const QString& lectureLine)
{
    // Title "%" Speaker "$" Note "*" Address: the address is no part of what
    // the listener remembers.
    const QString shown = lectureLine.section(u'*', 0, 0);
    const qsizetype percent = shown.indexOf(u'%');
    const qsizetype dollar = shown.indexOf(u'$', percent + 1);
    if (percent < 0 || dollar < 0)
        return {shown};
    return {shown.first(percent), shown.sliced(percent + 1, dollar - percent - 1), shown.sliced(dollar + 1)};
}

LibrarySearch::Found LibrarySearch::find(const SearchQuery& query) const
{
    Found found;
    for (const QList<Entry>* entries : {&conferences_, &lectures_}) {
        for (const Entry& entry : *entries) {
            if (!matches(entry.key, query))
                continue;
            found.lines.append(entry.line);
            found.conferenceOfEach.append(entry.conference < 0 ? QString() : conferenceLines_[entry.conference]);
        }
    }
    return found;
}
