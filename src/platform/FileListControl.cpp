#include "platform/FileListControl.h"

#include <QDir>

namespace platform {

bool FileListControl::setPath(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return false;
    // The folder is kept without a trailing separator, so names are
    // joined to it with one.
    path_ = QDir::cleanPath(path);
    Refresh();
    return true;
}

void FileListControl::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    Refresh();
}

void FileListControl::Refresh()
{
    if (path_.isEmpty()) {
        names_.clear();
        return;
    }
    QDir folder(path_);
    folder.setNameFilters(pattern_.split(u';', Qt::SkipEmptyParts));
    folder.setFilter(QDir::Files);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    names_ = folder.entryList();
}

}  // namespace platform
