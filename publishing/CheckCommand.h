// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

// "kardelo-library check [--json] [--jobs N] [--root URL] DIR-or-URL",
// arguments after "check". Returns the process's exit status.
int runCheckCommand(const QStringList& arguments);
