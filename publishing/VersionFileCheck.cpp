// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/VersionFileCheck.h"

#include "KardeloVersion.h"
#include "format/LeadingNumber.h"
#include "format/VersionFile.h"
#include "publishing/FindingText.h"
#include "publishing/RecordLinesCheck.h"

void VersionFileCheck::run(const LibraryText& text, QList<LibraryFinding>& findings) const
{
    RecordLinesCheck(location_, RecordLinesCheck::TextKind::Catalogue).checkEncoding(text, findings);
    const std::optional<QString> published = publishedVersionText(text.text());
    if (!published) {
        findings.append(
            errorFinding(QStringLiteral("version-marker-missing"), location_, 0,
                         tr("no \"%1\" (case counts): every client says the network is down and ends at start")
                             .arg(kVersionMarker)));
        return;
    }
    const int line = text.lineAt(published->size());
    const double version = leadingNumber(*published);
    if (version == 0) {
        findings.append(
            errorFinding(QStringLiteral("version-unreadable"), location_, line,
                         tr("\"%1\" before \"%2\" reads as no version: no client is ever offered a new release")
                             .arg(published->trimmed(), kVersionMarker)));
        return;
    }
    if (version < leadingNumber(kReleaseStamp))
        findings.append(
            warningFinding(QStringLiteral("version-older"), location_, line,
                           tr("publishes %1, older than this release (%2): users of older releases are not offered "
                              "this one")
                               .arg(published->trimmed(), kReleaseStamp)));
}
