// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/StartProcedure.h"

#include "KardeloVersion.h"
#include "info/VersionCheck.h"
#include "shell/MainWindow.h"

std::unique_ptr<MainWindow> runStartProcedure(const StoredAddresses& addresses, const QString& programFolder)
{
    if (runVersionCheck(addresses) == StartOutcome::Ended)
        return nullptr;
    auto window = std::make_unique<MainWindow>(addresses, programFolder);
    if (!window->loadAtStartUp())
        return nullptr;
    window->setWindowTitle(window->windowTitle() + u' ' + kReleaseStamp);
    window->show();
    return window;
}
