#include "platform/FolderListing.h"

#include <QDir>

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
    refresh();
}

void FolderListing::refresh()
{
    if (path_.isEmpty()) {
        names_.clear();
        return;
    }
    QDir folder(path_);
    folder.setNameFilters(pattern_.split(u';', Qt::SkipEmptyParts));
    // A name with a leading dot is listed like any other: a lecture whose
    // title starts with "." must not vanish from the favourites. The
    // program's own bookkeeping files are kept out by the pattern instead.
    folder.setFilter(QDir::Files | QDir::Hidden);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    names_ = folder.entryList();
}

}  // namespace platform
