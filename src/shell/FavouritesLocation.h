// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Where the favourites folder (folderName) lies: beside the program, in
// programFolder, as long as the user can write there (a self-contained
// install, a build) or the folder there exists and can be written already.
// Installed system-wide the program's folder is not the user's to write, and
// the folder goes under the user's own data folder instead.
QString favouritesFolderLocation(const QString& programFolder, const QString& folderName);
