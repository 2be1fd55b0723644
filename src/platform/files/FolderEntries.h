// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>

#include <chrono>
#include <optional>

namespace platform {

// The longest file name, in bytes, that the folder's file system takes.
qsizetype longestFileName(const QByteArray& folder);

// The full paths of the entries of folder whose names start with prefix,
// read in one pass over the names, without a look at each file: a folder
// may hold thousands.
QList<QByteArray> entriesStartingWith(const QByteArray& folder, const QByteArray& prefix);

// When the file at path was last written; nothing when it cannot be told.
std::optional<std::chrono::system_clock::time_point> lastWritten(const QByteArray& path);

// Whether this process may create files in the folder, by the system's own
// answer: a folder only root may write, or one on a read-only or immutable
// file system, counts as not writable.
bool canCreateFilesIn(const QByteArray& folder);

// Whether anything has that name; the name as the system takes it.
bool pathExists(const QByteArray& path);
// Removes the name; false when it was not there or could not go.
bool removePath(const QByteArray& path);
// Gives the file the name to, in one step, replacing whatever had it.
bool renameReplacing(const QByteArray& from, const QByteArray& to);

}  // namespace platform
