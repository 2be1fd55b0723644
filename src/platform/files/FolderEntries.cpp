// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/files/FolderEntries.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

qsizetype longestFileName(const QByteArray& folder)
{
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    return limit > 0 ? limit : NAME_MAX;
}

QList<QByteArray> entriesStartingWith(const QByteArray& folder, const QByteArray& prefix)
{
    QList<QByteArray> paths;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strncmp(entry->d_name, prefix.constData(), static_cast<size_t>(prefix.size())) == 0)
                paths.append(folder + '/' + entry->d_name);
        }
        ::closedir(dir);
    }
    return paths;
}

std::optional<std::chrono::system_clock::time_point> lastWritten(const QByteArray& path)
{
    struct stat info { };
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    return std::chrono::system_clock::from_time_t(info.st_mtime);
}

bool canCreateFilesIn(const QByteArray& folder)
{
    return ::access(folder.constData(), W_OK | X_OK) == 0;
}

bool pathExists(const QByteArray& path)
{
    return ::access(path.constData(), F_OK) == 0;
}

bool removePath(const QByteArray& path)
{
    return ::unlink(path.constData()) == 0;
}

bool renameReplacing(const QByteArray& from, const QByteArray& to)
{
    return std::rename(from.constData(), to.constData()) == 0;
}

}  // namespace platform
