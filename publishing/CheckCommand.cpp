// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/CheckCommand.h"

#include "publishing/ExitStatus.h"
#include "publishing/PublisherTexts.h"

// PLACEHOLDER: replaced by the real command on its branch.
int runCheckCommand(const QStringList&)
{
    printError(QStringLiteral("kardelo-library check: not built yet\n"));
    return kExitCannotRun;
}
