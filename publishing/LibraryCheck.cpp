// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibraryCheck.h"

#include "format/LectureListName.h"
#include "format/LibraryIndex.h"
#include "publishing/AudioCheck.h"
#include "publishing/FindingText.h"
#include "publishing/LibraryIndexCheck.h"
#include "publishing/LibrarySource.h"
#include "publishing/VersionFileCheck.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

const QString kVersionPath = QStringLiteral("version.txt");
const QString kCataloguePath = QStringLiteral("lists/catalogue.txt");
const QString kListsFolder = QStringLiteral("lists/");

LibraryFinding unreadable(const QString& kind, const QString& path, const LibrarySource::Fetched& fetched)
{
    return errorFinding(kind, path, 0, LibraryCheck::tr("cannot be read: %1").arg(fetched.reason));
}

void checkLibraryIndex(LibrarySource& source, const QList<ListedConference>& listed, QList<LibraryFinding>& findings)
{
    const LibrarySource::Fetched index = source.fetch(kLibraryIndexPath);
    if (index.outcome == LibrarySource::Fetched::Outcome::Read)
        LibraryIndexCheck(kLibraryIndexPath).run(LibraryText(index.bytes), listed, findings);
    else if (index.outcome == LibrarySource::Fetched::Outcome::Missing)
        findings.append(warningFinding(
            QStringLiteral("index-missing"), kLibraryIndexPath, 0,
            LibraryCheck::tr("no library index: a reader that learns the whole library in one request has to fetch "
                             "every list instead; kardelo-library build writes it")));
    else
        findings.append(unreadable(QStringLiteral("index-unreadable"), kLibraryIndexPath, index));
}

}  // namespace

int CheckReport::errorCount() const
{
    return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const auto& f) { return f.isError(); }));
}

int CheckReport::warningCount() const
{
    return static_cast<int>(findings.size()) - errorCount();
}

CheckReport LibraryCheck::run() const
{
    QElapsedTimer clock;
    clock.start();
    CheckReport report;
    LibrarySource source(options_.library);
    if (!source.overHttp() && !QFileInfo(options_.library).isDir()) {
        report.cannotCheck = tr("no such folder: %1").arg(options_.library);
        return report;
    }
    QList<LibraryFinding>& findings = report.findings;

    const LibrarySource::Fetched version = source.fetch(kVersionPath);
    if (source.overHttp() && version.outcome == LibrarySource::Fetched::Outcome::Failed) {
        // Not a word from the server: nothing else of it can be read either.
        report.cannotCheck = version.reason;
        report.requests = source.requestCount();
        return report;
    }
    if (version.outcome == LibrarySource::Fetched::Outcome::Read)
        VersionFileCheck(kVersionPath).run(LibraryText(version.bytes), findings);
    else
        findings.append(unreadable(QStringLiteral("missing-file"), kVersionPath, version));

    const LibrarySource::Fetched catalogue = source.fetch(kCataloguePath);
    QList<KeptRecord> conferences;
    if (catalogue.outcome == LibrarySource::Fetched::Outcome::Read) {
        conferences = RecordLinesCheck(kCataloguePath, RecordLinesCheck::TextKind::Catalogue)
                          .run(LibraryText(catalogue.bytes), findings);
        if (conferences.isEmpty())
            findings.append(errorFinding(QStringLiteral("empty-catalogue"), kCataloguePath, 0,
                                         tr("no line the client keeps: it ends at start")));
    } else {
        findings.append(unreadable(QStringLiteral("missing-file"), kCataloguePath, catalogue));
    }

    QList<AudioReference> audio;
    QList<ListedConference> listed;
    QHash<QString, std::optional<QList<KeptRecord>>> listsRead;
    for (const KeptRecord& conference : conferences) {
        listed.append({conference, {}, std::nullopt});
        const std::optional<QString> listName = conferenceListFileName(conference.text);
        if (!listName) {
            findings.append(
                errorFinding(QStringLiteral("broken-fields"), kCataloguePath, conference.line,
                             tr("the client cannot read an UpdateDate from this line (its \"*\" comes before its "
                                "\"%\"): the row shows the row before's date and opens its lecture list")));
            continue;
        }
        const QString listPath = kListsFolder + *listName;
        listed.last().listPath = listPath;
        if (listsRead.contains(listPath)) {
            listed.last().lectures = listsRead.value(listPath);
            continue;
        }
        listsRead.insert(listPath, std::nullopt);
        const LibrarySource::Fetched list = source.fetch(listPath);
        if (list.outcome != LibrarySource::Fetched::Outcome::Read) {
            findings.append(
                errorFinding(QStringLiteral("missing-lecture-list"), kCataloguePath, conference.line,
                             tr("the conference's lecture list %1 cannot be read (%2): entering it ends the client")
                                 .arg(listPath, list.reason)));
            continue;
        }
        const QList<KeptRecord> lectures =
            RecordLinesCheck(listPath, RecordLinesCheck::TextKind::LectureList).run(LibraryText(list.bytes), findings);
        listsRead.insert(listPath, lectures);
        listed.last().lectures = lectures;
        if (lectures.isEmpty())
            findings.append(
                errorFinding(QStringLiteral("empty-lecture-list"), listPath, 0,
                             tr("no lecture line the client keeps (catalogue line %1): entering the conference "
                                "ends the client")
                                 .arg(conference.line)));
        audio += LectureRecordsCheck(listPath).run(lectures, findings);
    }

    // Without the catalogue there is nothing to hold the index against.
    if (catalogue.outcome == LibrarySource::Fetched::Outcome::Read)
        checkLibraryIndex(source, listed, findings);

    AudioCheck audioCheck = source.overHttp() ? AudioCheck::overHttp(options_.parallelRequests)
                                              : AudioCheck::inFolder(options_.library, options_.servedAt);
    audioCheck.run(audio, findings);
    report.requests = source.requestCount() + audioCheck.requestCount();
    report.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    return report;
}
