// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

// "kardelo-library build [--root URL] SOURCE OUT", arguments after "build".
// Returns the process's exit status.
int runBuildCommand(const QStringList& arguments);
