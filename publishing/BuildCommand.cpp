// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/BuildCommand.h"

#include "publishing/ExitStatus.h"
#include "publishing/PublisherTexts.h"

// PLACEHOLDER: replaced by the real command on its branch.
int runBuildCommand(const QStringList&)
{
    printError(QStringLiteral("kardelo-library build: not built yet\n"));
    return kExitCannotRun;
}
