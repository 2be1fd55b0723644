#include "info/VersionCheck.h"

#include "catalogue/DecodeAddress.h"
#include "catalogue/FetchText.h"
#include "catalogue/StoredAddresses.h"
#include "info/LeadingNumber.h"
#include "info/ModuleTexts.h"
#include "shell/HostOperations.h"

std::optional<QString> PublishedVersionText(const QString& versionFileText)
{
    const qsizetype marker = versionFileText.indexOf(kVersionMarker);
    if (marker < 0)
        return std::nullopt;
    return versionFileText.left(marker);
}

bool IsNewerThanOurs(const QString& publishedVersionText)
{
    return LeadingNumber(kVersionStamp) < LeadingNumber(publishedVersionText);
}

StartOutcome RunVersionCheck(const StoredAddresses& addresses)
{
    QString versionFileText;
    try {
        versionFileText = FetchText(DecodedCopy(addresses.versionFile), kServerCharset);
    } catch (const AddressDecodeError&) {
        // A list that does not decode reads nothing, like a server that
        // cannot be reached.
    }

    const std::optional<QString> published = PublishedVersionText(versionFileText);
    if (!published) {
        ShowMessage(kNetworkFailureMessage, platform::kStyleExclamation | platform::kStyleOk);
        EndProgram();
        return StartOutcome::Ended;
    }

    if (IsNewerThanOurs(*published)
        && ShowMessage(kUpdatePrompt, platform::kStyleExclamation | platform::kStyleYesNo) == platform::kAnswerYes) {
        try {
            OpenInBrowser(nullptr, DecodedCopy(addresses.homePage));
        } catch (const AddressDecodeError&) {
        }
        EndProgram();
        return StartOutcome::Ended;
    }
    return StartOutcome::Continue;
}
