// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <dirent.h>
#include <vector>

#include <sys/stat.h>

namespace platform {

bool FolderListing::setPath(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return false;
    // The folder is kept without a trailing separator, so names are
    // joined to it with one.
    path_ = QDir::cleanPath(path);
    refresh();
    return true;
}

void FolderListing::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    suffixes_.clear();
    wildcards_.clear();
    // "*.zip" and the like, the only patterns the program uses, are a plain
    // comparison of the name's end; anything else goes through a regular
    // expression.
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString suffix = part.sliced(1);
        if (part.startsWith(u'*') && !suffix.contains(u'*') && !suffix.contains(u'?') && !suffix.contains(u'['))
            suffixes_.append(suffix);
        else
            wildcards_.append(QRegularExpression::fromWildcard(part, Qt::CaseInsensitive));
    }
    refresh();
}

bool FolderListing::matches(const QString& name) const
{
    for (const QString& suffix : suffixes_) {
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    for (const QRegularExpression& wildcard : wildcards_) {
        if (wildcard.match(name).hasMatch())
            return true;
    }
    return false;
}

// One pass over the folder's entries: a file's type comes with its entry,
// so only the rare entry that does not say (or a link) costs a stat, and
// each name is folded to lower case once for the sort. The result is the
// one QDir gives for the files of a folder sorted by name ignoring case,
// names with a leading dot included.
void FolderListing::refresh()
{
    names_.clear();
    if (path_.isEmpty())
        return;
    DIR* folder = ::opendir(QFile::encodeName(path_).constData());
    if (!folder)
        return;
    struct Entry {
        QString key;
        QString name;
    };
    std::vector<Entry> entries;
    while (const dirent* entry = ::readdir(folder)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0')))
            continue;
        QString name = QFile::decodeName(raw);
        if (!matches(name))
            continue;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            // A link counts as the file it leads to, as in QDir::Files.
            struct stat info { };
            isFile = ::fstatat(::dirfd(folder), raw, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (isFile)
            entries.push_back({name.toLower(), std::move(name)});
    }
    ::closedir(folder);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    names_.reserve(static_cast<qsizetype>(entries.size()));
    for (Entry& entry : entries)
        names_.append(std::move(entry.name));
}

}  // namespace platform
