// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/VersionFile.h"

#include "KardeloVersion.h"
#include "format/LeadingNumber.h"

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
