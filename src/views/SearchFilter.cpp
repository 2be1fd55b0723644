// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/SearchFilter.h"

QString trimmedSearchText(const QString& searchText)
{
    qsizetype start = 0;
    qsizetype end = searchText.size();
    while (start < end && searchText.at(start) == u' ')
        ++start;
    while (end > start && searchText.at(end - 1) == u' ')
        --end;
    return searchText.sliced(start, end - start);
}

bool passesSearch(const QString& fileName, const QString& searchText)
{
    return fileName.contains(trimmedSearchText(searchText), Qt::CaseSensitive);
}
