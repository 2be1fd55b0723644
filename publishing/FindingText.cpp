// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/FindingText.h"

#include "publishing/PublisherTexts.h"

namespace {

LibraryFinding finding(LibraryFinding::Severity severity, const QString& kind, const QString& location, int line,
                       const QString& english, const QString& chinese)
{
    return {severity, kind, location, line, localized(english, chinese)};
}

}  // namespace

LibraryFinding errorFinding(const QString& kind, const QString& location, int line, const QString& english,
                            const QString& chinese)
{
    return finding(LibraryFinding::Severity::Error, kind, location, line, english, chinese);
}

LibraryFinding warningFinding(const QString& kind, const QString& location, int line, const QString& english,
                              const QString& chinese)
{
    return finding(LibraryFinding::Severity::Warning, kind, location, line, english, chinese);
}
