// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/VersionCheck.h"

#include "KardeloVersion.h"
#include "catalogue/DecodeAddress.h"
#include "catalogue/FetchText.h"
#include "catalogue/LibraryLog.h"
#include "catalogue/ServerTexts.h"
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

StartOutcome runVersionCheck(const StoredAddresses& addresses)
{
    const QString versionFileText = fetchText(builtInAddress(addresses.versionFile), kServerCharset);

    const std::optional<QString> published = publishedVersionText(versionFileText);
    if (!published) {
        qCWarning(lcLibrary).nospace() << "the version file has no " << kVersionMarker << " (" << versionFileText.size()
                                       << " characters read)";
        showNotice(kNetworkFailureMessage, QMessageBox::Warning);
        platform::endProgram();
        return StartOutcome::Ended;
    }

    if (isNewerThanOurs(*published) && askYesNo(kUpdatePrompt)) {
        platform::openInBrowser(nullptr, builtInAddress(addresses.homePage));
        platform::endProgram();
        return StartOutcome::Ended;
    }
    return StartOutcome::Continue;
}
