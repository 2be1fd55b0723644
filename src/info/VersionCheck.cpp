// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/VersionCheck.h"

#include "catalogue/StoredAddresses.h"
#include "format/DecodeAddress.h"
#include "parts/Notices.h"
#include "platform/host/HostOperations.h"

#include <utility>

void offerNewerVersion(const QString& publishedVersionText, const StoredAddresses& addresses,
                       std::function<void(StartOutcome)> decided)
{
    if (!isNewerThanOurs(publishedVersionText)) {
        decided(StartOutcome::Continue);
        return;
    }
    askYesNo(kUpdatePrompt, nullptr, [homePage = addresses.homePage, decided = std::move(decided)](bool yes) {
        if (!yes) {
            decided(StartOutcome::Continue);
            return;
        }
        platform::openInBrowser(nullptr, builtInAddress(homePage));
        platform::endProgram();
        decided(StartOutcome::Ended);
    });
}
