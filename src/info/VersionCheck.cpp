// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/VersionCheck.h"

#include "KardeloVersion.h"
#include "catalogue/DecodeAddress.h"
#include "catalogue/StoredAddresses.h"
#include "info/LeadingNumber.h"
#include "parts/Notices.h"
#include "platform/host/HostOperations.h"

std::optional<QString> publishedVersionText(const QString& versionFileText)
{
    const qsizetype marker = versionFileText.indexOf(kVersionMarker);
    if (marker < 0)
        return std::nullopt;
    return versionFileText.left(marker);
}

bool isNewerThanOurs(const QString& publishedVersionText)
{
    return leadingNumber(kReleaseStamp) < leadingNumber(publishedVersionText);
}

StartOutcome offerNewerVersion(const QString& publishedVersionText, const StoredAddresses& addresses)
{
    if (isNewerThanOurs(publishedVersionText) && askYesNo(kUpdatePrompt)) {
        platform::openInBrowser(nullptr, builtInAddress(addresses.homePage));
        platform::endProgram();
        return StartOutcome::Ended;
    }
    return StartOutcome::Continue;
}
