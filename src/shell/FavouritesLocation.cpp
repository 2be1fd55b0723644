// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/FavouritesLocation.h"

#include "platform/files/FolderEntries.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

bool canWrite(const QString& folder)
{
    return platform::canCreateFilesIn(QFile::encodeName(folder));
}

}  // namespace

QString favouritesFolderLocation(const QString& programFolder, const QString& folderName)
{
    const QString besideProgram = programFolder + u'/' + folderName;
    if (canWrite(programFolder) || (QDir(besideProgram).exists() && canWrite(besideProgram)))
        return besideProgram;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/' + folderName;
}
