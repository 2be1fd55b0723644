// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/VersionCheck.h"

#include "catalogue/StoredAddresses.h"
#include "format/DecodeAddress.h"
#include "parts/Notices.h"
#include "platform/host/HostOperations.h"

StartOutcome offerNewerVersion(const QString& publishedVersionText, const StoredAddresses& addresses)
{
    if (isNewerThanOurs(publishedVersionText) && askYesNo(kUpdatePrompt)) {
        platform::openInBrowser(nullptr, builtInAddress(addresses.homePage));
        platform::endProgram();
        return StartOutcome::Ended;
    }
    return StartOutcome::Continue;
}
