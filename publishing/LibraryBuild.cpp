// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibraryBuild.h"

#include "format/CatalogueLines.h"
#include "format/LectureListName.h"
#include "format/LibraryIndex.h"
#include "format/RecordFields.h"
#include "format/TextCodec.h"
#include "format/VersionFile.h"
#include "publishing/LectureRecordsCheck.h"
#include "publishing/RecordLineRules.h"
#include "publishing/SourceText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <tuple>

namespace {

const QString kRootPlaceholder = QStringLiteral("{root}");
const QString kCataloguePath = QStringLiteral("lists/catalogue.txt");

// "€" (U+20AC), for each character: the publisher sees which one to replace
// even where the terminal's font lacks it.
QString namedCharacters(const QString& characters)
{
    QStringList named;
    for (const char32_t character : characters.toUcs4())
        named.append(QStringLiteral("\"%1\" (U+%2)")
                         .arg(QString::fromUcs4(&character, 1))
                         .arg(uint(character), 4, 16, QLatin1Char('0'))
                         .toUpper());
    return named.join(QStringLiteral(", "));
}

// The lines the client keeps from a text, as they should read.
QStringList keptLines(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines) {
        if (isKeptLine(line))
            kept.append(line);
    }
    return kept;
}

// The lines the client keeps of a built text.
QStringList readBackLines(const QByteArray& bytes)
{
    QStringList lines;
    splitAndKeep(decodeCharset(bytes, kServerCharset).value_or(QString()), lines);
    return lines;
}

}  // namespace

LibraryBuild::LibraryBuild(const QString& sourceFolder, const QString& root) : sourceFolder_(sourceFolder), root_(root)
{
}

void LibraryBuild::run()
{
    findings_.clear();
    files_.clear();
    buildVersionFile();
    buildCatalogue();
    buildLibraryIndex();
    // In the order an editor goes through the files, not the order found.
    std::stable_sort(findings_.begin(), findings_.end(), [](const LibraryFinding& a, const LibraryFinding& b) {
        return std::tie(a.location, a.line) < std::tie(b.location, b.line);
    });
}

bool LibraryBuild::refused() const
{
    return std::any_of(findings_.cbegin(), findings_.cend(), [](const LibraryFinding& f) { return f.isError(); });
}

void LibraryBuild::buildVersionFile()
{
    std::optional<SourceText> text = SourceText::read(sourceFolder_, QStringLiteral("version.txt"), findings_);
    if (!text)
        return;
    const std::optional<QByteArray> bytes = encodeText(*text, TextKind::Version);
    if (!bytes)
        return;
    const QString readBack = decodeCharset(*bytes, kServerCharset).value_or(QString());
    if (!publishedVersionText(readBack)) {
        addFinding(LibraryFinding::Severity::Error, text->location, 0, QStringLiteral("no-version-marker"),
                   tr("no %1 marker: the client would say the network is down and end; "
                      "write the release date before it, e.g. 20140202%1")
                       .arg(kVersionMarker));
        return;
    }
    files_.insert(QStringLiteral("version.txt"), *bytes);
}

void LibraryBuild::buildCatalogue()
{
    std::optional<SourceText> text = SourceText::read(sourceFolder_, QStringLiteral("catalogue.txt"), findings_);
    if (!text)
        return;
    const std::optional<QByteArray> bytes = encodeText(*text, TextKind::Records);
    QHash<QString, int> lineOfList;
    QSet<QString> used;
    judgeRecordLines(*text, conferenceLineFaults, [&](const QString& line, int number) {
        const QString updateDate = conferenceUpdateDate(line).value_or(QString());
        const QString listName = lectureListFileName(kUpdateDatePrefix + updateDate);
        if (lineOfList.contains(listName)) {
            addFinding(LibraryFinding::Severity::Error, text->location, number, QStringLiteral("duplicate-list"),
                       tr("the client asks for this conference's lectures as lists/%1, like "
                          "the conference on line %2; give it another UpdateDate")
                           .arg(listName)
                           .arg(lineOfList.value(listName)));
            return;
        }
        lineOfList.insert(listName, number);
        const QString location = QStringLiteral("lectures/%1.txt").arg(updateDate);
        if (!QFileInfo(sourceFolder_ + u'/' + location).isFile()) {
            addFinding(LibraryFinding::Severity::Error, text->location, number, QStringLiteral("missing-lectures"),
                       tr("no %1 for this conference").arg(location));
            return;
        }
        used.insert(location);
        buildLectureList(location, listName);
    });
    if (bytes)
        files_.insert(kCataloguePath, *bytes);
    warnOfUnusedLectureLists(used);
}

void LibraryBuild::buildLectureList(const QString& location, const QString& listName)
{
    std::optional<SourceText> text = SourceText::read(sourceFolder_, location, findings_);
    if (!text)
        return;
    const std::optional<QByteArray> bytes = encodeText(*text, TextKind::Records);
    QList<KeptRecord> lectures;
    judgeRecordLines(*text, lectureLineFaults, [&](const QString& line, int number) {
        lectures.append({number, line});
    });
    // The files the lectures are stored as, judged as check judges a
    // published list: a source line is the list's line of the same number.
    LectureRecordsCheck(location).run(lectures, findings_);
    if (bytes)
        files_.insert(QStringLiteral("lists/") + listName, *bytes);
}

void LibraryBuild::buildLibraryIndex()
{
    // From the built texts as the client reads them, so that the index says
    // exactly what the catalogue and the lists say.
    const auto catalogue = files_.constFind(kCataloguePath);
    if (catalogue == files_.constEnd())
        return;
    LibraryIndex index;
    for (const QString& line : readBackLines(*catalogue)) {
        const std::optional<QString> listName = conferenceListFileName(line);
        index.conferences.append(
            {line, listName ? readBackLines(files_.value(QStringLiteral("lists/") + *listName)) : QStringList()});
    }
    // Every line came from GB2312 this encoder wrote.
    files_.insert(kLibraryIndexPath, encoder_.encode(formatLibraryIndex(index)).bytes);
}

void LibraryBuild::judgeRecordLines(const SourceText& text, QList<LineFault> (*rules)(const QString& line),
                                    const std::function<void(const QString& line, int number)>& accepted)
{
    for (qsizetype index = 0; index < text.lines.size(); ++index) {
        const QString& line = text.lines[index];
        const int number = int(index + 1);
        // A too long line or a root left out has been told already.
        if (!isCatalogueLine(line) || line.size() > kLongestCatalogueLine || line.contains(kRootPlaceholder))
            continue;
        const QList<LineFault> faults = rules(line);
        for (const LineFault& fault : faults)
            addFinding(LibraryFinding::Severity::Error, text.location, number, fault.kind, fault.message);
        if (faults.isEmpty())
            accepted(line, number);
    }
}

void LibraryBuild::warnOfUnusedLectureLists(const QSet<QString>& used)
{
    const QStringList names =
        QDir(sourceFolder_ + QStringLiteral("/lectures")).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString location = QStringLiteral("lectures/") + name;
        if (!used.contains(location))
            addFinding(LibraryFinding::Severity::Warning, location, 0, QStringLiteral("unused-lectures"),
                       tr("belongs to no conference of catalogue.txt and is not built"));
    }
}

std::optional<QByteArray> LibraryBuild::encodeText(SourceText& text, TextKind kind)
{
    QByteArray bytes;
    bool refused = false;
    for (qsizetype index = 0; index < text.lines.size(); ++index) {
        QString& line = text.lines[index];
        const int number = int(index + 1);
        const auto lineError = [&](const QString& kind, const QString& message) {
            addFinding(LibraryFinding::Severity::Error, text.location, number, kind, message);
            refused = true;
        };
        if (line.contains(kRootPlaceholder)) {
            if (root_.isEmpty())
                lineError(QStringLiteral("no-root"),
                          tr("%1 is used but no --root URL says what it stands for").arg(kRootPlaceholder));
            else
                line.replace(kRootPlaceholder, root_);
        }
        if (kind == TextKind::Records && line.contains(u'%') != line.contains(u'*'))
            addFinding(LibraryFinding::Severity::Warning, text.location, number, QStringLiteral("half-marked"),
                       tr("only one of \"%\" and \"*\": the client drops this line"));
        if (isCatalogueLine(line) && line.size() > kLongestCatalogueLine)
            lineError(QStringLiteral("line-too-long"),
                      tr("%1 characters: the client passes over lines longer than %2")
                          .arg(line.size())
                          .arg(kLongestCatalogueLine));
        const Gb2312Encoder::Encoded encoded = encoder_.encode(line);
        if (!encoded.unfit.isEmpty())
            lineError(QStringLiteral("not-gb2312"), tr("%1 has no GB2312 code").arg(namedCharacters(encoded.unfit)));
        bytes += encoded.bytes + "\r\n";
    }
    if (refused)
        return std::nullopt;
    if (kind == TextKind::Records)
        checkReadBack(text, bytes);
    return bytes;
}

void LibraryBuild::checkReadBack(const SourceText& text, const QByteArray& bytes)
{
    // The encoder refuses what would not come back as itself; this reads the
    // whole file back as the client does, so nothing else slips through.
    const QStringList readBack = readBackLines(bytes);
    const QStringList meant = keptLines(text.lines);
    if (readBack == meant)
        return;
    qsizetype first = 0;
    while (first < meant.size() && first < readBack.size() && meant[first] == readBack[first])
        ++first;
    const int number = int(text.lines.indexOf(meant.value(first)) + 1);
    addFinding(LibraryFinding::Severity::Error, text.location, number, QStringLiteral("read-back"),
               tr("the client would not read this line back as written"));
}

void LibraryBuild::addFinding(LibraryFinding::Severity severity, const QString& location, int line, const QString& kind,
                              const QString& message)
{
    findings_.append({severity, kind, location, line, message});
}
