// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/FavouritesLocation.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// The system's own answer, so that a folder only root may write, or one on a
// read-only or immutable file system, counts as not writable.
bool canWrite(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

}  // namespace

QString favouritesFolderLocation(const QString& programFolder, const QString& folderName)
{
    const QString besideProgram = programFolder + u'/' + folderName;
    if (canWrite(programFolder) || (QDir(besideProgram).exists() && canWrite(besideProgram)))
        return besideProgram;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/' + folderName;
}
